// SPDX-License-Identifier: GPL-2.0-or-later
// The checks after an estimate, rule by rule.
#include "reports/plausibility.h"

#include <QTest>

using reports::plausibility::Estimate;
using reports::plausibility::StarFacts;

class tst_plausibility final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rules_data();
    void rules();
};

namespace
{
// star: "type;range;nightly;history", type "-" for a star without a record
// of its type, nightly "yes", "no" or empty for a star not in the
// catalogue, history "2458122.5 11.0, 2458123.0 <12.5"; estimate: "date
// magnitude comp1 comp2", then ";" and the estimate as written if known;
// rules: those that warn, in their order.
void row(const char *name, const char *star, const char *estimate, const char *rules)
{
    QTest::newRow(name) << QString::fromLatin1(star) << QString::fromLatin1(estimate) << QString::fromLatin1(rules);
}

StarFacts factsOf(const QString &text)
{
    const QStringList parts = text.split(u';');
    StarFacts facts;
    if (parts.at(0) != u"-") {
        facts.elements = varstars::Elements{};
        facts.elements->type = parts.at(0);
        if (const QStringList ends = parts.value(1).split(u'|', Qt::SkipEmptyParts); !ends.isEmpty()) {
            facts.elements->max = *varstars::parseMagnitude(ends.at(0));
            facts.elements->min = *varstars::parseMagnitude(ends.at(1));
        }
    }
    if (!parts.value(2).isEmpty())
        facts.nightly = parts.at(2) == u"yes";
    for (const QString &entry : parts.value(3).split(u',', Qt::SkipEmptyParts)) {
        const QStringList seen = entry.simplified().split(u' ');
        const bool fainterThan = seen.at(1).startsWith(u'<');
        facts.history.append({seen.at(0).toDouble(), seen.at(1).mid(fainterThan ? 1 : 0).toDouble(), fainterThan});
    }
    return facts;
}
}

