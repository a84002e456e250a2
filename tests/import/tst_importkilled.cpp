// SPDX-License-Identifier: GPL-2.0-or-later
// An import killed between two of its pieces of work, its transaction open
// or just committed, as a crash or a kill leaves it; and the undo of one
// killed between its steps.
#include "store/creation.h"
#include "tests/import/downloadfile.h"
#include "tests/support/appfolder.h"
#include "tests/support/observations.h"
#include "tests/support/recorderprocess.h"
#include "tests/support/sqlfile.h"

#include <QTest>

class tst_importkilled : public QObject
{
    Q_OBJECT

private slots:
    void killedBetweenItsSteps();
    void undoKilledBetweenItsSteps();
};

namespace
{
// The rows are whole, each the line of the file at its place, each once.
void checkPrefix(const QString &folder, qint64 *rows)
{
    const QStringList kept = cumobsRows(folder);
    for (qsizetype i = 0; i < kept.size(); ++i) {
        const QString line = generatedLine(i);
        QVERIFY2(kept.at(i).startsWith(line.section(QStringLiteral("##"), 1, 1) + QLatin1Char('|'))
                     && kept.at(i).endsWith(QLatin1Char('|') + line.section(QStringLiteral("##"), 14, 14)),
                 qPrintable(QStringLiteral("row %1: %2").arg(i).arg(kept.at(i))));
    }
    // What the AAVSO holds was noted in the transactions that added the rows.
    QCOMPARE(SqlFile(folder).value(QStringLiteral("SELECT count(*) FROM ledger")).toLongLong(), kept.size());
    *rows = kept.size();
}
}

void tst_importkilled::killedBetweenItsSteps()
{
    AppFolder folder;
    QVERIFY(store::createDefault(folder.programFolder()));
    const QString download = folder.file(QStringLiteral("download.txt"));
    // Four transactions at least, for the helper adds a line a millisecond at
    // most: the three killed commit 2,100 lines at most.
    constexpr qint64 lines = 2800;
    QVERIFY(writeGeneratedFile(download, lines));
    qint64 rows = 0;
    // Killed in its first transaction, then after one and after two committed.
    for (const int commits : {0, 1, 2}) {
        RecorderProcess importer({QStringLiteral("import"), folder.path(), download, QString::number(commits)});
        QTRY_VERIFY_WITH_TIMEOUT(!importer.lines().isEmpty(), 60000);
        QVERIFY2(importer.lines().constFirst().startsWith(QLatin1String("A ")),
                 qPrintable(importer.lines().join(u'\n')));
        importer.process().kill();
        QVERIFY(importer.process().waitForFinished());
        const qint64 before = rows;
        checkPrefix(folder.path(), &rows);
        QVERIFY(commits == 0 ? rows == before : rows > before);
    }
    RecorderProcess importer({QStringLiteral("import"), folder.path(), download, QStringLiteral("-1")});
    QTRY_VERIFY_WITH_TIMEOUT(!importer.lines().isEmpty(), 60000);
    QCOMPARE(importer.lines().constFirst(), QStringLiteral("D %1").arg(lines - rows));
    checkPrefix(folder.path(), &rows);
    QCOMPARE(rows, lines);
}

void tst_importkilled::undoKilledBetweenItsSteps()
{
    AppFolder folder;
    QVERIFY(store::createDefault(folder.programFolder()));
    QStringList lines;
    for (int n = 0; n < 50; ++n)
        lines.append(generatedLine(n));
    QVERIFY(importDownload(folder.path(), lines));
    const auto state = [&folder] {
        SqlFile db(folder.path());
        QList<QVariantList> rows;
        for (const char *table :
             {"cumobs", "ledger", "ledger_coverage", "imports", "import_parts", "import_undos", "changes"})
            rows += db.rows(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(table)));
        return rows;
    };
    const QList<QVariantList> before = state();
    // Killed with its transaction open after each step but the last: nothing of it is kept.
    for (int steps = 1; steps <= 4; ++steps) {
        RecorderProcess undo({QStringLiteral("undo"), folder.path(), QString::number(steps)});
        QTRY_COMPARE_WITH_TIMEOUT(undo.lines(), QStringList{"W"}, 60000);
        undo.process().kill();
        QVERIFY(undo.process().waitForFinished());
        QCOMPARE(state(), before);
    }
    RecorderProcess undo({QStringLiteral("undo"), folder.path(), QStringLiteral("-1")});
    QTRY_COMPARE_WITH_TIMEOUT(undo.lines(), QStringList{"D"}, 60000);
    QVERIFY(cumobsRows(folder.path()).isEmpty());
    QCOMPARE(SqlFile(folder.path()).count(QStringLiteral("ledger")), 0);
}

QTEST_GUILESS_MAIN(tst_importkilled)
#include "tst_importkilled.moc"
