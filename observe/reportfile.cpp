// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportfile.h"

#include "codepage.h"
#include "headerfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{
QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

bool endsOpen(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential() || file.size() == 0 || !file.seek(file.size() - 1))
        return false;
    char last = 0;
    return file.getChar(&last) && last != '\n';
}

QString notWritten(const QString &todaysfile, const QString &reason)
{
    return QStringLiteral("The observation could not be written to the report file \"%1\" (%2). "
                          "Nothing of it was recorded and your entries are kept. Make sure the "
                          "disk is not full and no other program holds the file, then press "
                          "Enter again.")
        .arg(native(todaysfile), reason);
}
}

std::optional<QString> modEntryscreen::beginReport(const QString &appfolder, const QString &todaysfile)
{
    const QFileInfo existing(todaysfile);
    if (existing.exists()) {
        if (existing.isFile() && existing.isWritable())
            return std::nullopt;
        return QStringLiteral("Today's report file \"%1\" exists but cannot be written to. Make "
                              "it a file you may write to, then open the observing session "
                              "again.")
            .arg(native(todaysfile));
    }

    const appfiles::Folder folder(appfolder);
    const appfiles::HeaderRead header = appfiles::readHeader(folder);
    if (header.status == appfiles::HeaderRead::Missing)
        return QStringLiteral("There is no report header yet: \"%1\" is missing. The header editor "
                              "is open: put in your observer code and save your header there. Your "
                              "observations go into the report from then on.")
            .arg(native(folder.header()));
    if (header.status == appfiles::HeaderRead::Unreadable)
        return QStringLiteral("The report header \"%1\" cannot be read (%2). Make it readable, "
                              "then open the observing session again.")
            .arg(native(folder.header()), header.reason);
    const QByteArray &bytes = header.bytes;

    const QString reports = existing.absolutePath();
    const QString cannotWrite =
        QStringLiteral("Today's report file cannot be written in the folder \"%1\" (%2). Make "
                       "sure the folder exists and you may write to it, then open the observing "
                       "session again.");
    if (!QDir().mkpath(reports))
        return cannotWrite.arg(native(reports), QStringLiteral("the folder cannot be created"));

    // NewOnly: a file that appeared since the look above is never replaced.
    QFile report(todaysfile);
    if (!report.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return cannotWrite.arg(native(reports), report.errorString());
    if (report.write(bytes) != bytes.size()) {
        const QString reason = report.errorString();
        report.close();
        report.remove();
        return cannotWrite.arg(native(reports), reason);
    }
    return std::nullopt;
}

std::optional<QString> modEntryscreen::appendReport(const QString &todaysfile, const QString &line)
{
    // A header saved without a final line end would swallow the first line
    // into its last "#" line, where the report's reader skips it.
    const QString lineEnd = QStringLiteral("\r\n");
    const QString start = endsOpen(todaysfile) ? lineEnd : QString();
    const std::optional<QByteArray> bytes = appfiles::toCp1252(start + line + lineEnd);
    if (!bytes)
        return notWritten(todaysfile,
                          QStringLiteral("the line holds a character the report "
                                         "file's code page lacks"));

    // Unbuffered, so that the one write puts the whole line into the file
    // and its count says whether it got there.
    QFile report(todaysfile);
    if (!report.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return notWritten(todaysfile, report.errorString());
    const qint64 oldSize = report.size();
    if (report.write(*bytes) == bytes->size())
        return std::nullopt;

    const QString reason = report.errorString();
    if (!report.resize(oldSize))
        return QStringLiteral("The observation could not be written completely to the report "
                              "file \"%1\" (%2), and the part written could not be removed. "
                              "Your entries are kept. Delete the incomplete last line of the "
                              "file, then press Enter again.")
            .arg(native(todaysfile), reason);
    return notWritten(todaysfile, reason);
}

std::optional<QString> modEntryscreen::cutReport(const QString &todaysfile, qint64 size)
{
    QFile report(todaysfile);
    if (report.resize(size))
        return std::nullopt;
    return QStringLiteral("The last line of the report file \"%1\" could not be taken back "
                          "(%2). Delete it there before you send the report.")
        .arg(native(todaysfile), report.errorString());
}

modEntryscreen::ReportText modEntryscreen::readReport(const QString &todaysfile)
{
    QFile report(todaysfile);
    if (!report.open(QIODevice::ReadOnly))
        return {{},
                QStringLiteral("The report file \"%1\" cannot be shown (%2).")
                    .arg(native(todaysfile), report.errorString())};
    QString text = appfiles::fromCp1252(report.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return {text, std::nullopt};
}
