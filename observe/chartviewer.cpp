// SPDX-License-Identifier: GPL-2.0-or-later
#include "chartviewer.h"

#include "database.h"
#include "julianday.h"
#include "nightfilter.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <cmath>
#include <limits>

QDateTime modEntryscreen::systemClock()
{
    return QDateTime::currentDateTimeUtc();
}

modEntryscreen::TimeStamp modEntryscreen::timestamp(const QDateTime &now)
{
    const QDateTime ahead = now.toUTC().addSecs(60);
    const QDate date = ahead.date();
    const QTime time = ahead.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute()};
}

std::optional<qint32> modEntryscreen::daynumber(const QString &year, const QString &month, const QString &day)
{
    bool yearOk = false;
    bool monthOk = false;
    bool dayOk = false;
    const qint16 y = year.toShort(&yearOk);
    const qint16 m = month.toShort(&monthOk);
    const float d = day.toFloat(&dayOk);
    if (!yearOk || !monthOk || !dayOk)
        return std::nullopt;
    // The rounding of the present floating-point mode: halves to the even neighbour.
    const double whole = std::nearbyint(modProcesses::julianday(y, m, d));
    if (!std::isfinite(whole) || whole < std::numeric_limits<qint32>::min()
        || whole > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(whole);
}

std::optional<modEntryscreen::ChartRow> modEntryscreen::chartrow(const QString &appFolder, const QString &star,
                                                                 QString *error)
{
    store::Database db(appFolder);
    const auto row = db.first(QStringLiteral("charts"), store::Where{QStringLiteral("starname"), star});
    if (!row) {
        *error = db.error();
        return std::nullopt;
    }
    return ChartRow{row->value(QStringLiteral("starname")).toString(), row->value(QStringLiteral("chart")).toString(),
                    row->value(QStringLiteral("picturefile")).toString(),
                    row->value(QStringLiteral("finderchart")).toString()};
}

bool modEntryscreen::hasFinder(const QString &finderchart)
{
    return finderchart != QLatin1String("none");
}

modEntryscreen::NightPicture modEntryscreen::nightPicture(const QString &path, QRgb boxColour)
{
    NightPicture result;
    if (!QFileInfo(path).isFile()) {
        result.error = QStringLiteral("The file \"%1\" does not exist.").arg(path);
        return result;
    }
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull()) {
        result.error = QStringLiteral("The file \"%1\" cannot be read as a picture (PNG, GIF or JPEG): %2.")
                           .arg(path, reader.errorString());
        return result;
    }
    if (image.hasAlphaChannel()) {
        QImage opaque(image.size(), QImage::Format_RGB32);
        opaque.fill(boxColour);
        QPainter painter(&opaque);
        painter.drawImage(0, 0, image);
        painter.end();
        image = opaque;
    } else {
        image.convertTo(QImage::Format_RGB32);
    }
    result.applications = modProcesses::edgescan(image);
    modProcesses::nightfilter(image, result.applications);
    result.image = image;
    return result;
}

QString modEntryscreen::chartNotFound(const QString &file)
{
    return QStringLiteral("No chart with the name '") + file + QStringLiteral("' in database,\n")
        + QStringLiteral("or the chart is in the wrong folder");
}
