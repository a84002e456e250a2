// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/startup.h"

#include "app/logging.h"
#include "appfiles/filesystem.h"
#include "appfiles/folder.h"
#include "reports/reportchange.h"
#include "store/creation.h"
#include "store/lookupindexes.h"

#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace app
{

namespace
{
// Empty when the folder is there or was made; else why not.
QString makeFolder(const appfiles::Subfolder &subfolder)
{
    const QString path = subfolder.path();
    const QFileInfo existing(path);
    if (existing.isDir())
        return {};
    if (existing.exists())
        return QStringLiteral("The folder \"%1\" could not be created: a file of that name is there, not a folder.")
            .arg(path);
    std::error_code ec;
    std::filesystem::create_directory(path.toStdString(), ec);
    if (ec)
        return QStringLiteral("The folder \"%1\" could not be created: %2.")
            .arg(path, QString::fromStdString(ec.message()));
    qCInfo(lc).noquote() << QStringLiteral("Created the folder \"%1\".").arg(path);
    return {};
}

// Empty when the database is there or was made; else why not.
QString makeDatabase(const appfiles::Folder &folder, const startup::Hooks &hooks)
{
    if (QFileInfo::exists(folder.database()))
        return {};
    hooks.status(1, QStringLiteral("Creating default database..."));
    // Another start in the same folder may have created it meanwhile: that one is used.
    if (const auto created = store::createDefault(folder)) {
        hooks.status(2, QStringLiteral(" Default Database created"));
        qCInfo(lc).noquote() << QStringLiteral("Created the database \"%1\".").arg(folder.database());
    } else if (!QFileInfo(folder.database()).isFile())
        return created.problem().message;
    return {};
}
}

startup::Prepared startup::prepare(const appfiles::Folder &folder, const Hooks &hooks)
{
    if (!QFileInfo::exists(folder.header())) {
        qCInfo(lc).noquote()
            << QStringLiteral("No report header \"%1\": the header editor opens.").arg(folder.header());
        hooks.headerMissing();
    }

    // A new database in its place would hide the observer's own when the
    // disk the link leads to is back.
    if (const auto link = appfiles::danglingLink(folder.database()))
        return {{},
                QStringLiteral("The database file \"%1\" was not made: %2. Connect the disk or folder the link leads "
                               "to, or delete the link so that varlume makes a new database, then start varlume "
                               "again.")
                    .arg(folder.database(), *link)};

    QStringList failures{makeDatabase(folder, hooks), makeFolder(folder.charts()), makeFolder(folder.reports())};
    failures.removeAll(QString());
    // A correction or withdrawal cut short is in the database already: its
    // report follows. One left now is completed before its report is next written.
    const auto left = reports::completeAllPending(folder);
    if (!left)
        qCWarning(lc).noquote() << "Changes of the reports not completed:" << left.problem().message;
    else if (!left->isEmpty())
        qCWarning(lc).noquote() << "Changes not completed yet, the report being in use:" << left->join(u' ');
    return {failures.join(QLatin1Char('\n')), {}};
}

bool startup::needsIndexing(const appfiles::Folder &appFolder)
{
    return store::lookups(appFolder) == store::Lookups::Missing;
}

void startup::indexObservations(const appfiles::Folder &appFolder, const Hooks &hooks)
{
    if (!needsIndexing(appFolder))
        return;
    hooks.status(1, QStringLiteral("Indexing observations..."));
    if (const auto indexed = store::addLookups(appFolder)) {
        hooks.status(2, QStringLiteral(" Observations indexed"));
        qCInfo(lc).noquote()
            << QStringLiteral("Gave the database \"%1\" its lookup indexes.").arg(appFolder.database());
    } else {
        hooks.status(2, QStringLiteral(" Observations not indexed: ") + indexed.problem().message);
        qCWarning(lc).noquote() << "Observations not indexed:" << indexed.problem().message;
    }
}

} // namespace app
