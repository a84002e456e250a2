// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

namespace catalogue
{

namespace modProcesses
{
// The status bar's reminder once the record fields are emptied for a new
// record: the new star's chart belongs in the folder of chart images.
QString clearfieldsReminder();
}

} // namespace catalogue
