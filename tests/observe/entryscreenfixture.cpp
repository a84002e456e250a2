// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/observe/entryscreenfixture.h"

#include "app/screenregistry.h"
#include "observe/frmentryscreen.h"
#include "screenkit/navigation.h"
#include "tests/support/observations.h"
#include "tests/support/sqlfile.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

EntryScreenFixture::EntryScreenFixture(bool withLibrary)
    : m_folder(std::make_unique<AppFolder>())
    , m_messages(std::make_unique<MessageRecorder>())
{
    m_folder->prepare();
    if (withLibrary)
        m_folder->installLibrary();
    m_screens = std::make_unique<app::ScreenRegistry>(m_folder->programFolder());
}

EntryScreenFixture::~EntryScreenFixture()
{
    // Closing the observation screen may bring up the report check: it goes too.
    for (int round = 0; round < 2; ++round) {
        for (QWidget *w : QApplication::topLevelWidgets())
            w->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_screens.reset();
}

AppFolder &EntryScreenFixture::folder()
{
    return *m_folder;
}

MessageRecorder &EntryScreenFixture::messages()
{
    return *m_messages;
}

void EntryScreenFixture::setClock(observe::modEntryscreen::Clock clock)
{
    m_screens.reset();
    m_screens = std::make_unique<app::ScreenRegistry>(m_folder->programFolder(), std::move(clock));
}

observe::frmEntryscreen *EntryScreenFixture::launch()
{
    QWidget *start = screenkit::show(screenkit::Screen::Startup);
    if (!QTest::qWaitForWindowExposed(start))
        return nullptr;
    QTest::mouseClick(start->findChild<QPushButton *>(QStringLiteral("cmdObserve")), Qt::LeftButton);
    auto *entry = screen();
    return entry && QTest::qWaitForWindowExposed(entry) ? entry : nullptr;
}

observe::frmEntryscreen *EntryScreenFixture::open()
{
    auto *entry = launch();
    return entry && QTest::qWaitForWindowActive(entry) ? entry : nullptr;
}

observe::frmEntryscreen *EntryScreenFixture::screen() const
{
    return qobject_cast<observe::frmEntryscreen *>(screenkit::find(screenkit::Screen::Observation));
}

void EntryScreenFixture::close()
{
    if (auto *entry = screen())
        entry->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QLineEdit *EntryScreenFixture::edit(const char *name) const
{
    return screen()->findChild<QLineEdit *>(QLatin1String(name));
}

QWidget *EntryScreenFixture::widget(const char *name) const
{
    return screen()->findChild<QWidget *>(QLatin1String(name));
}

QLineEdit *EntryScreenFixture::inner(const char *name) const
{
    QWidget *field = widget(name);
    return field ? qobject_cast<QLineEdit *>(field->focusProxy()) : nullptr;
}

QPushButton *EntryScreenFixture::button(const char *name) const
{
    return screen()->findChild<QPushButton *>(QLatin1String(name));
}

void EntryScreenFixture::chooseStar(const QString &constellation, const QString &star)
{
    auto *grid = screen()->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"));
    const auto cells = grid->findItems(constellation, Qt::MatchExactly);
    QTableWidgetItem *cell = cells.value(0);
    grid->scrollToItem(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(cell).center());
    auto *stars = screen()->findChild<QListWidget *>(QStringLiteral("ddStars"));
    const auto items = stars->findItems(star, Qt::MatchExactly);
    if (items.isEmpty())
        return;
    stars->scrollToItem(items.first());
    QTest::mouseClick(stars->viewport(), Qt::LeftButton, {}, stars->visualItemRect(items.first()).center());
}

void EntryScreenFixture::type(QWidget *field, const QString &text)
{
    QWidget *target = field->focusProxy() ? field->focusProxy() : field;
    QTest::mouseClick(target, Qt::LeftButton);
    QCoreApplication::processEvents();
    if (auto *line = qobject_cast<QLineEdit *>(target))
        line->selectAll();
    if (text.isEmpty())
        QTest::keyClick(target, Qt::Key_Delete);
    else
        QTest::keyClicks(target, text);
}

void EntryScreenFixture::setDate(int year, int month, int day, int hour, int minute)
{
    const int values[5] = {year, month, day, hour, minute};
    const char *names[5] = {"nbYear", "nbMonth", "nbDay", "nbHour", "nbMinute"};
    for (int i = 0; i < 5; ++i)
        type(widget(names[i]), QString::number(values[i]));
}

void EntryScreenFixture::fillExample()
{
    type(edit("txtStar"), QStringLiteral("ss cyg"));
    setDate(2018, 1, 5, 21, 30);
    type(edit("txtEstimate"), QStringLiteral("110(1)115"));
    type(edit("txtMagn"), QStringLiteral("11.2"));
    type(edit("nbComp1"), QStringLiteral("110"));
    type(edit("nbComp2"), QStringLiteral("115"));
    type(edit("txtChartid"), QStringLiteral("1896"));
}

void EntryScreenFixture::enter()
{
    QTest::mouseClick(button("cmdEnter"), Qt::LeftButton);
}

QString EntryScreenFixture::reportPath() const
{
    return screen()->todaysfile();
}

QByteArray EntryScreenFixture::report() const
{
    QFile file(reportPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList EntryScreenFixture::cumobsRows() const
{
    return ::cumobsRows(m_folder->path());
}

void EntryScreenFixture::setNightly(const QString &star, const QString &flag)
{
    SqlFile(m_folder->path()).exec(QStringLiteral("UPDATE Charts SET nightly = ? WHERE starname = ?"), {flag, star});
}
