// SPDX-License-Identifier: GPL-2.0-or-later
// A star's history as the light curve reads and draws it: recorded told
// from imported by the report files, fainter-than marks, tonight's lines,
// bad values counted and left out; the calendar of the time axis.
#include "appfiles/folder.h"
#include "lightcurve/curve.h"
#include "lightcurve/history.h"
#include "lightcurve/timeaxis.h"

#include "tests/support/appfolder.h"
#include "tests/support/observations.h"
#include "tests/support/problemtext.h"

#include <QDir>
#include <QTest>

using namespace lightcurve;

namespace
{
const QDate today(2024, 6, 1);
const QDate earlier(2018, 1, 5);

QStringList row(const QString &star, const QString &magnitude, const QString &estimate, const QString &obsdate)
{
    return {star, magnitude, estimate, obsdate, QStringLiteral("na"), QStringLiteral("haze"), QStringLiteral("1896")};
}

// A report file as the observation screen writes it: the header, then the lines.
void writeReport(const AppFolder &app, const QDate &date, const QStringList &lines)
{
    const QString path = appfiles::Folder(app.path()).report(date);
    const QString name = QDir(app.path()).relativeFilePath(path);
    QByteArray bytes = "#TYPE=Visual\r\n#OBSCODE=XYZ\r\n#DELIM=|\r\n#DATE=JD\r\n";
    for (const QString &line : lines)
        bytes += line.toLatin1() + "\r\n";
    app.write(name, bytes);
}

Observation at(double jd, double magnitude, bool fainterThan = false)
{
    Observation o;
    o.jd = jd;
    o.magnitude = magnitude;
    o.fainterThan = fainterThan;
    return o;
}
}

class tst_lightcurve final : public QObject
{
    Q_OBJECT

private slots:
    void classification_data();
    void classification();
    void orderCountAndDuplicates();
    void missingDatabase();
    void description_data();
    void description();
    void marksOfTheCurve();
    void views();
    void nearestInPixels();
    void calendar_data();
    void calendar();
    void dateTicks_data();
    void dateTicks();
};

void tst_lightcurve::classification_data()
{
    QTest::addColumn<QStringList>("cumobs");
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("lineTonight");
    QTest::addColumn<bool>("drawn");
    QTest::addColumn<bool>("recorded");
    QTest::addColumn<bool>("fainterThan");
    QTest::addColumn<bool>("tonight");
    QTest::addColumn<QString>("comparisons");

    const QString line = QStringLiteral("ss cyg|2458124.3958|11.2|na|110|115|1896|na");
    const QString date = QStringLiteral("2458124.3958");
    QTest::newRow("imported") << row("ss cyg", "11.2", "110 115", date) << QString() << false << true << false << false
                              << false << QString();
    QTest::newRow("imported fainter-than")
        << row("ss cyg", "13.0", "<130", date) << QString() << false << true << false << true << false << QString();
    QTest::newRow("recorded") << row("ss cyg", "11.2", "110(1)115", date) << line << false << true << true << false
                              << false << QStringLiteral("110,115");
    QTest::newRow("recorded fainter-than")
        << row("ss cyg", "13.0", "not seen", date) << QStringLiteral("ss cyg|2458124.3958|<13.0|na|130|na|1896|na")
        << false << true << true << true << false << QStringLiteral("130,");
    QTest::newRow("recorded: the line decides, not the estimate")
        << row("ss cyg", "11.2", "<odd", date) << line << false << true << true << false << false
        << QStringLiteral("110,115");
    QTest::newRow("recorded tonight") << row("ss cyg", "11.2", "110(1)115", date) << line << true << true << true
                                      << false << true << QStringLiteral("110,115");
    QTest::newRow("another star's line of the same date")
        << row("ss cyg", "11.2", "110 115", date) << QStringLiteral("rr lyr|2458124.3958|11.2|na|110|115|1896|na")
        << true << true << false << false << false << QString();
    QTest::newRow("another date's line") << row("ss cyg", "11.2", "110 115", "2458124.4") << line << false << true
                                         << false << false << false << QString();
    QTest::newRow("star in capitals in cumobs") << row("SS CYG", "11.2", "110 115", date) << line << false << true
                                                << true << false << false << QStringLiteral("110,115");
    QTest::newRow("star in capitals in the report")
        << row("ss cyg", "11.2", "110 115", date) << QStringLiteral("SS Cyg|2458124.3958|11.2|na|110|115|1896|na")
        << false << true << true << false << false << QStringLiteral("110,115");
    QTest::newRow("obsdate not a number") << row("ss cyg", "11.2", "110 115", "2458124,3958") << QString() << false
                                          << false << false << false << false << QString();
    QTest::newRow("obsdate without its point") << row("ss cyg", "11.2", "110 115", "24581243958") << QString() << false
                                               << false << false << false << false << QString();
    QTest::newRow("magnitude not a number") << row("ss cyg", "bright", "110 115", date) << QString() << false << false
                                            << false << false << false << QString();
    QTest::newRow("magnitude na") << row("ss cyg", "na", "110 115", date) << QString() << false << false << false
                                  << false << false << QString();
}

