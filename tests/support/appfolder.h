// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh, empty application folder for one test.
class AppFolder final
{
public:
    AppFolder();
    // Waits for the check of a copy taken before a recording here, which
    // may still be running when the folder goes.
    ~AppFolder();

    QString path() const;
    // The folder as the program is handed it.
    appfiles::Folder programFolder() const;
    QString file(const QString &relative) const;
    bool exists(const QString &relative) const;
    QByteArray read(const QString &relative) const;
    void write(const QString &relative, const QByteArray &bytes) const;
    // Names of everything below the folder, relative, sorted.
    QStringList entries() const;

    // As a first start and a saved header leave it: the database, "obs",
    // "starcharts" and a header.
    void prepare() const;
    // The built control library, as the program's folder holds it.
    bool installLibrary() const;
    // The program's help page.
    bool installHelp() const;
    // An observing site in Berlin, as the site dialog writes "site.ini".
    void writeSite() const;

private:
    QTemporaryDir m_dir;
};

// Makes a folder refuse new entries, or a file refuse writes, even to root
// (chattr +i there), and undoes it when destroyed. ok() is false where the
// file system cannot do it.
class ReadOnlyGuard final
{
public:
    explicit ReadOnlyGuard(const QString &path);
    ~ReadOnlyGuard();
    ReadOnlyGuard(const ReadOnlyGuard &) = delete;
    ReadOnlyGuard &operator=(const ReadOnlyGuard &) = delete;

    bool ok() const;

private:
    QString m_path;
    bool m_ok = false;
};
