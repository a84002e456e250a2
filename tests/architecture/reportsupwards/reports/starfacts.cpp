// SPDX-License-Identifier: GPL-2.0-or-later
// The report format reaching up into the observation screen's recording.
#include "observe/recording.h"
