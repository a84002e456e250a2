// SPDX-License-Identifier: GPL-2.0-or-later
#include "hostkit/formdesign.h"
#include "hostkit/propertybag.h"
#include "numbox/numbox.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testkit.h"

#include <QApplication>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace hostkit;

using ferrow::numbox;

namespace
{
QPixmap picture(const QColor &colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(2, 2, 12, 12, colour);
    return pixmap;
}

QFont hostFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(11);
    return font;
}

// The year field's bag as the observation screen's saved design holds it.
PropertyBag nbYearBag()
{
    const FormDesign design = entryScreenDesign();
    const ControlDesign *year = design.control(QStringLiteral("nbYear"));
    return year ? year->properties : PropertyBag();
}
}

class tst_ferrow_properties final : public QObject
{
    Q_OBJECT

private slots:
    void interfaceOrder();
    void defaults_data();
    void defaults();
    void writingMarksChanged_data();
    void writingMarksChanged();
    void shortPropertiesRefuseWideValues_data();
    void shortPropertiesRefuseWideValues();
    void multiLineIsReadOnly();
    void fontBoldMakesTheTextBold();
    void passedThroughToTheInnerField();
    void innerFieldFillsTheControl();
    void freshControlSavesOnlyItsFontNameAndSize();
    void savedBagOmitsDefaults();
    void heldPropertiesRoundTrip();
    void restoreMarksOnlyMouseIcon();
    void restoreAppliesFontBeforeFontProperties();
    void restoreTakesMinvalAboveMaxval();
    void restoredYearRefusesEarlierYear();
};

void tst_ferrow_properties::interfaceOrder()
{
    const QMetaObject &meta = numbox::staticMetaObject;
    QStringList names;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
        names.append(QString::fromLatin1(meta.property(i).name()));
    const QStringList expected{"Alignment",        "AutoRedraw",      "BackColor", "BackStyle", "BorderStyle",
                               "CausesValidation", "Enabled",         "FillColor", "FillStyle", "Font",
                               "FontBold",         "FontItalic",      "FontName",  "FontSize",  "FontTransparent",
                               "FontUnderline",    "ForeColor",       "Locked",    "MaxLength", "MouseIcon",
                               "MultiLine",        "SelLength",       "SelStart",  "SelText",   "Text",
                               "ToolTipText",      "WhatsThisHelpID", "minval",    "maxval"};
    QCOMPARE(names, expected);

    QStringList events;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        if (meta.method(i).methodType() == QMetaMethod::Signal)
            events.append(QString::fromLatin1(meta.method(i).name()));
    }
    QCOMPARE(
        events,
        QStringList({"Change", "Click", "DblClick", "GetDataMember", "InitProperties", "KeyDown", "KeyPress", "KeyUp",
                     "MouseDown", "ReadProperties", "Resize", "Validate", "WriteProperties", "PropertyChanged"}));
}

void tst_ferrow_properties::defaults_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");

    QTest::newRow("Alignment") << "Alignment" << QVariant(0);
    QTest::newRow("AutoRedraw") << "AutoRedraw" << QVariant(false);
    QTest::newRow("BackColor") << "BackColor" << QVariant(0x80000005u);
    QTest::newRow("BackStyle") << "BackStyle" << QVariant(0);
    QTest::newRow("BorderStyle") << "BorderStyle" << QVariant(1);
    QTest::newRow("CausesValidation") << "CausesValidation" << QVariant(true);
    QTest::newRow("Enabled") << "Enabled" << QVariant(true);
    QTest::newRow("FillColor") << "FillColor" << QVariant(0);
    QTest::newRow("FillStyle") << "FillStyle" << QVariant(0);
    QTest::newRow("FontTransparent") << "FontTransparent" << QVariant(false);
    QTest::newRow("ForeColor") << "ForeColor" << QVariant(0x80000008u);
    QTest::newRow("Locked") << "Locked" << QVariant(false);
    QTest::newRow("MaxLength") << "MaxLength" << QVariant(0);
    QTest::newRow("MultiLine") << "MultiLine" << QVariant(false);
    QTest::newRow("Text") << "Text" << QVariant(QString());
    QTest::newRow("WhatsThisHelpID") << "WhatsThisHelpID" << QVariant(0);
    QTest::newRow("minval") << "minval" << QVariant(-90);
    QTest::newRow("maxval") << "maxval" << QVariant(90);
}

