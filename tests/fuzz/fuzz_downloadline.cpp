// SPDX-License-Identifier: GPL-2.0-or-later
// libFuzzer target: one line of a download, decoded both ways the reader
// decodes, through the line parser. A row it makes must be one the database
// takes and every later reader can use. Built and run by fuzz.sh.
#include "appfiles/codepage.h"
#include "import/downloadline.h"
#include "store/observationkey.h"
#include "store/schema.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

namespace
{
void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkValue(const QString &value, const char *column)
{
    check(!value.isEmpty());
    check(!value.startsWith(u' ') && !value.endsWith(u' '));
    check(value.toUcs4().size() <= store::cumobs().column(QLatin1String(column))->length);
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const QString &line : {QString::fromUtf8(bytes), appfiles::fromCp1252(bytes)}) {
        const outcome::Result<import::download::Observation> parsed = import::download::parseLine(line);
        check(parsed || !parsed.problem().message.isEmpty());
        if (!parsed)
            continue;
        const import::download::Observation &o = *parsed;
        checkValue(o.star, "star");
        checkValue(o.obsdate, "obsdate");
        checkValue(o.magnitude, "magnitude");
        checkValue(o.obscode, "obscode");
        checkValue(o.notes, "notes");
        checkValue(o.estimate, "estimate");
        checkValue(o.chart, "chart");
        const std::optional<double> jd = store::decimalNumber(o.obsdate);
        check(jd && *jd >= 2000000 && *jd <= 3000000);
        check(store::observationKey(o.star, o.obsdate, o.magnitude).has_value());
        check(!line.contains(QChar(u'\0')));
    }
    return 0;
}
