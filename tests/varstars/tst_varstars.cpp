// SPDX-License-Identifier: GPL-2.0-or-later
#include "varstars/elements.h"
#include "varstars/notation.h"
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
    void notations_data();
    void notations();
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

void tst_varstars::notations_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("comps");
    // The magnitude ("<" first when fainter than) and the labels, the brighter
    // first; "read" when a letter's field holds no label; "free" for free text.
    QTest::addColumn<QString>("worked");
    const auto row = [](const QString &rule, const QString &written, const char *comps, const QString &worked) {
        QTest::newRow(qPrintable(rule)) << written << QString(comps) << worked;
    };
    row("steps", "110 2 V 1 116", "", "11.4 110 116");
    row("the slip's estimate", "90 2 V 1 100", "", "9.7 90 100");
    row("one third", "90 1 V 2 100", "", "9.3 90 100");
    row("brackets", "110(2)V(1)116", "", "11.4 110 116");
    row("brackets and blanks", "110 (2) V (1) 116", "", "11.4 110 116");
    row("fainter first", "116 1 V 2 110", "", "11.4 110 116");
    row("labels with points", "11.0 2 V 1 11.6", "", "11.4 110 116");
    row("letters", "A 3 V 2 B", "110 116", "11.4 110 116");
    row("letters reversed, fields with points", "b 2 v 3 a", "11.0 11.6", "11.4 110 116");
    row("letters without fields", "A 3 V 2 B", "", "read");
    row("letter of a field without a label", "A 3 V 2 B", "110 na", "read");
    row("equality", "V = 98", "", "9.8 98");
    row("equality with a letter", "V=A", "98 105", "9.8 98");
    row("fainter than", "< 116", "", "<11.6 116");
    row("fainter than, V", "V < 116", "", "<11.6 116");
    row("steps without the second star", "110 2 V", "", "free");
    row("V first among steps", "V 2 110 3", "", "free");
    row("a step of 0", "110 0 V 1 116", "", "free");
    row("steps in tenths", "110 1.5 V 1.5 116", "", "free");
    row("a bracket left open", "110 (2 V 1 116", "", "free");
    row("a label and a letter", "110 2 V 1 B", "110 116", "free");
    row("one letter twice", "A 2 V 1 A", "110 116", "free");
    row("words after", "110 2 V 1 116 haze", "", "free");
    row("imported", "110 116", "", "free");
    row("imported fainter than", "<140", "", "free");
    // A half rounds away from zero, to the fainter star, whichever comes first.
    row("either order", "111 1 V 1 110", "", "11.1 110 111");
    for (int i = 0; i < 10; ++i) {
        const QString fainter = QString::number(111 + i);
        row(QStringLiteral("11.%1").arg(i * 10 + 5, 2, 10, QLatin1Char('0')),
            QStringLiteral("%1 1 V 1 %2").arg(110 + i).arg(fainter), "",
            QStringLiteral("%1.%2 %3 %4").arg(fainter.left(2), fainter.right(1)).arg(110 + i).arg(fainter));
    }
}

void tst_varstars::notations()
{
    QFETCH(QString, written);
    QFETCH(QString, comps);
    QFETCH(QString, worked);
    const std::optional<Notation> notation = readNotation(written);
    QCOMPARE(notation.has_value(), worked != u"free");
    const std::optional<Reduction> reduced = workOut(written, comps.section(u' ', 0, 0), comps.section(u' ', 1));
    QCOMPARE(reduced.has_value(), notation && worked != u"read");
    if (reduced)
        QCOMPARE(
            (QStringList{(reduced->fainterThan ? "<" : "") + reduced->magnitude()} + reduced->labelTexts()).join(u' '),
            worked);
}

QTEST_APPLESS_MAIN(tst_varstars)
#include "tst_varstars.moc"
