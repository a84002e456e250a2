// SPDX-License-Identifier: GPL-2.0-or-later
#include "reports/ledgermatch.h"
#include "reports/reportchange.h"
#include "reports/reportcheck.h"
#include "store/database.h"
#include "tests/support/appfolder.h"
#include "tests/support/observations.h"
#include "tests/support/problemtext.h"
#include "tests/support/sqlfile.h"

#include <QFile>
#include <QTest>

using namespace reports;

namespace
{
const QString report = QStringLiteral("obs/2018-Jan-05.txt");
const QByteArray header = "#TYPE=VISUAL\r\n#OBSCODE=XYZ\r\n";
const QByteArray line = "ss cyg|2458124.3958|11.2|na|110|115|1896|na\r\n";
const QByteArray other = "rr lyr|2458124.4|8.1|na|80|85|1770|na\r\n";

// The report's line and, without a report, one of the year 2000.
void prepare(const AppFolder &app)
{
    app.prepare();
    app.write(report, header + line + other);
    QVERIFY(insertObservations(app.path(),
                               {{"ss cyg", "11.2", "110 1 115", "2458124.3958", "na", "na", "1896"},
                                {"rr lyr", "8.1", "80 85", "2458124.4", "na", "na", "1770"},
                                {"r cas", "9.0", "90", "2451545.0", "na", "na", "na"}}));
}

store::ObservationRow values(const QString &magnitude, const QString &star = QStringLiteral("ss cyg"),
                             const QString &date = QStringLiteral("2458124.3958"))
{
    return {star,
            magnitude,
            QStringLiteral("110 2 V 1 115"),
            date,
            QStringLiteral("na"),
            QStringLiteral("na"),
            QStringLiteral("1896")};
}

QString kinds(const AppFolder &app)
{
    QStringList all;
    for (const QVariantList &row : SqlFile(app.path()).rows(QStringLiteral("SELECT kind, undoes FROM changes")))
        all.append(row.value(0).toString() + (row.value(1).isNull() ? QString() : u'>' + row.value(1).toString()));
    return all.join(u' ');
}

// The AAVSO holds the observations given as star, ten-thousandths of a day, magnitude.
void hold(const AppFolder &app, const QList<QVariantList> &held)
{
    SqlFile db(app.path());
    QVERIFY(db.execEach(QStringLiteral("INSERT INTO ledger VALUES (?, ?, ?, 0)"), held));
    QVERIFY(db.exec(QStringLiteral("INSERT OR REPLACE INTO ledger_coverage VALUES (1, 24581250000)")));
}

QList<modReportcheck::ReportLedger::Changed> told(const AppFolder &app)
{
    const modReportcheck::Ledgers ledgers =
        modReportcheck::ledgersOf(app.programFolder(), {QFile::encodeName(app.file(report))});
    return ledgers.reports.value(0).changed;
}
}

class tst_pastchanges : public QObject
{
    Q_OBJECT

private slots:
    void rowWithAndWithoutItsReport();
    void undoTakesBackEachKind();
    void undoRefusedAfterAHandEdit();
    void checks_data();
    void checks();
    void ledgerTellsWhatTheAavsoStillHolds();
};

void tst_pastchanges::rowWithAndWithoutItsReport()
{
    AppFolder app;
    prepare(app);
    const outcome::Result<QString> corrected = correctRow(app.programFolder(), 1, values(QStringLiteral("11.4")));
    QVERIFY2(problemText(corrected).isEmpty() && corrected->contains(u"in the report"),
             qPrintable(problemText(corrected)));
    QCOMPARE(app.read(report), header + "ss cyg|2458124.3958|11.4|na|110|115|1896|na\r\n" + other);

    // Twenty years back, where no report of obs/ holds it: the row alone, and said so.
    const outcome::Result<QString> old =
        correctRow(app.programFolder(), 3, values(QStringLiteral("9.1"), QStringLiteral("r cas"), "2451545.0"));
    QVERIFY2(problemText(old).isEmpty() && old->contains(u"no report changed"), qPrintable(problemText(old)));
    QCOMPARE(cumobsRows(app.path()).constLast(), QStringLiteral("r cas|9.1|110 2 V 1 115|2451545.0|na|na|1896"));
    QCOMPARE(SqlFile(app.path()).value(QStringLiteral("SELECT report FROM changes WHERE id = 2")).toString(),
             QString());
    QCOMPARE(app.read(report), header + "ss cyg|2458124.3958|11.4|na|110|115|1896|na\r\n" + other);
}

