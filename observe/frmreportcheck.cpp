// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/frmreportcheck.h"

#include "appfiles/folder.h"
#include "observe/reportcheck.h"
#include "screenkit/navigation.h"
#include "screenkit/ui.h"

#include <QDateTime>
#include <QDir>
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

QString lineText(int line)
{
    return line > 0 ? QString::number(line) : QStringLiteral("file");
}
}

frmReportcheck::frmReportcheck(const QString &appFolder, QWidget *parent)
    : screenkit::Form(11520, 7440, parent)
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
    place(m_lblNotes, 240, 6720, 7920, 600);

    m_cmdRecheck = new QPushButton(QStringLiteral("Check &again"), canvas());
    m_cmdRecheck->setObjectName(QStringLiteral("cmdRecheck"));
    m_cmdRecheck->setToolTip(QStringLiteral("Read the chosen report again, after you have mended it"));
    place(m_cmdRecheck, 8400, 6840, 1335, 375);
    connect(m_cmdRecheck, &QPushButton::clicked, this, [this] {
        const QListWidgetItem *item = m_lstReports->currentItem();
        listreports(item ? item->data(Qt::UserRole).toString() : QString());
    });

    m_cmdClose = new QPushButton(QStringLiteral("&Close"), canvas());
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    place(m_cmdClose, 9945, 6840, 1335, 375);
    connect(m_cmdClose, &QPushButton::clicked, this, &QWidget::close);

    setTabOrder(m_lstReports, m_grdFindings);
    setTabOrder(m_grdFindings, m_cmdRecheck);
    setTabOrder(m_cmdRecheck, m_cmdClose);
    m_lstReports->setFocus();
}

void frmReportcheck::showEvent(QShowEvent *event)
{
    Form::showEvent(event);
    // Scaling changes the widths drawn up in twips.
    for (int i = 0; i < ReasonColumn; ++i)
        m_grdFindings->horizontalHeader()->resizeSection(i, pixels(columns[i].width));
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
    checkchosen();
}

void frmReportcheck::checkchosen()
{
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
