// SPDX-License-Identifier: GPL-2.0-or-later
#include "appfiles/codepage.h"
#include "import/downloadreader.h"
#include "import/modimportscreen.h"
#include "store/creation.h"
#include "store/database.h"
#include "store/ledger.h"
#include "store/observations.h"
#include "tests/import/downloadfile.h"
#include "tests/support/appfolder.h"
#include "tests/support/observations.h"
#include "tests/support/problemtext.h"
#include "tests/support/sqlfile.h"

#include <QRegularExpression>
#include <QTest>

#include <sys/stat.h>

using import::modImportscreen::Duplicates;
using import::modImportscreen::Ended;
using import::modImportscreen::Import;

class tst_importcore final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void threeLinesAddOneRow();
    void skippedLinesAddNothing_data();
    void skippedLinesAddNothing();
    void encodingsGiveTheSameRows_data();
    void encodingsGiveTheSameRows();
    void lineStopsTheImport_data();
    void lineStopsTheImport();
    void sameObservationsAddedOnlyOnce();
    void cancelKeepsAConsistentTable();
    void ledgerKeepsWhatWasReadOnce();
    void earlierDatabaseGetsTheLedgerFirst_data();
    void earlierDatabaseGetsTheLedgerFirst();
    void fileOrDatabaseNotOpened();

private:
    outcome::Result<Ended> importBytes(const QByteArray &bytes, Duplicates choice = Duplicates::OnlyNew);
    void addRecorded(const QString &star, const QString &obsdate, const QString &magnitude);

    std::unique_ptr<AppFolder> m_folder;
};

namespace
{
const QString mueller = QStringLiteral("Müller, 20cm \u20AC");
}

void tst_importcore::init()
{
    m_folder = std::make_unique<AppFolder>();
    const outcome::Done created = store::createDefault(m_folder->programFolder());
    QVERIFY2(created, qPrintable(problemText(created)));
}

outcome::Result<Ended> tst_importcore::importBytes(const QByteArray &bytes, Duplicates choice)
{
    m_folder->write(QStringLiteral("download.txt"), bytes);
    return Import(m_folder->file(QStringLiteral("download.txt")), m_folder->programFolder()).run(choice);
}

void tst_importcore::addRecorded(const QString &star, const QString &obsdate, const QString &magnitude)
{
    store::Database db(m_folder->programFolder());
    QVERIFY(store::addObservation(db,
                                  {star, magnitude, QStringLiteral("110 115"), obsdate, QStringLiteral("na"),
                                   QStringLiteral("na"), QStringLiteral("1896")}));
}

void tst_importcore::threeLinesAddOneRow()
{
    const outcome::Result<Ended> outcome = importBytes(downloadBytes({downloadLine({})}));
    QVERIFY2(outcome, qPrintable(problemText(outcome)));
    QCOMPARE(outcome->kind, Ended::Completed);
    QCOMPARE(outcome->added, 1);
    QCOMPARE(outcome->total, 1);
    QCOMPARE(outcome->message, QStringLiteral("Conversion Complete"));
    QCOMPARE(outcome->title, QStringLiteral("OK"));
    QCOMPARE(import::modImportscreen::resultText(outcome->added, outcome->total),
             QStringLiteral("1 records added to your Observations database. Total now 1 obs."));
    QCOMPARE(cumobsRows(m_folder->path()), QStringList{QStringLiteral("SS CYG|11.2|110 115|2458124.3958|na|na|1896")});
}

void tst_importcore::skippedLinesAddNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("one line") << downloadBytes({}).left(10);
    QTest::newRow("two lines") << downloadBytes({}).chopped(1);
    QTest::newRow("two lines and their ends") << downloadBytes({});
    QTest::newRow("two long lines") << QByteArray(300000, 'x') + '\n' + QByteArray(300000, '\xff') + "\r\n";
}

