// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <functional>

namespace tonight
{
// Where f, monotonic between a and b, passes level, to half a second.
double crossing(const std::function<double(double)> &f, double a, double b, double level);
// Where f, with one lowest point between a and b, is lowest, to half a second.
double lowest(const std::function<double(double)> &f, double a, double b);
}
