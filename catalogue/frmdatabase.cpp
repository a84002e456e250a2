// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/frmdatabase.h"

#include "backup/backups.h"
#include "catalogue/clearfields.h"
#include "catalogue/frmcorrectobs.h"
#include "catalogue/logging.h"
#include "catalogue/reportpreview.h"
#include "hostkit/leavecheck.h"
#include "hostkit/messageseam.h"
#include "reports/reportchange.h"
#include "reports/sequencerules.h"
#include "screenkit/navigation.h"
#include "screenkit/nightmode.h"
#include "screenkit/problembox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateTime>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
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

// The catalogue changes after a copy of the database; a failure is told once a day.
void backUpFirst(const appfiles::Folder &folder)
{
    if (const outcome::Done made = backup::beforeChange(folder, backup::Reason::FirstChangeOfDay); !made)
        tell(made.problem());
}
}

namespace
{
// The observation list's heading as drawn up; it grows to the left.
constexpr int label2Left = 12705;
constexpr int label2Width = 2070;

constexpr screenkit::DesignFont heading{12, true};
// A label's text on the line of the field beside it, as drawn up.
constexpr Qt::Alignment topLeft = Qt::AlignLeft | Qt::AlignTop;

// Leaves the field alone when it holds the text already: no change, no rule.
void setChanged(QLineEdit *field, const QString &text)
{
    if (field->text() != text)
        field->setText(text);
}
}

using screenkit::Disabled;
using screenkit::into;
using screenkit::widget;

