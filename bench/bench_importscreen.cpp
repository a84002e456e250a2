// SPDX-License-Identifier: GPL-2.0-or-later
// A download of 500,000 observations imported through the real screen, with
// no display, into a database with the indexes on cumobs: the two clicks on
// the file list, the time to "Conversion Complete", the label's text and how
// long the window went without handling its events. Then the same import into
// a new database while this program records three observations and another
// program (this benchmark started again) five, each recording timed; then the
// same file again, answered "only the new ones". It clicks with Qt Test:
//   cmake --build --preset release --target bench_importscreen
//   QT_QPA_PLATFORM=offscreen build/release/benchbin/bench_importscreen [observations]
#include "app/screenregistry.h"
#include "appfiles/folder.h"
#include "appfiles/headerfile.h"
#include "hostkit/messageseam.h"
#include "observe/modentryscreen.h"
#include "observe/reportfile.h"
#include "screenkit/navigation.h"
#include "store/creation.h"
#include "store/database.h"
#include "store/observations.h"
#include "tests/import/downloadfile.h"
#include "tests/support/exampleobservation.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QProcess>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace
{
observe::modEntryscreen::ObservationTexts observation(int n)
{
    observe::modEntryscreen::ObservationTexts texts = exampleObservation();
    texts.minute = QString::number(n);
    return texts;
}

// The recording's milliseconds, or -1 when it failed (with the reason on standard error).
qint64 timedRecording(const appfiles::Folder &folder, const QString &report, int n)
{
    QElapsedTimer clock;
    clock.start();
    const outcome::Done recorded = observe::modEntryscreen::recordobs(folder, report, observation(n));
    const qint64 ms = clock.elapsed();
    if (recorded)
        return ms;
    std::fprintf(stderr, "recording %d failed after %lld ms: %s\n", n, ms, qPrintable(recorded.problem().message));
    return -1;
}

QString spread(QList<qint64> times)
{
    std::sort(times.begin(), times.end());
    QStringList texts;
    for (const qint64 ms : std::as_const(times))
        texts.append(ms < 0 ? QStringLiteral("failed") : QStringLiteral("%1 ms").arg(ms));
    return texts.join(QStringLiteral(", "));
}
}

int main(int argc, char *argv[])
{
    // The other program: one recording, its time on standard output.
    if (argc == 5 && qstrcmp(argv[1], "record") == 0) {
        QCoreApplication other(argc, argv);
        const qint64 ms = timedRecording(appfiles::Folder(QString::fromLocal8Bit(argv[2])),
                                         QString::fromLocal8Bit(argv[3]), atoi(argv[4]));
        std::printf("%lld\n", ms);
        return ms < 0 ? 1 : 0;
    }

    QApplication app(argc, argv);
    const qint64 observations = argc > 1 ? QByteArray(argv[1]).toLongLong() : 500'000;

    QTemporaryDir home;
    QTemporaryDir dir;
    const appfiles::Folder folder(dir.path());
    qputenv("HOME", QFile::encodeName(home.path()));
    QDir(home.path()).mkdir(QStringLiteral("Downloads"));
    const QString download = QDir(home.path()).filePath(QStringLiteral("Downloads/observations.txt"));
    if (!writeGeneratedFile(download, observations) || !store::createDefault(folder)) {
        std::fprintf(stderr, "could not prepare the files\n");
        return 1;
    }

    QElapsedTimer clock;
    qint64 done = -1;
    bool ended = false;
    QStringList messages;
    hostkit::setMessageHandler([&](const hostkit::Message &message) {
        messages.append(message.title + QStringLiteral(": ") + message.text.section(u'\n', 0, 0));
        if (message.text == QLatin1String("Conversion Complete"))
            done = clock.elapsed();
        // The question about observations there already is answered "only the new ones".
        if (message.buttons.testFlag(QMessageBox::Yes))
            return QMessageBox::Yes;
        ended = true;
        return QMessageBox::Ok;
    });

    app::ScreenRegistry screens(folder);
    QWidget *screen = screenkit::show(screenkit::Screen::Import);
    if (!QTest::qWaitForWindowExposed(screen))
        return 1;
    auto *list = screen->findChild<QListView *>(QStringLiteral("File1"));
    const auto *model = static_cast<const QFileSystemModel *>(list->model());
    const QModelIndex file = model->index(download);
    QElapsedTimer listing;
    listing.start();
    while (!list->visualRect(file).isValid() && listing.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const auto click = [&] {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(file).center());
    };

    // The longest stretch the window's events waited.
    qint64 longestWait = 0;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] { longestWait = qMax(longestWait, sinceTick.restart()); });

    QLabel *label2 = screen->findChild<QLabel *>(QStringLiteral("Label2"));
    // Called while the import runs, with its progress in thousandths.
    std::function<void(int)> during;
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (during)
            during(screen->findChild<QProgressBar *>(QStringLiteral("prgImport"))->value());
    });
    const auto run = [&](const char *what) {
        done = -1;
        ended = false;
        messages.clear();
        longestWait = 0;
        clock.start();
        sinceTick.start();
        tick.start();
        watch.start();
        click();
        while (!ended)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        tick.stop();
        watch.stop();
        store::Database db(folder);
        std::printf("%s: %.1f s to \"Conversion Complete\"\n", what, done / 1e3);
        std::printf("  messages: %s\n", qPrintable(messages.join(QStringLiteral(" / "))));
        std::printf("  Label2: %s\n", qPrintable(label2->text()));
        std::printf("  rows in cumobs: %lld\n", store::countObservations(db).valueOr(-1));
        std::printf("  longest wait of the window's events: %lld ms\n", longestWait);
    };

    click();
    std::printf("%lld observations through the screen\n", observations);
    run("import");
    const qint64 alone = done;

    // Anew, recording meanwhile, here at 20, 40 and 60 % of the file and in
    // another program from 30 % on.
    const QString database = folder.database();
    if (!QFile::remove(database) || !store::createDefault(folder)
        || !appfiles::writeHeader(folder, QStringLiteral("#OBSCODE=XYZ"))) {
        std::fprintf(stderr, "could not prepare the second import\n");
        return 1;
    }
    const QString report = folder.report(QDate(2018, 1, 5));
    static_cast<void>(observe::modEntryscreen::beginReport(folder, report));
    QList<qint64> here;
    QList<qint64> there;
    std::vector<std::unique_ptr<QProcess>> others;
    during = [&](int progress) {
        if (here.size() < 3 && progress >= 200 * (here.size() + 1))
            here.append(timedRecording(folder, report, int(here.size())));
        if (others.size() < 5 && progress >= 300 + 120 * int(others.size())) {
            others.push_back(std::make_unique<QProcess>());
            others.back()->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            others.back()->start(
                QCoreApplication::applicationFilePath(),
                {QStringLiteral("record"), folder.path(), report, QString::number(10 + others.size())});
        }
    };
    run("import while recording");
    during = {};
    for (const auto &other : others) {
        other->waitForFinished();
        const QByteArray printed = other->readAllStandardOutput().trimmed();
        there.append(other->exitCode() == 0 && !printed.isEmpty() ? printed.toLongLong() : -1);
    }
    std::printf("  recordings in this program during the import: %s\n", qPrintable(spread(here)));
    std::printf("  recordings in another program during the import: %s\n", qPrintable(spread(there)));
    std::printf("  the import against the import alone: %.2f times\n", double(done) / double(alone));

    run("the same file again, only the new ones");

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory of the process: %.1f MB\n", usage.ru_maxrss / 1024.0);
    return done >= 0 ? 0 : 1;
}
