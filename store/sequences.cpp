// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/sequences.h"

#include "store/schema.h"
#include "store/statement.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace
{
using store::SequenceChange;

// More charts than this are read by a pass over the table.
constexpr qsizetype soughtCharts = 50;

// V in the labels' text: whole thousandths, read digit by digit, as a
// check reads thousands of them.
std::optional<double> magnitudeOf(QStringView thousandths)
{
    if (thousandths.isEmpty())
        return std::nullopt;
    const bool negative = thousandths.startsWith(u'-');
    long value = 0;
    for (const QChar digit : thousandths.mid(negative ? 1 : 0)) {
        if (!digit.isDigit())
            return std::nullopt;
        value = value * 10 + digit.digitValue();
    }
    return (negative ? -value : value) / 1000.0;
}

// The text kept per chart for the checks: a line of label and V in whole
// thousandths (empty when unknown) for each star.
QString labelsText(const QList<store::ChartLabel> &stars)
{
    QString text;
    for (const store::ChartLabel &star : stars)
        text += star.label + u'\t' + (star.v ? QString::number(std::lround(*star.v * 1000)) : QString()) + u'\n';
    return text;
}

QVariant optionalNumber(const std::optional<double> &number)
{
    return number ? QVariant(*number) : QVariant(QMetaType::fromType<double>());
}

std::optional<double> numberAt(const store::Statement &row, int column)
{
    const QVariant value = row.value(column);
    return value.isNull() ? std::nullopt : std::optional(value.toDouble());
}

QLatin1StringView kindText(SequenceChange::Kind kind)
{
    switch (kind) {
    case SequenceChange::Kind::Magnitude: return QLatin1StringView("magnitude");
    case SequenceChange::Kind::Label: return QLatin1StringView("label");
    case SequenceChange::Kind::Dropped: return QLatin1StringView("dropped");
    }
    return {};
}

SequenceChange::Kind kindOf(const QString &text)
{
    for (const auto kind : {SequenceChange::Kind::Label, SequenceChange::Kind::Dropped}) {
        if (text == kindText(kind))
            return kind;
    }
    return SequenceChange::Kind::Magnitude;
}

QString starColumns()
{
    using namespace store::column;
    return QStringList{chart, auid, label, vMag, vError, comments, readAt}.join(QStringLiteral(", "));
}

QString changeColumns()
{
    using namespace store::column;
    return QStringList{chart, at, auid, kind, label, newLabel, oldV, newV}.join(QStringLiteral(", "));
}
}

outcome::Result<bool> store::hasSequences(Database &db)
{
    const auto count =
        countOf(db, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name IN (?, ?, ?)"),
                {QString(sequencesTable), QString(sequenceChangesTable), QString(sequenceLabelsTable)});
    if (!count)
        return count.problem();
    return *count == 3;
}

outcome::Result<QList<store::SequenceStar>> store::sequencesOf(Database &db, const QStringList &charts)
{
    return rowsIn(
        db, QStringLiteral("SELECT %1 FROM %2 WHERE %3 IN (%4)").arg(starColumns(), sequencesTable, column::chart),
        charts, [](const Statement &row) {
            return SequenceStar{row.text(0),      row.text(1), row.text(2), numberAt(row, 3),
                                numberAt(row, 4), row.text(5), row.text(6)};
        });
}

store::ChartLabels::ChartLabels(const QList<ChartLabel> &stars)
    : ChartLabels(fromText(labelsText(stars)))
{
}

store::ChartLabels store::ChartLabels::fromText(QString text)
{
    ChartLabels chart;
    chart.m_text = std::move(text);
    const QStringView all(chart.m_text);
    chart.m_entries.reserve(all.count(u'\n'));
    for (qsizetype at = 0; at < all.size();) {
        qsizetype end = all.indexOf(u'\n', at);
        if (end < 0)
            end = all.size();
        const QStringView line = all.sliced(at, end - at);
        if (!line.isEmpty()) {
            const qsizetype tab = line.indexOf(u'\t');
            chart.m_entries.append(
                {at, tab < 0 ? line.size() : tab, {1, tab < 0 ? std::nullopt : magnitudeOf(line.sliced(tab + 1))}});
        }
        at = end + 1;
    }
    // Stable, so that of the stars sharing a label the last one's V is kept.
    std::stable_sort(chart.m_entries.begin(), chart.m_entries.end(),
                     [&chart](const Entry &a, const Entry &b) { return chart.labelOf(a) < chart.labelOf(b); });
    QList<Entry> once;
    once.reserve(chart.m_entries.size());
    for (const Entry &entry : std::as_const(chart.m_entries)) {
        if (!once.isEmpty() && chart.labelOf(once.constLast()) == chart.labelOf(entry)) {
            ++once.last().stars.count;
            once.last().stars.v = entry.stars.v;
        } else {
            once.append(entry);
        }
    }
    chart.m_entries = std::move(once);
    return chart;
}

