// SPDX-License-Identifier: GPL-2.0-or-later
#include "lightcurve/frmlightcurve.h"

#include "lightcurve/curveplot.h"
#include "lightcurve/history.h"
#include "lightcurve/logging.h"
#include "lightcurve/timeaxis.h"
#include "screenkit/problembox.h"
#include "screenkit/ui.h"

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

QString key(const QString &appFolder, const QString &star)
{
    return appFolder + u'\n' + star.toLower();
}

QString counted(qsizetype count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}
}

frmLightcurve::frmLightcurve(const QString &appFolder, QWidget *parent)
    : screenkit::Form(15000, 10200, parent)
    , m_appFolder(appFolder)
{
    createControls();
    showstar(QString());
}

QPushButton *frmLightcurve::makeButton(const char *name, const QString &text, const QString &tip, int left, int top,
                                       int width, int height)
{
    auto *button = new QPushButton(text, canvas());
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tip);
    place(button, left, top, width, height);
    return button;
}

QLabel *frmLightcurve::makeLabel(const char *name, int left, int top, int width, int height)
{
    auto *label = new QLabel(canvas());
    label->setObjectName(QLatin1String(name));
    place(label, left, top, width, height);
    return label;
}

void frmLightcurve::createControls()
{
    m_plotCurve = new CurvePlot(m_appFolder, canvas());
    m_plotCurve->setObjectName(QStringLiteral("plotCurve"));
    place(m_plotCurve, 120, 120, 14760, 9120);
    connect(m_plotCurve, &CurvePlot::viewChanged, this, &frmLightcurve::remember);

    m_lblEmpty = makeLabel("lblEmpty", 120, 120, 14760, 9120);
    m_lblEmpty->setAlignment(Qt::AlignCenter);
    m_lblEmpty->setWordWrap(true);
    setScaledFont(m_lblEmpty, screenkit::ui::msSansSerif(12, true));

    m_cmdWhole = makeButton("cmdWhole", QStringLiteral("&Whole history"), QStringLiteral("Show every observation"), 120,
                            9360, 1695, 375);
    connect(m_cmdWhole, &QPushButton::clicked, this, &frmLightcurve::wholeHistory);
    m_cmdLast90 = makeButton("cmdLast90", QStringLiteral("Last &90 days"),
                             QStringLiteral("Show the observations of the last 90 days"), 1935, 9360, 1695, 375);
    connect(m_cmdLast90, &QPushButton::clicked, this, &frmLightcurve::lastDays);

    m_lblCount = makeLabel("lblCount", 3750, 9360, 5010, 375);
    m_lblUndrawn = makeLabel("lblUndrawn", 3750, 9780, 5010, 300);
    m_lblUndrawn->setToolTip(QStringLiteral("Their date or magnitude in your observations is not a number"));

    m_chkWholeHistory = new QCheckBox(QStringLiteral("Export the whole &history"), canvas());
    m_chkWholeHistory->setObjectName(QStringLiteral("chkWholeHistory"));
    m_chkWholeHistory->setToolTip(QStringLiteral("Save every observation, not only what the window shows"));
    place(m_chkWholeHistory, 8880, 9360, 2535, 375);
    m_cmdPng = makeButton("cmdPng", QStringLiteral("Save P&NG..."), QStringLiteral("Save the curve as a picture"),
                          11520, 9360, 1215, 375);
    connect(m_cmdPng, &QPushButton::clicked, this, [this] { save(false); });
    m_cmdPdf = makeButton("cmdPdf", QStringLiteral("Save P&DF..."),
                          QStringLiteral("Save the curve as a PDF document to print"), 12840, 9360, 1215, 375);
    connect(m_cmdPdf, &QPushButton::clicked, this, [this] { save(true); });

    m_lblHint = makeLabel("lblHint", 8880, 9780, 6000, 300);
    m_lblHint->setText(QStringLiteral("Wheel: zoom.  Drag: move.  Ctrl+drag: zoom to a box."));

    for (QWidget *control :
         std::initializer_list<QWidget *>{m_plotCurve, m_lblEmpty, m_lblCount, m_lblUndrawn, m_lblHint})
        control->setFocusPolicy(Qt::NoFocus);
    QWidget::setTabOrder(m_cmdWhole, m_cmdLast90);
    QWidget::setTabOrder(m_cmdLast90, m_chkWholeHistory);
    QWidget::setTabOrder(m_chkWholeHistory, m_cmdPng);
    QWidget::setTabOrder(m_cmdPng, m_cmdPdf);
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
