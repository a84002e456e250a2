// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "hostkit/messageseam.h"

#include <QList>

// Records every message box while alive and answers each without a modal
// loop: with the next queued answer, else with the box's first button.
class MessageRecorder final
{
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    void queueAnswer(QMessageBox::StandardButton answer);
    // Runs inside the box, e.g. to look at the focus while the box is up.
    void onMessage(std::function<void(const hostkit::Message &)> hook);

    const QList<hostkit::Message> &messages() const;
    QStringList texts() const;
    // Title and text of each box, for failure reports.
    QString dump() const;
    void clear();

private:
    QList<hostkit::Message> m_messages;
    QList<QMessageBox::StandardButton> m_answers;
    std::function<void(const hostkit::Message &)> m_hook;
    hostkit::MessageHandler m_previous;
};
