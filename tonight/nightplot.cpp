// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/nightplot.h"

#include "screenkit/nightcolours.h"
#include "screenkit/nightmode.h"
#include "screenkit/plotframe.h"

namespace tonight
{
namespace
{
// Below the horizon a little, so that a star's setting shows.
constexpr double lowestShown = -10;
constexpr double highestShown = 90;

double keyOf(const QDateTime &time)
{
    return QCPAxisTickerDateTime::dateTimeToKey(time);
}
}

NightPlot::NightPlot(QWidget *parent)
    : QCustomPlot(parent)
    , m_title(new QCPTextElement(this))
    , m_star(addGraph())
    , m_moon(addGraph())
    , m_dark(new QCPItemRect(this))
    , m_noDark(new QCPItemText(this))
    , m_lowest(new QCPItemStraightLine(this))
    , m_now(new QCPItemStraightLine(this))
{
    plotLayout()->insertRow(0);
    plotLayout()->addElement(0, 0, m_title);
    m_title->setMargins(QMargins(8, 4, 8, 0));

    m_star->setName(QStringLiteral("Star"));
    m_moon->setName(QStringLiteral("Moon"));
    legend->setVisible(true);
    axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);

    auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
    ticker->setTimeZone(QTimeZone::utc());
    ticker->setDateTimeFormat(QStringLiteral("HH:mm"));
    xAxis->setTicker(ticker);
    xAxis->setLabel(QStringLiteral("Time (UT)"));
    yAxis->setLabel(QStringLiteral("Altitude (°)"));
    yAxis->setRange(lowestShown, highestShown);

    // The dark window under the curves.
    m_dark->setLayer(QStringLiteral("background"));
    m_dark->topLeft->setTypeY(QCPItemPosition::ptAxisRectRatio);
    m_dark->bottomRight->setTypeY(QCPItemPosition::ptAxisRectRatio);
    m_noDark->setText(QStringLiteral("no dark"));
    m_noDark->position->setType(QCPItemPosition::ptAxisRectRatio);
    m_noDark->position->setCoords(0.5, 0.05);
    m_noDark->setPositionAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_lowest->point1->setCoords(0, 0);
    m_lowest->point2->setCoords(1, 0);
    m_now->point1->setCoords(0, lowestShown);
    m_now->point2->setCoords(0, highestShown);

    connect(screenkit::night::Mode::instance(), &screenkit::night::Mode::changed, this, [this](bool night) {
        applyLook(night);
        replot();
    });
    applyLook(screenkit::night::isOn());
    applyFonts();
}

void NightPlot::applyLook(bool night)
{
    const screenkit::PlotFrame &f = screenkit::plotFrame(night);
    screenkit::applyFrame(*this, f);
    // The horizon.
    yAxis->grid()->setZeroLinePen(QPen(f.axis));
    m_title->setTextColor(f.text);
    legend->setBrush(f.inside);
    legend->setBorderPen(QPen(f.axis));
    m_dark->setPen(Qt::NoPen);
    m_dark->setBrush(QColor(night ? screenkit::night::dark : 0xffdde3ee));
    m_noDark->setColor(f.text);
    m_star->setPen(QPen(f.subject, 2));
    m_moon->setPen(QPen(f.beside, 1.5, Qt::DotLine));
    // By night as quiet as the Moon's curve: the star's stands out.
    m_lowest->setPen(QPen(night ? f.beside : f.limit, 1, Qt::DashLine));
    m_now->setPen(QPen(f.now, 1.5));
}

void NightPlot::applyFonts()
{
    const QFont text = font();
    QFont title = text;
    title.setBold(true);
    m_title->setFont(title);
    m_noDark->setFont(text);
    screenkit::applyFont(*this, text);
}

void NightPlot::changeEvent(QEvent *event)
{
    QCustomPlot::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        applyFonts();
}

void NightPlot::setNight(const Night &night, const QDateTime &moment, double lowestAltitude)
{
    xAxis->setRange(keyOf(night.start), keyOf(night.end));
    m_dark->setVisible(night.dark);
    m_noDark->setVisible(!night.dark);
    m_dark->topLeft->setCoords(keyOf(night.evening), 0);
    m_dark->bottomRight->setCoords(keyOf(night.morning), 1);
    m_lowest->point1->setCoords(keyOf(night.start), lowestAltitude);
    m_lowest->point2->setCoords(keyOf(night.end), lowestAltitude);
    m_now->point1->setCoords(keyOf(moment), lowestShown);
    m_now->point2->setCoords(keyOf(moment), highestShown);
    replot();
}

void NightPlot::setCurves(const QString &star, const Curves &curves)
{
    QVector<double> keys;
    keys.reserve(curves.times.size());
    for (const QDateTime &time : curves.times)
        keys.append(keyOf(time));
    m_title->setText(star.isEmpty() ? QString() : QStringLiteral("%1 through the night").arg(star));
    m_star->setName(star.isEmpty() ? QStringLiteral("Star") : star);
    m_star->setData(keys, QVector<double>(curves.star.begin(), curves.star.end()), true);
    m_moon->setData(keys, QVector<double>(curves.moon.begin(), curves.moon.end()), true);
    replot();
}
}

// With the source, so that no unit of the moc output parses QCustomPlot's header once more.
#include "moc_nightplot.cpp"
