// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"
#include "reports/reportchange.h"
#include "reports/visualformat.h"
#include "store/observations.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace observe
{

namespace modEntryscreen
{
// The texts of the observation screen's fields as the observer left them.
struct ObservationTexts
{
    QString star;
    QString year;
    QString month;
    QString day;
    QString hour;
    QString minute;
    QString estimate;
    bool fainterthan = false;
    QString magnitude;
    QString comp1;
    QString comp2;
    QString chart;
    // The text of the chosen comment-code item; nothing when none is chosen.
    std::optional<QString> comment;
    QString notes;
};

// One row of cumobs, its seven columns in table order.
using CumobsRow = store::ObservationRow;

// The report data line without its line end, and the row.
using Recording = reports::LineAndRow;

// The recording with the date text given in its line and its row: the date
// a line was written with, kept byte for byte when its fields were not touched.
Recording withDateText(Recording recording, const QString &dateText);

// The magnitude as its field leaves it: a whole number gets ".0" ("12"
// becomes "12.0"); any other text, empty or not, stays as typed for the
// check at Enter to name.
QString completedMagnitude(const QString &text);

// A comparison star's label as its field leaves it: the chart prints
// magnitudes without their point, so "11.2" becomes "112".
QString comparisonLabel(const QString &text);

// The checks as the observer leaves the estimate and the magnitude field,
// in the boxes "Alert" and "Wrong number format": an estimate left empty is
// refused, and a magnitude without a decimal point (an empty one may be left:
// Enter asks for it).
outcome::Done checkEstimateLeft(const QString &estimate);
outcome::Done checkMagnitudeLeft(const QString &magnitude);

// The texts as leaving their fields leaves them: the magnitude completed and
// the comparison labels without their points.
ObservationTexts asLeft(ObservationTexts texts);

// The catalogue's flag of a star observed nightly, as the report format reads it.
using reports::isNightly;

// The first letter of the chosen comment-code item, or "na".
QString commentCode(const std::optional<QString> &item);

// The Julian Date text of the observation's date and time fields.
QString obsdateText(const ObservationTexts &texts, bool nightly);

// The report line and the cumobs row of an observation that checkObservation passed.
Recording makeRecording(const ObservationTexts &texts, bool nightly);

// Refuses the observation for the first reason why it cannot be recorded, in
// the order of the fields, naming the field to correct by its control's
// object name ("txtMagn", "nbYear"). The date and time are Universal Time
// and may lie at most a day after nowUtc, the computer's clock. Whether the
// star is in the catalogue is the caller's to check, with notInCatalogue for
// the wording.
outcome::Done checkObservation(const ObservationTexts &texts, const QDateTime &nowUtc);

QString notInCatalogue(const QString &star);
}

} // namespace observe