void tst_plausibility::rules_data()
{
    QTest::addColumn<QString>("star");
    QTest::addColumn<QString>("estimate");
    QTest::addColumn<QString>("rules");
    row("inside the bracket", "-", "2458124.0 11.2 110 115", "");
    row("at the margin", "-", "2458124.0 12.0 110 115", "");
    row("past the margin, fainter", "-", "2458124.0 12.1 110 115", "bracket");
    row("past the margin, brighter", "-", "2458124.0 10.4 110 115", "bracket");
    row("labels in either order", "-", "2458124.0 12.1 115 110", "bracket");
    row("either order, inside", "-", "2458124.0 11.2 115 110", "");
    row("one label, within 0.5", "-", "2458124.0 11.5 110 na", "");
    row("one label, past 0.5", "-", "2458124.0 10.4 na 110", "bracket");
    row("na labels", "-", "2458124.0 15.0 na NA", "");
    row("non-numeric label", "-", "2458124.0 15.0 110 AB", "");
    row("fainter-than at the limit", "-", "2458124.0 <11.5 110 115", "");
    row("fainter-than within 0.05", "-", "2458124.0 <11.55 115 110", "");
    row("fainter-than past 0.05", "-", "2458124.0 <11.6 110 115", "bracket");
    row("fainter-than the brighter", "-", "2458124.0 <11.0 110 115", "bracket");

    row("jump of a Mira", "M;;;2458122.5 11.0", "2458124.0 12.1 na na", "jump");
    row("jump within 1.0", "M;;;2458122.5 11.0", "2458124.0 12.0 na na", "");
    row("jump of a semiregular", "SRB:;;;2458122.5 11.0", "2458124.0 9.9 na na", "jump");
    row("jump of an RV Tauri", "RVA;;;2458122.5 11.0", "2458124.0 12.5 na na", "jump");
    row("jump of a fast type", "UGSS;;;2458122.5 11.0", "2458124.0 15.0 na na", "");
    row("jump of an unknown type", ";;;2458122.5 11.0", "2458124.0 15.0 na na", "");
    row("jump without a record", "-;;;2458122.5 11.0", "2458124.0 15.0 na na", "");
    row("jump over 2 days", "M;;;2458121.9 11.0", "2458124.0 12.5 na na", "");
    row("jump: the newest counts", "M;;;2458122.5 9.0, 2458123.0 12.0", "2458124.0 12.5 na na", "");
    row("jump: the line's own row", "M;;;2458124.0 9.0", "2458124.0 12.5 na na", "");
    row("limit fainter than an estimate", "M;;;2458121.5 11.0", "2458124.0 <12.5 na na", "limits");
    row("limit near an estimate", "M;;;2458122.5 11.0", "2458124.0 <11.9 na na", "");
    row("estimate brighter than a limit", "M;;;2458121.5 <13.0", "2458124.0 11.5 na na", "limits");
    row("estimate under a limit", "L;;;2458121.5 <13.0", "2458124.0 12.5 na na", "");
    row("limit over 3 days", "M;;;2458120.9 <13.0", "2458124.0 11.5 na na", "");

    row("inside the range", "M;5.0 V|12.0 V", "2458124.0 12.5 na na", "");
    row("outside the range", "M;5.0 V|12.0 V", "2458124.0 12.6 na na", "range");
    row("visual range", "M;6.0 Vis.|9.0 Vis.", "2458124.0 5.4 na na", "range");
    row("range in B", "M;5.0 B|12.0 B", "2458124.0 14.0 na na", "");
    row("amplitude, no range", "M;5.0 V|(2.0) V", "2458124.0 14.0 na na", "");

    row("fast, not nightly, 2 decimals", "UGSS;;no", "2458124.12 12.0 na na", "dates");
    row("fast, not nightly, midnight", "E;;no", "2458123.5 12.0 na na", "dates");
    row("fast, not nightly, 4 decimals", "RRAB;;no", "2458124.1234 12.0 na na", "");
    row("fast, nightly, midnight", "UGSS;;yes", "2458123.5 12.0 na na", "");
    row("fast, not in the catalogue", "UGSS", "2458124.12 12.0 na na", "");
    row("slow, not nightly, midnight", "M;;no", "2458123.5 12.0 na na", "");
    row("notation agrees", "-", "2458124.0 9.7 90 100;90 2 V 1 100", "");
    row("notation within 0.05", "-", "2458124.0 9.65 100 90;90 2 V 1 100", "");
    row("notation, magnitude slipped", "-", "2458124.0 9.8 90 100;90 2 V 1 100", "notation");
    row("notation, other labels", "-", "2458124.0 9.7 90 105;90 2 V 1 100", "notation");
    row("notation, labels missing", "-", "2458124.0 9.7 na na;90 2 V 1 100", "notation");
    row("notation, letters take the line's", "-", "2458124.0 11.4 110 116;A 3 V 2 B", "");
    row("notation, fainter-than mark", "-", "2458124.0 11.6 116 na;< 116", "notation");
    row("imported estimate", "-", "2458124.0 <13.0 na na;<140", "");
    row("every rule at once", "M;5.0 V|12.0 V;;2458122.5 11.0", "2458124.0 13.0 110 115;110 1 V 1 115",
        "bracket notation jump range");
}

void tst_plausibility::rules()
{
    QFETCH(QString, star);
    QFETCH(QString, estimate);
    QFETCH(QString, rules);
    const QStringList fields = estimate.section(u';', 0, 0).split(u' ');
    Estimate line{12, QStringLiteral("R Leo"), fields.at(0), fields.at(1), fields.at(2), fields.at(3)};
    line.written = estimate.section(u';', 1);

    QStringList found;
    for (const auto &warning : reports::plausibility::warnings(line, factsOf(star))) {
        found.append(warning.rule);
        // Each text names the line, the values compared and the rule.
        const QString text = reports::plausibility::text(line, warning);
        for (const QString &part : {QStringLiteral("Line 12"), line.magnitude, warning.rule})
            QVERIFY2(text.contains(part), qPrintable(text));
    }
    QCOMPARE(found.join(u' '), rules);
}

QTEST_APPLESS_MAIN(tst_plausibility)
#include "tst_plausibility.moc"
