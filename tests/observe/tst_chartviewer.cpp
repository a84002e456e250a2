// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/chartviewer.h"
#include "observe/nightfilter.h"
#include "observe/previous.h"
#include "store/charts.h"
#include "store/creation.h"
#include "store/database.h"
#include "store/observations.h"
#include "tests/support/appfolder.h"
#include "tests/support/problemtext.h"
#include "tests/support/testcharts.h"

#include <QBuffer>
#include <QDir>
#include <QRandomGenerator>
#include <QTest>

#include <ctime>
#include <sys/stat.h>

using namespace observe::modEntryscreen;

namespace
{
const QRgb white = qRgb(255, 255, 255);
const QRgb black = qRgb(0, 0, 0);
const QRgb darkRed = qRgb(128, 0, 0);

// The edge scan and the filter step by step, as the chart box runs them: the
// point (1, y) in twips for y = 1 up to the picture's height in hundredths
// of a millimetre, 15 twips to a pixel, -1 below the picture; each reading
// above 250 inverts the whole picture and masks it with pure red.
QImage literalNight(QImage image)
{
    image.convertTo(QImage::Format_RGB32);
    const int heightHimetric = qRound(image.height() * 2540.0 / 96.0);
    const int widthHimetric = qRound(image.width() * 2540.0 / 96.0);
    for (int y = 1; y <= heightHimetric; ++y) {
        if (widthHimetric < 1)
            continue;
        const int row = y / 15;
        const QRgb point = row < image.height() ? image.pixel(0, row) : 0;
        const int value = row < image.height() ? qRed(point) + 256 * qGreen(point) + 65536 * qBlue(point) : -1;
        if (value <= 250)
            continue;
        for (int py = 0; py < image.height(); ++py) {
            for (int px = 0; px < image.width(); ++px) {
                const QRgb p = image.pixel(px, py);
                const QRgb inverted = qRgb(255 - qRed(p), 255 - qGreen(p), 255 - qBlue(p));
                image.setPixel(px, py, qRgb(qRed(inverted) & 255, qGreen(inverted) & 0, qBlue(inverted) & 0));
            }
        }
    }
    return image;
}

QImage fastNight(QImage image)
{
    observe::modProcesses::nightfilter(image, observe::modProcesses::edgescan(image));
    return image;
}

QImage column(const QList<QRgb> &colours, int width = 3)
{
    QImage image(width, int(colours.size()), QImage::Format_RGB32);
    image.fill(qRgb(90, 160, 30));
    for (int y = 0; y < colours.size(); ++y)
        image.setPixel(0, y, colours.at(y));
    return image;
}

// Colours around every edge of the rule: 250 and 251, red below 5, green or
// blue alone, dark red.
QRgb interestingColour(QRandomGenerator &random)
{
    static const QList<QRgb> colours{white,           black,         darkRed,          qRgb(255, 0, 0), qRgb(250, 0, 0),
                                     qRgb(251, 0, 0), qRgb(4, 0, 0), qRgb(5, 0, 0),    qRgb(0, 0, 255), qRgb(0, 1, 0),
                                     qRgb(3, 200, 0), qRgb(5, 0, 1), qRgb(252, 255, 3)};
    if (random.bounded(4) == 0)
        return qRgb(random.bounded(256), random.bounded(256), random.bounded(256));
    return colours.at(random.bounded(int(colours.size())));
}

QImage randomImage(QRandomGenerator &random, int width, int height, int changes)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(random.bounded(256), random.bounded(256), random.bounded(256)));
    // Runs of colours down the leftmost column.
    QRgb colour = interestingColour(random);
    for (int y = 0; y < height; ++y) {
        if (random.bounded(height) < changes)
            colour = interestingColour(random);
        image.setPixel(0, y, colour);
    }
    return image;
}

// Fully transparent or opaque pixels, so laying them over the box's colour is exact.
QImage withTransparency(QRandomGenerator &random, const QImage &opaque)
{
    QImage image = opaque.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (random.bounded(3) == 0)
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
    return image;
}

