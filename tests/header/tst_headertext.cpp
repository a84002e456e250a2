// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/screenregistry.h"
#include "header/frmheadertext.h"
#include "header/headertext.h"
#include "screenkit/navigation.h"
#include "tests/support/appfolder.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testkit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

class tst_headertext final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void opensWithDefaultsAndSaveDisabled();
    void keysThatEnableSave_data();
    void keysThatEnableSave();
    void typedAndDeletedSavesTheDefaultBytes();
    void exampleCodeNoteUntilLine2Changes();
    void editedObserverCodeIsSaved();
    void savingReplacesAnEarlierHeader();
    void unwritableFolderKeepsEditorAndText();
    void characterOutsideTheCodePageIsRefused();
    void helpShowsTheContents();

private:
    QWidget *editor() const;
    QTextEdit *text() const;
    QPushButton *saveButton() const;

    AppFolder *m_folder = nullptr;
    MessageRecorder *m_messages = nullptr;
    app::ScreenRegistry *m_screens = nullptr;
};

void tst_headertext::init()
{
    m_folder = new AppFolder;
    m_messages = new MessageRecorder;
    m_screens = new app::ScreenRegistry(m_folder->programFolder());
    QWidget *screen = screenkit::show(screenkit::Screen::HeaderEditor);
    QVERIFY(QTest::qWaitForWindowActive(screen));
    text()->setFocus();
}

void tst_headertext::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete m_screens;
    delete m_messages;
    delete m_folder;
}

QWidget *tst_headertext::editor() const
{
    return screenkit::find(screenkit::Screen::HeaderEditor);
}

QTextEdit *tst_headertext::text() const
{
    return editor()->findChild<QTextEdit *>(QStringLiteral("RichTextBox1"));
}

QPushButton *tst_headertext::saveButton() const
{
    return editor()->findChild<QPushButton *>(QStringLiteral("cmdSaveheader"));
}

void tst_headertext::opensWithDefaultsAndSaveDisabled()
{
    QCOMPARE(editor()->windowTitle(), QStringLiteral("First-Time Header Entry"));
    QCOMPARE(text()->toPlainText(),
             QString::fromLatin1(defaultHeaderBytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    // The report credits this program, by name and version.
    QVERIFY2(QRegularExpression(QStringLiteral("\\n#SOFTWARE=varlume \\d+\\.\\d+\\n"))
                 .match(text()->toPlainText())
                 .hasMatch(),
             qPrintable(text()->toPlainText()));
    QVERIFY(!saveButton()->isEnabled());
    QCOMPARE(saveButton()->toolTip(), QStringLiteral("Confirm your header text"));
    // The instructions: eleven lines, each but the last ending in a blank.
    const QStringList lines = header::instructions().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 12);
    QVERIFY(lines.last().isEmpty());
    for (int i = 0; i < 10; ++i)
        QVERIFY2(lines.at(i).endsWith(QLatin1Char(' ')), qPrintable(lines.at(i)));
    QCOMPARE(lines.at(10), QStringLiteral("the app inserts this automatically!"));
    // All of them whole and in view, nothing to scroll.
    auto *guide = editor()->findChild<QPlainTextEdit *>(QStringLiteral("Text1"));
    QCOMPARE(guide->toPlainText(), header::instructions());
    QCOMPARE(guide->horizontalScrollBar()->maximum(), 0);
    QCOMPARE(guide->verticalScrollBar()->maximum(), 0);
}

void tst_headertext::keysThatEnableSave_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    // The text the platform gives the key; null: as QTest gives it.
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enables");
    const QString asQTest;
    QTest::newRow("letter") << int(Qt::Key_X) << int(Qt::NoModifier) << asQTest << true;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << int(Qt::NoModifier) << asQTest << true;
    QTest::newRow("return") << int(Qt::Key_Return) << int(Qt::NoModifier) << asQTest << true;
    QTest::newRow("ctrl+a") << int(Qt::Key_A) << int(Qt::ControlModifier) << asQTest << false;
    QTest::newRow("arrow") << int(Qt::Key_Down) << int(Qt::NoModifier) << asQTest << false;
    QTest::newRow("delete") << int(Qt::Key_Delete) << int(Qt::NoModifier) << asQTest << false;
    QTest::newRow("delete as X11 types it")
        << int(Qt::Key_Delete) << int(Qt::NoModifier) << QStringLiteral("\x7f") << false;
    QTest::newRow("ctrl+a as X11 types it")
        << int(Qt::Key_A) << int(Qt::ControlModifier) << QStringLiteral("\x01") << false;
    QTest::newRow("shift alone") << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << asQTest << false;
}

void tst_headertext::keysThatEnableSave()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(bool, enables);
    if (text.isNull()) {
        QTest::keyClick(this->text(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    } else {
        QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::KeyboardModifiers(modifiers), text);
        QApplication::sendEvent(this->text(), &press);
        QApplication::sendEvent(this->text(), &release);
    }
    QCOMPARE(saveButton()->isEnabled(), enables);
}

