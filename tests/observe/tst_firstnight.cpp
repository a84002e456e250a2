// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/screenregistry.h"
#include "screenkit/navigation.h"
#include "tests/support/appfolder.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testkit.h"

#include <QApplication>
#include <QDate>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

// A new observer's first night, from an empty folder to the first line of
// the report, through the screens only.
class tst_firstnight final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstObservationFromAnEmptyFolder();
};

void tst_firstnight::firstObservationFromAnEmptyFolder()
{
    AppFolder folder;
    QVERIFY(QFile::copy(QStringLiteral(FERROW_LIBRARY), folder.file(QStringLiteral("libferrow.so"))));
    MessageRecorder messages;
    const app::ScreenRegistry screens(folder.programFolder());
    QWidget *start = screenkit::show(screenkit::Screen::Startup);

    // The header editor opens by itself; the observer puts in an own code.
    QWidget *editor = screenkit::find(screenkit::Screen::HeaderEditor);
    QVERIFY(editor);
    auto *headerText = editor->findChild<QTextEdit *>(QStringLiteral("RichTextBox1"));
    // It is in front of the start screen, with the focus.
    QVERIFY(QTest::qWaitForWindowActive(editor));
    headerText->setFocus();
    QTextCursor cursor = headerText->textCursor();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::Down);
    cursor.movePosition(QTextCursor::EndOfLine);
    headerText->setTextCursor(cursor);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(headerText, Qt::Key_Backspace);
    QTest::keyClicks(headerText, QStringLiteral("ABC"));
    QTest::mouseClick(editor->findChild<QPushButton *>(QStringLiteral("cmdSaveheader")), Qt::LeftButton);
    QTRY_VERIFY(!screenkit::find(screenkit::Screen::HeaderEditor));

    QVERIFY(QTest::qWaitForWindowActive(start));
    QTest::keyClick(start, Qt::Key_O, Qt::AltModifier);
    // An access key clicks its button a moment later, as a press shows.
    QTRY_VERIFY(screenkit::find(screenkit::Screen::Observation));
    QWidget *entry = screenkit::find(screenkit::Screen::Observation);
    QVERIFY(QTest::qWaitForWindowActive(entry));

    auto *grid = entry->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"));
    QTableWidgetItem *cygnus = grid->findItems(QStringLiteral("Cyg"), Qt::MatchExactly).value(0);
    grid->scrollToItem(cygnus);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(cygnus).center());
    auto *stars = entry->findChild<QListWidget *>(QStringLiteral("ddStars"));
    QCOMPARE(stars->count(), 1);
    QTest::mouseClick(stars->viewport(), Qt::LeftButton, {}, stars->visualItemRect(stars->item(0)).center());

    typeInto(entry->findChild<QWidget *>(QStringLiteral("txtStar")), QStringLiteral("ss cyg"));
    // From the year on, Tab carries the observer from field to field.
    typeInto(entry->findChild<QWidget *>(QStringLiteral("nbYear")), QStringLiteral("2018"));
    for (const char *text : {"1", "5", "21", "30", "110(1)115", "", "11.2", "110", "115", "1896"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (*text)
            QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(text));
    }
    QTest::keyClick(entry, Qt::Key_E, Qt::AltModifier);
    QTRY_VERIFY(!entry->findChild<QPushButton *>(QStringLiteral("cmdEnter"))->isEnabled());
    QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.dump()));

    const QString day = QDate::currentDate().toString(QStringLiteral("yyyy-"))
        + QLocale(QLocale::English).monthName(QDate::currentDate().month(), QLocale::ShortFormat)
        + QDate::currentDate().toString(QStringLiteral("-dd"));
    QCOMPARE(folder.read(QStringLiteral("obs/") + day + QStringLiteral(".txt")),
             QByteArray(defaultHeaderBytes).replace("=KTV", "=ABC")
                 + "ss cyg|2458124.3958|11.2|na|110|115|1896|na\r\n");

    if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
        QSKIP("sqlite3 is not installed");
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"),
                 {folder.file(QStringLiteral("starcharts.mdb")), QStringLiteral("select * from cumobs")});
    QVERIFY(sqlite.waitForFinished());
    QCOMPARE(QString::fromUtf8(sqlite.readAllStandardOutput()).trimmed(),
             QStringLiteral("ss cyg|11.2|110(1)115|2458124.3958|na|na|1896"));
}

QTEST_MAIN(tst_firstnight)
#include "tst_firstnight.moc"
