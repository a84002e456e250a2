// SPDX-License-Identifier: GPL-2.0-or-later
// A second and third program on one application folder, for the tests of
// recordings from several programs at once:
//   recordhelper start <folder>                          a first start
//   recordhelper record <folder> <report> <tag>          records until its
//                                                        standard input closes
//   recordhelper recordeach <folder> <report> <tag>      records once for
//                                                        each line of it
//   recordhelper lock <folder>                           holds the database as
//       told on standard input: "shared", "exclusive", "release"
//   recordhelper import <folder> <download> <commits>    imports the download
//       as the import screen does, adding only what cumobs lacks, a line a
//       piece of work and a millisecond at most; after that many
//       transactions it adds a line more, says "A <added>" and waits, its
//       transaction open, to be killed; "D <added>" when it was done before
//   recordhelper undo <folder> <steps>                   undoes the newest
//       import; after that many steps it says "W" and waits to be killed,
//       "D" when it was done before, "F <why>" failed
//   recordhelper change <folder> <report> correct|withdraw <line> <steps>
//       corrects the line to magnitude 11.9, or withdraws it, as the
//       observation screen does; after that many steps it says "W" and
//       waits to be killed; "D" when it was done before, "F <why>" failed;
//       "undo" in place of correct|withdraw takes back the last change
// Each recording prints one line: "R <n>" recorded, "F <n> <why>" failed,
// "X <n> <why>" refused; its notes are "<tag>-<n>".
#include "app/startup.h"
#include "import/modimportscreen.h"
#include "observe/modentryscreen.h"
#include "reports/reportchange.h"
#include "store/imports.h"
#include "store/importundo.h"
#include "tests/support/exampleobservation.h"
#include "tests/support/sqlfile.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <cstdio>

#include <poll.h>

