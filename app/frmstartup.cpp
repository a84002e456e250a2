// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/frmstartup.h"

#include "app/logging.h"
#include "app/startup.h"
#include "backup/backups.h"
#include "screenkit/navigation.h"
#include "screenkit/nightmode.h"
#include "screenkit/problembox.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

namespace app
{

namespace
{
constexpr screenkit::DesignFont captionFont{12, false};
constexpr Qt::Alignment topLeft = Qt::AlignLeft | Qt::AlignTop;

QWidget *verticalLine(QWidget *parent, QWidget *)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    return line;
}
}

using screenkit::into;
using screenkit::widget;

// The captions are word-wrapped and grow downwards when their text needs more room.
const screenkit::Control frmStartup::controls[] = {
    {.name = "Label1",
     .kind = widget<QLabel>,
     .at = {4080, 480, 5535, 1575},
     .text = "Choose your Operation:",
     .sizing = Sizing::GrowDown,
     .font = {24, true},
     .flags = screenkit::WordWrap,
     .align = topLeft},
    {.name = "Command1", .kind = into<&frmStartup::m_Command1>, .at = {12840, 360, 1215, 495}, .text = "&Help"},
    {.name = "Image1", .kind = into<&frmStartup::m_Image1>, .at = {4560, 1440, 4500, 4500}},
    {.name = "Line1", .kind = screenkit::Kind{&verticalLine, nullptr}, .at = {4320, 1440, 15, 8760}},
    {.name = "Line2", .kind = screenkit::Kind{&verticalLine, nullptr}, .at = {9240, 1440, 15, 8760}},
    {.name = "cmdObserve",
     .kind = into<&frmStartup::m_cmdObserve>,
     .at = {1440, 6120, 1455, 615},
     .text = "&Observing Session"},
    {.name = "Label2",
     .kind = widget<QLabel>,
     .at = {1440, 7080, 1500, 900},
     .text = "Begin an observational session now",
     .sizing = Sizing::GrowDown,
     .font = captionFont,
     .flags = screenkit::WordWrap,
     .align = topLeft},
    {.name = "cmdDbase", .kind = into<&frmStartup::m_cmdDbase>, .at = {6090, 6240, 1455, 615}, .text = "&Database"},
    {.name = "Label3",
     .kind = widget<QLabel>,
     .at = {5880, 7320, 1875, 2100},
     .text = "Administer the chart database: view, search and edit the inbuilt database. "
             "See the help file for more details. ",
     .sizing = Sizing::GrowDown,
     .font = captionFont,
     .flags = screenkit::WordWrap,
     .align = topLeft},
    {.name = "cmdDownload",
     .kind = into<&frmStartup::m_cmdDownload>,
     .at = {10920, 6120, 1335, 615},
     .text = "&Add your Obs",
     .tab = 1},
    {.name = "Label4",
     .kind = widget<QLabel>,
     .at = {10320, 7200, 2655, 3615},
     .text = "Convert your downloaded AAVSO observations into a database and then add "
             "them to the existing observations file. See the help file for more details.",
     .sizing = Sizing::GrowDown,
     .font = captionFont,
     .flags = screenkit::WordWrap,
     .align = topLeft},
    // Last in the focus order: the day's reports checked before they are sent.
    {.name = "cmdCheckreport",
     .kind = into<&frmStartup::m_cmdCheckreport>,
     .at = {1440, 8400, 1455, 615},
     .text = "Check &report",
     .tab = 2},
    // Under the session it prepares: which stars to observe tonight.
    {.name = "cmdTonight",
     .kind = into<&frmStartup::m_cmdTonight>,
     .at = {1440, 9360, 1455, 615},
     .text = "&Tonight",
     .tab = 3},
    {.name = "sbar", .kind = into<&frmStartup::m_sbar>, .at = {0, 10980 - 375, 14430, 375}},
};

frmStartup::frmStartup(const appfiles::Folder &appFolder, QWidget *parent)
    : screenkit::Form(14430, 10980, parent)
    , m_appFolder(appFolder)
{
    setWindowTitle(QStringLiteral("Start-Point for Skyfold"));
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    screenkit::night::setDayPalette(canvas(), grey);
    screenkit::build(*this, controls);
    m_Image1->setPixmap(QPixmap(QStringLiteral(":/startup/image1.jpg")));
    m_Image1->setScaledContents(true);
    wireButtons();
    // The status bar's panels share its width.
    m_sbar->setSizeGripEnabled(false);
    m_panel1 = new QLabel(m_sbar);
    m_panel1->setObjectName(QStringLiteral("panel1"));
    m_panel2 = new QLabel(m_sbar);
    m_panel2->setObjectName(QStringLiteral("panel2"));
    m_panel3 = new QLabel(m_sbar);
    m_panel3->setObjectName(QStringLiteral("panel3"));
    m_sbar->addWidget(m_panel1, 1);
    m_sbar->addWidget(m_panel2, 1);
    m_sbar->addWidget(m_panel3, 1);
}

void frmStartup::wireButtons()
{
    connect(m_Command1, &QPushButton::clicked, this,
            [] { screenkit::help(screenkit::HelpCommand::DisplayContents, 1001); });
    connect(m_cmdObserve, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::Observation); });
    connect(m_cmdDbase, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::Catalogue); });
    connect(m_cmdDownload, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::Import); });
    connect(m_cmdCheckreport, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::ReportCheck); });
    connect(m_cmdTonight, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::Tonight); });
}

startup::Hooks frmStartup::hooks()
{
    return {
        [this] {
            screenkit::show(screenkit::Screen::HeaderEditor);
            m_editorOpened = true;
        },
        [this](int panel, const QString &text) {
            QLabel *label = panel == 1 ? m_panel1 : m_panel2;
            label->setText(text);
            // Seen at once, before the work it announces holds the screen.
            if (label->isVisible())
                label->repaint();
        },
    };
}

bool frmStartup::load()
{
    const startup::Prepared prepared = startup::prepare(m_appFolder, hooks());
    const auto tell = [](const QString &text) {
        screenkit::showProblem(outcome::failed(text)
                                   .titled(QStringLiteral("Cannot prepare the program's folder"))
                                   .as(outcome::Severity::Warning),
                               lc());
    };
    if (!prepared.stopped.isEmpty())
        tell(prepared.stopped);
    if (!prepared.failures.isEmpty()) {
        tell(prepared.failures
             + QStringLiteral("\n\nvarlume keeps all its data in its own folder and must be able to write there. "
                              "Make the folder \"%1\" writable, or run the program from a folder you can write "
                              "to, then start it again.")
                   .arg(m_appFolder.path()));
    }
    if (startup::needsIndexing(m_appFolder))
        canvas()->installEventFilter(this);
    showBackups();
    return m_editorOpened;
}

void frmStartup::showBackups()
{
    const QString text = backup::lastBackupText(m_appFolder);
    m_panel3->setText(text);
    // A failure's reason is longer than the panel.
    m_panel3->setToolTip(text);
}

void frmStartup::changeEvent(QEvent *event)
{
    screenkit::Form::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        showBackups();
}

bool frmStartup::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == canvas() && event->type() == QEvent::Paint) {
        canvas()->removeEventFilter(this);
        QMetaObject::invokeMethod(this, &frmStartup::indexObservations, Qt::QueuedConnection);
    }
    return screenkit::Form::eventFilter(watched, event);
}

void frmStartup::indexObservations()
{
    startup::indexObservations(m_appFolder, hooks());
}

} // namespace app
