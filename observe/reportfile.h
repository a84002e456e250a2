// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <optional>

// The day's report file in the folder "obs". Each routine opens and closes
// the file within itself and returns a message for the observer when it
// fails, leaving the file as it was.
namespace modEntryscreen
{
// Begins the day's file with a byte-for-byte copy of "header.txt". A file
// that already exists (the screen opened again the same day) is continued:
// it is left untouched.
std::optional<QString> beginReport(const QString &appfolder, const QString &todaysfile);

// Appends one data line and its CR LF, written in the file's code page;
// a file that does not end with a line end gets one first.
// Either the whole line is in the file afterwards or none of it is; on
// failure the observation must not be stored elsewhere either.
std::optional<QString> appendReport(const QString &todaysfile, const QString &line);

// Cuts the file back to a size it had before, to take back a line whose
// observation could not be stored in cumobs.
std::optional<QString> cutReport(const QString &todaysfile, qint64 size);

struct ReportText
{
    // The file's text with lines separated by "\n".
    QString text;
    std::optional<QString> error;
};

ReportText readReport(const QString &todaysfile);
}
