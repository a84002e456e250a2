// SPDX-License-Identifier: GPL-2.0-or-later
#include "lightcurve/logging.h"

namespace lightcurve
{

Q_LOGGING_CATEGORY(lc, "varlume.lightcurve")

} // namespace lightcurve
