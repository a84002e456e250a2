// SPDX-License-Identifier: GPL-2.0-or-later
#include "hostkit/leavecheck.h"
#include "numbox/numbox.h"
#include "tests/support/messagerecorder.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace hostkit;

using ferrow::numbox;

namespace
{
// A host that connects by signal name, as a host without ferrow's headers
// does, and can change the by-reference arguments it is handed.
class Host final : public QObject
{
    Q_OBJECT

public:
    struct Key
    {
        short code;
        short shift;
    };

    QList<Key> keysDown;
    QList<Key> keysUp;
    QList<QList<double>> mouseDowns;
    int validations = 0;
    bool cancelValidation = false;
    short cancelKeyCode = -1;

public slots:
    void onKeyDown(short &keyCode, short &shift)
    {
        keysDown.append({keyCode, shift});
        if (keyCode == cancelKeyCode)
            keyCode = 0;
    }
    void onKeyUp(short &keyCode, short &shift) { keysUp.append({keyCode, shift}); }
    void onMouseDown(short &button, short &shift, float &x, float &y)
    {
        mouseDowns.append({double(button), double(shift), x, y});
    }
    void onValidate(bool &cancel)
    {
        ++validations;
        cancel = cancelValidation;
    }
};

class Screen final : public QWidget
{
public:
    Screen();

    numbox *field;
    QLineEdit *other;
    QPushButton *button;
    Host host;
};

Screen::Screen()
    : field(new numbox(this))
    , other(new QLineEdit(this))
    , button(new QPushButton(QStringLiteral("Enter"), this))
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(field);
    layout->addWidget(other);
    layout->addWidget(button);
    QObject::connect(field, SIGNAL(KeyDown(short &, short &)), &host, SLOT(onKeyDown(short &, short &)));
    QObject::connect(field, SIGNAL(KeyUp(short &, short &)), &host, SLOT(onKeyUp(short &, short &)));
    QObject::connect(field, SIGNAL(MouseDown(short &, short &, float &, float &)), &host,
                     SLOT(onMouseDown(short &, short &, float &, float &)));
    QObject::connect(field, SIGNAL(Validate(bool &)), &host, SLOT(onValidate(bool &)));
}

bool showAndFocus(Screen &screen)
{
    screen.show();
    screen.activateWindow();
    if (!QTest::qWaitForWindowActive(&screen))
        return false;
    screen.field->setFocus();
    return screen.field->textBox()->hasFocus();
}
}

class tst_ferrow_events final : public QObject
{
    Q_OBJECT

private slots:
    void changeOnTypingAndOnText();
    void keyCodes_data();
    void keyCodes();
    void keyCodeZeroCancelsTheKey();
    void keyPressIsNeverRaised();
    void mouseDownInTwips();
    void clickAndDoubleClick();
    void validateBeforeLeaving();
    void cancelKeepsTheFocus();
    void cancelByMouseKeepsTheTargetUnclicked();
    void noValidateForTargetsThatDoNotCauseIt();
};

void tst_ferrow_events::changeOnTypingAndOnText()
{
    numbox box;
    QSignalSpy change(&box, SIGNAL(Change()));
    QTest::keyClicks(box.textBox(), "1x2");
    QCOMPARE(change.count(), 2);
    box.setText(QStringLiteral("abc"));
    QCOMPARE(change.count(), 3);
    box.setProperty("Text", QStringLiteral("abc"));
    QCOMPARE(change.count(), 3);
}

void tst_ferrow_events::keyCodes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("shift");

    QTest::newRow("digit") << int(Qt::Key_5) << int(Qt::NoModifier) << 53 << 0;
    QTest::newRow("shifted letter") << int(Qt::Key_A) << int(Qt::ShiftModifier) << 65 << 1;
    QTest::newRow("ctrl+alt letter") << int(Qt::Key_Z) << int(Qt::ControlModifier | Qt::AltModifier) << 90 << 6;
    QTest::newRow("delete") << int(Qt::Key_Delete) << int(Qt::NoModifier) << 46 << 0;
    QTest::newRow("left") << int(Qt::Key_Left) << int(Qt::NoModifier) << 37 << 0;
    QTest::newRow("return") << int(Qt::Key_Return) << int(Qt::NoModifier) << 13 << 0;
    QTest::newRow("F1") << int(Qt::Key_F1) << int(Qt::NoModifier) << 112 << 0;
    QTest::newRow("minus") << int(Qt::Key_Minus) << int(Qt::NoModifier) << 189 << 0;
    QTest::newRow("keypad 7") << int(Qt::Key_7) << int(Qt::KeypadModifier) << 103 << 0;
    QTest::newRow("keypad minus") << int(Qt::Key_Minus) << int(Qt::KeypadModifier) << 109 << 0;
}

void tst_ferrow_events::keyCodes()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, code);
    QFETCH(int, shift);
    Screen screen;
    QTest::keyClick(screen.field->textBox(), static_cast<Qt::Key>(key), static_cast<Qt::KeyboardModifiers>(modifiers));
    // QTest presses and releases modifier keys around the key itself.
    QVERIFY(!screen.host.keysDown.isEmpty());
    QCOMPARE(screen.host.keysDown.last().code, code);
    QCOMPARE(screen.host.keysDown.last().shift, shift);
    const auto released = std::find_if(screen.host.keysUp.cbegin(), screen.host.keysUp.cend(),
                                       [code](const Host::Key &up) { return up.code == code; });
    QVERIFY(released != screen.host.keysUp.cend());
}

