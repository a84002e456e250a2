// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/logging.h"

namespace store
{

Q_LOGGING_CATEGORY(lc, "varlume.store")

} // namespace store
