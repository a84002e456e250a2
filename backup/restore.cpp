// SPDX-License-Identifier: GPL-2.0-or-later
#include "backup/restore.h"

#include "appfiles/filesystem.h"
#include "backup/backups.h"
#include "backup/logging.h"
#include "store/copies.h"
#include "store/lookupindexes.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace backup
{
namespace
{
outcome::Problem notRestored(const QString &file, const QString &why)
{
    return outcome::refused(QStringLiteral("\"%1\" was not restored: %2.").arg(file, why));
}
}

Restore::Restore(const appfiles::Folder &folder, const QString &file)
    : m_folder(folder)
    , m_file(file)
{
}

Restore::~Restore()
{
    if (!m_taken.isEmpty())
        QDir(m_taken).removeRecursively();
}

outcome::Done Restore::prepare()
{
    outcome::Result<appfiles::FolderLock> alone = appfiles::FolderLock::alone(m_folder);
    if (!alone)
        return alone.problem();
    m_alone.emplace(std::move(*alone));

    const QString into = m_folder.backups().path();
    if (::mkdir(QFile::encodeName(into).constData(), 0777) != 0 && errno != EEXIST)
        return notRestored(m_file,
                           QStringLiteral("the folder \"%1\" could not be made for its copy: %2")
                               .arg(into, appfiles::describeError(errno)));
    // A hidden name that removeLeftovers() knows, should the restore be killed.
    const QString partial = QDir(into).filePath(
        QStringLiteral(".partial-%1-%2").arg(::getpid()).arg(QRandomGenerator::global()->generate64(), 0, 36));
    if (::mkdir(QFile::encodeName(partial).constData(), 0777) != 0)
        return notRestored(
            m_file,
            QStringLiteral("its copy could not be made in \"%1\": %2").arg(into, appfiles::describeError(errno)));
    m_taken = partial;
    const QString copy = taken().database();
    if (outcome::Done copied = store::copyDatabase(m_file, copy, store::CopyFrom::Given); !copied)
        return notRestored(m_file, copied.problem().message);
    if (outcome::Done checked = store::checkIntegrity(copy); !checked)
        return notRestored(m_file, checked.problem().message);
    if (store::lookupsOfFile(copy) == store::Lookups::Foreign)
        return notRestored(m_file,
                           QStringLiteral("it is not a database of varlume (it holds other tables, indexes "
                                          "or columns than varlume makes)"));
    return {};
}

appfiles::Folder Restore::taken() const
{
    return appfiles::Folder(m_taken);
}

outcome::Result<std::optional<QString>> Restore::replace()
{
    const QString live = m_folder.database();
    const QString copy = taken().database();
    if (!QFileInfo::exists(live) && !QFileInfo(live).isSymLink()) {
        int errnum = 0;
        switch (appfiles::placeNew(copy, live, &errnum)) {
        case appfiles::Placed::Moved: return std::optional<QString>();
        case appfiles::Placed::Taken:
            return notRestored(m_file, QStringLiteral("a database \"%1\" appeared meanwhile").arg(live));
        case appfiles::Placed::Failed:
            return notRestored(
                m_file, QStringLiteral("\"%1\" could not be made: %2").arg(live, appfiles::describeError(errnum)));
        }
    }
    const outcome::Result<QString> before = makeCopy(m_folder, Reason::Restore);
    if (!before)
        return outcome::failed(QStringLiteral("\"%1\" was not restored, for the present database could not be backed "
                                              "up first. %2 To restore all the same, move \"%3\" out of the folder, "
                                              "where it stays as it is, and restore again.")
                                   .arg(m_file, before.problem().message, live));
    if (outcome::Done restored = store::restoreInto(copy, live); !restored)
        return notRestored(m_file,
                           QStringLiteral("\"%1\" could not be written, and it is as it was: %2")
                               .arg(live, restored.problem().message));
    qCInfo(lc).noquote() << QStringLiteral("Restored \"%1\" into \"%2\"; the database before it is in \"%3\".")
                                .arg(m_file, live, *before);
    return std::optional<QString>(*before);
}
}
