// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/frmdatabase.h"

#include "catalogue/clearfields.h"
#include "catalogue/logging.h"
#include "catalogue/reportpreview.h"
#include "hostkit/leavecheck.h"
#include "hostkit/messageseam.h"
#include "screenkit/navigation.h"
#include "screenkit/nightmode.h"
#include "screenkit/problembox.h"
#include "screenkit/ui.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QtMath>

namespace catalogue
{

namespace
{
void tell(const outcome::Problem &problem)
{
    screenkit::showProblem(problem, catalogue::lc());
}
}

namespace
{
// The observation list's heading as drawn up; it grows to the left.
constexpr int label2Left = 12705;
constexpr int label2Width = 2070;

QFont largeFont(bool bold)
{
    return screenkit::ui::msSansSerif(12, bold);
}

// Leaves the field alone when it holds the text already: no change, no rule.
void setChanged(QLineEdit *field, const QString &text)
{
    if (field->text() != text)
        field->setText(text);
}
}

template<typename W>
W *frmDatabase::make(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *widget = new W(parent);
    widget->setObjectName(QLatin1String(name));
    place(widget, left, top, width, height);
    return widget;
}

QPushButton *frmDatabase::makeButton(const char *name, const QString &text, const QString &tip, int left, int top,
                                     int width, int height)
{
    auto *button = make<QPushButton>(canvas(), name, left, top, width, height);
    button->setText(text);
    button->setToolTip(tip);
    return button;
}

QLabel *frmDatabase::makeLabel(QWidget *parent, const char *name, const QString &text, int left, int top, int width,
                               int height)
{
    auto *label = make<QLabel>(parent, name, left, top, width, height);
    label->setText(text);
    // The text on the line of the field beside it, as drawn up.
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

frmDatabase::frmDatabase(const QString &appFolder, QWidget *parent)
    : screenkit::Form(15165, 11670, parent)
    , m_appFolder(appFolder)
    , m_Data1(new catalogue::DataSource(appFolder, this))
    , m_Data2(new catalogue::DataSource(appFolder, this))
{
    setWindowTitle(QStringLiteral("Database Administration"));
    m_Data1->setObjectName(QStringLiteral("Data1"));
    m_Data2->setObjectName(QStringLiteral("Data2"));
    createControls();
    arrangeTabOrder();
    m_txtsearch->setFocus();
}

frmDatabase::~frmDatabase() = default;

QString frmDatabase::obstofind() const
{
    return m_obstofind;
}

void frmDatabase::createControls()
{
    m_cmdSearchstar =
        makeButton("cmdSearchstar", QStringLiteral("&Search for star..."),
                   QStringLiteral("Type in the text box and this button becomes usable"), 360, 360, 2055, 495);
    m_cmdSearchstar->setEnabled(false);
    connect(m_cmdSearchstar, &QPushButton::clicked, this, [this] { searchstar(m_txtsearch->text()); });

    m_txtsearch = make<QLineEdit>(canvas(), "txtsearch", 2760, 360, 1695, 495);
    setScaledFont(m_txtsearch, largeFont(false));
    connect(m_txtsearch, &QLineEdit::textChanged, m_cmdSearchstar, [this] { m_cmdSearchstar->setEnabled(true); });

    m_cmdEdit = makeButton("cmdEdit", QStringLiteral("&Edit record"),
                           QStringLiteral("Change the details of an existing record."), 6360, 360, 1095, 495);
    m_cmdEdit->setEnabled(false);
    connect(m_cmdEdit, &QPushButton::clicked, this, &frmDatabase::editRecord);

    m_cmdUpdate =
        makeButton("cmdUpdate", QStringLiteral("Save &Changes"),
                   QStringLiteral("Save your edited record back to the charts database"), 7680, 360, 1095, 495);
    m_cmdUpdate->hide();
    connect(m_cmdUpdate, &QPushButton::clicked, this, [this] { savechanges(m_txtName->text()); });

    m_Command2 = makeButton("Command2", QStringLiteral("&Help"), QString(), 14040, 240, 855, 495);
    connect(m_Command2, &QPushButton::clicked, this,
            [] { screenkit::help(screenkit::HelpCommand::HelpContext, 1000); });

    m_cmdDelete = makeButton("cmdDelete", QStringLiteral("&Delete"),
                             QStringLiteral("Delete a star's chart from the charts database."), 6360, 1200, 1095, 495);
    m_cmdDelete->setEnabled(false);
    connect(m_cmdDelete, &QPushButton::clicked, this, [this] { deletechart(m_txtsearch->text()); });

    m_cmdNew = makeButton("cmdNew", QStringLiteral("&New record"),
                          QStringLiteral("Add a new record to the charts database."), 6360, 2160, 1095, 495);
    m_cmdNew->setEnabled(false);
    connect(m_cmdNew, &QPushButton::clicked, this, &frmDatabase::addchart);

    m_cmdShowall = makeButton("cmdShowall", QStringLiteral("Show &All"), QStringLiteral("Display all chart records."),
                              6360, 3000, 1095, 495);
    m_cmdShowall->setEnabled(false);
    connect(m_cmdShowall, &QPushButton::clicked, this, &frmDatabase::showallcharts);

    m_chkSuppress = make<QCheckBox>(canvas(), "chkSuppress", 6360, 3840, 1695, 375);
    m_chkSuppress->setText(QStringLiteral("Suppress alerts?"));
    m_chkSuppress->setToolTip(QStringLiteral("Don't show confirmation popups"));
    m_chkSuppress->setChecked(true);

    createRecordFields();
    createLists();
    createLookup();

    m_cmdChartsreport = makeButton("cmdChartsreport", QStringLiteral("View Report"),
                                   QStringLiteral("Facility to print a hard copy"), 360, 9720, 1455, 375);
    connect(m_cmdChartsreport, &QPushButton::clicked, this, &frmDatabase::viewReport);

    m_Command1 = makeButton("Command1", QStringLiteral("&Obs Screen >"),
                            QStringLiteral("Go to the chart display and observe screen"), 13560, 9720, 1335, 495);
    connect(m_Command1, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::Observation); });