QStringView store::ChartLabels::labelOf(const Entry &entry) const
{
    return QStringView(m_text).sliced(entry.start, entry.length);
}

std::optional<store::ChartLabels::Stars> store::ChartLabels::find(QStringView label) const
{
    const auto found =
        std::lower_bound(m_entries.cbegin(), m_entries.cend(), label,
                         [this](const Entry &entry, QStringView sought) { return labelOf(entry) < sought; });
    if (found == m_entries.cend() || labelOf(*found) != label)
        return std::nullopt;
    return found->stars;
}

QStringList store::ChartLabels::labels() const
{
    QStringList all;
    all.reserve(m_entries.size());
    for (const Entry &entry : m_entries)
        all.append(labelOf(entry).toString());
    return all;
}

outcome::Result<QHash<QString, store::ChartLabels>> store::labelsOf(Database &db, const QStringList &charts)
{
    // Many charts are quicker read in one pass over the table than each sought.
    const auto chartOf = [](const Statement &row) { return std::pair(row.text(0), row.text(1)); };
    const QString select =
        QStringLiteral("SELECT %1, %2 FROM %3").arg(column::chart, column::labels, sequenceLabelsTable);
    const auto chartStars = charts.size() > soughtCharts
        ? rowsOf(db, select, {}, chartOf)
        : rowsIn(db, select + QStringLiteral(" WHERE %1 IN (%2)").arg(column::chart, QStringLiteral("%1")), charts,
                 chartOf);
    if (!chartStars)
        return chartStars.problem();
    QSet<QString> asked;
    for (const QString &chart : charts)
        asked.insert(chart.toUpper());
    // Chart IDs that differ in letter case only are one chart.
    QHash<QString, QString> texts;
    for (const auto &[chartId, text] : *chartStars) {
        const QString key = chartId.toUpper();
        if (asked.contains(key))
            texts[key] += text;
    }
    QHash<QString, ChartLabels> labelled;
    labelled.reserve(texts.size());
    for (auto it = texts.begin(); it != texts.end(); ++it)
        labelled.insert(it.key(), ChartLabels::fromText(std::move(it.value())));
    return labelled;
}

outcome::Done store::replaceSequence(Database &db, const QString &chart, const QList<SequenceStar> &stars,
                                     const QList<SequenceChange> &changes)
{
    outcome::Done done =
        Statement::write(db, QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(sequencesTable, column::chart), {chart});
    const QString insertStar =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(sequencesTable, starColumns(), placeholders(7));
    for (qsizetype i = 0; done && i < stars.size(); ++i) {
        const SequenceStar &star = stars.at(i);
        done = Statement::write(db, insertStar,
                                {chart, star.auid, star.label, optionalNumber(star.v), optionalNumber(star.vError),
                                 star.comments, star.readAt});
    }
    QList<ChartLabel> labels;
    labels.reserve(stars.size());
    for (const SequenceStar &star : stars)
        labels.append({star.label, star.v});
    const QString labelled = labelsText(labels);
    if (done)
        done = Statement::write(
            db, QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(sequenceLabelsTable, column::chart), {chart});
    if (done)
        done = Statement::write(db,
                                QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (?, ?)")
                                    .arg(sequenceLabelsTable, column::chart, column::labels),
                                {chart, labelled});
    const QString insertChange =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(sequenceChangesTable, changeColumns(), placeholders(8));
    for (qsizetype i = 0; done && i < changes.size(); ++i) {
        const SequenceChange &change = changes.at(i);
        done = Statement::write(db, insertChange,
                                {chart, change.at, change.auid, QString(kindText(change.kind)), change.label,
                                 change.newLabel, optionalNumber(change.oldV), optionalNumber(change.newV)});
    }
    return done;
}

outcome::Result<QList<store::SequenceChange>> store::untoldChanges(Database &db, const QString &chart)
{
    return rowsOf(db,
                  QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? AND %4 = 0 ORDER BY %5")
                      .arg(changeColumns(), sequenceChangesTable, column::chart, column::told, column::id),
                  {chart}, [](const Statement &row) {
                      return SequenceChange{row.text(0), row.text(1), row.text(2),      kindOf(row.text(3)),
                                            row.text(4), row.text(5), numberAt(row, 6), numberAt(row, 7)};
                  });
}

outcome::Done store::markTold(Database &db, const QString &chart)
{
    return Statement::write(
        db, QStringLiteral("UPDATE %1 SET %2 = 1 WHERE %3 = ?").arg(sequenceChangesTable, column::told, column::chart),
        {chart});
}

outcome::Result<QStringList> store::recentEstimates(Database &db, const QString &chart, int count)
{
    return textsOf(db,
                   QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? ORDER BY %4 DESC LIMIT ?")
                       .arg(column::estimate, cumobs().name, column::chart, column::obsdate),
                   {chart, count});
}
