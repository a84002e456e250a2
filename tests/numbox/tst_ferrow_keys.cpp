// SPDX-License-Identifier: GPL-2.0-or-later
#include "numbox/numbox.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

using ferrow::numbox;

namespace
{
// QTest types ASCII only; other symbols arrive as a key with just a text.
void type(QWidget *field, const QString &symbols)
{
    for (const QChar symbol : symbols) {
        if (symbol.unicode() < 128) {
            QTest::keyClick(field, symbol.toLatin1());
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(symbol));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(symbol));
        QApplication::sendEvent(field, &press);
        QApplication::sendEvent(field, &release);
    }
}
}

class tst_ferrow_keys final : public QObject
{
    Q_OBJECT

private slots:
    void typedSymbols_data();
    void typedSymbols();
    void minusOnlyOncePerInstance();
    void minusNeedsSelectionStartZero();
    void minusFlagBelongsToTheInstance();
    void editingKeysKeepTheirEffect_data();
    void editingKeysKeepTheirEffect();
    void controlCharactersAreDropped();
    void inputMethodCannotBypassTheFilter();
    void pasteKeysInsertNothing();
    void middleClickPastesNothing();
    void dropInsertsNothing();
    void hostTextBypassesTheFilter();
};

void tst_ferrow_keys::typedSymbols_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("digits") << "2018"
                            << "2018";
    QTest::newRow("letter and full stop between") << "20a1.8"
                                                  << "2018";
    QTest::newRow("per-cent refused") << "12%"
                                      << "12";
    QTest::newRow("apostrophe refused") << "'12'"
                                        << "12";
    QTest::newRow("minus first") << "-5"
                                 << "-5";
    QTest::newRow("minus later refused") << "5-"
                                         << "5";
    QTest::newRow("second minus refused") << "--5"
                                          << "-5";
    QTest::newRow("plus, blank, comma refused") << "+1 2,3"
                                                << "123";
    QTest::newRow("non-ASCII digits refused") << QString::fromUtf8("1\u0663\u00b22") << "12";
}

void tst_ferrow_keys::typedSymbols()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    numbox box;
    type(box.textBox(), typed);
    QCOMPARE(box.Text(), expected);
}

void tst_ferrow_keys::minusOnlyOncePerInstance()
{
    numbox box;
    QLineEdit *field = box.textBox();
    QTest::keyClick(field, Qt::Key_Minus);
    QCOMPARE(box.Text(), QStringLiteral("-"));

    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(box.Text(), QString());
    QTest::keyClick(field, Qt::Key_Minus);
    QCOMPARE(box.Text(), QString());

    // Not even after the host clears the field: only the flag counts.
    box.setText(QString());
    QTest::keyClicks(field, "-7");
    QCOMPARE(box.Text(), QStringLiteral("7"));
}

void tst_ferrow_keys::minusNeedsSelectionStartZero()
{
    numbox box;
    QLineEdit *field = box.textBox();
    box.setText(QStringLiteral("12"));

    field->setCursorPosition(1);
    QTest::keyClick(field, Qt::Key_Minus);
    QCOMPARE(box.Text(), QStringLiteral("12"));
    QCOMPARE(field->cursorPosition(), 1);

    // A selection from 0 counts as position 0 even with the caret at its end.
    field->setSelection(0, 2);
    QCOMPARE(field->cursorPosition(), 2);
    QTest::keyClick(field, Qt::Key_Minus);
    QCOMPARE(box.Text(), QStringLiteral("-"));
}

void tst_ferrow_keys::minusFlagBelongsToTheInstance()
{
    numbox first;
    numbox second;
    QTest::keyClicks(first.textBox(), "-1");
    QTest::keyClicks(second.textBox(), "-2");
    QCOMPARE(first.Text(), QStringLiteral("-1"));
    QCOMPARE(second.Text(), QStringLiteral("-2"));
}

void tst_ferrow_keys::editingKeysKeepTheirEffect_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("expected");

    QTest::newRow("backspace") << QList<int>{Qt::Key_Backspace} << "123";
    QTest::newRow("home, delete") << QList<int>{Qt::Key_Home, Qt::Key_Delete} << "234";
    QTest::newRow("left, backspace") << QList<int>{Qt::Key_Left, Qt::Key_Backspace} << "124";
    QTest::newRow("home, right, 9") << QList<int>{Qt::Key_Home, Qt::Key_Right, Qt::Key_9} << "19234";
    QTest::newRow("home, end, 0") << QList<int>{Qt::Key_Home, Qt::Key_End, Qt::Key_0} << "12340";
    QTest::newRow("return and escape") << QList<int>{Qt::Key_Return, Qt::Key_Escape} << "1234";
}

