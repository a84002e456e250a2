// SPDX-License-Identifier: GPL-2.0-or-later
// The checks after an estimate, rule by rule.
#include "observe/plausibility.h"

#include <QTest>

using observe::plausibility::Earlier;
using observe::plausibility::Estimate;
using observe::plausibility::StarFacts;

class tst_plausibility final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rules_data();
    void rules();
};

namespace
{
// "2458122.5 11.0; 2458123.0 <12.5": the observer's earlier observations.
QList<Earlier> historyOf(const QString &text)
{
    QList<Earlier> history;
    for (const QString &entry : text.split(u';', Qt::SkipEmptyParts)) {
        const QStringList parts = entry.simplified().split(u' ');
        const bool fainterThan = parts.at(1).startsWith(u'<');
        history.append({parts.at(0).toDouble(), parts.at(1).mid(fainterThan ? 1 : 0).toDouble(), fainterThan});
    }
    return history;
}
}

void tst_plausibility::rules_data()
{
    // type: "-" for a star without a record of its type; nightly: -1 for a
    // star not in the catalogue.
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("range");
    QTest::addColumn<int>("nightly");
    QTest::addColumn<QString>("history");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("magnitude");
    QTest::addColumn<QString>("comp1");
    QTest::addColumn<QString>("comp2");
    QTest::addColumn<QStringList>("rules");
    const QStringList none;
    const QStringList bracket{QStringLiteral("bracket")};
    const QStringList jump{QStringLiteral("jump")};
    const QStringList limits{QStringLiteral("limits")};
    const QString d = QStringLiteral("2458124.0");

    QTest::newRow("inside the bracket") << "-"
                                        << "" << -1 << "" << d << "11.2"
                                        << "110"
                                        << "115" << none;
    QTest::newRow("at the margin") << "-"
                                   << "" << -1 << "" << d << "12.0"
                                   << "110"
                                   << "115" << none;
    QTest::newRow("past the margin, fainter") << "-"
                                              << "" << -1 << "" << d << "12.1"
                                              << "110"
                                              << "115" << bracket;
    QTest::newRow("past the margin, brighter") << "-"
                                               << "" << -1 << "" << d << "10.4"
                                               << "110"
                                               << "115" << bracket;
    QTest::newRow("labels in either order") << "-"
                                            << "" << -1 << "" << d << "12.1"
                                            << "115"
                                            << "110" << bracket;
    QTest::newRow("either order, inside") << "-"
                                          << "" << -1 << "" << d << "11.2"
                                          << "115"
                                          << "110" << none;
    QTest::newRow("one label, within 0.5") << "-"
                                           << "" << -1 << "" << d << "11.5"
                                           << "110"
                                           << "na" << none;
    QTest::newRow("one label, past 0.5") << "-"
                                         << "" << -1 << "" << d << "10.4"
                                         << "na"
                                         << "110" << bracket;
    QTest::newRow("na labels") << "-"
                               << "" << -1 << "" << d << "15.0"
                               << "na"
                               << "NA" << none;
    QTest::newRow("non-numeric label") << "-"
                                       << "" << -1 << "" << d << "15.0"
                                       << "110"
                                       << "AB" << none;
    QTest::newRow("fainter-than at the limit") << "-"
                                               << "" << -1 << "" << d << "<11.5"
                                               << "110"
                                               << "115" << none;
    QTest::newRow("fainter-than within 0.05") << "-"
                                              << "" << -1 << "" << d << "<11.55"
                                              << "115"
                                              << "110" << none;
    QTest::newRow("fainter-than past 0.05") << "-"
                                            << "" << -1 << "" << d << "<11.6"
                                            << "110"
                                            << "115" << bracket;
    QTest::newRow("fainter-than the brighter") << "-"
                                               << "" << -1 << "" << d << "<11.0"
                                               << "110"
                                               << "115" << bracket;

    const QString seen = QStringLiteral("2458122.5 11.0");
    QTest::newRow("jump of a Mira") << "M"
                                    << "" << -1 << seen << d << "12.1"
                                    << "na"
                                    << "na" << jump;
    QTest::newRow("jump within 1.0") << "M"
                                     << "" << -1 << seen << d << "12.0"
                                     << "na"
                                     << "na" << none;
    QTest::newRow("jump of a semiregular") << "SRB:"
                                           << "" << -1 << seen << d << "9.9"
                                           << "na"
                                           << "na" << jump;
    QTest::newRow("jump of an RV Tauri") << "RVA"
                                         << "" << -1 << seen << d << "12.5"
                                         << "na"
                                         << "na" << jump;
    QTest::newRow("jump of a fast type") << "UGSS"
                                         << "" << -1 << seen << d << "15.0"
                                         << "na"
                                         << "na" << none;
    QTest::newRow("jump of an unknown type") << ""
                                             << "" << -1 << seen << d << "15.0"
                                             << "na"
                                             << "na" << none;
    QTest::newRow("jump without a record") << "-"
                                           << "" << -1 << seen << d << "15.0"
                                           << "na"
                                           << "na" << none;
    QTest::newRow("jump over 2 days") << "M"
                                      << "" << -1 << "2458121.9 11.0" << d << "12.5"
                                      << "na"
                                      << "na" << none;
    QTest::newRow("jump: the newest counts") << "M"
                                             << "" << -1 << "2458122.5 9.0; 2458123.0 12.0" << d << "12.5"
                                             << "na"
                                             << "na" << none;
    QTest::newRow("jump: the line's own row") << "M"
                                              << "" << -1 << "2458124.0 9.0" << d << "12.5"
                                              << "na"
                                              << "na" << none;
    QTest::newRow("limit fainter than an estimate") << "M"
                                                    << "" << -1 << "2458121.5 11.0" << d << "<12.5"
                                                    << "na"
                                                    << "na" << limits;
    QTest::newRow("limit near an estimate") << "M"
                                            << "" << -1 << seen << d << "<11.9"
                                            << "na"
                                            << "na" << none;
    QTest::newRow("estimate brighter than a limit") << "M"
                                                    << "" << -1 << "2458121.5 <13.0" << d << "11.5"
                                                    << "na"
                                                    << "na" << limits;
    QTest::newRow("estimate under a limit") << "L"
                                            << "" << -1 << "2458121.5 <13.0" << d << "12.5"
                                            << "na"
                                            << "na" << none;
    QTest::newRow("limit over 3 days") << "M"
                                       << "" << -1 << "2458120.9 <13.0" << d << "11.5"
                                       << "na"
                                       << "na" << none;

    QTest::newRow("inside the range") << "M"
                                      << "5.0 V|12.0 V" << -1 << "" << d << "12.5"
                                      << "na"
                                      << "na" << none;
    QTest::newRow("outside the range") << "M"
                                       << "5.0 V|12.0 V" << -1 << "" << d << "12.6"
                                       << "na"
                                       << "na" << QStringList{QStringLiteral("range")};
    QTest::newRow("visual range") << "M"
                                  << "6.0 Vis.|9.0 Vis." << -1 << "" << d << "5.4"
                                  << "na"
                                  << "na" << QStringList{QStringLiteral("range")};
    QTest::newRow("range in B") << "M"
                                << "5.0 B|12.0 B" << -1 << "" << d << "14.0"
                                << "na"
                                << "na" << none;
    QTest::newRow("amplitude, no range") << "M"
                                         << "5.0 V|(2.0) V" << -1 << "" << d << "14.0"
                                         << "na"
                                         << "na" << none;

    const QStringList dates{QStringLiteral("dates")};
    QTest::newRow("fast, not nightly, 2 decimals") << "UGSS"
                                                   << "" << 0 << ""
                                                   << "2458124.12"
                                                   << "12.0"
                                                   << "na"
                                                   << "na" << dates;
    QTest::newRow("fast, not nightly, midnight") << "E"
                                                 << "" << 0 << ""
                                                 << "2458123.5"
                                                 << "12.0"
                                                 << "na"
                                                 << "na" << dates;
    QTest::newRow("fast, not nightly, 4 decimals") << "RRAB"
                                                   << "" << 0 << ""
                                                   << "2458124.1234"
                                                   << "12.0"
                                                   << "na"
                                                   << "na" << none;
    QTest::newRow("fast, nightly, midnight") << "UGSS"
                                             << "" << 1 << ""
                                             << "2458123.5"
                                             << "12.0"
                                             << "na"
                                             << "na" << none;
    QTest::newRow("fast, not in the catalogue") << "UGSS"
                                                << "" << -1 << ""
                                                << "2458124.12"
                                                << "12.0"
                                                << "na"
                                                << "na" << none;
    QTest::newRow("slow, not nightly, midnight") << "M"
                                                 << "" << 0 << ""
                                                 << "2458123.5"
                                                 << "12.0"
                                                 << "na"
                                                 << "na" << none;
    QTest::newRow("every rule at once") << "M"
                                        << "5.0 V|12.0 V" << -1 << seen << d << "13.0"
                                        << "110"
                                        << "115"
                                        << QStringList{QStringLiteral("bracket"), QStringLiteral("jump"),
                                                       QStringLiteral("range")};
}

