// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "outcome/result.h"

#include <QDateTime>
#include <QList>
#include <QString>

// Checked copies of the observer's database, made before it changes. Each
// copy is a folder of its own, named for when and why it was made
// ("2026-05-01-213005-daily"), holding the database as the engine copied it
// while others went on writing, with "header.txt" and "site.ini" beside it, so
// that it is a program folder that varlume can start in. A copy counts once
// the engine's full check has passed on it; until then it lies under a hidden
// name, which goes when the copy fails.
namespace backup
{
enum class Reason {
    // The first change of a day: a recording, an import, a correction, a
    // change of the catalogue.
    FirstChangeOfDay,
    // Asked for on the command line.
    Asked,
    Import,
    Undo,
    // Before a restore writes another database over this one.
    Restore,
};

// The newest copies of each kind that "backups" keeps: the daily ones (of the
// first change of a day, or asked for) and those before an import, an undo
// or a restore.
inline constexpr int dailyKept = 7;
inline constexpr int beforeEventsKept = 5;

struct Copy
{
    // The copy's folder.
    QString path;
    QDateTime made;
    Reason reason = Reason::Asked;
};

// What a change calls first. The first change of a day makes a copy in
// "backups" unless the folder holds one of that day already, or this program
// failed to make one that day (the failure is told once); an import, an undo
// or a restore makes one each time. The copies beyond those kept are removed
// once a new one has passed its check. Without a database there is nothing to
// copy. A failure is logged and kept for the start screen (lastBackupText);
// the problem, titled for its box, is for the caller to show where it may,
// never at the eyepiece: the change goes ahead all the same.
outcome::Done beforeChange(const appfiles::Folder &folder, Reason reason);

// The same for a recording at the eyepiece, where nothing is shown: the copy
// is taken now, and the engine's check of it, which takes most of the time,
// runs on a thread of its own while the recording goes ahead; the copy counts
// once it has passed.
void beforeRecording(const appfiles::Folder &folder);
// Until the checks begun by beforeRecording have ended, as a program waits
// before it ends so that its copy of the day counts.
void waitForChecks();

// A checked copy made now into the folder into, which must exist (another
// disk, say); nothing is removed there. The copy's folder.
outcome::Result<QString> makeCopy(const appfiles::Folder &folder, Reason reason, const QString &into);
// The same into "backups", made when missing, then the old copies removed.
outcome::Result<QString> makeCopy(const appfiles::Folder &folder, Reason reason);

// The copies in "backups", oldest first.
QList<Copy> copies(const appfiles::Folder &folder);

// The start screen's line on the copies: when the newest was made, or why
// this program's last attempt failed.
QString lastBackupText(const appfiles::Folder &folder);
}