void tst_importcore::skippedLinesAddNothing()
{
    QFETCH(QByteArray, bytes);
    addRecorded(QStringLiteral("ss cyg"), QStringLiteral("2458124.3958"), QStringLiteral("11.2"));
    const outcome::Result<Ended> outcome = importBytes(bytes);
    QVERIFY2(outcome, qPrintable(problemText(outcome)));
    QCOMPARE(outcome->kind, Ended::Completed);
    QCOMPARE(outcome->added, 0);
    QCOMPARE(import::modImportscreen::resultText(outcome->added, outcome->total),
             QStringLiteral("0 records added to your Observations database. Total now 1 obs."));
}

void tst_importcore::encodingsGiveTheSameRows_data()
{
    QTest::addColumn<QByteArray>("bytes");

    DownloadFields f;
    f.notes = mueller;
    f.star = QStringLiteral("R CrB");
    const QStringList lines = downloadHeader + QStringList{downloadLine(f), downloadLine({})};
    // The start goes before the first line, which is skipped.
    const auto joined = [&lines](const QByteArray &start, const char *end, auto encode) {
        QByteArray bytes = start;
        for (const QString &line : lines)
            bytes += encode(line) + end;
        return bytes;
    };
    const auto utf8 = [](const QString &text) { return text.toUtf8(); };
    const auto cp1252 = [](const QString &text) { return *appfiles::toCp1252(text); };
    QTest::newRow("8-bit code page") << joined({}, "\n", cp1252);
    QTest::newRow("8-bit code page, CR LF") << joined({}, "\r\n", cp1252);
    QTest::newRow("UTF-8") << joined({}, "\n", utf8);
    QTest::newRow("UTF-8 with a byte-order mark") << joined("\xEF\xBB\xBF", "\n", utf8);
    QTest::newRow("UTF-8 with a byte-order mark, CR LF") << joined("\xEF\xBB\xBF", "\r\n", utf8);
    QTest::newRow("no line end at the end") << joined({}, "\n", utf8).chopped(1);
    QTest::newRow("a second line end at the end") << joined({}, "\n", utf8) + '\n';
    QTest::newRow("blank lines at the end") << joined({}, "\r\n", utf8) + "  \r\n\r\n \r\r\n   ";
    // Whether the file is UTF-8 is decided by all of it, not by its start.
    QTest::newRow("8-bit code page after 1 MB of UTF-8") << joined(QByteArray(1 << 20, 'x') + "\xC3\xA9", "\n", cp1252);
    QTest::newRow("UTF-8 across the reader's buffer")
        << joined(QByteArray((1 << 18) - 1, 'x') + "\xC3\xA9", "\n", utf8);
}

void tst_importcore::encodingsGiveTheSameRows()
{
    QFETCH(QByteArray, bytes);
    const outcome::Result<Ended> outcome = importBytes(bytes);
    QVERIFY2(outcome, qPrintable(problemText(outcome)));
    QCOMPARE(outcome->message, QStringLiteral("Conversion Complete"));
    QCOMPARE(outcome->added, 2);
    QCOMPARE(cumobsRows(m_folder->path()),
             (QStringList{QStringLiteral("R CrB|11.2|110 115|2458124.3958|na|%1|1896").arg(mueller),
                          QStringLiteral("SS CYG|11.2|110 115|2458124.3958|na|na|1896")}));
}

