// SPDX-License-Identifier: GPL-2.0-or-later
#include "appfiles/codepage.h"

#include <QTest>

using namespace appfiles;

class tst_codepage final : public QObject
{
    Q_OBJECT

private slots:
    void encodes_data();
    void encodes();
    void refuses_data();
    void refuses();
    void everyByteReadsBackUnchanged();
};

void tst_codepage::encodes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("ASCII line") << "ss cyg|2458124.3958|11.2\r\n" << QByteArray("ss cyg|2458124.3958|11.2\r\n");
    QTest::newRow("apostrophe") << "r cas' note" << QByteArray("r cas' note");
    QTest::newRow("Latin-1 letters") << QString::fromUtf8("é ñ ÿ °") << QByteArray("\xE9 \xF1 \xFF \xB0");
    QTest::newRow("euro sign") << QString::fromUtf8("€") << QByteArray("\x80");
    QTest::newRow("curly quotes") << QString::fromUtf8("‘a’ “b”")
                                  << QByteArray("\x91"
                                                "a\x92 \x93"
                                                "b\x94");
    QTest::newRow("dashes and ellipsis") << QString::fromUtf8("–—…") << QByteArray("\x96\x97\x85");
    QTest::newRow("last of the table") << QString::fromUtf8("Ÿ") << QByteArray("\x9F");
    QTest::newRow("unassigned byte") << QString(QChar(0x81)) << QByteArray("\x81");
    QTest::newRow("empty") << QString() << QByteArray();
}

void tst_codepage::encodes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(toCp1252(text), std::optional<QByteArray>(bytes));
    QCOMPARE(fromCp1252(bytes), text);
    QCOMPARE(firstNotInCp1252(text), std::nullopt);
}

void tst_codepage::refuses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("first");

    QTest::newRow("arrow") << QString::fromUtf8("a → b") << QString::fromUtf8("→");
    QTest::newRow("Greek after euro") << QString::fromUtf8("€ α β") << QString::fromUtf8("α");
    QTest::newRow("C1 control taken by the euro") << QString(QChar(0x80)) << QString(QChar(0x80));
    QTest::newRow("outside the BMP") << QString::fromUtf8("x 🔭") << QString::fromUtf8("🔭");
}

void tst_codepage::refuses()
{
    QFETCH(QString, text);
    QFETCH(QString, first);
    QCOMPARE(toCp1252(text), std::nullopt);
    QCOMPARE(firstNotInCp1252(text), std::optional<QString>(first));
}

void tst_codepage::everyByteReadsBackUnchanged()
{
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all.append(char(byte));
    const QString text = fromCp1252(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(toCp1252(text), std::optional<QByteArray>(all));
}

QTEST_APPLESS_MAIN(tst_codepage)
#include "tst_codepage.moc"