void tst_plausibility::rules()
{
    QFETCH(QString, type);
    QFETCH(QString, range);
    QFETCH(int, nightly);
    QFETCH(QString, history);
    QFETCH(QString, date);
    QFETCH(QString, magnitude);
    QFETCH(QString, comp1);
    QFETCH(QString, comp2);
    QFETCH(QStringList, rules);
    StarFacts facts;
    if (type != u"-") {
        facts.elements = varstars::Elements{};
        facts.elements->type = type;
        const QStringList ends = range.split(u'|', Qt::SkipEmptyParts);
        if (!ends.isEmpty()) {
            facts.elements->max = *varstars::parseMagnitude(ends.at(0));
            facts.elements->min = *varstars::parseMagnitude(ends.at(1));
        }
    }
    if (nightly >= 0)
        facts.nightly = nightly == 1;
    facts.history = historyOf(history);
    const Estimate estimate{12, QStringLiteral("R Leo"), date, magnitude, comp1, comp2};

    QStringList found;
    for (const auto &warning : observe::plausibility::warnings(estimate, facts)) {
        found.append(warning.rule);
        // Each text names the line, the values compared and the rule.
        const QString text = observe::plausibility::text(estimate, warning);
        for (const QString &part : {QStringLiteral("Line 12"), magnitude, warning.rule})
            QVERIFY2(text.contains(part), qPrintable(text));
    }
    QCOMPARE(found, rules);
}

QTEST_APPLESS_MAIN(tst_plausibility)
#include "tst_plausibility.moc"
