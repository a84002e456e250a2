// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/frmentryscreen.h"

#include "hostkit/componenthost.h"
#include "hostkit/formdesign.h"
#include "hostkit/leavecheck.h"
#include "hostkit/messageseam.h"
#include "observe/chartviewer.h"
#include "observe/fixedlists.h"
#include "observe/logging.h"
#include "observe/modentryscreen.h"
#include "observe/picturebox.h"
#include "observe/previous.h"
#include "observe/reportfile.h"
#include "reports/reportchange.h"
#include "reports/reportcheck.h"
#include "reports/sequencerules.h"
#include "screenkit/largecheckbox.h"
#include "screenkit/navigation.h"
#include "screenkit/nightcolours.h"
#include "screenkit/problembox.h"

#include "appfiles/folder.h"
#include "appfiles/headerfile.h"
#include "store/schema.h"
#include "varstars/notation.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QTextBlock>

#include <algorithm>

namespace observe
{

namespace
{
// The date and time fields, made from the saved design by the control
// library. The Julian Dates of the reports are reckoned from Universal Time,
// and so are the fields.
struct NumberField
{
    const char *name;
    const char *tip;
    screenkit::Twips at;
};
constexpr NumberField numberFields[5] = {
    {"nbYear", "Year of the observation, in Universal Time (UT)", {10320, 2640, 975, 495}},
    {"nbMonth", "Month of the observation, in Universal Time (UT)", {11880, 2640, 615, 495}},
    {"nbDay", "Day of the observation, in Universal Time (UT)", {13120, 2640, 615, 495}},
    {"nbHour", "Hour of the observation, in Universal Time (UT)", {14360, 2640, 615, 495}},
    {"nbMinute", "Minute of the observation, in Universal Time (UT)", {15600, 2640, 615, 495}},
};

// The toolkit's context menus would offer what the fields must refuse.
void refuseContextMenus(QWidget *root)
{
    root->setContextMenuPolicy(Qt::NoContextMenu);
    for (QWidget *child : root->findChildren<QWidget *>())
        child->setContextMenuPolicy(Qt::NoContextMenu);
}

constexpr screenkit::DesignFont fieldFont{9.75, true};

// The chart's box has the black of the chart frame, the finder chart's that of the fields.
QWidget *chartBox(QWidget *parent, QWidget *)
{
    return new PictureBox(screenkit::night::black, parent);
}

QWidget *finderBox(QWidget *parent, QWidget *)
{
    return new PictureBox(screenkit::night::field, parent);
}

// Correcting and withdrawing act on the report's line at the cursor.
outcome::Problem noLineChosen(const QString &title)
{
    return outcome::refused(QStringLiteral("Put the cursor on a line of observations in the report first (click it, "
                                           "or Tab into the report and move with the arrow keys)."))
        .titled(title)
        .as(outcome::Severity::Information);
}

// Leaves the caret and selection alone when validation changes nothing.
void setChanged(QLineEdit *field, const QString &text)
{
    if (field->text() != text)
        field->setText(text);
}

hostkit::FormDesign savedDesign(QString *error)
{
    QFile file(QStringLiteral(":/observe/frmentryscreen.design"));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    return hostkit::FormDesign::fromText(QString::fromUtf8(file.readAll()), error);
}
}

using screenkit::into;
using screenkit::widget;

const screenkit::Control frmEntryscreen::controls[] = {
    {.name = "cmdFinder",
     .kind = into<&frmEntryscreen::m_cmdFinder>,
     .at = {11160, 360, 1215, 495},
     .text = "get &Finder",
     .tip = "Click to get a finder chart for this star",
     .tab = 1},
    {.name = "MSFlexGrid1",
     .kind = into<&frmEntryscreen::m_MSFlexGrid1>,
     .at = {16560, 360, 2055, 1575},
     .tab = 2,
     .font = fieldFont},
    {.name = "ddStars",
     .kind = into<&frmEntryscreen::m_ddStars>,
     .at = {14280, 360, 1935, 1500},
     .tab = 3,
     .font = fieldFont},
    {.name = "cmdChart",
     .kind = into<&frmEntryscreen::m_cmdChart>,
     .at = {12600, 360, 1215, 495},
     .text = "get &Chart",
     .tip = "Display the chart",
     .tab = 4},
    {.name = "Label1", .kind = widget<QLabel>, .at = {10320, 1200, 615, 375}, .text = "Star:", .font = fieldFont},
    {.name = "txtStar",
     .kind = into<&frmEntryscreen::m_txtStar>,
     .at = {10320, 1560, 1815, 495},
     .tab = 5,
     .font = fieldFont},
    {.name = "Label2",
     .kind = widget<QLabel>,
     .at = {10320, 2280, 6015, 240},
     .text = "Year (UT):         Month:          Day             Hour:           Minute:",
     .sizing = Sizing::ToText,
     .font = fieldFont},
    {.name = "Label3",
     .kind = widget<QLabel>,
     .at = {10320, 3360, 8115, 240},
     .text = "Estimate:                                   Ftr than?     Magn:     CS1:    "
             "CS2:              Chart ID:",
     .sizing = Sizing::ToText,
     .font = fieldFont},
    // The date and time fields come between the star and the estimate in the tab order.
    {.name = "txtEstimate",
     .kind = into<&frmEntryscreen::m_txtEstimate>,
     .at = {10320, 3720, 3135, 495},
     .tab = 6,
     .font = fieldFont},
    {.name = "chkFainterthan",
     .kind = into<&frmEntryscreen::m_chkFainterthan>,
     .at = {13680, 3720, 495, 495},
     .tab = 7},
    {.name = "txtMagn",
     .kind = into<&frmEntryscreen::m_txtMagn>,
     .at = {14280, 3720, 735, 495},
     .tab = 8,
     .font = fieldFont},
    {.name = "nbComp1",
     .kind = into<&frmEntryscreen::m_nbComp1>,
     .at = {15240, 3720, 615, 495},
     .tab = 9,
     .font = fieldFont},
    {.name = "nbComp2",
     .kind = into<&frmEntryscreen::m_nbComp2>,
     .at = {16080, 3720, 615, 495},
     .tab = 10,
     .font = fieldFont},
    {.name = "txtChartid",
     .kind = into<&frmEntryscreen::m_txtChartid>,
     .at = {16920, 3720, 1455, 495},
     .tab = 11,
     .font = fieldFont},
    {.name = "Label4",
     .kind = widget<QLabel>,
     .at = {11040, 4440, 1815, 375},
     .text = "Comment Codes:",
     .font = fieldFont},
    // Tall enough for five codes at once, so the observer sees what there is to choose.
    {.name = "ddCommentcodes",
     .kind = into<&frmEntryscreen::m_ddCommentcodes>,
     .at = {11040, 4800, 1815, 1575},
     .tab = 12,
     .font = fieldFont},
    {.name = "cmdClearcode",
     .kind = into<&frmEntryscreen::m_cmdClearcode>,
     .at = {12870, 4800, 300, 330},
     .text = "X",
     .tip = "No comment code",
     .tab = 13},
    {.name = "Label5", .kind = widget<QLabel>, .at = {13200, 4440, 3255, 375}, .text = "Notes:", .font = fieldFont},
    {.name = "txtNotes",
     .kind = into<&frmEntryscreen::m_txtNotes>,
     .at = {13200, 4800, 5175, 495},
     .tip = "You can enter a maximum of 50 characters here",
     .tab = 14,
     .font = fieldFont},
    {.name = "lblPrevious",
     .kind = into<&frmEntryscreen::m_lblPrevious>,
     .at = {13200, 5760, 5175, 375},
     .font = fieldFont,
     .flags = screenkit::Hidden},
    // Over the report: what they act on is the line of its cursor.
    {.name = "cmdCorrect",
     .kind = into<&frmEntryscreen::m_cmdCorrect>,
     .at = {11040, 6420, 1695, 375},
     .text = "C&orrect line",
     .tip = "Take the report's line at the cursor (the last line when the cursor is at the end) back into the "
            "fields to correct it; Enter then replaces it",
     .tab = 25},
    {.name = "cmdWithdraw",
     .kind = into<&frmEntryscreen::m_cmdWithdraw>,
     .at = {12840, 6420, 1695, 375},
     .text = "&Withdraw line",
     .tip = "Take the report's line at the cursor and its observation out of the report and the database",
     .tab = 26},
    {.name = "lblCorrecting",
     .kind = into<&frmEntryscreen::m_lblCorrecting>,
     .at = {14640, 6420, 4335, 375},
     .font = {8.25, true},
     .flags = screenkit::Hidden,
     .align = Qt::AlignLeft | Qt::AlignVCenter},
    {.name = "rtbObs",
     .kind = into<&frmEntryscreen::m_rtbObs>,
     .at = {11040, 6840, 7935, 3975},
     .tab = 15,
     .font = fieldFont},
    {.name = "cmdEnter",
     .kind = into<&frmEntryscreen::m_cmdEnter>,
     .at = {17760, 11040, 1215, 495},
     .text = "&Enter",
     .tip = "Submit this observation to the text file",
     .tab = 16,
     .font = fieldFont,
     .flags = screenkit::Disabled},
    // Between the buttons, where it can be read; a large count takes two lines.
    {.name = "lblObs",
     .kind = into<&frmEntryscreen::m_lblObs>,
     .at = {12960, 11040, 3120, 495},
     .font = fieldFont,
     .flags = screenkit::WordWrap,
     .align = Qt::AlignLeft | Qt::AlignVCenter},
    // What looks implausible in the observation just recorded, red on black
    // like the chart: nothing to dismiss at the eyepiece.
    {.name = "lblWarnings",
     .kind = into<&frmEntryscreen::m_lblWarnings>,
     .at = {11040, 11580, 7935, 1215},
     .font = {8.25, true},
     .flags = screenkit::WordWrap | screenkit::Hidden,
     .align = Qt::AlignLeft | Qt::AlignTop},
    {.name = "cmdHelp",
     .kind = into<&frmEntryscreen::m_cmdHelp>,
     .at = {16200, 11040, 1095, 495},
     .text = "&Help",
     .tab = 20},
    {.name = "cmdDBform",
     .kind = into<&frmEntryscreen::m_cmdDBform>,
     .at = {11040, 11040, 1815, 495},
     .text = "&Database Screen",
     .tab = 21},
    {.name = "cmdCheckreport",
     .kind = into<&frmEntryscreen::m_cmdCheckreport>,
     .at = {12360, 1200, 1695, 375},
     .text = "Chec&k report",
     .tip = "Check the day's reports before you send them",
     .tab = 22},
    {.name = "cmdLightcurve",
     .kind = into<&frmEntryscreen::m_cmdLightcurve>,
     .at = {12360, 1680, 1695, 375},
     .text = "Light c&urve",
     .tip = "Show this star's light curve from all your observations",
     .tab = 23},
    // Beside the constellations: back to the plan for the next star.
    {.name = "cmdTonight",
     .kind = into<&frmEntryscreen::m_cmdTonight>,
     .at = {18720, 360, 1215, 495},
     .text = "&Tonight",
     .tip = "Which of your stars to observe tonight",
     .tab = 24},
    {.name = "Picture1",
     .kind = into<&frmEntryscreen::m_Picture1>,
     .at = {0, 0, 9855, 12135},
     .tab = 17,
     .focus = Qt::TabFocus},
    {.name = "Picture3",
     .kind = into<&frmEntryscreen::m_Picture3, &chartBox>,
     .at = {240, 240, 9135, 11295},
     .tab = 19,
     .focus = Qt::TabFocus,
     .parent = "Picture1"},
    {.name = "Picture2",
     .kind = into<&frmEntryscreen::m_Picture2, &finderBox>,
     .at = {6840, 480, 2535, 2055},
     .tab = 18,
     .flags = screenkit::Hidden,
     .focus = Qt::TabFocus,
     .parent = "Picture1"},
};

frmEntryscreen::frmEntryscreen(const appfiles::Folder &appFolder, modEntryscreen::Clock clock, QWidget *parent)
    : screenkit::Form(20100, 12855, parent)
    , m_appFolder(appFolder)
    , m_clock(std::move(clock))
    , m_host(std::make_unique<hostkit::ComponentHost>(appFolder.path()))
{
    screenkit::build(*this, controls);
    wireChoice();
    wireEstimate();
    wireNavigation();
    wirePictures();
    refuseContextMenus(this);
    // Full screen leaves no light title bar at the eyepiece.
    auto *fullScreen = new QShortcut(QKeySequence(Qt::Key_F11), this);
    connect(fullScreen, &QShortcut::activated, this, [this] { setWindowState(windowState() ^ Qt::WindowFullScreen); });
}

frmEntryscreen::~frmEntryscreen()
{
    // The controls' code lives in the library: they go before the library may.
    qDeleteAll(m_dateFields);
    m_dateFields.clear();
    m_host->unloadUnused();
}

void frmEntryscreen::wireChoice()
{
    connect(m_cmdFinder, &QPushButton::clicked, this, [this] {
        const auto chosen = m_ddStars->selectedItems();
        showfinder(chosen.isEmpty() ? QString() : chosen.constFirst()->text());
    });
    QTableWidget *grid = m_MSFlexGrid1;
    grid->setRowCount(44);
    grid->setColumnCount(2);
    grid->horizontalHeader()->hide();
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setTabKeyNavigation(false);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QStringList &constellations = modEntryscreen::constellations();
    for (int i = 0; i < constellations.size(); ++i)
        grid->setItem(i % 44, i / 44, new QTableWidgetItem(constellations.at(i)));
    connect(grid, &QTableWidget::cellClicked, this, &frmEntryscreen::liststars);
    // Return on a cell lists its stars too, for the observer at the keyboard.
    connect(grid, &QTableWidget::cellActivated, this, &frmEntryscreen::liststars);
    connect(m_ddStars, &QListWidget::itemSelectionChanged, this, &frmEntryscreen::starchosen);
    connect(m_cmdChart, &QPushButton::clicked, this, [this] { showchart(m_selstar); });
}

void frmEntryscreen::wireEstimate()
{
    m_ddCommentcodes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_ddCommentcodes->addItems(reports::commentCodes());
    m_ddCommentcodes->setCurrentRow(-1);
    m_ddCommentcodes->clearSelection();
    connect(m_cmdClearcode, &QPushButton::clicked, this, [this] {
        m_ddCommentcodes->clearSelection();
        m_ddCommentcodes->setCurrentRow(-1);
    });
    m_txtNotes->setMaxLength(store::cumobs().length(store::column::notes));
    m_rtbObs->setReadOnly(true);
    m_rtbObs->setTabChangesFocus(true);
    m_rtbObs->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_rtbObs->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    connect(m_cmdEnter, &QPushButton::clicked, this, &frmEntryscreen::enter);
    connect(m_cmdCorrect, &QPushButton::clicked, this, &frmEntryscreen::correctLine);
    connect(m_cmdWithdraw, &QPushButton::clicked, this, &frmEntryscreen::withdrawLine);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (m_correcting)
            endCorrection();
    });
    connect(m_txtEstimate, &QLineEdit::textChanged, m_cmdEnter, [this] { m_cmdEnter->setEnabled(true); });
    connect(m_txtEstimate, &QLineEdit::textEdited, this, [this] { m_estimateEmptiedByRecording = false; });

    auto *estimateCheck = new hostkit::LeaveCheck(m_txtEstimate);
    connect(estimateCheck, &hostkit::LeaveCheck::departed, this, &frmEntryscreen::estimateLeft);
    connect(estimateCheck, &hostkit::LeaveCheck::departed, this, &frmEntryscreen::notationLeft);
    // Longer is refused at Enter: the width of the column it is kept in.
    m_txtEstimate->setToolTip(QStringLiteral("Your estimate as written at the eyepiece, at most %1 characters. "
                                             "110 2 V 1 116, A 3 V 2 B (A and B: CS1 and CS2), V = 98 or < 116 "
                                             "fill Magn, CS1 and CS2 where they are empty.")
                                  .arg(store::cumobs().length(store::column::estimate)));
    auto *magnitudeCheck = new hostkit::LeaveCheck(m_txtMagn);
    connect(magnitudeCheck, &hostkit::LeaveCheck::validate, this, &frmEntryscreen::magnitudeValidate);
    connect(magnitudeCheck, &hostkit::LeaveCheck::departed, this, &frmEntryscreen::magnitudeLeft);
    for (QLineEdit *comp : {m_nbComp1, m_nbComp2}) {
        connect(new hostkit::LeaveCheck(comp), &hostkit::LeaveCheck::validate, comp,
                [comp](bool &) { setChanged(comp, modEntryscreen::comparisonLabel(comp->text())); });
    }
    for (QLineEdit *field : {m_txtEstimate, m_txtMagn, m_nbComp1, m_nbComp2, m_txtChartid}) {
        field->installEventFilter(this);
        m_hiliteOnEntry.append(field);
    }
}

