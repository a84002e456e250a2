// SPDX-License-Identifier: GPL-2.0-or-later
#include "hostkit/leavecheck.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace hostkit;

namespace
{
class Screen final : public QWidget
{
public:
    Screen();

    QLineEdit *watched;
    QLineEdit *next;
    QPushButton *button;
    LeaveCheck *check;
    QStringList calls;
    bool cancel = false;
};

Screen::Screen()
    : watched(new QLineEdit(this))
    , next(new QLineEdit(this))
    , button(new QPushButton(QStringLiteral("Go"), this))
    , check(new LeaveCheck(watched))
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(watched);
    layout->addWidget(next);
    layout->addWidget(button);
    QObject::connect(check, &LeaveCheck::validate, this, [this](bool &cancelled) {
        calls.append("validate");
        cancelled = cancel;
    });
    QObject::connect(check, &LeaveCheck::departed, this, [this] { calls.append("departed"); });
}

bool showAndFocus(Screen &screen)
{
    screen.show();
    screen.activateWindow();
    if (!QTest::qWaitForWindowActive(&screen))
        return false;
    screen.watched->setFocus();
    return screen.watched->hasFocus();
}
}

class tst_leavecheck final : public QObject
{
    Q_OBJECT

private slots:
    void userMovesAreDepartures_data();
    void userMovesAreDepartures();
    void otherFocusChangesAreNot();
    void hidingOrDisablingIsNoDeparture();
    void targetWithoutValidationOnlyDeparts();
    void cancelPutsTheFocusBack();
    void focusTakenBackByMouseSwallowsThePress();
    void accessKeyRunsTheChecksFirst_data();
    void accessKeyRunsTheChecksFirst();
    void causesValidationSetting();
};

void tst_leavecheck::userMovesAreDepartures_data()
{
    QTest::addColumn<QString>("move");
    QTest::newRow("tab") << "tab";
    QTest::newRow("backtab") << "backtab";
    QTest::newRow("mouse") << "mouse";
}

void tst_leavecheck::userMovesAreDepartures()
{
    QFETCH(QString, move);
    Screen screen;
    QVERIFY(showAndFocus(screen));
    QSignalSpy clicked(screen.button, &QPushButton::clicked);

    if (move == "tab")
        QTest::keyClick(screen.watched, Qt::Key_Tab);
    else if (move == "backtab")
        QTest::keyClick(screen.watched, Qt::Key_Backtab, Qt::ShiftModifier);
    else
        QTest::mouseClick(screen.button, Qt::LeftButton);

    QCOMPARE(screen.calls, QStringList({"validate", "departed"}));
    QVERIFY(!screen.watched->hasFocus());
    if (move == "mouse")
        QCOMPARE(clicked.count(), 1);
}

void tst_leavecheck::otherFocusChangesAreNot()
{
    Screen screen;
    QVERIFY(showAndFocus(screen));

    screen.next->setFocus();
    screen.watched->setFocus();
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));

    QVERIFY(screen.calls.isEmpty());
}

void tst_leavecheck::hidingOrDisablingIsNoDeparture()
{
    Screen screen;
    QVERIFY(showAndFocus(screen));

    screen.watched->setEnabled(false);
    QVERIFY(!screen.watched->hasFocus());
    screen.watched->setEnabled(true);
    screen.watched->setFocus();
    screen.watched->hide();
    QVERIFY(!screen.watched->hasFocus());

    QVERIFY(screen.calls.isEmpty());
}

void tst_leavecheck::targetWithoutValidationOnlyDeparts()
{
    Screen screen;
    QVERIFY(showAndFocus(screen));
    LeaveCheck::setCausesValidation(screen.next, false);
    screen.cancel = true;

    QTest::keyClick(screen.watched, Qt::Key_Tab);

    QCOMPARE(screen.calls, QStringList{"departed"});
    QVERIFY(screen.next->hasFocus());
}

void tst_leavecheck::cancelPutsTheFocusBack()
{
    Screen screen;
    QVERIFY(showAndFocus(screen));
    screen.cancel = true;

    QTest::keyClick(screen.watched, Qt::Key_Tab);

    QCOMPARE(screen.calls, QStringList{"validate"});
    QVERIFY(screen.watched->hasFocus());
    // The field keeps working as the focused field.
    QTest::keyClicks(screen.watched, "ab");
    QCOMPARE(screen.watched->text(), QStringLiteral("ab"));
}

void tst_leavecheck::focusTakenBackByMouseSwallowsThePress()
{
    Screen screen;
    QVERIFY(showAndFocus(screen));
    connect(screen.check, &LeaveCheck::departed, screen.watched,
            [&screen] { screen.watched->setFocus(Qt::OtherFocusReason); });
    QSignalSpy clicked(screen.button, &QPushButton::clicked);
    screen.next->setText(QStringLiteral("abc"));
    screen.next->setCursorPosition(3);

    QTest::mouseClick(screen.button, Qt::LeftButton);
    QTest::mouseClick(screen.next, Qt::LeftButton, Qt::NoModifier, QPoint(2, 5));

    QCOMPARE(clicked.count(), 0);
    QCOMPARE(screen.next->cursorPosition(), 3);
    QVERIFY(screen.watched->hasFocus());
    QCOMPARE(screen.calls, QStringList({"validate", "departed", "validate", "departed"}));

    // The swallowing ends with the press it was armed for.
    QSignalSpy nextClicked(screen.button, &QPushButton::pressed);
    screen.check->disconnect(screen.watched);
    QTest::mouseClick(screen.button, Qt::LeftButton);
    QCOMPARE(nextClicked.count(), 1);
}

void tst_leavecheck::accessKeyRunsTheChecksFirst_data()
{
    QTest::addColumn<QString>("checks");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("acts");
    QTest::newRow("pass") << "pass" << QStringList{"validate", "departed"} << true;
    QTest::newRow("cancel") << "cancel" << QStringList{"validate"} << false;
    QTest::newRow("focus kept") << "keep" << QStringList{"validate", "departed"} << false;
}

void tst_leavecheck::accessKeyRunsTheChecksFirst()
{
    QFETCH(QString, checks);
    QFETCH(QStringList, calls);
    QFETCH(bool, acts);
    Screen screen;
    screen.button->setText(QStringLiteral("&Go"));
    QVERIFY(showAndFocus(screen));
    screen.cancel = checks == "cancel";
    if (checks == "keep")
        connect(screen.check, &LeaveCheck::departed, screen.watched,
                [&screen] { screen.watched->setFocus(Qt::OtherFocusReason); });
    QSignalSpy clicked(screen.button, &QPushButton::clicked);

    QTest::keyClick(screen.watched, Qt::Key_G, Qt::AltModifier);

    QCOMPARE(screen.calls, calls);
    QVERIFY(screen.watched->hasFocus());
    // A button clicked by its key is held down for a moment first.
    QCOMPARE(screen.button->isDown(), acts);
    if (acts)
        QTRY_COMPARE(clicked.count(), 1);
}

void tst_leavecheck::causesValidationSetting()
{
    QLineEdit edit;
    QVERIFY(LeaveCheck::causesValidation(&edit));
    LeaveCheck::setCausesValidation(&edit, false);
    QVERIFY(!LeaveCheck::causesValidation(&edit));
    LeaveCheck::setCausesValidation(&edit, true);
    QVERIFY(LeaveCheck::causesValidation(&edit));
}

QTEST_MAIN(tst_leavecheck)
#include "tst_leavecheck.moc"
