// SPDX-License-Identifier: GPL-2.0-or-later
#include "reports/plausibility.h"

#include "varstars/notation.h"
#include "varstars/vartypes.h"

#include <algorithm>
#include <cmath>

namespace reports
{

namespace plausibility
{
namespace
{
// Magnitudes are typed to a tenth or a hundredth: a difference at a limit
// stays at it whatever the doubles make of it.
constexpr double rounding = 1e-6;

struct Magnitude
{
    double value = 0;
    bool fainterThan = false;
};

std::optional<Magnitude> magnitudeOf(const QString &text)
{
    const bool fainterThan = text.startsWith(u'<');
    bool ok = false;
    const double value = QStringView(text).mid(fainterThan ? 1 : 0).trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return Magnitude{value, fainterThan};
}

bool absent(const QString &label)
{
    return label.isEmpty() || label.compare(u"na", Qt::CaseInsensitive) == 0;
}

// A comparison field's label in tenths without the point; nothing for "na"
// or what is no label.
std::optional<int> labelOf(const QString &text)
{
    bool ok = false;
    const int tenths = text.toInt(&ok);
    return ok && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })
        ? std::optional(tenths)
        : std::nullopt;
}

// The comparison stars' magnitudes: the chart's V of a label unique on it,
// else the label, tenths without the point; nothing when a label is neither
// (a star of unknown magnitude).
std::optional<QList<double>> comparisons(const Estimate &estimate, const ChartLabels &sequence)
{
    QList<double> magnitudes;
    for (const QString &label : {estimate.comp1, estimate.comp2}) {
        if (absent(label))
            continue;
        if (const std::optional<ChartLabels::Stars> found = sequence.find(label);
            found && found->count == 1 && found->v) {
            magnitudes.append(*found->v);
            continue;
        }
        const std::optional<int> tenths = labelOf(label);
        if (!tenths)
            return std::nullopt;
        magnitudes.append(*tenths / 10.0);
    }
    return magnitudes;
}

void labels(const Estimate &estimate, const ChartLabels &sequence, QList<Warning> &found)
{
    for (const QString &label : {estimate.comp1, estimate.comp2}) {
        if (absent(label) || sequence.find(label))
            continue;
        QStringList known = sequence.labels();
        std::sort(known.begin(), known.end(), [](const QString &a, const QString &b) {
            return a.size() != b.size() ? a.size() < b.size() : a < b;
        });
        found.append({QStringLiteral("sequence"),
                      QStringLiteral("%1 is not a comparison star of chart %2: its labels are %3")
                          .arg(label, estimate.chart, known.join(QStringLiteral(", ")))});
    }
}

// As magnitudes are written: one decimal, or two where they are needed.
QString mag(double value)
{
    const QString text = QString::number(value, 'f', 2);
    return text.endsWith(u'0') ? text.chopped(1) : text;
}

QString difference(double value)
{
    return QString::number(value, 'f', 2);
}

// The newest earlier observation of the kind asked within `days` before jd.
std::optional<Earlier> newestBefore(const QList<Earlier> &history, double jd, double days, bool fainterThan)
{
    auto it = std::lower_bound(history.cbegin(), history.cend(), jd,
                               [](const Earlier &earlier, double date) { return earlier.jd < date; });
    while (it != history.cbegin()) {
        --it;
        if (it->jd < jd - days)
            break;
        if (it->fainterThan == fainterThan)
            return *it;
    }
    return std::nullopt;
}

QString ago(const Earlier &earlier, double jd)
{
    return QStringLiteral("JD %1, %2 days before").arg(earlier.jd, 0, 'f', 4).arg(jd - earlier.jd, 0, 'f', 1);
}

void bracket(const Estimate &estimate, const Magnitude &magnitude, const ChartLabels &sequence, QList<Warning> &found)
{
    const std::optional<QList<double>> magnitudes = comparisons(estimate, sequence);
    if (!magnitudes || magnitudes->isEmpty())
        return;
    const auto [lo, hi] = std::minmax_element(magnitudes->cbegin(), magnitudes->cend());
    const QString given = magnitudes->size() == 1
        ? QStringLiteral("the comparison star %1 (%2)")
              .arg(absent(estimate.comp1) ? estimate.comp2 : estimate.comp1, mag(*lo))
        : QStringLiteral("the comparison stars %1 and %2 (%3 to %4)")
              .arg(estimate.comp1, estimate.comp2, mag(*lo), mag(*hi));
    if (magnitude.fainterThan) {
        if (std::abs(magnitude.value - *hi) > limitTolerance + rounding)
            found.append({QStringLiteral("bracket"),
                          QStringLiteral("the limit %1 is not the fainter of %2: a fainter-than estimate gives the "
                                         "faintest comparison star seen, within %3 mag")
                              .arg(estimate.magnitude, given, mag(limitTolerance))});
        return;
    }
    const double outside = std::max(*lo - magnitude.value, magnitude.value - *hi);
    if (outside > extrapolation + rounding)
        found.append({QStringLiteral("bracket"),
                      QStringLiteral("the estimate %1 lies %2 mag outside %3, more than the %4 mag an "
                                     "extrapolation reaches")
                          .arg(estimate.magnitude, difference(outside), given, mag(extrapolation))});
}

// What the observer wrote at the eyepiece, worked out, against the line: its
// magnitude and mark, and its comparison stars among the line's.
void notation(const Estimate &estimate, const Magnitude &magnitude, QList<Warning> &found)
{
    const std::optional<varstars::Reduction> worked =
        varstars::workOut(estimate.written, estimate.comp1, estimate.comp2);
    if (!worked)
        return;
    QStringList differences;
    if (worked->fainterThan != magnitude.fainterThan
        || std::abs(magnitude.value - worked->tenths / 10.0) > limitTolerance + rounding)
        differences.append(
            QStringLiteral("gives %1%2, the line says %3")
                .arg(worked->fainterThan ? QStringLiteral("<") : QString(), worked->magnitude(), estimate.magnitude));
    std::optional<int> lineLabels[] = {labelOf(estimate.comp1), labelOf(estimate.comp2)};
    const bool allNamed = std::all_of(worked->labels.cbegin(), worked->labels.cend(), [&lineLabels](int label) {
        const auto named = std::find(std::begin(lineLabels), std::end(lineLabels), label);
        if (named == std::end(lineLabels))
            return false;
        named->reset();
        return true;
    });
    if (!allNamed) {
        QStringList line;
        for (const QString &label : {estimate.comp1, estimate.comp2}) {
            if (!absent(label))
                line.append(label);
        }
        differences.append(QStringLiteral("names the comparison stars %1, the line %2")
                               .arg(worked->labelTexts().join(QStringLiteral(" and ")),
                                    line.isEmpty() ? QStringLiteral("none") : line.join(QStringLiteral(" and "))));
    }
    if (!differences.isEmpty())
        found.append({QStringLiteral("notation"),
                      QStringLiteral("the notation \"%1\" %2")
                          .arg(estimate.written, differences.join(QStringLiteral(", and ")))});
}

void jumpAndLimits(const Magnitude &magnitude, double jd, const StarFacts &facts, QList<Warning> &found)
{
    const QString type = facts.elements->type;
    const QString ofType = QStringLiteral("a star of type %1 rarely changes by more than %2 mag in %3 days")
                               .arg(type, mag(varstars::jumpLimit));
    if (magnitude.fainterThan) {
        const auto seen = newestBefore(facts.history, jd, limitDays, false);
        if (seen && magnitude.value - seen->magnitude > varstars::jumpLimit + rounding)
            found.append({QStringLiteral("limits"),
                          QStringLiteral("the limit <%1 is %2 mag fainter than your estimate %3 of %4; %5")
                              .arg(mag(magnitude.value), difference(magnitude.value - seen->magnitude),
                                   mag(seen->magnitude), ago(*seen, jd), ofType.arg(mag(limitDays)))});
        return;
    }
    if (const auto seen = newestBefore(facts.history, jd, jumpDays, false);
        seen && std::abs(magnitude.value - seen->magnitude) > varstars::jumpLimit + rounding)
        found.append({QStringLiteral("jump"),
                      QStringLiteral("the estimate %1 is %2 mag from your estimate %3 of %4; %5")
                          .arg(mag(magnitude.value), difference(std::abs(magnitude.value - seen->magnitude)),
                               mag(seen->magnitude), ago(*seen, jd), ofType.arg(mag(jumpDays)))});
    if (const auto limit = newestBefore(facts.history, jd, limitDays, true);
        limit && limit->magnitude - magnitude.value > varstars::jumpLimit + rounding)
        found.append({QStringLiteral("limits"),
                      QStringLiteral("the estimate %1 is %2 mag brighter than your limit <%3 of %4; %5")
                          .arg(mag(magnitude.value), difference(limit->magnitude - magnitude.value),
                               mag(limit->magnitude), ago(*limit, jd), ofType.arg(mag(limitDays)))});
}

bool visualBand(const QString &band)
{
    const QString plain = band.toLower().remove(u'.');
    return plain == u"v" || plain == u"vis";
}

void range(const Magnitude &magnitude, const varstars::Elements &elements, QList<Warning> &found)
{
    const std::optional<varstars::Range> known = varstars::range(elements);
    if (!known || !visualBand(known->band))
        return;
    const double outside = std::max(known->brightest - magnitude.value, magnitude.value - known->faintest);
    if (outside > extrapolation + rounding)
        found.append({QStringLiteral("range"),
                      QStringLiteral("the estimate %1 lies %2 mag outside the star's range %3 to %4 %5, more "
                                     "than %6 mag")
                          .arg(mag(magnitude.value), difference(outside), mag(known->brightest), mag(known->faintest),
                               known->band, mag(extrapolation))});
}

void dates(const Estimate &estimate, const StarFacts &facts, QList<Warning> &found)
{
    const QString &type = facts.elements->type;
    if (!facts.nightly || *facts.nightly || !varstars::isFastType(type))
        return;
    const qsizetype point = estimate.date.indexOf(u'.');
    const qsizetype decimals = point < 0 ? 0 : estimate.date.size() - point - 1;
    if (decimals > 2)
        return;
    found.append({QStringLiteral("dates"),
                  QStringLiteral("the star is of the fast type %1 but not flagged nightly in the catalogue, so its "
                                 "date %2 is written with two decimals, a quarter of an hour, where it needs four: "
                                 "flag it nightly")
                      .arg(type, estimate.date)});
}
}

