// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "tonight/night.h"

#include <qcustomplot.h>

namespace tonight
{
// One star's altitude through the night, noon to noon in UT: the dark window
// shaded, the lowest altitude the observer sees as a dashed line, the Moon's
// altitude dotted, now as an upright line. While night is on it is drawn red
// and dark red only.
class NightPlot final : public QCustomPlot
{
    Q_OBJECT

public:
    explicit NightPlot(QWidget *parent = nullptr);

    void setNight(const Night &night, const QDateTime &moment, double lowestAltitude);
    // The star's and the Moon's curves; a star without curves empties the plot.
    void setCurves(const QString &star, const Curves &curves);

protected:
    void changeEvent(QEvent *event) override;

private:
    void applyLook(bool night);
    void applyFonts();

    QCPTextElement *m_title;
    QCPGraph *m_star;
    QCPGraph *m_moon;
    QCPItemRect *m_dark;
    QCPItemText *m_noDark;
    QCPItemStraightLine *m_lowest;
    QCPItemStraightLine *m_now;
};
}
