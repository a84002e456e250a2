// SPDX-License-Identifier: GPL-2.0-or-later
#include "lightcurve/frmlightcurve.h"

#include "lightcurve/curveplot.h"
#include "lightcurve/history.h"
#include "lightcurve/logging.h"
#include "lightcurve/timeaxis.h"
#include "screenkit/problembox.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>

namespace lightcurve
{

namespace
{
constexpr int recentDays = 90;

// The view of each star's curve while the program runs: a star shown again
// comes back as the observer left it.
QHash<QString, lightcurve::View> &rememberedViews()
{
    static QHash<QString, lightcurve::View> views;
    return views;
}

QString key(const appfiles::Folder &appFolder, const QString &star)
{
    return appFolder.path() + u'\n' + star.toLower();
}

QString counted(qsizetype count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}
}

using screenkit::into;

// The plot and the labels only show: Tab goes from button to button.
const screenkit::Control frmLightcurve::controls[] = {
    {.name = "plotCurve",
     .kind = screenkit::adopt<&frmLightcurve::m_plotCurve>,
     .at = {120, 120, 14760, 9120},
     .focus = Qt::NoFocus},
    {.name = "lblEmpty",
     .kind = into<&frmLightcurve::m_lblEmpty>,
     .at = {120, 120, 14760, 9120},
     .font = {12, true},
     .flags = screenkit::WordWrap,
     .align = Qt::AlignCenter,
     .focus = Qt::NoFocus},
    {.name = "cmdWhole",
     .kind = into<&frmLightcurve::m_cmdWhole>,
     .at = {120, 9360, 1695, 375},
     .text = "&Whole history",
     .tip = "Show every observation",
     .tab = 1},
    {.name = "cmdLast90",
     .kind = into<&frmLightcurve::m_cmdLast90>,
     .at = {1935, 9360, 1695, 375},
     .text = "Last &90 days",
     .tip = "Show the observations of the last 90 days",
     .tab = 2},
    {.name = "lblCount", .kind = into<&frmLightcurve::m_lblCount>, .at = {3750, 9360, 5010, 375}, .focus = Qt::NoFocus},
    {.name = "lblUndrawn",
     .kind = into<&frmLightcurve::m_lblUndrawn>,
     .at = {3750, 9780, 5010, 300},
     .tip = "Their date or magnitude in your observations is not a number",
     .focus = Qt::NoFocus},
    {.name = "chkWholeHistory",
     .kind = into<&frmLightcurve::m_chkWholeHistory>,
     .at = {8880, 9360, 2535, 375},
     .text = "Export the whole &history",
     .tip = "Save every observation, not only what the window shows",
     .tab = 3},
    {.name = "cmdPng",
     .kind = into<&frmLightcurve::m_cmdPng>,
     .at = {11520, 9360, 1215, 375},
     .text = "Save P&NG...",
     .tip = "Save the curve as a picture",
     .tab = 4},
    {.name = "cmdPdf",
     .kind = into<&frmLightcurve::m_cmdPdf>,
     .at = {12840, 9360, 1215, 375},
     .text = "Save P&DF...",
     .tip = "Save the curve as a PDF document to print",
     .tab = 5},
    {.name = "lblHint",
     .kind = into<&frmLightcurve::m_lblHint>,
     .at = {8880, 9780, 6000, 300},
     .text = "Wheel: zoom.  Drag: move.  Ctrl+drag: zoom to a box.",
     .focus = Qt::NoFocus},
};

frmLightcurve::frmLightcurve(const appfiles::Folder &appFolder, QWidget *parent)
    : screenkit::Form(15000, 10200, parent)
    , m_appFolder(appFolder)
    , m_plotCurve(new CurvePlot(appFolder, canvas()))
{
    screenkit::build(*this, controls);
    connect(m_plotCurve, &CurvePlot::viewChanged, this, &frmLightcurve::remember);
    connect(m_cmdWhole, &QPushButton::clicked, this, &frmLightcurve::wholeHistory);
    connect(m_cmdLast90, &QPushButton::clicked, this, &frmLightcurve::lastDays);
    connect(m_cmdPng, &QPushButton::clicked, this, [this] { save(false); });
    connect(m_cmdPdf, &QPushButton::clicked, this, [this] { save(true); });
    showstar(QString());
}

QString frmLightcurve::star() const
{
    return m_star;
}

void frmLightcurve::showstar(const QString &star)
{
    m_star = star;
    setWindowTitle(star.isEmpty() ? QStringLiteral("Light curve") : QStringLiteral("Light curve of ") + star);
    const outcome::Result<lightcurve::History> read =
        star.isEmpty() ? lightcurve::History{} : lightcurve::readHistory(m_appFolder, star, QDate::currentDate());
    if (!read)
        qCWarning(lightcurve::lc).noquote() << "shown:" << read.problem().message;
    const lightcurve::History history = read.valueOr(lightcurve::History{star, {}, 0});
    {
        // The view is the star's own: the one set here is not remembered for it.
        const QSignalBlocker quiet(m_plotCurve);
        m_plotCurve->setHistory(history);
        const auto remembered = rememberedViews().constFind(key(m_appFolder, star));
        m_plotCurve->setView(
            remembered != rememberedViews().constEnd() ? *remembered : lightcurve::wholeHistory(history.observations));
    }
    showCounts();
    if (star.isEmpty())
        showEmpty(QStringLiteral("No star chosen. Open the light curve from the observation screen."));
    else if (!read)
        showEmpty(read.problem().message);
    else if (history.observations.isEmpty() && history.undrawn == 0)
        showEmpty(QStringLiteral("There are no observations of \"%1\" yet.\nRecord them on the observation screen, "
                                 "or import the observations you downloaded from the AAVSO.")
                      .arg(star));
    else if (history.observations.isEmpty())
        showEmpty(QStringLiteral("None of the observations of \"%1\" can be drawn.").arg(star));
    else
        showEmpty(QString());
}

void frmLightcurve::showEmpty(const QString &text)
{
    const bool empty = !text.isEmpty();
    m_lblEmpty->setText(text);
    m_lblEmpty->setVisible(empty);
    m_plotCurve->setVisible(!empty);
    for (QWidget *control :
         std::initializer_list<QWidget *>{m_cmdWhole, m_cmdLast90, m_chkWholeHistory, m_cmdPng, m_cmdPdf, m_lblHint})
        control->setEnabled(!empty);
}

void frmLightcurve::showCounts()
{
    const lightcurve::History &history = m_plotCurve->history();
    qsizetype recorded = 0;
    qsizetype tonight = 0;
    for (const lightcurve::Observation &o : history.observations) {
        recorded += o.recorded ? 1 : 0;
        tonight += o.tonight ? 1 : 0;
    }
    const qsizetype all = history.observations.size();
    QString counts = counted(all, "observation", "observations");
    if (all > 0) {
        counts += QStringLiteral(": %1 recorded here, %2 imported").arg(recorded).arg(all - recorded);
        if (tonight > 0)
            counts += QStringLiteral(", %1 tonight").arg(tonight);
    }
    m_lblCount->setText(counts);
    m_lblUndrawn->setText(history.undrawn > 0 ? counted(history.undrawn, "observation", "observations")
                                  + QStringLiteral(" could not be drawn")
                                              : QString());
}

void frmLightcurve::remember()
{
    if (!m_star.isEmpty())
        rememberedViews().insert(key(m_appFolder, m_star), m_plotCurve->view());
}

void frmLightcurve::wholeHistory()
{
    m_plotCurve->setView(lightcurve::wholeHistory(m_plotCurve->history().observations));
}

void frmLightcurve::lastDays()
{
    const double now = lightcurve::jdOf(QDateTime::currentDateTimeUtc());
    m_plotCurve->setView(lightcurve::lastDays(m_plotCurve->history().observations, now, recentDays));
}

void frmLightcurve::save(bool pdf)
{
    const bool png = !pdf;
    const CurvePlot::Format chosen = pdf ? CurvePlot::Format::Pdf : CurvePlot::Format::Png;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString folder = QDir(documents).exists() ? documents : QDir::homePath();
    // The toolkit's own dialog: it takes the night colours, a desktop's would not.
    QFileDialog dialog(
        this, QStringLiteral("Save the light curve"),
        QDir(folder).filePath(m_star + (png ? QStringLiteral(" light curve.png") : QStringLiteral(" light curve.pdf"))),
        png ? QStringLiteral("PNG pictures (*.png)") : QStringLiteral("PDF documents (*.pdf)"));
    dialog.setObjectName(QStringLiteral("saveDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(png ? QStringLiteral("png") : QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    if (const outcome::Done saved = m_plotCurve->save(path, chosen, m_chkWholeHistory->isChecked()); !saved)
        screenkit::showProblem(saved.problem(), lightcurve::lc());
}

} // namespace lightcurve

// With the source, so that no unit of the moc output parses QCustomPlot's header once more.
#include "moc_frmlightcurve.cpp"