void tst_ferrow_events::keyCodeZeroCancelsTheKey()
{
    Screen screen;
    QLineEdit *field = screen.field->textBox();
    screen.host.cancelKeyCode = 53;
    QTest::keyClicks(field, "456");
    QCOMPARE(screen.field->Text(), QStringLiteral("46"));

    screen.host.cancelKeyCode = 8;
    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(screen.field->Text(), QStringLiteral("46"));

    // A cancelled minus sign does not use up the instance's one minus.
    screen.host.cancelKeyCode = 189;
    field->setCursorPosition(0);
    QTest::keyClick(field, Qt::Key_Minus);
    screen.host.cancelKeyCode = -1;
    QTest::keyClick(field, Qt::Key_Minus);
    QCOMPARE(screen.field->Text(), QStringLiteral("-46"));
}

void tst_ferrow_events::keyPressIsNeverRaised()
{
    numbox box;
    QSignalSpy keyPress(&box, SIGNAL(KeyPress(short &)));
    QTest::keyClicks(box.textBox(), "12a-");
    QCOMPARE(keyPress.count(), 0);
}

void tst_ferrow_events::mouseDownInTwips()
{
    Screen screen;
    QVERIFY(showAndFocus(screen));
    QLineEdit *field = screen.field->textBox();
    QTest::mousePress(field, Qt::LeftButton, Qt::NoModifier, QPoint(10, 5));
    QTest::mouseRelease(field, Qt::LeftButton, Qt::NoModifier, QPoint(10, 5));
    QTest::mousePress(field, Qt::RightButton, Qt::ShiftModifier, QPoint(3, 4));
    QTest::mouseRelease(field, Qt::RightButton, Qt::ShiftModifier, QPoint(3, 4));

    const QList<QList<double>> expected{{1, 0, 150, 75}, {2, 1, 45, 60}};
    QCOMPARE(screen.host.mouseDowns, expected);
}

void tst_ferrow_events::clickAndDoubleClick()
{
    Screen screen;
    QVERIFY(showAndFocus(screen));
    QSignalSpy click(screen.field, SIGNAL(Click()));
    QSignalSpy doubleClick(screen.field, SIGNAL(DblClick()));

    QTest::mouseClick(screen.field->textBox(), Qt::LeftButton);
    QCOMPARE(click.count(), 1);
    QCOMPARE(doubleClick.count(), 0);

    QTest::mouseDClick(screen.field->textBox(), Qt::LeftButton);
    QCOMPARE(doubleClick.count(), 1);
}

void tst_ferrow_events::validateBeforeLeaving()
{
    MessageRecorder recorder;
    Screen screen;
    QVERIFY(showAndFocus(screen));
    screen.field->setMinval(1);
    QStringList order;
    connect(screen.field, &numbox::Validate, this, [&order](bool &) { order.append("Validate"); });
    recorder.onMessage([&order](const hostkit::Message &) { order.append("range check"); });

    QTest::keyClick(screen.field->textBox(), Qt::Key_Tab);

    QCOMPARE(order, QStringList({"Validate", "range check"}));
    QCOMPARE(screen.host.validations, 1);
}

void tst_ferrow_events::cancelKeepsTheFocus()
{
    MessageRecorder recorder;
    Screen screen;
    QVERIFY(showAndFocus(screen));
    screen.field->setMinval(1);
    screen.host.cancelValidation = true;

    QTest::keyClick(screen.field->textBox(), Qt::Key_Tab);

    QCOMPARE(screen.host.validations, 1);
    QVERIFY(screen.field->textBox()->hasFocus());
    // The field was never left, so its range is not checked.
    QVERIFY(recorder.texts().isEmpty());

    screen.host.cancelValidation = false;
    screen.field->setText(QStringLiteral("5"));
    QTest::keyClick(screen.field->textBox(), Qt::Key_Tab);
    QVERIFY(screen.other->hasFocus());
}

void tst_ferrow_events::cancelByMouseKeepsTheTargetUnclicked()
{
    Screen screen;
    QVERIFY(showAndFocus(screen));
    screen.host.cancelValidation = true;
    QSignalSpy clicked(screen.button, &QPushButton::clicked);

    QTest::mouseClick(screen.button, Qt::LeftButton);

    QCOMPARE(screen.host.validations, 1);
    QCOMPARE(clicked.count(), 0);
    QVERIFY(screen.field->textBox()->hasFocus());
}

void tst_ferrow_events::noValidateForTargetsThatDoNotCauseIt()
{
    MessageRecorder recorder;
    Screen screen;
    QVERIFY(showAndFocus(screen));
    screen.field->setMinval(1);
    screen.host.cancelValidation = true;
    LeaveCheck::setCausesValidation(screen.other, false);

    QTest::keyClick(screen.field->textBox(), Qt::Key_Tab);

    QCOMPARE(screen.host.validations, 0);
    QCOMPARE(recorder.texts().size(), 1);
    QVERIFY(screen.field->textBox()->hasFocus());
}

QTEST_MAIN(tst_ferrow_events)
#include "tst_ferrow_events.moc"