const screenkit::Control frmDatabase::controls[] = {
    {.name = "cmdSearchstar",
     .kind = into<&frmDatabase::m_cmdSearchstar>,
     .at = {360, 360, 2055, 495},
     .text = "&Search for star...",
     .tip = "Type in the text box and this button becomes usable",
     .tab = 8,
     .flags = Disabled},
    {.name = "txtsearch",
     .kind = into<&frmDatabase::m_txtsearch>,
     .at = {2760, 360, 1695, 495},
     .tab = 1,
     .font = {12, false}},
    {.name = "cmdEdit",
     .kind = into<&frmDatabase::m_cmdEdit>,
     .at = {6360, 360, 1095, 495},
     .text = "&Edit record",
     .tip = "Change the details of an existing record.",
     .tab = 9,
     .flags = Disabled},
    {.name = "cmdUpdate",
     .kind = into<&frmDatabase::m_cmdUpdate>,
     .at = {7680, 360, 1095, 495},
     .text = "Save &Changes",
     .tip = "Save your edited record back to the charts database",
     .tab = 19,
     .flags = screenkit::Hidden},
    {.name = "Command2",
     .kind = into<&frmDatabase::m_Command2>,
     .at = {14040, 240, 855, 495},
     .text = "&Help",
     .tab = 22},
    {.name = "cmdDelete",
     .kind = into<&frmDatabase::m_cmdDelete>,
     .at = {6360, 1200, 1095, 495},
     .text = "&Delete",
     .tip = "Delete a star's chart from the charts database.",
     .tab = 10,
     .flags = Disabled},
    {.name = "cmdNew",
     .kind = into<&frmDatabase::m_cmdNew>,
     .at = {6360, 2160, 1095, 495},
     .text = "&New record",
     .tip = "Add a new record to the charts database.",
     .tab = 11,
     .flags = Disabled},
    {.name = "cmdShowall",
     .kind = into<&frmDatabase::m_cmdShowall>,
     .at = {6360, 3000, 1095, 495},
     .text = "Show &All",
     .tip = "Display all chart records.",
     .tab = 17,
     .flags = Disabled},
    {.name = "chkSuppress",
     .kind = into<&frmDatabase::m_chkSuppress>,
     .at = {6360, 3840, 1695, 375},
     .text = "Suppress alerts?",
     .tip = "Don't show confirmation popups",
     .tab = 18,
     .flags = screenkit::Checked},
    // The chart's record.
    {.name = "txtName", .kind = into<&frmDatabase::m_txtName>, .at = {360, 1320, 1815, 375}, .tab = 2},
    {.name = "Label3", .kind = widget<QLabel>, .at = {2400, 1440, 1575, 375}, .text = "Variable: ", .align = topLeft},
    {.name = "txtChartdate", .kind = into<&frmDatabase::m_txtChartdate>, .at = {360, 1920, 1815, 375}, .tab = 3},
    {.name = "Label4",
     .kind = widget<QLabel>,
     .at = {2400, 2040, 1575, 375},
     .text = "Chart date / ID: ",
     .align = topLeft},
    {.name = "chkNightly",
     .kind = into<&frmDatabase::m_chkNightly>,
     .at = {2000, 2520, 375, 375},
     .tab = 4,
     .flags = screenkit::Checked},
    {.name = "Label5",
     .kind = widget<QLabel>,
     .at = {2400, 2600, 1695, 375},
     .text = "Observe Nightly?",
     .align = topLeft},
    {.name = "Frame1", .kind = into<&frmDatabase::m_Frame1>, .at = {3600, 2880, 2295, 1215}, .text = "File Type:"},
    {.name = "Option1",
     .kind = into<&frmDatabase::m_Option1>,
     .at = {240, 360, 615, 255},
     .tab = 24,
     .parent = "Frame1"},
    {.name = "Label10",
     .kind = widget<QLabel>,
     .at = {150, 720, 495, 255},
     .text = ".png",
     .align = topLeft,
     .parent = "Frame1"},
    {.name = "Option2",
     .kind = into<&frmDatabase::m_Option2>,
     .at = {960, 360, 615, 255},
     .tab = 25,
     .parent = "Frame1"},
    {.name = "Label11",
     .kind = widget<QLabel>,
     .at = {945, 720, 495, 255},
     .text = ".gif",
     .align = topLeft,
     .parent = "Frame1"},
    {.name = "Option3",
     .kind = into<&frmDatabase::m_Option3>,
     .at = {1680, 360, 735, 255},
     .tab = 26,
     .parent = "Frame1"},
    {.name = "Label12",
     .kind = widget<QLabel>,
     .at = {1620, 720, 495, 255},
     .text = ".jpg",
     .align = topLeft,
     .parent = "Frame1"},
    {.name = "txtChartpic", .kind = into<&frmDatabase::m_txtChartpic>, .at = {360, 3000, 1815, 375}, .tab = 5},
    {.name = "Label6", .kind = widget<QLabel>, .at = {2400, 3120, 735, 375}, .text = "Chart: ", .align = topLeft},
    {.name = "txtFinderpic", .kind = into<&frmDatabase::m_txtFinderpic>, .at = {360, 3600, 1815, 375}, .tab = 6},
    {.name = "Label7",
     .kind = widget<QLabel>,
     .at = {2400, 3720, 1575, 375},
     .text = "Finder Chart: ",
     .align = topLeft},
    {.name = "txtConstell", .kind = into<&frmDatabase::m_txtConstell>, .at = {360, 4200, 855, 375}, .tab = 7},
    {.name = "Label8",
     .kind = widget<QLabel>,
     .at = {2400, 4320, 1575, 375},
     .text = "Constellation: ",
     .align = topLeft},
    // The two lists.
    {.name = "Label1",
     .kind = into<&frmDatabase::m_Label1>,
     .at = {4440, 4680, 2535, 375},
     .text = "Chart Database:",
     .font = heading,
     .align = topLeft},
    {.name = "Label2",
     .kind = into<&frmDatabase::m_Label2>,
     .at = {label2Left, 4620, label2Width, 300},
     .text = "My Observations:",
     .font = heading,
     .align = topLeft},
    {.name = "Grid1", .kind = into<&frmDatabase::m_Grid1>, .at = {360, 5280, 6615, 4215}, .tab = 12},
    {.name = "MSFlexGrid1", .kind = into<&frmDatabase::m_MSFlexGrid1>, .at = {7440, 5280, 7455, 4215}, .tab = 13},
    // The lookup of one star's observations.
    {.name = "Label9",
     .kind = widget<QLabel>,
     .at = {7320, 9840, 1695, 375},
     .text = "Find observations of: ",
     .align = topLeft},
    {.name = "txtfindme", .kind = into<&frmDatabase::m_txtfindme>, .at = {9120, 9800, 1575, 375}, .tab = 14},
    {.name = "cmdFindobs",
     .kind = into<&frmDatabase::m_cmdFindobs>,
     .at = {10800, 9840, 735, 375},
     .text = "&Find",
     .tip = "Search for all your observations of a given star",
     .tab = 15,
     .flags = Disabled},
    {.name = "cmdReset",
     .kind = into<&frmDatabase::m_cmdReset>,
     .at = {11640, 9840, 735, 375},
     .text = "&Reset",
     .tip = "Show all records again",
     .tab = 16,
     .flags = Disabled},
    {.name = "cmdInvert",
     .kind = into<&frmDatabase::m_cmdInvert>,
     .at = {12480, 9840, 735, 375},
     .text = "&Invert",
     .tip = "Show all records again",
     .tab = 21},
    {.name = "howmanyobsofstar",
     .kind = into<&frmDatabase::m_howmanyobsofstar>,
     .at = {9120, 10320, 0, 0},
     .sizing = Sizing::ToText},
    {.name = "cmdChartsreport",
     .kind = into<&frmDatabase::m_cmdChartsreport>,
     .at = {360, 9720, 1455, 375},
     .text = "View Report",
     .tip = "Facility to print a hard copy",
     .tab = 23},
    {.name = "Command1",
     .kind = into<&frmDatabase::m_Command1>,
     .at = {13560, 9720, 1335, 495},
     .text = "&Obs Screen >",
     .tip = "Go to the chart display and observe screen",
     .tab = 20},
    // The curve of the star whose observations were looked up last.
    {.name = "cmdLightcurve",
     .kind = into<&frmDatabase::m_cmdLightcurve>,
     .at = {13560, 10320, 1335, 375},
     .text = "Light c&urve",
     .tip = "Show the light curve of the star whose observations you found",
     .tab = 27},
    // Below the observations: what acts on the row chosen there, and on the record of changes.
    {.name = "cmdCorrectobs",
     .kind = into<&frmDatabase::m_cmdCorrectobs>,
     .at = {7440, 10800, 1335, 375},
     .text = "Correc&t...",
     .tip = "Correct the observation chosen in the list, and its line in its day's report",
     .tab = 28},
    {.name = "cmdWithdrawobs",
     .kind = into<&frmDatabase::m_cmdWithdrawobs>,
     .at = {8880, 10800, 1335, 375},
     .text = "&Withdraw",
     .tip = "Take the observation chosen in the list, and its line in its day's report, out",
     .tab = 29},
    {.name = "cmdUndo",
     .kind = into<&frmDatabase::m_cmdUndo>,
     .at = {10320, 10800, 1815, 375},
     .text = "Undo &last change",
     .tip = "Take back the last correction or withdrawal not yet taken back",
     .tab = 30},
    {.name = "cmdReadsequence",
     .kind = into<&frmDatabase::m_cmdReadsequence>,
     .at = {12280, 10800, 1695, 375},
     .text = "Read se&quence...",
     .tip = "Read a chart's photometry table from the AAVSO's chart plotter, to check your comparison stars "
            "against it",
     .tab = 31},
    {.name = "sbr1", .kind = into<&frmDatabase::m_sbr1>, .at = {0, 11295, 15165, 375}, .flags = screenkit::Hidden},
};