    // The curve of the star whose observations were looked up last.
    m_cmdLightcurve = makeButton("cmdLightcurve", QStringLiteral("Light c&urve"),
                                 QStringLiteral("Show the light curve of the star whose observations you found"), 13560,
                                 10320, 1335, 375);
    connect(m_cmdLightcurve, &QPushButton::clicked, this, [this] {
        if (m_obstofind.isEmpty())
            hostkit::ask(QStringLiteral("Find a star's observations first (\"Find observations of:\"): the light "
                                        "curve shows the star of the last lookup."),
                         QStringLiteral("Light curve"));
        else
            screenkit::show(screenkit::Screen::LightCurve, m_obstofind);
    });

    m_sbr1 = make<QStatusBar>(canvas(), "sbr1", 0, 11295, 15165, 375);
    m_sbr1->setSizeGripEnabled(false);
    m_sbr1->hide();
}

void frmDatabase::createRecordFields()
{
    m_txtName = make<QLineEdit>(canvas(), "txtName", 360, 1320, 1815, 375);
    makeLabel(canvas(), "Label3", QStringLiteral("Variable: "), 2400, 1440, 1575, 375);
    m_txtChartdate = make<QLineEdit>(canvas(), "txtChartdate", 360, 1920, 1815, 375);
    makeLabel(canvas(), "Label4", QStringLiteral("Chart date / ID: "), 2400, 2040, 1575, 375);

    m_chkNightly = make<QCheckBox>(canvas(), "chkNightly", 2000, 2520, 375, 375);
    m_chkNightly->setChecked(true);
    makeLabel(canvas(), "Label5", QStringLiteral("Observe Nightly?"), 2400, 2600, 1695, 375);

    m_Frame1 = make<QGroupBox>(canvas(), "Frame1", 3600, 2880, 2295, 1215);
    m_Frame1->setTitle(QStringLiteral("File Type:"));
    m_fileTypes = new QButtonGroup(this);
    const struct
    {
        const char *option;
        const char *label;
        const char *extension;
        int optionLeft;
        int optionWidth;
        int labelLeft;
        moddbscreen::FileType type;
    } types[3] = {
        {"Option1", "Label10", ".png", 240, 615, 150, moddbscreen::FileType::Png},
        {"Option2", "Label11", ".gif", 960, 615, 945, moddbscreen::FileType::Gif},
        {"Option3", "Label12", ".jpg", 1680, 735, 1620, moddbscreen::FileType::Jpg},
    };
    QRadioButton **options[3] = {&m_Option1, &m_Option2, &m_Option3};
    for (int i = 0; i < 3; ++i) {
        *options[i] =
            make<QRadioButton>(m_Frame1, types[i].option, types[i].optionLeft, 360, types[i].optionWidth, 255);
        m_fileTypes->addButton(*options[i], static_cast<int>(types[i].type));
        makeLabel(m_Frame1, types[i].label, QLatin1String(types[i].extension), types[i].labelLeft, 720, 495, 255);
    }

    m_txtChartpic = make<QLineEdit>(canvas(), "txtChartpic", 360, 3000, 1815, 375);
    makeLabel(canvas(), "Label6", QStringLiteral("Chart: "), 2400, 3120, 735, 375);
    m_txtFinderpic = make<QLineEdit>(canvas(), "txtFinderpic", 360, 3600, 1815, 375);
    makeLabel(canvas(), "Label7", QStringLiteral("Finder Chart: "), 2400, 3720, 1575, 375);
    m_txtConstell = make<QLineEdit>(canvas(), "txtConstell", 360, 4200, 855, 375);
    makeLabel(canvas(), "Label8", QStringLiteral("Constellation: "), 2400, 4320, 1575, 375);

    connect(m_txtName, &QLineEdit::textChanged, m_cmdNew, [this] { m_cmdNew->setEnabled(true); });
    auto *nameCheck = new hostkit::LeaveCheck(m_txtName);
    connect(nameCheck, &hostkit::LeaveCheck::validate, this,
            [this](bool &) { setChanged(m_txtConstell, moddbscreen::constellationOf(m_txtName->text())); });
    connect(nameCheck, &hostkit::LeaveCheck::departed, this, &frmDatabase::nameLeft);
}

