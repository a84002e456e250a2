// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/logging.h"

namespace app
{

Q_LOGGING_CATEGORY(lc, "varlume.app")

} // namespace app
