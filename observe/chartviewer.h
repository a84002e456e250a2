// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "outcome/result.h"

#include <QDateTime>
#include <QImage>
#include <QString>

#include <functional>
#include <optional>

namespace observe
{

// The chart viewer's rules, without a window: the time stamp of the date and
// time fields, the star's catalogue row, loading a chart or finder chart as
// its box shows it at night, and today's day number for the summary.
namespace modEntryscreen
{
// Tells the present moment. The observation screen stamps its fields from it.
using Clock = std::function<QDateTime()>;
QDateTime systemClock();

struct TimeStamp
{
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
};

// The stamp of the date and time fields: Universal Time, as the Julian Dates
// of the reports are reckoned, one minute ahead. The minute after 59 carries
// into the hour, and so on into the next year.
TimeStamp timestamp(const QDateTime &now);

// Today's day number from the date fields' texts: julianday of that date,
// rounded to a whole number (halves to the even one). Nothing when a text
// is not a number of the fields' kind.
std::optional<qint32> daynumber(const QString &year, const QString &month, const QString &day);

// The columns of a star's catalogue row that the chart viewer uses.
struct ChartRow
{
    QString starname;
    QString chart;
    QString picturefile;
    QString finderchart;
    QString constell;
};

// The catalogue row of the star (letter case ignored): not found when the
// star has none, failed when the database failed.
outcome::Result<ChartRow> chartrow(const appfiles::Folder &appFolder, const QString &star);

// "none", exactly so, in finderchart: the star has no finder chart.
bool hasFinder(const QString &finderchart);

// The largest picture shown, in pixels of 8 bits per colour: a chart of A4
// paper scanned at 600 dots per inch, with room to spare.
inline constexpr int largestPictureWidth = 7000;
inline constexpr int largestPictureHeight = 10000;

struct NightPicture
{
    QImage image;
    // How often the night filter was applied: from once on, the picture
    // holds red alone.
    int applications = 0;
};

// The chart or finder chart of the name in its folder as its box shows it at
// night: read as PNG, GIF or JPEG, an alpha channel laid over the box's
// colour, then the edge scan and the night filter. A name that is more than
// a file name (appfiles::Subfolder::pathPart) is never opened. Not found when no file
// of the name is in the folder (or a link to nothing); refused, naming the
// file and why, when a file is there but cannot be shown (empty, cut short,
// damaged, too large, of another format) or the name is no file name of the
// folder.
outcome::Result<NightPicture> nightPicture(const appfiles::Subfolder &folder, const QString &name, QRgb boxColour);

// What the box "Chart not found" tells when showchart fails for want of a
// catalogue row, a chart file or the summary, naming the chart file read from
// the catalogue (empty when the failure came before it).
outcome::Problem chartNotFound(const QString &file);

// The star's chart as the chart box shows it at night; the problem is worded
// for the box "Chart not found": a file that is there but cannot be shown is
// told by its reason.
outcome::Result<NightPicture> chartPicture(const appfiles::Folder &appFolder, const ChartRow &row, QRgb boxColour);

// The finder chart of the star chosen in the list (empty when none is) as
// its box shows it at night; the problem is worded for the box "Finder chart".
outcome::Result<NightPicture> finderPicture(const appfiles::Folder &appFolder, const QString &star, QRgb boxColour);
}

} // namespace observe
