// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/chartviewer.h"

#include "observe/julianday.h"
#include "observe/nightfilter.h"
#include "store/charts.h"
#include "store/database.h"

#include "appfiles/filesystem.h"
#include "appfiles/folder.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <unistd.h>

namespace observe
{

namespace
{
constexpr qint64 largestPictureBytes =
    qint64(modEntryscreen::largestPictureWidth) * modEntryscreen::largestPictureHeight * 4;
// In the toolkit's megabytes, rounded up.
constexpr int allocationLimitMiB = int((largestPictureBytes + (1 << 20) - 1) >> 20);

// A file read in pieces, without moving the position its reader reads from.
class Bytes
{
public:
    Bytes(int descriptor, qint64 size)
        : m_descriptor(descriptor)
        , m_size(size)
    {
    }

    // The byte at the offset, or -1 beyond the end.
    int at(qint64 offset)
    {
        if (offset < 0 || offset >= m_size)
            return -1;
        if (offset < m_start || offset >= m_start + m_piece.size()) {
            m_piece.resize(qMin<qint64>(pieceSize, m_size - offset));
            const ssize_t read = ::pread(m_descriptor, m_piece.data(), size_t(m_piece.size()), offset);
            m_piece.resize(std::max<qsizetype>(read, 0));
            m_start = offset;
            if (m_piece.isEmpty())
                return -1;
        }
        return static_cast<unsigned char>(m_piece.at(offset - m_start));
    }

