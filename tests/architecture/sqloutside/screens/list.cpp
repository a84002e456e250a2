// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/statement.h"
#include "store/store.h"

#include <QSqlQuery>
