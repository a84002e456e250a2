// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

namespace store
{
// Creates the database file with both tables, the unique index on the star
// name and the seed row. Refuses to touch a file that exists already. On
// failure the half-made file is removed, so the next start tries again.
bool createDefault(const QString &appFolder, QString *error);
}
