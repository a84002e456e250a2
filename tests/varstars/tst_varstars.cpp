// SPDX-License-Identifier: GPL-2.0-or-later
#include "varstars/elements.h"
#include "varstars/starkey.h"
#include "varstars/vartypes.h"

#include <QTest>

using namespace varstars;

class tst_varstars final : public QObject
{
    Q_OBJECT

private slots:
    void typeRules_data();
    void typeRules();
    void overridesTakeTheMostSpecificPattern();
    void starKeys();
    void magnitudes_data();
    void magnitudes();
};

void tst_varstars::typeRules_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("code");
    QTest::addColumn<double>("cadence");
    QTest::addColumn<bool>("jump");
    QTest::addColumn<bool>("fast");

    const auto row = [](const char *rule, const char *type, const char *code, double cadence, bool jump, bool fast) {
        QTest::newRow(rule) << QString(type) << QString(code) << cadence << jump << fast;
    };
    row("dwarf nova", "UGSS", "UGSS", 1, false, true);
    row("uncertain, lower case", "ugz:", "UGZ", 1, false, true);
    row("first part of +", "UGSU+E", "UGSU", 1, false, true);
    row("first part of |", "SRA|M", "SRA", 7, true, false);
    row("first part of /", "EA/SD:", "EA", 7, false, true);
    row("symbiotic", "ZAND+E", "ZAND", 1, false, false);
    row("flare star", "UV", "UV", 1, false, true);
    row("UV is not UVN", "UVN", "UVN", 7, false, false);
    row("Mira", "M", "M", 7, true, false);
    row("M is not MISC", "MISC", "MISC", 7, false, false);
    row("semiregular", "SRB", "SRB", 7, true, false);
    row("RR Lyr", "RRAB", "RRAB", 7, false, true);
    row("unknown", "ACYG", "ACYG", 7, false, false);
    row("none", "", "", 7, false, false);
}

void tst_varstars::typeRules()
{
    QFETCH(QString, type);
    QFETCH(QString, code);
    QFETCH(double, cadence);
    QFETCH(bool, jump);
    QFETCH(bool, fast);
    QCOMPARE(typeCode(type), code);
    QCOMPARE(Cadences().days(type), cadence);
    QCOMPARE(isJumpType(type), jump);
    QCOMPARE(isFastType(type), fast);
}

void tst_varstars::overridesTakeTheMostSpecificPattern()
{
    const Cadences cadences({{QStringLiteral("srb"), 14}, {QStringLiteral("UG*"), 2}, {QStringLiteral("M"), 10}});
    QCOMPARE(cadences.days(QStringLiteral("SRB")), 14.0);
    QCOMPARE(cadences.days(QStringLiteral("SRA")), 7.0);
    QCOMPARE(cadences.days(QStringLiteral("UGSS")), 2.0);
    QCOMPARE(cadences.days(QStringLiteral("M:")), 10.0);
    QCOMPARE(cadences.days(QStringLiteral("NA")), 1.0);
    QCOMPARE(Cadences({{QStringLiteral("*"), 30}}).days(QStringLiteral("ACYG")), 30.0);
    QCOMPARE(Cadences({{QStringLiteral("*"), 30}}).days(QStringLiteral("NA")), 1.0);
}

void tst_varstars::starKeys()
{
    QCOMPARE(starKey(QStringLiteral("V0404 Cyg")), starKey(QStringLiteral("v404  CYG ")));
    QCOMPARE(starKey(QStringLiteral("OMI CET")), starKey(QStringLiteral("omi\tCet")));
    QVERIFY(starKey(QStringLiteral("V404 Cyg")) != starKey(QStringLiteral("V4040 Cyg")));
    QVERIFY(starKey(QStringLiteral("NSV 0123")) != starKey(QStringLiteral("NSV 123")));
}

void tst_varstars::magnitudes_data()
{
    QTest::addColumn<QString>("text");
    // Kind (= < > or the amplitude's "("), value, ":" when uncertain, band; or "refused".
    QTest::addColumn<QString>("read");

    QTest::newRow("with band") << QString("13.4 V") << QString("= 13.4 V");
    QTest::newRow("uncertain") << QString("12.1: V") << QString("= 12.1: V");
    QTest::newRow("no band") << QString("9.2") << QString("= 9.2 ");
    QTest::newRow("fainter limit") << QString("<15.2 B") << QString("< 15.2 B");
    QTest::newRow("brighter limit") << QString(">6.5 Vis.") << QString("> 6.5 Vis.");
    QTest::newRow("amplitude") << QString("(0.5) V") << QString("( 0.5 V");
    QTest::newRow("half an amplitude") << QString("(0.5 V") << QString("refused");
    QTest::newRow("too large to hold") << QString(400, u'9') << QString("refused");
}

void tst_varstars::magnitudes()
{
    QFETCH(QString, text);
    QFETCH(QString, read);
    const outcome::Result<Magnitude> magnitude = parseMagnitude(text);
    QCOMPARE(magnitude.ok(), read != u"refused");
    if (!magnitude)
        return;
    QCOMPARE(QString::asprintf("%c %g%s %s", "=<>("[int(magnitude->kind)], magnitude -> value,
                               magnitude -> uncertain ? ":" : "", qPrintable(magnitude->band)),
             read);
    // Only two magnitudes make a range, never a limit or an amplitude.
    const Elements elements{{}, {}, false, {}, parseMagnitude(QStringLiteral("7.7 V")).value(), *magnitude};
    QCOMPARE(range(elements).has_value(), magnitude->kind == Magnitude::Kind::Value);
}

QTEST_APPLESS_MAIN(tst_varstars)
#include "tst_varstars.moc"