void tst_lightcurve::classification()
{
    QFETCH(QStringList, cumobs);
    QFETCH(QString, line);
    QFETCH(bool, lineTonight);
    QFETCH(bool, drawn);
    QFETCH(bool, recorded);
    QFETCH(bool, fainterThan);
    QFETCH(bool, tonight);
    QFETCH(QString, comparisons);

    AppFolder app;
    app.prepare();
    QVERIFY(insertObservations(app.path(), {cumobs, row("rr lyr", "8.0", "80", "2458124.3958")}));
    if (!line.isEmpty())
        writeReport(app, lineTonight ? today : earlier, {line});

    const outcome::Result<History> read = readHistory(app.programFolder(), QStringLiteral("ss cyg"), today);
    QVERIFY2(read, qPrintable(problemText(read)));
    const History &history = *read;
    QCOMPARE(history.undrawn, drawn ? 0 : 1);
    QCOMPARE(history.observations.size(), drawn ? 1 : 0);
    if (!drawn)
        return;
    const Observation &o = history.observations.constFirst();
    QCOMPARE(o.magnitude, cumobs.at(1).toDouble());
    QCOMPARE(o.recorded, recorded);
    QCOMPARE(o.fainterThan, fainterThan);
    QCOMPARE(o.tonight, tonight);
    QCOMPARE(o.comp1 + (comparisons.isEmpty() ? QString() : QStringLiteral(",")) + o.comp2, comparisons);
    const outcome::Result<Details> details = readDetails(app.programFolder(), o.row);
    QVERIFY2(details, qPrintable(problemText(details)));
    QCOMPARE(details->obsdate, cumobs.at(3));
    QCOMPARE(details->estimate, cumobs.at(2));
}

void tst_lightcurve::orderCountAndDuplicates()
{
    AppFolder app;
    app.prepare();
    // Text order would put 999... before 2...: the curve goes by number.
    QVERIFY(insertObservations(app.path(),
                               {
                                   row("ss cyg", "9.1", "a", "2459000.25"),
                                   row("ss cyg", "9.2", "b", "2458000"),
                                   row("ss cyg", "x", "c", "2458500"),
                                   row("ss cyg", "9.3", "d", "2458124.4"),
                                   row("ss cyg", "9.4", "e", "2458124.4"),
                                   row("ss cyg", "9.5", "f", "later"),
                                   row("rr lyr", "9.6", "g", "2458124.4"),
                               }));
    // One line for two rows of the same date: the first was recorded here,
    // the second (the same estimate downloaded again) imported.
    writeReport(app, earlier, {QStringLiteral("ss cyg|2458124.4|9.3|na|93|na|1896|na")});

    const History history = readHistory(app.programFolder(), QStringLiteral("Ss Cyg"), today).value();
    QCOMPARE(history.undrawn, 2);
    QStringList order;
    for (const Observation &o : history.observations)
        order.append(readDetails(app.programFolder(), o.row)->estimate
                     + (o.recorded ? QStringLiteral("+") : QString()));
    QCOMPARE(order, QStringList({"b", "d+", "e", "a"}));
}

