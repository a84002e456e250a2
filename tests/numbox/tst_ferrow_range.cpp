// SPDX-License-Identifier: GPL-2.0-or-later
#include "numbox/numbox.h"
#include "tests/support/messagerecorder.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using ferrow::numbox;

namespace
{
const QString smaller = QStringLiteral("Number is smaller than the minimum allowable value");
const QString greater = QStringLiteral("Number is greater than the maximum allowable value");

// A screen with two fields and a button, shown and active, the focus in the
// first field.
class Screen final : public QWidget
{
public:
    Screen();

    numbox *first;
    numbox *second;
    QPushButton *button;
};

Screen::Screen()
    : first(new numbox(this))
    , second(new numbox(this))
    , button(new QPushButton(QStringLiteral("Enter"), this))
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addWidget(button);
}

bool showAndFocus(Screen &screen)
{
    screen.show();
    screen.activateWindow();
    if (!QTest::qWaitForWindowActive(&screen))
        return false;
    screen.first->setFocus();
    return screen.first->textBox()->hasFocus();
}
}

class tst_ferrow_range final : public QObject
{
    Q_OBJECT

private slots:
    void leavingChecksTheRange_data();
    void leavingChecksTheRange();
    void messageComesBeforeEmptying();
    void everyDepartureIsChecked();
    void mouseDepartureDoesNotClickTheTarget();
    void inRangeMouseDepartureClicks();
    void programmaticFocusMoveIsNoDeparture();
    void checkTakesLimitsAsTheyAreNow();
    void realBoxesShowOneMessagePerDeparture();
};

void tst_ferrow_range::leavingChecksTheRange_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("remaining");

    QTest::newRow("below the year range") << "2016" << 2017 << 2100 << QStringList{smaller} << "";
    QTest::newRow("above the minute range") << "60" << 0 << 59 << QStringList{greater} << "";
    QTest::newRow("inside") << "2017" << 2017 << 2100 << QStringList{} << "2017";
    QTest::newRow("empty, range from 1") << "" << 1 << 31 << QStringList{smaller} << "";
    QTest::newRow("empty, range holds 0") << "" << -90 << 90 << QStringList{} << "";
    QTest::newRow("five nines") << "99999" << -32768 << 32767 << QStringList{greater} << "";
    QTest::newRow("two messages in a row") << "-5" << -3 << -1 << QStringList{smaller, greater} << "";
    QTest::newRow("letters count as 0, outside") << "abc" << 1 << 12 << QStringList{smaller} << "";
    QTest::newRow("letters count as 0, inside") << "abc" << 0 << 12 << QStringList{} << "abc";
    QTest::newRow("leading number only") << " 12abc" << 0 << 12 << QStringList{} << " 12abc";
    QTest::newRow("decimal part counts") << "59.5" << 0 << 59 << QStringList{greater} << "";
    QTest::newRow("no exponent") << "5e3" << 0 << 59 << QStringList{} << "5e3";
    QTest::newRow("lone minus is 0") << "-" << 1 << 5 << QStringList{smaller} << "";
}