void tst_ferrow_properties::defaults()
{
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    numbox box;
    QCOMPARE(box.property(name.toLatin1()), value);
}

void tst_ferrow_properties::writingMarksChanged_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");

    QTest::newRow("Alignment") << "Alignment" << QVariant(2);
    QTest::newRow("AutoRedraw") << "AutoRedraw" << QVariant(true);
    QTest::newRow("BackColor") << "BackColor" << QVariant(0x00FF8000u);
    QTest::newRow("BackStyle") << "BackStyle" << QVariant(1);
    QTest::newRow("BorderStyle") << "BorderStyle" << QVariant(0);
    QTest::newRow("CausesValidation") << "CausesValidation" << QVariant(false);
    QTest::newRow("Enabled") << "Enabled" << QVariant(false);
    QTest::newRow("FillColor") << "FillColor" << QVariant(0x123456);
    QTest::newRow("FillStyle") << "FillStyle" << QVariant(7);
    QTest::newRow("Font") << "Font" << QVariant(QFont(QStringLiteral("Courier"), 14));
    QTest::newRow("FontBold") << "FontBold" << QVariant(true);
    QTest::newRow("FontItalic") << "FontItalic" << QVariant(true);
    QTest::newRow("FontName") << "FontName" << QVariant(QStringLiteral("Courier"));
    QTest::newRow("FontSize") << "FontSize" << QVariant(20.5f);
    QTest::newRow("FontTransparent") << "FontTransparent" << QVariant(true);
    QTest::newRow("FontUnderline") << "FontUnderline" << QVariant(true);
    QTest::newRow("ForeColor") << "ForeColor" << QVariant(0x000000FFu);
    QTest::newRow("Locked") << "Locked" << QVariant(true);
    QTest::newRow("MaxLength") << "MaxLength" << QVariant(4);
    QTest::newRow("MouseIcon") << "MouseIcon" << QVariant(picture(Qt::red));
    QTest::newRow("SelStart") << "SelStart" << QVariant(2);
    QTest::newRow("SelLength") << "SelLength" << QVariant(3);
    QTest::newRow("SelText") << "SelText" << QVariant(QStringLiteral("9"));
    QTest::newRow("Text") << "Text" << QVariant(QStringLiteral("77"));
    QTest::newRow("ToolTipText") << "ToolTipText" << QVariant(QStringLiteral("Year"));
    QTest::newRow("WhatsThisHelpID") << "WhatsThisHelpID" << QVariant(1001);
    QTest::newRow("minval") << "minval" << QVariant(2017);
    QTest::newRow("maxval") << "maxval" << QVariant(2100);
}

void tst_ferrow_properties::writingMarksChanged()
{
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    numbox box;
    box.setText(QStringLiteral("12345"));
    box.setSelStart(0);
    QSignalSpy changed(&box, &numbox::PropertyChanged);

    QVERIFY(box.setProperty(name.toLatin1(), value));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().toString(), name);
    if (name != QLatin1String("SelText"))
        QVERIFY(PropertyBag::sameValue(box.property(name.toLatin1()), value));

    // Writing the value it already has is no change.
    if (name != QLatin1String("SelText")) {
        box.setProperty(name.toLatin1(), value);
        QCOMPARE(changed.count(), 1);
    }
}

void tst_ferrow_properties::shortPropertiesRefuseWideValues_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");

    QTest::newRow("minval too low") << "minval" << -32769 << -90;
    QTest::newRow("minval lowest") << "minval" << -32768 << -32768;
    QTest::newRow("maxval too high") << "maxval" << 32768 << 90;
    QTest::newRow("maxval highest") << "maxval" << 32767 << 32767;
    QTest::newRow("BackStyle too high") << "BackStyle" << 70000 << 0;
    QTest::newRow("FillStyle too low") << "FillStyle" << -40000 << 0;
    QTest::newRow("Alignment unknown") << "Alignment" << 3 << 0;
    QTest::newRow("BorderStyle unknown") << "BorderStyle" << 2 << 1;
    QTest::newRow("MaxLength negative") << "MaxLength" << -1 << 0;
}

