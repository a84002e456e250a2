// SPDX-License-Identifier: GPL-2.0-or-later
#include "appfiles/folder.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace appfiles
{
namespace
{
const std::array<const char *, 12> months = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec",
};
}

Folder::Folder(const QString &path)
    : m_root(path)
{
}

QString Folder::path() const
{
    return m_root.path();
}

QString Folder::database() const
{
    return m_root.at(QStringLiteral("starcharts.mdb"));
}

QString Folder::header() const
{
    return m_root.at(QStringLiteral("header.txt"));
}

Subfolder Folder::reports() const
{
    return Subfolder(m_root.at(QStringLiteral("obs")));
}

Subfolder Folder::charts() const
{
    return Subfolder(m_root.at(QStringLiteral("starcharts")));
}

Subfolder Folder::finderCharts() const
{
    return Subfolder(m_root.at(QStringLiteral("charts")));
}

QString Folder::site() const
{
    return m_root.at(QStringLiteral("site.ini"));
}

Subfolder Folder::backups() const
{
    return Subfolder(m_root.at(QStringLiteral("backups")));
}

QString Folder::help() const
{
    return m_root.at(QStringLiteral("quillon.html"));
}

QString Folder::report(const QDate &date) const
{
    return reports().at(QStringLiteral("%1-%2-%3.txt")
                            .arg(date.year(), 4, 10, QLatin1Char('0'))
                            .arg(QLatin1String(months[date.month() - 1]))
                            .arg(date.day(), 2, 10, QLatin1Char('0')));
}

std::optional<QDate> reportDate(const QString &path)
{
    static const QRegularExpression name(QStringLiteral("^(\\d{4})-([A-Z][a-z]{2})-(\\d{2})\\.txt$"));
    const QRegularExpressionMatch match = name.match(QFileInfo(path).fileName());
    if (!match.hasMatch())
        return std::nullopt;
    const QString abbreviation = match.captured(2);
    const auto month = std::find_if(months.begin(), months.end(),
                                    [&abbreviation](const char *m) { return abbreviation == QLatin1String(m); });
    if (month == months.end())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), static_cast<int>(month - months.begin()) + 1,
                     match.captured(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}
}
