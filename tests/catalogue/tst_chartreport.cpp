// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/chartreport.h"
#include "catalogue/reportpaint.h"
#include "store/creation.h"
#include "tests/catalogue/cataloguedata.h"
#include "tests/support/appfolder.h"
#include "tests/support/problemtext.h"

#include <QPageLayout>
#include <QTest>

using catalogue::ChartReport;
using catalogue::ReportText;

namespace
{
// A4 with 10 mm margins: 277 mm, 15703 twips, of printable height.
QPageLayout a4()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

QList<catalogue::moddbscreen::ChartRow> charts(int count)
{
    QList<catalogue::moddbscreen::ChartRow> rows;
    for (int i = 0; i < count; ++i)
        rows.append(
            cataloguedata::chart(QStringLiteral("star %1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("cyg")));
    return rows;
}

QList<ReportText> textsOf(const catalogue::ReportPage &page, const QString &start)
{
    QList<ReportText> found;
    for (const ReportText &text : page.texts) {
        if (text.text.startsWith(start))
            found.append(text);
    }
    return found;
}
}

class tst_chartreport final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void printableArea();
    void pagination_data();
    void pagination();
    void everyPageHeadedAndNumbered();
    void seedCatalogueOnOnePage();
    void hundredTwentyChartsAsPdf();
};

void tst_chartreport::printableArea()
{
    const QRect area = catalogue::reportArea(a4());
    // 10 mm is 566.9 twips; A4's 297 mm are 16837.8.
    QCOMPARE(area.top(), 567);
    QCOMPARE(area.left(), 567);
    QCOMPARE(area.height(), 15703);
    QCOMPARE(area.width(), 10771);
    // The same whether or not the device paints its margins.
    QPageLayout full = a4();
    full.setMode(QPageLayout::FullPageMode);
    QCOMPARE(catalogue::reportArea(full), area);
}

void tst_chartreport::pagination_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("perPage");
    // Below the page footer (390) A4 leaves 15313 twips: after the title
    // (465) and the headings (270), 53 lines of 270 on the first page; after
    // the headings, 55 on each further page. The total (360) needs its room.
    QTest::newRow("empty catalogue") << 0 << QList<int>{0};
    QTest::newRow("one chart") << 1 << QList<int>{1};
    QTest::newRow("first page full but the total") << 52 << QList<int>{52};
    QTest::newRow("total on a page of its own") << 53 << QList<int>{53, 0};
    QTest::newRow("second page with room for the total") << 107 << QList<int>{53, 54};
    QTest::newRow("second page full") << 108 << QList<int>{53, 55, 0};
    QTest::newRow("120 charts") << 120 << QList<int>{53, 55, 12};
}

void tst_chartreport::pagination()
{
    QFETCH(int, rows);
    QFETCH(QList<int>, perPage);
    const ChartReport report = catalogue::layoutChartReport(charts(rows), catalogue::reportArea(a4()));
    QList<int> lines;
    for (const catalogue::ReportPage &page : report.pages)
        lines.append(static_cast<int>(std::count_if(page.texts.cbegin(), page.texts.cend(), [](const ReportText &text) {
            return text.text.endsWith(QStringLiteral(".gif"));
        })));
    QCOMPARE(lines, perPage);
    const auto total = textsOf(report.pages.last(), QStringLiteral("Total charts: "));
    QCOMPARE(total.size(), 1);
}

void tst_chartreport::everyPageHeadedAndNumbered()
{
    const QRect area = catalogue::reportArea(a4());
    const ChartReport report = catalogue::layoutChartReport(charts(120), area);
    QCOMPARE(report.pages.size(), 3);
    const int footerTop = area.top() + area.height() - 390 + 150;
    for (int i = 0; i < 3; ++i) {
        const catalogue::ReportPage &page = report.pages.at(i);
        const int headingTop = area.top() + (i == 0 ? 465 : 0);
        const QStringList headings{
            "Variable:", "Chart:", "Nightly?", "Chart name:", "Finderchart Name:", "In Constellation"};
        const QList<int> lefts{0, 1701, 2835, 3700, 5300, 7370};
        for (int h = 0; h < headings.size(); ++h) {
            const auto found = textsOf(page, headings.at(h));
            QCOMPARE(found.size(), 1);
            QCOMPARE(found.first().place,
                     QRect(area.left() + lefts.at(h), headingTop, found.first().place.width(), 240));
            QCOMPARE(found.first().font, ReportText::Heading);
        }
        QCOMPARE(textsOf(page, QStringLiteral("My Charts")).size(), i == 0 ? 1 : 0);
        QCOMPARE(textsOf(page, QStringLiteral("Total charts: ")).size(), i == 2 ? 1 : 0);
        QStringList footer;
        for (const ReportText &text : page.texts) {
            if (text.place.top() == footerTop)
                footer.append(text.text);
            QVERIFY(area.contains(text.place));
        }
        QCOMPARE(footer, (QStringList{QString::number(i + 1), QStringLiteral(" of "), QStringLiteral("3")}));
    }
    // Each chart's line: its six columns side by side.
    const auto line = textsOf(report.pages.at(1), QStringLiteral("star 053"));
    QCOMPARE(line.size(), 2);
    QCOMPARE(line.at(0).place.left(), area.left());
    QCOMPARE(line.at(1).text, QStringLiteral("star 053.gif"));
    QCOMPARE(line.at(1).place.left(), area.left() + 3700);
}

void tst_chartreport::seedCatalogueOnOnePage()
{
    AppFolder folder;
    QVERIFY(store::createDefault(folder.programFolder()));
    const auto rows = catalogue::readChartList(folder.programFolder());
    QVERIFY2(rows, qPrintable(problemText(rows)));
    const QString pdf = folder.file(QStringLiteral("seed.pdf"));
    QCOMPARE(problemText(catalogue::writeChartReportPdf(pdf, a4(), *rows)), QString());
    const std::optional<QString> text = cataloguedata::pdfText(pdf);
    if (!text)
        QSKIP("pdftotext is not installed");
    const QStringList pages = text->split(u'\f', Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 1);
    const QString page = pages.first().simplified();
    QVERIFY2(page.contains(QStringLiteral("ss cyg 1896 yes ss cyg.gif ss cyg-finder.gif cyg")), qPrintable(page));
    QVERIFY2(page.contains(QStringLiteral("1 of 1")), qPrintable(page));
    QVERIFY2(page.contains(QStringLiteral("Total charts: 1")), qPrintable(page));

    // A file that cannot be written is told, not passed over.
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    const outcome::Done unwritten =
        catalogue::writeChartReportPdf(folder.file(QStringLiteral("no/such/folder.pdf")), a4(), *rows);
    QVERIFY(!unwritten);
    QVERIFY2(problemText(unwritten).contains(QStringLiteral("cannot be written")), qPrintable(problemText(unwritten)));
    QCOMPARE(unwritten.problem().title, QStringLiteral("Chart list not saved"));
}

void tst_chartreport::hundredTwentyChartsAsPdf()
{
    AppFolder folder;
    QVERIFY(store::createDefault(folder.programFolder()));
    // Constellations in mixed letters: the list ignores letter case.
    const QStringList constellations{"AND", "cyg", "Lyr", "aql"};
    QList<catalogue::moddbscreen::ChartRow> added;
    for (int i = 0; i < 119; ++i) {
        const QString name = QStringLiteral("%1 v%2").arg(i % 2 ? "R" : "r").arg(118 - i, 3, 10, QLatin1Char('0'));
        added.append(cataloguedata::chart(name, constellations.at(i % 4)));
    }
    cataloguedata::addCharts(folder.path(), added);
    const auto rows = catalogue::readChartList(folder.programFolder());
    QVERIFY2(rows, qPrintable(problemText(rows)));
    QCOMPARE(rows->size(), 120);
    for (qsizetype i = 1; i < rows->size(); ++i) {
        const auto key = [](const catalogue::moddbscreen::ChartRow &row) {
            return (row.constell + u'|' + row.starname).toLower();
        };
        QVERIFY(key(rows->at(i - 1)) < key(rows->at(i)));
    }

    const QString pdf = folder.file(QStringLiteral("My Charts.pdf"));
    QCOMPARE(problemText(catalogue::writeChartReportPdf(pdf, a4(), *rows)), QString());
    const std::optional<QString> text = cataloguedata::pdfText(pdf);
    if (!text)
        QSKIP("pdftotext is not installed");
    const QStringList pages = text->split(u'\f', Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QString page = pages.at(i).simplified();
        for (const char *heading :
             {"Variable:", "Chart:", "Nightly?", "Chart name:", "Finderchart Name:", "In Constellation"})
            QVERIFY2(page.contains(QLatin1String(heading)), heading);
        QVERIFY2(page.contains(QStringLiteral("%1 of 3").arg(i + 1)), qPrintable(page));
        QCOMPARE(page.contains(QStringLiteral("My Charts")), i == 0);
        QCOMPARE(page.contains(QStringLiteral("Total charts:")), i == 2);
    }
    QVERIFY(pages.at(2).simplified().contains(QStringLiteral("Total charts: 120")));
    // One line per chart, each naming its chart file, in the report's order.
    const QString all = text->simplified();
    qsizetype at = 0;
    for (const catalogue::moddbscreen::ChartRow &row : *rows) {
        QCOMPARE(all.count(row.picturefile), 1);
        const qsizetype found = all.indexOf(row.picturefile, at);
        QVERIFY2(found >= 0, qPrintable(row.starname));
        at = found;
    }
}

QTEST_MAIN(tst_chartreport)
#include "tst_chartreport.moc"
