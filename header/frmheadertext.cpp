// SPDX-License-Identifier: GPL-2.0-or-later
#include "header/frmheadertext.h"

#include "appfiles/headerfile.h"
#include "header/headertext.h"
#include "header/logging.h"
#include "screenkit/navigation.h"
#include "screenkit/nightmode.h"
#include "screenkit/problembox.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace header
{

using screenkit::into;

const screenkit::Control frmHeadertext::controls[] = {
    {.name = "RichTextBox1",
     .kind = into<&frmHeadertext::m_text>,
     .at = {480, 600, 4935, 3975},
     .tab = 1,
     .font = {8.25, false}},
    // The example observer code would credit someone else's observations.
    {.name = "lblObscode",
     .kind = into<&frmHeadertext::m_exampleCodeNote>,
     .at = {480, 4680, 4935, 615},
     .font = {8.25, true},
     .flags = screenkit::WordWrap,
     .align = Qt::AlignLeft | Qt::AlignTop},
    {.name = "Label1",
     .kind = screenkit::widget<QLabel>,
     .at = {5640, 600, 4335, 615},
     .text = "First Time personal header initialisation",
     .font = {9.75, true},
     .flags = screenkit::WordWrap,
     .align = Qt::AlignLeft | Qt::AlignTop},
    // All eleven lines whole and in view: a size smaller than the design's
    // 12 points, and as wide as the window allows.
    {.name = "Text1",
     .kind = into<&frmHeadertext::m_guide>,
     .at = {5640, 1440, 4620, 3735},
     .tab = 2,
     .font = {11, false}},
    {.name = "Command1",
     .kind = into<&frmHeadertext::m_Command1>,
     .at = {7560, 6240, 855, 495},
     .text = "&Help",
     .tab = 3},
    {.name = "cmdSaveheader",
     .kind = into<&frmHeadertext::m_save>,
     .at = {8760, 6240, 1455, 495},
     .text = "&Save",
     .tip = "Confirm your header text",
     .tab = 4,
     .flags = screenkit::Disabled},
};

frmHeadertext::frmHeadertext(const appfiles::Folder &appFolder, QWidget *parent)
    : screenkit::Form(10350, 7035, parent)
    , m_appFolder(appFolder)
{
    setWindowTitle(QStringLiteral("First-Time Header Entry"));
    screenkit::build(*this, controls);
    m_text->setAcceptRichText(false);
    m_text->setPlainText(header::defaultHeader());
    m_text->installEventFilter(this);
    m_exampleCodeNote->setText(QStringLiteral("Line 2 still holds the example observer code %1: replace it "
                                              "with your own AAVSO observer code.")
                                   .arg(appfiles::exampleObserverCode()));
    connect(m_text, &QTextEdit::textChanged, this, &frmHeadertext::showExampleCodeNote);
    showExampleCodeNote();
    m_guide->setPlainText(header::instructions());
    m_guide->setReadOnly(true);
    m_guide->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_guide->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_guide->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette face = m_guide->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    screenkit::night::setDayPalette(m_guide, face);
    connect(m_Command1, &QPushButton::clicked, this,
            [] { screenkit::help(screenkit::HelpCommand::DisplayContents, 1001); });
    connect(m_save, &QPushButton::clicked, this, &frmHeadertext::save);
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
