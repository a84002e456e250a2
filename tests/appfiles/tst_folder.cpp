// SPDX-License-Identifier: GPL-2.0-or-later
#include "appfiles/folder.h"

#include <QLocale>
#include <QTest>

using appfiles::Folder;

class tst_folder final : public QObject
{
    Q_OBJECT

private slots:
    void reportFileName_data();
    void reportFileName();
    void monthNamesIgnoreTheLocale();
};

void tst_folder::reportFileName_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("name");

    const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int month = 1; month <= 12; ++month)
        QTest::addRow("%s", months[month - 1])
            << QDate(2018, month, 5) << QStringLiteral("2018-%1-05.txt").arg(months[month - 1]);
    QTest::newRow("two-digit day") << QDate(2100, 12, 31) << "2100-Dec-31.txt";
}

void tst_folder::reportFileName()
{
    QFETCH(QDate, date);
    QFETCH(QString, name);
    QCOMPARE(Folder(QStringLiteral("/home/observer/varlume")).report(date), "/home/observer/varlume/obs/" + name);
}

void tst_folder::monthNamesIgnoreTheLocale()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString name = Folder(QStringLiteral("/app")).report(QDate(2018, 3, 5));
    QLocale::setDefault(before);
    QCOMPARE(name, QStringLiteral("/app/obs/2018-Mar-05.txt"));
}

QTEST_APPLESS_MAIN(tst_folder)
#include "tst_folder.moc"