void tst_ferrow_keys::editingKeysKeepTheirEffect()
{
    QFETCH(QList<int>, keys);
    QFETCH(QString, expected);
    numbox box;
    QTest::keyClicks(box.textBox(), "1234");
    for (const int key : keys)
        QTest::keyClick(box.textBox(), static_cast<Qt::Key>(key));
    QCOMPARE(box.Text(), expected);
}

void tst_ferrow_keys::controlCharactersAreDropped()
{
    numbox box;
    QLineEdit *field = box.textBox();
    box.setText(QStringLiteral("12"));
    QApplication::clipboard()->setText(QStringLiteral("abc"));

    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box.Text(), QStringLiteral("12"));

    // As a real keyboard delivers Ctrl+V: with the control character as text.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QString(QChar(22)));
    QApplication::sendEvent(field, &press);
    QCOMPARE(box.Text(), QStringLiteral("12"));
}

void tst_ferrow_keys::inputMethodCannotBypassTheFilter()
{
    numbox box;
    QLineEdit *field = box.textBox();
    QVERIFY(!field->testAttribute(Qt::WA_InputMethodEnabled));
    box.setLocked(true);
    box.setLocked(false);
    QVERIFY(!field->testAttribute(Qt::WA_InputMethodEnabled));

    QInputMethodEvent event;
    event.setCommitString(QStringLiteral("x%"));
    QApplication::sendEvent(field, &event);
    QCOMPARE(box.Text(), QString());
}

void tst_ferrow_keys::pasteKeysInsertNothing()
{
    numbox box;
    QLineEdit *field = box.textBox();
    box.setText(QStringLiteral("12"));
    field->setCursorPosition(2);
    QApplication::clipboard()->setText(QStringLiteral("abc34"));
    // Shift+Insert types no symbol, so the symbol filter alone lets it by.
    QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
    QKeyEvent pasteKey(QEvent::KeyPress, Qt::Key_Paste, Qt::NoModifier);
    QApplication::sendEvent(field, &pasteKey);
    QCOMPARE(box.Text(), QStringLiteral("12"));
    // The context menu's Paste is not offered either.
    QCOMPARE(field->contextMenuPolicy(), Qt::NoContextMenu);
    QTest::keyClicks(field, "-5");
    QCOMPARE(box.Text(), QStringLiteral("125"));
}

void tst_ferrow_keys::middleClickPastesNothing()
{
    QClipboard *clipboard = QApplication::clipboard();
    if (!clipboard->supportsSelection())
        QSKIP("this platform has no selection to paste: the suite's run under X covers it");
    clipboard->setText(QStringLiteral("abc34"), QClipboard::Selection);
    // A plain field pastes it, so the click does reach the toolkit's paste.
    QLineEdit plain;
    QTest::mouseClick(&plain, Qt::MiddleButton);
    QTRY_COMPARE(plain.text(), QStringLiteral("abc34"));

    numbox box;
    box.setText(QStringLiteral("12"));
    short pressed = 0;
    connect(&box, &numbox::MouseDown, &box, [&pressed](short &button, short &, float &, float &) { pressed = button; });
    QTest::mouseClick(box.textBox(), Qt::MiddleButton);
    QCOMPARE(box.Text(), QStringLiteral("12"));
    // The host still hears of the button.
    QCOMPARE(pressed, short(4));
}

void tst_ferrow_keys::dropInsertsNothing()
{
    QMimeData data;
    data.setText(QStringLiteral("abc34"));
    const auto dropOn = [&data](QWidget *target) {
        const QPoint at(2, 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return drop.isAccepted();
    };
    QLineEdit plain;
    dropOn(&plain);
    QCOMPARE(plain.text(), QStringLiteral("abc34"));

    numbox box;
    box.setText(QStringLiteral("12"));
    QVERIFY(!dropOn(box.textBox()));
    QCOMPARE(box.Text(), QStringLiteral("12"));
}

void tst_ferrow_keys::hostTextBypassesTheFilter()
{
    numbox box;
    box.setText(QStringLiteral("abc%'-"));
    QCOMPARE(box.Text(), QStringLiteral("abc%'-"));
    QCOMPARE(box.textBox()->text(), QStringLiteral("abc%'-"));
}

QTEST_MAIN(tst_ferrow_keys)
#include "tst_ferrow_keys.moc"
