// SPDX-License-Identifier: GPL-2.0-or-later
#include "frmentryscreen.h"

#include "componenthost.h"
#include "fixedlists.h"
#include "formdesign.h"
#include "largecheckbox.h"
#include "leavecheck.h"
#include "messageseam.h"
#include "modentryscreen.h"
#include "navigation.h"
#include "nightcolours.h"
#include "reportfile.h"
#include "ui.h"

#include "folder.h"
#include "headerfile.h"
#include "schema.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>

namespace
{
const char *const numberFieldNames[5] = {"nbYear", "nbMonth", "nbDay", "nbHour", "nbMinute"};

QFont fieldFont()
{
    return ui::msSansSerif(9.75, true);
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

template<typename W>
W *frmEntryscreen::make(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *widget = new W(parent);
    widget->setObjectName(QLatin1String(name));
    place(widget, left, top, width, height);
    return widget;
}

QLabel *frmEntryscreen::makeLabel(const char *name, const QString &text, int left, int top, int width, int height,
                                  Sizing sizing)
{
    auto *label = new QLabel(text, canvas());
    label->setObjectName(QLatin1String(name));
    setScaledFont(label, fieldFont());
    place(label, left, top, width, height, sizing);
    return label;
}

QPushButton *frmEntryscreen::makeButton(const char *name, const QString &text, const QString &tip, int left, int top,
                                        int width, int height)
{
    auto *button = make<QPushButton>(canvas(), name, left, top, width, height);
    button->setText(text);
    button->setToolTip(tip);
    return button;
}

QLineEdit *frmEntryscreen::makeField(const char *name, int left, int top, int width, int height)
{
    auto *field = make<QLineEdit>(canvas(), name, left, top, width, height);
    setScaledFont(field, fieldFont());
    return field;
}

frmEntryscreen::frmEntryscreen(const QString &appFolder, QWidget *parent)
    : screenkit::Form(20100, 12855, parent)
    , m_appFolder(appFolder)
    , m_host(std::make_unique<hostkit::ComponentHost>(appFolder))
{
    createControls();
    createNumberFields();
    arrangeTabOrder();
    // The toolkit's context menus would offer what the fields must refuse.
    for (QWidget *child : findChildren<QWidget *>())
        child->setContextMenuPolicy(Qt::NoContextMenu);
    // Full screen leaves no light title bar at the eyepiece.
    auto *fullScreen = new QShortcut(QKeySequence(Qt::Key_F11), this);
    connect(fullScreen, &QShortcut::activated, this, [this] { setWindowState(windowState() ^ Qt::WindowFullScreen); });
    load();
    m_cmdFinder->setFocus();
}

frmEntryscreen::~frmEntryscreen()
{
    // The controls' code lives in the library: they go before the library may.
    qDeleteAll(m_dateFields);
    m_dateFields.clear();
    m_host->unloadUnused();
}

void frmEntryscreen::createControls()
{
    m_cmdFinder = makeButton("cmdFinder", QStringLiteral("get &Finder"),
                             QStringLiteral("Click to get a finder chart for this star"), 11160, 360, 1215, 495);

    m_MSFlexGrid1 = make<QTableWidget>(canvas(), "MSFlexGrid1", 16560, 360, 2055, 1575);
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
    setScaledFont(grid, fieldFont());
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QStringList &constellations = modEntryscreen::constellations();
    for (int i = 0; i < constellations.size(); ++i)
        grid->setItem(i % 44, i / 44, new QTableWidgetItem(constellations.at(i)));
    connect(grid, &QTableWidget::cellClicked, this, &frmEntryscreen::liststars);

    m_ddStars = make<QListWidget>(canvas(), "ddStars", 14280, 360, 1935, 1500);
    setScaledFont(m_ddStars, fieldFont());
    connect(m_ddStars, &QListWidget::itemSelectionChanged, this, &frmEntryscreen::starchosen);

    m_cmdChart = makeButton("cmdChart", QStringLiteral("get &Chart"), QStringLiteral("Display the chart"), 12600, 360,
                            1215, 495);

    makeLabel("Label1", QStringLiteral("Star:"), 10320, 1200, 615, 375);
    m_txtStar = makeField("txtStar", 10320, 1560, 1815, 495);
    makeLabel("Label2", QStringLiteral("Year:                 Month:          Day             Hour:           Minute:"),
              10320, 2280, 6015, 240, Sizing::ToText);
    makeLabel("Label3",
              QStringLiteral("Estimate:                                   Ftr than?     Magn:     CS1:    "
                             "CS2:              Chart ID:"),
              10320, 3360, 8115, 240, Sizing::ToText);

    m_txtEstimate = makeField("txtEstimate", 10320, 3720, 3135, 495);
    m_chkFainterthan = make<screenkit::LargeCheckBox>(canvas(), "chkFainterthan", 13680, 3720, 495, 495);
    m_txtMagn = makeField("txtMagn", 14280, 3720, 735, 495);
    m_nbComp1 = makeField("nbComp1", 15240, 3720, 615, 495);
    m_nbComp2 = makeField("nbComp2", 16080, 3720, 615, 495);
    m_txtChartid = makeField("txtChartid", 16920, 3720, 1455, 495);

    makeLabel("Label4", QStringLiteral("Comment Codes:"), 11040, 4440, 1815, 375);
    // Tall enough for five codes at once, so the observer sees what there is to choose.
    m_ddCommentcodes = make<QListWidget>(canvas(), "ddCommentcodes", 11040, 4800, 1815, 1575);
    setScaledFont(m_ddCommentcodes, fieldFont());
    m_ddCommentcodes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_ddCommentcodes->addItems(modEntryscreen::commentCodes());
    m_ddCommentcodes->setCurrentRow(-1);
    m_ddCommentcodes->clearSelection();
    m_cmdClearcode =
        makeButton("cmdClearcode", QStringLiteral("X"), QStringLiteral("No comment code"), 12870, 4800, 300, 330);
    connect(m_cmdClearcode, &QPushButton::clicked, this, [this] {
        m_ddCommentcodes->clearSelection();
        m_ddCommentcodes->setCurrentRow(-1);
    });

    makeLabel("Label5", QStringLiteral("Notes:"), 13200, 4440, 3255, 375);
    m_txtNotes = makeField("txtNotes", 13200, 4800, 5175, 495);
    m_txtNotes->setMaxLength(store::cumobs().column(QStringLiteral("notes"))->length);
    m_txtNotes->setToolTip(QStringLiteral("You can enter a maximum of 50 characters here"));

    m_lblPrevious = makeLabel("lblPrevious", QString(), 13200, 5760, 5175, 375);
    m_lblPrevious->hide();

    m_rtbObs = make<QPlainTextEdit>(canvas(), "rtbObs", 11040, 6840, 7935, 3975);
    m_rtbObs->setReadOnly(true);
    m_rtbObs->setTabChangesFocus(true);
    setScaledFont(m_rtbObs, fieldFont());
    m_rtbObs->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_rtbObs->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);

    m_cmdEnter = makeButton("cmdEnter", QStringLiteral("&Enter"),
                            QStringLiteral("Submit this observation to the text file"), 17760, 11040, 1215, 495);
    setScaledFont(m_cmdEnter, fieldFont());
    m_cmdEnter->setEnabled(false);
    connect(m_cmdEnter, &QPushButton::clicked, this, &frmEntryscreen::enter);

    // Between the buttons, where it can be read; a large count takes two lines.
    m_lblObs = makeLabel("lblObs", QString(), 12960, 11040, 3120, 495);
    m_lblObs->setWordWrap(true);
    m_lblObs->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_cmdHelp = makeButton("cmdHelp", QStringLiteral("&Help"), QString(), 16200, 11040, 1095, 495);
    connect(m_cmdHelp, &QPushButton::clicked, this, [] { screenkit::help(screenkit::HelpCommand::HelpContext, 1002); });
    m_cmdDBform = makeButton("cmdDBform", QStringLiteral("&Database Screen"), QString(), 11040, 11040, 1815, 495);
    connect(m_cmdDBform, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::Catalogue); });
    // The star of the chart shown (get Chart fills the star field), else the one picked in the list.
    m_cmdLightcurve =
        makeButton("cmdLightcurve", QStringLiteral("Light c&urve"),
                   QStringLiteral("Show this star's light curve from all your observations"), 12360, 1680, 1695, 375);
    connect(m_cmdLightcurve, &QPushButton::clicked, this, [this] {
        const QString star = m_txtStar->text().isEmpty() ? m_selstar : m_txtStar->text();
        if (star.isEmpty())
            hostkit::ask(QStringLiteral("Pick a star in the list first: the light curve shows that star's "
                                        "observations."),
                         QStringLiteral("Light curve"));
        else
            screenkit::show(screenkit::Screen::LightCurve, star);
    });

    m_Picture1 = make<QLabel>(canvas(), "Picture1", 0, 0, 9855, 12135);
    m_Picture3 = make<QLabel>(m_Picture1, "Picture3", 240, 240, 9135, 11295);
    m_Picture2 = make<QLabel>(m_Picture1, "Picture2", 6840, 480, 2535, 2055);
    for (QLabel *picture : {m_Picture1, m_Picture3, m_Picture2}) {
        picture->setAutoFillBackground(true);
        picture->setFocusPolicy(Qt::TabFocus);
    }
    QPalette blackBox = screenkit::night::palette();
    blackBox.setColor(QPalette::Window, QColor(screenkit::night::black));
    m_Picture1->setPalette(blackBox);
    m_Picture3->setPalette(blackBox);
    QPalette finderBox = screenkit::night::palette();
    finderBox.setColor(QPalette::Window, QColor(screenkit::night::field));
    m_Picture2->setPalette(finderBox);
    m_Picture2->hide();

    connect(m_txtEstimate, &QLineEdit::textChanged, m_cmdEnter, [this] { m_cmdEnter->setEnabled(true); });
    connect(m_txtEstimate, &QLineEdit::textEdited, this, [this] { m_estimateEmptiedByRecording = false; });

    auto *estimateCheck = new hostkit::LeaveCheck(m_txtEstimate);
    connect(estimateCheck, &hostkit::LeaveCheck::departed, this, &frmEntryscreen::estimateLeft);
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

