// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/clearfields.h"

namespace catalogue
{

QString modProcesses::clearfieldsReminder()
{
    return QStringLiteral(" Make sure you now add the chart for this star in the starcharts folder");
}

} // namespace catalogue