namespace
{
void say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

int start(const QString &folder)
{
    const app::startup::Prepared prepared =
        app::startup::prepare(appfiles::Folder(folder), {[] {}, [](int, const QString &) {}});
    const QString failures = prepared.stopped + prepared.failures;
    if (!failures.isEmpty())
        say(failures);
    return failures.isEmpty() ? 0 : 1;
}

// Closed by the test to end the recordings between two of them; a count
// given in advance could run out before the test has the database held.
bool inputClosed()
{
    pollfd input{0, POLLIN, 0};
    return ::poll(&input, 1, 0) > 0 && (input.revents & (POLLIN | POLLHUP)) != 0;
}

int record(const QString &folder, const QString &report, const QString &tag, bool eachLine)
{
    // Without comparison stars and chart: the suite matches each line with "na" there.
    observe::modEntryscreen::ObservationTexts texts = exampleObservation();
    texts.comp1.clear();
    texts.comp2.clear();
    texts.chart.clear();
    QTextStream input(stdin);
    QString request;
    for (int n = 0; eachLine ? input.readLineInto(&request) : !inputClosed(); ++n) {
        texts.minute = QString::number(n % 60);
        texts.magnitude = QStringLiteral("11.%1").arg(n % 10);
        texts.notes = QStringLiteral("%1-%2").arg(tag).arg(n);
        const outcome::Done recorded = observe::modEntryscreen::recordobs(appfiles::Folder(folder), report, texts);
        const char *kind = recorded ? "R" : recorded.problem().kind == outcome::Kind::Refused ? "X" : "F";
        say(QStringLiteral("%1 %2 %3")
                .arg(QLatin1String(kind))
                .arg(n)
                .arg(recorded ? QString() : recorded.problem().message)
                .trimmed());
    }
    return 0;
}

int lock(const QString &folder)
{
    SqlFile db(folder);
    if (!db.exec(QStringLiteral("PRAGMA busy_timeout = 20000"))) {
        say(QStringLiteral("The database cannot be opened."));
        return 1;
    }
    QTextStream input(stdin);
    QString command;
    bool held = false;
    while (input.readLineInto(&command) && command != QLatin1String("release")) {
        if (held)
            db.exec(QStringLiteral("ROLLBACK"));
        // A reader keeps others from committing until its transaction ends;
        // an exclusive holder keeps them from reading too.
        held = command == QLatin1String("shared")
            ? db.exec(QStringLiteral("BEGIN")) && db.value(QStringLiteral("SELECT count(*) FROM cumobs")).isValid()
            : db.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        // The engine's reason is on standard error.
        say(held ? command : QStringLiteral("not held"));
    }
    if (held)
        db.exec(QStringLiteral("ROLLBACK"));
    return 0;
}

int importUntil(const QString &folder, const QString &download, int commits)
{
    using import::modImportscreen::Import;
    Import import(download, appfiles::Folder(folder));
    while (import.phase() != Import::Phase::Done) {
        if (import.phase() == Import::Phase::Asking)
            import.choose(import::modImportscreen::Duplicates::OnlyNew);
        import.work(QDeadlineTimer(0));
        if (import.phase() == Import::Phase::Adding && commits == 0) {
            say(QStringLiteral("A %1").arg(import.outcome()->added));
            QTextStream(stdin).readLine();
            return 3;
        }
        // A pause follows each transaction committed. A line a millisecond at
        // most, however quick the machine: a transaction of 0.7 s holds 700
        // lines at most, and the test's download is several.
        if (import.pause().count() > 0)
            --commits;
        QThread::msleep(static_cast<unsigned long>(std::max<qint64>(1, import.pause().count())));
    }
    say(QStringLiteral("D %1").arg(import.outcome() ? import.outcome()->added : -1));
    return 0;
}

int undoImport(const QString &folder, int steps)
{
    store::Database db{appfiles::Folder(folder)};
    const auto past = store::pastImports(db);
    if (!past || past->isEmpty()) {
        say(QStringLiteral("F no import"));
        return 1;
    }
    store::ImportUndo undo(db, past->constFirst().id);
    for (int step = 0; undo.step() != store::ImportUndo::Step::Done; ++step) {
        if (step == steps) {
            say(QStringLiteral("W"));
            QTextStream(stdin).readLine();
            return 3;
        }
        if (const outcome::Done done = undo.next(); !done) {
            say(QStringLiteral("F ") + done.problem().message);
            return 1;
        }
    }
    say(QStringLiteral("D"));
    return 0;
}

int change(const QString &folder, const QString &report, const QString &kind, const QString &line, int steps)
{
    using namespace observe::modEntryscreen;
    reports::ChangeRequest request{store::Change::Kind::Withdrawal, line, std::nullopt, std::nullopt};
    if (kind == QLatin1String("undo")) {
        const outcome::Result<reports::Undo> undo = reports::undoOf(appfiles::Folder(folder));
        if (!undo || !undo->report) {
            say(QStringLiteral("F no undo of a report's line"));
            return 1;
        }
        request = undo->request;
    } else if (kind == QLatin1String("correct")) {
        std::optional<LineTexts> texts = textsOfLine(line, QStringLiteral("110(1)115"));
        texts->texts.magnitude = QStringLiteral("11.9");
        request = {store::Change::Kind::Correction, line,
                   withDateText(makeRecording(texts->texts, true), texts->dateText), std::nullopt};
    }
    reports::ReportChange changing(appfiles::Folder(folder), report, request);
    for (int step = 0; changing.step() != reports::ReportChange::Step::Done; ++step) {
        if (step == steps) {
            say(QStringLiteral("W"));
            QTextStream(stdin).readLine();
            return 3;
        }
        if (const outcome::Done done = changing.next(); !done) {
            say(QStringLiteral("F ") + done.problem().message);
            return 1;
        }
    }
    say(QStringLiteral("D"));
    return 0;
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (mode == QLatin1String("start") && args.size() == 3)
        return start(args.at(2));
    if ((mode == QLatin1String("record") || mode == QLatin1String("recordeach")) && args.size() == 5)
        return record(args.at(2), args.at(3), args.at(4), mode == QLatin1String("recordeach"));
    if (mode == QLatin1String("lock") && args.size() == 3)
        return lock(args.at(2));
    if (mode == QLatin1String("import") && args.size() == 5)
        return importUntil(args.at(2), args.at(3), args.at(4).toInt());
    if (mode == QLatin1String("undo") && args.size() == 4)
        return undoImport(args.at(2), args.at(3).toInt());
    if (mode == QLatin1String("change") && args.size() == 7)
        return change(args.at(2), args.at(3), args.at(4), args.at(5), args.at(6).toInt());
    say(QStringLiteral("usage: recordhelper start|record|recordeach|lock|import|undo|change <folder> ..."));
    return 2;
}
