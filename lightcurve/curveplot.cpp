// SPDX-License-Identifier: GPL-2.0-or-later
#include "lightcurve/curveplot.h"

#include "lightcurve/timeaxis.h"
#include "screenkit/nightcolours.h"
#include "screenkit/nightmode.h"
#include "screenkit/plotframe.h"

#include <QDir>
#include <QPainterPath>

namespace lightcurve
{

namespace
{
enum class Mark { Disc, Ring, Vee, BigRing };

// Sizes of the marks in pixels.
constexpr int markSize = 7;
constexpr int tonightSize = 15;
constexpr int pointerSize = 21;
// How near the mouse must come to a mark to tell of it.
constexpr double reachPixels = 12.0;
// Room a date label takes on the axis.
constexpr int pixelsPerTick = 90;

// A "v" with its middle at the limit: the star was fainter, lower on the plot.
QPainterPath veePath(double size)
{
    const double h = size / 2.0;
    QPainterPath path;
    path.moveTo(-h, -h);
    path.lineTo(0, h);
    path.lineTo(h, -h);
    return path;
}

QCPScatterStyle vectorStyle(Mark mark, const QColor &colour)
{
    switch (mark) {
    case Mark::Disc: return QCPScatterStyle(QCPScatterStyle::ssDisc, colour, colour, markSize);
    case Mark::Ring: return QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(colour, 1.5), Qt::NoBrush, markSize);
    case Mark::Vee: return QCPScatterStyle(veePath(markSize + 2), QPen(colour, 1.8), Qt::NoBrush, markSize + 2);
    case Mark::BigRing: return QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(colour, 2.0), Qt::NoBrush, tonightSize);
    }
    return {};
}

// The mark drawn once into a picture: the plot then copies it for each of
// up to 100,000 observations instead of drawing a shape each time.
QCPScatterStyle pictureStyle(Mark mark, const QColor &colour, qreal ratio)
{
    const QCPScatterStyle shape = vectorStyle(mark, colour);
    const int side = qCeil(shape.size()) + 4;
    QPixmap picture(QSize(side, side) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QCPPainter marks(&picture);
    marks.setRenderHint(QPainter::Antialiasing);
    shape.applyTo(&marks, QPen(colour));
    shape.drawShape(&marks, side / 2.0, side / 2.0);
    marks.end();
    return QCPScatterStyle(picture);
}

class DateTicker final : public QCPAxisTicker
{
public:
    void generate(const QCPRange &range, const QLocale &, QChar, int, QVector<double> &ticks, QVector<double> *subTicks,
                  QVector<QString> *labels) override
    {
        ticks.clear();
        if (subTicks)
            subTicks->clear();
        if (labels)
            labels->clear();
        for (const lightcurve::Tick &tick : lightcurve::dateTicks(range.lower, range.upper, tickCount())) {
            ticks.append(tick.jd);
            if (labels)
                labels->append(tick.label);
        }
    }
};
}

CurvePlot::CurvePlot(const appfiles::Folder &appFolder, QWidget *parent)
    : QCustomPlot(parent)
    , m_appFolder(appFolder)
    , m_title(new QCPTextElement(this))
    , m_recorded(addGraph())
    , m_imported(addGraph())
    , m_fainterThan(addGraph())
    , m_tonight(addGraph())
    , m_pointer(new QCPItemTracer(this))
    , m_hoverText(new QCPItemText(this))
    , m_dates(new DateTicker)
{
    layOutTop();
    setUpGraphs();
    setUpHover();
    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    axisRect()->setRangeDrag(Qt::Horizontal | Qt::Vertical);
    axisRect()->setRangeZoom(Qt::Horizontal | Qt::Vertical);
    axisRect()->setRangeZoomFactor(0.8);
    setMouseTracking(true);

    for (QCPAxis *axis : {xAxis, yAxis}) {
        connect(axis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), this, [this] {
            hideHover();
            emit viewChanged();
        });
    }
    connect(screenkit::night::Mode::instance(), &screenkit::night::Mode::changed, this, [this](bool night) {
        applyLook(night, false);
        replot();
    });
    applyLook(screenkit::night::isOn(), false);
    applyFonts();
}

