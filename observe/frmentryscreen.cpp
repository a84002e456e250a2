#include "frmentryscreen.h"

#include "formdesign.h"
#include "help.h"
#include "leavecheck.h"
#include "messageseam.h"
#include "modentryscreen.h"
#include "reportfile.h"
#include "screens.h"
#include "ui.h"

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
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTableWidget>
#include <QToolTip>

namespace
{
const QColor screenRed(64, 0, 0);
const QColor fieldRed(128, 0, 0);
const QColor textRed(255, 0, 0);
const QColor black(0, 0, 0);

// Constellations in the order of their Latin names, column 0 then column 1.
const char *const constellations[88] = {
    "And", "Ant", "Aps", "Aqr", "Aql", "Ara", "Ari", "Aur", "Boo", "Cae", "Cam", "Cnc", "CVn", "CMa", "CMi",
    "Cap", "Car", "Cas", "Cen", "Cep", "Cet", "Cha", "Cir", "Col", "Com", "CrA", "CrB", "Crv", "Crt", "Cru",
    "Cyg", "Del", "Dor", "Dra", "Equ", "Eri", "For", "Gem", "Gru", "Her", "Hor", "Hya", "Hyi", "Ind",
    "Lac", "Leo", "LMi", "Lep", "Lib", "Lup", "Lyn", "Lyr", "Men", "Mic", "Mon", "Mus", "Nor", "Oct", "Oph",
    "Ori", "Pav", "Peg", "Per", "Phe", "Pic", "Psc", "PsA", "Pup", "Pyx", "Ret", "Sge", "Sgr", "Sco", "Scl",
    "Sct", "Ser", "Sex", "Tau", "Tel", "Tri", "TrA", "Tuc", "UMa", "UMi", "Vel", "Vir", "Vol", "Vul",
};

const char *const commentCodes[11] = {
    "B - Bright sky, Moon etc", "D - Unusual activity", "I - Identification uncertain", "K - non-AAVSO chart",
    "L - Low, Obstructed", "S - Sequence problem", "U - Clouds, haze...", "V - faint, glimpsed",
    "W - Poor seeing", "Y - Outburst", "Z - Uncertain magnitude",
};

const char *const numberFieldNames[5] = {"nbYear", "nbMonth", "nbDay", "nbHour", "nbMinute"};

// Everything is dark red or black and every text red, scroll bars and
// selections included: white light spoils the observer's dark adaptation.
QPalette nightPalette()
{
    QPalette palette;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, screenRed);
        palette.setColor(group, QPalette::WindowText, textRed);
        palette.setColor(group, QPalette::Base, fieldRed);
        palette.setColor(group, QPalette::AlternateBase, fieldRed);
        palette.setColor(group, QPalette::Text, textRed);
        palette.setColor(group, QPalette::Button, fieldRed);
        palette.setColor(group, QPalette::ButtonText, textRed);
        palette.setColor(group, QPalette::BrightText, textRed);
        palette.setColor(group, QPalette::Light, QColor(160, 0, 0));
        palette.setColor(group, QPalette::Midlight, QColor(140, 0, 0));
        palette.setColor(group, QPalette::Mid, QColor(96, 0, 0));
        palette.setColor(group, QPalette::Dark, QColor(40, 0, 0));
        palette.setColor(group, QPalette::Shadow, black);
        palette.setColor(group, QPalette::Highlight, textRed);
        palette.setColor(group, QPalette::HighlightedText, black);
        palette.setColor(group, QPalette::ToolTipBase, screenRed);
        palette.setColor(group, QPalette::ToolTipText, textRed);
        palette.setColor(group, QPalette::PlaceholderText, QColor(160, 0, 0));
        palette.setColor(group, QPalette::Link, textRed);
        palette.setColor(group, QPalette::LinkVisited, textRed);
    }
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, QColor(170, 0, 0));
    return palette;
}

// A style that draws with the palette alone, whatever the desktop's theme.
QStyle *nightStyle()
{
    static QStyle *style = QStyleFactory::create(QStringLiteral("Fusion"));
    return style;
}

QFont fieldFont()
{
    return ui::msSansSerif(9.75, true);
}

template<typename W>
W *make(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *widget = new W(parent);
    widget->setObjectName(QLatin1String(name));
    ui::place(widget, left, top, width, height);
    return widget;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, int left, int top, int width, int height)
{
    auto *label = make<QLabel>(parent, name, left, top, width, height);
    label->setText(text);
    label->setFont(fieldFont());
    return label;
}

