// SPDX-License-Identifier: GPL-2.0-or-later
#include "reports/frmreportcheck.h"
#include "reports/logging.h"
#include "screenkit/problembox.h"
#include "store/changes.h"
#include "store/database.h"

#include "appfiles/folder.h"
#include "reports/reportcheck.h"
#include "screenkit/navigation.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>

namespace reports
{

namespace
{

// The findings' columns and their widths in twips; the reason takes the rest.
struct ColumnDesign
{
    const char *title;
    int width;
};
constexpr ColumnDesign columns[] = {
    {"Line", 600}, {"Kind", 900}, {"Field", 1500}, {"Value", 1800}, {"Reason", 0},
};

// The ledger's grids: each report, and the chosen report's lines; the last column takes the rest.
constexpr ColumnDesign ledgerColumns[] = {{"Report", 1500}, {"At the AAVSO", 0}};
constexpr ColumnDesign ledgerLineColumns[] = {{"Line", 600}, {"Observation", 2600}, {"At the AAVSO", 0}};

// The standard dialog font of buttons and windows, as drawn up.
constexpr screenkit::DesignFont dialogText{8.25, false};

// A read-only grid of whole rows with the columns given; the last takes the rest.
template<std::size_t count>
void setColumns(QTableWidget *table, const ColumnDesign (&design)[count])
{
    table->setColumnCount(static_cast<int>(count));
    QStringList titles;
    for (const ColumnDesign &column : design)
        titles.append(QLatin1String(column.title));
    table->setHorizontalHeaderLabels(titles);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setTabKeyNavigation(false);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->horizontalHeader()->setSectionResizeMode(static_cast<int>(count) - 1, QHeaderView::Stretch);
}

template<std::size_t count>
void sizeColumns(const screenkit::Form *form, QTableWidget *table, const ColumnDesign (&design)[count])
{
    for (std::size_t i = 0; i + 1 < count; ++i) {
        table->horizontalHeader()->setSectionResizeMode(static_cast<int>(i), QHeaderView::Fixed);
        table->horizontalHeader()->resizeSection(static_cast<int>(i), form->pixels(design[i].width));
    }
}

void setRow(QTableWidget *table, int row, const QStringList &texts)
{
    for (int column = 0; column < texts.size(); ++column) {
        auto *cell = new QTableWidgetItem(texts.at(column));
        cell->setToolTip(texts.at(column));
        table->setItem(row, column, cell);
    }
}

QString lineText(int line)
{
    return line > 0 ? QString::number(line) : QStringLiteral("file");
}
}

using screenkit::into;

const screenkit::Control frmReportcheck::controls[] = {
    {.name = "lblReports",
     .kind = into<&frmReportcheck::m_lblReports>,
     .at = {240, 240, 2640, 300},
     .text = "Report &files, newest first:",
     .font = dialogText,
     .buddy = "lstReports"},
    {.name = "lstReports",
     .kind = into<&frmReportcheck::m_lstReports>,
     .at = {240, 600, 2640, 6000},
     .tab = 1,
     .font = dialogText},
    {.name = "lblSummary",
     .kind = into<&frmReportcheck::m_lblSummary>,
     .at = {3120, 240, 8160, 300},
     .font = {8.25, true}},
    {.name = "grdFindings",
     .kind = into<&frmReportcheck::m_grdFindings>,
     .at = {3120, 600, 8160, 6000},
     .tab = 2,
     .font = dialogText},
    // What was not checked, so that a clean list is not taken for more than it is.
    {.name = "lblNotes",
     .kind = into<&frmReportcheck::m_lblNotes>,
     .at = {240, 9900, 6480, 540},
     .font = dialogText,
     .flags = screenkit::WordWrap,
     .align = Qt::AlignLeft | Qt::AlignTop},
    {.name = "lblLedger",
     .kind = into<&frmReportcheck::m_lblLedger>,
     .at = {240, 6780, 11040, 420},
     .font = {8.25, true},
     .flags = screenkit::WordWrap},
    {.name = "grdLedger",
     .kind = into<&frmReportcheck::m_grdLedger>,
     .at = {240, 7260, 4440, 2520},
     .tab = 3,
     .font = dialogText},
    {.name = "grdLedgerlines",
     .kind = into<&frmReportcheck::m_grdLedgerlines>,
     .at = {4920, 7260, 6360, 2520},
     .tab = 4,
     .font = dialogText},
    // A withdrawn line the AAVSO holds is told until the observer says it was asked to remove it there.
    {.name = "cmdDismiss",
     .kind = into<&frmReportcheck::m_cmdDismiss>,
     .at = {6840, 9960, 1455, 375},
     .text = "&Dismiss",
     .tip = "Stop telling the chosen withdrawn line, once you have asked the AAVSO to remove it",
     .tab = 7},
    {.name = "cmdRecheck",
     .kind = into<&frmReportcheck::m_cmdRecheck>,
     .at = {8400, 9960, 1335, 375},
     .text = "Check &again",
     .tip = "Read the chosen report again, after you have mended it",
     .tab = 5},
    {.name = "cmdClose",
     .kind = into<&frmReportcheck::m_cmdClose>,
     .at = {9945, 9960, 1335, 375},
     .text = "&Close",
     .tab = 6},
};

frmReportcheck::frmReportcheck(const appfiles::Folder &appFolder, QWidget *parent)
    : screenkit::Form(11520, 10560, parent)
    , m_appFolder(appFolder)
{
    setWindowTitle(QStringLiteral("Check report"));
    screenkit::build(*this, controls);
    connect(m_lstReports, &QListWidget::currentRowChanged, this, &frmReportcheck::checkchosen);
    setColumns(m_grdFindings, columns);
    m_grdFindings->setWordWrap(true);
    m_grdFindings->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    setColumns(m_grdLedger, ledgerColumns);
    // The same reports in the same order as the list: a row chooses its report.
    connect(m_grdLedger, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0)
            m_lstReports->setCurrentRow(row);
    });
    setColumns(m_grdLedgerlines, ledgerLineColumns);
    sizeAllColumns();
    connect(m_cmdDismiss, &QPushButton::clicked, this, &frmReportcheck::dismiss);
    connect(m_cmdRecheck, &QPushButton::clicked, this, [this] {
        const QListWidgetItem *item = m_lstReports->currentItem();
        listreports(item ? item->data(Qt::UserRole).toString() : QString());
    });
    connect(m_cmdClose, &QPushButton::clicked, this, &QWidget::close);
    m_lstReports->setFocus();
}