void tst_importcore::lineStopsTheImport_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("added");

    const QString good = downloadLine({});
    DownloadFields bad;
    bad.magnitude = QStringLiteral("bright");
    QTest::newRow("bad line in the middle")
        << downloadBytes({good, generatedLine(1), QStringLiteral("SS CYG##2458124.5##0"), good, generatedLine(2)})
        << "Line 5 of \"download.txt\" cannot be added: it has 3 fields, where an observation has 15 separated by "
           "\"##\".\n\n2 records from the lines before it were added; nothing after it was added."
        << 2;
    QTest::newRow("bad third line")
        << downloadBytes({downloadLine(bad), good})
        << "Line 3 of \"download.txt\" cannot be added: the magnitude \"bright\" (field 5) is not a number.\n\n"
           "Nothing was added."
        << 0;
    QTest::newRow("empty line")
        << downloadBytes({good, {}, good})
        << "Line 4 of \"download.txt\" cannot be added: it is empty, where an observation has 15 fields separated "
           "by \"##\".\n\n1 record from the lines before it was added; nothing after it was added."
        << 1;
    QTest::newRow("blank lines, then an observation")
        << downloadBytes({good, QStringLiteral("  "), {}, good})
        << "Line 4 of \"download.txt\" cannot be added: it has no \"##\" between fields, where an observation has "
           "15 fields.\n\n1 record from the lines before it was added; nothing after it was added."
        << 1;
    QTest::newRow("binary file")
        << QByteArray("\x7F"
                      "ELF\x02\x01\n\x00\x00\x00\n\x03\x00\x3E\x00\x01\x00\n",
                      18)
        << "Line 3 of \"download.txt\" cannot be added: it holds a zero byte, so the file is not plain text.\n\n"
           "Nothing was added."
        << 0;
    QTest::newRow("line longer than any download's")
        << downloadBytes({good, QString(70000, u'#')})
        << "Line 4 of \"download.txt\" cannot be added: it is longer than 65536 bytes.\n\n1 record from the lines "
           "before it was added; nothing after it was added."
        << 1;
}

void tst_importcore::lineStopsTheImport()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QFETCH(int, added);
    const outcome::Result<Ended> outcome = importBytes(bytes);
    QVERIFY2(outcome, qPrintable(problemText(outcome)));
    QCOMPARE(outcome->kind, Ended::Stopped);
    QCOMPARE(outcome->stop->message, message);
    QCOMPARE(outcome->stop->title, QStringLiteral("Import stopped"));
    QCOMPARE(outcome->added, added);
    QCOMPARE(outcome->total, added);
    QCOMPARE(cumobsRows(m_folder->path()).size(), added);
    if (added == 2)
        QVERIFY(cumobsRows(m_folder->path()).constLast().startsWith(QStringLiteral("V1 AND|")));
}

void tst_importcore::sameObservationsAddedOnlyOnce()
{
    // Recorded at the eyepiece, then downloaded in the AAVSO's letter case and
    // form; the download holds it twice, so one of the two is new.
    addRecorded(QStringLiteral("ss cyg"), QStringLiteral("2458124.3958"), QStringLiteral("11.2"));
    DownloadFields known;
    known.jd = QStringLiteral("2458124.39580");
    known.magnitude = QStringLiteral("11.20");
    DownloadFields other = known;
    other.magnitude = QStringLiteral("11.3");
    m_folder->write(QStringLiteral("download.txt"),
                    downloadBytes({downloadLine(known), downloadLine(other), downloadLine(known)}));
    const QString path = m_folder->file(QStringLiteral("download.txt"));

    Import first(path, m_folder->programFolder());
    while (first.phase() == Import::Phase::Checking)
        first.work(QDeadlineTimer(1000));
    QCOMPARE(first.phase(), Import::Phase::Asking);
    QCOMPARE(first.observations(), 3);
    QCOMPARE(first.duplicates(), 1);
    first.choose(Duplicates::OnlyNew);
    while (first.phase() != Import::Phase::Done)
        first.work(QDeadlineTimer(1000));
    QCOMPARE(first.outcome()->added, 2);

    outcome::Result<Ended> again = Import(path, m_folder->programFolder()).run(Duplicates::OnlyNew);
    QCOMPARE(again->kind, Ended::Completed);
    QCOMPARE(again->added, 0);
    QCOMPARE(again->total, 3);

    again = Import(path, m_folder->programFolder()).run(Duplicates::All);
    QCOMPARE(again->added, 3);
    QCOMPARE(again->total, 6);

    Import asked(path, m_folder->programFolder());
    while (asked.phase() != Import::Phase::Asking)
        asked.work(QDeadlineTimer(1000));
    asked.cancel();
    QCOMPARE(asked.outcome()->kind, Ended::Cancelled);
    QVERIFY(asked.outcome()->message.isEmpty());
    QCOMPARE(cumobsRows(m_folder->path()).size(), 6);
}

