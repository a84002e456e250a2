// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/import/downloadfile.h"

#include "import/modimportscreen.h"

#include <QFile>
#include <QTemporaryDir>

const QStringList downloadHeader = {
    QStringLiteral("Observations of XYZ, downloaded"),
    QStringLiteral("Obs##Star##Date##JD##Fainter##Magnitude##Code##Notes##Observer##Type##Comp1##-##Comp2##-##Chart"),
};

QString downloadLine(const DownloadFields &f)
{
    return QStringList{QStringLiteral("1"),
                       f.star,
                       QStringLiteral("2018 Jan. 05"),
                       f.jd,
                       f.fainter,
                       f.magnitude,
                       f.code,
                       f.notes,
                       QStringLiteral("XYZ"),
                       QStringLiteral("Visual"),
                       f.comp1,
                       QString(),
                       f.comp2,
                       QString(),
                       f.chart}
        .join(QStringLiteral("##"));
}

QByteArray downloadBytes(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : downloadHeader + lines)
        bytes += line.toUtf8() + '\n';
    return bytes;
}

QString generatedLine(qint64 n)
{
    static const QStringList constellations = {QStringLiteral("CYG"), QStringLiteral("AND"), QStringLiteral("CAS"),
                                               QStringLiteral("UMA"), QStringLiteral("LYR"), QStringLiteral("HER"),
                                               QStringLiteral("GEM"), QStringLiteral("ORI")};
    DownloadFields f;
    f.star = QStringLiteral("V%1 %2").arg(n % 397).arg(constellations[n % constellations.size()]);
    f.jd = QString::number(2440000.0 + static_cast<double>(n) * 0.0137, 'f', 4);
    f.fainter = n % 23 == 0 ? QStringLiteral("1") : QStringLiteral("0");
    f.magnitude = QString::number(8.0 + static_cast<double>(n % 71) / 10.0, 'f', 1);
    f.code = n % 5 == 0 ? QStringLiteral("B") : QString();
    f.notes = n % 7 == 0 ? QStringLiteral("hazy, moon near") : QStringLiteral("0");
    f.comp1 = QString::number(80 + n % 60);
    f.comp2 = QString::number(90 + n % 60);
    f.chart = QStringLiteral("X%1ABC").arg(n % 9973);
    return downloadLine(f);
}

bool writeGeneratedFile(const QString &path, qint64 observations)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk = downloadBytes({});
    for (qint64 n = 0; n < observations; ++n) {
        chunk += generatedLine(n).toUtf8() + '\n';
        if (chunk.size() > (1 << 20)) {
            if (file.write(chunk) != chunk.size())
                return false;
            chunk.clear();
        }
    }
    return file.write(chunk) == chunk.size();
}

bool importDownload(const QString &appFolder, const QStringList &lines)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("download.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(downloadBytes(lines)) < 0)
        return false;
    file.close();
    using namespace import::modImportscreen;
    const outcome::Result<Ended> ended = Import(path, appfiles::Folder(appFolder)).run(Duplicates::OnlyNew);
    return ended && ended->kind == Ended::Completed;
}

const QByteArray reportOfThree = "ss cyg|2458124.4|11.2|na|110|115|1896|na\r\n"
                                 "mira|2458124.45|3.5|na|34|38|1896|na\r\n"
                                 "rr lyr|2458124.5|<13.0|na|130|na|1896|na\r\n";

const QStringList downloadOfTwo = [] {
    DownloadFields ssCyg;
    ssCyg.jd = QStringLiteral("2458124.40000");
    DownloadFields mira;
    mira.star = QStringLiteral("OMI CET");
    mira.jd = QStringLiteral("2458124.45");
    mira.magnitude = QStringLiteral("3.5");
    DownloadFields later;
    later.jd = QStringLiteral("2458130.5");
    return QStringList{downloadLine(ssCyg), downloadLine(mira), downloadLine(later)};
}();