void frmDatabase::createLists()
{
    m_Label1 = makeLabel(canvas(), "Label1", QStringLiteral("Chart Database:"), 4440, 4680, 2535, 375);
    setScaledFont(m_Label1, largeFont(true));
    m_Label2 = makeLabel(canvas(), "Label2", QStringLiteral("My Observations:"), label2Left, 4620, label2Width, 300);
    setScaledFont(m_Label2, largeFont(true));
    placeObservationsHeading();

    m_Grid1 = make<QTableView>(canvas(), "Grid1", 360, 5280, 6615, 4215);
    m_MSFlexGrid1 = make<QTableView>(canvas(), "MSFlexGrid1", 7440, 5280, 7455, 4215);
    const std::pair<QTableView *, catalogue::DataSource *> lists[2] = {{m_Grid1, m_Data1}, {m_MSFlexGrid1, m_Data2}};
    for (const auto &[view, source] : lists) {
        view->setModel(source);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setTabKeyNavigation(false);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setWordWrap(false);
        view->verticalHeader()->hide();
        view->horizontalHeader()->setHighlightSections(false);
        connect(source, &QAbstractItemModel::modelReset, view, [view] { view->resizeColumnsToContents(); });
    }
}

void frmDatabase::createLookup()
{
    makeLabel(canvas(), "Label9", QStringLiteral("Find observations of: "), 7320, 9840, 1695, 375);
    m_txtfindme = make<QLineEdit>(canvas(), "txtfindme", 9120, 9800, 1575, 375);
    m_cmdFindobs =
        makeButton("cmdFindobs", QStringLiteral("&Find"),
                   QStringLiteral("Search for all your observations of a given star"), 10800, 9840, 735, 375);
    m_cmdFindobs->setEnabled(false);
    m_cmdReset = makeButton("cmdReset", QStringLiteral("&Reset"), QStringLiteral("Show all records again"), 11640, 9840,
                            735, 375);
    m_cmdReset->setEnabled(false);
    m_cmdInvert = makeButton("cmdInvert", QStringLiteral("&Invert"), QStringLiteral("Show all records again"), 12480,
                             9840, 735, 375);

    m_howmanyobsofstar = new QLabel(canvas());
    m_howmanyobsofstar->setObjectName(QStringLiteral("howmanyobsofstar"));
    QPalette darkRed;
    darkRed.setColor(QPalette::WindowText, QColor(192, 0, 0));
    screenkit::night::setDayPalette(m_howmanyobsofstar, darkRed);
    place(m_howmanyobsofstar, 9120, 10320, 0, 0, Sizing::ToText);

    connect(m_txtfindme, &QLineEdit::textChanged, m_cmdFindobs, [this] { m_cmdFindobs->setEnabled(true); });
    connect(m_cmdFindobs, &QPushButton::clicked, this, [this] {
        m_obstofind = m_txtfindme->text();
        findobs(m_obstofind);
    });
    connect(m_cmdReset, &QPushButton::clicked, this, &frmDatabase::resetobs);
    connect(m_cmdInvert, &QPushButton::clicked, this, &frmDatabase::invertobs);
}