void frmEntryscreen::wireNavigation()
{
    connect(m_cmdHelp, &QPushButton::clicked, this, [] { screenkit::help(screenkit::HelpCommand::HelpContext, 1002); });
    connect(m_cmdDBform, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::Catalogue); });
    connect(m_cmdCheckreport, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::ReportCheck); });
    // The star of the chart shown (get Chart fills the star field), else the one picked in the list.
    connect(m_cmdLightcurve, &QPushButton::clicked, this, [this] {
        const QString star = m_txtStar->text().isEmpty() ? m_selstar : m_txtStar->text();
        if (star.isEmpty())
            screenkit::showProblem(outcome::refused(QStringLiteral("Pick a star in the list first: the light curve "
                                                                   "shows that star's observations."))
                                       .titled(QStringLiteral("Light curve"))
                                       .as(outcome::Severity::Information),
                                   observe::lc());
        else
            screenkit::show(screenkit::Screen::LightCurve, star);
    });
    connect(m_cmdTonight, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::Tonight); });
}

void frmEntryscreen::wirePictures()
{
    QPalette warningColours = screenkit::night::palette();
    warningColours.setColor(QPalette::Window, QColor(screenkit::night::black));
    warningColours.setColor(QPalette::WindowText, QColor(screenkit::night::text));
    m_lblWarnings->setAutoFillBackground(true);
    m_lblWarnings->setPalette(warningColours);
    QPalette blackBox = screenkit::night::palette();
    blackBox.setColor(QPalette::Window, QColor(screenkit::night::black));
    m_Picture1->setAutoFillBackground(true);
    m_Picture1->setPalette(blackBox);
    for (PictureBox *picture : {m_Picture3, m_Picture2}) {
        // Moves without a button set the point the pointer holds the picture by.
        picture->setMouseTracking(true);
        picture->installEventFilter(this);
    }
}

