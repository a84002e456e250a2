// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/frmstartup.h"

#include "app/startup.h"
#include "hostkit/messageseam.h"
#include "screenkit/navigation.h"
#include "screenkit/nightmode.h"
#include "screenkit/ui.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

namespace app
{

QLabel *frmStartup::makeLabel(const char *name, const QString &text, qreal points, bool bold, int left, int top,
                              int width, int height)
{
    auto *label = new QLabel(text, canvas());
    label->setObjectName(QLatin1String(name));
    setScaledFont(label, screenkit::ui::msSansSerif(points, bold));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(label, left, top, width, height, Sizing::GrowDown);
    return label;
}

QPushButton *frmStartup::makeButton(const char *name, const QString &text, int left, int top, int width, int height)
{
    auto *button = new QPushButton(text, canvas());
    button->setObjectName(QLatin1String(name));
    place(button, left, top, width, height);
    return button;
}

void frmStartup::makeLine(const char *name, int x, int top, int bottom)
{
    auto *line = new QFrame(canvas());
    line->setObjectName(QLatin1String(name));
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    place(line, x, top, 15, bottom - top);
}

frmStartup::frmStartup(const QString &appFolder, QWidget *parent)
    : screenkit::Form(14430, 10980, parent)
    , m_appFolder(appFolder)
{
    setWindowTitle(QStringLiteral("Start-Point for Skyfold"));
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    screenkit::night::setDayPalette(canvas(), grey);

    makeLabel("Label1", QStringLiteral("Choose your Operation:"), 24, true, 4080, 480, 5535, 1575);

    auto *help = makeButton("Command1", QStringLiteral("&Help"), 12840, 360, 1215, 495);
    connect(help, &QPushButton::clicked, this, [] { screenkit::help(screenkit::HelpCommand::DisplayContents, 1001); });

    auto *image = new QLabel(canvas());
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(QPixmap(QStringLiteral(":/startup/image1.jpg")));
    image->setScaledContents(true);
    place(image, 4560, 1440, 4500, 4500);

    makeLine("Line1", 4320, 1440, 10200);
    makeLine("Line2", 9240, 1440, 10200);

    auto *observe = makeButton("cmdObserve", QStringLiteral("&Observing Session"), 1440, 6120, 1455, 615);
    connect(observe, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::Observation); });
    makeLabel("Label2", QStringLiteral("Begin an observational session now"), 12, false, 1440, 7080, 1500, 900);

    auto *dbase = makeButton("cmdDbase", QStringLiteral("&Database"), 6090, 6240, 1455, 615);
    connect(dbase, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::Catalogue); });
    makeLabel("Label3",
              QStringLiteral("Administer the chart database: view, search and edit the inbuilt database. "
                             "See the help file for more details. "),
              12, false, 5880, 7320, 1875, 2100);

    auto *download = makeButton("cmdDownload", QStringLiteral("&Add your Obs"), 10920, 6120, 1335, 615);
    connect(download, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::Import); });
    makeLabel("Label4",
              QStringLiteral("Convert your downloaded AAVSO observations into a database and then add "
                             "them to the existing observations file. See the help file for more details."),
              12, false, 10320, 7200, 2655, 3615);

    // Last in the focus order: the day's reports checked before they are sent.
    auto *check = makeButton("cmdCheckreport", QStringLiteral("Check &report"), 1440, 8400, 1455, 615);
    connect(check, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::ReportCheck); });
    setTabOrder(download, check);
    // Under the session it prepares: which stars to observe tonight.
    auto *tonight = makeButton("cmdTonight", QStringLiteral("&Tonight"), 1440, 9360, 1455, 615);
    connect(tonight, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::Tonight); });
    setTabOrder(check, tonight);

    auto *sbar = new QStatusBar(canvas());
    sbar->setObjectName(QStringLiteral("sbar"));
    sbar->setSizeGripEnabled(false);
    m_panel1 = new QLabel(sbar);
    m_panel1->setObjectName(QStringLiteral("panel1"));
    m_panel2 = new QLabel(sbar);
    m_panel2->setObjectName(QStringLiteral("panel2"));
    sbar->addWidget(m_panel1, 1);
    sbar->addWidget(m_panel2, 1);
    place(sbar, 0, 10980 - 375, 14430, 375);
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
    const QString title = QStringLiteral("Cannot prepare the program's folder");
    if (!prepared.stopped.isEmpty())
        hostkit::ask(prepared.stopped, title, QMessageBox::Warning);
    if (!prepared.failures.isEmpty()) {
        hostkit::ask(prepared.failures
                         + QStringLiteral("\n\nvarlume keeps all its data in its own folder and must be "
                                          "able to write there. Make the folder \"%1\" writable, or "
                                          "run the program from a folder you can write to, then start "
                                          "it again.")
                               .arg(m_appFolder),
                     title, QMessageBox::Warning);
    }
    if (startup::needsIndexing(m_appFolder))
        canvas()->installEventFilter(this);
    return m_editorOpened;
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
