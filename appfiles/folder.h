// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/subfolder.h"

#include <QDate>
#include <QString>

#include <optional>

namespace appfiles
{
// The most of a day's report that is ever read, far beyond any real one (a
// heavy night's holds about 100 KB): whatever is put in its place, reading
// stays quick.
constexpr qint64 largestReport = 20 * 1024 * 1024;

// The program folder and everything the program keeps in it: made once from
// the running program's folder and handed on by reference. Paths use "/" and
// are absolute when the folder is; only this type and its subfolders join a
// name to a folder.
class Folder final
{
public:
    explicit Folder(const QString &path);

    QString path() const;
    // The observation database, "starcharts.mdb".
    QString database() const;
    // The observer's report header, "header.txt".
    QString header() const;
    // The folder of daily report files, "obs".
    Subfolder reports() const;
    // The folder of chart images, "starcharts".
    Subfolder charts() const;
    // The folder of finder-chart images, "charts"; the observer makes it.
    Subfolder finderCharts() const;
    // The observing site and the cadences of the Tonight planner, "site.ini".
    QString site() const;
    // The checked copies of the database, each in a folder of its own, "backups".
    Subfolder backups() const;
    // The help page, "quillon.html".
    QString help() const;
    // The report file of a date: "obs/2018-Jan-05.txt". Month abbreviations
    // are English whatever the regional settings, so names never change.
    QString report(const QDate &date) const;

private:
    Subfolder m_root;
};

// The date a day's report file is named after ("2018-Jan-05.txt", with or
// without its folder), or nothing for any other name.
std::optional<QDate> reportDate(const QString &path);
}
