// SPDX-License-Identifier: GPL-2.0-or-later
#include "import/modimportscreen.h"
#include "reports/reportchange.h"
#include "store/changes.h"
#include "store/creation.h"
#include "store/importundo.h"
#include "store/ledger.h"
#include "store/lookupindexes.h"
#include "store/observations.h"
#include "tests/import/downloadfile.h"
#include "tests/support/appfolder.h"
#include "tests/support/observations.h"
#include "tests/support/problemtext.h"
#include "tests/support/sqlfile.h"

#include <QTest>
#include <QThread>

using import::modImportscreen::Duplicates;
using import::modImportscreen::Import;
using Ending = store::PastImport::Ending;

class tst_importundo final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void undoTakesBackOnlyItsOwn();
    void undoOfAnImportEndedEarly_data();
    void undoOfAnImportEndedEarly();
    void rowOfAnotherProgramStays();
    void vacuumLeavesTheImportAsItIs();
    void sameFileIsNamedInTheQuestion();

private:
    QString write(const QStringList &lines);
    store::PastImport newest();
    outcome::Result<store::ImportUndone> undoNewestBut(int skip = 0);

    std::unique_ptr<AppFolder> m_folder;
};

namespace
{
DownloadFields observation(const char *star, const char *jd, const char *magnitude)
{
    DownloadFields f;
    f.star = QLatin1String(star);
    f.jd = QLatin1String(jd);
    f.magnitude = QLatin1String(magnitude);
    return f;
}

const QString a1 = downloadLine(observation("SS CYG", "2458124.3958", "11.2"));
const QString a2 = downloadLine(observation("RR LYR", "2458125.5", "13.0"));
const QString a3 = downloadLine(observation("R CRB", "2458200.5", "6.1"));
const QString b1 = downloadLine(observation("V CAS", "2458130.5", "9.5"));

QString rowOf(const char *star, const char *magnitude, const char *jd)
{
    return QStringLiteral("%1|%2|110 115|%3|na|na|1896")
        .arg(QLatin1String(star), QLatin1String(magnitude), QLatin1String(jd));
}
}

void tst_importundo::init()
{
    m_folder = std::make_unique<AppFolder>();
    QVERIFY(store::createDefault(m_folder->programFolder()));
}

QString tst_importundo::write(const QStringList &lines)
{
    m_folder->write(QStringLiteral("download.txt"), downloadBytes(lines));
    return m_folder->file(QStringLiteral("download.txt"));
}

store::PastImport tst_importundo::newest()
{
    return import::modImportscreen::pastImports(m_folder->programFolder()).value().constFirst();
}

outcome::Result<store::ImportUndone> tst_importundo::undoNewestBut(int skip)
{
    store::Database db(m_folder->programFolder());
    return store::ImportUndo(db, newest().id - skip).run();
}

// An equal row recorded by hand and one B added stay; the ledger keeps
// what B read; the undo, taken back through the record of changes, can be
// done again.
void tst_importundo::undoTakesBackOnlyItsOwn()
{
    QVERIFY(Import(write({a1, a2, a3}), m_folder->programFolder()).run(Duplicates::All));
    store::Database db(m_folder->programFolder());
    QVERIFY(store::addObservation(db, {"SS CYG", "11.2", "110 115", "2458124.3958", "na", "na", "1896"}));
    QVERIFY(Import(write({a2, b1}), m_folder->programFolder()).run(Duplicates::All));
    // Corrected since, A's third row is named and left.
    store::Change corrected;
    corrected.at = corrected.report = corrected.oldLine = corrected.newLine = QStringLiteral("x");
    corrected.row = 3;
    corrected.oldRow = *store::observationAt(db, 3).value();
    corrected.newRow = corrected.oldRow;
    corrected.newRow->magnitude = QStringLiteral("6.2");
    QVERIFY(store::applyChange(db, corrected));

    const auto undone = undoNewestBut(1);
    QVERIFY2(undone, qPrintable(problemText(undone)));
    QCOMPARE(undone->removed, 2);
    QCOMPARE(undone->unnoted, 2);
    QCOMPARE(undone->left, QStringList{"R CRB 2458200.5 6.2"});
    const QStringList afterUndo{rowOf("R CRB", "6.2", "2458200.5"), rowOf("SS CYG", "11.2", "2458124.3958"),
                                rowOf("RR LYR", "13.0", "2458125.5"), rowOf("V CAS", "9.5", "2458130.5")};
    QCOMPARE(cumobsRows(m_folder->path()), afterUndo);
    auto ledger = store::readLedger(m_folder->programFolder());
    QCOMPARE(ledger->stars, (QStringList{"RR LYR", "V CAS"}));
    QCOMPARE(ledger->newest, 24581305000);
    const QVariant kind = SqlFile(m_folder->path()).value("SELECT kind FROM changes WHERE id = ?", {*undone->change});
    QCOMPARE(kind, QVariant("import undone"));

    // The newest change: the catalogue's "Undo last change" takes it back.
    QCOMPARE(problemText(reports::undoLast(m_folder->programFolder())), QString());
    QCOMPARE(SqlFile(m_folder->path()).value("SELECT kind FROM changes WHERE undoes = ?", {*undone->change}),
             QVariant("import restored"));
    const QStringList restored{rowOf("SS CYG", "11.2", "2458124.3958"), rowOf("RR LYR", "13.0", "2458125.5")};
    QCOMPARE(cumobsRows(m_folder->path()), afterUndo + restored);
    ledger = store::readLedger(m_folder->programFolder());
    QCOMPARE(ledger->held.size(), 4);
    QCOMPARE(ledger->newest, 24582005000);
    QCOMPARE(store::takeBackImportUndo(db, *undone->change).problem().kind, outcome::Kind::NotFound);
    QCOMPARE(undoNewestBut(1)->removed, 2);
    QCOMPARE(cumobsRows(m_folder->path()), afterUndo);
}

