// SPDX-License-Identifier: GPL-2.0-or-later
// The undo of an import of 100,000 observations among 1,000,000: the
// observer's history came in by an import of 900,000 from another download
// first, whose ledger's keys the undo reads too. Then the undo taken back
// through the record of changes. Run with the release preset:
//   cmake --preset release && cmake --build --preset release --target bench_importundo
//   build/release/benchbin/bench_importundo
#include "appfiles/folder.h"
#include "import/modimportscreen.h"
#include "store/creation.h"
#include "store/database.h"
#include "store/imports.h"
#include "store/importundo.h"
#include "store/observations.h"
#include "tests/import/downloadfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cstdio>

namespace
{
constexpr qint64 history = 900'000;
constexpr qint64 imported = 100'000;

// A download of the generated observations from first on.
bool writeDownload(const QString &path, qint64 first, qint64 count)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray bytes = downloadBytes({});
    for (qint64 n = first; n < first + count; ++n)
        bytes += generatedLine(n).toUtf8() + '\n';
    return file.write(bytes) == bytes.size();
}

bool importFile(const QString &path, const appfiles::Folder &folder)
{
    using namespace import::modImportscreen;
    const auto ended = Import(path, folder).run(Duplicates::All);
    return ended && ended->kind == Ended::Completed;
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("varlume.*.info=false"));
    QTemporaryDir dir;
    const appfiles::Folder folder(dir.path());
    const QString first = dir.filePath(QStringLiteral("history.txt"));
    const QString second = dir.filePath(QStringLiteral("download.txt"));
    QElapsedTimer timer;
    timer.start();
    if (!store::createDefault(folder) || !writeDownload(first, 0, history) || !writeDownload(second, history, imported)
        || !importFile(first, folder) || !importFile(second, folder)) {
        std::fprintf(stderr, "could not prepare the database\n");
        return 1;
    }
    store::Database db(folder);
    std::printf("%lld observations imported by two imports in %.1f s\n\n", store::countObservations(db).valueOr(-1),
                timer.elapsed() / 1000.0);

    const qint64 newest = store::pastImports(db).value().constFirst().id;
    timer.restart();
    const auto undone = store::ImportUndo(db, newest).run();
    const double undoMs = timer.nsecsElapsed() / 1e6;
    if (!undone) {
        std::fprintf(stderr, "%s\n", qPrintable(undone.problem().message));
        return 1;
    }
    std::printf("%-52s %7.0f ms  (goal: under 3000)\n", "undo of the newest import", undoMs);
    std::printf("  %lld rows removed, %lld observations taken out of the ledger; %lld rows left\n", undone->removed,
                undone->unnoted, store::countObservations(db).valueOr(-1));

    timer.restart();
    const bool restored = store::takeBackImportUndo(db, *undone->change).ok();
    std::printf("%-52s %7.0f ms  (%s; %lld rows)\n", "the undo taken back", timer.nsecsElapsed() / 1e6,
                restored ? "done" : "failed", store::countObservations(db).valueOr(-1));
    return restored ? 0 : 1;
}