void tst_lightcurve::missingDatabase()
{
    AppFolder app;
    const outcome::Result<History> history = readHistory(app.programFolder(), QStringLiteral("ss cyg"), today);
    QVERIFY(!history);
    QVERIFY(problemText(history).contains(u"\"ss cyg\""));
}

void tst_lightcurve::description_data()
{
    QTest::addColumn<bool>("recorded");
    QTest::addColumn<bool>("fainterThan");
    QTest::addColumn<QString>("notes");
    QTest::addColumn<QString>("obsdate");
    QTest::addColumn<QString>("text");

    const QString date = QStringLiteral("2458124.3958");
    QTest::newRow("recorded, with comparison stars and notes")
        << true << false << "haze" << date
        << "2018-01-05 21:30 UT\nJD 2458124.3958\nMagnitude 11.2\nComparison stars 110, 115\nChart 1896\n"
           "Notes haze\nRecorded here";
    QTest::newRow("imported fainter-than, notes na")
        << false << true << "na" << date
        << "2018-01-05 21:30 UT\nJD 2458124.3958\nFainter than 11.2\nChart 1896\nImported";
    QTest::newRow("the row changed since the curve was read")
        << false << false << "haze"
        << "2458130.5"
        << "2018-01-05 21:30 UT\nJD 2458124.3958\nMagnitude 11.2\nImported";
}

void tst_lightcurve::description()
{
    QFETCH(bool, recorded);
    QFETCH(bool, fainterThan);
    QFETCH(QString, notes);
    QFETCH(QString, obsdate);
    QFETCH(QString, text);
    Observation o = at(2458124.3958, 11.2, fainterThan);
    o.recorded = recorded;
    if (recorded) {
        o.comp1 = QStringLiteral("110");
        o.comp2 = QStringLiteral("115");
    }
    const Details details{obsdate, "11.2", "110(1)115", "na", notes, "1896"};
    QCOMPARE(describe(o, details), text);
}

void tst_lightcurve::marksOfTheCurve()
{
    Observation recorded = at(2458000, 9.0);
    recorded.recorded = true;
    Observation tonight = at(2458002, 9.5);
    tonight.recorded = tonight.tonight = true;
    Observation fainter = at(2458003, 13.0, true);
    fainter.recorded = true;
    const Curve curve = curveOf({recorded, at(2458001, 10.0), tonight, fainter, at(2458004, 12.5, true)});
    QCOMPARE(curve.recorded.jd, QVector<double>({2458000, 2458002}));
    QCOMPARE(curve.imported.jd, QVector<double>({2458001}));
    // At their limits, whether recorded or imported.
    QCOMPARE(curve.fainterThan.magnitude, QVector<double>({13.0, 12.5}));
    QCOMPARE(curve.tonight.jd, QVector<double>({2458002}));
}

void tst_lightcurve::views()
{
    const QList<Observation> history{at(2450000, 9.0), at(2455000, 12.0, true), at(2459990, 8.0), at(2460000, 8.5)};
    const View whole = wholeHistory(history);
    // All of it with room around: the limit of a fainter-than too.
    QVERIFY(whole.jd.lower < 2450000 && whole.jd.upper > 2460000);
    QVERIFY(whole.jd.lower > 2449000 && whole.jd.upper < 2461000);
    QVERIFY(whole.magnitude.lower < 8.0 && whole.magnitude.upper > 12.0);

    const View recent = lastDays(history, 2460010, 90);
    QVERIFY(recent.jd.lower <= 2460010 - 90 && recent.jd.upper >= 2460010);
    QVERIFY(recent.jd.upper - recent.jd.lower < 100);
    // The magnitudes of those days alone.
    QVERIFY(recent.magnitude.lower < 8.0 && recent.magnitude.upper > 8.5 && recent.magnitude.upper < 9.0);

    const View quiet = lastDays(history, 2470000, 90);
    QCOMPARE(quiet.magnitude.lower, whole.magnitude.lower);
    QCOMPARE(quiet.magnitude.upper, whole.magnitude.upper);
    QCOMPARE(wholeHistory({}).jd.upper, 0.0);
}

