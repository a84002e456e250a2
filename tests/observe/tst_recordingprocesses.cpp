// SPDX-License-Identifier: GPL-2.0-or-later
// Several programs on one application folder, and programs killed in the
// middle of a recording: every line of the report has exactly its row of
// cumobs and every row its line, whatever happens.
#include "appfiles/folder.h"
#include "observe/modentryscreen.h"
#include "observe/reportfile.h"
#include "reports/reportchange.h"
#include "store/charts.h"
#include "store/database.h"
#include "store/observations.h"
#include "tests/support/appfolder.h"
#include "tests/support/exampleobservation.h"
#include "tests/support/problemtext.h"
#include "tests/support/recorderprocess.h"
#include "tests/support/sqlfile.h"
#include "tests/support/testkit.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <memory>

namespace
{
struct Story
{
    // Notes of each data line, in file order, and the whole line.
    QStringList lineTags;
    QStringList lines;
    // Notes of each row, and the line the row would have been written as.
    QStringList rowTags;
    QStringList rowLines;
    QByteArray bytes;
};

const QRegularExpression
    dataLine(QStringLiteral("^ss cyg\\|2458124\\.\\d{1,4}\\|11\\.\\d\\|na\\|na\\|na\\|na\\|[A-Z]\\d*-\\d+$"));

// The report and cumobs as they are now, read with a fresh handle, as the
// next program would.
Story story(const AppFolder &folder, const QString &report)
{
    Story s;
    QFile file(report);
    if (file.open(QIODevice::ReadOnly))
        s.bytes = file.readAll();
    for (const QByteArray &line : s.bytes.split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QString text = QString::fromLatin1(line).chopped(line.endsWith('\r') ? 1 : 0);
        s.lines.append(text);
        s.lineTags.append(text.section(u'|', 7));
    }
    for (const QVariantList &row : SqlFile(folder.path()).rows(QStringLiteral("SELECT * FROM cumobs"))) {
        const auto value = [&](int i) { return row.value(i).toString(); };
        s.rowTags.append(value(5));
        s.rowLines.append(
            QStringList{value(0), value(3), value(1), value(4), "na", "na", value(6), value(5)}.join(u'|'));
    }
    return s;
}

QString integrity(const AppFolder &folder)
{
    const QVariant check = SqlFile(folder.path()).value(QStringLiteral("PRAGMA integrity_check"));
    return check.isValid() ? check.toString() : QStringLiteral("failed");
}

// An application folder as a first start leaves it, with today's report begun.
QString prepared(const AppFolder &folder)
{
    folder.write(QStringLiteral("header.txt"), observerHeader);
    RecorderProcess first({QStringLiteral("start"), folder.path()});
    first.process().waitForFinished();
    const QString report = appfiles::Folder(folder.path()).report(QDate(2018, 1, 5));
    static_cast<void>(observe::modEntryscreen::beginReport(folder.programFolder(), report));
    return report;
}
}

class tst_recordingprocesses final : public QObject
{
    Q_OBJECT

private slots:
    void twoProgramsAndALockedDatabase();
    void killedAtRandomMoments();
    void doubleFirstStarts();
    void changeKilledBetweenSteps_data();
    void changeKilledBetweenSteps();
    void recordingDuringCorrections();
};

