// SPDX-License-Identifier: GPL-2.0-or-later
// Recordings while an import is adding rows, from this program and from
// another: each gets in within its own wait, and nothing of either is lost.
#include "appfiles/folder.h"
#include "import/modimportscreen.h"
#include "observe/modentryscreen.h"
#include "observe/reportfile.h"
#include "store/database.h"
#include "store/observations.h"
#include "tests/import/downloadfile.h"
#include "tests/support/appfolder.h"
#include "tests/support/exampleobservation.h"
#include "tests/support/problemtext.h"
#include "tests/support/recorderprocess.h"

#include <QTest>

using import::modImportscreen::Import;

namespace
{
// Works on the import as its screen does, pauses included, until the
// condition holds or the import is done; a line at a time, so that the
// condition sees each.
void workUntil(Import &import, const std::function<bool()> &condition)
{
    while (!condition() && import.phase() != Import::Phase::Done) {
        import.work(QDeadlineTimer(0));
        QTest::qWait(static_cast<int>(import.pause().count()));
    }
}
}

class tst_importandrecording final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void recordingOfThisProgramGoesFirst();
    void recordingOfAnotherProgramGetsIn();

private:
    qint64 rows() const
    {
        store::Database db(m_folder->programFolder());
        return store::countObservations(db).valueOr(-1);
    }

    std::unique_ptr<AppFolder> m_folder;
    QString m_report;
};

void tst_importandrecording::init()
{
    m_folder = std::make_unique<AppFolder>();
    m_folder->prepare();
    m_report = appfiles::Folder(m_folder->path()).report(QDate(2018, 1, 5));
    QCOMPARE(problemText(observe::modEntryscreen::beginReport(m_folder->programFolder(), m_report)), QString());
}

void tst_importandrecording::recordingOfThisProgramGoesFirst()
{
    QVERIFY(writeGeneratedFile(m_folder->file(QStringLiteral("download.txt")), 20000));
    Import import(m_folder->file(QStringLiteral("download.txt")), m_folder->programFolder());
    workUntil(import, [&] { return import.outcome()->added > 0; });
    QVERIFY2(rows() < import.outcome()->added, "the import's transaction is not open");

    observe::modEntryscreen::ObservationTexts texts = exampleObservation();
    texts.minute = QStringLiteral("10");
    QCOMPARE(problemText(observe::modEntryscreen::recordobs(m_folder->programFolder(), m_report, texts)), QString());

    workUntil(import, [] { return false; });
    QCOMPARE(import.outcome()->message, QStringLiteral("Conversion Complete"));
    QCOMPARE(rows(), 20001);
}

void tst_importandrecording::recordingOfAnotherProgramGetsIn()
{
    QVERIFY(writeGeneratedFile(m_folder->file(QStringLiteral("download.txt")), 200000));
    RecorderProcess recorder({QStringLiteral("recordeach"), m_folder->path(), m_report, QStringLiteral("P")});
    Import import(m_folder->file(QStringLiteral("download.txt")), m_folder->programFolder());
    // A line a millisecond at most, however quick the machine: the import
    // lasts 200 s at least, and each recording is done within a second or
    // two, for another program waits a second for the database at most.
    const auto paced = [](bool condition) {
        QTest::qWait(1);
        return condition;
    };
    for (int asked = 1; asked <= 3; ++asked) {
        // Asked while the import holds its transaction open.
        workUntil(import, [&] { return paced(rows() < import.outcome()->added); });
        recorder.process().write("\n");
        workUntil(import, [&] { return paced(recorder.results() == asked); });
    }
    import.cancel();
    QCOMPARE(recorder.tags("R", "P"), (QStringList{"P-0", "P-1", "P-2"}));
    QCOMPARE(rows(), import.outcome()->added + 3);
}

QTEST_GUILESS_MAIN(tst_importandrecording)

#include "tst_importandrecording.moc"