    qint64 size() const { return m_size; }

private:
    static constexpr qint64 pieceSize = 64 * 1024;
    int m_descriptor;
    qint64 m_size;
    qint64 m_start = 0;
    QByteArray m_piece;
};

// Whether a GIF's first picture ends within the file: the toolkit shows a
// GIF cut short in part, black below the cut, without a word.
bool gifEndsWhole(Bytes &bytes)
{
    // A colour table follows when the top bit of its flags is set.
    const auto table = [](int flags) { return flags & 0x80 ? 3 * (2 << (flags & 7)) : 0; };
    // Blocks of data, each with its length before it, ended by an empty one.
    const auto afterBlocks = [&bytes](qint64 at) {
        for (int length = bytes.at(at); length > 0; length = bytes.at(at))
            at += length + 1;
        return bytes.at(at) == 0 ? at + 1 : -1;
    };
    if (bytes.at(12) < 0)
        return false;
    qint64 at = 13 + table(bytes.at(10));
    for (;;) {
        switch (bytes.at(at)) {
        case 0x21: at = afterBlocks(at + 2); break;
        case 0x2c:
            if (bytes.at(at + 9) < 0)
                return false;
            return afterBlocks(at + 11 + table(bytes.at(at + 9))) > 0;
        default: return false;
        }
        if (at < 0)
            return false;
    }
}

// Whether a JPEG ends with its end marker after its last scan: the toolkit
// shows a JPEG cut short grey below the cut. Markers cannot occur inside a
// scan's data, so the end of the file tells.
bool jpegEndsWhole(Bytes &bytes)
{
    const qint64 from = std::max<qint64>(0, bytes.size() - 64 * 1024);
    qint64 lastScan = -1;
    qint64 lastEnd = -1;
    for (qint64 at = from; at + 1 < bytes.size(); ++at) {
        if (bytes.at(at) != 0xff)
            continue;
        const int marker = bytes.at(at + 1);
        if (marker == 0xda)
            lastScan = at;
        else if (marker == 0xd9)
            lastEnd = at;
    }
    return lastEnd > lastScan;
}

// PNG pictures cut short the toolkit refuses itself.
bool endsWhole(int descriptor, qint64 size, const QByteArray &format)
{
    Bytes bytes(descriptor, size);
    if (format == "gif")
        return gifEndsWhole(bytes);
    if (format == "jpeg" || format == "jpg")
        return jpegEndsWhole(bytes);
    return true;
}
}

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

outcome::Result<modEntryscreen::ChartRow> modEntryscreen::chartrow(const appfiles::Folder &appFolder,
                                                                   const QString &star)
{
    store::Database db(appFolder);
    const auto row = store::chartOf(db, star);
    if (!row)
        return outcome::failed(row.problem().message);
    if (!*row)
        return outcome::notFound(QStringLiteral("The star \"%1\" is not in the chart catalogue.").arg(star));
    const store::ChartRow &chart = **row;
    return ChartRow{chart.starname, chart.chart, chart.picturefile, chart.finderchart, chart.constell};
}

bool modEntryscreen::hasFinder(const QString &finderchart)
{
    return finderchart != QLatin1String("none");
}

outcome::Result<modEntryscreen::NightPicture> modEntryscreen::nightPicture(const appfiles::Subfolder &folder,
                                                                           const QString &name, QRgb boxColour)
{
    const std::optional<QString> joined = folder.file(name);
    if (!joined)
        return outcome::refused(
            QStringLiteral(
                "The catalogue gives \"%1\" as its file, which is no file name in the folder "
                "\"%2\": a name with \"/\" or \"\\\", or \".\" or \"..\", is never opened. Correct it in the "
                "chart catalogue.")
                .arg(name, QDir::toNativeSeparators(folder.path())));
    const QString &path = *joined;
    const outcome::Result<appfiles::OpenedFile> file = appfiles::openRegular(path);
    if (!file && file.problem().kind == outcome::Kind::NotFound)
        return outcome::notFound(QStringLiteral("The file \"%1\" does not exist.").arg(path));
    const auto refused = [&path](const QString &reason) {
        return outcome::refused(QStringLiteral("The file \"%1\" cannot be shown: %2.").arg(path, reason));
    };
    if (!file)
        return refused(file.problem().message);
    const appfiles::OpenedFile opened = *file;
    QFile picture;
    if (!picture.open(opened.descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(opened.descriptor);
        return refused(picture.errorString());
    }
    if (opened.size == 0)
        return outcome::refused(QStringLiteral("The file \"%1\" is empty.").arg(path));

    QImageReader reader(&picture);
    if (!reader.canRead())
        return outcome::refused(
            QStringLiteral("The file \"%1\" holds no picture the program can read (PNG, GIF or JPEG).").arg(path));
    const QSize size = reader.size();
    const qint64 bytesPerPixel = std::max(4, QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel() / 8);
    if (size.isValid() && qint64(size.width()) * size.height() * bytesPerPixel > largestPictureBytes)
        return outcome::refused(
            QStringLiteral("The picture in \"%1\" has %2 \u00d7 %3 pixels, too many to show: a chart may "
                           "have up to %4 \u00d7 %5 pixels of 8 bits per colour.")
                .arg(path)
                .arg(size.width())
                .arg(size.height())
                .arg(largestPictureWidth)
                .arg(largestPictureHeight));
    if (!endsWhole(opened.descriptor, opened.size, reader.format()))
        return outcome::refused(
            QStringLiteral("The file \"%1\" is cut short: it ends before its picture does. Copy the "
                           "chart into the folder again.")
                .arg(path));
    // The toolkit's own limit is below what the largest chart needs.
    QImageReader::setAllocationLimit(allocationLimitMiB);
    QImage image = reader.read();
    if (image.isNull())
        return outcome::refused(
            QStringLiteral("The file \"%1\" is damaged or cut short: %2.").arg(path, reader.errorString()));
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
    const int applications = modProcesses::edgescan(image);
    modProcesses::nightfilter(image, applications);
    return NightPicture{image, applications};
}

outcome::Problem modEntryscreen::chartNotFound(const QString &file)
{
    return outcome::notFound(QStringLiteral("No chart with the name '") + file + QStringLiteral("' in database,\n")
                             + QStringLiteral("or the chart is in the wrong folder"))
        .titled(QStringLiteral("Chart not found"))
        .as(outcome::Severity::Information);
}

outcome::Result<modEntryscreen::NightPicture> modEntryscreen::chartPicture(const appfiles::Folder &appFolder,
                                                                           const ChartRow &row, QRgb boxColour)
{
    const outcome::Result<NightPicture> chart = nightPicture(appFolder.charts(), row.picturefile, boxColour);
    if (chart)
        return chart;
    if (chart.problem().kind == outcome::Kind::NotFound)
        return chartNotFound(row.picturefile);
    return outcome::refused(
               QStringLiteral("The chart of \"%1\" cannot be shown. %2").arg(row.starname, chart.problem().message))
        .titled(QStringLiteral("Chart not found"))
        .as(outcome::Severity::Information);
}

outcome::Result<modEntryscreen::NightPicture> modEntryscreen::finderPicture(const appfiles::Folder &appFolder,
                                                                            const QString &star, QRgb boxColour)
{
    const QString title = QStringLiteral("Finder chart");
    if (star.isEmpty())
        return outcome::refused(QStringLiteral("No star is selected in the list. Choose a constellation and a star, "
                                               "then press \"get Finder\" again."))
            .titled(title)
            .as(outcome::Severity::Information);
    const outcome::Result<ChartRow> row = chartrow(appFolder, star);
    if (!row) {
        outcome::Problem problem = row.problem();
        return problem.titled(title).as(outcome::Severity::Warning);
    }
    if (!hasFinder(row->finderchart))
        return outcome::notFound(QStringLiteral("The catalogue has no finder chart for \"%1\".").arg(row->starname))
            .titled(title)
            .as(outcome::Severity::Information);
    const outcome::Result<NightPicture> finder = nightPicture(appFolder.finderCharts(), row->finderchart, boxColour);
    if (finder)
        return finder;
    outcome::Problem problem = finder.problem();
    problem.message =
        QStringLiteral("The finder chart of \"%1\" cannot be shown. %2").arg(row->starname, problem.message);
    return problem.titled(title).as(outcome::Severity::Warning);
}

} // namespace observe
