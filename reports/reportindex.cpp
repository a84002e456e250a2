// SPDX-License-Identifier: GPL-2.0-or-later
#include "reports/reportindex.h"

#include "appfiles/boundedread.h"
#include "appfiles/codepage.h"
#include "appfiles/folder.h"
#include "reports/logging.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>

namespace
{
// The fields of a report line, as the observation screen writes them.
enum Field { Star, Date, Magnitude, CommentCode, Comp1, Comp2, Chart, Notes, FieldCount };

QString known(QStringView field)
{
    return field.compare(u"na", Qt::CaseInsensitive) == 0 ? QString() : field.toString();
}

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
}

reports::ReportIndex::ReportIndex(const QStringList &stars)
{
    for (const QString &star : stars) {
        // A name the code page cannot write is in no report.
        const std::optional<QByteArray> name = appfiles::toCp1252(star);
        if (!name || name->isEmpty())
            continue;
        QByteArray lower = *name;
        std::transform(lower.begin(), lower.end(), lower.begin(), lowerAscii);
        if (m_stars.contains(lower))
            continue;
        m_stars.insert(lower, m_lines.size());
        m_lines.emplaceBack();
        m_longest = std::max(m_longest, lower.size());
    }
}

reports::ReportIndex reports::ReportIndex::read(const appfiles::Subfolder &reportsFolder, const QString &star,
                                                const QString &todaysFile)
{
    QStringList files;
    for (const QString &name :
         QDir(reportsFolder.path()).entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::Readable, QDir::Name)) {
        if (const std::optional<QString> path = reportsFolder.file(name))
            files.append(*path);
    }
    return read(files, {star}, todaysFile);
}

reports::ReportIndex reports::ReportIndex::read(const QStringList &files, const QStringList &stars,
                                                const QString &todaysFile)
{
    ReportIndex index(stars);
    if (index.m_stars.isEmpty())
        return index;
    const QString today = QFileInfo(todaysFile).absoluteFilePath();
    for (const QString &path : files)
        index.readFile(path, QFileInfo(path).absoluteFilePath() == today);
    return index;
}

qsizetype reports::ReportIndex::starOf(QByteArrayView name) const
{
    if (name.size() > m_longest)
        return -1;
    std::array<char, 256> lower{};
    const qsizetype size = std::min<qsizetype>(name.size(), lower.size());
    std::transform(name.begin(), name.begin() + size, lower.begin(), lowerAscii);
    return m_stars.value(QByteArray::fromRawData(lower.data(), size), -1);
}

void reports::ReportIndex::readFile(const QString &path, bool tonight)
{
    const outcome::Result<QByteArray> bytes = appfiles::readBounded(path, appfiles::largestReport);
    if (!bytes) {
        // Gone since the folder was listed: nothing to tell.
        if (bytes.problem().kind == outcome::Kind::NotFound)
            return;
        qCWarning(lc).noquote()
            << QStringLiteral("The report \"%1\" was passed over: %2.").arg(path, bytes.problem().message);
        m_unread.append({path, bytes.problem().message});
        return;
    }
    for (QByteArrayView rest(*bytes); !rest.isEmpty();) {
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        // The star's name comes first, letter case ignored as cumobs does;
        // only the stars' lines are decoded.
        const qsizetype nameEnd = line.indexOf('|');
        const qsizetype star = nameEnd > 0 ? starOf(line.first(nameEnd)) : -1;
        if (star < 0)
            continue;
        if (line.endsWith('\r'))
            line.chop(1);
        const QString text = appfiles::fromCp1252(line.toByteArray());
        const QList<QStringView> fields = QStringView(text).split(u'|');
        if (fields.size() < FieldCount)
            continue;
        ReportLine entry;
        entry.fainterThan = fields.at(Magnitude).startsWith(u'<');
        entry.comp1 = known(fields.at(Comp1));
        entry.comp2 = known(fields.at(Comp2));
        entry.tonight = tonight;
        m_lines[star][fields.at(Date).toString()].append(entry);
    }
}

std::optional<reports::ReportLine> reports::ReportIndex::take(const QString &dateText)
{
    return m_lines.isEmpty() ? std::nullopt : takeAt(0, dateText);
}

std::optional<reports::ReportLine> reports::ReportIndex::take(const QString &star, const QString &dateText)
{
    const std::optional<QByteArray> name = appfiles::toCp1252(star);
    const qsizetype number = name ? starOf(*name) : -1;
    return number < 0 ? std::nullopt : takeAt(number, dateText);
}

QList<reports::UnreadReport> reports::ReportIndex::unread() const
{
    return m_unread;
}

std::optional<reports::ReportLine> reports::ReportIndex::takeAt(qsizetype star, const QString &dateText)
{
    const auto it = m_lines[star].find(dateText);
    if (it == m_lines[star].end() || it->isEmpty())
        return std::nullopt;
    return it->takeFirst();
}
