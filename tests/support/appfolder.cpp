// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/support/appfolder.h"

#include "backup/backups.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

AppFolder::AppFolder() = default;

AppFolder::~AppFolder()
{
    backup::waitForChecks();
}

QString AppFolder::path() const
{
    return m_dir.path();
}

appfiles::Folder AppFolder::programFolder() const
{
    return appfiles::Folder(path());
}

QString AppFolder::file(const QString &relative) const
{
    return m_dir.filePath(relative);
}

bool AppFolder::exists(const QString &relative) const
{
    return QFileInfo::exists(file(relative));
}

QByteArray AppFolder::read(const QString &relative) const
{
    QFile f(file(relative));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void AppFolder::write(const QString &relative, const QByteArray &bytes) const
{
    QFile f(file(relative));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QStringList AppFolder::entries() const
{
    QStringList result;
    QDirIterator it(path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    const QDir base(path());
    while (it.hasNext())
        result.append(base.relativeFilePath(it.next()));
    result.sort();
    return result;
}

#include "store/creation.h"
#include "tests/support/testkit.h"

#include <QProcess>

#include <unistd.h>

void AppFolder::prepare() const
{
    if (const auto created = store::createDefault(programFolder()); !created)
        qWarning("%s", qPrintable(created.problem().message));
    QDir(path()).mkdir(QStringLiteral("obs"));
    QDir(path()).mkdir(QStringLiteral("starcharts"));
    write(QStringLiteral("header.txt"), observerHeader);
}

bool AppFolder::installLibrary() const
{
    return QFile::copy(QStringLiteral(FERROW_LIBRARY), file(QStringLiteral("libferrow.so")));
}

bool AppFolder::installHelp() const
{
    return QFile::copy(QStringLiteral(HELP_FILE), file(QStringLiteral("quillon.html")));
}

void AppFolder::writeSite() const
{
    write(QStringLiteral("site.ini"),
          "[site]\nlatitude=52.52\nlongitude=13.4\nheight=34\nlowest_altitude=20\n"
          "dark_sun_altitude=-12\ntimezone=Europe/Berlin\n");
}

namespace
{
bool canWrite(const QString &path)
{
    if (!QFileInfo(path).isDir())
        return QFile(path).open(QIODevice::Append);
    QFile probe(path + QStringLiteral("/.probe"));
    const bool created = probe.open(QIODevice::WriteOnly);
    if (created)
        probe.remove();
    return created;
}

QFile::Permissions readable(const QString &path)
{
    return QFileInfo(path).isDir() ? QFile::ReadOwner | QFile::ExeOwner : QFile::ReadOwner;
}

void setImmutable(const QString &path, bool on)
{
    QProcess::execute(QStringLiteral("chattr"), {on ? QStringLiteral("+i") : QStringLiteral("-i"), path});
}
}

ReadOnlyGuard::ReadOnlyGuard(const QString &path)
    : m_path(path)
{
    if (geteuid() == 0)
        setImmutable(path, true);
    else
        QFile::setPermissions(path, readable(path));
    m_ok = !canWrite(path);
}

ReadOnlyGuard::~ReadOnlyGuard()
{
    if (geteuid() == 0)
        setImmutable(m_path, false);
    QFile::setPermissions(m_path, readable(m_path) | QFile::WriteOwner);
}

bool ReadOnlyGuard::ok() const
{
    return m_ok;
}
