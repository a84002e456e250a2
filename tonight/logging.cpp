// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/logging.h"

namespace tonight
{

Q_LOGGING_CATEGORY(lc, "varlume.tonight")

} // namespace tonight