void tst_ferrow_properties::shortPropertiesRefuseWideValues()
{
    QFETCH(QString, name);
    QFETCH(int, value);
    QFETCH(int, expected);
    numbox box;
    box.setProperty(name.toLatin1(), value);
    QCOMPARE(box.property(name.toLatin1()).toInt(), expected);
}

void tst_ferrow_properties::multiLineIsReadOnly()
{
    numbox box;
    const QMetaProperty multiLine = box.metaObject()->property(box.metaObject()->indexOfProperty("MultiLine"));
    QVERIFY(multiLine.isReadable());
    QVERIFY(!multiLine.isWritable());
    QVERIFY(!box.setProperty("MultiLine", true));
    QCOMPARE(box.property("MultiLine"), QVariant(false));
}

void tst_ferrow_properties::fontBoldMakesTheTextBold()
{
    numbox box;
    QSignalSpy changed(&box, &numbox::PropertyChanged);
    box.setProperty("FontBold", true);
    QVERIFY(box.textBox()->font().bold());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().toString(), QStringLiteral("FontBold"));
}

void tst_ferrow_properties::passedThroughToTheInnerField()
{
    numbox box;
    QLineEdit *field = box.textBox();

    box.setBackColor(0x00000080u);
    box.setForeColor(0x0000FF00u);
    QCOMPARE(field->palette().color(QPalette::Base), QColor(0x80, 0, 0));
    QCOMPARE(field->palette().color(QPalette::Text), QColor(0, 0xFF, 0));
    box.setBackColor(ferrow::SystemWindowBackground);
    QCOMPARE(field->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));

    box.setAlignment(1);
    QVERIFY(field->alignment() & Qt::AlignRight);
    box.setBorderStyle(0);
    QVERIFY(!field->hasFrame());
    box.setEnabledProperty(false);
    QVERIFY(!field->isEnabled());
    box.setEnabledProperty(true);
    box.setToolTipText(QStringLiteral("Year of the observation"));
    QCOMPARE(field->toolTip(), QStringLiteral("Year of the observation"));

    box.setMaxLength(3);
    QTest::keyClicks(field, "12345");
    QCOMPARE(box.Text(), QStringLiteral("123"));
    box.setMaxLength(0);
    QTest::keyClicks(field, "45");
    QCOMPARE(box.Text(), QStringLiteral("12345"));

    box.setSelStart(1);
    box.setSelLength(2);
    QCOMPARE(field->selectedText(), QStringLiteral("23"));
    QCOMPARE(box.SelText(), QStringLiteral("23"));
    box.setSelText(QStringLiteral("9"));
    QCOMPARE(box.Text(), QStringLiteral("1945"));
    box.setSelStart(99);
    QCOMPARE(box.SelStart(), 4);

    box.setLocked(true);
    QTest::keyClicks(field, "6");
    QCOMPARE(box.Text(), QStringLiteral("1945"));
}

void tst_ferrow_properties::innerFieldFillsTheControl()
{
    numbox box;
    box.show();
    box.resize(65, 33);
    QCOMPARE(box.textBox()->geometry(), box.rect());
    box.setContentsMargins(2, 3, 4, 5);
    box.resize(120, 40);
    QCOMPARE(box.textBox()->geometry(), box.contentsRect());
    QCOMPARE(box.textBox()->geometry(), QRect(2, 3, 114, 32));
}

