// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/frmtonight.h"

#include "hostkit/messageseam.h"
#include "screenkit/navigation.h"
#include "screenkit/problembox.h"
#include "store/database.h"
#include "tonight/frmposition.h"
#include "tonight/frmsite.h"
#include "tonight/logging.h"
#include "tonight/nightplot.h"
#include "tonight/planinput.h"
#include "tonight/positionsfile.h"

#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QTableWidget>

namespace tonight
{

namespace
{
constexpr int clientWidth = 15000;
constexpr int clientHeight = 10200;
constexpr int listWidth = 9600;
constexpr int buttonTop = 9480;
constexpr int buttonHeight = 375;

// The list's column widths in twips, in the order of Column.
constexpr int columnTwips[columnCount] = {1350, 690, 690, 600, 690, 780, 690, 840, 660, 1200, 1200};
// One line of the list's font.
constexpr int rowTwips = 285;

const QStringList &columnTips()
{
    static const QStringList tips{
        QString(),
        QStringLiteral("Altitude now, refraction included"),
        QStringLiteral("The best time tonight in Universal Time: the star's transit, or the darkest end of the "
                       "window where it is higher"),
        QStringLiteral("The best time in the site's time zone"),
        QStringLiteral("Altitude at the best time"),
        QStringLiteral("The Moon's distance from the star at the best time"),
        QStringLiteral("How much of the Moon is lit"),
        QStringLiteral("Days since your newest observation of the star"),
        QStringLiteral("Days since over the days its type asks between observations; \"new\": never observed"),
        QStringLiteral("An eclipsing binary's next primary minimum tonight, while it is above your lowest altitude"),
        QStringLiteral("A Mira's next maximum, reckoned from its epoch and period: approximate"),
    };
    return tips;
}
}

using screenkit::into;

const screenkit::Control frmTonight::controls[] = {
    {.name = "lblDark", .kind = into<&frmTonight::m_lblDark>, .at = {120, 120, listWidth, 300}, .font = {9.75, true}},
    {.name = "grdPlan",
     .kind = into<&frmTonight::m_grdPlan>,
     .at = {120, 480, listWidth, 8280},
     .tab = 1,
     .font = {8.25, false}},
    {.name = "lblWithoutPosition",
     .kind = into<&frmTonight::m_lblWithoutPosition>,
     .at = {120, 8820, listWidth, 540},
     .flags = screenkit::WordWrap,
     .align = Qt::AlignLeft | Qt::AlignTop},
    {.name = "plotNight",
     .kind = into<&frmTonight::m_plotNight>,
     .at = {listWidth + 240, 120, clientWidth - listWidth - 360, 9240},
     .focus = Qt::NoFocus},
    {.name = "cmdSite",
     .kind = into<&frmTonight::m_cmdSite>,
     .at = {120, buttonTop, 1215, buttonHeight},
     .text = "&Site...",
     .tip = "Where you observe and when it is dark",
     .tab = 2},
    {.name = "cmdPosition",
     .kind = into<&frmTonight::m_cmdPosition>,
     .at = {1455, buttonTop, 1335, buttonHeight},
     .text = "&Position...",
     .tip = "Type the position of one star",
     .tab = 3},
    {.name = "cmdReadPositions",
     .kind = into<&frmTonight::m_cmdReadPositions>,
     .at = {2910, buttonTop, 1695, buttonHeight},
     .text = "&Read positions...",
     .tip = "Read the positions of your stars from a CSV or tab-separated file",
     .tab = 4},
    {.name = "cmdRecompute",
     .kind = into<&frmTonight::m_cmdRecompute>,
     .at = {4725, buttonTop, 1695, buttonHeight},
     .text = "Plan for now (F5)",
     .tip = "Plan again for the present moment",
     .tab = 5},
    {.name = "cmdHelp",
     .kind = into<&frmTonight::m_cmdHelp>,
     .at = {clientWidth - 1335, buttonTop, 1215, buttonHeight},
     .text = "&Help",
     .tab = 6},
};

frmTonight::frmTonight(const appfiles::Folder &appFolder, Clock clock, QWidget *parent)
    : screenkit::Form(clientWidth, clientHeight, parent)
    , m_appFolder(appFolder)
    , m_clock(std::move(clock))
{
    setWindowTitle(QStringLiteral("Tonight"));
    screenkit::build(*this, controls);
    wirePlan();
    auto *again = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(again, &QShortcut::activated, this, &frmTonight::recompute);
}

void frmTonight::wirePlan()
{
    m_grdPlan->setColumnCount(columnCount);
    m_grdPlan->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdPlan->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grdPlan->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grdPlan->setTabKeyNavigation(false);
    m_grdPlan->verticalHeader()->hide();
    m_grdPlan->setWordWrap(false);
    m_grdPlan->horizontalHeader()->setHighlightSections(false);
    m_grdPlan->horizontalHeader()->setStretchLastSection(true);
    const QStringList titles = columnTitles();
    for (int column = 0; column < columnCount; ++column) {
        auto *header = new QTableWidgetItem(titles.at(column));
        header->setToolTip(columnTips().at(column));
        m_grdPlan->setHorizontalHeaderItem(column, header);
    }
    // Return (or a double click) on a star: to the eyepiece with its chart.
    connect(m_grdPlan, &QTableWidget::cellActivated, this, [this](int row, int) { observe(row); });
    connect(m_grdPlan, &QTableWidget::currentCellChanged, this, &frmTonight::showSelected);
    connect(m_cmdSite, &QPushButton::clicked, this, &frmTonight::editSite);
    connect(m_cmdPosition, &QPushButton::clicked, this, &frmTonight::typePosition);
    connect(m_cmdReadPositions, &QPushButton::clicked, this, &frmTonight::readPositions);
    connect(m_cmdRecompute, &QPushButton::clicked, this, &frmTonight::recompute);
    connect(m_cmdHelp, &QPushButton::clicked, this, [] { screenkit::help(screenkit::HelpCommand::HelpContext, 1004); });
}

void frmTonight::showEvent(QShowEvent *event)
{
    Form::showEvent(event);
    sizeColumns();
}

void frmTonight::sizeColumns()
{
    for (int column = 0; column < columnCount; ++column)
        m_grdPlan->setColumnWidth(column, pixels(columnTwips[column]));
    m_grdPlan->verticalHeader()->setDefaultSectionSize(pixels(rowTwips));
}

void frmTonight::recompute()
{
    const outcome::Result<PlanView> view = readPlanView(m_appFolder, m_clock().toUTC());
    if (!view && view.problem().kind == outcome::Kind::NotFound) {
        m_view.reset();
        fill();
        // Once the screen is up, so that the dialog comes before it.
        QMetaObject::invokeMethod(this, &frmTonight::editSite, Qt::QueuedConnection);
        return;
    }
    if (!view) {
        screenkit::showProblem(view.problem(), tonight::lc(), QStringLiteral("Tonight"));
        return;
    }
    m_view = *view;
    fill();
}

void frmTonight::fill()
{
    const QString selected = selectedStar();
    const QSignalBlocker quiet(m_grdPlan);
    m_grdPlan->clearContents();
    // Without a site there is no night to draw.
    m_plotNight->setVisible(m_view.has_value());
    if (!m_view) {
        m_grdPlan->setRowCount(0);
        m_lblDark->setText(QStringLiteral("No observing site yet: set it up with \"Site...\"."));
        m_lblWithoutPosition->clear();
        m_plotNight->setCurves(QString(), {});
        return;
    }
    const QTimeZone zone = m_view->site.zone();
    const QList<PlanRow> &rows = m_view->plan.rows;
    m_grdPlan->setRowCount(int(rows.size()));
    int current = 0;
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList cells = planCells(rows.at(r), zone);
        for (int column = 0; column < columnCount; ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            if (column != int(Column::Star))
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_grdPlan->setItem(r, column, item);
        }
        if (rows.at(r).name == selected)
            current = r;
    }
    m_lblDark->setText(
        darkText(m_view->plan.night, zone)
        + QStringLiteral("; planned at %1 UT").arg(m_view->plan.moment.toUTC().toString(QStringLiteral("HH:mm"))));
    m_lblWithoutPosition->setText(withoutPositionText(m_view->plan.withoutPosition));
    m_plotNight->setNight(m_view->plan.night, m_view->plan.moment, m_view->site.lowestAltitude);
    if (!rows.isEmpty())
        m_grdPlan->setCurrentCell(current, 0);
    showSelected();
}

