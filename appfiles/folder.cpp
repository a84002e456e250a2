// SPDX-License-Identifier: GPL-2.0-or-later
#include "folder.h"

#include <array>

namespace appfiles
{
Folder::Folder(const QString &path)
    : m_path(path)
{
}

QString Folder::path() const
{
    return m_path;
}

QString Folder::file(const QString &name) const
{
    return m_path + QLatin1Char('/') + name;
}

QString Folder::database() const
{
    return file(QStringLiteral("starcharts.mdb"));
}

QString Folder::header() const
{
    return file(QStringLiteral("header.txt"));
}

QString Folder::reports() const
{
    return file(QStringLiteral("obs"));
}

QString Folder::charts() const
{
    return file(QStringLiteral("starcharts"));
}

QString Folder::finderCharts() const
{
    return file(QStringLiteral("charts"));
}

QString Folder::help() const
{
    return file(QStringLiteral("quillon.html"));
}

QString Folder::report(const QDate &date) const
{
    static const std::array<const char *, 12> months = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec",
    };
    return QStringLiteral("%1/%2-%3-%4.txt")
        .arg(reports())
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(QLatin1String(months[date.month() - 1]))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}
}
