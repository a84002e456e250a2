// SPDX-License-Identifier: GPL-2.0-or-later
#include "reports/sequencerules.h"

#include "reports/logging.h"
#include "store/database.h"
#include "varstars/notation.h"

#include <QHash>
#include <QSet>

#include <chrono>
#include <cmath>

using namespace std::chrono_literals;

namespace reports
{
namespace
{
// Magnitudes are given to a thousandth: a shift at the limit stays at it.
constexpr double shiftRounding = 1e-6;

QString tableProblem()
{
    return QStringLiteral("the database has no table of comparison sequences: start varlume once to add it, or, "
                          "when the database is another program's, it is left as it is");
}

// The labels the estimates name, in tenths.
QSet<int> labelsUsed(const QStringList &estimates)
{
    QSet<int> used;
    for (const QString &estimate : estimates) {
        const std::optional<varstars::Notation> notation = varstars::readNotation(estimate);
        if (!notation)
            continue;
        for (const varstars::Notation::Star &star : {notation->first, notation->second}) {
            if (star.letter == 0)
                used.insert(star.tenths);
        }
    }
    return used;
}

QString changeText(const store::SequenceChange &change)
{
    switch (change.kind) {
    case store::SequenceChange::Kind::Magnitude:
        return QStringLiteral("%1 is now %2").arg(change.label).arg(*change.newV, 0, 'f', 1);
    case store::SequenceChange::Kind::Label:
        return QStringLiteral("%1 is now labelled %2").arg(change.label, change.newLabel);
    case store::SequenceChange::Kind::Dropped: return QStringLiteral("%1 is gone").arg(change.label);
    }
    return {};
}
}

QList<store::SequenceChange> sequenceChanges(const QList<store::SequenceStar> &kept, const Sequence &newer,
                                             const QString &at)
{
    QHash<QString, const ComparisonStar *> byAuid;
    for (const ComparisonStar &star : newer.stars)
        byAuid.insert(star.auid.toUpper(), &star);
    QList<store::SequenceChange> changes;
    for (const store::SequenceStar &old : kept) {
        store::SequenceChange change{old.chart, at, old.auid, store::SequenceChange::Kind::Dropped,
                                     old.label, {}, old.v,    std::nullopt};
        const ComparisonStar *now = byAuid.value(old.auid.toUpper());
        if (!now) {
            changes.append(change);
            continue;
        }
        change.newV = now->v;
        if (now->label != old.label) {
            change.kind = store::SequenceChange::Kind::Label;
            change.newLabel = now->label;
            changes.append(change);
        }
        if (old.v && now->v && std::abs(*now->v - *old.v) >= sequenceShift - shiftRounding) {
            change.kind = store::SequenceChange::Kind::Magnitude;
            change.label = now->label;
            change.newLabel.clear();
            changes.append(change);
        }
    }
    return changes;
}

outcome::Result<QList<store::SequenceChange>> keepSequence(const appfiles::Folder &appFolder, const Sequence &sequence,
                                                           const QDateTime &now)
{
    store::Database db(appFolder);
    const outcome::Result<bool> present = store::hasSequences(db);
    if (!present)
        return present.problem();
    if (!*present)
        return outcome::refused(tableProblem());
    if (const outcome::Done begun = db.begin(5s); !begun)
        return begun.problem();
    const QString at = now.toUTC().toString(Qt::ISODate);
    const auto kept = store::sequencesOf(db, {sequence.chartId});
    QList<store::SequenceChange> changes;
    outcome::Done done = kept ? outcome::Done() : outcome::Done(kept.problem());
    if (done) {
        changes = sequenceChanges(*kept, sequence, at);
        QList<store::SequenceStar> stars;
        for (const ComparisonStar &star : sequence.stars)
            stars.append({sequence.chartId, star.auid, star.label, star.v, star.vError, star.comments, at});
        done = store::replaceSequence(db, sequence.chartId, stars, changes);
    }
    if (done)
        done = db.commit();
    if (!done) {
        // A failure to take back is logged; closing the handle takes it back too.
        static_cast<void>(db.rollback());
        return done.problem();
    }
    return changes;
}

SequencesRead readSequences(const appfiles::Folder &appFolder, const QStringList &paths, const QDateTime &now)
{
    SequencesRead read;
    bool anyRead = false;
    bool anyRefused = false;
    for (const QString &path : paths) {
        const outcome::Result<Sequence> sequence = readSequence(path);
        const auto kept = sequence ? keepSequence(appFolder, *sequence, now)
                                   : outcome::Result<QList<store::SequenceChange>>(QList<store::SequenceChange>());
        if (!sequence || !kept) {
            anyRefused = true;
            read.lines.append(sequence ? QStringLiteral("\"%1\" was not kept: %2").arg(path, kept.problem().message)
                                       : sequence.problem().message);
            continue;
        }
        anyRead = true;
        QString line = QStringLiteral("%1: chart %2, %3 comparison star%4 kept")
                           .arg(path, sequence->chartId)
                           .arg(sequence->stars.size())
                           .arg(sequence->stars.size() == 1 ? QString() : QStringLiteral("s"));
        if (!kept->isEmpty()) {
            QStringList changed;
            for (const store::SequenceChange &change : *kept)
                changed.append(changeText(change));
            line += QStringLiteral("; changed: %1").arg(changed.join(QStringLiteral(", ")));
        }
        read.lines.append(line);
        for (const QString &refused : sequence->refused)
            read.lines.append(QStringLiteral("%1: refused: %2").arg(path, refused));
        anyRefused = anyRefused || !sequence->refused.isEmpty();
    }
    read.status = !anyRead ? 2 : anyRefused ? 1 : 0;
    return read;
}

QString sequenceNote(const appfiles::Folder &appFolder, const QString &chart)
{
    if (chart.isEmpty())
        return {};
    store::Database db(appFolder);
    if (!store::hasSequences(db).valueOr(false))
        return {};
    const auto changes = store::untoldChanges(db, chart);
    if (!changes || changes->isEmpty())
        return {};
    const bool anyDropped = std::any_of(changes->cbegin(), changes->cend(), [](const store::SequenceChange &change) {
        return change.kind == store::SequenceChange::Kind::Dropped;
    });
    const QSet<int> used =
        anyDropped ? labelsUsed(store::recentEstimates(db, chart, recentUses).valueOr({})) : QSet<int>();
    QStringList told;
    for (const store::SequenceChange &change : *changes) {
        if (change.kind != store::SequenceChange::Kind::Dropped || used.contains(change.label.toInt()))
            told.append(changeText(change));
    }
    if (const outcome::Done marked = store::markTold(db, chart); !marked)
        qCWarning(lc).noquote() << "the changes of a sequence stay untold:" << marked.problem().message;
    if (told.isEmpty())
        return {};
    return QStringLiteral("The sequence of chart %1 changed on %2: %3; plot a new chart.")
        .arg(chart, changes->constLast().at.left(10), told.join(QStringLiteral(", ")));
}
}
