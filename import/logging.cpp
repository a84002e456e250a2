// SPDX-License-Identifier: GPL-2.0-or-later
#include "import/logging.h"

namespace import
{

Q_LOGGING_CATEGORY(lc, "varlume.import")

} // namespace import