void frmEntryscreen::createNumberFields()
{
    QString error;
    const hostkit::FormDesign saved = savedDesign(&error);
    for (int i = 0; i < 5 && error.isEmpty(); ++i) {
        const NumberField &design = numberFields[i];
        const QString name = QLatin1String(design.name);
        const hostkit::ControlDesign *control = saved.control(name);
        if (!control) {
            error = QStringLiteral("The screen's design has no field \"%1\".").arg(name);
            break;
        }
        QWidget *field = m_host->createFromDesign(*control, canvas(), &error);
        if (!field)
            break;
        place(field, design.at.left, design.at.top, design.at.width, design.at.height);
        field->setProperty("ToolTipText", QLatin1String(design.tip));
        // The saved font, sized with the screen.
        setScaledFont(field->focusProxy() ? field->focusProxy() : field,
                      field->focusProxy() ? field->focusProxy()->font() : field->font());
        refuseContextMenus(field);
        field->show();
        m_dateFields.append(field);
        // nbYear keeps its text selection as it is; the others select on entry.
        if (i > 0 && field->focusProxy()) {
            field->focusProxy()->installEventFilter(this);
            m_hiliteOnEntry.append(field->focusProxy());
        }
    }
    if (!error.isEmpty()) {
        screenkit::showProblem(
            outcome::failed(QStringLiteral("The date and time fields could not be created, so no observation can be "
                                           "recorded until this is mended:\n%1\n\nThe file comes with varlume and "
                                           "belongs in its folder; installing varlume again puts it back.")
                                .arg(error))
                .titled(QStringLiteral("Date and time fields missing")),
            observe::lc());
    }
}

