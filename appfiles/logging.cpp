// SPDX-License-Identifier: GPL-2.0-or-later
#include "appfiles/logging.h"

namespace appfiles
{

Q_LOGGING_CATEGORY(lc, "varlume.appfiles")

} // namespace appfiles
