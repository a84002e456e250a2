// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <functional>

class QThread;

namespace store
{
// A writer that keeps a transaction open between pieces of its work on the
// thread that runs the rest of the program, as the import does to save
// commits. Any other write of that thread would wait for a transaction only
// the waiting thread could end, so, while this object lives, Database calls
// end() on the thread that made it before each write: the holder commits or
// takes back what it holds, and the other writer goes first.
class HeldTransaction final
{
public:
    explicit HeldTransaction(std::function<void()> end);
    ~HeldTransaction();
    Q_DISABLE_COPY(HeldTransaction)

private:
    friend void endHeldTransactions();

    std::function<void()> m_end;
    QThread *m_thread;
};

// Ends the held transactions of the calling thread.
void endHeldTransactions();
}