void tst_pastchanges::undoTakesBackEachKind()
{
    AppFolder app;
    prepare(app);
    const QStringList rows = cumobsRows(app.path());
    QVERIFY(correctRow(app.programFolder(), 1, values(QStringLiteral("11.4"))));
    QVERIFY(withdrawRow(app.programFolder(), 2));
    QCOMPARE(app.read(report), header + "ss cyg|2458124.3958|11.4|na|110|115|1896|na\r\n");

    // Newest first: the withdrawn line comes back at the report's end, then the correction goes.
    QVERIFY(undoLast(app.programFolder()));
    QCOMPARE(app.read(report), header + "ss cyg|2458124.3958|11.4|na|110|115|1896|na\r\n" + other);
    QVERIFY(undoLast(app.programFolder()));
    QCOMPARE(app.read(report), header + line + other);
    QStringList now = cumobsRows(app.path());
    now.sort();
    QStringList before = rows;
    before.sort();
    QCOMPARE(now, before);
    QCOMPARE(kinds(app), QStringLiteral("correction withdrawal restoration>2 correction>1"));
    QCOMPARE(problemOf(undoLast(app.programFolder()))->kind, outcome::Kind::NotFound);
}

void tst_pastchanges::undoRefusedAfterAHandEdit()
{
    AppFolder app;
    prepare(app);
    QVERIFY(correctRow(app.programFolder(), 1, values(QStringLiteral("11.4"))));
    const QByteArray edited = header + "ss cyg|2458124.3958|11.5|na|110|115|1896|na\r\n" + other;
    app.write(report, edited);
    const QStringList rows = cumobsRows(app.path());
    QVERIFY(problemText(undoLast(app.programFolder())).contains(u"no longer in the report"));
    QCOMPARE(app.read(report), edited);
    QCOMPARE(cumobsRows(app.path()), rows);
}

void tst_pastchanges::checks_data()
{
    QTest::addColumn<store::ObservationRow>("row");
    QTest::addColumn<QString>("field");
    // Decades back are fine; tomorrow's night is not.
    QTest::newRow("1985") << values("11.4", "ss cyg", "2446066.5") << QString();
    QTest::newRow("a year ahead") << values("11.4", "ss cyg", "2500000.5") << "obsdate";
    QTest::newRow("no decimal point") << values("11", "ss cyg") << "magnitude";
    QTest::newRow("a bar") << values("11.4", "ss|cyg") << "star";
    QTest::newRow("empty star") << values("11.4", "") << "star";
    store::ObservationRow longEstimate = values("11.4");
    longEstimate.estimate = QStringLiteral("110 (2) V (1) 115");
    QTest::newRow("estimate too long") << longEstimate << "estimate";
}

void tst_pastchanges::checks()
{
    QFETCH(store::ObservationRow, row);
    QFETCH(QString, field);
    const outcome::Done checked = checkRow(row, QDateTime(QDate(2026, 12, 8), QTime(20, 0), Qt::UTC));
    QCOMPARE(checked ? QString() : checked.problem().field, field);
}

void tst_pastchanges::ledgerTellsWhatTheAavsoStillHolds()
{
    AppFolder app;
    prepare(app);
    hold(app, {{"SS CYG", 24581243958LL, 11.2}, {"RR LYR", 24581244000LL, 8.1}});
    QVERIFY(reports::aavsoHoldsNotice(app.programFolder(), QString::fromLatin1(line).trimmed()).contains(u"twice"));

    QVERIFY(correctRow(app.programFolder(), 1, values(QStringLiteral("11.4"))));
    QVERIFY(withdrawRow(app.programFolder(), 2));
    QList<modReportcheck::ReportLedger::Changed> notes = told(app);
    QCOMPARE(notes.size(), 2);
    QCOMPARE(modReportcheck::changedText(notes.at(0)), QStringLiteral("withdrawn here, held at the AAVSO"));
    QCOMPARE(modReportcheck::changedText(notes.at(1)),
             QStringLiteral("corrected here, held at the AAVSO with the old value"));

    // A later download holding the new value ends the one; dismissing, the other.
    hold(app, {{"SS CYG", 24581243958LL, 11.4}});
    store::Database db(app.programFolder());
    QVERIFY(store::dismiss(db, notes.at(0).change));
    QCOMPARE(told(app).size(), 0);
}

QTEST_APPLESS_MAIN(tst_pastchanges)
#include "tst_pastchanges.moc"
