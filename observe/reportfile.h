// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/filesystem.h"
#include "appfiles/folder.h"
#include "outcome/result.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>

#include <optional>

namespace observe
{

// The day's report file in the folder "obs". A routine that fails leaves the
// file as it was; its problem is worded for the observer.
namespace modEntryscreen
{
// Begins the day's file with a byte-for-byte copy of "header.txt", refusing
// a header that appfiles::checkHeader() refuses. The file appears whole,
// header and all, or not at all. A file that already exists
// (the screen opened again the same day, or by another window) is continued:
// it is left untouched. The problem is titled for the box "Report file": not
// found while there is no header yet, refused for a header that cannot begin
// a report (the header editor mends both), failed otherwise.
outcome::Done beginReport(const appfiles::Folder &appfolder, const QString &todaysfile);

// One recording's hold on the day's report. Recordings of every window and
// program on the folder lock the file itself, so they follow one another;
// nothing else is ever put into "obs". The lock goes with this object.
class ReportAppender final
{
public:
    explicit ReportAppender(const QString &todaysfile);
    ~ReportAppender();
    Q_DISABLE_COPY(ReportAppender)

    // Waits until the deadline at most for another recording to finish; busy
    // when it has not.
    outcome::Done lock(const QDeadlineTimer &deadline);
    // Appends one data line and its CR LF in the file's code page, on the
    // disk when it returns; a file that does not end with a line end gets one
    // first. On failure nothing of it stays in the file.
    outcome::Done append(const QString &line);
    // Takes back exactly what append() wrote, while the lock is still held.
    // Refuses, and cuts nothing, when the file no longer ends with it.
    outcome::Done takeBack();

private:
    outcome::Done cut(qint64 start, const QByteArray &bytes);

    QString m_path;
    int m_descriptor = -1;
    qint64 m_start = -1;
    QByteArray m_written;
};

struct ReportText
{
    // The text read, with lines separated by "\n".
    QString text;
    // Where the file ended when it was read: the next read starts here.
    qint64 end = 0;
    // The text begins at the file's start: the file was read from there
    // because it had become shorter than where the reading was to start, or
    // is another file than the one shown (a change replaced it).
    bool whole = true;
    // Which file was read.
    std::optional<appfiles::FileIdentity> identity;
};

// The file's text from the byte position from on, read between recordings,
// so that it never holds a line that may still be taken back. From its start
// when the file is not the one shown.
outcome::Result<ReportText> readReport(const QString &todaysfile, qint64 from = 0,
                                       std::optional<appfiles::FileIdentity> shown = std::nullopt);
}

} // namespace observe