void frmEntryscreen::createNumberFields()
{
    static const int positions[5][4] = {
        {10320, 2640, 975, 495}, {11880, 2640, 615, 495}, {13120, 2640, 615, 495},
        {14360, 2640, 615, 495}, {15600, 2640, 615, 495},
    };
    QString error;
    const hostkit::FormDesign design = savedDesign(&error);
    for (int i = 0; i < 5 && error.isEmpty(); ++i) {
        const QString name = QLatin1String(numberFieldNames[i]);
        const hostkit::ControlDesign *control = design.control(name);
        if (!control) {
            error = QStringLiteral("The screen's design has no field \"%1\".").arg(name);
            break;
        }
        QWidget *field = m_host->createFromDesign(*control, canvas(), &error);
        if (!field)
            break;
        place(field, positions[i][0], positions[i][1], positions[i][2], positions[i][3]);
        // The saved font, sized with the screen.
        setScaledFont(field->focusProxy() ? field->focusProxy() : field,
                      field->focusProxy() ? field->focusProxy()->font() : field->font());
        field->show();
        m_dateFields.append(field);
        // nbYear keeps its text selection as it is; the others select on entry.
        if (i > 0 && field->focusProxy()) {
            field->focusProxy()->installEventFilter(this);
            m_hiliteOnEntry.append(field->focusProxy());
        }
    }
    if (!error.isEmpty()) {
        hostkit::ask(QStringLiteral("The date and time fields could not be created, so no observation can be "
                                    "recorded until this is mended:\n%1\n\nThe file comes with varlume and "
                                    "belongs in its folder; installing varlume again puts it back.")
                         .arg(error),
                     QStringLiteral("Date and time fields missing"), QMessageBox::Critical);
    }
}

