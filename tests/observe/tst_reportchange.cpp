// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/modentryscreen.h"
#include "reports/reportchange.h"
#include "tests/support/appfolder.h"
#include "tests/support/exampleobservation.h"
#include "tests/support/observations.h"
#include "tests/support/problemtext.h"
#include "tests/support/sqlfile.h"

#include <QTest>

using namespace observe::modEntryscreen;

namespace
{
const QString report = QStringLiteral("obs/2018-Jan-05.txt");
const QByteArray header = "#TYPE=VISUAL\r\n#OBSCODE=XYZ\r\n";
const QString line = QStringLiteral("ss cyg|2458124.3958|11.2|na|110|115|1896|na");

// A folder whose report holds the lines and whose cumobs holds the rows.
void prepare(const AppFolder &app, const QByteArray &lines, const QList<QStringList> &rows)
{
    app.prepare();
    app.write(report, header + lines);
    QVERIFY(insertObservations(app.path(), rows));
}

QStringList row(const QString &magnitude, const QString &estimate, const QString &notes = QStringLiteral("na"))
{
    return {"ss cyg", magnitude, estimate, "2458124.3958", "na", notes, "1896"};
}

Recording corrected()
{
    ObservationTexts texts = exampleObservation();
    texts.magnitude = QStringLiteral("11.4");
    texts.estimate = QStringLiteral("110 2 V 1 115");
    return makeRecording(texts, true);
}
}

class tst_reportchange : public QObject
{
    Q_OBJECT

private slots:
    void lineFound_data();
    void lineFound();
    void changedText_data();
    void changedText();
    void correctionChangesBoth();
    void withdrawalTakesOneOfTwoCopies();
    void refusalsChangeNothing_data();
    void refusalsChangeNothing();
    void pendingChangeCompletedOnce();
};

void tst_reportchange::lineFound_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("copies");
    QTest::addColumn<bool>("ambiguous");
    const QByteArray same = line.toLatin1();
    QTest::newRow("once, CR LF") << header + same + "\r\n" << 1 << false;
    QTest::newRow("last line without its end") << header + same << 1 << false;
    QTest::newRow("line feeds alone") << QByteArray("#TYPE=VISUAL\n") + same + "\n" << 1 << false;
    QTest::newRow("twice in all eight fields") << header + same + "\r\n" + same + "\r\n" << 2 << false;
    QTest::newRow("another with its star, date and magnitude")
        << header + same + "\r\nSS CYG|2458124.3958|<11.2|na|110|116|1896|na\r\n"
        << 1 << true;
    QTest::newRow("edited by hand") << header + "ss cyg|2458124.3958|11.2|na|110|115|1896|haze\r\n" << 0 << true;
    QTest::newRow("another star's") << header + "rr lyr|2458124.3958|11.2|na|110|115|1896|na\r\n" << 0 << false;
}

void tst_reportchange::lineFound()
{
    QFETCH(QByteArray, report);
    QFETCH(int, copies);
    QFETCH(bool, ambiguous);
    const reports::LineInReport found = reports::findLine(report, line);
    QCOMPARE(found.copies, copies);
    QCOMPARE(found.ambiguous, ambiguous);
}

void tst_reportchange::changedText_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<bool>("withdrawn");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray other = "rr lyr|2458124.4|8.1|na|80|85|1770|na";
    const QByteArray same = line.toLatin1();
    const QByteArray fixed = "ss cyg|2458124.3958|11.4|na|110|115|1896|na";
    QTest::newRow("corrected between lines") << header + same + "\r\n" + other + "\r\n"
                                             << false << header + fixed + "\r\n" + other + "\r\n";
    QTest::newRow("corrected, no line end")
        << header + other + "\r\n" + same << false << header + other + "\r\n" + fixed;
    QTest::newRow("corrected, line feed") << header + same + "\n" << false << header + fixed + "\n";
    QTest::newRow("withdrawn with its end") << header + same + "\r\n" + other + "\r\n"
                                            << true << header + other + "\r\n";
    QTest::newRow("withdrawn, no line end") << header + other + "\r\n" + same << true << header + other + "\r\n";
    QTest::newRow("one of two copies") << header + same + "\r\n" + same + "\r\n" << true << header + same + "\r\n";
}

void tst_reportchange::changedText()
{
    QFETCH(QByteArray, report);
    QFETCH(bool, withdrawn);
    QFETCH(QByteArray, expected);
    const std::optional<QString> replacement = withdrawn ? std::nullopt : std::optional<QString>(corrected().line);
    QCOMPARE(reports::changedReport(report, line, replacement), std::optional(expected));
}