void frmEntryscreen::load()
{
    createNumberFields();
    screenkit::chainTabOrder(QList<QWidget *>{m_txtStar} + m_dateFields + QList<QWidget *>{m_txtEstimate});
    m_todaysfile = m_appFolder.report(QDate::currentDate());
    setWindowTitle(QStringLiteral("File name: ") + m_todaysfile);
    if (const outcome::Done begun = modEntryscreen::beginReport(m_appFolder, m_todaysfile); !begun) {
        screenkit::showProblem(begun.problem(), observe::lc());
        offerHeaderEditor();
    }
    // A change of the report cut short (in this or another program) is completed before it is shown.
    if (const outcome::Done completed = reports::completePending(m_appFolder, m_todaysfile, QDeadlineTimer(1000));
        !completed)
        qCWarning(observe::lc).noquote() << "A change of the report stays pending:" << completed.problem().message;
    showreport();
    nameUnpaired();
    m_cmdFinder->setFocus();
}

QString frmEntryscreen::selstar() const
{
    return m_selstar;
}

QString frmEntryscreen::todaysfile() const
{
    return m_todaysfile;
}

int frmEntryscreen::totalobs() const
{
    return m_totalobs;
}

void frmEntryscreen::hilite()
{
    QWidget *field = QApplication::focusWidget();
    if (!field || !isAncestorOf(field))
        return;
    QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
    QCoreApplication::sendEvent(field, &home);
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ShiftModifier);
    QCoreApplication::sendEvent(field, &end);
}

