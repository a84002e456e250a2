// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QMap>
#include <QString>

namespace varstars
{
// The code that decides what a variability type asks: upper-cased, without
// ":" (uncertain), and only its first part before "+", "|" or "/"
// ("EA/SD:" is "EA", "UGSS+E" is "UGSS").
QString typeCode(const QString &type);

// Whether a code is of a pattern: "UG*" takes every code beginning "UG",
// "UG" too; a pattern without "*" takes that code only ("E" is not "ELL").
bool ofPattern(const QString &code, const QString &pattern);

// Types whose brightness changes slowly enough that a jump between two
// estimates a few days apart is implausible: M, SR*, L*, RV*.
bool isJumpType(const QString &type);
// The largest plausible change of such a star within a few days, in magnitudes.
inline constexpr double jumpLimit = 1.0;
// Types that change within a night, so their dates need four decimals:
// UG*, N*, NL, E*, RR*, UV.
bool isFastType(const QString &type);
// Eclipsing binaries (E*): their epoch is a primary minimum.
bool isEclipsing(const QString &type);
// Miras (M): their epoch is a maximum.
bool isMira(const QString &type);

// How often a star of a type wants observing, in days. Defaults: cataclysmic
// and eruptive types (UG*, N*, NL, NR, ZAND, RCB, UV) every day; M, SR*, L*,
// RV* and every other type every 7 days. Overrides are patterns as above
// ("SRB", "UG*", "*" for every type) with their days; the most specific
// pattern that takes a code decides (a code itself before any "*" pattern, a
// longer prefix before a shorter), an override before a default alike.
class Cadences final
{
public:
    Cadences();
    explicit Cadences(const QMap<QString, double> &overrides);

    double days(const QString &type) const;

private:
    struct Rule
    {
        QString pattern;
        double days;
    };
    QList<Rule> m_rules;
};
}
