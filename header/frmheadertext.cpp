// SPDX-License-Identifier: GPL-2.0-or-later
#include "header/frmheadertext.h"

#include "appfiles/headerfile.h"
#include "header/headertext.h"
#include "header/logging.h"
#include "screenkit/navigation.h"
#include "screenkit/nightmode.h"
#include "screenkit/problembox.h"
#include "screenkit/ui.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace header
{

frmHeadertext::frmHeadertext(const QString &appFolder, QWidget *parent)
    : screenkit::Form(10350, 7035, parent)
    , m_appFolder(appFolder)
{
    setWindowTitle(QStringLiteral("First-Time Header Entry"));

    m_text = new QTextEdit(canvas());
    m_text->setObjectName(QStringLiteral("RichTextBox1"));
    m_text->setAcceptRichText(false);
    setScaledFont(m_text, screenkit::ui::msSansSerif(8.25));
    m_text->setPlainText(header::defaultHeader());
    m_text->installEventFilter(this);
    place(m_text, 480, 600, 4935, 3975);

    // The example observer code would credit someone else's observations.
    m_exampleCodeNote = new QLabel(QStringLiteral("Line 2 still holds the example observer code %1: replace it "
                                                  "with your own AAVSO observer code.")
                                       .arg(appfiles::exampleObserverCode()),
                                   canvas());
    m_exampleCodeNote->setObjectName(QStringLiteral("lblObscode"));
    setScaledFont(m_exampleCodeNote, screenkit::ui::msSansSerif(8.25, true));
    m_exampleCodeNote->setWordWrap(true);
    m_exampleCodeNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(m_exampleCodeNote, 480, 4680, 4935, 615);
    connect(m_text, &QTextEdit::textChanged, this, &frmHeadertext::showExampleCodeNote);
    showExampleCodeNote();

    auto *title = new QLabel(QStringLiteral("First Time personal header initialisation"), canvas());
    title->setObjectName(QStringLiteral("Label1"));
    setScaledFont(title, screenkit::ui::msSansSerif(9.75, true));
    title->setWordWrap(true);
    title->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(title, 5640, 600, 4335, 615);

    // All eleven lines whole and in view: a size smaller than the design's
    // 12 points, and as wide as the window allows.
    auto *guide = new QPlainTextEdit(header::instructions(), canvas());
    guide->setObjectName(QStringLiteral("Text1"));
    guide->setReadOnly(true);
    guide->setLineWrapMode(QPlainTextEdit::NoWrap);
    guide->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    guide->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setScaledFont(guide, screenkit::ui::msSansSerif(11));
    QPalette face = guide->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    screenkit::night::setDayPalette(guide, face);
    place(guide, 5640, 1440, 4620, 3735);

    auto *helpButton = new QPushButton(QStringLiteral("&Help"), canvas());
    helpButton->setObjectName(QStringLiteral("Command1"));
    place(helpButton, 7560, 6240, 855, 495);
    connect(helpButton, &QPushButton::clicked, this,
            [] { screenkit::help(screenkit::HelpCommand::DisplayContents, 1001); });

    m_save = new QPushButton(QStringLiteral("&Save"), canvas());
    m_save->setObjectName(QStringLiteral("cmdSaveheader"));
    m_save->setToolTip(QStringLiteral("Confirm your header text"));
    m_save->setEnabled(false);
    place(m_save, 8760, 6240, 1455, 495);
    connect(m_save, &QPushButton::clicked, this, &frmHeadertext::save);

    setTabOrder(m_text, guide);
    setTabOrder(guide, helpButton);
    setTabOrder(helpButton, m_save);
    m_text->setFocus();
}

bool frmHeadertext::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (header::countsAsEdit(key->key(), key->modifiers(), key->text()))
            m_save->setEnabled(true);
    }
    return QWidget::eventFilter(watched, event);
}

void frmHeadertext::showExampleCodeNote()
{
    m_exampleCodeNote->setVisible(header::holdsExampleCode(m_text->toPlainText()));
}

void frmHeadertext::save()
{
    if (const outcome::Done saved = header::saveHeader(m_appFolder, m_text->toPlainText()); !saved) {
        screenkit::showProblem(saved.problem(), header::lc());
        return;
    }
    screenkit::show(screenkit::Screen::Startup);
    hide();
    close();
}

} // namespace header