void tst_ferrow_properties::freshControlSavesOnlyItsFontNameAndSize()
{
    QWidget host;
    host.setFont(hostFont());
    numbox box(&host);
    PropertyBag bag;
    box.writeProperties(bag);
    QCOMPARE(bag.names(), QStringList({"fontname", "fontsize"}));
    QCOMPARE(bag.read("FontName").toString(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(bag.read("FontSize").toDouble(), 11.0);
}

void tst_ferrow_properties::savedBagOmitsDefaults()
{
    QWidget host;
    host.setFont(hostFont());
    numbox box(&host);
    box.setMinval(2017);
    box.setMaxval(-90);
    box.setFontItalic(true);
    box.setText(QStringLiteral("2020"));
    PropertyBag bag;
    box.writeProperties(bag);

    // In the order of the property interface; maxval -90 is no default.
    QCOMPARE(bag.names(),
             QStringList({"font", "fontitalic", "fontname", "fontsize", "selstart", "text", "minval", "maxval"}));
    QCOMPARE(bag.read("minval"), QVariant(2017));
    QCOMPARE(bag.read("MAXVAL"), QVariant(-90));
    QVERIFY(bag.read("Font").value<QFont>().italic());
}

void tst_ferrow_properties::heldPropertiesRoundTrip()
{
    numbox original;
    original.setAutoRedraw(true);
    original.setBackStyle(1);
    original.setFillColor(0x123456);
    original.setFillStyle(5);
    original.setFontTransparent(true);
    original.setWhatsThisHelpID(4711);
    original.setCausesValidation(false);
    original.setMouseIcon(picture(Qt::blue));
    PropertyBag saved;
    original.writeProperties(saved);

    QString error;
    const PropertyBag reread = PropertyBag::fromText(saved.toText(), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    numbox restored;
    restored.readProperties(reread);

    for (const char *name : {"AutoRedraw", "BackStyle", "FillColor", "FillStyle", "FontTransparent", "WhatsThisHelpID",
                             "CausesValidation"})
        QCOMPARE(restored.property(name), original.property(name));
    QCOMPARE(restored.MouseIcon().toImage(), original.MouseIcon().toImage());
    PropertyBag again;
    restored.writeProperties(again);
    QVERIFY(again == saved);
}

void tst_ferrow_properties::restoreMarksOnlyMouseIcon()
{
    PropertyBag bag;
    bag.write("minval", 5);
    bag.write("text", QStringLiteral("12"));
    bag.write("fontbold", true);
    bag.write("backcolor", 0xFFu);
    bag.write("mouseicon", picture(Qt::green));
    numbox box;
    QSignalSpy changed(&box, &numbox::PropertyChanged);
    box.readProperties(bag);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().toString(), QStringLiteral("MouseIcon"));
    QCOMPARE(box.minval(), 5);
    QCOMPARE(box.Text(), QStringLiteral("12"));
}

void tst_ferrow_properties::restoreAppliesFontBeforeFontProperties()
{
    QString error;
    const PropertyBag bag = PropertyBag::fromText(QStringLiteral(R"(font = Font("Arial", 12, Bold, Italic)
fontname = "Courier"
fontsize = 9
fontunderline = True
)"),
                                                  &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    numbox box;
    box.readProperties(bag);
    const QFont font = box.textBox()->font();
    QCOMPARE(font.family(), QStringLiteral("Courier"));
    QCOMPARE(font.pointSizeF(), 9.0);
    QVERIFY(!font.bold());
    QVERIFY(!font.italic());
    QVERIFY(font.underline());
}

void tst_ferrow_properties::restoreTakesMinvalAboveMaxval()
{
    PropertyBag bag;
    bag.write("minval", 50);
    bag.write("maxval", 10);
    numbox box;
    box.readProperties(bag);
    QCOMPARE(box.minval(), 50);
    QCOMPARE(box.maxval(), 10);
}

void tst_ferrow_properties::restoredYearRefusesEarlierYear()
{
    const PropertyBag bag = nbYearBag();
    QVERIFY(bag.contains(QStringLiteral("minval")));
    MessageRecorder recorder;
    QWidget screen;
    auto *year = new numbox(&screen);
    auto *month = new numbox(&screen);
    auto *layout = new QVBoxLayout(&screen);
    layout->addWidget(year);
    layout->addWidget(month);
    year->readProperties(bag);
    QCOMPARE(year->BackColor(), 0x80u);
    QCOMPARE(year->ForeColor(), 0xFFu);
    QCOMPARE(year->FontName(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(year->FontSize(), 9.75f);
    QVERIFY(year->FontBold());
    screen.show();
    screen.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&screen));
    year->setFocus();

    QTest::keyClicks(year->textBox(), "2016");
    QTest::keyClick(year->textBox(), Qt::Key_Tab);
    QCOMPARE(recorder.texts(), QStringList{"Number is smaller than the minimum allowable value"});
    QVERIFY(year->textBox()->hasFocus());

    QTest::keyClicks(year->textBox(), "2017");
    QTest::keyClick(year->textBox(), Qt::Key_Tab);
    QCOMPARE(recorder.texts().size(), 1);
    QVERIFY(month->textBox()->hasFocus());
}

QTEST_MAIN(tst_ferrow_properties)
#include "tst_ferrow_properties.moc"
