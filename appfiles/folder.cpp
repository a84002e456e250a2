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

QString Folder::site() const
{
    return file(QStringLiteral("site.ini"));
}

QString Folder::help() const
{
    return file(QStringLiteral("quillon.html"));
}

QString Folder::report(const QDate &date) const
{
    return QStringLiteral("%1/%2-%3-%4.txt")
        .arg(reports())
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(QLatin1String(months[date.month() - 1]))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

std::optional<QString> pathPart(const QString &name)
{
    for (const QChar character : name) {
        if (character == u'/' || character == u'\\')
            return QString(character);
    }
    if (name == u"." || name == u"..")
        return name;
    return std::nullopt;
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
