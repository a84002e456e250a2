// SPDX-License-Identifier: GPL-2.0-or-later
#include "varstars/vartypes.h"

#include <algorithm>
#include <initializer_list>

namespace varstars
{
namespace
{
bool ofAny(const QString &type, std::initializer_list<const char16_t *> patterns)
{
    const QString code = typeCode(type);
    return std::any_of(patterns.begin(), patterns.end(),
                       [&code](const char16_t *pattern) { return ofPattern(code, QString::fromUtf16(pattern)); });
}

// How closely a pattern takes a code: a code itself above every prefix, a
// longer prefix above a shorter.
int specificity(const QString &pattern)
{
    return pattern.endsWith(u'*') ? static_cast<int>(pattern.size()) - 1 : 1'000'000;
}

constexpr double everyDay = 1;
constexpr double everyWeek = 7;
}

QString typeCode(const QString &type)
{
    QString code = type.toUpper();
    code.remove(u':');
    const auto end =
        std::find_if(code.begin(), code.end(), [](QChar c) { return c == u'+' || c == u'|' || c == u'/'; });
    code.truncate(end - code.begin());
    return code.trimmed();
}

bool ofPattern(const QString &code, const QString &pattern)
{
    if (pattern.endsWith(u'*'))
        return code.startsWith(QStringView(pattern).chopped(1));
    return code == pattern;
}

bool isJumpType(const QString &type)
{
    return ofAny(type, {u"M", u"SR*", u"L*", u"RV*"});
}

bool isFastType(const QString &type)
{
    return ofAny(type, {u"UG*", u"N*", u"NL", u"E*", u"RR*", u"UV"});
}

bool isEclipsing(const QString &type)
{
    return ofAny(type, {u"E*"});
}

bool isMira(const QString &type)
{
    return ofAny(type, {u"M"});
}

Cadences::Cadences()
    : Cadences(QMap<QString, double>())
{
}

Cadences::Cadences(const QMap<QString, double> &overrides)
{
    for (auto it = overrides.begin(); it != overrides.end(); ++it)
        m_rules.append({typeCode(it.key()), it.value()});
    for (const char16_t *pattern : {u"UG*", u"N*", u"NL", u"NR", u"ZAND", u"RCB", u"UV"})
        m_rules.append({QString::fromUtf16(pattern), everyDay});
    for (const char16_t *pattern : {u"M", u"SR*", u"L*", u"RV*", u"*"})
        m_rules.append({QString::fromUtf16(pattern), everyWeek});
    // Stable: of two rules alike, the override, listed first, stays first.
    std::stable_sort(m_rules.begin(), m_rules.end(),
                     [](const Rule &a, const Rule &b) { return specificity(a.pattern) > specificity(b.pattern); });
}

double Cadences::days(const QString &type) const
{
    const QString code = typeCode(type);
    const auto rule =
        std::find_if(m_rules.begin(), m_rules.end(), [&code](const Rule &r) { return ofPattern(code, r.pattern); });
    return rule->days;
}
}
