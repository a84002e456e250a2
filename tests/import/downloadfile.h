// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Download files as the AAVSO writes them, for the import's tests and benchmark.

// The fields the import reads; the others get values of their own.
struct DownloadFields
{
    QString star = QStringLiteral("SS CYG");
    QString jd = QStringLiteral("2458124.3958");
    QString fainter = QStringLiteral("0");
    QString magnitude = QStringLiteral("11.2");
    QString code;
    QString notes = QStringLiteral("0");
    QString comp1 = QStringLiteral("110");
    QString comp2 = QStringLiteral("115");
    QString chart = QStringLiteral("1896");
};

// The fifteen fields joined by "##".
QString downloadLine(const DownloadFields &fields);

// The two lines a download begins with.
extern const QStringList downloadHeader;

// The header, then the lines, each ended by a line feed.
QByteArray downloadBytes(const QStringList &lines);

// The n-th observation of a generated download: many stars, every line a
// different observation.
QString generatedLine(qint64 n);

// Writes a generated download of that many observations; false on failure.
bool writeGeneratedFile(const QString &path, qint64 observations);

// Imports a download of the lines into the folder's database as the import
// screen does, adding only what cumobs lacks; false when it does not end complete.
bool importDownload(const QString &appFolder, const QStringList &lines);

// The data lines of a day's report (5 January 2018), and a download that
// holds two of them: the first with its date written "2458124.40000", the
// second under the AAVSO's other name of the star, "OMI CET" for "mira";
// a later observation of the download covers the third, which it lacks.
extern const QByteArray reportOfThree;
extern const QStringList downloadOfTwo;