modEntryscreen::ObservationTexts frmEntryscreen::observation() const
{
    const auto dateText = [this](int i) {
        return i < m_dateFields.size() ? m_dateFields.at(i)->property("Text").toString() : QString();
    };
    modEntryscreen::ObservationTexts texts;
    texts.star = m_txtStar->text();
    texts.year = dateText(0);
    texts.month = dateText(1);
    texts.day = dateText(2);
    texts.hour = dateText(3);
    texts.minute = dateText(4);
    texts.estimate = m_txtEstimate->text();
    texts.fainterthan = m_chkFainterthan->isChecked();
    texts.magnitude = m_txtMagn->text();
    texts.comp1 = m_nbComp1->text();
    texts.comp2 = m_nbComp2->text();
    texts.chart = m_txtChartid->text();
    const auto chosen = m_ddCommentcodes->selectedItems();
    if (!chosen.isEmpty())
        texts.comment = chosen.constFirst()->text();
    texts.notes = m_txtNotes->text();
    return texts;
}

void frmEntryscreen::enter()
{
    showwarnings({});
    const modEntryscreen::ObservationTexts typed = observation();
    const bool correcting = m_correcting.has_value();
    const outcome::Done recorded = correcting
        ? modEntryscreen::correctobs(m_appFolder, m_todaysfile, m_correcting->line, m_correcting->row, typed,
                                     dateFieldTexts() == m_correcting->dateFields
                                         ? std::optional<QString>(m_correcting->dateText)
                                         : std::nullopt)
        : modEntryscreen::recordobs(m_appFolder, m_todaysfile, typed);
    showreport();
    if (!recorded) {
        showNotRecorded(recorded.problem());
        return;
    }
    // Only now: seen before the estimate, a warning would bias it.
    showwarnings(modEntryscreen::warningsOf(m_appFolder, typed));
    if (correcting) {
        endCorrection();
        return;
    }
    clearfields();
    countobservation();
}

QStringList frmEntryscreen::dateFieldTexts() const
{
    QStringList texts;
    for (const QWidget *field : m_dateFields)
        texts.append(field->property("Text").toString());
    return texts;
}

std::optional<QString> frmEntryscreen::lineAtCursor() const
{
    const auto isData = [](const QString &text) {
        return !text.startsWith(u'#') && text.count(u'|') == reports::modReportcheck::fieldCount - 1;
    };
    QTextBlock block = m_rtbObs->textCursor().block();
    if (isData(block.text()))
        return block.text();
    // At the end, below the last line, the last line is meant.
    if (block.next().isValid() || !block.text().isEmpty())
        return std::nullopt;
    for (block = block.previous(); block.isValid(); block = block.previous()) {
        if (isData(block.text()))
            return block.text();
        if (!block.text().isEmpty())
            break;
    }
    return std::nullopt;
}

std::optional<std::optional<store::NumberedRow>> frmEntryscreen::chooseRow(const QString &line, const QString &title)
{
    const auto rows = reports::rowsOfLine(m_appFolder, line);
    if (!rows) {
        screenkit::showProblem(outcome::failed(rows.problem().message).titled(title), observe::lc());
        return std::nullopt;
    }
    QList<store::NumberedRow> distinct;
    for (const store::NumberedRow &row : *rows) {
        if (std::none_of(distinct.cbegin(), distinct.cend(), [&row](const store::NumberedRow &kept) {
                return kept.values.estimate == row.values.estimate && kept.values.obscode == row.values.obscode
                    && kept.values.notes == row.values.notes && kept.values.chart == row.values.chart
                    && kept.values.star == row.values.star;
            }))
            distinct.append(row);
    }
    // Equal rows are one observation stored twice: any of them is the line's.
    if (distinct.size() < 2)
        return distinct.isEmpty() ? std::optional<store::NumberedRow>() : std::optional(distinct.constFirst());
    for (const store::NumberedRow &row : distinct) {
        const store::ObservationRow &v = row.values;
        const auto answer = hostkit::ask(
            QStringLiteral("Several observations in the database match the line\n\n%1\n\n(it may have been imported "
                           "back from a download). Is it this one?\n\nestimate \"%2\", comment code %3, notes \"%4\", "
                           "chart %5")
                .arg(line, v.estimate, v.obscode, v.notes, v.chart),
            title, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Yes)
            return std::optional(row);
        if (answer != QMessageBox::No)
            return std::nullopt;
    }
    return std::nullopt;
}

void frmEntryscreen::correctLine()
{
    const QString title = QStringLiteral("Correct a line");
    const std::optional<QString> line = lineAtCursor();
    if (!line)
        return screenkit::showProblem(noLineChosen(title), observe::lc());
    if (!m_correcting && !m_txtEstimate->text().trimmed().isEmpty())
        return screenkit::showProblem(
            outcome::refused(QStringLiteral("The estimate \"%1\" is typed but not entered. Enter it, or empty the "
                                            "estimate field, then correct the line.")
                                 .arg(m_txtEstimate->text().trimmed()),
                             QStringLiteral("txtEstimate"))
                .titled(title)
                .as(outcome::Severity::Warning),
            observe::lc());
    if (const QString held = reports::aavsoHoldsNotice(m_appFolder, *line); !held.isEmpty()
        && hostkit::ask(QStringLiteral("Correct this line?\n\n%1%2").arg(*line, held), title, QMessageBox::Question,
                        QMessageBox::Yes | QMessageBox::No)
            != QMessageBox::Yes)
        return;
    const auto row = chooseRow(*line, title);
    if (!row)
        return;
    const std::optional<modEntryscreen::LineTexts> taken =
        modEntryscreen::textsOfLine(*line, *row ? (*row)->values.estimate : QString());
    if (!taken)
        return;
    fillfields(taken->texts);
    m_correcting =
        Correcting{*line, *row ? std::optional((*row)->row) : std::nullopt, taken->dateText, dateFieldTexts()};
    m_lblCorrecting->setText(QStringLiteral("Correcting: %1").arg(*line));
    m_lblCorrecting->setToolTip(QStringLiteral("Enter replaces this line of the report; Escape leaves it as it is"));
    m_lblCorrecting->show();
    m_cmdEnter->setEnabled(true);
}

