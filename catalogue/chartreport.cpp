// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/chartreport.h"

#include "catalogue/datasource.h"
#include "store/charts.h"
#include "store/database.h"

namespace catalogue
{
namespace
{
// Band heights; every text line is 240 high.
constexpr int reportHeaderHeight = 465;
constexpr int pageHeaderHeight = 270;
constexpr int detailHeight = 270;
constexpr int pageFooterHeight = 390;
constexpr int reportFooterHeight = 360;
constexpr int lineHeight = 240;
constexpr int pageNumberDrop = 150;

// A text of a band: its left offset and width.
struct Column
{
    int left;
    int width;
};

constexpr Column starnameColumn{0, 1695};
constexpr Column chartColumn{1700, 1000};
constexpr Column nightlyColumn{2835, 1440};
constexpr Column picturefileColumn{3700, 1500};
constexpr Column finderchartColumn{5300, 1710};
constexpr Column constellColumn{7370, 1695};

class Pages final
{
public:
    explicit Pages(const QRect &area)
        : m_area(area)
        , m_bodyBottom(area.top() + area.height() - pageFooterHeight)
    {
        m_report.pages.append(ReportPage());
        m_top = area.top();
    }

    void add(const Column &column, int height, const QString &text, ReportText::Font font)
    {
        m_report.pages.last().texts.append(
            {QRect(m_area.left() + column.left, m_top, column.width, height), text, font});
    }

    // Moves to the next page first when the band does not fit below what
    // the page holds already.
    void fit(int height)
    {
        if (m_top + height <= m_bodyBottom || !m_hasBody)
            return;
        m_report.pages.append(ReportPage());
        m_top = m_area.top();
        m_hasBody = false;
        pageHeader();
    }

    void advance(int height, bool body)
    {
        m_top += height;
        m_hasBody = m_hasBody || body;
    }

    void pageHeader()
    {
        add({0, 1440}, lineHeight, QStringLiteral("Variable:"), ReportText::Heading);
        add({1701, 1005}, lineHeight, QStringLiteral("Chart:"), ReportText::Heading);
        add({2835, 750}, lineHeight, QStringLiteral("Nightly?"), ReportText::Heading);
        add({3700, 1440}, lineHeight, QStringLiteral("Chart name:"), ReportText::Heading);
        add({5300, 1440}, lineHeight, QStringLiteral("Finderchart Name:"), ReportText::Heading);
        add({7370, 1440}, lineHeight, QStringLiteral("In Constellation"), ReportText::Heading);
        advance(pageHeaderHeight, false);
    }

    ChartReport finish()
    {
        const QString total = QString::number(m_report.pages.size());
        for (qsizetype i = 0; i < m_report.pages.size(); ++i) {
            const int top = m_bodyBottom + pageNumberDrop;
            auto &texts = m_report.pages[i].texts;
            const auto footer = [&](int left, int width, const QString &text) {
                texts.append({QRect(m_area.left() + left, top, width, lineHeight), text, ReportText::Body});
            };
            footer(0, 200, QString::number(i + 1));
            footer(250, 300, QStringLiteral(" of "));
            footer(600, 1440, total);
        }
        return std::move(m_report);
    }

private:
    QRect m_area;
    int m_bodyBottom;
    int m_top = 0;
    bool m_hasBody = false;
    ChartReport m_report;
};
}

outcome::Result<QList<moddbscreen::ChartRow>> readChartList(const appfiles::Folder &appFolder)
{
    store::Database db(appFolder);
    auto rows = store::chartsByConstellation(db);
    if (!rows)
        return databaseFailure(rows.problem().message);
    return *rows;
}

ChartReport layoutChartReport(const QList<moddbscreen::ChartRow> &rows, const QRect &area)
{
    Pages pages(area);
    pages.add({0, 2835}, 450, QStringLiteral("My Charts"), ReportText::Title);
    pages.advance(reportHeaderHeight, false);
    pages.pageHeader();
    for (const moddbscreen::ChartRow &row : rows) {
        pages.fit(detailHeight);
        pages.add(starnameColumn, lineHeight, row.starname, ReportText::Body);
        pages.add(chartColumn, lineHeight, row.chart, ReportText::Body);
        pages.add(nightlyColumn, lineHeight, row.nightly, ReportText::Body);
        pages.add(picturefileColumn, lineHeight, row.picturefile, ReportText::Body);
        pages.add(finderchartColumn, lineHeight, row.finderchart, ReportText::Body);
        pages.add(constellColumn, lineHeight, row.constell, ReportText::Body);
        pages.advance(detailHeight, true);
    }
    pages.fit(reportFooterHeight);
    pages.add({7370, 1140}, lineHeight, QStringLiteral("Total charts: "), ReportText::Body);
    pages.add({8504, 1440}, lineHeight, QString::number(rows.size()), ReportText::Body);
    pages.advance(reportFooterHeight, true);
    return pages.finish();
}
}