// Labels sized to their text keep their top left corner.
void sizeToText(QLabel *label)
{
    label->resize(label->sizeHint());
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text, const QString &tip, int left,
                        int top, int width, int height)
{
    auto *button = make<QPushButton>(parent, name, left, top, width, height);
    button->setText(text);
    button->setToolTip(tip);
    return button;
}

QLineEdit *makeField(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *field = make<QLineEdit>(parent, name, left, top, width, height);
    field->setFont(fieldFont());
    return field;
}

// Leaves the caret and selection alone when validation changes nothing.
void setChanged(QLineEdit *field, const QString &text)
{
    if (field->text() != text)
        field->setText(text);
}

FormDesign savedDesign(QString *error)
{
    QFile file(QStringLiteral(":/observe/frmentryscreen.design"));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    return FormDesign::fromText(QString::fromUtf8(file.readAll()), error);
}
}

frmEntryscreen::frmEntryscreen(const QString &appFolder, QWidget *parent)
    : QWidget(parent)
    , m_appFolder(appFolder)
    , m_host(std::make_unique<ComponentHost>(appFolder))
{
    ui::setClientSize(this, 20100, 12855);
    setFont(ui::dialogFont());
    setPalette(nightPalette());
    setAutoFillBackground(true);
    createControls();
    createNumberFields();
    arrangeTabOrder();
    for (QWidget *child : findChildren<QWidget *>()) {
        child->setStyle(nightStyle());
        // The toolkit's context menus are light windows of their own.
        child->setContextMenuPolicy(Qt::NoContextMenu);
    }
    setStyle(nightStyle());
    // Fusion lights button bevels with white; these buttons are drawn flat.
    // Set on the buttons alone, a sheet on the window would drop the palette.
    const QString buttonSheet(QStringLiteral(
        "QPushButton { background-color: rgb(128,0,0); color: rgb(255,0,0); border: 1px solid rgb(255,0,0);"
        " padding: 2px; }"
        "QPushButton:focus { border: 2px solid rgb(255,0,0); }"
        "QPushButton:pressed { background-color: rgb(64,0,0); }"
        "QPushButton:disabled { background-color: rgb(64,0,0); color: rgb(150,0,0); border-color: rgb(150,0,0); }"));
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setStyleSheet(buttonSheet);
    load();
    findChild<QWidget *>(QStringLiteral("cmdFinder"))->setFocus();
    // Tool tips share one palette across the program: red while they tell
    // about this screen, the usual one elsewhere.
    m_toolTipPalette = QToolTip::palette();
    qApp->installEventFilter(this);
}

frmEntryscreen::~frmEntryscreen()
{
    // The controls' code lives in the library: they go before the library may.
    qDeleteAll(m_numberFields);
    m_numberFields.clear();
    m_host->unloadUnused();
    QToolTip::setPalette(m_toolTipPalette);
}