void tst_ferrow_range::leavingChecksTheRange()
{
    QFETCH(QString, text);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(QStringList, messages);
    QFETCH(QString, remaining);

    MessageRecorder recorder;
    Screen screen;
    screen.first->setMinval(minimum);
    screen.first->setMaxval(maximum);
    QVERIFY(showAndFocus(screen));
    screen.first->setText(text);

    QTest::keyClick(screen.first->textBox(), Qt::Key_Tab);

    QCOMPARE(recorder.texts(), messages);
    for (const auto &message : recorder.messages()) {
        QCOMPARE(message.title, QStringLiteral("Number out of Range"));
        QCOMPARE(message.icon, QMessageBox::Information);
        QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    QCOMPARE(screen.first->Text(), remaining);
    QLineEdit *expectedFocus = messages.isEmpty() ? screen.second->textBox() : screen.first->textBox();
    QCOMPARE(QApplication::focusWidget(), expectedFocus);
}

void tst_ferrow_range::messageComesBeforeEmptying()
{
    MessageRecorder recorder;
    Screen screen;
    screen.first->setMinval(2017);
    screen.first->setMaxval(2100);
    QVERIFY(showAndFocus(screen));
    QTest::keyClicks(screen.first->textBox(), "2016");
    QString textDuringBox;
    recorder.onMessage([&](const hostkit::Message &) { textDuringBox = screen.first->Text(); });

    QTest::keyClick(screen.first->textBox(), Qt::Key_Tab);

    QCOMPARE(textDuringBox, QStringLiteral("2016"));
    QCOMPARE(screen.first->Text(), QString());
    QVERIFY(screen.first->textBox()->hasFocus());

    // Still out of range, so the next try is refused again.
    QTest::keyClick(screen.first->textBox(), Qt::Key_Tab);
    QCOMPARE(recorder.texts(), QStringList({smaller, smaller}));
    QVERIFY(screen.first->textBox()->hasFocus());
}

void tst_ferrow_range::everyDepartureIsChecked()
{
    MessageRecorder recorder;
    Screen screen;
    screen.first->setMinval(1);
    screen.second->setCausesValidation(false);
    QVERIFY(showAndFocus(screen));

    QTest::keyClick(screen.first->textBox(), Qt::Key_Tab);
    QCOMPARE(recorder.texts(), QStringList{smaller});

    QTest::keyClick(screen.first->textBox(), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(recorder.texts(), QStringList({smaller, smaller}));
    QVERIFY(screen.first->textBox()->hasFocus());
}

void tst_ferrow_range::mouseDepartureDoesNotClickTheTarget()
{
    MessageRecorder recorder;
    Screen screen;
    screen.first->setMinval(2017);
    screen.first->setMaxval(2100);
    QVERIFY(showAndFocus(screen));
    screen.first->setText(QStringLiteral("2016"));
    QSignalSpy clicked(screen.button, &QPushButton::clicked);

    QTest::mouseClick(screen.button, Qt::LeftButton);

    QCOMPARE(recorder.texts(), QStringList{smaller});
    QVERIFY(screen.first->textBox()->hasFocus());
    QCOMPARE(clicked.count(), 0);
    QVERIFY(!screen.button->isDown());

    // The next click, after the correction, is an ordinary one.
    screen.first->setText(QStringLiteral("2020"));
    QTest::mouseClick(screen.button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(recorder.texts(), QStringList{smaller});
}

void tst_ferrow_range::inRangeMouseDepartureClicks()
{
    MessageRecorder recorder;
    Screen screen;
    QVERIFY(showAndFocus(screen));
    screen.first->setText(QStringLiteral("45"));
    QSignalSpy clicked(screen.button, &QPushButton::clicked);

    QTest::mouseClick(screen.button, Qt::LeftButton);

    QCOMPARE(clicked.count(), 1);
    QVERIFY(recorder.texts().isEmpty());
    QCOMPARE(QApplication::focusWidget(), screen.button);
}

void tst_ferrow_range::programmaticFocusMoveIsNoDeparture()
{
    MessageRecorder recorder;
    Screen screen;
    screen.first->setMinval(1);
    QVERIFY(showAndFocus(screen));

    screen.second->setFocus();

    QVERIFY(recorder.texts().isEmpty());
    QVERIFY(screen.second->textBox()->hasFocus());
}

void tst_ferrow_range::checkTakesLimitsAsTheyAreNow()
{
    MessageRecorder recorder;
    Screen screen;
    QVERIFY(showAndFocus(screen));
    screen.first->setText(QStringLiteral("95"));
    screen.first->setMaxval(100);

    QTest::keyClick(screen.first->textBox(), Qt::Key_Tab);

    QVERIFY(recorder.texts().isEmpty());
    QCOMPARE(screen.first->Text(), QStringLiteral("95"));
}

// With real modal boxes the box takes the focus from the field the user
// tabbed to; that must not count as leaving that field, which is itself out of
// range, else the boxes would chase each other.
void tst_ferrow_range::realBoxesShowOneMessagePerDeparture()
{
    Screen screen;
    screen.first->setMinval(2017);
    screen.first->setMaxval(2100);
    screen.second->setMinval(1);
    screen.second->setMaxval(31);
    QVERIFY(showAndFocus(screen));
    screen.first->setText(QStringLiteral("2016"));

    // Plays the user closing each box, and the window manager giving the
    // screen back its activation once the box is gone.
    QStringList shown;
    bool boxTookFocus = true;
    QTimer closer;
    closer.setInterval(10);
    connect(&closer, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box && !box->isActiveWindow())
            return;
        if (box) {
            shown.append(box->text());
            boxTookFocus = boxTookFocus && QApplication::focusWidget() && QApplication::focusWidget()->window() == box;
            box->button(QMessageBox::Ok)->click();
        } else if (!screen.isActiveWindow()) {
            screen.activateWindow();
        }
    });
    closer.start();

    QTest::keyClick(screen.first->textBox(), Qt::Key_Tab);
    QTRY_VERIFY(screen.isActiveWindow());
    QCoreApplication::processEvents();
    closer.stop();

    QVERIFY(boxTookFocus);
    QCOMPARE(shown, QStringList{smaller});
    QCOMPARE(screen.first->Text(), QString());
    QCOMPARE(QApplication::focusWidget(), screen.first->textBox());
    QCOMPARE(screen.second->Text(), QString());
}

QTEST_MAIN(tst_ferrow_range)
#include "tst_ferrow_range.moc"