void frmDatabase::arrangeTabOrder()
{
    const QList<QWidget *> order{
        m_txtsearch,   m_txtName,       m_txtChartdate,  m_chkNightly, m_txtChartpic,     m_txtFinderpic,
        m_txtConstell, m_cmdSearchstar, m_cmdEdit,       m_cmdDelete,  m_cmdNew,          m_Grid1,
        m_MSFlexGrid1, m_txtfindme,     m_cmdFindobs,    m_cmdReset,   m_cmdShowall,      m_chkSuppress,
        m_cmdUpdate,   m_Command1,      m_cmdInvert,     m_Command2,   m_cmdChartsreport, m_Option1,
        m_Option2,     m_Option3,       m_cmdLightcurve,
    };
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

void frmDatabase::load()
{
    loadlists();
}

void frmDatabase::loadlists()
{
    // One failure is told once: the rest would fail alike.
    if (!runList(m_Data1, moddbscreen::chartsByConstellation()))
        return;
    countcharts();
    if (!runList(m_Data2, moddbscreen::observationsByDate()))
        return;
    countobs();
}

void frmDatabase::countcharts()
{
    const outcome::Result<qint64> count = moddbscreen::countcharts(m_appFolder);
    if (!count) {
        tell(count.problem());
        return;
    }
    if (*count > 0)
        m_Label1->setText(moddbscreen::chartsHeading(*count));
}

void frmDatabase::countobs()
{
    const outcome::Result<qint64> count = moddbscreen::countobs(m_appFolder);
    if (!count) {
        tell(count.problem());
        return;
    }
    if (*count > 0) {
        m_Label2->setText(moddbscreen::observationsHeading(*count));
        placeObservationsHeading();
    }
}

void frmDatabase::placeObservationsHeading()
{
    const int needed = qCeil(m_Label2->sizeHint().width() * 15.0 / scale());
    const int width = qMax(label2Width, needed);
    place(m_Label2, label2Left + label2Width - width, 4620, width, 300, Sizing::ToText);
}

void frmDatabase::searchstar(const QString &name)
{
    if (const outcome::Done found = moddbscreen::searchstar(m_appFolder, name); !found) {
        tell(found.problem());
        if (found.problem().kind == outcome::Kind::NotFound) {
            m_txtsearch->setFocus();
            m_txtsearch->clear();
            m_cmdDelete->setEnabled(false);
            m_cmdEdit->setEnabled(false);
        }
        return;
    }
    if (!runList(m_Data1, moddbscreen::chartNamed(name)))
        return;
    m_cmdShowall->setEnabled(true);
    m_cmdDelete->setEnabled(true);
    m_cmdEdit->setEnabled(true);
}

void frmDatabase::showallcharts()
{
    runList(m_Data1, moddbscreen::chartsByConstellation());
    clearfields();
}

void frmDatabase::clearfields()
{
    m_sbr1->show();
    m_sbr1->showMessage(modProcesses::clearfieldsReminder());
    for (QLineEdit *field : {m_txtName, m_txtChartdate, m_txtChartpic, m_txtFinderpic, m_txtConstell})
        field->clear();
    m_edited.reset();
    m_txtName->setFocus();
}

void frmDatabase::nameLeft()
{
    checkduplicate(m_txtName->text());
}

void frmDatabase::checkduplicate(const QString &name)
{
    // The star being edited is no duplicate of itself.
    if (m_edited && moddbscreen::sameStar(*m_edited, name))
        return;
    const outcome::Done unique = moddbscreen::checkduplicate(m_appFolder, name);
    if (unique)
        return;
    tell(unique.problem());
    if (unique.problem().kind == outcome::Kind::Duplicate) {
        m_txtName->setFocus();
        m_txtName->clear();
    }
}

void frmDatabase::editRecord()
{
    const QString name = m_txtsearch->text();
    if (const outcome::Done found = moddbscreen::searchstar(m_appFolder, name, moddbscreen::Purpose::Edit); !found) {
        tell(found.problem());
        return;
    }
    m_cmdDelete->setEnabled(false);
    m_cmdNew->setEnabled(false);
    loadforedit(name);
    m_cmdUpdate->show();
}

void frmDatabase::loadforedit(const QString &name)
{
    const outcome::Result<moddbscreen::ChartRow> row = moddbscreen::loadforedit(m_appFolder, name);
    if (!row) {
        tell(row.problem());
        return;
    }
    const moddbscreen::ChartFields loaded = moddbscreen::fieldsOf(*row);
    setChanged(m_txtName, loaded.name);
    setChanged(m_txtChartdate, loaded.chartdate);
    m_chkNightly->setChecked(loaded.nightly);
    setChanged(m_txtChartpic, loaded.chartpic);
    selectFileType(loaded.fileType);
    setChanged(m_txtFinderpic, loaded.finderpic);
    setChanged(m_txtConstell, loaded.constell);
    m_edited = loaded.name;
}

void frmDatabase::savechanges(const QString &name)
{
    const outcome::Result<moddbscreen::ChartRow> saved =
        moddbscreen::savechanges(m_appFolder, name, fields(), m_edited);
    if (!saved) {
        tell(saved.problem());
        return;
    }
    m_txtsearch->clear();
    m_cmdSearchstar->setEnabled(false);
    showallcharts();
    remindOfMissingFiles(*saved);
}

void frmDatabase::addchart()
{
    const outcome::Result<moddbscreen::ChartRow> added = moddbscreen::addchart(m_appFolder, fields());
    if (!added) {
        tell(added.problem());
        if (added.problem().kind == outcome::Kind::Duplicate)
            clearfields();
        return;
    }
    // The database failing now is told by the count below.
    static_cast<void>(m_Data1->refresh());
    if (!m_chkSuppress->isChecked())
        hostkit::ask(QStringLiteral("New record added"), QStringLiteral("Success!"));
    countcharts();
    clearfields();
    remindOfMissingFiles(*added);
    const QString missing = moddbscreen::missingFiles(m_appFolder, *added);
    if (!missing.isEmpty() && !m_chkSuppress->isChecked())
        hostkit::ask(missing, QStringLiteral("Chart file missing"));
}

void frmDatabase::remindOfMissingFiles(const moddbscreen::ChartRow &row)
{
    const QString note = moddbscreen::missingFilesNote(m_appFolder, row);
    if (!note.isEmpty())
        m_sbr1->showMessage(modProcesses::clearfieldsReminder() + QStringLiteral(": ") + note);
}

void frmDatabase::deletechart(const QString &name)
{
    if (const outcome::Done found = moddbscreen::searchstar(m_appFolder, name, moddbscreen::Purpose::Delete); !found) {
        tell(found.problem());
        return;
    }
    const auto answer =
        hostkit::ask(QStringLiteral("Are you sure you wish to delete this record?"), QStringLiteral("Please Confirm"),
                     QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        if (const outcome::Done deleted = moddbscreen::deletechart(m_appFolder, name); !deleted)
            tell(deleted.problem());
        else if (!m_chkSuppress->isChecked())
            hostkit::ask(QStringLiteral("Star deleted"), QStringLiteral("Deletion Confirmed"));
    } else {
        resetobs();
    }
    showallcharts();
    m_txtsearch->clear();
    m_cmdSearchstar->setEnabled(false);
    countcharts();
}

void frmDatabase::findobs(const QString &name)
{
    const outcome::Result<qint64> count = moddbscreen::findobs(m_appFolder, name);
    if (!count || !m_Data2->run(moddbscreen::observationsOf(name))) {
        tell(moddbscreen::noObservations());
        return;
    }
    m_howmanyobsofstar->setText(moddbscreen::obsOf(*count, name));
    refit(m_howmanyobsofstar);
    m_cmdReset->setEnabled(true);
}

void frmDatabase::resetobs()
{
    runList(m_Data2, moddbscreen::observationsInTableOrder());
    m_howmanyobsofstar->clear();
    refit(m_howmanyobsofstar);
}

void frmDatabase::invertobs()
{
    runList(m_Data2, moddbscreen::observationsNewestFirst());
    m_cmdReset->setEnabled(true);
    m_howmanyobsofstar->clear();
    refit(m_howmanyobsofstar);
}

void frmDatabase::viewReport()
{
    const bool made = !m_report;
    if (made) {
        m_report = new ChartReportPreview(m_appFolder, this);
        m_report->setObjectName(QStringLiteral("DataReport1"));
        m_report->setAttribute(Qt::WA_DeleteOnClose);
        // Tall enough to read a page, wide enough for the whole toolbar.
        const QRect room = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
        m_report->resize(QSize(room.width(), room.height() * 9 / 10).boundedTo(QSize(900, 1100)));
    }
    if (const outcome::Done loaded = m_report->reload(); !loaded) {
        if (made)
            delete m_report;
        tell(loaded.problem());
        return;
    }
    m_report->show();
    m_report->raise();
    m_report->activateWindow();
}

moddbscreen::ChartFields frmDatabase::fields() const
{
    moddbscreen::ChartFields result{m_txtName->text(),     m_txtChartdate->text(), m_chkNightly->isChecked(),
                                    m_txtChartpic->text(), m_txtFinderpic->text(), m_txtConstell->text(),
                                    std::nullopt};
    if (const int id = m_fileTypes->checkedId(); id >= 0)
        result.fileType = static_cast<moddbscreen::FileType>(id);
    return result;
}

void frmDatabase::selectFileType(std::optional<moddbscreen::FileType> type)
{
    if (type) {
        m_fileTypes->button(static_cast<int>(*type))->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; none is checked here.
    m_fileTypes->setExclusive(false);
    for (QAbstractButton *button : m_fileTypes->buttons())
        button->setChecked(false);
    m_fileTypes->setExclusive(true);
}

bool frmDatabase::runList(catalogue::DataSource *source, const catalogue::ListQuery &query)
{
    const outcome::Done listed = source->run(query);
    if (!listed)
        tell(listed.problem());
    return listed.ok();
}

} // namespace catalogue