frmDatabase::frmDatabase(const appfiles::Folder &appFolder, QWidget *parent)
    : screenkit::Form(15165, 11670, parent)
    , m_appFolder(appFolder)
    , m_Data1(new catalogue::DataSource(appFolder, this))
    , m_Data2(new catalogue::DataSource(appFolder, this))
{
    setWindowTitle(QStringLiteral("Database Administration"));
    m_Data1->setObjectName(QStringLiteral("Data1"));
    m_Data2->setObjectName(QStringLiteral("Data2"));
    screenkit::build(*this, controls);
    wireRecord();
    wireLists();
    wireLookup();
    m_txtsearch->setFocus();
}

frmDatabase::~frmDatabase() = default;

QString frmDatabase::obstofind() const
{
    return m_obstofind;
}

void frmDatabase::wireRecord()
{
    connect(m_cmdSearchstar, &QPushButton::clicked, this, [this] { searchstar(m_txtsearch->text()); });
    connect(m_txtsearch, &QLineEdit::textChanged, m_cmdSearchstar, [this] { m_cmdSearchstar->setEnabled(true); });
    connect(m_cmdEdit, &QPushButton::clicked, this, &frmDatabase::editRecord);
    connect(m_cmdUpdate, &QPushButton::clicked, this, [this] { savechanges(m_txtName->text()); });
    connect(m_Command2, &QPushButton::clicked, this,
            [] { screenkit::help(screenkit::HelpCommand::HelpContext, 1000); });
    connect(m_cmdDelete, &QPushButton::clicked, this, [this] { deletechart(m_txtsearch->text()); });
    connect(m_cmdNew, &QPushButton::clicked, this, &frmDatabase::addchart);
    connect(m_cmdShowall, &QPushButton::clicked, this, &frmDatabase::showallcharts);

    m_fileTypes = new QButtonGroup(this);
    m_fileTypes->addButton(m_Option1, static_cast<int>(moddbscreen::FileType::Png));
    m_fileTypes->addButton(m_Option2, static_cast<int>(moddbscreen::FileType::Gif));
    m_fileTypes->addButton(m_Option3, static_cast<int>(moddbscreen::FileType::Jpg));

    connect(m_txtName, &QLineEdit::textChanged, m_cmdNew, [this] { m_cmdNew->setEnabled(true); });
    auto *nameCheck = new hostkit::LeaveCheck(m_txtName);
    connect(nameCheck, &hostkit::LeaveCheck::validate, this,
            [this](bool &) { setChanged(m_txtConstell, moddbscreen::constellationOf(m_txtName->text())); });
    connect(nameCheck, &hostkit::LeaveCheck::departed, this, &frmDatabase::nameLeft);
}