void tst_reportchange::correctionChangesBoth()
{
    AppFolder app;
    const QByteArray other = "rr lyr|2458124.4|8.1|na|80|85|1770|na\r\n";
    prepare(app, line.toLatin1() + "\r\n" + other,
            {row("11.2", "110 1 115"), {"rr lyr", "8.1", "80 85", "2458124.4", "na", "na", "1770"}});

    // The line's own date text stays, though the fields would give another.
    const Recording recording = withDateText(corrected(), QStringLiteral("2458124.39"));
    reports::ReportChange change(app.programFolder(), app.file(report),
                                 {store::Change::Kind::Correction, line, recording, {}});
    QCOMPARE(problemText(change.run()), QString());

    QCOMPARE(app.read(report), header + "ss cyg|2458124.39|11.4|na|110|115|1896|na\r\n" + other);
    QCOMPARE(cumobsRows(app.path()),
             QStringList({"ss cyg|11.4|110 2 V 1 115|2458124.39|na|na|1896", "rr lyr|8.1|80 85|2458124.4|na|na|1770"}));
    SqlFile db(app.path());
    const QList<QVariantList> changes =
        db.rows(QStringLiteral("SELECT kind, report, old_line, new_line, row, old_row, copies, state FROM changes"));
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.constFirst(),
             QVariantList({"correction", "2018-Jan-05.txt", line, "ss cyg|2458124.39|11.4|na|110|115|1896|na", 1,
                           R"(["ss cyg","11.2","110 1 115","2458124.3958","na","na","1896"])", 1, "done"}));
}

void tst_reportchange::withdrawalTakesOneOfTwoCopies()
{
    AppFolder app;
    // Written twice, stored twice: one observation less either way.
    prepare(app, line.toLatin1() + "\r\n" + line.toLatin1() + "\r\n",
            {row("11.2", "110 1 115"), row("11.2", "110 1 115")});
    QCOMPARE(problemText(withdrawobs(app.programFolder(), app.file(report), line, {})), QString());
    QCOMPARE(app.read(report), header + line.toLatin1() + "\r\n");
    QCOMPARE(cumobsRows(app.path()).size(), 1);
}

void tst_reportchange::refusalsChangeNothing_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<bool>("recordOfChanges");
    QTest::addColumn<QString>("why");
    const QByteArray same = line.toLatin1() + "\r\n";
    QTest::newRow("ambiguous") << same + "ss cyg|2458124.3958|11.2|na|110|116|1896|na\r\n"
                               << QList<QStringList>{row("11.2", "a"), row("11.2", "b")} << true << "cannot be told";
    QTest::newRow("edited by hand") << QByteArray("ss cyg|2458124.3958|11.2|na|110|115|1896|haze\r\n")
                                    << QList<QStringList>{row("11.2", "a", "haze")} << true
                                    << "no longer in the report";
    QTest::newRow("two different rows, none chosen")
        << same << QList<QStringList>{row("11.2", "a"), row("11.2", "b")} << true << "choose";
    QTest::newRow("no record of changes")
        << same << QList<QStringList>{row("11.2", "a")} << false << "no record of changes";
}

void tst_reportchange::refusalsChangeNothing()
{
    AppFolder app;
    QFETCH(QByteArray, lines);
    QFETCH(QList<QStringList>, rows);
    QFETCH(bool, recordOfChanges);
    QFETCH(QString, why);
    prepare(app, lines, rows);
    if (!recordOfChanges)
        QVERIFY(SqlFile(app.path()).exec(QStringLiteral("DROP TABLE changes")));
    const QByteArray before = app.read(report);
    const QStringList rowsBefore = cumobsRows(app.path());

    const outcome::Done done = withdrawobs(app.programFolder(), app.file(report), line, {});
    QVERIFY2(problemText(done).contains(why), qPrintable(problemText(done)));
    QCOMPARE(app.read(report), before);
    QCOMPARE(cumobsRows(app.path()), rowsBefore);
}

void tst_reportchange::pendingChangeCompletedOnce()
{
    AppFolder app;
    // Two copies: completing must take exactly one, however often it runs.
    prepare(app, line.toLatin1() + "\r\n" + line.toLatin1() + "\r\n", {row("11.2", "a"), row("11.2", "a")});
    {
        reports::ReportChange change(app.programFolder(), app.file(report),
                                     {store::Change::Kind::Correction, line, corrected(), {}});
        while (change.step() != reports::ReportChange::Step::Committed)
            QCOMPARE(problemText(change.next()), QString());
    }
    // Cut short: the table holds the change, the report does not yet.
    QCOMPARE(app.read(report), header + line.toLatin1() + "\r\n" + line.toLatin1() + "\r\n");
    const QByteArray expected = header + line.toLatin1() + "\r\n" + corrected().line.toLatin1() + "\r\n";
    for (int run = 0; run < 2; ++run) {
        QCOMPARE(problemText(reports::completeAllPending(app.programFolder())), QString());
        QCOMPARE(app.read(report), expected);
    }
    QCOMPARE(SqlFile(app.path()).value(QStringLiteral("SELECT state FROM changes")).toString(), QStringLiteral("done"));
    QCOMPARE(cumobsRows(app.path()).count(QStringLiteral("ss cyg|11.4|110 2 V 1 115|2458124.3958|na|na|1896")), 1);
}

QTEST_APPLESS_MAIN(tst_reportchange)
#include "tst_reportchange.moc"