void tst_importcore::cancelKeepsAConsistentTable()
{
    const QString path = m_folder->file(QStringLiteral("download.txt"));
    QVERIFY(writeGeneratedFile(path, 20000));
    Import import(path, m_folder->programFolder());
    while (import.phase() == Import::Phase::Checking)
        import.work(QDeadlineTimer(0));
    QCOMPARE(import.phase(), Import::Phase::Adding);
    qint64 position = import.position();
    while (import.outcome()->added == 0) {
        import.work(QDeadlineTimer(30));
        QVERIFY(import.position() > position);
        position = import.position();
    }
    // The transaction stays open between pieces of work until another writer
    // of this thread is about to write: its rows are taken back, to be added
    // again after a pause.
    store::Database other(m_folder->programFolder());
    QCOMPARE(store::countObservations(other).valueOr(-1), 0);
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("took back its \\d+ rows from line 3 on")));
    const outcome::Done begun = other.begin(std::chrono::milliseconds(1));
    QVERIFY2(begun, qPrintable(problemText(begun)));
    QVERIFY(other.rollback());
    QCOMPARE(import.outcome()->added, 0);
    // Two rows at least, whatever the machine's speed, for the wording below.
    while (import.outcome()->added < 2)
        import.work(QDeadlineTimer(30));
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("download.txt: The import was cancelled")));
    import.cancel();
    const Ended &outcome = import.outcome().value();
    QCOMPARE(outcome.kind, Ended::Cancelled);
    QCOMPARE(outcome.title, QStringLiteral("Import cancelled"));
    QCOMPARE(outcome.message,
             QStringLiteral("The import was cancelled before line %1 of \"download.txt\". %2 records "
                            "from the lines before it were added; nothing after it was added.")
                 .arg(outcome.added + 3)
                 .arg(outcome.added));
    // Every row whole, and exactly the file's first lines.
    const QStringList rows = cumobsRows(m_folder->path());
    QVERIFY(outcome.added < 20000);
    QCOMPARE(rows.size(), outcome.added);
    QCOMPARE(outcome.total, outcome.added);
    QVERIFY(rows.constLast().startsWith(generatedLine(outcome.added - 1).section(QStringLiteral("##"), 1, 1)
                                        + QLatin1Char('|')));
    QVERIFY(rows.constLast().endsWith(QLatin1Char('|')
                                      + generatedLine(outcome.added - 1).section(QStringLiteral("##"), 14, 14)));
}

// Whether added to cumobs or there already, up to the line that stops the import.
void tst_importcore::ledgerKeepsWhatWasReadOnce()
{
    addRecorded(QStringLiteral("ss cyg"), QStringLiteral("2458124.3958"), QStringLiteral("11.2"));
    DownloadFields fainter;
    fainter.star = QStringLiteral("RR LYR");
    fainter.jd = QStringLiteral("2458125.50000");
    fainter.fainter = QStringLiteral("1");
    fainter.magnitude = QStringLiteral("13.0");
    const QByteArray bytes =
        downloadBytes({downloadLine({}), downloadLine(fainter), QStringLiteral("SS CYG##2458126.5##0")});
    QCOMPARE(importBytes(bytes)->kind, Ended::Stopped);
    const auto ledger = store::readLedger(m_folder->programFolder());
    QVERIFY2(ledger, qPrintable(problemText(ledger)));
    QVERIFY(ledger->begun);
    QCOMPARE(ledger->newest, 24581255000);
    QCOMPARE(ledger->stars, (QStringList{"SS CYG", "RR LYR"}));
    QCOMPARE(ledger->held.size(), 2);
    QVERIFY(!ledger->held[0].fainterThan && ledger->held[1].fainterThan);

    SqlFile db(m_folder->path());
    const auto everything = [&db] {
        return db.rows(QStringLiteral("SELECT * FROM ledger"))
            + db.rows(QStringLiteral("SELECT * FROM ledger_coverage"));
    };
    const QList<QVariantList> before = everything();
    QCOMPARE(importBytes(bytes, Duplicates::All)->added, 2);
    QCOMPARE(everything(), before);
}