// Scaling changes the widths drawn up in twips.
void frmReportcheck::sizeAllColumns()
{
    sizeColumns(this, m_grdFindings, columns);
    sizeColumns(this, m_grdLedger, ledgerColumns);
    sizeColumns(this, m_grdLedgerlines, ledgerLineColumns);
}

void frmReportcheck::showEvent(QShowEvent *event)
{
    Form::showEvent(event);
    sizeAllColumns();
    if (m_lstReports->count() == 0)
        listreports({});
}

void frmReportcheck::choose(const QString &report)
{
    listreports(report);
}

void frmReportcheck::showFindingsOf(const QString &report)
{
    if (!QFileInfo::exists(report))
        return;
    if (modReportcheck::checkReport(report, QDateTime::currentDateTimeUtc()).findings.isEmpty())
        return;
    if (auto *window = qobject_cast<frmReportcheck *>(screenkit::show(screenkit::Screen::ReportCheck)))
        window->choose(report);
}

// Lists the reports anew and chooses the one given, else the newest.
void frmReportcheck::listreports(const QString &chosen)
{
    const QStringList reports = modReportcheck::reportFiles(m_appFolder.reports().path());
    const QSignalBlocker quiet(m_lstReports);
    m_lstReports->clear();
    int row = reports.isEmpty() ? -1 : 0;
    for (const QString &report : reports) {
        auto *item = new QListWidgetItem(QFileInfo(report).fileName(), m_lstReports);
        item->setData(Qt::UserRole, report);
        if (QFileInfo(report) == QFileInfo(chosen))
            row = m_lstReports->count() - 1;
    }
    m_lstReports->setCurrentRow(row);
    QList<QByteArray> names;
    for (const QString &report : reports)
        names.append(QFile::encodeName(report));
    m_ledgers = modReportcheck::ledgersOf(m_appFolder, names);
    showledgers();
    checkchosen();
}

// How many lines of each report the AAVSO holds, or why that is not known.
void frmReportcheck::showledgers()
{
    m_lblLedger->setText(m_ledgers.note.isEmpty()
                             ? QStringLiteral("What the AAVSO holds, by the downloads you imported:")
                             : m_ledgers.note);
    const QSignalBlocker quiet(m_grdLedger);
    m_grdLedger->setRowCount(static_cast<int>(m_ledgers.reports.size()));
    for (int row = 0; row < m_ledgers.reports.size(); ++row) {
        const modReportcheck::ReportLedger &report = m_ledgers.reports.at(row);
        setRow(m_grdLedger, row,
               {m_lstReports->item(row)->text(),
                report.problem.isEmpty() ? modReportcheck::ledgerSummary(report) : report.problem});
    }
}

