// SPDX-License-Identifier: GPL-2.0-or-later
#include "hostkit/formdesign.h"
#include "hostkit/propertybag.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QTest>

using namespace hostkit;

namespace
{
QPixmap picture()
{
    QPixmap pixmap(8, 8);
    pixmap.fill(Qt::yellow);
    QPainter painter(&pixmap);
    painter.fillRect(0, 0, 4, 4, Qt::darkBlue);
    return pixmap;
}

const char *const twoControls = R"(' The year and month fields.
Begin ferrow.numbox nbYear
   Library = "libferrow.so"
   Clsid = "{292A4CC2-87A1-4483-821B-D13579577ABE}"
   _extentx = 1720
   _extenty = 873
   backcolor = &H00000080&
   font = Font("MS Sans Serif", 9.75, Bold)
   fontbold = True
   fontname = "MS Sans Serif"
   fontsize = 9.75
   forecolor = &H000000FF&
   minval = 2017
   maxval = 2100
End

Begin ferrow.numbox nbMonth
   Library = "libferrow.so"
   Clsid = "{292A4CC2-87A1-4483-821B-D13579577ABE}"
   minval = 1
   maxval = 12
End
)";
}

class tst_propertybag final : public QObject
{
    Q_OBJECT

private slots:
    void namesIgnoreCase();
    void writeOmitsDefaults();
    void valuesRoundTripAsText_data();
    void valuesRoundTripAsText();
    void textIsReadable();
    void malformedText_data();
    void malformedText();
    void designHoldsSeveralControls();
    void designRoundTrips();
    void malformedDesign_data();
    void malformedDesign();
};

void tst_propertybag::namesIgnoreCase()
{
    PropertyBag bag;
    bag.write("MinVal", 2017);
    QVERIFY(bag.contains("minval"));
    QCOMPARE(bag.read("MINVAL"), QVariant(2017));
    bag.write("minval", 2018);
    QCOMPARE(bag.names(), QStringList{"minval"});
    QCOMPARE(bag.read("MinVal"), QVariant(2018));
}

void tst_propertybag::writeOmitsDefaults()
{
    PropertyBag bag;
    bag.write("maxval", 90, 90);
    bag.write("FontSize", 9.75f, 0.0);
    bag.write("Enabled", true, true);
    bag.write("MouseIcon", QPixmap(), QPixmap());
    QCOMPARE(bag.names(), QStringList{"fontsize"});
    QCOMPARE(bag.read("maxval", 90), QVariant(90));

    // Going back to the default drops what was stored.
    bag.write("FontSize", 0.0f, 0.0);
    QVERIFY(bag.isEmpty());
}

void tst_propertybag::valuesRoundTripAsText_data()
{
    QTest::addColumn<QVariant>("value");

    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(9.75);
    font.setBold(true);
    QFont styled(QStringLiteral("Courier New"));
    styled.setPointSizeF(12);
    styled.setItalic(true);
    styled.setUnderline(true);
    styled.setStrikeOut(true);

    QTest::newRow("integer") << QVariant(2017);
    QTest::newRow("negative integer") << QVariant(-90);
    QTest::newRow("double") << QVariant(9.75);
    QTest::newRow("whole double") << QVariant(10.0);
    QTest::newRow("true") << QVariant(true);
    QTest::newRow("false") << QVariant(false);
    QTest::newRow("text with quotes") << QVariant(QStringLiteral("say \"\"hi\" = ok"));
    QTest::newRow("text over lines") << QVariant(QStringLiteral("one\ntwo\r\nEnd"));
    QTest::newRow("empty text") << QVariant(QString());
    QTest::newRow("colour") << QVariant(0x00000080u);
    QTest::newRow("system colour") << QVariant(0x80000005u);
    QTest::newRow("font") << QVariant(font);
    QTest::newRow("styled font") << QVariant(styled);
    QTest::newRow("picture") << QVariant(picture());
}

void tst_propertybag::valuesRoundTripAsText()
{
    QFETCH(QVariant, value);
    PropertyBag bag;
    bag.write("before", 1);
    bag.write("value", value);
    bag.write("after", 2);

    QString error;
    const PropertyBag reread = PropertyBag::fromText(bag.toText(), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(reread.names(), QStringList({"before", "value", "after"}));
    QCOMPARE(reread.read("value").typeId(), value.typeId());
    QVERIFY(PropertyBag::sameValue(reread.read("value"), value));
    QCOMPARE(reread.read("after"), QVariant(2));
}

void tst_propertybag::textIsReadable()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(9.75);
    font.setBold(true);
    PropertyBag bag;
    bag.write("minval", 2017);
    bag.write("backcolor", 0x80u);
    bag.write("fontname", QStringLiteral("MS Sans Serif"));
    bag.write("fontsize", 9.75f);
    bag.write("fontbold", true);
    bag.write("font", font);
    QCOMPARE(bag.toText(),
             QStringLiteral("minval = 2017\n"
                            "backcolor = &H00000080&\n"
                            "fontname = \"MS Sans Serif\"\n"
                            "fontsize = 9.75\n"
                            "fontbold = True\n"
                            "font = Font(\"MS Sans Serif\", 9.75, Bold)\n"));
}

