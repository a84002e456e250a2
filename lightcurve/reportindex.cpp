// SPDX-License-Identifier: GPL-2.0-or-later
#include "lightcurve/reportindex.h"

#include "appfiles/codepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{
// The fields of a report line, as the observation screen writes them.
enum Field { Star, Date, Magnitude, CommentCode, Comp1, Comp2, Chart, Notes, FieldCount };

QString known(QStringView field)
{
    return field.compare(u"na", Qt::CaseInsensitive) == 0 ? QString() : field.toString();
}
}

lightcurve::ReportIndex::ReportIndex(const QString &star)
    : m_star(appfiles::toCp1252(star + u'|').value_or(QByteArray()))
{
}

lightcurve::ReportIndex lightcurve::ReportIndex::read(const QString &reportsFolder, const QString &star,
                                                      const QString &todaysFile)
{
    ReportIndex index(star);
    // A name the code page cannot write is in no report.
    if (index.m_star.isEmpty())
        return index;
    const QString today = QFileInfo(todaysFile).absoluteFilePath();
    const QDir folder(reportsFolder);
    const QStringList names = folder.entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString &name : names) {
        const QString path = folder.absoluteFilePath(name);
        index.readFile(path, path == today);
    }
    return index;
}

void lightcurve::ReportIndex::readFile(const QString &path, bool tonight)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    for (QByteArrayView rest(bytes); !rest.isEmpty();) {
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        // The star's name comes first, letter case ignored as cumobs does;
        // only its lines are decoded.
        if (line.size() <= m_star.size() || qstrnicmp(line.data(), m_star.constData(), m_star.size()) != 0)
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
        m_lines[fields.at(Date).toString()].append(entry);
    }
}

std::optional<lightcurve::ReportLine> lightcurve::ReportIndex::take(const QString &dateText)
{
    const auto it = m_lines.find(dateText);
    if (it == m_lines.end() || it->isEmpty())
        return std::nullopt;
    return it->takeFirst();
}
