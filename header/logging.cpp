// SPDX-License-Identifier: GPL-2.0-or-later
#include "header/logging.h"

namespace header
{

Q_LOGGING_CATEGORY(lc, "varlume.header")

} // namespace header