void tst_headertext::typedAndDeletedSavesTheDefaultBytes()
{
    text()->moveCursor(QTextCursor::End);
    QTest::keyClick(text(), Qt::Key_Q);
    QTest::keyClick(text(), Qt::Key_Backspace);
    QVERIFY(saveButton()->isEnabled());
    QTest::mouseClick(saveButton(), Qt::LeftButton);

    QCOMPARE(m_folder->read(QStringLiteral("header.txt")), defaultHeaderBytes);
    QTRY_VERIFY(!screenkit::find(screenkit::Screen::HeaderEditor));
    QWidget *start = screenkit::find(screenkit::Screen::Startup);
    QVERIFY(start && start->isVisible());
    QVERIFY(m_messages->messages().isEmpty());
}

void tst_headertext::exampleCodeNoteUntilLine2Changes()
{
    auto *note = editor()->findChild<QLabel *>(QStringLiteral("lblObscode"));
    QVERIFY(note->isVisible());
    QVERIFY(note->text().contains(QStringLiteral("KTV")));
    // Below the text field, clear of the buttons.
    QVERIFY(note->geometry().top() >= text()->geometry().bottom());
    QVERIFY(note->geometry().bottom() < saveButton()->geometry().top());

    QTextCursor cursor = text()->textCursor();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::Down);
    cursor.movePosition(QTextCursor::EndOfLine);
    text()->setTextCursor(cursor);
    QTest::keyClick(text(), Qt::Key_Backspace);
    QVERIFY(!note->isVisible());
    QTest::keyClick(text(), Qt::Key_V);
    QVERIFY(note->isVisible());
    QTest::keyClicks(text(), QStringLiteral("Q"));
    QVERIFY(!note->isVisible());
}

void tst_headertext::editedObserverCodeIsSaved()
{
    QTextCursor cursor = text()->textCursor();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::Down);
    cursor.movePosition(QTextCursor::EndOfLine);
    text()->setTextCursor(cursor);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(text(), Qt::Key_Backspace);
    QTest::keyClicks(text(), QStringLiteral("ÅBC"));
    QTest::mouseClick(saveButton(), Qt::LeftButton);
    QByteArray expected = defaultHeaderBytes;
    expected.replace("KTV",
                     "\xc5"
                     "BC");
    QCOMPARE(m_folder->read(QStringLiteral("header.txt")), expected);
}

void tst_headertext::savingReplacesAnEarlierHeader()
{
    m_folder->write(QStringLiteral("header.txt"),
                    "old header that is much longer than the new one\r\n\r\n\r\n\r\n\r\n");
    QTest::keyClick(text(), Qt::Key_Backspace);
    text()->setPlainText(QStringLiteral("#TYPE=Visual\n"));
    QTest::mouseClick(saveButton(), Qt::LeftButton);
    QCOMPARE(m_folder->read(QStringLiteral("header.txt")), QByteArray("#TYPE=Visual\r\n"));
}

void tst_headertext::unwritableFolderKeepsEditorAndText()
{
    ReadOnlyGuard readOnly(m_folder->path());
    if (!readOnly.ok())
        QSKIP("this file system cannot make a folder read-only");
    QTest::keyClicks(text(), QStringLiteral("#typed"));
    const QString typed = text()->toPlainText();
    QTest::mouseClick(saveButton(), Qt::LeftButton);

    QCOMPARE(m_messages->messages().size(), 1);
    const QString message = m_messages->messages().constFirst().text;
    QVERIFY2(message.contains(m_folder->file(QStringLiteral("header.txt"))), qPrintable(message));
    QVERIFY(editor() && editor()->isVisible());
    QCOMPARE(text()->toPlainText(), typed);
    QVERIFY(saveButton()->isEnabled());
    QVERIFY(!m_folder->exists(QStringLiteral("header.txt")));
    QVERIFY(!screenkit::find(screenkit::Screen::Startup));
}

void tst_headertext::characterOutsideTheCodePageIsRefused()
{
    QTest::keyClick(text(), Qt::Key_Backspace);
    text()->setPlainText(QStringLiteral("#OBSCODE=\u4e2d\n"));
    QTest::mouseClick(saveButton(), Qt::LeftButton);
    QCOMPARE(m_messages->messages().size(), 1);
    QVERIFY(m_messages->messages().constFirst().text.contains(QStringLiteral("\u4e2d")));
    QVERIFY(!m_folder->exists(QStringLiteral("header.txt")));
    QVERIFY(editor());
}

void tst_headertext::helpShowsTheContents()
{
    QVERIFY(QFile::copy(QStringLiteral(HELP_FILE), m_folder->file(QStringLiteral("quillon.html"))));
    QTest::mouseClick(editor()->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    QTRY_COMPARE(shownHelpTopic(), QStringLiteral("contents"));
}

QTEST_MAIN(tst_headertext)
#include "tst_headertext.moc"
