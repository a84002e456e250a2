// SPDX-License-Identifier: GPL-2.0-or-later
#include "backup/backups.h"

#include "appfiles/boundedread.h"
#include "appfiles/filesystem.h"
#include "backup/logging.h"
#include "store/copies.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QThreadPool>
#include <QWaitCondition>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace backup
{
namespace
{
// "header.txt" and "site.ini" are a few lines; anything larger is no copy of theirs.
constexpr qint64 largestSideFile = 1024 * 1024;
const QLatin1String partialPrefix(".partial-");
const QLatin1String stampFormat("yyyy-MM-dd-HHmmss");

struct Kind
{
    Reason reason;
    QLatin1String word;
};
const std::array<Kind, 5> kinds = {{
    {Reason::FirstChangeOfDay, QLatin1String("daily")},
    {Reason::Asked, QLatin1String("asked")},
    {Reason::Import, QLatin1String("import")},
    {Reason::Undo, QLatin1String("undo")},
    {Reason::Restore, QLatin1String("restore")},
}};

QLatin1String wordOf(Reason reason)
{
    return std::find_if(kinds.begin(), kinds.end(), [reason](const Kind &k) { return k.reason == reason; })->word;
}

bool isDaily(Reason reason)
{
    return reason == Reason::FirstChangeOfDay || reason == Reason::Asked;
}

// What this program knows of its copies in a folder that the folder does not tell.
struct State
{
    // The day whose first change has had its copy made, or failed.
    QDate settled;
    QDateTime failedAt;
    QString failure;
};

QMutex stateMutex;
QHash<QString, State> &states()
{
    static QHash<QString, State> all;
    return all;
}

// A hidden folder another run left when it was killed while copying; one of a
// program still running is left to it.
void removeLeftovers(const QString &into)
{
    const QDir dir(into);
    for (const QString &name : dir.entryList({partialPrefix + u'*'}, QDir::Dirs | QDir::Hidden)) {
        const pid_t pid = name.mid(partialPrefix.size()).section(u'-', 0, 0).toInt();
        if (pid > 0 && (::kill(pid, 0) == 0 || errno != ESRCH))
            continue;
        if (QDir(dir.filePath(name)).removeRecursively())
            qCInfo(lc).noquote()
                << QStringLiteral("Removed \"%1\", left by a copy that did not end.").arg(dir.filePath(name));
    }
}

outcome::Result<QString> makePartial(const QString &into)
{
    const QString name = QStringLiteral("%1%2-%3")
                             .arg(partialPrefix)
                             .arg(::getpid())
                             .arg(QRandomGenerator::global()->generate64(), 0, 36);
    const QString path = QDir(into).filePath(name);
    if (::mkdir(QFile::encodeName(path).constData(), 0777) != 0)
        return outcome::failed(appfiles::describeError(errno));
    return path;
}

// A copy of the observer's file when there is one; one that cannot be read is
// no reason to keep the database uncopied.
outcome::Done copySideFile(const QString &from, const QString &to)
{
    const outcome::Result<QByteArray> bytes = appfiles::readBounded(from, largestSideFile);
    if (!bytes) {
        if (bytes.problem().kind != outcome::Kind::NotFound)
            qCWarning(lc).noquote()
                << QStringLiteral("\"%1\" was not copied with the database: %2.").arg(from, bytes.problem().message);
        return {};
    }
    QSaveFile file(to);
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit())
        return outcome::failed(file.errorString());
    return {};
}

// The partial copy under its name for good; a name taken by a copy of the
// same second gets a number.
outcome::Result<QString> place(const QString &partial, const QString &into, Reason reason)
{
    const QString name = QDateTime::currentDateTime().toString(stampFormat) + u'-' + wordOf(reason);
    for (int n = 1;; ++n) {
        const QString path = QDir(into).filePath(n == 1 ? name : name + u'-' + QString::number(n));
        int errnum = 0;
        switch (appfiles::placeNew(partial, path, &errnum)) {
        case appfiles::Placed::Moved: return path;
        case appfiles::Placed::Taken: continue;
        case appfiles::Placed::Failed: return outcome::failed(appfiles::describeError(errnum));
        }
    }
}

// A partial folder holding the database as the engine copied it, with the
// side files: what must be taken before the change.
outcome::Result<QString> startCopy(const appfiles::Folder &folder, const QString &into)
{
    removeLeftovers(into);
    const outcome::Result<QString> partial = makePartial(into);
    if (!partial)
        return partial;
    const appfiles::Folder copy(*partial);
    outcome::Done done = store::copyDatabase(folder.database(), copy.database(), store::CopyFrom::Live);
    for (const auto &[from, to] : {std::pair{folder.header(), copy.header()}, std::pair{folder.site(), copy.site()}}) {
        if (done)
            done = copySideFile(from, to);
    }
    if (!done) {
        QDir(*partial).removeRecursively();
        return done.problem();
    }
    return partial;
}

// The copy checked by the engine, then under its name for good; the partial
// folder goes when it fails.
outcome::Result<QString> finishCopy(const QString &partial, const QString &into, Reason reason)
{
    outcome::Result<QString> placed = outcome::failed(QString());
    if (outcome::Done checked = store::checkIntegrity(appfiles::Folder(partial).database()); !checked)
        placed = outcome::failed(QStringLiteral("the copy failed the engine's check and was not kept, for the "
                                                "database itself may be damaged: %1")
                                     .arg(checked.problem().message));
    else if (const int error = appfiles::flushFolder(partial); error != 0)
        placed = outcome::failed(appfiles::describeError(error));
    else
        placed = place(partial, into, reason);
    if (!placed) {
        QDir(partial).removeRecursively();
        return placed;
    }
    if (const int error = appfiles::flushFolder(into); error != 0)
        qCWarning(lc).noquote() << QStringLiteral("The folder \"%1\" was not flushed to the disk: %2.")
                                       .arg(into, appfiles::describeError(error));
    qCInfo(lc).noquote() << QStringLiteral("Made the backup \"%1\".").arg(*placed);
    return placed;
}

// A copy's folder holds what a copy is made of; anything else put there keeps it whole.
void removeCopy(const Copy &old)
{
    const appfiles::Folder copy(old.path);
    const QStringList ours{copy.database(), copy.header(), copy.site()};
    QDirIterator entries(old.path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (entries.hasNext()) {
        if (!ours.contains(entries.next())) {
            qCWarning(lc).noquote()
                << QStringLiteral("The old backup \"%1\" was kept: it holds more than a backup.").arg(old.path);
            return;
        }
    }
    for (const QString &file : ours)
        QFile::remove(file);
    if (QDir().rmdir(old.path))
        qCInfo(lc).noquote() << QStringLiteral("Removed the old backup \"%1\".").arg(old.path);
}

void rotate(const appfiles::Folder &folder)
{
    QList<Copy> daily;
    QList<Copy> events;
    for (const Copy &copy : copies(folder))
        (isDaily(copy.reason) ? daily : events).append(copy);
    for (const auto &[kept, list] : {std::pair{dailyKept, daily}, std::pair{beforeEventsKept, events}}) {
        for (qsizetype i = 0; i + kept < list.size(); ++i)
            removeCopy(list.at(i));
    }
}

outcome::Problem notMade(const QString &into, const outcome::Problem &why)
{
    outcome::Problem problem = why;
    problem.message =
        QStringLiteral("The backup of the database could not be made in \"%1\": %2.").arg(into, why.message);
    return problem.titled(QStringLiteral("Backup not made")).as(outcome::Severity::Warning);
}

outcome::Done makeBackups(const QString &into)
{
    if (::mkdir(QFile::encodeName(into).constData(), 0777) != 0 && errno != EEXIST)
        return outcome::failed(appfiles::describeError(errno));
    return {};
}

// Whether today's first change has had its copy made, or failed, by this
// program or in the folder.
bool daySettled(const appfiles::Folder &folder)
{
    const QDate today = QDate::currentDate();
    {
        const QMutexLocker locked(&stateMutex);
        if (states().value(folder.path()).settled == today)
            return true;
    }
    const QList<Copy> made = copies(folder);
    if (std::none_of(made.begin(), made.end(), [&today](const Copy &c) { return c.made.date() == today; }))
        return false;
    const QMutexLocker locked(&stateMutex);
    states()[folder.path()].settled = today;
    return true;
}

// What the start screen tells of the copy, and a failure logged.
void settle(const appfiles::Folder &folder, Reason reason, const outcome::Result<QString> &made)
{
    const QMutexLocker locked(&stateMutex);
    State &state = states()[folder.path()];
    if (reason == Reason::FirstChangeOfDay)
        state.settled = QDate::currentDate();
    if (made) {
        state.failure.clear();
        return;
    }
    state.failedAt = QDateTime::currentDateTime();
    state.failure = made.problem().message;
    qCWarning(lc).noquote() << state.failure;
}

// The checks of copies made before a recording, which run on threads of
// their own so that the recording does not wait for them.
QMutex checkMutex;
QWaitCondition checksDone;
int checksRunning = 0;
}

outcome::Result<QString> makeCopy(const appfiles::Folder &folder, Reason reason, const QString &into)
{
    if (!QFileInfo(into).isDir())
        return notMade(into, outcome::notFound(QStringLiteral("there is no such folder")));
    waitForChecks();
    const outcome::Result<QString> partial = startCopy(folder, into);
    if (!partial)
        return notMade(into, partial.problem());
    const outcome::Result<QString> placed = finishCopy(*partial, into, reason);
    if (!placed)
        return notMade(into, placed.problem());
    return placed;
}

outcome::Result<QString> makeCopy(const appfiles::Folder &folder, Reason reason)
{
    const QString into = folder.backups().path();
    if (outcome::Done made = makeBackups(into); !made)
        return notMade(into, made.problem());
    outcome::Result<QString> made = makeCopy(folder, reason, into);
    if (made)
        rotate(folder);
    return made;
}

outcome::Done beforeChange(const appfiles::Folder &folder, Reason reason)
{
    if (!QFileInfo(folder.database()).isFile())
        return {};
    if (reason == Reason::FirstChangeOfDay && daySettled(folder))
        return {};
    const outcome::Result<QString> made = makeCopy(folder, reason);
    settle(folder, reason, made);
    if (made)
        return {};
    outcome::Problem problem = made.problem();
    problem.message += QStringLiteral("\n\nYour change is made all the same. The start screen shows when the last "
                                      "backup was made.");
    return problem;
}

void beforeRecording(const appfiles::Folder &folder)
{
    if (!QFileInfo(folder.database()).isFile() || daySettled(folder))
        return;
    waitForChecks();
    const QString into = folder.backups().path();
    outcome::Result<QString> partial = outcome::failed(QString());
    if (outcome::Done made = makeBackups(into); !made)
        partial = made.problem();
    else
        partial = startCopy(folder, into);
    if (!partial) {
        settle(folder, Reason::FirstChangeOfDay, notMade(into, partial.problem()));
        return;
    }
    // The day has its copy from here on: a recording meanwhile makes none.
    settle(folder, Reason::FirstChangeOfDay, *partial);
    {
        const QMutexLocker locked(&checkMutex);
        ++checksRunning;
    }
    QThreadPool::globalInstance()->start([folder, into, partial = *partial] {
        outcome::Result<QString> placed = finishCopy(partial, into, Reason::FirstChangeOfDay);
        if (placed)
            rotate(folder);
        else
            placed = notMade(into, placed.problem());
        settle(folder, Reason::FirstChangeOfDay, placed);
        const QMutexLocker locked(&checkMutex);
        --checksRunning;
        checksDone.wakeAll();
    });
}

void waitForChecks()
{
    QMutexLocker locked(&checkMutex);
    while (checksRunning > 0)
        checksDone.wait(&checkMutex);
}

QList<Copy> copies(const appfiles::Folder &folder)
{
    static const QRegularExpression name(QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}-\\d{6})-([a-z]+)(-\\d+)?$"));
    QList<Copy> found;
    const QDir dir(folder.backups().path());
    for (const QString &entry : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QRegularExpressionMatch match = name.match(entry);
        const QDateTime made = QDateTime::fromString(match.captured(1), stampFormat);
        const auto kind =
            std::find_if(kinds.begin(), kinds.end(), [&match](const Kind &k) { return match.captured(2) == k.word; });
        if (match.hasMatch() && made.isValid() && kind != kinds.end())
            found.append({dir.filePath(entry), made, kind->reason});
    }
    return found;
}

QString lastBackupText(const appfiles::Folder &folder)
{
    const QList<Copy> made = copies(folder);
    const QString last = made.isEmpty()
        ? QStringLiteral("No backup yet")
        : QStringLiteral("Last backup: %1").arg(made.constLast().made.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    const QMutexLocker locked(&stateMutex);
    const State state = states().value(folder.path());
    if (state.failure.isEmpty() || (!made.isEmpty() && made.constLast().made > state.failedAt))
        return last;
    return QStringLiteral("Backup failed at %1. %2. %3")
        .arg(state.failedAt.toString(QStringLiteral("HH:mm")), last, state.failure);
}
}
