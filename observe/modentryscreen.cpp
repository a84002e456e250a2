// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/modentryscreen.h"

#include "backup/backups.h"
#include "observe/logging.h"
#include "observe/reportfile.h"
#include "reports/reportchange.h"
#include "reports/rowpairing.h"
#include "reports/starfacts.h"
#include "reports/visualformat.h"
#include "store/charts.h"
#include "store/database.h"
#include "store/heldtransaction.h"
#include "store/observations.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

#include <chrono>
#include <cmath>

namespace observe
{

namespace
{
// The longest the window waits for other recordings or programs, in all.
constexpr std::chrono::milliseconds recordingWait(1000);

outcome::Problem notRecorded(outcome::Problem problem)
{
    return problem.titled(QStringLiteral("Observation not recorded")).as(outcome::Severity::Warning);
}

// Why, then what was kept; trying again may help only when others held on.
outcome::Problem notRecorded(const outcome::Problem &why, const QString &kept)
{
    outcome::Problem problem = why.kind == outcome::Kind::Busy ? why : outcome::failed(why.message);
    problem.message += QLatin1Char(' ') + kept;
    return notRecorded(problem);
}

QString notStored(const QString &reason)
{
    return QStringLiteral("The observation could not be stored in the database. %1").arg(reason);
}

QString nothingKept()
{
    return QStringLiteral("Nothing of the observation was recorded, and your entries are kept in the fields.");
}

}

outcome::Result<QStringList> modEntryscreen::liststars(const appfiles::Folder &appFolder, const QString &constell)
{
    store::Database db(appFolder);
    outcome::Result<QStringList> stars = store::starsOfConstellation(db, constell);
    if (!stars)
        return outcome::failed(stars.problem().message)
            .titled(QStringLiteral("Chart catalogue"))
            .as(outcome::Severity::Warning);
    return stars;
}

namespace
{
// The report line and row of the observation typed, or why it cannot be written.
outcome::Result<modEntryscreen::Recording> recordingOf(store::Database &db,
                                                       const modEntryscreen::ObservationTexts &typed)
{
    using namespace modEntryscreen;
    // A button's access key reaches here without the fields having been left.
    const ObservationTexts texts = asLeft(typed);
    if (const outcome::Done checked = checkObservation(texts, QDateTime::currentDateTimeUtc()); !checked)
        return checked.problem();
    const auto chart = store::chartOf(db, texts.star);
    if (!chart)
        return outcome::failed(chart.problem().message);
    if (!*chart)
        return outcome::refused(notInCatalogue(texts.star), QStringLiteral("txtStar"));
    return makeRecording(texts, isNightly((*chart)->nightly));
}
}

outcome::Done modEntryscreen::recordobs(const appfiles::Folder &appFolder, const QString &todaysfile,
                                        const ObservationTexts &typed)
{
    // Never told at the eyepiece: a failure is logged and shown on the start screen.
    backup::beforeRecording(appFolder);
    // One wait for the whole recording, so that the window never seems frozen.
    const QDeadlineTimer deadline(recordingWait);
    store::Database db(appFolder);
    const outcome::Result<Recording> made = recordingOf(db, typed);
    if (!made && made.problem().kind == outcome::Kind::Failed)
        return notRecorded(made.problem(), nothingKept());
    if (!made)
        return notRecorded(made.problem());
    const Recording &recording = *made;

    // The header may have been saved since the screen opened without one.
    if (!QFileInfo::exists(todaysfile)) {
        if (const outcome::Done begun = beginReport(appFolder, todaysfile); !begun)
            return notRecorded(begun.problem(), nothingKept());
    }

    // A change of the report cut short is completed before the report grows.
    if (const outcome::Done completed = reports::completePending(appFolder, todaysfile, deadline); !completed)
        return notRecorded(completed.problem(), nothingKept());

    // Another program may hold the report while it waits for the database,
    // which an import of this thread may hold: the import gives way first.
    store::endHeldTransactions();

    // The row waits in an open transaction until its line is on the disk, and
    // the line is taken back if the row cannot be committed: a recording is
    // in both or in neither. Only a crash between the line's write and the
    // commit leaves a line without its row, which the screen names when it
    // opens again.
    ReportAppender report(todaysfile);
    if (const outcome::Done locked = report.lock(deadline); !locked)
        return notRecorded(locked.problem(), {});
    const auto remaining = std::chrono::milliseconds(deadline.remainingTime());
    const CumobsRow &row = recording.row;
    // A rollback that fails is logged by the store; closing the handle takes the row back then.
    outcome::Done stored = db.begin(remaining);
    if (stored)
        stored = store::addObservation(db, row);
    if (!stored) {
        static_cast<void>(db.rollback());
        return notRecorded(outcome::failed(notStored(stored.problem().message)), nothingKept());
    }
    if (const outcome::Done appended = report.append(recording.line); !appended) {
        static_cast<void>(db.rollback());
        return notRecorded(appended.problem(), {});
    }
    const outcome::Done committed = db.commit();
    if (committed)
        return {};

    const outcome::Problem why = outcome::failed(notStored(committed.problem().message));
    static_cast<void>(db.rollback());
    if (const outcome::Done taken = report.takeBack(); !taken)
        return notRecorded(why, taken.problem().message + QStringLiteral(" Your entries are kept in the fields."))
            .as(outcome::Severity::Critical);
    qCInfo(lc).noquote() << QStringLiteral("The line of %1 at %2 was taken out of \"%3\" again: its row was not "
                                           "committed.")
                                .arg(row.star, row.obsdate, todaysfile);
    return notRecorded(why,
                       QStringLiteral("Its line has been taken out of the report again, so nothing of it was "
                                      "recorded; your entries are kept in the fields."));
}

std::optional<modEntryscreen::LineTexts> modEntryscreen::textsOfLine(const QString &line, const QString &estimate)
{
    const QStringList fields = line.split(u'|');
    bool isDate = false;
    const double jd = fields.value(1).toDouble(&isDate);
    if (fields.size() != reports::modReportcheck::fieldCount || !isDate || !std::isfinite(jd))
        return std::nullopt;
    const auto orEmpty = [](const QString &field) { return field == QLatin1String("na") ? QString() : field; };
    // Whole minutes of the day, from midnight UT.
    const double fromMidnight = jd + 0.5;
    auto minutes = static_cast<qint64>(std::llround((fromMidnight - std::floor(fromMidnight)) * 24 * 60));
    QDate date = QDate::fromJulianDay(static_cast<qint64>(std::floor(fromMidnight)));
    if (minutes == 24 * 60) {
        date = date.addDays(1);
        minutes = 0;
    }
    LineTexts taken;
    ObservationTexts &texts = taken.texts;
    texts.star = fields.at(0);
    texts.year = QString::number(date.year());
    texts.month = QString::number(date.month());
    texts.day = QString::number(date.day());
    texts.hour = QString::number(minutes / 60);
    texts.minute = QString::number(minutes % 60);
    texts.estimate = estimate;
    texts.fainterthan = fields.at(2).startsWith(u'<');
    texts.magnitude = texts.fainterthan ? fields.at(2).mid(1) : fields.at(2);
    for (const QString &item : reports::commentCodes()) {
        if (fields.at(3) != QLatin1String("na") && item.startsWith(fields.at(3)))
            texts.comment = item;
    }
    texts.comp1 = orEmpty(fields.at(4));
    texts.comp2 = orEmpty(fields.at(5));
    texts.chart = fields.at(6);
    texts.notes = orEmpty(fields.at(7));
    taken.dateText = fields.at(1);
    return taken;
}

outcome::Done modEntryscreen::correctobs(const appfiles::Folder &appFolder, const QString &todaysfile,
                                         const QString &line, std::optional<qint64> row, const ObservationTexts &typed,
                                         const std::optional<QString> &keptDate)
{
    const auto notCorrected = [](outcome::Problem problem) {
        return problem.titled(QStringLiteral("Observation not corrected")).as(outcome::Severity::Warning);
    };
    outcome::Result<Recording> made = [&] {
        store::Database db(appFolder, store::Database::Access::ReadOnly);
        return recordingOf(db, typed);
    }();
    if (!made)
        return notCorrected(made.problem());
    const Recording recording = keptDate ? withDateText(*made, *keptDate) : *made;
    backup::beforeRecording(appFolder);
    reports::ReportChange change(appFolder, todaysfile, {store::Change::Kind::Correction, line, recording, row});
    return change.run();
}

outcome::Done modEntryscreen::withdrawobs(const appfiles::Folder &appFolder, const QString &todaysfile,
                                          const QString &line, std::optional<qint64> row)
{
    backup::beforeRecording(appFolder);
    reports::ReportChange change(appFolder, todaysfile, {store::Change::Kind::Withdrawal, line, std::nullopt, row});
    return change.run();
}

outcome::Done modEntryscreen::withdrawUnpaired(const appfiles::Folder &appFolder, const QString &todaysfile,
                                               const QString &line)
{
    backup::beforeRecording(appFolder);
    reports::ReportChange change(appFolder, todaysfile,
                                 {store::Change::Kind::Withdrawal, line, std::nullopt, std::nullopt, true});
    return change.run();
}

outcome::Result<QStringList> modEntryscreen::unpairedLines(const appfiles::Folder &appFolder, const QString &todaysfile)
{
    const outcome::Result<ReportText> report = readReport(todaysfile);
    if (!report)
        return report.problem();
    // Only what this program writes: whatever else a line holds, it is no
    // observation that recording could have left without its row.
    QStringList lines;
    for (const QString &line : report->text.split(u'\n', Qt::SkipEmptyParts)) {
        if (!line.startsWith(u'#') && line.count(u'|') == reports::modReportcheck::fieldCount - 1)
            lines.append(line);
    }
    if (lines.isEmpty())
        return QStringList();

    // One pass over the rows of the report's dates.
    QStringList dates;
    for (const QString &line : lines)
        dates.append(line.section(u'|', 1, 1));
    store::Database db(appFolder);
    outcome::Result<reports::RowPairing> rows = reports::RowPairing::read(db, dates);
    if (!rows)
        return outcome::failed(rows.problem().message);

    QStringList unpaired;
    for (const QString &line : lines) {
        const QStringList fields = line.split(u'|');
        if (!rows->take(fields.at(0), fields.at(1), fields.at(2)))
            unpaired.append(line);
    }
    return unpaired;
}

QStringList modEntryscreen::warningsOf(const appfiles::Folder &appFolder, const ObservationTexts &typed)
{
    namespace rules = reports::plausibility;
    const ObservationTexts texts = asLeft(typed);
    store::Database db(appFolder, store::Database::Access::ReadOnly);
    const auto chart = store::chartOf(db, texts.star);
    const bool nightly = chart && *chart && isNightly((*chart)->nightly);
    const QStringList fields = makeRecording(texts, nightly).line.split(u'|');
    const rules::Estimate estimate{0,
                                   fields.value(0),
                                   fields.value(1),
                                   fields.value(2),
                                   fields.value(4),
                                   fields.value(5),
                                   texts.estimate,
                                   fields.value(6)};
    const rules::Known known = rules::readKnown(appFolder, {estimate});
    QStringList shown;
    for (const rules::Warning &warning :
         rules::warnings(estimate, known.of(estimate.star), known.sequenceOf(estimate.chart)))
        shown.append(rules::text(estimate, warning));
    for (const reports::UnreadReport &report : known.unread)
        shown.append(QDir::toNativeSeparators(report.path) + QStringLiteral(": ")
                     + rules::unreadWarning(report.reason));
    return shown;
}

} // namespace observe