void tst_propertybag::malformedText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");

    QTest::newRow("no equals sign") << "minval = 1\nmaxval 2\n"
                                    << "line 2: \"=\" is expected after maxval";
    QTest::newRow("no value") << "minval =\n"
                              << "line 1: a value is expected";
    QTest::newRow("open quote") << "a = 1\ntext = \"abc\n"
                                << "line 3: the quoted text is not closed";
    QTest::newRow("trailing text") << "a = 1 2\n"
                                   << "line 1: unexpected text after the value of a";
    QTest::newRow("unknown word") << "a = Maybe\n"
                                  << "line 1: unknown value \"Maybe\"";
    QTest::newRow("bad colour") << "a = &Hxyz&\n"
                                << "line 1: a hexadecimal number is expected after \"&H\"";
    QTest::newRow("unknown font style") << "f = Font(\"A\", 9, Heavy)\n"
                                        << "line 1: unknown font style \"heavy\"";
    QTest::newRow("bad picture") << "p = Picture(\"AAAA\")\n"
                                 << "line 1: the picture is not a PNG image";
}

void tst_propertybag::malformedText()
{
    QFETCH(QString, text);
    QFETCH(QString, error);
    QString reported;
    const PropertyBag bag = PropertyBag::fromText(text, &reported);
    QCOMPARE(reported, error);
    QVERIFY(bag.isEmpty());
}

void tst_propertybag::designHoldsSeveralControls()
{
    QString error;
    const FormDesign design = FormDesign::fromText(QString::fromLatin1(twoControls), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(design.controls().size(), 2);

    const ControlDesign *year = design.control("nbyear");
    QVERIFY(year);
    QCOMPARE(year->name, QStringLiteral("nbYear"));
    QCOMPARE(year->progId, QStringLiteral("ferrow.numbox"));
    QCOMPARE(year->library, QStringLiteral("libferrow.so"));
    QCOMPARE(year->clsid, QStringLiteral("{292A4CC2-87A1-4483-821B-D13579577ABE}"));
    QCOMPARE(year->properties.names(),
             QStringList({"_extentx", "_extenty", "backcolor", "font", "fontbold", "fontname", "fontsize", "forecolor",
                          "minval", "maxval"}));
    QCOMPARE(year->properties.read("backcolor"), QVariant(0x80u));
    QCOMPARE(year->properties.read("forecolor"), QVariant(0xFFu));
    QCOMPARE(year->properties.read("fontsize"), QVariant(9.75));
    const QFont font = year->properties.read("font").value<QFont>();
    QCOMPARE(font.family(), QStringLiteral("MS Sans Serif"));
    QVERIFY(font.bold());

    QCOMPARE(design.control("nbMonth")->properties.read("maxval"), QVariant(12));
    QVERIFY(!design.control("nbDay"));
}

void tst_propertybag::designRoundTrips()
{
    const FormDesign design = FormDesign::fromText(QString::fromLatin1(twoControls));
    QString error;
    const FormDesign reread = FormDesign::fromText(design.toText(), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(reread.toText(), design.toText());
    QVERIFY(reread.control("nbYear")->properties == design.control("nbYear")->properties);
}

void tst_propertybag::malformedDesign_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");

    QTest::newRow("no Begin") << "minval = 1\n"
                              << "line 1: \"Begin\" is expected";
    QTest::newRow("no name") << "Begin ferrow.numbox\nEnd\n"
                             << "line 1: \"Begin\" needs a programmatic name and a control name";
    QTest::newRow("no End") << "Begin ferrow.numbox nbDay\n   minval = 1\n"
                            << "line 3: \"End\" of nbDay is missing";
    QTest::newRow("bad value") << "Begin ferrow.numbox nbDay\n   minval = \"1\n"
                               << "line 3: the quoted text is not closed";
}

void tst_propertybag::malformedDesign()
{
    QFETCH(QString, text);
    QFETCH(QString, error);
    QString reported;
    const FormDesign design = FormDesign::fromText(text, &reported);
    QCOMPARE(reported, error);
    QVERIFY(design.controls().isEmpty());
}

QTEST_MAIN(tst_propertybag)
#include "tst_propertybag.moc"
