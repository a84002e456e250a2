// SPDX-License-Identifier: GPL-2.0-or-later
#include "screenkit/plotframe.h"

#include "screenkit/nightcolours.h"

#include <qcustomplot.h>

const screenkit::PlotFrame &screenkit::plotFrame(bool atNight)
{
    static const PlotFrame day{
        .outside = QColor(0xffffffff),
        .inside = QColor(0xffffffff),
        .axis = QColor(0xff000000),
        .grid = QColor(0xffd8d8d8),
        .text = QColor(0xff000000),
        .subject = QColor(0xff1f4fbf),
        .beside = QColor(0xff707070),
        .limit = QColor(0xff8b2fa8),
        .now = QColor(0xffe06000),
    };
    static const PlotFrame dark{
        .outside = QColor(night::screen),
        .inside = QColor(night::black),
        .axis = QColor(night::dimText),
        .grid = QColor(night::screen),
        .text = QColor(night::text),
        .subject = QColor(night::text),
        .beside = QColor(night::dimText),
        .limit = QColor(night::text),
        .now = QColor(night::text),
    };
    return atNight ? dark : day;
}

void screenkit::applyFrame(QCustomPlot &plot, const PlotFrame &frame)
{
    plot.setBackground(frame.outside);
    plot.axisRect()->setBackground(frame.inside);
    for (QCPAxis *axis : {plot.xAxis, plot.yAxis}) {
        axis->setBasePen(QPen(frame.axis));
        axis->setTickPen(QPen(frame.axis));
        axis->setSubTickPen(QPen(frame.axis));
        axis->setTickLabelColor(frame.text);
        axis->setLabelColor(frame.text);
        axis->grid()->setPen(QPen(frame.grid, 1, Qt::DotLine));
        axis->grid()->setZeroLinePen(Qt::NoPen);
    }
    plot.legend->setTextColor(frame.text);
}

void screenkit::applyFont(QCustomPlot &plot, const QFont &font)
{
    plot.legend->setFont(font);
    for (QCPAxis *axis : {plot.xAxis, plot.yAxis}) {
        axis->setTickLabelFont(font);
        axis->setLabelFont(font);
    }
}
