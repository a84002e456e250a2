#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh, empty application folder for one test.
class AppFolder final
{
public:
    AppFolder();

    QString path() const;
    QString file(const QString &relative) const;
    bool exists(const QString &relative) const;
    QByteArray read(const QString &relative) const;
    void write(const QString &relative, const QByteArray &bytes) const;
    // Names of everything below the folder, relative, sorted.
    QStringList entries() const;

private:
    QTemporaryDir m_dir;
};
