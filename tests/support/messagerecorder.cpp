// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/support/messagerecorder.h"

MessageRecorder::MessageRecorder()
    : m_previous(hostkit::messageHandler())
{
    hostkit::setMessageHandler([this](const hostkit::Message &message) {
        m_messages.append(message);
        if (m_hook)
            m_hook(message);
        if (!m_answers.isEmpty())
            return m_answers.takeFirst();
        for (int bit = 0; bit < 32; ++bit) {
            const auto button = static_cast<QMessageBox::StandardButton>(1u << bit);
            if (message.buttons.testFlag(button))
                return button;
        }
        return QMessageBox::Ok;
    });
}

MessageRecorder::~MessageRecorder()
{
    hostkit::setMessageHandler(m_previous);
}

void MessageRecorder::queueAnswer(QMessageBox::StandardButton answer)
{
    m_answers.append(answer);
}

void MessageRecorder::onMessage(std::function<void(const hostkit::Message &)> hook)
{
    m_hook = std::move(hook);
}

const QList<hostkit::Message> &MessageRecorder::messages() const
{
    return m_messages;
}

QStringList MessageRecorder::texts() const
{
    QStringList result;
    for (const auto &message : m_messages)
        result.append(message.text);
    return result;
}

QString MessageRecorder::dump() const
{
    QStringList lines;
    for (const auto &message : m_messages)
        lines.append(message.title + QStringLiteral(": ") + message.text);
    return lines.join(QLatin1Char('\n'));
}

void MessageRecorder::clear()
{
    m_messages.clear();
}
