// SPDX-License-Identifier: GPL-2.0-or-later
#include "reports/reportcheck.h"
#include "store/changes.h"
#include "store/database.h"

#include "appfiles/boundedread.h"
#include "appfiles/filesystem.h"
#include "appfiles/folder.h"
#include "reports/starfacts.h"
#include "store/ledger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTextStream>

#include <algorithm>
#include <cerrno>
#include <dirent.h>

namespace reports
{

namespace modReportcheck
{
namespace
{
QString count(int number, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(number).arg(QLatin1String(number == 1 ? one : many));
}

// A path given by its bytes, as a finding names it.
QString nameOf(const QByteArray &path)
{
    return QDir::toNativeSeparators(QFile::decodeName(path));
}

// The folder of a path, ending in "/"; empty for the working folder.
QByteArray folderOf(const QByteArray &path)
{
    return path.left(path.lastIndexOf('/') + 1);
}

// The day's report files of a folder (as folderOf() gives it), by the bytes
// of their names, newest first; the problem's message is the reason alone.
outcome::Result<QList<QByteArray>> reportsIn(const QByteArray &folder)
{
    DIR *dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir)
        return outcome::failed(appfiles::describeError(errno));
    QList<std::pair<QDate, QByteArray>> dated;
    // Whatever is named like a report is listed, a folder too: its readers
    // tell the observer why it is no report.
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (const auto date = appfiles::reportDate(QFile::decodeName(name)))
            dated.append({*date, folder + name});
    }
    ::closedir(dir);
    std::sort(dated.begin(), dated.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    QList<QByteArray> paths;
    for (const auto &[date, path] : std::as_const(dated))
        paths.append(path);
    return paths;
}

// Observations of this report that an earlier day's report holds already;
// the reports that cannot be read are named, and added to unread.
void earlierReports(const QByteArray &path, const QDate &date, const KeyIndex &keys, Findings &findings,
                    QSet<QString> &unread)
{
    if (keys.size() == 0)
        return;
    const QByteArray folder = folderOf(path);
    const outcome::Result<QList<QByteArray>> listing = reportsIn(folder);
    if (!listing) {
        findings.add(Severity::Warning, 0, QStringLiteral("file"),
                     nameOf(folder.isEmpty() ? QByteArrayLiteral(".") : folder),
                     QStringLiteral("The folder cannot be read (%1), so this report was not compared with the "
                                    "earlier days' reports in it: an observation sent with one of them would not "
                                    "be found.")
                         .arg(listing.problem().message));
        return;
    }
    const QList<qint64> dates = keys.dates();
    QHash<qsizetype, QString> found;
    for (const QByteArray &earlier : *listing) {
        if (*appfiles::reportDate(QFile::decodeName(earlier)) >= date)
            continue;
        const outcome::Result<QByteArray> file = appfiles::readBounded(earlier, appfiles::largestReport);
        const QString problem = !file ? file.problem().message
            : isUtf16(*file)          ? QStringLiteral("it is written in UTF-16")
                                      : QString();
        if (!problem.isEmpty()) {
            unread.insert(QFileInfo(QFile::decodeName(earlier)).absoluteFilePath());
            findings.add(Severity::Warning, 0, QStringLiteral("file"), nameOf(earlier),
                         QStringLiteral("This earlier day's report cannot be read (%1), so this report was not "
                                        "compared with it: an observation sent with it already would not be found. "
                                        "Make it readable, or move it out of the folder if it is no report.")
                             .arg(problem));
            continue;
        }
        const QString name = QFileInfo(QFile::decodeName(earlier)).fileName();
        // Newest first: the latest report that holds it is named.
        forEachKey(*file, dates, [&](const ObservationKey &key, int line) {
            const std::optional<qsizetype> number = keys.find(key);
            if (number && !found.contains(*number))
                found.insert(*number, QStringLiteral("%1, line %2").arg(name).arg(line));
        });
    }
    QList<qsizetype> numbers = found.keys();
    std::sort(numbers.begin(), numbers.end());
    for (const qsizetype number : std::as_const(numbers)) {
        findings.add(
            Severity::Warning, keys.line(number), QStringLiteral("line"), keys.text(number),
            QStringLiteral("The same observation (star, date and magnitude) is in an earlier day's report, %1. "
                           "If you sent that report, the AAVSO has it already: delete the line here.")
                .arg(found.value(number)));
    }
}

// The file read and checked by itself, and its keys for the earlier reports.
Reading readReport(const QByteArray &name, const QString &path, const QDateTime &now)
{
    // Only a file over the limit gets the advice on its size.
    bool tooLarge = false;
    const outcome::Result<QByteArray> file = appfiles::readBounded(name, appfiles::largestReport, [&tooLarge](qint64) {
        tooLarge = true;
        return appfiles::largerThan(appfiles::largestReport);
    });
    if (!file) {
        Reading reading;
        reading.findings.add(
            Severity::Error, 0, QStringLiteral("file"), nameOf(name),
            tooLarge ? QStringLiteral("The file cannot be read (%1): no day's report is near that size, a heavy "
                                      "night's has about 100 KB. Check that it is the report you meant.")
                           .arg(file.problem().message)
                     : QStringLiteral("The file cannot be read (%1).").arg(file.problem().message));
        return reading;
    }
    std::optional<ReportDay> day;
    if (const std::optional<QDate> date = appfiles::reportDate(path))
        day = ReportDay{*date, QFileInfo(path).fileName()};
    return readVisual(*file, now, day);
}

// The checks after an estimate of every observation, what the program's
// folder knows of the stars and of the estimates as written read once; a
// report it could not read is named unless it is in unread, named already.
void plausible(QList<plausibility::Estimate> estimates, const std::optional<appfiles::Folder> &appFolder,
               Findings &findings, QStringList &notes, const QSet<QString> &unread)
{
    if (appFolder)
        plausibility::readWritten(*appFolder, estimates);
    const plausibility::Known known = plausibility::readKnown(appFolder, estimates);
    notes += known.notes;
    for (const UnreadReport &report : known.unread) {
        if (!unread.contains(QFileInfo(report.path).absoluteFilePath()))
            findings.add(Severity::Warning, 0, QStringLiteral("file"), QDir::toNativeSeparators(report.path),
                         plausibility::unreadWarning(report.reason));
    }
    for (const plausibility::Estimate &estimate : estimates) {
        for (const plausibility::Warning &warning :
             plausibility::warnings(estimate, known.of(estimate.star), known.sequenceOf(estimate.chart))) {
            QString reason = warning.reason + u'.';
            reason[0] = reason.at(0).toUpper();
            findings.add(Severity::Warning, estimate.line, warning.rule,
                         QStringLiteral("%1, %2, %3").arg(estimate.star, estimate.date, estimate.magnitude), reason);
        }
    }
}

QString severityName(Severity severity)
{
    return severity == Severity::Error ? QStringLiteral("error") : QStringLiteral("warning");
}
}

Check checkReport(const QString &path, const QDateTime &now, const std::optional<appfiles::Folder> &appFolder)
{
    return checkReport(QFile::encodeName(path), now, appFolder);
}

Check checkReport(const QByteArray &name, const QDateTime &now, const std::optional<appfiles::Folder> &appFolder)
{
    Check check;
    check.path = QFile::decodeName(name);
    Reading reading = readReport(name, check.path, now);
    QSet<QString> unread;
    if (const std::optional<QDate> date = appfiles::reportDate(check.path))
        earlierReports(name, *date, reading.keys, reading.findings, unread);
    if (!reading.estimates.isEmpty())
        plausible(reading.estimates, appFolder, reading.findings, check.notes, unread);
    check.observations = reading.observations;
    check.findings = reading.findings.list();
    check.errors = reading.findings.errors();
    check.warnings = reading.findings.warnings();
    return check;
}

QStringList reportFiles(const QString &folder)
{
    QStringList paths;
    const QByteArray name = QFile::encodeName(folder);
    // A folder that cannot be read has none to offer.
    for (const QByteArray &path : reportsIn(name.endsWith('/') ? name : name + '/').valueOr({}))
        paths.append(QFile::decodeName(path));
    return paths;
}

QString summary(const Check &check)
{
    const QString observations = count(check.observations, "observation", "observations");
    if (check.errors == 0 && check.warnings == 0)
        return QStringLiteral("no findings, %1").arg(observations);
    QStringList listed;
    if (check.errors > Findings::keptOfEachKind)
        listed.append(QStringLiteral("the first %1 errors").arg(Findings::keptOfEachKind));
    if (check.warnings > Findings::keptOfEachKind)
        listed.append(QStringLiteral("the first %1 warnings").arg(Findings::keptOfEachKind));
    return QStringLiteral("%1, %2, %3")
               .arg(count(check.errors, "error", "errors"), count(check.warnings, "warning", "warnings"), observations)
        + (listed.isEmpty() ? QString() : QStringLiteral(" (%1 listed)").arg(listed.join(QStringLiteral(" and "))));
}

int checkFiles(const QList<QByteArray> &names, const QDateTime &now, QTextStream &out,
               const std::optional<appfiles::Folder> &appFolder)
{
    int status = 0;
    for (const QByteArray &path : names) {
        const Check check = checkReport(path, now, appFolder);
        const QString name = nameOf(path);
        for (const Finding &finding : check.findings) {
            const QString where = finding.line > 0 ? QStringLiteral("%1:%2").arg(name).arg(finding.line) : name;
            out << where << ": " << severityName(finding.severity) << ": " << finding.field;
            if (!finding.value.isEmpty())
                out << " \"" << finding.value << '"';
            out << ": " << finding.reason << '\n';
        }
        for (const QString &note : check.notes)
            out << name << ": note: " << note << '\n';
        out << name << ": " << summary(check) << '\n';
        status = std::max(status, check.errors > 0 ? 2 : check.warnings > 0 ? 1 : 0);
    }
    out.flush();
    return status;
}

// The corrections and withdrawals still standing, withdrawals not dismissed.
QList<store::Change> changesToTell(const appfiles::Folder &appFolder)
{
    store::Database db(appFolder, store::Database::Access::ReadOnly);
    if (!store::hasChanges(db).valueOr(false))
        return {};
    const QList<store::Change> all = store::changesNewestFirst(db).valueOr({});
    QSet<qint64> undone;
    for (const store::Change &change : all) {
        if (change.undoes)
            undone.insert(*change.undoes);
    }
    QList<store::Change> told;
    for (const store::Change &change : all) {
        const bool ofALine =
            change.kind == store::Change::Kind::Correction || change.kind == store::Change::Kind::Withdrawal;
        if (!change.undoes && !undone.contains(change.id) && ofALine
            && !(change.kind == store::Change::Kind::Withdrawal && change.dismissed))
            told.append(change);
    }
    return told;
}

Ledgers ledgersOf(const appfiles::Folder &appFolder, const QList<QByteArray> &names)
{
    Ledgers ledgers;
    const outcome::Result<store::Ledger> read = store::readLedger(appFolder);
    if (!read) {
        ledgers.note = QStringLiteral("The ledger of what the AAVSO holds was skipped: %1").arg(read.problem().message);
        return ledgers;
    }
    LedgerMatch match(*read);
    if (!match.begun()) {
        ledgers.note = noDownloadNote();
        return ledgers;
    }
    const QList<store::Change> changes = changesToTell(appFolder);
    for (const QByteArray &name : names) {
        const outcome::Result<QByteArray> file = appfiles::readBounded(name, appfiles::largestReport);
        ReportLedger report = file ? match.match(*file) : ReportLedger();
        if (!file)
            report.problem = QStringLiteral("The file cannot be read (%1).").arg(file.problem().message);
        const QString fileName = QFileInfo(QFile::decodeName(name)).fileName();
        const auto held = [&match](const QString &line) {
            // With its delimiter declared, as in the report it came from.
            const ReportLedger one = match.match("#DELIM=|\r\n" + line.toLatin1() + "\r\n");
            return !one.lines.isEmpty()
                && (one.lines.constFirst().standing == Standing::Held
                    || one.lines.constFirst().standing == Standing::HeldAs);
        };
        for (const store::Change &change : changes) {
            const bool withdrawn = change.kind == store::Change::Kind::Withdrawal;
            // A correction is told until the AAVSO holds its new value too.
            if (change.report == fileName && held(change.oldLine) && (withdrawn || !held(change.newLine)))
                report.changed.append(
                    {change.id, withdrawn, change.oldLine.section(u'|', 0, 2).replace(u'|', QStringLiteral(", "))});
        }
        ledgers.reports.append(std::move(report));
    }
    return ledgers;
}

void printLedgers(const QList<QByteArray> &names, const appfiles::Folder &appFolder, QTextStream &out)
{
    const Ledgers ledgers = ledgersOf(appFolder, names);
    if (!ledgers.note.isEmpty())
        out << "ledger: " << ledgers.note << '\n';
    for (qsizetype i = 0; i < ledgers.reports.size(); ++i) {
        const ReportLedger &report = ledgers.reports.at(i);
        const QString name = nameOf(names.at(i));
        out << name << ": ledger: " << (report.problem.isEmpty() ? ledgerSummary(report) : report.problem) << '\n';
        for (const LedgerLine &line : report.lines) {
            if (line.standing == Standing::HeldAs || line.standing == Standing::SameAs
                || line.standing == Standing::Missing)
                out << name << ':' << line.line << ": " << standingText(line) << ": " << line.observation << '\n';
        }
        for (const ReportLedger::Changed &changed : report.changed)
            out << name << ": " << changedText(changed) << ": " << changed.observation << '\n';
    }
    out.flush();
}
}

} // namespace reports