QImage overBox(const QImage &image, QRgb box)
{
    QImage result(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            result.setPixel(x, y, qAlpha(image.pixel(x, y)) ? image.pixel(x, y) | 0xff000000 : box);
    return result;
}

void addChart(const QString &folder, const QString &star)
{
    store::Database db{appfiles::Folder(folder)};
    QVERIFY(store::addChart(db,
                            {star,
                             QStringLiteral("X1"),
                             {},
                             QString(star + QStringLiteral(".gif")),
                             QStringLiteral("none"),
                             QStringLiteral("and")}));
}

void addObservation(const QString &folder, const QString &star, const QString &obsdate)
{
    store::Database db{appfiles::Folder(folder)};
    QVERIFY(store::addObservation(db,
                                  {star, QStringLiteral("11.2"), QStringLiteral("e"), obsdate, QStringLiteral("na"),
                                   QStringLiteral("na"), QStringLiteral("na")}));
}
}

class tst_chartviewer final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void edgescanCounts_data();
    void edgescanCounts();
    void filteredPixels_data();
    void filteredPixels();
    void closedFormEqualsLiteral_data();
    void closedFormEqualsLiteral();
    void picturesInEveryFormat_data();
    void picturesInEveryFormat();
    void transparentPictureLaidOverTheBox();
    void picturesNotShown_data();
    void picturesNotShown();
    void timestampInUniversalTime_data();
    void timestampInUniversalTime();
    void daynumberHalvesToEven_data();
    void daynumberHalvesToEven();
    void wholeDayHalvesToEven_data();
    void wholeDayHalvesToEven();
    void captions_data();
    void captions();
    void newestObservation();
    void catalogueRow();
    void finderNone_data();
    void finderNone();
    void chartNotFoundText();
};

void tst_chartviewer::initTestCase()
{
    // Five and a half hours east of Greenwich, no summer time: a local clock
    // would be off by that much, and by a day around midnight.
    qputenv("TZ", "XST-5:30");
    tzset();
}

void tst_chartviewer::edgescanCounts_data()
{
    QTest::addColumn<QList<QRgb>>("left");
    QTest::addColumn<int>("applications");

    QTest::newRow("white column: once") << QList<QRgb>(20, white) << 1;
    QTest::newRow("black column: never") << QList<QRgb>(20, black) << 0;
    QTest::newRow("dark red first: not filtered") << QList<QRgb>(20, darkRed) << 0;
    QTest::newRow("white meets black: again there") << (QList<QRgb>(5, white) + QList<QRgb>(5, black)) << 2;
    QTest::newRow("white, black, white: at each change") << QList<QRgb>{white, black, black, white, white} << 3;
    QTest::newRow("dark red, then white") << QList<QRgb>{darkRed, darkRed, white} << 1;
    QTest::newRow("250 is not above") << QList<QRgb>{qRgb(250, 0, 0)} << 0;
    QTest::newRow("251 is") << QList<QRgb>{qRgb(251, 0, 0)} << 1;
    QTest::newRow("blue, red part below 5: twice at one point") << QList<QRgb>{qRgb(4, 0, 255)} << 2;
    QTest::newRow("red part 5: once") << QList<QRgb>{qRgb(5, 0, 255)} << 1;
    QTest::newRow("green 1 reads 256") << QList<QRgb>{qRgb(0, 1, 0), black} << 2;
    QTest::newRow("one white pixel") << QList<QRgb>{white} << 1;
}

void tst_chartviewer::edgescanCounts()
{
    QFETCH(QList<QRgb>, left);
    QFETCH(int, applications);
    const QImage image = column(left);
    QCOMPARE(observe::modProcesses::edgescan(image), applications);
    QCOMPARE(fastNight(image), literalNight(image));
}

void tst_chartviewer::filteredPixels_data()
{
    QTest::addColumn<int>("applications");
    QTest::addColumn<QRgb>("before");
    QTest::addColumn<QRgb>("after");

    QTest::newRow("none: unchanged") << 0 << qRgb(100, 150, 200) << qRgb(100, 150, 200);
    QTest::newRow("once: white paper black") << 1 << white << black;
    QTest::newRow("once: black lines red") << 1 << black << qRgb(255, 0, 0);
    QTest::newRow("once: grey inverted red") << 1 << qRgb(100, 150, 200) << qRgb(155, 0, 0);
    QTest::newRow("twice: the red part") << 2 << qRgb(100, 150, 200) << qRgb(100, 0, 0);
    QTest::newRow("three times") << 3 << qRgb(100, 150, 200) << qRgb(155, 0, 0);
}

