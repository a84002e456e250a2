// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/support/recorderprocess.h"

RecorderProcess::RecorderProcess(const QStringList &arguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
        while (m_process.canReadLine())
            m_lines.append(QString::fromUtf8(m_process.readLine()).trimmed());
    });
    m_process.start(QStringLiteral(RECORD_HELPER), arguments);
}

RecorderProcess::~RecorderProcess()
{
    m_process.kill();
    m_process.waitForFinished();
}

QProcess &RecorderProcess::process()
{
    return m_process;
}

const QStringList &RecorderProcess::lines() const
{
    return m_lines;
}

QStringList RecorderProcess::tags(const QString &kind, const QString &tag) const
{
    QStringList found;
    for (const QString &line : m_lines) {
        if (line.startsWith(kind + u' '))
            found.append(tag + u'-' + line.section(u' ', 1, 1));
    }
    return found;
}

qsizetype RecorderProcess::results() const
{
    return m_lines.size();
}
