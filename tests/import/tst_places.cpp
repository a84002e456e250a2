// SPDX-License-Identifier: GPL-2.0-or-later
#include "import/places.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class tst_places final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void removableOrNetwork_data();
    void removableOrNetwork();
    void listStartsWithRootAndHome();
    void startsInDownloadsWhenThere();
    void placeOfAFolder_data();
    void placeOfAFolder();
};

void tst_places::removableOrNetwork_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<bool>("offered");
    QTest::newRow("stick under /media") << "/media/anna/STICK" << QByteArray("vfat") << true;
    QTest::newRow("stick under /run/media") << "/run/media/anna/STICK" << QByteArray("exfat") << true;
    QTest::newRow("disk under /mnt") << "/mnt/backup" << QByteArray("ext4") << true;
    QTest::newRow("/media itself") << "/media" << QByteArray("ext4") << false;
    QTest::newRow("/mediafiles") << "/mediafiles" << QByteArray("ext4") << false;
    QTest::newRow("network share") << "/srv/share" << QByteArray("cifs") << true;
    QTest::newRow("nfs home") << "/net/home" << QByteArray("nfs4") << true;
    QTest::newRow("boot partition") << "/boot/efi" << QByteArray("vfat") << false;
    QTest::newRow("system") << "/var" << QByteArray("ext4") << false;
}

void tst_places::removableOrNetwork()
{
    QFETCH(QString, root);
    QFETCH(QByteArray, type);
    QFETCH(bool, offered);
    QCOMPARE(import::places::isRemovableOrNetwork(root, type), offered);
}

void tst_places::listStartsWithRootAndHome()
{
    const QList<import::places::Place> list = import::places::mounted(QStringLiteral("/home/anna/"));
    QVERIFY(list.size() >= 2);
    QCOMPARE(list[0].path, QStringLiteral("/"));
    QCOMPARE(list[1].path, QStringLiteral("/home/anna"));
    QCOMPARE(list[1].name, QStringLiteral("/home/anna"));
    QCOMPARE(import::places::mounted(QStringLiteral("/")).size(), list.size() - 1);
}

void tst_places::startsInDownloadsWhenThere()
{
    QTemporaryDir home;
    QCOMPARE(import::places::startFolder(home.path()), QDir::cleanPath(home.path()));
    QVERIFY(QDir(home.path()).mkdir(QStringLiteral("Downloads")));
    QCOMPARE(import::places::startFolder(home.path()), QDir(home.path()).filePath(QStringLiteral("Downloads")));
}

void tst_places::placeOfAFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("place");
    QTest::newRow("in the home folder") << "/home/anna/Downloads" << 1;
    QTest::newRow("the home folder") << "/home/anna" << 1;
    QTest::newRow("a neighbour of the home folder") << "/home/annabel" << 0;
    QTest::newRow("on the stick") << "/media/anna/STICK/aavso" << 2;
    QTest::newRow("the root") << "/" << 0;
}

void tst_places::placeOfAFolder()
{
    QFETCH(QString, folder);
    QFETCH(int, place);
    const QList<import::places::Place> list = {{QStringLiteral("/"), QStringLiteral("/")},
                                               {QStringLiteral("/home/anna"), QStringLiteral("/home/anna")},
                                               {QStringLiteral("STICK"), QStringLiteral("/media/anna/STICK")}};
    QCOMPARE(import::places::placeOf(list, folder), place);
}

QTEST_APPLESS_MAIN(tst_places)

#include "tst_places.moc"
