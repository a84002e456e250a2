// SPDX-License-Identifier: GPL-2.0-or-later
// libFuzzer target: the whole import of a download file into a temporary
// database that holds a few observations already, answered "only the new
// ones" or "all", run to its end or cancelled part-way, with or without
// another writer in between. Whatever the file, the table must hold exactly
// the rows the outcome counts, each of them whole and usable. Built and run
// by fuzz.sh.
#include "import/modimportscreen.h"
#include "store/creation.h"
#include "store/database.h"
#include "store/observationkey.h"
#include "store/observations.h"
#include "store/schema.h"
#include "tests/support/sqlfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace
{
QTemporaryDir *folder = nullptr;
QByteArray emptyDatabase;
qint64 seeded = 0;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

QString path(const QString &name)
{
    return folder->filePath(name);
}
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    new QCoreApplication(*argc, *argv);
    // In memory where there is a tmpfs: the engine's flushes cost nothing there.
    folder = new QTemporaryDir(QDir(QStringLiteral("/dev/shm")).exists()
                                   ? QStringLiteral("/dev/shm/varlume-fuzz-XXXXXX")
                                   : QDir::temp().filePath(QStringLiteral("varlume-fuzz-XXXXXX")));
    // Removed when the fuzzer ends, crashes aside.
    std::atexit([] { delete folder; });
    check(bool(store::createDefault(folder->path())));
    {
        store::Database db(folder->path());
        for (const char *star : {"ss cyg", "SS CYG", "r cas"}) {
            check(bool(store::addObservation(db,
                                             {QString::fromLatin1(star), QStringLiteral("11.2"),
                                              QStringLiteral("110 115"), QStringLiteral("2458124.3958"),
                                              QStringLiteral("na"), QStringLiteral("na"), QStringLiteral("1896")})));
            ++seeded;
        }
    }
    QFile file(path(QStringLiteral("starcharts.mdb")));
    check(file.open(QIODevice::ReadOnly));
    emptyDatabase = file.readAll();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    {
        QFile database(path(QStringLiteral("starcharts.mdb")));
        check(database.open(QIODevice::WriteOnly | QIODevice::Truncate));
        check(database.write(emptyDatabase) == emptyDatabase.size());
        QFile download(path(QStringLiteral("download.txt")));
        check(download.open(QIODevice::WriteOnly | QIODevice::Truncate));
        check(download.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size))
              == static_cast<qint64>(size));
    }
    // The input's last byte picks the answer, where to cancel, if at all, and
    // whether another writer comes between pieces of work.
    const unsigned choice = size > 0 ? data[size - 1] : 0;
    const auto duplicates =
        choice & 1 ? import::modImportscreen::Duplicates::All : import::modImportscreen::Duplicates::OnlyNew;
    const int cancelAfter = choice & 2 ? static_cast<int>(choice >> 3) : -1;

    import::modImportscreen::Import import(path(QStringLiteral("download.txt")), folder->path());
    for (int steps = 0; import.phase() != import::modImportscreen::Import::Phase::Done; ++steps) {
        if (steps == cancelAfter) {
            import.cancel();
            break;
        }
        if (import.phase() == import::modImportscreen::Import::Phase::Asking) {
            check(import.duplicates() > 0 && import.duplicates() <= import.observations());
            import.choose(duplicates);
        }
        import.work(QDeadlineTimer(cancelAfter < 0 ? 1000 : 0));
        // Another writer of the program takes the import's open transaction back.
        if ((choice & 4) && import.pause().count() == 0) {
            store::Database other(folder->path());
            check(bool(other.begin(std::chrono::milliseconds(1000))));
            check(bool(other.rollback()));
        }
    }
    check(import.outcome().ok());
    const import::modImportscreen::Ended &outcome = *import.outcome();
    check(outcome.kind != import::modImportscreen::Ended::Stopped
          || (outcome.stop && !outcome.stop->message.isEmpty()));

    store::Database db(folder->path());
    check(store::countObservations(db).valueOr(-1) == seeded + outcome.added);
    check(outcome.total < 0 || outcome.total == seeded + outcome.added);
    const QList<QVariantList> rows = SqlFile(folder->path()).rows(QStringLiteral("SELECT * FROM cumobs"));
    check(rows.size() == seeded + outcome.added);
    for (const QVariantList &row : rows) {
        for (int column = 0; column < 7; ++column) {
            const QString value = row.value(column).toString();
            check(!value.isEmpty() && value.toUcs4().size() <= store::cumobs().columns[column].length);
        }
        check(store::observationKey(row.value(0).toString(), row.value(3).toString(), row.value(1).toString())
                  .has_value());
    }
    return 0;
}
