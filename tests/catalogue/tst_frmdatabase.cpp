// SPDX-License-Identifier: GPL-2.0-or-later
#include <QTest>

class tst_frmdatabase final : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(tst_frmdatabase)
#include "tst_frmdatabase.moc"