void tst_chartviewer::filteredPixels()
{
    QFETCH(int, applications);
    QFETCH(QRgb, before);
    QFETCH(QRgb, after);
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(before);
    observe::modProcesses::nightfilter(image, applications);
    QCOMPARE(image.pixel(3, 2), after);
    QCOMPARE(image.pixel(0, 0), after);
}

void tst_chartviewer::closedFormEqualsLiteral_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QRgb>("box");

    QRandomGenerator random(20241);
    QImage plain(5, 40, QImage::Format_RGB32);
    for (QRgb colour : {white, black, darkRed}) {
        plain.fill(colour);
        QTest::addRow("plain %08x", colour) << plain << black;
    }
    const QImage chart = blackOnWhiteChart(120, 90);
    QTest::newRow("black on white chart") << chart << black;
    QTest::newRow("1 pixel, white") << column({white}, 1) << black;
    QTest::newRow("1 pixel, blue") << column({qRgb(0, 0, 255)}, 1) << black;
    QTest::newRow("1 pixel, dark red") << column({darkRed}, 1) << black;
    QTest::newRow("1 pixel wide") << randomImage(random, 1, 50, 20) << black;
    QTest::newRow("1 pixel high") << randomImage(random, 50, 1, 1) << black;
    for (int i = 0; i < 40; ++i)
        QTest::addRow("many changes %d", i) << randomImage(random, 4, 80, 60) << black;
    for (int i = 0; i < 200; ++i) {
        const int height = 1 + random.bounded(60);
        QTest::addRow("random %d", i) << randomImage(random, 1 + random.bounded(6), height, random.bounded(height + 1))
                                      << black;
    }
    for (int i = 0; i < 20; ++i) {
        QTest::addRow("alpha over the chart box %d", i)
            << withTransparency(random, randomImage(random, 6, 30, 10)) << black;
        QTest::addRow("alpha over the finder box %d", i)
            << withTransparency(random, randomImage(random, 6, 30, 10)) << darkRed;
    }
}

void tst_chartviewer::closedFormEqualsLiteral()
{
    QFETCH(QImage, image);
    QFETCH(QRgb, box);
    const QImage expected = literalNight(overBox(image, box));

    // Through a file, as the box loads it.
    AppFolder folder;
    QVERIFY(image.save(folder.file(QStringLiteral("chart.png"))));
    const outcome::Result<NightPicture> shown =
        nightPicture(appfiles::Subfolder(folder.path()), QStringLiteral("chart.png"), box);
    QVERIFY2(shown, qPrintable(problemText(shown)));
    QCOMPARE(shown->image.format(), QImage::Format_RGB32);
    QCOMPARE(shown->image, expected);
    QCOMPARE(shown->applications, observe::modProcesses::edgescan(overBox(image, box)));
}

void tst_chartviewer::picturesInEveryFormat_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("GIF") << "chart.gif";
    QTest::newRow("PNG") << "chart.png";
    QTest::newRow("JPEG") << "chart.jpg";
}

void tst_chartviewer::picturesInEveryFormat()
{
    QFETCH(QString, file);
    AppFolder folder;
    const QImage chart = blackOnWhiteChart(200, 150);
    if (file.endsWith(QStringLiteral(".gif")))
        folder.write(file, gifBytes(chart));
    else
        QVERIFY(chart.save(folder.file(file), nullptr, 100));
    const outcome::Result<NightPicture> picture = nightPicture(appfiles::Subfolder(folder.path()), file, black);
    QVERIFY2(picture, qPrintable(problemText(picture)));
    QVERIFY(picture->applications >= 1);
    const QImage &shown = picture->image;
    QCOMPARE(shown.size(), chart.size());
    // Red lines on black: the paper dark, nothing green or blue.
    int red = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb pixel = shown.pixel(x, y);
            QCOMPARE(qGreen(pixel) + qBlue(pixel), 0);
            red += qRed(pixel) > 128;
            if (!file.endsWith(QStringLiteral(".jpg")))
                QCOMPARE(qRed(pixel), 255 - qRed(chart.pixel(x, y)));
        }
    }
    QVERIFY(red > 1000 && red < shown.width() * shown.height() / 2);
}

