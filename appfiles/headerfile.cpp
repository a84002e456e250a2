// SPDX-License-Identifier: GPL-2.0-or-later
#include "headerfile.h"

#include "codepage.h"
#include "filesystem.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace appfiles
{
HeaderRead readHeader(const Folder &folder)
{
    QFile file(folder.header());
    if (!file.exists())
        return {HeaderRead::Missing, {}, {}};
    if (QFileInfo(file).isDir())
        return {HeaderRead::Unreadable, {}, describeError(EISDIR)};
    if (!file.open(QIODevice::ReadOnly))
        return {HeaderRead::Unreadable, {}, file.errorString()};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {HeaderRead::Unreadable, {}, file.errorString()};
    return {HeaderRead::Read, bytes, {}};
}

QString exampleObserverCode()
{
    return QStringLiteral("KTV");
}

std::optional<QString> writeHeader(const Folder &folder, const QString &text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    const auto bytes = toCp1252(lines);
    if (!bytes)
        return QStringLiteral("The header holds the character \"%1\", which a report file cannot hold.")
            .arg(firstNotInCp1252(lines).value_or(QString()));
    QSaveFile file(folder.header());
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit())
        return QStringLiteral("The header could not be saved as \"%1\": %2.").arg(folder.header(), file.errorString());
    return std::nullopt;
}
}