void tst_importundo::undoOfAnImportEndedEarly_data()
{
    QTest::addColumn<bool>("cancelled");
    QTest::newRow("stopped at a line") << false;
    QTest::newRow("cancelled") << true;
}

void tst_importundo::undoOfAnImportEndedEarly()
{
    QFETCH(bool, cancelled);
    if (cancelled) {
        QVERIFY(writeGeneratedFile(m_folder->file(QStringLiteral("download.txt")), 20000));
        Import import(m_folder->file(QStringLiteral("download.txt")), m_folder->programFolder());
        while (import.outcome()->added < 2)
            import.work(QDeadlineTimer(30));
        import.cancel();
    } else {
        QCOMPARE(Import(write({a1, a2, QStringLiteral("SS CYG##2458126.5##0"), a3}), m_folder->programFolder())
                     .run(Duplicates::All)
                     ->kind,
                 import::modImportscreen::Ended::Stopped);
    }
    const store::PastImport past = newest();
    QCOMPARE(past.ending, cancelled ? Ending::Cancelled : Ending::Stopped);
    QCOMPARE(past.stopLine, cancelled ? 0 : 5);
    QCOMPARE(past.added, cumobsRows(m_folder->path()).size());
    QVERIFY2(undoNewestBut(), "undone");
    QVERIFY(cumobsRows(m_folder->path()).isEmpty());
    const auto ledger = store::readLedger(m_folder->programFolder());
    QVERIFY(!ledger->begun && ledger->held.empty());
    QVERIFY(import::modImportscreen::importLine(newest()).contains(QStringLiteral("(undone ")));
}

// Recorded between two transactions of the import, among its rows.
void tst_importundo::rowOfAnotherProgramStays()
{
    QVERIFY(writeGeneratedFile(m_folder->file(QStringLiteral("download.txt")), 2000));
    Import import(m_folder->file(QStringLiteral("download.txt")), m_folder->programFolder());
    // A line a millisecond at most: a transaction of 0.7 s holds far fewer than the file.
    while (import.pause().count() == 0 && import.phase() != Import::Phase::Done) {
        import.work(QDeadlineTimer(0));
        QThread::msleep(1);
    }
    QVERIFY(insertObservations(m_folder->path(), {rowOf("other", "8.0", "2458124.5").split(u'|')}));
    QVERIFY(import.run(Duplicates::All));
    QVERIFY(cumobsRows(m_folder->path()).constLast() != rowOf("other", "8.0", "2458124.5"));
    QVERIFY2(undoNewestBut(), "undone");
    QCOMPARE(cumobsRows(m_folder->path()), QStringList{rowOf("other", "8.0", "2458124.5")});
}

// The program's own addition to the structure is no change outside it.
void tst_importundo::vacuumLeavesTheImportAsItIs()
{
    QVERIFY(Import(write({a1, a2}), m_folder->programFolder()).run(Duplicates::All));
    {
        // As if imported into a database made before the planner's table.
        SqlFile earlier(m_folder->path());
        QVERIFY(earlier.exec(QStringLiteral("DROP TABLE positions")));
        QVERIFY(earlier.exec("UPDATE imports SET schema_version = ?", {earlier.value("PRAGMA schema_version")}));
    }
    QVERIFY(store::addLookups(m_folder->programFolder()));
    QVERIFY2(undoNewestBut(), "undone after an addition");
    QVERIFY(Import(write({a3}), m_folder->programFolder()).run(Duplicates::All));
    QVERIFY(SqlFile(m_folder->path()).exec(QStringLiteral("VACUUM")));
    const QStringList rows = cumobsRows(m_folder->path());
    const std::optional<outcome::Problem> refused = problemOf(undoNewestBut());
    QCOMPARE(refused->kind, outcome::Kind::Refused);
    QVERIFY2(refused->message.contains(QStringLiteral("(VACUUM)")), qPrintable(refused->message));
    QCOMPARE(cumobsRows(m_folder->path()), rows);
    QVERIFY(!newest().undone);
}

void tst_importundo::sameFileIsNamedInTheQuestion()
{
    const QString path = write({a1, a2, a3});
    QVERIFY(Import(path, m_folder->programFolder()).run(Duplicates::All));
    Import again(path, m_folder->programFolder());
    while (again.phase() == Import::Phase::Checking)
        again.work(QDeadlineTimer(1000));
    QCOMPARE(again.phase(), Import::Phase::Asking);
    QCOMPARE(again.importedBefore(),
             QStringLiteral("This file was imported on %1: 3 observations added.")
                 .arg(QDate::currentDate().toString(Qt::ISODate)));
}

QTEST_APPLESS_MAIN(tst_importundo)

#include "tst_importundo.moc"