void CurvePlot::layOutTop()
{
    // The title and the legend in a row above the curve.
    auto *top = new QCPLayoutGrid;
    plotLayout()->insertRow(0);
    plotLayout()->addElement(0, 0, top);
    plotLayout()->setRowStretchFactor(0, 0.001);
    top->addElement(0, 0, m_title);
    axisRect()->insetLayout()->take(legend);
    top->addElement(0, 1, legend);
    top->setColumnStretchFactor(0, 1.0);
    legend->setVisible(true);
    legend->setFillOrder(QCPLegend::foColumnsFirst);
    legend->setWrap(4);
    m_title->setTextFlags(Qt::AlignLeft | Qt::AlignVCenter);
    m_title->setMargins(QMargins(8, 4, 8, 0));
}

void CurvePlot::setUpGraphs()
{
    m_imported->setName(QStringLiteral("Imported"));
    m_recorded->setName(QStringLiteral("Recorded here"));
    m_fainterThan->setName(QStringLiteral("Fainter than (at the limit)"));
    m_tonight->setName(QStringLiteral("Tonight"));
    // The imported first, under what was recorded here, tonight's on top.
    legend->clear();
    for (QCPGraph *graph : {m_imported, m_recorded, m_fainterThan, m_tonight}) {
        graph->setLineStyle(QCPGraph::lsNone);
        graph->addToLegend();
    }

    xAxis->setTicker(m_dates);
    xAxis->setLabel(QStringLiteral("Date (UT)"));
    yAxis->setLabel(QStringLiteral("Magnitude"));
    // Bright stars have the smaller magnitudes and belong at the top.
    yAxis->setRangeReversed(true);
    xAxis->setSubTicks(false);
}

void CurvePlot::setUpHover()
{
    for (QCPAbstractItem *item : std::initializer_list<QCPAbstractItem *>{m_pointer, m_hoverText}) {
        item->setLayer(QStringLiteral("overlay"));
        item->setClipToAxisRect(false);
        item->setVisible(false);
    }
    m_pointer->setStyle(QCPItemTracer::tsCircle);
    m_pointer->setSize(pointerSize);
    m_hoverText->setObjectName(QStringLiteral("hover"));
    m_hoverText->setPadding(QMargins(6, 4, 6, 4));
    m_hoverText->setTextAlignment(Qt::AlignLeft);
    m_hoverText->position->setType(QCPItemPosition::ptAbsolute);
}

void CurvePlot::applyLook(bool night, bool vectorMarks)
{
    const screenkit::PlotFrame &f = screenkit::plotFrame(night);
    screenkit::applyFrame(*this, f);
    m_title->setTextColor(f.text);
    legend->setBrush(f.outside);
    legend->setBorderPen(Qt::NoPen);

    const qreal ratio = devicePixelRatioF();
    const auto style = [&](Mark mark, const QColor &colour) {
        return vectorMarks ? vectorStyle(mark, colour) : pictureStyle(mark, colour, ratio);
    };
    m_recorded->setScatterStyle(style(Mark::Disc, f.subject));
    m_imported->setScatterStyle(style(Mark::Ring, f.beside));
    m_fainterThan->setScatterStyle(style(Mark::Vee, f.limit));
    m_tonight->setScatterStyle(style(Mark::BigRing, f.now));

    m_pointer->setPen(QPen(f.text, 1.5));
    m_hoverText->setColor(f.text);
    m_hoverText->setPen(QPen(f.text));
    // By day a tool tip's yellow.
    m_hoverText->setBrush(QColor(night ? screenkit::night::screen : 0xffffffe1));
    selectionRect()->setPen(QPen(f.text, 1, Qt::DashLine));
    selectionRect()->setBrush(Qt::NoBrush);
}

void CurvePlot::applyFonts()
{
    const QFont text = font();
    QFont title = text;
    title.setBold(true);
    title.setPixelSize(qRound(QFontInfo(text).pixelSize() * 1.3));
    m_title->setFont(title);
    m_hoverText->setFont(text);
    screenkit::applyFont(*this, text);
}

void CurvePlot::setHistory(const lightcurve::History &history)
{
    m_history = history;
    m_title->setText(QStringLiteral("Light curve of ") + history.star);
    const lightcurve::Curve curve = lightcurve::curveOf(history.observations);
    m_recorded->setData(curve.recorded.jd, curve.recorded.magnitude, true);
    m_imported->setData(curve.imported.jd, curve.imported.magnitude, true);
    m_fainterThan->setData(curve.fainterThan.jd, curve.fainterThan.magnitude, true);
    m_tonight->setData(curve.tonight.jd, curve.tonight.magnitude, true);
    hideHover();
}

const lightcurve::History &CurvePlot::history() const
{
    return m_history;
}

lightcurve::View CurvePlot::view() const
{
    return {{xAxis->range().lower, xAxis->range().upper}, {yAxis->range().lower, yAxis->range().upper}};
}

