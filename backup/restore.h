// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "appfiles/folderlock.h"
#include "outcome/result.h"

#include <QString>

#include <optional>

namespace backup
{
// Puts a copy of the database back in place of the program folder's, in
// steps the caller runs in order, so that it can look at the copy in between.
// The copy is taken whole into a hidden folder of "backups" first: what is
// checked is what is written, however the file changes meanwhile.
class Restore final
{
public:
    Restore(const appfiles::Folder &folder, const QString &file);
    // Removes the copy taken in.
    ~Restore();
    Q_DISABLE_COPY(Restore)

    // Takes the program folder alone (busy while another varlume runs there),
    // takes the file in and checks it: refused when it is not this program's
    // database, as start-up tells one, or fails the engine's check.
    outcome::Done prepare();
    // The copy taken in, as a program folder of its own, for the caller's
    // checks against the folder's reports.
    appfiles::Folder taken() const;
    // Makes a checked backup of the database first, then writes the copy over
    // it in one transaction of its own journal; where there is no database,
    // the copy is put in its place. The backup's folder, or none without a
    // database. The database is as it was when this fails.
    outcome::Result<std::optional<QString>> replace();

private:
    appfiles::Folder m_folder;
    QString m_file;
    std::optional<appfiles::FolderLock> m_alone;
    QString m_taken;
};
}
