// SPDX-License-Identifier: GPL-2.0-or-later
#include "varstars/elements.h"

#include <QRegularExpression>

#include <cmath>

namespace varstars
{
std::optional<Range> range(const Elements &elements)
{
    if (!elements.max || !elements.min || elements.max->kind != Magnitude::Kind::Value
        || elements.min->kind != Magnitude::Kind::Value)
        return std::nullopt;
    const QString &maxBand = elements.max->band;
    const QString &minBand = elements.min->band;
    if (!maxBand.isEmpty() && !minBand.isEmpty() && maxBand.compare(minBand, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return Range{elements.max->value, elements.min->value, maxBand.isEmpty() ? minBand : maxBand};
}

outcome::Result<Magnitude> parseMagnitude(const QString &text)
{
    static const QRegularExpression written(
        QStringLiteral("^([<>])?\\s*(\\()?\\s*([-+\u2212]?(?:\\d+(?:\\.\\d*)?|\\.\\d+))\\s*(\\))?\\s*(:)?\\s*"
                       "([A-Za-z][A-Za-z0-9'._-]*)?\\s*(:)?$"));
    const QRegularExpressionMatch match = written.match(text.trimmed());
    const bool amplitude = match.hasMatch() && match.hasCaptured(2);
    const std::optional<double> value = parseDecimal(match.captured(3));
    if (!match.hasMatch() || !value || amplitude != match.hasCaptured(4) || (amplitude && match.hasCaptured(1)))
        return outcome::refused(QStringLiteral("The magnitude \"%1\" is not one: write it as 13.4, 13.4 V, 12.1: V, "
                                               "<15.2 B or, for an amplitude, (0.5) V.")
                                    .arg(text.trimmed()));
    Magnitude magnitude;
    magnitude.text = text.trimmed();
    magnitude.value = *value;
    magnitude.uncertain = match.hasCaptured(5) || match.hasCaptured(7);
    magnitude.band = match.captured(6);
    if (amplitude)
        magnitude.kind = Magnitude::Kind::Amplitude;
    else if (match.captured(1) == u"<")
        magnitude.kind = Magnitude::Kind::FainterThan;
    else if (match.captured(1) == u">")
        magnitude.kind = Magnitude::Kind::BrighterThan;
    return magnitude;
}

std::optional<double> parseDecimal(const QString &text)
{
    bool ok = false;
    const double value = QString(text).replace(QChar(0x2212), u'-').toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}
}