void tst_recordingprocesses::twoProgramsAndALockedDatabase()
{
    AppFolder folder;
    const QString report = prepared(folder);
    // A third program holds the database while the two record: first for
    // itself alone, then as a reader, so that commits fail after the line
    // was written. It takes each hold while they record without end: an
    // exclusive hold competes with their quick transactions, so it is taken
    // before they start, and a reader's hold is soon had between them.
    RecorderProcess locker({QStringLiteral("lock"), folder.path()});
    locker.process().write("exclusive\n");
    QTRY_VERIFY_WITH_TIMEOUT(locker.lines().contains(QStringLiteral("exclusive")), 20000);
    RecorderProcess a({QStringLiteral("record"), folder.path(), report, QStringLiteral("A")});
    RecorderProcess b({QStringLiteral("record"), folder.path(), report, QStringLiteral("B")});
    QTRY_VERIFY_WITH_TIMEOUT(a.results() >= 2 && b.results() >= 2, 20000);
    locker.process().write("shared\n");
    QTRY_VERIFY_WITH_TIMEOUT(locker.lines().contains(QStringLiteral("shared")), 20000);
    qsizetype aBefore = a.results();
    qsizetype bBefore = b.results();
    QTRY_VERIFY_WITH_TIMEOUT(a.results() >= aBefore + 2 && b.results() >= bBefore + 2, 20000);
    locker.process().write("release\n");
    QVERIFY(locker.process().waitForFinished());
    aBefore = a.results();
    bBefore = b.results();
    QTRY_VERIFY_WITH_TIMEOUT(a.tags("R", "A").size() >= aBefore && b.tags("R", "B").size() >= bBefore, 50000);
    a.process().closeWriteChannel();
    b.process().closeWriteChannel();
    QTRY_VERIFY_WITH_TIMEOUT(a.process().state() == QProcess::NotRunning && b.process().state() == QProcess::NotRunning,
                             20000);
    QCOMPARE(a.process().exitCode() + b.process().exitCode(), 0);
    const QStringList recorded = a.tags("R", "A") + b.tags("R", "B");
    const QStringList failed = a.tags("F", "A") + b.tags("F", "B");
    QVERIFY2(!failed.isEmpty(), "the lock held nothing up");
    QVERIFY2(!(a.lines() + b.lines()).filter(QStringLiteral("taken out of the report again")).isEmpty(),
             "no commit failed after its line was written");
    QVERIFY2(a.tags("X", "A").isEmpty() && b.tags("X", "B").isEmpty(), qPrintable(a.lines().join(u'\n')));

    const Story s = story(folder, report);
    QVERIFY(!s.bytes.contains('\0'));
    QVERIFY(s.bytes.endsWith("\r\n"));
    for (const QString &line : s.lines)
        QVERIFY2(dataLine.match(line).hasMatch(), qPrintable(line));
    QStringList lineTags = s.lineTags;
    QStringList rowTags = s.rowTags;
    QStringList wanted = recorded;
    lineTags.sort();
    rowTags.sort();
    wanted.sort();
    QCOMPARE(lineTags, wanted);
    QCOMPARE(rowTags, wanted);
    QStringList rowLines = s.rowLines;
    QStringList lines = s.lines;
    rowLines.sort();
    lines.sort();
    QCOMPARE(lines, rowLines);
    qInfo("%lld recorded, %lld failed while the database was held", qint64(recorded.size()), qint64(failed.size()));
}

void tst_recordingprocesses::killedAtRandomMoments()
{
    AppFolder folder;
    const QString report = prepared(folder);
    QRandomGenerator random(20180105);
    int unpaired = 0;
    for (int kill = 0; kill < 30; ++kill) {
        const QString tag = QString(QChar(u'A' + kill % 26));
        RecorderProcess child({QStringLiteral("record"), folder.path(), report, tag + QString::number(kill / 26)});
        const qsizetype wait = random.bounded(1, 4);
        QTRY_VERIFY_WITH_TIMEOUT(child.results() >= wait, 20000);
        // On to a random moment of the recording under way.
        const qint64 spin = random.bounded(0, 6000) * 1000;
        QElapsedTimer timer;
        timer.start();
        while (timer.nsecsElapsed() < spin) { }
        child.process().kill();
        QVERIFY(child.process().waitForFinished());

        QCOMPARE(integrity(folder), QStringLiteral("ok"));
        const Story s = story(folder, report);
        QVERIFY(!s.bytes.contains('\0'));
        QVERIFY2(s.bytes.endsWith("\r\n"), "a partial line");
        for (const QString &line : s.lines)
            QVERIFY2(dataLine.match(line).hasMatch(), qPrintable(line));
        for (const QString &row : s.rowLines)
            QVERIFY2(s.lines.contains(row), qPrintable("a row without its line: " + row));
        const int now = int(s.lines.size() - s.rowLines.size());
        QVERIFY2(now - unpaired <= 1,
                 qPrintable(QStringLiteral("%1 lines without rows after kill %2").arg(now).arg(kill)));
        unpaired = now;
    }
    qInfo("%d of 30 kills left the recording in flight as a line without its row", unpaired);
}

void tst_recordingprocesses::doubleFirstStarts()
{
    for (int round = 0; round < 20; ++round) {
        AppFolder folder;
        {
            RecorderProcess first({QStringLiteral("start"), folder.path()});
            RecorderProcess second({QStringLiteral("start"), folder.path()});
            QVERIFY(first.process().waitForFinished() && second.process().waitForFinished());
            QVERIFY2(first.process().exitCode() == 0 && second.process().exitCode() == 0,
                     qPrintable((first.lines() + second.lines()).join(u'\n')));
        }
        QCOMPARE(folder.entries(),
                 (QStringList{QStringLiteral("obs"), QStringLiteral("starcharts"), QStringLiteral("starcharts.mdb")}));
        store::Database db(folder.programFolder());
        QCOMPARE(store::countCharts(db).valueOr(-1), 1);
        QCOMPARE(store::countObservations(db).valueOr(-1), 0);
    }
}