QString frmTonight::selectedStar() const
{
    const QTableWidgetItem *item = m_grdPlan->item(m_grdPlan->currentRow(), int(Column::Star));
    return item ? item->text() : QString();
}

void frmTonight::showSelected()
{
    const QString star = selectedStar();
    if (!m_view || star.isEmpty() || !m_view->positions.contains(star)) {
        m_plotNight->setCurves(QString(), {});
        return;
    }
    m_plotNight->setCurves(star, curves(m_view->sky, m_view->positions.value(star)));
}

void frmTonight::observe(int row)
{
    if (const QTableWidgetItem *item = m_grdPlan->item(row, int(Column::Star)))
        screenkit::show(screenkit::Screen::Observation, item->text());
}

void frmTonight::editSite()
{
    auto *dialog = new frmSite(m_appFolder, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, &frmTonight::recompute);
    dialog->load();
    dialog->open();
}

void frmTonight::typePosition()
{
    auto *dialog = new frmPosition(m_appFolder, selectedStar(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, &frmTonight::recompute);
    dialog->open();
}

void frmTonight::readPositions()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // The toolkit's own dialog: it takes the night colours, a desktop's would not.
    QFileDialog dialog(this, QStringLiteral("Read the positions of your stars"),
                       QDir(documents).exists() ? documents : QDir::homePath(),
                       QStringLiteral("Positions (*.csv *.tsv *.txt);;All files (*)"));
    dialog.setObjectName(QStringLiteral("openDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString title = QStringLiteral("Positions not read");
    const outcome::Result<PositionsReading> reading = readPositionsFile(dialog.selectedFiles().constFirst());
    if (!reading)
        return screenkit::showProblem(reading.problem(), tonight::lc(), title);
    store::Database db(m_appFolder);
    const outcome::Result<PositionsImported> imported = importPositions(db, *reading);
    if (!imported)
        return screenkit::showProblem(imported.problem(), tonight::lc(), title);
    const QString read = QStringLiteral("Positions read");
    if (imported->refusals.isEmpty())
        hostkit::ask(imported->text(), read);
    else
        screenkit::showProblem(outcome::refused(imported->text()).titled(read).as(outcome::Severity::Warning),
                               tonight::lc());
    recompute();
}

} // namespace tonight

// With the source, so that no unit of the moc output parses QCustomPlot's header once more.
#include "moc_frmtonight.cpp"
