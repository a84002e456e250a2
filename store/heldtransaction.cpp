// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/heldtransaction.h"

#include "store/logging.h"

#include <QMutex>
#include <QThread>

#include <algorithm>
#include <iterator>
#include <vector>

namespace
{
QMutex held;
std::vector<store::HeldTransaction *> holders;
}

store::HeldTransaction::HeldTransaction(std::function<void()> end)
    : m_end(std::move(end))
    , m_thread(QThread::currentThread())
{
    const QMutexLocker lock(&held);
    holders.push_back(this);
}

store::HeldTransaction::~HeldTransaction()
{
    const QMutexLocker lock(&held);
    std::erase(holders, this);
}

void store::endHeldTransactions()
{
    std::vector<HeldTransaction *> mine;
    {
        const QMutexLocker lock(&held);
        std::copy_if(holders.cbegin(), holders.cend(), std::back_inserter(mine),
                     [](const HeldTransaction *h) { return h->m_thread == QThread::currentThread(); });
    }
    if (!mine.empty())
        qCInfo(store::lc) << "a write of this thread waits for" << mine.size()
                          << "transaction(s) it holds open elsewhere: they end first";
    // Called unlocked: ending a transaction may take a while, and a holder of
    // this thread cannot go away meanwhile.
    for (HeldTransaction *holder : mine)
        holder->m_end();
}
