// SPDX-License-Identifier: GPL-2.0-or-later
#include "frmstartup.h"

#include "messageseam.h"
#include "navigation.h"
#include "startup.h"
#include "ui.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

namespace
{
QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, qreal points, bool bold)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(ui::msSansSerif(points, bold));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void placeLabel(QLabel *label, int left, int top, int width, int height)
{
    ui::place(label, left, top, width, height);
    ui::fitHeight(label);
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QFrame *makeLine(QWidget *parent, const char *name, int x, int top, int bottom)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setGeometry(ui::twips(x), ui::twips(top), 1, ui::twips(bottom - top));
    return line;
}
}

frmStartup::frmStartup(const QString &appFolder, QWidget *parent)
    : QWidget(parent)
    , m_appFolder(appFolder)
{
    setWindowTitle(QStringLiteral("Start-Point for Skyfold"));
    setFont(ui::dialogFont());
    ui::setClientSize(this, 14430, 10980);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(grey);
    setAutoFillBackground(true);

    placeLabel(makeLabel(this, "Label1", QStringLiteral("Choose your Operation:"), 24, true), 4080, 480, 5535, 1575);

    auto *help = makeButton(this, "Command1", QStringLiteral("&Help"));
    ui::place(help, 12840, 360, 1215, 495);
    connect(help, &QPushButton::clicked, this, [] { screenkit::help(screenkit::HelpCommand::DisplayContents, 1001); });

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(QPixmap(QStringLiteral(":/startup/image1.jpg")));
    image->setScaledContents(true);
    ui::place(image, 4560, 1440, 4500, 4500);

    makeLine(this, "Line1", 4320, 1440, 10200);
    makeLine(this, "Line2", 9240, 1440, 10200);

    auto *observe = makeButton(this, "cmdObserve", QStringLiteral("&Observing Session"));
    ui::place(observe, 1440, 6120, 1455, 615);
    connect(observe, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::Observation); });
    placeLabel(makeLabel(this, "Label2", QStringLiteral("Begin an observational session now"), 12, false), 1440, 7080,
               1500, 900);

    auto *dbase = makeButton(this, "cmdDbase", QStringLiteral("&Database"));
    ui::place(dbase, 6090, 6240, 1455, 615);
    connect(dbase, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::Catalogue); });
    placeLabel(makeLabel(this, "Label3",
                         QStringLiteral("Administer the chart database: view, search and edit the inbuilt database. "
                                        "See the help file for more details. "),
                         12, false),
               5880, 7320, 1875, 2100);

    auto *download = makeButton(this, "cmdDownload", QStringLiteral("&Add your Obs"));
    ui::place(download, 10920, 6120, 1335, 615);
    connect(download, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::Import); });
    placeLabel(makeLabel(this, "Label4",
                         QStringLiteral("Convert your downloaded AAVSO observations into a database and then add "
                                        "them to the existing observations file. See the help file for more details."),
                         12, false),
               10320, 7200, 2655, 3615);

    auto *sbar = new QStatusBar(this);
    sbar->setObjectName(QStringLiteral("sbar"));
    sbar->setSizeGripEnabled(false);
    m_panel1 = new QLabel(sbar);
    m_panel1->setObjectName(QStringLiteral("panel1"));
    m_panel2 = new QLabel(sbar);
    m_panel2->setObjectName(QStringLiteral("panel2"));
    sbar->addWidget(m_panel1, 1);
    sbar->addWidget(m_panel2, 1);
    const int barHeight = sbar->sizeHint().height();
    sbar->setGeometry(0, height() - barHeight, width(), barHeight);
}

void frmStartup::load()
{
    const startup::Hooks hooks{
        [] { screenkit::show(screenkit::Screen::HeaderEditor); },
        [this](int panel, const QString &text) { (panel == 1 ? m_panel1 : m_panel2)->setText(text); },
    };
    const QString failures = startup::prepare(m_appFolder, hooks);
    if (!failures.isEmpty()) {
        hostkit::ask(failures
                         + QStringLiteral("\n\nvarlume keeps all its data in its own folder and must be "
                                          "able to write there. Make the folder \"%1\" writable, or "
                                          "run the program from a folder you can write to, then start "
                                          "it again.")
                               .arg(m_appFolder),
                     QStringLiteral("Cannot prepare the program's folder"), QMessageBox::Warning);
    }
}
