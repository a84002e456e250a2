// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/roots.h"

#include <cmath>

namespace tonight
{
namespace
{
constexpr double halfSecond = 0.5 / 86'400;
}

double crossing(const std::function<double(double)> &f, double a, double b, double level)
{
    const bool aboveAtA = f(a) >= level;
    while (std::abs(b - a) > halfSecond) {
        const double middle = (a + b) / 2;
        if ((f(middle) >= level) == aboveAtA)
            a = middle;
        else
            b = middle;
    }
    return (a + b) / 2;
}

double lowest(const std::function<double(double)> &f, double a, double b)
{
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double c = b - ratio * (b - a);
    double d = a + ratio * (b - a);
    double fc = f(c);
    double fd = f(d);
    while (b - a > halfSecond) {
        if (fc < fd) {
            b = d;
            d = c;
            fd = fc;
            c = b - ratio * (b - a);
            fc = f(c);
        } else {
            a = c;
            c = d;
            fc = fd;
            d = a + ratio * (b - a);
            fd = f(d);
        }
    }
    return (a + b) / 2;
}
}