void tst_chartviewer::transparentPictureLaidOverTheBox()
{
    // A finder drawn on a transparent ground, its left column transparent:
    // over the finder box's dark red it reads 128 and is not filtered.
    AppFolder folder;
    QImage finder(10, 10, QImage::Format_ARGB32);
    finder.fill(qRgba(0, 0, 0, 0));
    finder.setPixel(5, 5, qRgba(255, 0, 0, 255));
    folder.write(QStringLiteral("finder.gif"), gifBytes(finder));
    const outcome::Result<NightPicture> shown =
        nightPicture(appfiles::Subfolder(folder.path()), QStringLiteral("finder.gif"), darkRed);
    QVERIFY2(shown, qPrintable(problemText(shown)));
    QCOMPARE(shown->applications, 0);
    QCOMPARE(shown->image.pixel(0, 0), darkRed);
    QCOMPARE(shown->image.pixel(5, 5), qRgb(255, 0, 0));
}

void tst_chartviewer::picturesNotShown_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    // Empty when it is shown.
    QTest::addColumn<QString>("told");

    const QImage chart = blackOnWhiteChart(300, 200);
    const QByteArray gif = gifBytes(chart);
    const auto encoded = [&chart](const char *format) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        return buffer.open(QIODevice::WriteOnly) && chart.save(&buffer, format) ? bytes : QByteArray();
    };
    const QByteArray png = encoded("PNG");
    const QByteArray jpeg = encoded("JPEG");
    QTest::newRow("missing") << "missing.gif" << QByteArray() << "does not exist";
    QTest::newRow("empty") << "empty.gif" << QByteArray("") << "is empty";
    QTest::newRow("no picture") << "notes.gif" << QByteArray("notes") << "no picture the program can read";
    QTest::newRow("PNG cut short") << "cut.png" << png.left(png.size() / 2) << "damaged or cut short";
    QTest::newRow("GIF cut short") << "cut.gif" << gif.chopped(10) << "is cut short";
    QTest::newRow("JPEG cut short") << "cut.jpg" << jpeg.chopped(2) << "is cut short";
    QTest::newRow("pipe") << "pipe.gif" << QByteArray() << "a named pipe, not a file";
    // One pixel row more than the largest chart, at one bit per pixel.
    QTest::newRow("too large") << "scan.png" << QByteArray() << "7000 \u00d7 10001 pixels, too many";
    QTest::newRow("link, followed") << "link.gif" << QByteArray() << "";
    for (const char *name : {"../outside.gif", "sub/chart.gif", "sub\\chart.gif", ".", ".."})
        QTest::addRow("name %s", name) << name << QByteArray() << "is never opened";
}

void tst_chartviewer::picturesNotShown()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, told);
    // A picture beside the folder, where only a link may lead.
    AppFolder app;
    app.write(QStringLiteral("outside.gif"), gifBytes(blackOnWhiteChart(20, 20)));
    QVERIFY(QDir(app.path()).mkdir(QStringLiteral("starcharts")));
    const QString path = app.file(QStringLiteral("starcharts/") + name);
    if (name == u"pipe.gif")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (name == u"scan.png")
        QVERIFY(QImage(7000, 10001, QImage::Format_Mono).save(path));
    else if (name == u"link.gif")
        QVERIFY(QFile::link(app.file(QStringLiteral("outside.gif")), path));
    else if (!bytes.isNull())
        app.write(QStringLiteral("starcharts/") + name, bytes);

    const outcome::Result<NightPicture> picture = nightPicture(app.programFolder().charts(), name, black);
    QCOMPARE(!picture && picture.problem().kind == outcome::Kind::NotFound, name == u"missing.gif");
    QCOMPARE(!picture || picture->image.isNull(), !told.isEmpty());
    const QString error = problemText(picture);
    QVERIFY2(error.contains(told) && error.contains(app.file(QStringLiteral("starcharts"))) != told.isEmpty(),
             qPrintable(error));
}

