// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "outcome/result.h"
#include "tonight/night.h"
#include "tonight/plan.h"
#include "tonight/site.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTimeZone>

// What the Tonight screen shows, worded without a window: the plan with its
// night and sky (for the altitude plot), the cells of its list, its lines.
namespace tonight
{
struct PlanView
{
    Site site;
    Plan plan;
    NightSky sky;
    // The plan's stars' positions by name, for the plot of the one selected.
    QHash<QString, Position> positions;
};

// The plan at the moment from the program folder, read once for the list and
// the plot; NotFound without a site.
outcome::Result<PlanView> readPlanView(const appfiles::Folder &appFolder, const QDateTime &moment);

// The list's columns, in order.
enum class Column {
    Star,
    AltitudeNow,
    BestUtc,
    BestLocal,
    BestAltitude,
    MoonDistance,
    MoonFraction,
    DaysSince,
    Priority,
    NextMinimum,
    NextMaximum,
};
inline constexpr int columnCount = int(Column::NextMaximum) + 1;

QStringList columnTitles();
// One row's cells; local times in the zone.
QStringList planCells(const PlanRow &row, const QTimeZone &zone);
// "Dark 18:42 to 05:10 UT (19:42 to 06:10 local)", or "No dark ..." where
// the Sun stays above the limit.
QString darkText(const Night &night, const QTimeZone &zone);
// The stars without a position, the first few by name, and how to add them;
// empty when every star has one.
QString withoutPositionText(const QStringList &names);
}