// The chosen report's lines, each marked.
void frmReportcheck::showledgerlines()
{
    const int row = m_lstReports->currentRow();
    m_grdLedgerlines->setRowCount(0);
    if (row < 0 || row >= m_ledgers.reports.size())
        return;
    {
        const QSignalBlocker quiet(m_grdLedger);
        m_grdLedger->selectRow(row);
    }
    const QList<modReportcheck::LedgerLine> &lines = m_ledgers.reports.at(row).lines;
    m_grdLedgerlines->setRowCount(static_cast<int>(lines.size()));
    for (int i = 0; i < lines.size(); ++i) {
        const modReportcheck::LedgerLine &line = lines.at(i);
        setRow(m_grdLedgerlines, i, {QString::number(line.line), line.observation, modReportcheck::standingText(line)});
    }
    for (const modReportcheck::ReportLedger::Changed &changed : m_ledgers.reports.at(row).changed) {
        const int at = m_grdLedgerlines->rowCount();
        m_grdLedgerlines->setRowCount(at + 1);
        setRow(m_grdLedgerlines, at, {QString(), changed.observation, modReportcheck::changedText(changed)});
        m_grdLedgerlines->item(at, 0)->setData(Qt::UserRole, changed.change);
    }
}

void frmReportcheck::dismiss()
{
    const int row = m_grdLedgerlines->currentRow();
    const QTableWidgetItem *first = row < 0 ? nullptr : m_grdLedgerlines->item(row, 0);
    const QVariant change = first ? first->data(Qt::UserRole) : QVariant();
    const QTableWidgetItem *standing = row < 0 ? nullptr : m_grdLedgerlines->item(row, 2);
    if (!change.isValid() || !standing || !standing->text().startsWith(QStringLiteral("withdrawn")))
        return screenkit::showProblem(outcome::refused(QStringLiteral("Choose a line marked \"withdrawn here, held "
                                                                      "at the AAVSO\" first."))
                                          .titled(QStringLiteral("Dismiss"))
                                          .as(outcome::Severity::Information),
                                      reports::lc());
    store::Database db(m_appFolder);
    if (const outcome::Done dismissed = store::dismiss(db, change.toLongLong()); !dismissed)
        return screenkit::showProblem(outcome::failed(dismissed.problem().message).titled(QStringLiteral("Dismiss")),
                                      reports::lc());
    const QListWidgetItem *item = m_lstReports->currentItem();
    listreports(item ? item->data(Qt::UserRole).toString() : QString());
}

void frmReportcheck::checkchosen()
{
    showledgerlines();
    m_grdFindings->setRowCount(0);
    m_lblNotes->clear();
    const QListWidgetItem *item = m_lstReports->currentItem();
    if (!item) {
        m_lblSummary->setText(QStringLiteral("There is no day's report in \"%1\" yet.")
                                  .arg(QDir::toNativeSeparators(m_appFolder.reports().path())));
        return;
    }
    const modReportcheck::Check check =
        modReportcheck::checkReport(item->data(Qt::UserRole).toString(), QDateTime::currentDateTimeUtc(), m_appFolder);
    m_lblSummary->setText(item->text() + QStringLiteral(": ") + modReportcheck::summary(check)
                          + (check.findings.isEmpty() ? QStringLiteral(". Ready to submit.") : QString()));
    m_grdFindings->setRowCount(static_cast<int>(check.findings.size()));
    for (int row = 0; row < check.findings.size(); ++row) {
        const modReportcheck::Finding &finding = check.findings.at(row);
        const QString kind =
            finding.severity == modReportcheck::Severity::Error ? QStringLiteral("Error") : QStringLiteral("Warning");
        const QString texts[] = {lineText(finding.line), kind, finding.field, finding.value, finding.reason};
        for (int column = 0; column < static_cast<int>(std::size(texts)); ++column) {
            auto *cell = new QTableWidgetItem(texts[column]);
            cell->setToolTip(texts[column]);
            m_grdFindings->setItem(row, column, cell);
        }
    }
    m_lblNotes->setText(check.notes.join(u'\n'));
}

} // namespace reports
