// SPDX-License-Identifier: GPL-2.0-or-later
// The import of a download of 1,000,000 observations: our import against the
// sqlite3 tool's ".import" of the same rows into the same table with the same
// indexes, the count of what is there already, and the import's peak memory.
// Run with the release preset:
//   cmake --preset release && cmake --build --preset release --target bench_import
//   build/release/benchbin/bench_import [observations]
#include "appfiles/folder.h"
#include "import/downloadline.h"
#include "import/modimportscreen.h"
#include "store/creation.h"
#include "store/database.h"
#include "store/observations.h"
#include "store/schema.h"
#include "tests/import/downloadfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace
{
// A new database, with the program's lookup indexes on cumobs.
bool makeDatabase(const appfiles::Folder &folder)
{
    const outcome::Done created = store::createDefault(folder);
    if (!created)
        std::fprintf(stderr, "%s\n", qPrintable(created.problem().message));
    return bool(created);
}

QByteArray csvField(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace('"', "\"\"");
    return '"' + bytes + '"';
}

// The rows the import adds, in the table's column order, as CSV.
bool writeCsv(const QString &download, const QString &csv)
{
    QFile in(download);
    QFile out(csv);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return false;
    in.readLine();
    in.readLine();
    while (!in.atEnd()) {
        const QString line = QString::fromUtf8(in.readLine()).chopped(1);
        const auto parsed = import::download::parseLine(line);
        if (!parsed)
            return false;
        const import::download::Observation &o = *parsed;
        out.write(csvField(o.star) + ',' + csvField(o.magnitude) + ',' + csvField(o.estimate) + ','
                  + csvField(o.obsdate) + ',' + csvField(o.obscode) + ',' + csvField(o.notes) + ',' + csvField(o.chart)
                  + '\n');
    }
    return true;
}

struct ChildResult
{
    double ms = 0;
    double cpuMs = 0;
    long maxrssKb = 0;
    QString text;
};

double cpuMs(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// One measurement in a process of its own, so that its peak memory is its own.
ChildResult inChild(const QStringList &arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    const QStringList words = QString::fromUtf8(child.readAllStandardOutput()).trimmed().split(u' ');
    ChildResult result;
    if (words.size() >= 4) {
        result.ms = words[0].toDouble();
        result.cpuMs = words[1].toDouble();
        result.maxrssKb = words[2].toLong();
        result.text = words.mid(3).join(u' ');
    }
    return result;
}

long maxrssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// In the child: the import, or only the count of what is there already.
int child(const QString &what, const QString &file, const QString &folder)
{
    QElapsedTimer timer;
    timer.start();
    import::modImportscreen::Import import(file, appfiles::Folder(folder));
    QString text;
    if (what == QLatin1String("count")) {
        while (import.phase() == import::modImportscreen::Import::Phase::Checking)
            import.work(QDeadlineTimer(1000));
        text = QStringLiteral("%1 of %2 there already").arg(import.duplicates()).arg(import.observations());
    } else {
        const auto ended = import.run(import::modImportscreen::Duplicates::All);
        text = ended ? import::modImportscreen::resultText(ended->added, ended->total) : ended.problem().message;
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    std::printf("%.1f %.1f %ld %s\n", ms, cpuMs(RUSAGE_SELF), maxrssKb(), qPrintable(text));
    return 0;
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QLatin1String("--child"))
        return child(args[2], args[3], args[4]);

    const qint64 observations = args.size() > 1 ? args[1].toLongLong() : 1'000'000;
    QTemporaryDir dir;
    const QString ours = dir.filePath(QStringLiteral("ours"));
    const QString tool = dir.filePath(QStringLiteral("tool"));
    QDir().mkpath(ours);
    QDir().mkpath(tool);
    const QString download = dir.filePath(QStringLiteral("download.txt"));
    const QString csv = dir.filePath(QStringLiteral("rows.csv"));

    QElapsedTimer timer;
    timer.start();
    if (!writeGeneratedFile(download, observations) || !writeCsv(download, csv) || !makeDatabase(appfiles::Folder(ours))
        || !makeDatabase(appfiles::Folder(tool))) {
        std::fprintf(stderr, "could not prepare the files\n");
        return 1;
    }
    std::printf("download of %lld observations, %.1f MB, prepared in %.1f s\n", observations,
                QFileInfo(download).size() / 1e6, timer.nsecsElapsed() / 1e9);

    const ChildResult imported = inChild({QStringLiteral("--child"), QStringLiteral("import"), download, ours});
    std::printf("%-44s %7.0f ms, CPU %7.0f ms  (peak memory %.1f MB)\n", "our import", imported.ms, imported.cpuMs,
                imported.maxrssKb / 1024.0);
    std::printf("  %s\n", qPrintable(imported.text));

    const double childrenBefore = cpuMs(RUSAGE_CHILDREN);
    timer.restart();
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"),
                 {store::Database(appfiles::Folder(tool)).path(), QStringLiteral(".mode csv"),
                  QStringLiteral(".import %1 cumobs").arg(csv)});
    sqlite.waitForFinished(-1);
    const double toolMs = timer.nsecsElapsed() / 1e6;
    const double toolCpuMs = cpuMs(RUSAGE_CHILDREN) - childrenBefore;
    if (sqlite.exitCode() != 0) {
        std::fprintf(stderr, "sqlite3: %s\n", sqlite.readAllStandardError().constData());
        return 1;
    }
    store::Database check{appfiles::Folder(tool)};
    std::printf("%-44s %7.0f ms, CPU %7.0f ms  (%lld rows)\n", "sqlite3 .import of the same rows as CSV", toolMs,
                toolCpuMs, store::countObservations(check).valueOr(-1));
    std::printf("%-44s %7.2f,    CPU %7.2f     (goal: within 2.5)\n", "ratio", imported.ms / toolMs,
                imported.cpuMs / toolCpuMs);

    const ChildResult counted = inChild({QStringLiteral("--child"), QStringLiteral("count"), download, ours});
    std::printf("%-44s %7.0f ms, CPU %7.0f ms  (peak memory %.1f MB; goal: under half the import)\n",
                "count of what is there already", counted.ms, counted.cpuMs, counted.maxrssKb / 1024.0);
    std::printf("  %s\n", qPrintable(counted.text));
    return 0;
}
