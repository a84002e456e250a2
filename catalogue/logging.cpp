// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/logging.h"

namespace catalogue
{

Q_LOGGING_CATEGORY(lc, "varlume.catalogue")

} // namespace catalogue