void frmEntryscreen::arrangeTabOrder()
{
    QList<QWidget *> order{m_cmdFinder, m_MSFlexGrid1, m_ddStars, m_cmdChart, m_txtStar};
    order += m_dateFields;
    order += {m_txtEstimate,    m_chkFainterthan, m_txtMagn,  m_nbComp1,   m_nbComp2,      m_txtChartid,
              m_ddCommentcodes, m_cmdClearcode,   m_txtNotes, m_rtbObs,    m_cmdEnter,     m_Picture1,
              m_Picture2,       m_Picture3,       m_cmdHelp,  m_cmdDBform, m_cmdLightcurve};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

void frmEntryscreen::load()
{
    m_todaysfile = appfiles::Folder(m_appFolder).report(QDate::currentDate());
    setWindowTitle(QStringLiteral("File name: ") + m_todaysfile);
    if (const auto error = modEntryscreen::beginReport(m_appFolder, m_todaysfile)) {
        hostkit::ask(*error, QStringLiteral("Report file"), QMessageBox::Warning);
        offerHeaderEditor();
    }
    showreport();
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
    const auto outcome = modEntryscreen::recordobs(m_appFolder, m_todaysfile, observation());
    showreport();
    if (outcome.kind != modEntryscreen::RecordOutcome::Recorded) {
        hostkit::ask(outcome.message, QStringLiteral("Observation not recorded"), QMessageBox::Warning);
        offerHeaderEditor();
        return;
    }
    clearfields();
    countobservation();
}

void frmEntryscreen::offerHeaderEditor()
{
    if (appfiles::readHeader(appfiles::Folder(m_appFolder)).status != appfiles::HeaderRead::Missing)
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

void frmEntryscreen::showreport()
{
    const auto report = modEntryscreen::readReport(m_todaysfile);
    m_rtbObs->setPlainText(report.text);
    // Shown in the empty view: the reason was told when the file failed.
    m_rtbObs->setPlaceholderText(report.error.value_or(QString()));
    m_rtbObs->moveCursor(QTextCursor::End);
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
    QString error;
    const QStringList names = modEntryscreen::liststars(m_appFolder, cell->text().toLower(), &error);
    if (!error.isEmpty()) {
        hostkit::ask(error, QStringLiteral("Chart catalogue"), QMessageBox::Warning);
        return;
    }
    m_ddStars->addItems(names);
}

void frmEntryscreen::starchosen()
{
    const auto chosen = m_ddStars->selectedItems();
    if (chosen.isEmpty())
        return;
    m_selstar = chosen.constFirst()->text();
    m_cmdEnter->setEnabled(true);
}

void frmEntryscreen::estimateLeft()
{
    if (!m_txtEstimate->text().isEmpty() || m_estimateEmptiedByRecording)
        return;
    hostkit::ask(QStringLiteral("You must enter an estimate!"), QStringLiteral("Alert"));
    m_txtEstimate->setFocus();
}

void frmEntryscreen::magnitudeValidate(bool &)
{
    setChanged(m_txtMagn, modEntryscreen::completedMagnitude(m_txtMagn->text()));
}

void frmEntryscreen::magnitudeLeft()
{
    if (m_txtMagn->text().contains(QLatin1Char('.')))
        return;
    m_txtMagn->setFocus();
    m_txtMagn->clear();
    hostkit::ask(QStringLiteral("Magnitude must have a decimal point"), QStringLiteral("Wrong number format"));
}

bool frmEntryscreen::eventFilter(QObject *watched, QEvent *event)
{
    // After the arrival has run its course, so a click into the field does
    // not undo the selection.
    if (event->type() == QEvent::FocusIn && m_hiliteOnEntry.contains(watched))
        QMetaObject::invokeMethod(this, &frmEntryscreen::hilite, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, event);
}
