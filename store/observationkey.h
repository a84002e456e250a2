// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace store
{
// A number as an observation's texts hold it: an optional sign, digits and an
// optional decimal point ("2458124.3958", "-1.2", "12", ".0"); nothing for any
// other text, blanks, exponents and the words of infinity included.
std::optional<double> decimalNumber(QStringView text);

// What makes two cumobs rows the same observation, however each came in: the
// star with letter case ignored, the Julian Date to four decimals and the
// magnitude as numbers, so that "SS Cyg", "2458124.39580", "12.30" is the
// same observation as "ss cyg", "2458124.3958", "12.3".
struct ObservationKey
{
    // Case-folded.
    QString star;
    // In ten-thousandths of a day.
    double jd = 0;
    double magnitude = 0;

    friend bool operator==(const ObservationKey &, const ObservationKey &) = default;
};

// Nothing when the date or the magnitude is not a number.
std::optional<ObservationKey> observationKey(QStringView star, QStringView obsdate, QStringView magnitude);

size_t qHash(const ObservationKey &key, size_t seed = 0);
}
