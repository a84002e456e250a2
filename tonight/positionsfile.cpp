// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/positionsfile.h"

#include "appfiles/boundedread.h"
#include "varstars/starkey.h"

#include <QHash>
#include <QStringDecoder>

#include <array>
#include <optional>

namespace tonight
{
using varstars::Elements;
using varstars::Magnitude;

namespace
{
constexpr qint64 largestFile = 50 * 1024 * 1024;

enum Role { Name, Ra, Dec, Type, Period, Epoch, Max, Min, MaxBand, MinBand, Roles };

const std::array<QStringList, Roles> headerNames = {
    QStringList{QStringLiteral("name"), QStringLiteral("star"), QStringLiteral("starname"),
                QStringLiteral("designation")},
    QStringList{QStringLiteral("ra"), QStringLiteral("ra2000"), QStringLiteral("raj2000"), QStringLiteral("radeg")},
    QStringList{QStringLiteral("dec"), QStringLiteral("de"), QStringLiteral("declination2000"),
                QStringLiteral("dej2000"), QStringLiteral("dedeg")},
    QStringList{QStringLiteral("type"), QStringLiteral("vartype"), QStringLiteral("variabilitytype")},
    QStringList{QStringLiteral("period")},
    QStringList{QStringLiteral("epoch")},
    QStringList{QStringLiteral("max"), QStringLiteral("maxmag")},
    QStringList{QStringLiteral("min"), QStringLiteral("minmag")},
    QStringList{QStringLiteral("maxmagband")},
    QStringList{QStringLiteral("minmagband")},
};

QString headerKey(const QString &header)
{
    QString key = header.toLower();
    key.removeIf([](QChar c) { return c.isSpace() || c == u'_' || c == u'(' || c == u')' || c == u'.'; });
    return key;
}

// The cells of a line; quotes as spreadsheets write them ("a ""b""", "x,y").
std::optional<QStringList> cells(QStringView line, QChar delimiter)
{
    QStringList cells;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted && c == u'"' && i + 1 < line.size() && line.at(i + 1) == u'"') {
            cell += c;
            ++i;
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (c == delimiter && !quoted) {
            cells.append(cell.trimmed());
            cell.clear();
        } else {
            cell += c;
        }
    }
    if (quoted)
        return std::nullopt;
    cells.append(cell.trimmed());
    return cells;
}

QChar delimiterOf(QStringView header)
{
    if (header.contains(u'\t'))
        return u'\t';
    return header.count(u';') > header.count(u',') ? u';' : u',';
}

QString decoded(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    // A spreadsheet of an older system writes its own code page.
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

struct Line
{
    int number;
    const QStringList &cells;
    const std::array<int, Roles> &columns;
    const QStringList &headers;
    QList<Refusal> &refusals;
    // A spreadsheet that parts its cells with semicolons writes a decimal comma.
    bool decimalComma;

    QString at(Role role) const
    {
        const int column = columns.at(role);
        return column >= 0 && column < cells.size() ? cells.at(column) : QString();
    }
    // A cell of numbers, its fractions after a point.
    QString numeric(Role role) const
    {
        QString text = at(role);
        return decimalComma ? text.replace(u',', u'.') : text;
    }
    void refuse(Role role, const QString &message) const
    {
        const int column = columns.at(role);
        refusals.append({number, column + 1, headers.at(column), message});
    }
};

std::optional<Magnitude> magnitude(const Line &line, Role role, Role bandRole)
{
    const QString text = line.numeric(role);
    if (text.isEmpty())
        return std::nullopt;
    outcome::Result<Magnitude> read = varstars::parseMagnitude(text);
    if (!read) {
        line.refuse(role, read.problem().message);
        return std::nullopt;
    }
    const QString band = line.at(bandRole);
    if (!band.isEmpty() && !read->band.isEmpty() && band.compare(read->band, Qt::CaseInsensitive) != 0)
        line.refuse(
            bandRole,
            QStringLiteral("The passband %1 differs from the %2 of the magnitude \"%3\".").arg(band, read->band, text));
    else if (read->band.isEmpty())
        read->band = band;
    return *read;
}

// The row of a line, its refusals added to the line's.
PositionRow row(const Line &line)
{
    PositionRow row;
    row.line = line.number;
    row.name = line.at(Name).simplified();
    if (row.name.isEmpty())
        line.refuse(Name, QStringLiteral("The star's name is missing."));
    if (const outcome::Result<double> ra = parseRightAscension(line.numeric(Ra)); ra)
        row.position.ra = *ra;
    else
        line.refuse(Ra, ra.problem().message);
    if (const outcome::Result<double> dec = parseDeclination(line.numeric(Dec)); dec)
        row.position.dec = *dec;
    else
        line.refuse(Dec, dec.problem().message);
    Elements &elements = row.elements;
    elements.type = line.at(Type);
    if (QString period = line.numeric(Period); !period.isEmpty()) {
        elements.periodUncertain = period.endsWith(u':');
        if (elements.periodUncertain)
            period.chop(1);
        elements.period = varstars::parseDecimal(period);
        if (!elements.period || *elements.period <= 0)
            line.refuse(Period, QStringLiteral("The period \"%1\" is not a number of days.").arg(line.at(Period)));
    }
    if (const QString epoch = line.numeric(Epoch); !epoch.isEmpty()) {
        elements.epoch = varstars::parseDecimal(epoch);
        if (!elements.epoch || *elements.epoch < 2'000'000 || *elements.epoch > 3'000'000)
            line.refuse(
                Epoch,
                QStringLiteral("The epoch \"%1\" is not a Julian date (such as 2451234.567).").arg(line.at(Epoch)));
    }
    elements.max = magnitude(line, Max, MaxBand);
    elements.min = magnitude(line, Min, MinBand);
    return row;
}
}

QString Refusal::text() const
{
    if (column == 0)
        return QStringLiteral("line %1: %2").arg(line).arg(message);
    return QStringLiteral("line %1, column %2 (%3): %4").arg(line).arg(column).arg(header, message);
}

outcome::Result<PositionsReading> readPositions(const QByteArray &bytes)
{
    const QStringList lines = decoded(bytes).split(u'\n');
    qsizetype first = 0;
    while (first < lines.size() && lines.at(first).trimmed().isEmpty())
        ++first;
    if (first == lines.size())
        return outcome::refused(QStringLiteral("The file is empty: it needs a header row and a line for each star."));
    const QString headerLine = QString(lines.at(first)).remove(u'\r');
    const QChar delimiter = delimiterOf(headerLine);
    const QStringList headers = cells(headerLine, delimiter).value_or(QStringList());
    std::array<int, Roles> columns;
    columns.fill(-1);
    for (int column = static_cast<int>(headers.size()) - 1; column >= 0; --column) {
        for (int role = 0; role < Roles; ++role) {
            if (headerNames.at(role).contains(headerKey(headers.at(column))))
                columns.at(role) = column;
        }
    }
    QStringList missing;
    for (const Role role : {Name, Ra, Dec}) {
        if (columns.at(role) < 0)
            missing.append(headerNames.at(role).join(QStringLiteral(", ")));
    }
    if (!missing.isEmpty())
        return outcome::refused(QStringLiteral("The header row (line %1) lacks a column of the star's name, right "
                                               "ascension or declination: name them as one of %2.")
                                    .arg(first + 1)
                                    .arg(missing.join(QStringLiteral("; "))));

    PositionsReading reading;
    QHash<QString, int> lineOfStar;
    int bareRas = 0;
    bool beyondHours = false;
    for (qsizetype i = first + 1; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        const QString text = QString(lines.at(i)).remove(u'\r');
        if (text.trimmed().isEmpty())
            continue;
        const std::optional<QStringList> lineCells = cells(text, delimiter);
        if (!lineCells) {
            reading.refusals.append({number, 0, {}, QStringLiteral("A quote (\") is opened but not closed.")});
            continue;
        }
        const qsizetype refused = reading.refusals.size();
        const Line line{number, *lineCells, columns, headers, reading.refusals, delimiter == u';'};
        PositionRow star = row(line);
        const QString key = varstars::starKey(star.name);
        if (!star.name.isEmpty() && lineOfStar.contains(key))
            line.refuse(Name, QStringLiteral("%1 is on line %2 already.").arg(star.name).arg(lineOfStar.value(key)));
        if (reading.refusals.size() > refused)
            continue;
        lineOfStar.insert(key, number);
        if (isBareNumber(line.numeric(Ra))) {
            ++bareRas;
            beyondHours = beyondHours || star.position.ra > 24;
        }
        reading.rows.append(star);
    }
    if (bareRas > 0 && !beyondHours)
        reading.warnings.append(QStringLiteral("No right ascension exceeds 24: a bare number is read as degrees, so a "
                                               "file that gives hours must write them as hours, minutes and seconds "
                                               "(12 30 00 or 12:30:00)."));
    return reading;
}

outcome::Result<PositionsReading> readPositionsFile(const QString &path)
{
    const outcome::Result<QByteArray> bytes = appfiles::readBounded(path, largestFile);
    if (!bytes)
        return bytes.problem();
    return readPositions(*bytes);
}

CatalogueMatch matchCatalogue(const QList<PositionRow> &rows, const QStringList &catalogueNames)
{
    QHash<QString, QString> catalogue;
    for (const QString &name : catalogueNames)
        catalogue.insert(varstars::starKey(name), name);
    CatalogueMatch match;
    for (PositionRow row : rows) {
        const auto name = catalogue.constFind(varstars::starKey(row.name));
        if (name == catalogue.constEnd()) {
            match.unknown.append(row.name);
            continue;
        }
        row.name = *name;
        match.rows.append(row);
    }
    return match;
}
}
