// SPDX-License-Identifier: GPL-2.0-or-later
#include "reports/plausibility.h"
#include "reports/sequencerules.h"
#include "tests/support/appfolder.h"
#include "tests/support/observations.h"

#include <QFile>
#include <QTest>

using namespace reports;

class tst_sequence : public QObject
{
    Q_OBJECT
private slots:
    void readers_data();
    void readers();
    void sparseFileRefused();
    void labels_data();
    void labels();
    void changesToldOnce();
};

namespace
{
const QByteArray json = R"({"chartid":"X27193ABC","star":"SS Cyg","photometry":[
 {"auid":"000-BBC-001","ra":"21:42:01.1","dec":"43:30:00","label":"101","comments":"",
  "bands":[{"band":"B","mag":10.9,"error":0.05},{"band":"V","mag":10.12,"error":0.03}]},
 {"auid":"000-BBC-002","ra":"21:42:11.1","dec":"43:31:00","label":"110","comments":"","bands":[]}]})";
// U, B and V triples, Rc, I, J, H, K, the Sloan bands, comments, chart ID.
const QByteArray row1 = "000-BBC-001|21:42:01.1|43:30:00|101|NA|NA|NA|10.9|0.05|1|10.12|0.03|1"
                        "|9.8|0.02|1|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|note|X27193ABC\n";
const QByteArray row2 = "000-BBC-002|21:42:11.1|43:31:00|110|NA|NA|NA|11.2|0.05|1||||"
                        "|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA|NA||X27193ABC\n";

store::ChartLabel star(const QString &label, double v)
{
    return {label, v};
}
}

void tst_sequence::readers_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("stars");
    QTest::addColumn<double>("v");
    QTest::newRow("json, second star without V") << json << 2 << 10.12;
    QTest::newRow("table, V missing, count") << "AUID|RA|Dec|Label\n" + row1 + row2 + "Count=2\n" << 2 << 10.12;
    QTest::newRow("table, count NA") << row2 + row1 + "Count=NA\n" << 2 << -1.0;
    QTest::newRow("table, count 0") << QByteArray("Count=0\n") << 0 << 0.0;
    QTest::newRow("count short of the rows") << row1 + row2 + "Count=3\n" << 0 << 0.0;
    QTest::newRow("bad json") << json.chopped(3) << 0 << 0.0;
}

void tst_sequence::readers()
{
    QFETCH(QByteArray, text);
    QFETCH(int, stars);
    QFETCH(double, v);
    // Named after another chart: the table names its own.
    AppFolder app;
    app.write(QStringLiteral("X11111AAA.txt"), text);
    const outcome::Result<Sequence> read = readSequence(app.file(QStringLiteral("X11111AAA.txt")));
    QCOMPARE(read.ok(), stars > 0);
    if (!read) {
        QVERIFY(read.problem().message.contains(QStringLiteral("X11111AAA.txt")));
        return;
    }
    QCOMPARE(read->chartId, QStringLiteral("X27193ABC"));
    QCOMPARE(read->stars.size(), stars);
    QCOMPARE(read->stars.constFirst().v.value_or(-1), v);
    QVERIFY(!read->stars.constLast().v || !read->stars.constFirst().v);
}

void tst_sequence::sparseFileRefused()
{
    AppFolder app;
    QFile file(app.file(QStringLiteral("big.json")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(50 * 1024 * 1024));
    file.close();
    const outcome::Result<Sequence> read = readSequence(file.fileName());
    QVERIFY(!read);
    QCOMPARE(read.problem().kind, outcome::Kind::Refused);
}

void tst_sequence::labels_data()
{
    QTest::addColumn<QString>("comp1");
    QTest::addColumn<QList<store::ChartLabel>>("sequence");
    QTest::addColumn<QString>("found");
    const QList<store::ChartLabel> chart{star("101", 10.1), star("110", 11.7), star("113", 11.3), star("118", 11.8)};
    // 12.1 lies 1.1 beyond the label 110, 0.4 beyond its V 11.7.
    QTest::newRow("V of the chart") << "110" << chart << "";
    QTest::newRow("no sequence") << "110" << QList<store::ChartLabel>() << "bracket";
    QTest::newRow("shared label") << "110" << (QList(chart) << star("110", 11.8)) << "bracket";
    QTest::newRow("not on the chart") << "114" << chart
                                      << "sequence: 114 is not a comparison star of chart X27193ABC: its labels are "
                                         "101, 110, 113, 118|bracket";
    // Stars as a table lists them, in no order of their labels.
    const QList<store::ChartLabel> unordered{star("118", 11.8), star("99", 9.9), star("110", 11.7), star("101", 10.1)};
    QTest::newRow("V of the chart, labels unordered") << "110" << unordered << "";
    QTest::newRow("not on the chart, labels unordered")
        << "114" << unordered
        << "sequence: 114 is not a comparison star of chart X27193ABC: its labels are 99, 101, 110, 118|bracket";
}

void tst_sequence::labels()
{
    QFETCH(QString, comp1);
    QFETCH(QList<store::ChartLabel>, sequence);
    QFETCH(QString, found);
    const plausibility::Estimate estimate{0, "ss cyg", "2458124.4", "12.1", comp1, "101", {}, "X27193ABC"};
    QStringList warnings;
    for (const plausibility::Warning &warning :
         plausibility::warnings(estimate, {}, plausibility::ChartLabels(sequence)))
        warnings.append(warning.rule == u"bracket" ? warning.rule : warning.rule + u": " + warning.reason);
    QCOMPARE(warnings.join(u'|'), found);
}

void tst_sequence::changesToldOnce()
{
    AppFolder app;
    app.prepare();
    QVERIFY(
        insertObservations(app.path(), {{"ss cyg", "11.5", "113 2 V 1 118", "2458124.4", "na", "na", "X27193ABC"}}));
    const auto starOf = [](const char *auid, const char *label, double v) {
        return ComparisonStar{auid, {}, {}, label, v, 0.02, {}};
    };
    const Sequence first{
        "X27193ABC",
        "SS Cyg",
        {starOf("A", "110", 11.04), starOf("B", "113", 11.3), starOf("C", "118", 11.8), starOf("D", "120", 12.0)},
        {}};
    QVERIFY(keepSequence(app.programFolder(), first, QDateTime(QDate(2026, 5, 1), {})));
    // A shift under 0.1 and a star nobody used go unsaid.
    const Sequence newer{"X27193ABC", "SS Cyg", {starOf("A", "110", 10.7), starOf("B", "112", 11.35)}, {}};
    QCOMPARE(keepSequence(app.programFolder(), newer, QDateTime(QDate(2027, 1, 3), {}))->size(), 4);
    QCOMPARE(sequenceNote(app.programFolder(), QStringLiteral("x27193abc")),
             QStringLiteral(
                 "The sequence of chart x27193abc changed on 2027-01-03: 110 is now 10.7, 113 is now labelled 112, "
                 "118 is gone; plot a new chart."));
    QCOMPARE(sequenceNote(app.programFolder(), QStringLiteral("X27193ABC")), QString());
}

QTEST_APPLESS_MAIN(tst_sequence)
#include "tst_sequence.moc"
