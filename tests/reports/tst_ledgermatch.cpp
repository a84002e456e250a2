// SPDX-License-Identifier: GPL-2.0-or-later
// Which lines of a report the AAVSO holds, by the ledger: the rules of matching.
#include "reports/ledgermatch.h"
#include "store/observationkey.h"

#include <QTest>

using namespace reports::modReportcheck;

namespace
{
const QByteArray header = "#TYPE=Visual\r\n#OBSCODE=XYZ\r\n#DELIM=|\r\n#DATE=JD\r\n";

// Each "STAR|jd|magnitude|fainter" as a download writes it, the newest date the coverage.
store::Ledger ledgerOf(const QStringList &held)
{
    store::Ledger ledger;
    ledger.begun = true;
    for (const QString &row : held) {
        const QStringList f = row.split(u'|');
        const auto key = store::observationKey(f[0], f[1], f[2]);
        ledger.stars.append(f[0]);
        ledger.held.push_back({static_cast<qint64>(key->jd), key->magnitude, f[3] == u"1", ledger.stars.size() - 1});
        ledger.newest = std::max(ledger.newest.value_or(0), ledger.held.back().jd);
    }
    return ledger;
}
}

class tst_ledgermatch final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linesMarked_data();
    void linesMarked();
};

void tst_ledgermatch::linesMarked_data()
{
    QTest::addColumn<QStringList>("held");
    // Star, date and magnitude of each line.
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<QString>("summary");

    const QString ssCyg = QStringLiteral("SS CYG|2458124.4|11.2|0");
    const QString held1 = QStringLiteral("the AAVSO holds 1 line");
    QTest::newRow("as written") << QStringList{ssCyg} << QStringList{"ss cyg|2458124.4|11.20"} << QStringList{"held"}
                                << held1;
    QTest::newRow("date to four decimals") << QStringList{"SS CYG|2458124.40000|11.2|0"}
                                           << QStringList{"ss cyg|2458124.4|11.2"} << QStringList{"held"} << held1;
    QTest::newRow("blanks and V-number") << QStringList{"V0404 CYG|2458124.4|11.2|0"}
                                         << QStringList{"v404  cyg|2458124.4|11.2"} << QStringList{"held"} << held1;
    QTest::newRow("fainter-than mark") << QStringList{"SS CYG|2458124.4|13.0|1"}
                                       << QStringList{"ss cyg|2458124.4|<13.0", "ss cyg|2458124.4|13.0"}
                                       << QStringList{"held", "not at the AAVSO yet"}
                                       << "the AAVSO holds 1 line; not at the AAVSO yet: 1 line";
    QTest::newRow("two spellings held") << QStringList{"V0404 CYG|2458124.4|11.2|0", "V404 CYG|2458125.4|11.2|0"}
                                        << QStringList{"v404 cyg|2458124.4|11.2"} << QStringList{"held"} << held1;
    QTest::newRow("another name") << QStringList{"OMI CET|2458124.4|3.5|0"} << QStringList{"mira|2458124.4|3.5"}
                                  << QStringList{"held as OMI CET"} << held1;
    QTest::newRow("another name, two held alike")
        << QStringList{"OMI CET|2458124.4|3.5|0", "R LEO|2458124.4|3.5|0"} << QStringList{"mira|2458124.4|3.5"}
        << QStringList{"not at the AAVSO yet"} << "the AAVSO holds 0 lines; not at the AAVSO yet: 1 line";
    QTest::newRow("another name, named by another line")
        << QStringList{"OMI CET|2458124.4|3.5|0"} << QStringList{"mira|2458124.4|3.5", "omi cet|2458124.4|3.5"}
        << QStringList{"not at the AAVSO yet", "held"} << "the AAVSO holds 1 line; not at the AAVSO yet: 1 line";
    // One held observation holds one line, however it matched.
    QTest::newRow("two lines alike") << QStringList{ssCyg}
                                     << QStringList{"ss cyg|2458124.4|11.2", "SS Cyg|2458124.40|11.2"}
                                     << QStringList{"held", "same as line 5"}
                                     << "the AAVSO holds 1 line; same as an earlier line: 1 line";
    QTest::newRow("another name, two lines alike")
        << QStringList{"OMI CET|2458124.4|3.5|0"} << QStringList{"mira|2458124.4|3.5", "mira|2458124.4|3.5"}
        << QStringList{"held as OMI CET", "same as line 5"}
        << "the AAVSO holds 1 line; same as an earlier line: 1 line";
    QTest::newRow("two other names") << QStringList{"OMI CET|2458124.4|3.5|0"}
                                     << QStringList{"mira|2458124.4|3.5", "r leo|2458124.4|3.5"}
                                     << QStringList{"held as OMI CET", "not at the AAVSO yet"}
                                     << "the AAVSO holds 1 line; not at the AAVSO yet: 1 line";
    QTest::newRow("after the newest download")
        << QStringList{ssCyg} << QStringList{"ss cyg|2458125.1|11.0", "ss cyg|2458124.1|11.0"}
        << QStringList{"not covered yet", "not at the AAVSO yet"}
        << "the AAVSO holds 0 lines; not at the AAVSO yet: 1 line; not covered yet: 1 line, dated after the newest "
           "download";
    QTest::newRow("no numbers, no line") << QStringList{ssCyg} << QStringList{"ss cyg|abc|11.2", "ss cyg|2458124.4|na"}
                                         << QStringList{} << "the AAVSO holds 0 lines";
}

void tst_ledgermatch::linesMarked()
{
    QFETCH(QStringList, held);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, marks);
    QFETCH(QString, summary);
    QByteArray report = header;
    for (const QString &line : lines)
        report += line.toLatin1() + "|na|110|115|1896|na\r\n";
    LedgerMatch match(ledgerOf(held));
    QVERIFY(match.begun());
    const ReportLedger found = match.match(report);
    QStringList marked;
    for (const LedgerLine &line : found.lines)
        marked.append(standingText(line));
    QCOMPARE(marked, marks);
    QCOMPARE(ledgerSummary(found), summary);
    QVERIFY(!LedgerMatch(store::Ledger()).begun());
}

QTEST_APPLESS_MAIN(tst_ledgermatch)
#include "tst_ledgermatch.moc"