void frmEntryscreen::createControls()
{
    makeButton(this, "cmdFinder", QStringLiteral("get &Finder"),
               QStringLiteral("Click to get a finder chart for this star"), 11160, 360, 1215, 495);

    auto *grid = make<QTableWidget>(this, "MSFlexGrid1", 16560, 360, 2055, 1575);
    grid->setRowCount(44);
    grid->setColumnCount(2);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setTabKeyNavigation(false);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setFont(fieldFont());
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int i = 0; i < 88; ++i) {
        auto *cell = new QTableWidgetItem(QString::fromLatin1(constellations[i]));
        grid->setItem(i % 44, i / 44, cell);
    }
    const int columnWidth = (grid->viewport()->width() - grid->verticalScrollBar()->sizeHint().width()) / 2;
    grid->setColumnWidth(0, qMax(columnWidth, 50));
    grid->setColumnWidth(1, qMax(columnWidth, 50));
    connect(grid, &QTableWidget::cellClicked, this, &frmEntryscreen::liststars);

    auto *stars = make<QListWidget>(this, "ddStars", 14280, 360, 1935, 1500);
    stars->setFont(fieldFont());
    connect(stars, &QListWidget::itemSelectionChanged, this, &frmEntryscreen::starchosen);

    makeButton(this, "cmdChart", QStringLiteral("get &Chart"), QStringLiteral("Display the chart"), 12600, 360,
               1215, 495);

    makeLabel(this, "Label1", QStringLiteral("Star:"), 10320, 1200, 615, 375);
    makeField(this, "txtStar", 10320, 1560, 1815, 495);
    sizeToText(makeLabel(this, "Label2",
                         QStringLiteral("Year:                 Month:          Day             Hour:           Minute:"),
                         10320, 2280, 6015, 240));
    sizeToText(makeLabel(this, "Label3",
                         QStringLiteral("Estimate:                                   Ftr than?     Magn:     CS1:    "
                                        "CS2:              Chart ID:"),
                         10320, 3360, 8115, 240));

    auto *estimate = makeField(this, "txtEstimate", 10320, 3720, 3135, 495);
    make<QCheckBox>(this, "chkFainterthan", 13680, 3720, 495, 495);
    auto *magnitude = makeField(this, "txtMagn", 14280, 3720, 735, 495);
    auto *comp1 = makeField(this, "nbComp1", 15240, 3720, 615, 495);
    auto *comp2 = makeField(this, "nbComp2", 16080, 3720, 615, 495);
    auto *chartId = makeField(this, "txtChartid", 16920, 3720, 1455, 495);

    makeLabel(this, "Label4", QStringLiteral("Comment Codes:"), 11040, 4440, 1815, 375);
    auto *codes = make<QListWidget>(this, "ddCommentcodes", 11040, 4800, 1815, 780);
    codes->setFont(fieldFont());
    codes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (const char *code : commentCodes)
        codes->addItem(QString::fromLatin1(code));
    codes->setCurrentRow(-1);
    codes->clearSelection();

    makeLabel(this, "Label5", QStringLiteral("Notes:"), 13200, 4440, 3255, 375);
    auto *notes = makeField(this, "txtNotes", 13200, 4800, 5175, 495);
    notes->setMaxLength(100);
    notes->setToolTip(QStringLiteral("You can enter a maximum of 50 characters here"));

    auto *previous = makeLabel(this, "lblPrevious", QString(), 11040, 5760, 6015, 375);
    previous->hide();

    auto *report = make<QPlainTextEdit>(this, "rtbObs", 11040, 6840, 7935, 3975);
    report->setReadOnly(true);
    report->setTabChangesFocus(true);
    report->setFont(fieldFont());
    report->setLineWrapMode(QPlainTextEdit::NoWrap);
    report->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);

    auto *enter = makeButton(this, "cmdEnter", QStringLiteral("&Enter"),
                             QStringLiteral("Submit this observation to the text file"), 17760, 11040, 1215, 495);
    enter->setFont(fieldFont());
    enter->setEnabled(false);
    connect(enter, &QPushButton::clicked, this, [this] { modEntryscreen::recordobs(*this); });

    sizeToText(makeLabel(this, "lblObs", QString(), 11640, 11040, 75, 240));

    auto *helpButton = makeButton(this, "cmdHelp", QStringLiteral("&Help"), QString(), 16200, 11040, 1095, 495);
    connect(helpButton, &QPushButton::clicked, this, [this] { help::call(m_appFolder, help::HelpContext, 1002); });
    auto *database = makeButton(this, "cmdDBform", QStringLiteral("&Database Screen"), QString(), 11040, 11040,
                                1815, 495);
    connect(database, &QPushButton::clicked, this, [] { screens::show(QStringLiteral("frmDatabase")); });

    auto *frame = make<QLabel>(this, "Picture1", 0, 0, 9855, 12135);
    auto *chart = make<QLabel>(frame, "Picture3", 240, 240, 9135, 11295);
    auto *finder = make<QLabel>(frame, "Picture2", 6840, 480, 2535, 2055);
    for (QLabel *picture : {frame, chart, finder}) {
        picture->setAutoFillBackground(true);
        picture->setFocusPolicy(Qt::TabFocus);
    }
    QPalette blackBox = nightPalette();
    blackBox.setColor(QPalette::Window, black);
    frame->setPalette(blackBox);
    chart->setPalette(blackBox);
    finder->hide();

    connect(estimate, &QLineEdit::textChanged, enter, [enter] { enter->setEnabled(true); });

    auto *estimateCheck = new LeaveCheck(estimate);
    connect(estimateCheck, &LeaveCheck::departed, this, &frmEntryscreen::estimateLeft);
    auto *magnitudeCheck = new LeaveCheck(magnitude);
    connect(magnitudeCheck, &LeaveCheck::validate, this, &frmEntryscreen::magnitudeValidate);
    connect(magnitudeCheck, &LeaveCheck::departed, this, &frmEntryscreen::magnitudeLeft);
    for (QLineEdit *comp : {comp1, comp2}) {
        connect(new LeaveCheck(comp), &LeaveCheck::validate, comp,
                [comp](bool &) { setChanged(comp, modEntryscreen::comparisonlabel(comp->text())); });
    }
    for (QWidget *field : {static_cast<QWidget *>(estimate), static_cast<QWidget *>(magnitude),
                           static_cast<QWidget *>(comp1), static_cast<QWidget *>(comp2),
                           static_cast<QWidget *>(chartId)}) {
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
    const FormDesign design = savedDesign(&error);
    for (int i = 0; i < 5 && error.isEmpty(); ++i) {
        const QString name = QLatin1String(numberFieldNames[i]);
        const ControlDesign *control = design.control(name);
        if (!control) {
            error = QStringLiteral("The screen's design has no field \"%1\".").arg(name);
            break;
        }
        QWidget *field = m_host->createFromDesign(*control, this, &error);
        if (!field)
            break;
        field->move(ui::twips(positions[i][0]), ui::twips(positions[i][1]));
        field->show();
        m_numberFields.append(field);
        // nbYear keeps its text selection as it is; the others select on entry.
        if (i > 0 && field->focusProxy()) {
            field->focusProxy()->installEventFilter(this);
            m_hiliteOnEntry.append(field->focusProxy());
        }
    }
    if (!error.isEmpty()) {
        messageseam::ask(QStringLiteral("The date and time fields could not be created, so no observation can be "
                                        "recorded until this is mended:\n%1\n\nThe file comes with varlume and "
                                        "belongs in its folder; installing varlume again puts it back.")
                             .arg(error),
                         QStringLiteral("Date and time fields missing"), QMessageBox::Critical);
    }
}