void frmEntryscreen::withdrawLine()
{
    const QString title = QStringLiteral("Withdraw a line");
    const std::optional<QString> line = m_correcting ? std::optional<QString>(m_correcting->line) : lineAtCursor();
    if (!line)
        return screenkit::showProblem(noLineChosen(title), observe::lc());
    if (hostkit::ask(QStringLiteral("Take this line out of the report and its observation out of the database?"
                                    "\n\n%1\n\nThe change is kept in the record of changes.%2")
                         .arg(*line, reports::aavsoHoldsNotice(m_appFolder, *line)),
                     title, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    const auto row = chooseRow(*line, title);
    if (!row)
        return;
    withdraw({*line}, *row ? std::optional((*row)->row) : std::nullopt, false);
}

void frmEntryscreen::withdraw(const QStringList &lines, const std::optional<qint64> &row, bool unpaired)
{
    for (const QString &line : lines) {
        const outcome::Done withdrawn = unpaired ? modEntryscreen::withdrawUnpaired(m_appFolder, m_todaysfile, line)
                                                 : modEntryscreen::withdrawobs(m_appFolder, m_todaysfile, line, row);
        if (!withdrawn) {
            screenkit::showProblem(withdrawn.problem(), observe::lc());
            break;
        }
    }
    if (m_correcting && lines.contains(m_correcting->line))
        endCorrection();
    showreport();
}

void frmEntryscreen::fillfields(const modEntryscreen::ObservationTexts &texts)
{
    m_txtStar->setText(texts.star);
    const QStringList dates{texts.year, texts.month, texts.day, texts.hour, texts.minute};
    for (qsizetype i = 0; i < m_dateFields.size() && i < dates.size(); ++i)
        m_dateFields.at(i)->setProperty("Text", dates.at(i));
    m_txtEstimate->setText(texts.estimate);
    m_chkFainterthan->setChecked(texts.fainterthan);
    m_txtMagn->setText(texts.magnitude);
    m_nbComp1->setText(texts.comp1);
    m_nbComp2->setText(texts.comp2);
    m_txtChartid->setText(texts.chart);
    m_ddCommentcodes->clearSelection();
    m_ddCommentcodes->setCurrentRow(-1);
    if (texts.comment) {
        const auto items = m_ddCommentcodes->findItems(*texts.comment, Qt::MatchExactly);
        if (!items.isEmpty())
            m_ddCommentcodes->setCurrentItem(items.constFirst());
    }
    m_txtNotes->setText(texts.notes);
    m_estimateEmptiedByRecording = false;
}

void frmEntryscreen::endCorrection()
{
    if (!m_correcting)
        return;
    m_correcting.reset();
    m_lblCorrecting->hide();
    clearfields();
}

void frmEntryscreen::showwarnings(const QStringList &warnings)
{
    m_lblWarnings->setText(warnings.join(u'\n'));
    // Several may be more than the label holds.
    m_lblWarnings->setToolTip(m_lblWarnings->text());
    m_lblWarnings->setVisible(!warnings.isEmpty());
}

void frmEntryscreen::showNotRecorded(const outcome::Problem &problem)
{
    screenkit::showProblem(problem, observe::lc());
    offerHeaderEditor();
    if (problem.field.isEmpty())
        return;
    if (auto *field = canvas()->findChild<QWidget *>(problem.field))
        field->setFocus(Qt::OtherFocusReason);
}

void frmEntryscreen::offerHeaderEditor()
{
    const outcome::Result<QByteArray> header = appfiles::readHeader(m_appFolder);
    if (header || header.problem().kind == outcome::Kind::Failed)
        return;
    // Once this screen is active, so that the editor is not hidden behind it.
    if (isActiveWindow())
        screenkit::show(screenkit::Screen::HeaderEditor);
    else
        m_offerEditorWhenActive = true;
}

void frmEntryscreen::changeEvent(QEvent *event)
{
    Form::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_offerEditorWhenActive) {
        m_offerEditorWhenActive = false;
        screenkit::show(screenkit::Screen::HeaderEditor);
    }
}

void frmEntryscreen::closeEvent(QCloseEvent *event)
{
    Form::closeEvent(event);
    emit sessionEnded(m_todaysfile);
}

void frmEntryscreen::showreport()
{
    const outcome::Result<modEntryscreen::ReportText> report =
        modEntryscreen::readReport(m_todaysfile, m_reportShown, m_reportIdentity);
    if (!report && m_reportShown == 0) {
        m_rtbObs->setPlainText(QString());
    } else if (report && report->whole) {
        m_rtbObs->setPlainText(report->text);
    } else if (report && !report->text.isEmpty()) {
        QTextCursor end(m_rtbObs->document());
        end.movePosition(QTextCursor::End);
        end.insertText(report->text);
    }
    if (report) {
        m_reportShown = report->end;
        m_reportIdentity = report->identity;
    } else
        qCWarning(observe::lc).noquote() << "shown:" << report.problem().message;
    // Shown in the empty view: the reason was told when the file failed.
    m_rtbObs->setPlaceholderText(report ? QString() : report.problem().message);
    m_rtbObs->moveCursor(QTextCursor::End);
}

void frmEntryscreen::nameUnpaired()
{
    // A courtesy at opening: when the database cannot be read now, the
    // recording itself will say why.
    const QStringList unpaired = modEntryscreen::unpairedLines(m_appFolder, m_todaysfile).valueOr({});
    if (unpaired.isEmpty())
        return;
    constexpr qsizetype listed = 20;
    QStringList shown = unpaired.mid(0, listed);
    if (unpaired.size() > listed)
        shown.append(QStringLiteral("... and %1 more").arg(unpaired.size() - listed));
    const QString text =
        QStringLiteral("These lines of today's report \"%1\" have no observation in the database, perhaps because "
                       "the program stopped while recording them:\n\n%2\n\nA line without its observation should "
                       "not be sent. Withdraw them from the report now? Enter the observation again if you want to "
                       "keep it.")
            .arg(QDir::toNativeSeparators(m_todaysfile), shown.join(u'\n'));
    const outcome::Problem problem = outcome::failed(text)
                                         .titled(QStringLiteral("Report lines without their observation"))
                                         .as(outcome::Severity::Warning);
    if (screenkit::askAbout(problem, observe::lc(), QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        withdraw(unpaired, std::nullopt, true);
}

void frmEntryscreen::clearfields()
{
    for (QLineEdit *field : {m_txtChartid, m_nbComp1, m_nbComp2, m_txtMagn, m_txtStar, m_txtNotes, m_txtEstimate})
        field->clear();
    m_chkFainterthan->setChecked(false);
    m_ddCommentcodes->clearSelection();
    m_ddCommentcodes->setCurrentRow(-1);
    // After the estimate was emptied, whose change enables the button.
    m_cmdEnter->setEnabled(false);
    // The observer did not empty the estimate: leaving it is no omission.
    m_estimateEmptiedByRecording = true;
}

void frmEntryscreen::countobservation()
{
    ++m_totalobs;
    m_lblObs->setText(QStringLiteral("Total number of observations: ") + QString::number(m_totalobs));
}

void frmEntryscreen::liststars()
{
    m_ddStars->clear();
    const QTableWidgetItem *cell = m_MSFlexGrid1->currentItem();
    if (!cell)
        return;
    const outcome::Result<QStringList> names = modEntryscreen::liststars(m_appFolder, cell->text().toLower());
    if (!names) {
        screenkit::showProblem(names.problem(), observe::lc());
        return;
    }
    m_ddStars->addItems(*names);
}

void frmEntryscreen::starchosen()
{
    const auto chosen = m_ddStars->selectedItems();
    if (chosen.isEmpty())
        return;
    // Another star is no correction of the line.
    endCorrection();
    m_selstar = chosen.constFirst()->text();
    m_cmdEnter->setEnabled(true);
}

void frmEntryscreen::estimateLeft()
{
    const outcome::Done left = modEntryscreen::checkEstimateLeft(m_txtEstimate->text());
    if (left || m_estimateEmptiedByRecording)
        return;
    screenkit::showProblem(left.problem(), observe::lc());
    m_txtEstimate->setFocus();
}

void frmEntryscreen::notationLeft()
{
    // The observer's own estimate put into numbers may show before Enter; it
    // goes only where nothing is typed, and those fields' checks run on leaving.
    const std::optional<varstars::Reduction> worked =
        varstars::workOut(m_txtEstimate->text(), m_nbComp1->text(), m_nbComp2->text());
    if (!worked)
        return;
    const QStringList labels = worked->labelTexts();
    const std::pair<QLineEdit *, QString> fills[] = {
        {m_txtMagn, worked->magnitude()}, {m_nbComp1, labels.value(0)}, {m_nbComp2, labels.value(1)}};
    for (const auto &[field, text] : fills) {
        if (field->text().isEmpty())
            field->setText(text);
    }
    if (worked->fainterThan)
        m_chkFainterthan->setChecked(true);
}

void frmEntryscreen::magnitudeValidate(bool &)
{
    setChanged(m_txtMagn, modEntryscreen::completedMagnitude(m_txtMagn->text()));
}

void frmEntryscreen::magnitudeLeft()
{
    const outcome::Done left = modEntryscreen::checkMagnitudeLeft(m_txtMagn->text());
    if (left)
        return;
    m_txtMagn->setFocus();
    m_txtMagn->clear();
    screenkit::showProblem(left.problem(), observe::lc());
}

bool frmEntryscreen::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_Picture2 || watched == m_Picture3) {
        if (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress
            || event->type() == QEvent::MouseButtonRelease) {
            const bool finder = watched == m_Picture2;
            return pictureMouse(finder ? m_Picture2 : m_Picture3, finder ? m_grabPicture2 : m_grabPicture3,
                                static_cast<QMouseEvent *>(event));
        }
    }
    // After the arrival has run its course, so a click into the field does
    // not undo the selection.
    if (event->type() == QEvent::FocusIn && m_hiliteOnEntry.contains(watched))
        QMetaObject::invokeMethod(this, &frmEntryscreen::hilite, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, event);
}

void frmEntryscreen::stamp()
{
    const modEntryscreen::TimeStamp now = modEntryscreen::timestamp(m_clock());
    const int values[5] = {now.year, now.month, now.day, now.hour, now.minute};
    // Into the fields' texts as they stand: their range checks are not run.
    for (qsizetype i = 0; i < m_dateFields.size() && i < 5; ++i)
        m_dateFields.at(i)->setProperty("Text", QString::number(values[i]));
}

void frmEntryscreen::showstar(const QString &star)
{
    if (!m_correcting && !m_txtEstimate->text().trimmed().isEmpty()) {
        screenkit::showProblem(
            outcome::refused(QStringLiteral("The estimate \"%1\" is typed but not entered. Enter it, or empty the "
                                            "estimate field, then open \"%2\" from Tonight again.")
                                 .arg(m_txtEstimate->text().trimmed(), star),
                             QStringLiteral("txtEstimate"))
                .titled(QStringLiteral("Estimate not entered"))
                .as(outcome::Severity::Warning),
            observe::lc());
        m_txtEstimate->setFocus();
        return;
    }
    endCorrection();
    if (const outcome::Result<modEntryscreen::ChartRow> row = modEntryscreen::chartrow(m_appFolder, star); row) {
        pickstar(row->constell, row->starname);
        m_selstar = row->starname;
    } else {
        m_selstar = star;
    }
    showchart(m_selstar);
}

void frmEntryscreen::pickstar(const QString &constellation, const QString &star)
{
    const QList<QTableWidgetItem *> cells = m_MSFlexGrid1->findItems(constellation, Qt::MatchFixedString);
    if (cells.isEmpty())
        return;
    m_MSFlexGrid1->setCurrentItem(cells.constFirst());
    liststars();
    const QList<QListWidgetItem *> names = m_ddStars->findItems(star, Qt::MatchFixedString);
    if (!names.isEmpty())
        m_ddStars->setCurrentItem(names.constFirst());
}

void frmEntryscreen::showchart(const QString &star)
{
    showwarnings({});
    // Each step stays done when a later one fails.
    stamp();
    const outcome::Result<modEntryscreen::ChartRow> row = modEntryscreen::chartrow(m_appFolder, star);
    const QString file = row ? row->picturefile : QString();
    const auto notFound = [&file] { screenkit::showProblem(modEntryscreen::chartNotFound(file), observe::lc()); };
    if (!row)
        return notFound();
    const outcome::Result<modEntryscreen::NightPicture> chart =
        modEntryscreen::chartPicture(m_appFolder, *row, screenkit::night::black);
    if (!chart)
        return screenkit::showProblem(chart.problem(), observe::lc());
    showPicture(m_Picture3, *chart);

    m_txtStar->setText(row->starname);
    m_txtChartid->setText(row->chart);
    // Once, where the warnings go: the chart on the screen may be out of date.
    if (const QString note = reports::sequenceNote(m_appFolder, row->chart); !note.isEmpty())
        showwarnings({note});
    const auto dateText = [this](int i) {
        return i < m_dateFields.size() ? m_dateFields.at(i)->property("Text").toString() : QString();
    };
    const auto daynumber = modEntryscreen::daynumber(dateText(0), dateText(1), dateText(2));
    if (!daynumber)
        return notFound();
    m_cmdFinder->setEnabled(modEntryscreen::hasFinder(row->finderchart));
    if (!showprevious(row->starname, *daynumber))
        notFound();
}

bool frmEntryscreen::showprevious(const QString &star, qint32 daynumber)
{
    m_lblPrevious->show();
    const outcome::Result<std::optional<QString>> newest = modEntryscreen::newestObsdate(m_appFolder, star);
    if (!newest)
        return false;
    const outcome::Result<QString> previous = modEntryscreen::previousCaption(star, *newest, daynumber);
    if (!previous) {
        // Not the summary of the star shown before under this chart.
        m_lblPrevious->clear();
        screenkit::showProblem(previous.problem(), observe::lc());
        return true;
    }
    m_lblPrevious->setText(*previous);
    return true;
}

void frmEntryscreen::showfinder(const QString &star)
{
    // Whatever goes wrong, no earlier finder chart stays up as if it were this star's.
    m_Picture2->hide();
    const outcome::Result<modEntryscreen::NightPicture> finder =
        modEntryscreen::finderPicture(m_appFolder, star, screenkit::night::field);
    if (!finder)
        return screenkit::showProblem(finder.problem(), observe::lc());
    showPicture(m_Picture2, *finder);
    m_Picture2->show();
}

void frmEntryscreen::showPicture(PictureBox *box, const modEntryscreen::NightPicture &picture)
{
    box->setPicture(picture.image, picture.applications > 0);
    moveBox(box, box->pos());
}

void frmEntryscreen::moveBox(PictureBox *box, const QPoint &topLeft)
{
    // A picture keeps its own pixels at any scale of the screen; where it
    // lies in the frame follows the scale.
    place(box, twips(topLeft.x()), twips(topLeft.y()), twips(box->width()), twips(box->height()),
          box->picture().isNull() ? Sizing::Fixed : Sizing::ToText);
}

bool frmEntryscreen::pictureMouse(PictureBox *box, QPointF &grab, QMouseEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
        if (event->buttons() == Qt::LeftButton)
            moveBox(box, box->pos() + (event->position() - grab).toPoint());
        else
            grab = event->position();
        break;
    case QEvent::MouseButtonPress:
        // A pen or a touch presses without a move before it.
        if (event->buttons() == event->button())
            grab = event->position();
        if (box == m_Picture2 && event->buttons() != Qt::LeftButton)
            box->hide();
        break;
    case QEvent::MouseButtonRelease:
        if (box == m_Picture2)
            box->setCursor(Qt::ArrowCursor);
        break;
    default: return false;
    }
    return true;
}

} // namespace observe
