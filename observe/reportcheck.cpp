// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportcheck.h"

#include "folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QTextStream>

#include <algorithm>

namespace modReportcheck
{
namespace
{
QString count(int number, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(number).arg(QLatin1String(number == 1 ? one : many));
}

void nightWindow(const Check &check, const QList<Observation> &observations, const QDate &date,
                 QList<Finding> &findings)
{
    const Night night = nightOf(date);
    const QString day = QLocale(QLocale::English).toString(date, QStringLiteral("d MMMM yyyy"));
    for (const Observation &observation : observations) {
        if (!observation.jd)
            continue;
        const double jd = *observation.jd;
        if (jd + observation.jdSlack >= night.begin && jd - observation.jdSlack <= night.end)
            continue;
        findings.append(Finding{
            Severity::Warning, observation.line, fieldName(Field::Date), observation.value(Field::Date),
            QStringLiteral("The date lies outside the night of %1 that %2 holds (local midnight to noon the next "
                           "day: JD %3 to %4). Check the date, and that the time was given in Universal Time.")
                .arg(day, QFileInfo(check.path).fileName())
                .arg(night.begin, 0, 'f', 4)
                .arg(night.end, 0, 'f', 4)});
    }
}

// Observations of this report that an earlier day's report holds already.
void earlierReports(const QString &path, const QDate &date, const QList<Observation> &observations,
                    QList<Finding> &findings)
{
    QHash<ObservationKey, const Observation *> keys;
    QList<qint64> dates;
    for (const Observation &observation : observations) {
        if (observation.key && !keys.contains(*observation.key)) {
            keys.insert(*observation.key, &observation);
            dates.append(observation.key->tenThousandthDays);
        }
    }
    if (keys.isEmpty())
        return;
    std::sort(dates.begin(), dates.end());
    QHash<const Observation *, QString> found;
    for (const QString &earlier : reportFiles(QFileInfo(path).absolutePath())) {
        if (*appfiles::reportDate(earlier) >= date)
            continue;
        QFile file(earlier);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString name = QFileInfo(earlier).fileName();
        // Newest first: the latest report that holds it is named.
        forEachKey(file.readAll(), dates, [&](const ObservationKey &key, int line) {
            const Observation *observation = keys.value(key);
            if (observation && !found.contains(observation))
                found.insert(observation, QStringLiteral("%1, line %2").arg(name).arg(line));
        });
    }
    for (const Observation &observation : observations) {
        const auto where = found.constFind(&observation);
        if (where == found.constEnd())
            continue;
        findings.append(
            Finding{Severity::Warning, observation.line, QStringLiteral("line"), keyText(observation),
                    QStringLiteral("The same observation (star, date and magnitude) is in an earlier day's report, %1. "
                                   "If you sent that report, the AAVSO has it already: delete the line here.")
                        .arg(*where)});
    }
}

void sortFindings(QList<Finding> &findings)
{
    std::stable_sort(findings.begin(), findings.end(), [](const Finding &a, const Finding &b) {
        if (a.severity != b.severity)
            return a.severity == Severity::Error;
        return a.line < b.line;
    });
}

QString severityName(Severity severity)
{
    return severity == Severity::Error ? QStringLiteral("error") : QStringLiteral("warning");
}
}

int Check::errors() const
{
    return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                          [](const Finding &f) { return f.severity == Severity::Error; }));
}

int Check::warnings() const
{
    return static_cast<int>(findings.size()) - errors();
}

Night nightOf(const QDate &date)
{
    return {julianDate(QDateTime(date, QTime(0, 0))), julianDate(QDateTime(date.addDays(1), QTime(12, 0)))};
}

Check checkReport(const QString &path, const QDateTime &now)
{
    Check check;
    check.path = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        check.findings.append(Finding{Severity::Error, 0, QStringLiteral("file"), QDir::toNativeSeparators(path),
                                      QStringLiteral("The file cannot be read (%1).").arg(file.errorString())});
        return check;
    }
    const Reading reading = readVisual(file.readAll(), now);
    check.observations = static_cast<int>(reading.observations.size());
    check.findings = reading.findings;
    if (const std::optional<QDate> date = appfiles::reportDate(path)) {
        nightWindow(check, reading.observations, *date, check.findings);
        earlierReports(path, *date, reading.observations, check.findings);
    }
    sortFindings(check.findings);
    return check;
}

QStringList reportFiles(const QString &folder)
{
    QList<std::pair<QDate, QString>> dated;
    const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("*.txt")}, QDir::Files);
    for (const QFileInfo &file : files) {
        if (const auto date = appfiles::reportDate(file.fileName()))
            dated.append({*date, file.absoluteFilePath()});
    }
    std::sort(dated.begin(), dated.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    QStringList paths;
    for (const auto &[date, path] : std::as_const(dated))
        paths.append(path);
    return paths;
}

QString summary(const Check &check)
{
    if (check.findings.isEmpty())
        return QStringLiteral("no findings, %1").arg(count(check.observations, "observation", "observations"));
    return QStringLiteral("%1, %2, %3")
        .arg(count(check.errors(), "error", "errors"), count(check.warnings(), "warning", "warnings"),
             count(check.observations, "observation", "observations"));
}

int checkFiles(const QStringList &paths, const QDateTime &now, QTextStream &out)
{
    int status = 0;
    for (const QString &path : paths) {
        const Check check = checkReport(path, now);
        const QString name = QDir::toNativeSeparators(path);
        for (const Finding &finding : check.findings) {
            const QString where = finding.line > 0 ? QStringLiteral("%1:%2").arg(name).arg(finding.line) : name;
            out << where << ": " << severityName(finding.severity) << ": " << finding.field;
            if (!finding.value.isEmpty())
                out << " \"" << finding.value << '"';
            out << ": " << finding.reason << '\n';
        }
        out << name << ": " << summary(check) << '\n';
        status = std::max(status, check.errors() > 0 ? 2 : check.warnings() > 0 ? 1 : 0);
    }
    out.flush();
    return status;
}
}
