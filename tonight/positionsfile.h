// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"
#include "tonight/angles.h"
#include "varstars/elements.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tonight
{
// One star of a positions file.
struct PositionRow
{
    int line = 0;
    QString name;
    Position position;
    varstars::Elements elements;
};

// A value of the file that was not taken, and why. Its line is not taken.
struct Refusal
{
    int line = 0;
    // Counted from 1; 0 for the line as a whole.
    int column = 0;
    // The column's name as the header row writes it.
    QString header;
    QString message;

    // "line 12, column 3 (Dec): The declination ..."
    QString text() const;
};

struct PositionsReading
{
    QList<PositionRow> rows;
    QList<Refusal> refusals;
    QStringList warnings;
};

// A file of positions and elements, comma-, semicolon- or tab-separated, with
// a header row (exports of the index of variable stars, of the target tool,
// spreadsheets). Its headers are compared lower-cased without blanks, "_",
// "(", ")" and ".": the name (name, star, starname, designation), the position
// (ra, ra2000, raj2000, radeg; dec, de, declination2000, dej2000, dedeg), and
// optional type, vartype, variabilitytype, period, epoch, max, maxmag, min,
// minmag, maxmagband, minmagband. Numbers have a point before their fraction,
// or a comma in a file parted by semicolons. Every line is checked. A problem
// when the file as a whole cannot be read: no header row, no column of a name
// or a position, not a file.
outcome::Result<PositionsReading> readPositions(const QByteArray &bytes);
outcome::Result<PositionsReading> readPositionsFile(const QString &path);

// The rows of the catalogue's stars, named as the catalogue names them, and
// the names of the others, as the file writes them.
struct CatalogueMatch
{
    QList<PositionRow> rows;
    QStringList unknown;
};
CatalogueMatch matchCatalogue(const QList<PositionRow> &rows, const QStringList &catalogueNames);
}