void tst_importcore::earlierDatabaseGetsTheLedgerFirst_data()
{
    QTest::addColumn<QStringList>("ownObjects");
    QTest::newRow("as it left it") << QStringList();
    QTest::newRow("with an index of the observer's")
        << QStringList{"CREATE INDEX mine ON cumobs (star)", "DROP TABLE imports"};
}

// Never changed in its structure, a foreign database gets the observations alone, and the observer is told.
void tst_importcore::earlierDatabaseGetsTheLedgerFirst()
{
    QFETCH(QStringList, ownObjects);
    const QString file = m_folder->file(QStringLiteral("starcharts.mdb"));
    // As the version before the ledger left it.
    QVERIFY(runSql(file, QStringList{"DROP TABLE ledger", "DROP TABLE ledger_coverage"} + ownObjects));
    const auto layout = [this] {
        return SqlFile(m_folder->path()).rows(QStringLiteral("SELECT sql FROM sqlite_master"));
    };
    const QList<QVariantList> before = layout();
    const outcome::Result<Ended> outcome = importBytes(downloadBytes({downloadLine({})}));
    QVERIFY2(outcome && outcome->added == 1, qPrintable(problemText(outcome)));
    QCOMPARE(store::readLedger(m_folder->programFolder()).ok(), ownObjects.isEmpty());
    QCOMPARE(import::modImportscreen::pastImports(m_folder->programFolder()).ok(), ownObjects.isEmpty());
    QCOMPARE(outcome->message.startsWith(
                 QStringLiteral("Conversion Complete\n\nWhat the AAVSO holds was not noted in the ledger: the database "
                                "\"%1\" holds more")
                     .arg(file)),
             !ownObjects.isEmpty());
    QCOMPARE(layout() == before, !ownObjects.isEmpty());
}

void tst_importcore::fileOrDatabaseNotOpened()
{
    std::optional<outcome::Problem> failed = problemOf(
        Import(m_folder->file(QStringLiteral("missing.txt")), m_folder->programFolder()).run(Duplicates::All));
    QCOMPARE(failed->kind, outcome::Kind::Failed);
    QCOMPARE(failed->title, QStringLiteral("File not opened"));
    QVERIFY2(failed->message.startsWith(QStringLiteral("The file \"missing.txt\" cannot be opened: ")),
             qPrintable(failed->message));
    QVERIFY(failed->message.endsWith(QStringLiteral(". Nothing was added.")));
    // A pipe is never waited for.
    QCOMPARE(::mkfifo(QFile::encodeName(m_folder->file(QStringLiteral("pipe.txt"))).constData(), 0600), 0);
    failed =
        problemOf(Import(m_folder->file(QStringLiteral("pipe.txt")), m_folder->programFolder()).run(Duplicates::All));
    QCOMPARE(failed->message,
             QStringLiteral("The file \"pipe.txt\" cannot be opened: it is a named pipe, not a file. "
                            "Nothing was added."));

    m_folder->write(QStringLiteral("download.txt"), downloadBytes({downloadLine({})}));
    m_folder->write(QStringLiteral("starcharts.mdb"), "not a database");
    failed = problemOf(
        Import(m_folder->file(QStringLiteral("download.txt")), m_folder->programFolder()).run(Duplicates::All));
    QCOMPARE(failed->kind, outcome::Kind::Failed);
    QCOMPARE(failed->title, QStringLiteral("Database not opened"));
    QCOMPARE(m_folder->read(QStringLiteral("starcharts.mdb")), QByteArray("not a database"));
}

QTEST_APPLESS_MAIN(tst_importcore)

#include "tst_importcore.moc"
