// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/previous.h"

#include "store/database.h"
#include "store/observations.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace observe
{

outcome::Result<std::optional<QString>> modEntryscreen::newestObsdate(const appfiles::Folder &appFolder,
                                                                      const QString &star)
{
    store::Database db(appFolder);
    const auto newest = store::newestObservation(db, star);
    if (!newest)
        return outcome::failed(newest.problem().message);
    return *newest ? std::optional((*newest)->obsdate) : std::nullopt;
}

std::optional<qint32> modEntryscreen::wholeDay(const QString &obsdate)
{
    bool ok = false;
    // A full stop is the decimal point, whatever the regional settings.
    const double jd = QLocale::c().toDouble(obsdate, &ok);
    if (!ok)
        return std::nullopt;
    // The rounding of the present floating-point mode: halves to the even neighbour.
    const double whole = std::nearbyint(jd);
    if (!std::isfinite(whole) || whole < std::numeric_limits<qint32>::min()
        || whole > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(whole);
}

outcome::Result<QString> modEntryscreen::previousCaption(const QString &star, const std::optional<QString> &newest,
                                                         qint32 daynumber)
{
    if (!newest)
        return QStringLiteral("No previous observations of this star.");
    const auto day = wholeDay(*newest);
    if (!day) {
        return outcome::failed(
                   QStringLiteral("The newest observation of \"%1\" is dated \"%2\", which is not a Julian Date, so "
                                  "the days since it cannot be counted. Correct its date in the observations table.")
                       .arg(star, *newest))
            .titled(QStringLiteral("Previous observations"))
            .as(outcome::Severity::Warning);
    }
    const qint64 days = qint64(daynumber) - *day;
    if (days == 0)
        return QStringLiteral("Star already observed tonight");
    if (days > 0)
        return QString(QStringLiteral("Last obs. of this star: ") + QString::number(days)
                       + QStringLiteral(" days ago"));
    return QStringLiteral("Last obs. of this star is dated after today");
}

} // namespace observe