namespace
{
// Records as the record helper does: the lines the suite's pattern matches.
void recordTagged(const AppFolder &folder, const QString &report, const QString &tag, int hour, int minute)
{
    observe::modEntryscreen::ObservationTexts texts = exampleObservation();
    texts.hour = QString::number(hour);
    texts.minute = QString::number(minute);
    texts.comp1.clear();
    texts.comp2.clear();
    texts.chart.clear();
    texts.notes = tag;
    QVERIFY(observe::modEntryscreen::recordobs(folder.programFolder(), report, texts));
}

// Each line has its row and each row its line, counted.
void agreeing(const Story &s)
{
    QStringList lines = s.lines;
    QStringList rows = s.rowLines;
    lines.sort();
    rows.sort();
    QCOMPARE(lines, rows);
}
}

void tst_recordingprocesses::changeKilledBetweenSteps_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("steps");
    // An undo of a withdrawal adds the line back at the report's end.
    for (const char *kind : {"correct", "withdraw", "undo"}) {
        // Checked, written beside, committed, renamed: killed after each.
        for (int steps = 1; steps <= 4; ++steps)
            QTest::addRow("%s after step %d", kind, steps) << QString::fromLatin1(kind) << steps;
    }
}

void tst_recordingprocesses::changeKilledBetweenSteps()
{
    QFETCH(QString, kind);
    QFETCH(int, steps);
    AppFolder folder;
    const QString report = prepared(folder);
    recordTagged(folder, report, QStringLiteral("A-0"), 21, 10);
    recordTagged(folder, report, QStringLiteral("B-0"), 21, 20);
    recordTagged(folder, report, QStringLiteral("C-0"), 21, 30);
    const QString line = story(folder, report).lines.at(1);
    if (kind == QLatin1String("undo"))
        QVERIFY(reports::withdrawRow(folder.programFolder(), 2));
    {
        RecorderProcess child({QStringLiteral("change"), folder.path(), report, kind, line, QString::number(steps)});
        QTRY_COMPARE_WITH_TIMEOUT(child.lines(), QStringList{QStringLiteral("W")}, 20000);
        child.process().kill();
        QVERIFY(child.process().waitForFinished());
    }
    RecorderProcess start({QStringLiteral("start"), folder.path()});
    QVERIFY(start.process().waitForFinished());
    QCOMPARE(start.lines(), QStringList());

    const Story s = story(folder, report);
    agreeing(s);
    // Committed from step 3 on: from then on the change, before it none.
    const bool changed = steps >= 3;
    QCOMPARE(s.lines.contains(line), kind == QLatin1String("undo") ? changed : !changed);
    const QString corrected = QString(line).replace(QStringLiteral("|11.2|"), QStringLiteral("|11.9|"));
    QCOMPARE(s.lines.size(),
             (kind == QLatin1String("withdraw") && changed) || (kind == QLatin1String("undo") && !changed) ? 2 : 3);
    QCOMPARE(s.lines.contains(corrected), kind == QLatin1String("correct") && changed);
    QCOMPARE(SqlFile(folder.path()).value(QStringLiteral("SELECT count(*) FROM changes WHERE state = 'pending'")),
             QVariant(0));
}

void tst_recordingprocesses::recordingDuringCorrections()
{
    AppFolder folder;
    const QString report = prepared(folder);
    // Outside the helper's hour, so that it is no other line's twin.
    recordTagged(folder, report, QStringLiteral("S-0"), 22, 0);
    RecorderProcess child({QStringLiteral("record"), folder.path(), report, QStringLiteral("R")});
    QTRY_VERIFY_WITH_TIMEOUT(child.results() >= 2, 20000);
    // The seed line corrected back and forth while the other program appends.
    for (int round = 0; round < 10; ++round) {
        const QString line = story(folder, report).lines.constFirst();
        std::optional<observe::modEntryscreen::LineTexts> texts =
            observe::modEntryscreen::textsOfLine(line, QStringLiteral("110(1)115"));
        texts->texts.magnitude = QStringLiteral("11.%1").arg(round % 10);
        const outcome::Done corrected = observe::modEntryscreen::correctobs(
            folder.programFolder(), report, line, std::nullopt, texts->texts, texts->dateText);
        QVERIFY2(corrected || corrected.problem().kind == outcome::Kind::Busy, qPrintable(problemText(corrected)));
    }
    child.process().closeWriteChannel();
    QVERIFY(child.process().waitForFinished(20000));

    const Story s = story(folder, report);
    agreeing(s);
    for (const QString &tag : child.tags(QStringLiteral("R"), QStringLiteral("R")))
        QCOMPARE(s.lineTags.count(tag), 1);
    QCOMPARE(s.lineTags.count(QStringLiteral("S-0")), 1);
    QVERIFY(child.tags(QStringLiteral("R"), QStringLiteral("R")).size() >= 2);
}

QTEST_GUILESS_MAIN(tst_recordingprocesses)
#include "tst_recordingprocesses.moc"