void tst_chartviewer::timestampInUniversalTime_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QList<int>>("stamp");
    const auto utc = [](int y, int mo, int d, int h, int mi, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
    };
    QTest::newRow("the next minute") << utc(2021, 3, 4, 21, 14, 5) << QList<int>{2021, 3, 4, 21, 15};
    QTest::newRow("minute 59 carries into the hour") << utc(2021, 3, 4, 21, 59, 59) << QList<int>{2021, 3, 4, 22, 0};
    QTest::newRow("23:59 on 31 December carries into the year")
        << utc(2020, 12, 31, 23, 59, 0) << QList<int>{2021, 1, 1, 0, 0};
    QTest::newRow("local clock read as UT")
        << utc(2020, 12, 31, 23, 59, 30).toLocalTime() << QList<int>{2021, 1, 1, 0, 0};
    QTest::newRow("local morning is the evening before in UT")
        << QDateTime(QDate(2021, 6, 1), QTime(3, 10), Qt::LocalTime) << QList<int>{2021, 5, 31, 21, 41};
}

void tst_chartviewer::timestampInUniversalTime()
{
    QFETCH(QDateTime, now);
    QFETCH(QList<int>, stamp);
    const TimeStamp made = timestamp(now);
    QCOMPARE((QList<int>{made.year, made.month, made.day, made.hour, made.minute}), stamp);
}

void tst_chartviewer::daynumberHalvesToEven_data()
{
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("day");
    QTest::addColumn<int>("expected");

    QTest::newRow("a whole day is its day number") << "2020"
                                                   << "9"
                                                   << "27" << 2459120;
    QTest::newRow("half to the even below") << "2018"
                                            << "1"
                                            << "5.5" << 2458124;
    QTest::newRow("half to the even above") << "2018"
                                            << "1"
                                            << "6.5" << 2458126;
    QTest::newRow("not a number") << "2018"
                                  << ""
                                  << "5" << -1;
}

void tst_chartviewer::daynumberHalvesToEven()
{
    QFETCH(QString, year);
    QFETCH(QString, month);
    QFETCH(QString, day);
    QFETCH(int, expected);
    QCOMPARE(daynumber(year, month, day).value_or(-1), expected);
}

void tst_chartviewer::wholeDayHalvesToEven_data()
{
    QTest::addColumn<QString>("obsdate");
    QTest::addColumn<int>("expected");

    QTest::newRow("half to the even below") << "2459124.5" << 2459124;
    QTest::newRow("half to the even above") << "2459125.5" << 2459126;
    QTest::newRow("evening") << "2459124.3750" << 2459124;
    QTest::newRow("morning") << "2459123.6" << 2459124;
    QTest::newRow("whole") << "2459124" << 2459124;
    QTest::newRow("comma is no decimal point") << "2459124,5" << -1;
    QTest::newRow("letters") << "abc" << -1;
    QTest::newRow("beyond 32 bits") << "99999999999" << -1;
}

void tst_chartviewer::wholeDayHalvesToEven()
{
    QFETCH(QString, obsdate);
    QFETCH(int, expected);
    QCOMPARE(wholeDay(obsdate).value_or(-1), expected);
}

void tst_chartviewer::captions_data()
{
    QTest::addColumn<QString>("newest");
    QTest::addColumn<int>("daynumber");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QString>("text");

    QTest::newRow("never") << QString() << 2459124 << true << "No previous observations of this star.";
    QTest::newRow("tonight") << "2459124.3750" << 2459124 << true << "Star already observed tonight";
    QTest::newRow("3 days") << "2459124.3750" << 2459127 << true << "Last obs. of this star: 3 days ago";
    QTest::newRow("1 day, no singular") << "2459124.3750" << 2459125 << true << "Last obs. of this star: 1 days ago";
    QTest::newRow("half counts to the even day") << "2459124.5" << 2459124 << true << "Star already observed tonight";
    QTest::newRow("half counts to the even day above")
        << "2459125.5" << 2459124 << true << "Last obs. of this star is dated after today";
    QTest::newRow("dated after today") << "2459124.3750" << 2459120 << true
                                       << "Last obs. of this star is dated after today";
    QTest::newRow("not a number") << "24591x4.3" << 2459124 << false << "\"24591x4.3\"";
}