QList<Warning> warnings(const Estimate &estimate, const StarFacts &facts, const ChartLabels &sequence)
{
    QList<Warning> found;
    const std::optional<Magnitude> magnitude = magnitudeOf(estimate.magnitude);
    bool dated = false;
    const double jd = estimate.date.toDouble(&dated);
    if (!magnitude || !dated)
        return found;
    if (!sequence.isEmpty())
        labels(estimate, sequence, found);
    bracket(estimate, *magnitude, sequence, found);
    notation(estimate, *magnitude, found);
    if (!facts.elements)
        return found;
    if (varstars::isJumpType(facts.elements->type))
        jumpAndLimits(*magnitude, jd, facts, found);
    if (!magnitude->fainterThan)
        range(*magnitude, *facts.elements, found);
    dates(estimate, facts, found);
    return found;
}

QString text(const Estimate &estimate, const Warning &warning)
{
    const QString observation = QStringLiteral("%1, %2, %3").arg(estimate.star, estimate.date, estimate.magnitude);
    const QString where =
        estimate.line > 0 ? QStringLiteral("Line %1 (%2)").arg(estimate.line).arg(observation) : observation;
    return QStringLiteral("%1, %2: %3.").arg(where, warning.rule, warning.reason);
}
}

} // namespace reports
