// SPDX-License-Identifier: GPL-2.0-or-later
// A download of 500,000 observations imported through the real screen, with
// no display, into a database with the indexes on cumobs: the two clicks on
// the file list, the time to "Conversion Complete", the label's text and how
// long the window went without handling its events; then the same file again,
// answered "only the new ones". It clicks with Qt Test:
//   cmake --build --preset release --target bench_importscreen
//   QT_QPA_PLATFORM=offscreen build/release/benchbin/bench_importscreen [observations]
#include "creation.h"
#include "database.h"
#include "downloadfile.h"
#include "messageseam.h"
#include "navigation.h"
#include "screenregistry.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const qint64 observations = argc > 1 ? QByteArray(argv[1]).toLongLong() : 500'000;

    QTemporaryDir home;
    QTemporaryDir folder;
    qputenv("HOME", QFile::encodeName(home.path()));
    QDir(home.path()).mkdir(QStringLiteral("Downloads"));
    const QString download = QDir(home.path()).filePath(QStringLiteral("Downloads/observations.txt"));
    QString error;
    if (!writeGeneratedFile(download, observations) || !store::createDefault(folder.path(), &error)) {
        std::fprintf(stderr, "could not prepare the files %s\n", qPrintable(error));
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

    ScreenRegistry screens(folder.path());
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
    const auto run = [&](const char *what) {
        done = -1;
        ended = false;
        messages.clear();
        longestWait = 0;
        clock.start();
        sinceTick.start();
        tick.start();
        click();
        while (!ended)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        tick.stop();
        store::Database db(folder.path());
        std::printf("%s: %.1f s to \"Conversion Complete\"\n", what, done / 1e3);
        std::printf("  messages: %s\n", qPrintable(messages.join(QStringLiteral(" / "))));
        std::printf("  Label2: %s\n", qPrintable(label2->text()));
        std::printf("  rows in cumobs: %lld\n", db.count(QStringLiteral("cumobs")));
        std::printf("  longest wait of the window's events: %lld ms\n", longestWait);
    };

    click();
    std::printf("%lld observations through the screen\n", observations);
    run("import");
    run("the same file again, only the new ones");

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory of the process: %.1f MB\n", usage.ru_maxrss / 1024.0);
    return done >= 0 ? 0 : 1;
}