void tst_lightcurve::nearestInPixels()
{
    const QList<Observation> history{at(2458000, 9.0), at(2458001, 9.0), at(2458001.1, 12.0), at(2458010, 9.0)};
    // A day is 10 pixels across, a magnitude 100 down.
    QCOMPARE(nearest(history, 2458000.6, 9.0, 0.1, 0.01, 12), 1);
    QCOMPARE(nearest(history, 2458001.1, 11.5, 0.1, 0.01, 12), -1);
    QCOMPARE(nearest(history, 2458001.1, 11.95, 0.1, 0.01, 12), 2);
    QCOMPARE(nearest(history, 2458005, 9.0, 0.1, 0.01, 12), -1);
    QCOMPARE(nearest({}, 2458005, 9.0, 0.1, 0.01, 12), -1);
}

void tst_lightcurve::calendar_data()
{
    QTest::addColumn<double>("jd");
    QTest::addColumn<QString>("text");
    QTest::newRow("J2000") << 2451545.0 << "2000-01-01 12:00 UT";
    QTest::newRow("the Unix epoch") << 2440587.5 << "1970-01-01 00:00 UT";
    QTest::newRow("a recorded nightly estimate, to the minute") << 2458124.3958 << "2018-01-05 21:30 UT";
    QTest::newRow("midnight UT") << 2458123.5 << "2018-01-05 00:00 UT";
    QTest::newRow("a date before 1970") << 2415020.5 << "1900-01-01 00:00 UT";
}

void tst_lightcurve::calendar()
{
    QFETCH(double, jd);
    QFETCH(QString, text);
    QCOMPARE(dateText(jd), text);
    QCOMPARE(utcOf(jd).timeSpec(), Qt::UTC);
    QVERIFY(qAbs(jdOf(utcOf(jd)) - jd) < 1e-7);
}

void tst_lightcurve::dateTicks_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("most");
    QTest::addColumn<QStringList>("labels");

    const double june = jdOf(QDateTime(QDate(2024, 6, 1), QTime(0, 0), Qt::UTC));
    QTest::newRow("ten years, every second new year") << jdOf(QDateTime(QDate(2014, 1, 1), QTime(0, 0), Qt::UTC))
                                                      << jdOf(QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC)) << 9
                                                      << QStringList{"2014", "2016", "2018", "2020", "2022", "2024"};
    QTest::newRow("a year, every second month")
        << jdOf(QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC))
        << jdOf(QDateTime(QDate(2025, 1, 1), QTime(0, 0), Qt::UTC)) << 9
        << QStringList{"2024-01", "2024-03", "2024-05", "2024-07", "2024-09", "2024-11", "2025-01"};
    QTest::newRow("90 days, every tenth day of the month")
        << june - 90 << june << 9 << QStringList{"2024-03-11", "2024-03-21", "2024-04-01", "2024-04-11", "2024-04-21",
                                                 "2024-05-01", "2024-05-11", "2024-05-21", "2024-06-01"};
    QTest::newRow("a night, every three hours")
        << june << june + 0.5 << 8
        << QStringList{"2024-06-01 00:00", "2024-06-01 03:00", "2024-06-01 06:00", "2024-06-01 09:00",
                       "2024-06-01 12:00"};
    QTest::newRow("an empty span") << june << june << 8 << QStringList();
}

void tst_lightcurve::dateTicks()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, most);
    QFETCH(QStringList, labels);
    const QList<Tick> ticks = lightcurve::dateTicks(from, to, most);
    QStringList found;
    for (const Tick &tick : ticks) {
        found.append(tick.label);
        QVERIFY(tick.jd >= from && tick.jd <= to);
        // On the boundary it names.
        QVERIFY(dateText(tick.jd).startsWith(tick.label));
    }
    QCOMPARE(found, labels);
}

QTEST_APPLESS_MAIN(tst_lightcurve)
#include "tst_lightcurve.moc"
