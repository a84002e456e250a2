// SPDX-License-Identifier: GPL-2.0-or-later
#include "varstars/starkey.h"

#include <QRegularExpression>

namespace varstars
{
QString starKey(const QString &name)
{
    // The index of variable stars writes "V0404 Cyg", the catalogues "V404 Cyg".
    static const QRegularExpression leadingZeros(QStringLiteral("^v0+(?=\\d)"));
    QString key = name.simplified().toCaseFolded();
    if (key.startsWith(u'v'))
        key.replace(leadingZeros, QStringLiteral("v"));
    return key;
}
}
