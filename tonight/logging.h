// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QLoggingCategory>

namespace tonight
{

// "varlume.tonight": every failure of this folder shown to the observer and every
// recovery, on standard error unless QT_LOGGING_RULES switches it off.
Q_DECLARE_LOGGING_CATEGORY(lc)

} // namespace tonight
