// SPDX-License-Identifier: GPL-2.0-or-later
// How long the observer waits, with a catalogue of 500 stars and a heavy
// observer's 1,000,000 observations in cumobs.
#include "creation.h"
#include "database.h"
#include "folder.h"
#include "modentryscreen.h"
#include "schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace
{
constexpr int observations = 1'000'000;
constexpr int stars = 500;

void fill(const QString &folder)
{
    QString error;
    store::createDefault(folder, &error);
    store::Database db(folder);
    db.open();
    QSqlDatabase handle = db.handle();
    handle.transaction();
    QSqlQuery chart(handle);
    chart.prepare(QStringLiteral("INSERT INTO Charts (starname, nightly, constell) VALUES (?, 'no', ?)"));
    for (int i = 0; i < stars; ++i) {
        chart.addBindValue(QStringLiteral("star %1").arg(i));
        chart.addBindValue(i % 2 ? QStringLiteral("cyg") : QStringLiteral("lyr"));
        chart.exec();
    }
    QSqlQuery obs(handle);
    obs.prepare(QStringLiteral("INSERT INTO cumobs VALUES (?, '11.2', '110(1)115', ?, 'na', 'na', '1896')"));
    for (int i = 0; i < observations; ++i) {
        obs.addBindValue(QStringLiteral("star %1").arg(i % stars));
        obs.addBindValue(QString::number(2450000.0 + i * 0.01, 'f', 4));
        obs.exec();
    }
    handle.commit();
}

void measure(const char *what, int runs, const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < runs; ++i)
        work();
    std::printf("%-58s %9.2f ms\n", what, timer.nsecsElapsed() / 1e6 / runs);
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.path();
    QElapsedTimer timer;
    timer.start();
    fill(folder);
    QDir(folder).mkdir(QStringLiteral("obs"));
    QFile header(folder + QStringLiteral("/header.txt"));
    header.open(QIODevice::WriteOnly);
    header.write("#TYPE=Visual\r\n#OBSCODE=XYZ\r\n#DELIM=|\r\n#DATE=JD\r\n#OBSTYPE=Visual\r\n");
    header.close();
    std::printf("%d observations, %d stars filled in %.1f s\n\n", observations, stars, timer.elapsed() / 1000.0);

    measure("open afresh and check the file's tables", 200, [&] {
        store::Database db(folder);
        db.open();
    });
    measure("COUNT(*) of cumobs", 20, [&] { store::Database(folder).count(QStringLiteral("cumobs")); });
    measure("liststars of a constellation with 250 stars", 100, [&] {
        QString error;
        modEntryscreen::liststars(folder, QStringLiteral("cyg"), &error);
    });
    measure("one star's observations, newest first", 10, [&] {
        store::Database db(folder);
        QSqlQuery q =
            db.select(QStringLiteral("cumobs"), store::Where{QStringLiteral("star"), QStringLiteral("star 7")},
                      {{QStringLiteral("obsdate"), true}});
        q.next();
    });

    const QString reportFile = appfiles::Folder(folder).report(QDate(2018, 1, 5));
    modEntryscreen::ObservationTexts texts;
    texts.star = QStringLiteral("star 7");
    texts.year = QStringLiteral("2018");
    texts.month = QStringLiteral("1");
    texts.day = QStringLiteral("5");
    texts.hour = QStringLiteral("21");
    texts.estimate = QStringLiteral("110(1)115");
    texts.magnitude = QStringLiteral("11.2");
    int minute = 0;
    int recorded = 0;
    measure("recordobs: checks, lookup, report line, cumobs row", 200, [&] {
        texts.minute = QString::number(minute++ % 60);
        if (modEntryscreen::recordobs(folder, reportFile, texts).kind == modEntryscreen::RecordOutcome::Recorded)
            ++recorded;
    });
    std::printf("\nrecorded %d observations this run\n", recorded);
    return 0;
}
