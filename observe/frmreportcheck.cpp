// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/frmreportcheck.h"

#include "appfiles/folder.h"
#include "observe/reportcheck.h"
#include "screenkit/navigation.h"
#include "screenkit/ui.h"

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

namespace observe
{

namespace
{
enum Column { LineColumn, KindColumn, FieldColumn, ValueColumn, ReasonColumn };

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

// A read-only grid of whole rows with the columns given.
template<std::size_t count>
QTableWidget *makeGrid(screenkit::Form *form, const char *name, const ColumnDesign (&design)[count])
{
    auto *table = new QTableWidget(0, static_cast<int>(count), form->canvas());
    table->setObjectName(QLatin1String(name));
    form->setScaledFont(table, screenkit::ui::dialogFont());
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
    return table;
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

frmReportcheck::frmReportcheck(const QString &appFolder, QWidget *parent)
    : screenkit::Form(11520, 10560, parent)
    , m_appFolder(appFolder)
{
    setWindowTitle(QStringLiteral("Check report"));

    m_lblReports = new QLabel(QStringLiteral("Report &files, newest first:"), canvas());
    m_lblReports->setObjectName(QStringLiteral("lblReports"));
    setScaledFont(m_lblReports, screenkit::ui::dialogFont());
    place(m_lblReports, 240, 240, 2640, 300);

    m_lstReports = new QListWidget(canvas());
    m_lstReports->setObjectName(QStringLiteral("lstReports"));
    setScaledFont(m_lstReports, screenkit::ui::dialogFont());
    place(m_lstReports, 240, 600, 2640, 6000);
    m_lblReports->setBuddy(m_lstReports);
    connect(m_lstReports, &QListWidget::currentRowChanged, this, &frmReportcheck::checkchosen);

    m_lblSummary = new QLabel(canvas());
    m_lblSummary->setObjectName(QStringLiteral("lblSummary"));
    setScaledFont(m_lblSummary, screenkit::ui::msSansSerif(8.25, true));
    place(m_lblSummary, 3120, 240, 8160, 300);

    m_grdFindings = new QTableWidget(0, static_cast<int>(std::size(columns)), canvas());
    m_grdFindings->setObjectName(QStringLiteral("grdFindings"));
    setScaledFont(m_grdFindings, screenkit::ui::dialogFont());
    place(m_grdFindings, 3120, 600, 8160, 6000);
    QStringList titles;
    for (const ColumnDesign &column : columns)
        titles.append(QLatin1String(column.title));
    m_grdFindings->setHorizontalHeaderLabels(titles);
    m_grdFindings->verticalHeader()->hide();
    m_grdFindings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdFindings->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grdFindings->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grdFindings->setTabKeyNavigation(false);
    m_grdFindings->setWordWrap(true);
    m_grdFindings->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QHeaderView *header = m_grdFindings->horizontalHeader();
    for (int i = 0; i < ReasonColumn; ++i) {
        header->setSectionResizeMode(i, QHeaderView::Fixed);
        header->resizeSection(i, pixels(columns[i].width));
    }
    header->setSectionResizeMode(ReasonColumn, QHeaderView::Stretch);
    m_grdFindings->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    // What was not checked, so that a clean list is not taken for more than it is.
    m_lblNotes = new QLabel(canvas());
    m_lblNotes->setObjectName(QStringLiteral("lblNotes"));
    setScaledFont(m_lblNotes, screenkit::ui::dialogFont());
    m_lblNotes->setWordWrap(true);
    m_lblNotes->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(m_lblNotes, 240, 9900, 7920, 540);
    m_lblLedger = new QLabel(canvas());
    m_lblLedger->setObjectName(QStringLiteral("lblLedger"));
    m_lblLedger->setWordWrap(true);
    setScaledFont(m_lblLedger, screenkit::ui::msSansSerif(8.25, true));
    place(m_lblLedger, 240, 6780, 11040, 420);

    m_grdLedger = makeGrid(this, "grdLedger", ledgerColumns);
    place(m_grdLedger, 240, 7260, 4440, 2520);
    sizeColumns(this, m_grdLedger, ledgerColumns);
    // The same reports in the same order as the list: a row chooses its report.
    connect(m_grdLedger, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0)
            m_lstReports->setCurrentRow(row);
    });

    m_grdLedgerlines = makeGrid(this, "grdLedgerlines", ledgerLineColumns);
    place(m_grdLedgerlines, 4920, 7260, 6360, 2520);
    sizeColumns(this, m_grdLedgerlines, ledgerLineColumns);

    m_cmdRecheck = new QPushButton(QStringLiteral("Check &again"), canvas());
    m_cmdRecheck->setObjectName(QStringLiteral("cmdRecheck"));
    m_cmdRecheck->setToolTip(QStringLiteral("Read the chosen report again, after you have mended it"));
    place(m_cmdRecheck, 8400, 9960, 1335, 375);
    connect(m_cmdRecheck, &QPushButton::clicked, this, [this] {
        const QListWidgetItem *item = m_lstReports->currentItem();
        listreports(item ? item->data(Qt::UserRole).toString() : QString());
    });

    m_cmdClose = new QPushButton(QStringLiteral("&Close"), canvas());
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    place(m_cmdClose, 9945, 9960, 1335, 375);
    connect(m_cmdClose, &QPushButton::clicked, this, &QWidget::close);

    setTabOrder(m_lstReports, m_grdFindings);
    setTabOrder(m_grdFindings, m_grdLedger);
    setTabOrder(m_grdLedger, m_grdLedgerlines);
    setTabOrder(m_grdLedgerlines, m_cmdRecheck);
    setTabOrder(m_cmdRecheck, m_cmdClose);
    m_lstReports->setFocus();
}

void frmReportcheck::showEvent(QShowEvent *event)
{
    Form::showEvent(event);
    // Scaling changes the widths drawn up in twips.
    for (int i = 0; i < ReasonColumn; ++i)
        m_grdFindings->horizontalHeader()->resizeSection(i, pixels(columns[i].width));
    sizeColumns(this, m_grdLedger, ledgerColumns);
    sizeColumns(this, m_grdLedgerlines, ledgerLineColumns);
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
    const QStringList reports = modReportcheck::reportFiles(appfiles::Folder(m_appFolder).reports());
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
}

void frmReportcheck::checkchosen()
{
    showledgerlines();
    m_grdFindings->setRowCount(0);
    m_lblNotes->clear();
    const QListWidgetItem *item = m_lstReports->currentItem();
    if (!item) {
        m_lblSummary->setText(QStringLiteral("There is no day's report in \"%1\" yet.")
                                  .arg(QDir::toNativeSeparators(appfiles::Folder(m_appFolder).reports())));
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

} // namespace observe