void tst_chartviewer::captions()
{
    QFETCH(QString, newest);
    QFETCH(int, daynumber);
    QFETCH(bool, readable);
    QFETCH(QString, text);
    const outcome::Result<QString> previous = previousCaption(
        QStringLiteral("ss cyg"), newest.isNull() ? std::nullopt : std::optional<QString>(newest), daynumber);
    QCOMPARE(previous.ok(), readable);
    if (!readable) {
        const QString message = problemText(previous);
        QVERIFY2(message.contains(text) && message.contains(QStringLiteral("\"ss cyg\"")), qPrintable(message));
        QCOMPARE(previous.problem().title, QStringLiteral("Previous observations"));
    } else {
        QCOMPARE(*previous, text);
    }
}

void tst_chartviewer::newestObservation()
{
    AppFolder folder;
    QVERIFY(store::createDefault(folder.programFolder()));
    QCOMPARE(newestObsdate(folder.programFolder(), QStringLiteral("ss cyg")).value(), std::nullopt);

    // Stored with capitals, found for the catalogue's name; ordered as text,
    // so the shorter number with the greater first digit comes first.
    addObservation(folder.path(), QStringLiteral("SS Cyg"), QStringLiteral("2459124.3750"));
    addObservation(folder.path(), QStringLiteral("ss cyg"), QStringLiteral("245913.5"));
    addObservation(folder.path(), QStringLiteral("ss CYG"), QStringLiteral("2459127.1"));
    addObservation(folder.path(), QStringLiteral("rr lyr"), QStringLiteral("2459999.1"));
    QCOMPARE(newestObsdate(folder.programFolder(), QStringLiteral("ss cyg")).value().value_or(QString()),
             QStringLiteral("245913.5"));

    // An apostrophe is part of the name.
    addObservation(folder.path(), QStringLiteral("o'hara's star"), QStringLiteral("2459000.2"));
    QCOMPARE(newestObsdate(folder.programFolder(), QStringLiteral("O'Hara's star")).value().value_or(QString()),
             QStringLiteral("2459000.2"));

    folder.write(QStringLiteral("starcharts.mdb"), "not a database");
    QVERIFY(!problemText(newestObsdate(folder.programFolder(), QStringLiteral("ss cyg"))).isEmpty());
}

void tst_chartviewer::catalogueRow()
{
    AppFolder folder;
    QVERIFY(store::createDefault(folder.programFolder()));
    addChart(folder.path(), QStringLiteral("o'hara's star"));
    const auto row = chartrow(folder.programFolder(), QStringLiteral("O'HARA'S STAR"));
    QVERIFY(row);
    QCOMPARE(row->starname, QStringLiteral("o'hara's star"));
    QCOMPARE(row->chart, QStringLiteral("X1"));
    QCOMPARE(row->picturefile, QStringLiteral("o'hara's star.gif"));
    QCOMPARE(row->finderchart, QStringLiteral("none"));
    QCOMPARE(problemOf(chartrow(folder.programFolder(), QString()))->kind, outcome::Kind::NotFound);
}

void tst_chartviewer::finderNone_data()
{
    QTest::addColumn<QString>("finderchart");
    QTest::addColumn<bool>("has");
    QTest::newRow("none") << "none" << false;
    QTest::newRow("None") << "None" << true;
    QTest::newRow("NONE") << "NONE" << true;
    QTest::newRow("a file") << "ss cyg-finder.gif" << true;
}

void tst_chartviewer::finderNone()
{
    QFETCH(QString, finderchart);
    QFETCH(bool, has);
    QCOMPARE(hasFinder(finderchart), has);
}

void tst_chartviewer::chartNotFoundText()
{
    QCOMPARE(chartNotFound(QString()).message,
             QStringLiteral("No chart with the name '' in database,\nor the chart is in the wrong folder"));
    QCOMPARE(chartNotFound(QStringLiteral("ss cyg.gif")).message,
             QStringLiteral("No chart with the name 'ss cyg.gif' in database,\nor the chart is in the wrong folder"));
}

QTEST_APPLESS_MAIN(tst_chartviewer)
#include "tst_chartviewer.moc"
