// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QProcess>
#include <QStringList>

// Another program on the test's application folder: the record helper
// (tests/observe/recordhelper.cpp) started with the arguments, its output
// read line by line as it comes. Killed when destroyed.
class RecorderProcess final
{
public:
    explicit RecorderProcess(const QStringList &arguments);
    ~RecorderProcess();
    RecorderProcess(const RecorderProcess &) = delete;
    RecorderProcess &operator=(const RecorderProcess &) = delete;

    QProcess &process();
    const QStringList &lines() const;
    // The recordings it reported, by kind: "R", "F" or "X", as "<tag>-<n>".
    QStringList tags(const QString &kind, const QString &tag) const;
    qsizetype results() const;

private:
    QProcess m_process;
    QStringList m_lines;
};
