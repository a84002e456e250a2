// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/observationkey.h"

#include <QHashFunctions>

#include <charconv>
#include <cmath>
#include <string>

std::optional<double> store::decimalNumber(QStringView text)
{
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(text.size()));
    qsizetype digits = 0;
    bool point = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            ++digits;
        } else if (c == u'.' && !point) {
            point = true;
        } else if ((c == u'-' || c == u'+') && i == 0) {
            // from_chars takes no plus sign.
            if (c == u'+')
                continue;
        } else {
            return std::nullopt;
        }
        ascii.push_back(static_cast<char>(c));
    }
    if (digits == 0)
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<store::ObservationKey> store::observationKey(QStringView star, QStringView obsdate, QStringView magnitude)
{
    const std::optional<double> jd = decimalNumber(obsdate);
    const std::optional<double> magn = decimalNumber(magnitude);
    if (!jd || !magn)
        return std::nullopt;
    // Adding zero turns -0 into 0, which compare equal but would hash apart.
    return ObservationKey{star.toString().toCaseFolded(), std::round(*jd * 10000.0) + 0.0, *magn + 0.0};
}

size_t store::qHash(const ObservationKey &key, size_t seed)
{
    return qHashMulti(seed, key.star, key.jd, key.magnitude);
}