void CurvePlot::setView(const lightcurve::View &view)
{
    xAxis->setRange(view.jd.lower, view.jd.upper);
    yAxis->setRange(view.magnitude.lower, view.magnitude.upper);
    replot();
}

outcome::Done CurvePlot::save(const QString &path, Format format, bool wholeHistory)
{
    const lightcurve::View shown = view();
    const QSignalBlocker quiet(this);
    hideHover();
    // Paper is white: the file is for printing and sending, not the eyepiece.
    applyLook(false, true);
    if (wholeHistory) {
        const lightcurve::View whole = lightcurve::wholeHistory(m_history.observations);
        xAxis->setRange(whole.jd.lower, whole.jd.upper);
        yAxis->setRange(whole.magnitude.lower, whole.magnitude.upper);
    }
    constexpr int width = 1200;
    constexpr int height = 750;
    const bool saved = format == Format::Png
        ? savePng(path, width, height, 2.0)
        : savePdf(path, width, height, QCP::epNoCosmetic, QStringLiteral("varlume"), m_title->text());
    applyLook(screenkit::night::isOn(), false);
    xAxis->setRange(shown.jd.lower, shown.jd.upper);
    yAxis->setRange(shown.magnitude.lower, shown.magnitude.upper);
    replot();
    if (saved)
        return {};
    return outcome::failed(QStringLiteral("The light curve could not be saved as \"%1\". Make sure the folder exists "
                                          "and you may write to it, then save again.")
                               .arg(QDir::toNativeSeparators(path)))
        .titled(QStringLiteral("Light curve not saved"))
        .as(outcome::Severity::Warning);
}

void CurvePlot::mousePressEvent(QMouseEvent *event)
{
    // Ctrl held: the drag draws the rectangle to zoom to; else it moves the curve.
    setSelectionRectMode(event->modifiers() & Qt::ControlModifier ? QCP::srmZoom : QCP::srmNone);
    hideHover();
    QCustomPlot::mousePressEvent(event);
}

void CurvePlot::mouseMoveEvent(QMouseEvent *event)
{
    QCustomPlot::mouseMoveEvent(event);
    if (event->buttons() == Qt::NoButton)
        hover(event->position().toPoint());
}

void CurvePlot::leaveEvent(QEvent *event)
{
    hideHover();
    QCustomPlot::leaveEvent(event);
}

void CurvePlot::changeEvent(QEvent *event)
{
    QCustomPlot::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        applyFonts();
}

void CurvePlot::resizeEvent(QResizeEvent *event)
{
    QCustomPlot::resizeEvent(event);
    m_dates->setTickCount(qMax(2, width() / pixelsPerTick));
}

void CurvePlot::hover(const QPoint &at)
{
    const QRect area = axisRect()->rect();
    const qsizetype found = area.contains(at)
        ? lightcurve::nearest(m_history.observations, xAxis->pixelToCoord(at.x()), yAxis->pixelToCoord(at.y()),
                              xAxis->range().size() / area.width(), yAxis->range().size() / area.height(), reachPixels)
        : -1;
    if (found < 0) {
        hideHover();
        return;
    }
    const lightcurve::Observation &o = m_history.observations.at(found);
    if (found != m_hovered || !m_hoverText->visible())
        m_hoverText->setText(lightcurve::describe(o, lightcurve::readDetails(m_appFolder, o.row)));
    m_hovered = found;
    m_pointer->position->setCoords(o.jd, o.magnitude);
    // Beside the mark, on the side where there is room.
    const QPointF mark(xAxis->coordToPixel(o.jd), yAxis->coordToPixel(o.magnitude));
    const bool right = mark.x() < area.center().x();
    const bool below = mark.y() < area.center().y();
    m_hoverText->setPositionAlignment((right ? Qt::AlignLeft : Qt::AlignRight)
                                      | (below ? Qt::AlignTop : Qt::AlignBottom));
    const double offset = pointerSize / 2.0 + 2;
    m_hoverText->position->setCoords(mark.x() + (right ? offset : -offset), mark.y() + (below ? offset : -offset));
    m_pointer->setVisible(true);
    m_hoverText->setVisible(true);
    layer(QStringLiteral("overlay"))->replot();
}

void CurvePlot::hideHover()
{
    if (!m_hoverText->visible())
        return;
    m_pointer->setVisible(false);
    m_hoverText->setVisible(false);
    layer(QStringLiteral("overlay"))->replot();
}

} // namespace lightcurve

// With the source, so that no unit of the moc output parses QCustomPlot's header once more.
#include "moc_curveplot.cpp"