void frmDatabase::wireLists()
{
    placeObservationsHeading();
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

void frmDatabase::wireLookup()
{
    QPalette darkRed;
    darkRed.setColor(QPalette::WindowText, QColor(192, 0, 0));
    screenkit::night::setDayPalette(m_howmanyobsofstar, darkRed);
    connect(m_txtfindme, &QLineEdit::textChanged, m_cmdFindobs, [this] { m_cmdFindobs->setEnabled(true); });
    connect(m_cmdFindobs, &QPushButton::clicked, this, [this] {
        m_obstofind = m_txtfindme->text();
        findobs(m_obstofind);
    });
    connect(m_cmdReset, &QPushButton::clicked, this, &frmDatabase::resetobs);
    connect(m_cmdInvert, &QPushButton::clicked, this, &frmDatabase::invertobs);
    connect(m_cmdChartsreport, &QPushButton::clicked, this, &frmDatabase::viewReport);
    connect(m_Command1, &QPushButton::clicked, this, [] { screenkit::show(screenkit::Screen::Observation); });
    connect(m_cmdLightcurve, &QPushButton::clicked, this, [this] {
        if (m_obstofind.isEmpty())
            tell(outcome::refused(QStringLiteral("Find a star's observations first (\"Find observations of:\"): the "
                                                 "light curve shows the star of the last lookup."))
                     .titled(QStringLiteral("Light curve"))
                     .as(outcome::Severity::Information));
        else
            screenkit::show(screenkit::Screen::LightCurve, m_obstofind);
    });
    m_sbr1->setSizeGripEnabled(false);
    connect(m_cmdCorrectobs, &QPushButton::clicked, this, [this] { changeChosen(false); });
    connect(m_cmdWithdrawobs, &QPushButton::clicked, this, [this] { changeChosen(true); });
    connect(m_cmdUndo, &QPushButton::clicked, this, &frmDatabase::undoLast);
    connect(m_cmdReadsequence, &QPushButton::clicked, this, &frmDatabase::readSequence);
}

void frmDatabase::readSequence()
{
    // The toolkit's own dialog, which follows the night's colours.
    QFileDialog dialog(this, QStringLiteral("Read comparison sequences"));
    dialog.setOptions(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters({QStringLiteral("Photometry tables (*.json *.txt *.csv)"), QStringLiteral("All files (*)")});
    dialog.setDirectory(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const reports::SequencesRead read =
        reports::readSequences(m_appFolder, dialog.selectedFiles(), QDateTime::currentDateTimeUtc());
    hostkit::ask(read.lines.join(u'\n'), QStringLiteral("Read sequence"),
                 read.status == 0 ? QMessageBox::Information : QMessageBox::Warning, QMessageBox::Ok);
}

void frmDatabase::changeChosen(bool withdraw)
{
    const QString title =
        withdraw ? QStringLiteral("Withdraw an observation") : QStringLiteral("Correct an observation");
    const QModelIndexList chosen = m_MSFlexGrid1->selectionModel()->selectedRows();
    const std::optional<qint64> number = chosen.isEmpty() ? std::nullopt : m_Data2->rowNumber(chosen.first().row());
    if (!number)
        return tell(outcome::refused(QStringLiteral("Choose an observation in the list of your observations first."))
                        .titled(title)
                        .as(outcome::Severity::Information));
    const QStringList texts = m_Data2->rowTexts(chosen.first().row());
    const store::ObservationRow row{texts.value(0), texts.value(1), texts.value(2), texts.value(3),
                                    texts.value(4), texts.value(5), texts.value(6)};
    const std::optional<reports::LineOfRow> found = reports::lineOfRow(m_appFolder, row);
    const QString held = reports::aavsoHoldsNotice(m_appFolder, found ? found->line : reports::lineOf(row));
    outcome::Result<QString> done = QString();
    if (withdraw) {
        const QString line = QStringList{row.star, row.obsdate, row.magnitude, row.estimate}.join(QStringLiteral(", "));
        if (hostkit::ask(QStringLiteral("Take this observation out of the database, and its line out of its day's "
                                        "report?\n\n%1%2\n\nThe change is kept in the record of changes.")
                             .arg(line, held),
                         title, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No)
            != QMessageBox::Yes)
            return;
        backUpFirst(m_appFolder);
        done = reports::withdrawRow(m_appFolder, *number);
    } else {
        if (!held.isEmpty()
            && hostkit::ask(QStringLiteral("Correct this observation?%1").arg(held), title, QMessageBox::Question,
                            QMessageBox::Yes | QMessageBox::No)
                != QMessageBox::Yes)
            return;
        const auto check = [](const store::ObservationRow &values) {
            return reports::checkRow(values, QDateTime::currentDateTimeUtc());
        };
        const std::optional<store::ObservationRow> values = frmCorrectobs::correct(row, check, this);
        if (!values)
            return;
        backUpFirst(m_appFolder);
        done = reports::correctRow(m_appFolder, *number, *values);
    }
    afterChange(done, title);
}

void frmDatabase::undoLast()
{
    // Every undo after a copy: it takes back what may be the observer's own intent.
    if (const outcome::Done made = backup::beforeChange(m_appFolder, backup::Reason::Undo); !made)
        tell(made.problem());
    afterChange(reports::undoLast(m_appFolder), QStringLiteral("Undo"));
}

void frmDatabase::afterChange(const outcome::Result<QString> &done, const QString &title)
{
    if (!done) {
        tell(done.problem());
        return;
    }
    tell(outcome::refused(*done).titled(title).as(outcome::Severity::Information));
    // The lists, the count and the lookup's summary as they are now.
    if (m_Data2->refresh())
        countobs();
    if (!m_howmanyobsofstar->text().isEmpty())
        findobs(m_obstofind);
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
    backUpFirst(m_appFolder);
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
    backUpFirst(m_appFolder);
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
        tell(
            outcome::notFound(missing).titled(QStringLiteral("Chart file missing")).as(outcome::Severity::Information));
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
        backUpFirst(m_appFolder);
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
    m_howmanyobsofstar->setText(moddbscreen::obsOf(*count, name) + moddbscreen::withdrawnOf(m_appFolder, name));
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
