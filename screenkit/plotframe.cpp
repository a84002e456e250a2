// SPDX-License-Identifier: GPL-2.0-or-later
#include "screenkit/plotframe.h"

#include "screenkit/nightcolours.h"

const screenkit::PlotFrame &screenkit::plotFrame(bool atNight)
{
    static const PlotFrame day{QColor(0xffffffff), QColor(0xffffffff), QColor(0xff000000), QColor(0xffd8d8d8),
                               QColor(0xff000000)};
    static const PlotFrame dark{QColor(night::screen), QColor(night::black), QColor(night::dimText),
                                QColor(night::screen), QColor(night::text)};
    return atNight ? dark : day;
}