void frmEntryscreen::arrangeTabOrder()
{
    QStringList order{QStringLiteral("cmdFinder"), QStringLiteral("MSFlexGrid1"), QStringLiteral("ddStars"),
                      QStringLiteral("cmdChart"), QStringLiteral("txtStar")};
    for (const char *name : numberFieldNames)
        order.append(QLatin1String(name));
    order << QStringLiteral("txtEstimate") << QStringLiteral("chkFainterthan") << QStringLiteral("txtMagn")
          << QStringLiteral("nbComp1") << QStringLiteral("nbComp2") << QStringLiteral("txtChartid")
          << QStringLiteral("ddCommentcodes") << QStringLiteral("txtNotes") << QStringLiteral("rtbObs")
          << QStringLiteral("cmdEnter") << QStringLiteral("Picture1") << QStringLiteral("Picture2")
          << QStringLiteral("Picture3") << QStringLiteral("cmdHelp") << QStringLiteral("cmdDBform");
    QWidget *previous = nullptr;
    for (const QString &name : order) {
        QWidget *widget = findChild<QWidget *>(name);
        if (!widget)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void frmEntryscreen::load()
{
    m_todaysfile = modEntryscreen::todaysfilename(m_appFolder, QDate::currentDate());
    setWindowTitle(QStringLiteral("File name: ") + m_todaysfile);
    if (const auto error = modEntryscreen::beginreport(m_appFolder, m_todaysfile))
        messageseam::ask(*error, QStringLiteral("Report file"), QMessageBox::Warning);
    showreport();
}

QString frmEntryscreen::appFolder() const
{
    return m_appFolder;
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
    modEntryscreen::ObservationTexts texts;
    texts.star = fieldText("txtStar");
    texts.year = fieldText("nbYear");
    texts.month = fieldText("nbMonth");
    texts.day = fieldText("nbDay");
    texts.hour = fieldText("nbHour");
    texts.minute = fieldText("nbMinute");
    texts.estimate = fieldText("txtEstimate");
    texts.fainterthan = findChild<QCheckBox *>(QStringLiteral("chkFainterthan"))->isChecked();
    texts.magnitude = fieldText("txtMagn");
    texts.comp1 = fieldText("nbComp1");
    texts.comp2 = fieldText("nbComp2");
    texts.chart = fieldText("txtChartid");
    const auto chosen = findChild<QListWidget *>(QStringLiteral("ddCommentcodes"))->selectedItems();
    if (!chosen.isEmpty())
        texts.comment = chosen.constFirst()->text();
    texts.notes = fieldText("txtNotes");
    return texts;
}

QString frmEntryscreen::fieldText(const char *name) const
{
    const QWidget *field = findChild<QWidget *>(QLatin1String(name));
    if (const auto *edit = qobject_cast<const QLineEdit *>(field))
        return edit->text();
    return field ? field->property("Text").toString() : QString();
}

void frmEntryscreen::showreport()
{
    auto *view = findChild<QPlainTextEdit *>(QStringLiteral("rtbObs"));
    const auto report = modEntryscreen::readreport(m_todaysfile);
    view->setPlainText(report.text);
    // Shown in the empty view: the reason was told when the file failed.
    view->setPlaceholderText(report.error.value_or(QString()));
    view->moveCursor(QTextCursor::End);
}

void frmEntryscreen::clearfields()
{
    for (const char *name : {"txtChartid", "nbComp1", "nbComp2", "txtMagn", "txtStar", "txtNotes", "txtEstimate"})
        findChild<QLineEdit *>(QLatin1String(name))->clear();
    findChild<QCheckBox *>(QStringLiteral("chkFainterthan"))->setChecked(false);
    auto *codes = findChild<QListWidget *>(QStringLiteral("ddCommentcodes"));
    codes->clearSelection();
    codes->setCurrentRow(-1);
    // After the estimate was emptied, whose change enables the button.
    findChild<QPushButton *>(QStringLiteral("cmdEnter"))->setEnabled(false);
}

void frmEntryscreen::countobservation()
{
    ++m_totalobs;
    auto *label = findChild<QLabel *>(QStringLiteral("lblObs"));
    label->setText(QStringLiteral("Total number of observations: ") + QString::number(m_totalobs));
    label->resize(label->sizeHint());
}

void frmEntryscreen::liststars()
{
    auto *grid = findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"));
    auto *stars = findChild<QListWidget *>(QStringLiteral("ddStars"));
    stars->clear();
    const QTableWidgetItem *cell = grid->currentItem();
    if (!cell)
        return;
    QString error;
    const QStringList names = modEntryscreen::liststars(m_appFolder, cell->text().toLower(), &error);
    if (!error.isEmpty()) {
        messageseam::ask(error, QStringLiteral("Chart catalogue"), QMessageBox::Warning);
        return;
    }
    stars->addItems(names);
}

void frmEntryscreen::starchosen()
{
    const auto chosen = findChild<QListWidget *>(QStringLiteral("ddStars"))->selectedItems();
    if (chosen.isEmpty())
        return;
    m_selstar = chosen.constFirst()->text();
    findChild<QPushButton *>(QStringLiteral("cmdEnter"))->setEnabled(true);
}

void frmEntryscreen::estimateLeft()
{
    auto *estimate = findChild<QLineEdit *>(QStringLiteral("txtEstimate"));
    if (!estimate->text().isEmpty())
        return;
    messageseam::ask(QStringLiteral("You must enter an estimate!"), QStringLiteral("Alert"));
    estimate->setFocus();
}

void frmEntryscreen::magnitudeValidate(bool &)
{
    auto *magnitude = findChild<QLineEdit *>(QStringLiteral("txtMagn"));
    setChanged(magnitude, modEntryscreen::completedmagnitude(magnitude->text()));
}

void frmEntryscreen::magnitudeLeft()
{
    auto *magnitude = findChild<QLineEdit *>(QStringLiteral("txtMagn"));
    if (magnitude->text().contains(QLatin1Char('.')))
        return;
    magnitude->setFocus();
    magnitude->clear();
    messageseam::ask(QStringLiteral("Magnitude must have a decimal point"), QStringLiteral("Wrong number format"));
}

bool frmEntryscreen::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip && watched->isWidgetType()) {
        const bool here = static_cast<QWidget *>(watched)->window() == this;
        QToolTip::setPalette(here ? nightPalette() : m_toolTipPalette);
    }
    // After the arrival has run its course, so a click into the field does
    // not undo the selection.
    if (event->type() == QEvent::FocusIn && m_hiliteOnEntry.contains(watched))
        QMetaObject::invokeMethod(this, &frmEntryscreen::hilite, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, event);
}
