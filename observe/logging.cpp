// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/logging.h"

namespace observe
{

Q_LOGGING_CATEGORY(lc, "varlume.observe")

} // namespace observe
