// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/modentryscreen.h"
#include "observe/recording.h"
#include "tests/support/appfolder.h"
#include "tests/support/exampleobservation.h"
#include "tests/support/problemtext.h"

#include <QHash>
#include <QTest>

using namespace observe::modEntryscreen;

namespace
{
// The example observation, estimated with the step between its comparisons.
ObservationTexts example()
{
    ObservationTexts texts = exampleObservation();
    texts.estimate = QStringLiteral("110 2 115");
    return texts;
}

// The computer's clock where the date does not matter: after every date in range.
const QDateTime clock(QDate(2100, 12, 31), QTime(12, 0), Qt::UTC);

std::optional<outcome::Problem> check(const ObservationTexts &texts)
{
    return problemOf(checkObservation(texts, clock));
}

// The object name of the field's control.
QString fieldNamed(const QString &field)
{
    static const QHash<QString, QString> fields = {
        {"star", "txtStar"},  {"year", "nbYear"},     {"month", "nbMonth"},        {"day", "nbDay"},
        {"hour", "nbHour"},   {"minute", "nbMinute"}, {"estimate", "txtEstimate"}, {"magnitude", "txtMagn"},
        {"comp1", "nbComp1"}, {"comp2", "nbComp2"},   {"chart", "txtChartid"},     {"notes", "txtNotes"},
    };
    return fields.value(field);
}

void set(ObservationTexts &texts, const QString &field, const QString &value)
{
    QString *const target = field == u"star" ? &texts.star
        : field == u"year"                   ? &texts.year
        : field == u"month"                  ? &texts.month
        : field == u"day"                    ? &texts.day
        : field == u"hour"                   ? &texts.hour
        : field == u"minute"                 ? &texts.minute
        : field == u"estimate"               ? &texts.estimate
        : field == u"magnitude"              ? &texts.magnitude
        : field == u"comp1"                  ? &texts.comp1
        : field == u"comp2"                  ? &texts.comp2
        : field == u"chart"                  ? &texts.chart
        : field == u"notes"                  ? &texts.notes
                                             : nullptr;
    QVERIFY2(target, qPrintable(field));
    *target = value;
}
}

class tst_recording final : public QObject
{
    Q_OBJECT

private slots:
    void lineAndRow_data();
    void lineAndRow();
    void fieldsOnLeaving_data();
    void fieldsOnLeaving();
    void commentCode_data();
    void commentCode();
    void nightlyFlag_data();
    void nightlyFlag();
    void accepts_data();
    void accepts();
    void refuses_data();
    void refuses();
    void dates_data();
    void dates();
    void firstProblemInFieldOrder();
    void catalogueMessageNamesTheStar();
    void recordobsWritesTheFieldsAsLeft();
};

void tst_recording::lineAndRow_data()
{
    QTest::addColumn<ObservationTexts>("texts");
    QTest::addColumn<bool>("nightly");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("row");

    const ObservationTexts base = example();
    QTest::newRow("nightly example") << base << true << "ss cyg|2458124.3958|11.2|na|110|115|1896|na"
                                     << QStringList{"ss cyg", "11.2", "110 2 115", "2458124.3958", "na", "na", "1896"};
    QTest::newRow("slow star") << base << false << "ss cyg|2458124.4|11.2|na|110|115|1896|na"
                               << QStringList{"ss cyg", "11.2", "110 2 115", "2458124.4", "na", "na", "1896"};

    ObservationTexts fainter = base;
    fainter.fainterthan = true;
    fainter.magnitude = QStringLiteral("13.0");
    QTest::newRow("fainter than") << fainter << true << "ss cyg|2458124.3958|<13.0|na|110|115|1896|na"
                                  << QStringList{"ss cyg", "13.0", "110 2 115", "2458124.3958", "na", "na", "1896"};

    ObservationTexts coded = base;
    coded.comment = QStringLiteral("Z - Uncertain magnitude");
    coded.notes = QStringLiteral("low over the roof");
    QTest::newRow("comment code and notes")
        << coded << true << "ss cyg|2458124.3958|11.2|Z|110|115|1896|low over the roof"
        << QStringList{"ss cyg", "11.2", "110 2 115", "2458124.3958", "Z", "low over the roof", "1896"};

    ObservationTexts bare = base;
    bare.chart.clear();
    bare.comp1.clear();
    bare.comp2.clear();
    QTest::newRow("empty chart and comparisons")
        << bare << true << "ss cyg|2458124.3958|11.2|na|na|na|na|na"
        << QStringList{"ss cyg", "11.2", "110 2 115", "2458124.3958", "na", "na", "na"};

    ObservationTexts apostrophe = base;
    apostrophe.star = QStringLiteral("barnard's star");
    apostrophe.notes = QStringLiteral("it's clear");
    QTest::newRow("apostrophes kept") << apostrophe << true
                                      << "barnard's star|2458124.3958|11.2|na|110|115|1896|it's clear"
                                      << QStringList{"barnard's star", "11.2", "110 2 115", "2458124.3958", "na",
                                                     "it's clear",     "1896"};

    ObservationTexts midnight = base;
    midnight.hour = QStringLiteral("0");
    midnight.minute = QStringLiteral("00");
    QTest::newRow("midnight of a nightly star")
        << midnight << true << "ss cyg|2458123.5|11.2|na|110|115|1896|na"
        << QStringList{"ss cyg", "11.2", "110 2 115", "2458123.5", "na", "na", "1896"};
}

void tst_recording::lineAndRow()
{
    QFETCH(ObservationTexts, texts);
    QFETCH(bool, nightly);
    QFETCH(QString, line);
    QFETCH(QStringList, row);

    const Recording recording = makeRecording(texts, nightly);
    QCOMPARE(recording.line, line);
    const CumobsRow &r = recording.row;
    QCOMPARE((QStringList{r.star, r.magnitude, r.estimate, r.obsdate, r.obscode, r.notes, r.chart}), row);
    QCOMPARE(obsdateText(texts, nightly), r.obsdate);
}

void tst_recording::fieldsOnLeaving_data()
{
    QTest::addColumn<bool>("magnitude");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("left");

    QTest::newRow("whole magnitude") << true << "12"
                                     << "12.0";
    QTest::newRow("empty magnitude stays empty") << true << ""
                                                 << "";
    QTest::newRow("negative whole magnitude") << true << "-1"
                                              << "-1.0";
    QTest::newRow("point forgotten, completed for Enter to name") << true << "112"
                                                                  << "112.0";
    QTest::newRow("letters stay") << true << "abc"
                                  << "abc";
    QTest::newRow("decimal comma stays") << true << "11,2"
                                         << "11,2";
    QTest::newRow("magnitude with point") << true << "11.2"
                                          << "11.2";
    QTest::newRow("magnitude with trailing point") << true << "11."
                                                   << "11.";
    QTest::newRow("comparison with point") << false << "11.2"
                                           << "112";
    QTest::newRow("comparison with two points") << false << "1.1.2"
                                                << "112";
    QTest::newRow("comparison label") << false << "110"
                                      << "110";
}

void tst_recording::fieldsOnLeaving()
{
    QFETCH(bool, magnitude);
    QFETCH(QString, typed);
    QFETCH(QString, left);
    QCOMPARE(magnitude ? completedMagnitude(typed) : comparisonLabel(typed), left);
}

void tst_recording::commentCode_data()
{
    QTest::addColumn<std::optional<QString>>("item");
    QTest::addColumn<QString>("code");

    QTest::newRow("none chosen") << std::optional<QString>() << "na";
    QTest::newRow("first item") << std::optional<QString>("B - Bright sky, Moon etc") << "B";
    QTest::newRow("last item") << std::optional<QString>("Z - Uncertain magnitude") << "Z";
    QTest::newRow("empty item") << std::optional<QString>(QString()) << "na";
}

void tst_recording::commentCode()
{
    QFETCH(std::optional<QString>, item);
    QFETCH(QString, code);
    QCOMPARE(observe::modEntryscreen::commentCode(item), code);
}

void tst_recording::nightlyFlag_data()
{
    QTest::addColumn<QString>("flag");
    QTest::addColumn<bool>("nightly");

    QTest::newRow("yes") << "yes" << true;
    QTest::newRow("no") << "no" << false;
    QTest::newRow("capital") << "Yes" << false;
    QTest::newRow("trailing blank") << "yes " << false;
    QTest::newRow("missing") << QString() << false;
}

void tst_recording::nightlyFlag()
{
    QFETCH(QString, flag);
    QFETCH(bool, nightly);
    QCOMPARE(isNightly(flag), nightly);
}

void tst_recording::accepts_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");

    QTest::newRow("example as is") << "notes" << QString();
    QTest::newRow("first year") << "year"
                                << "2017";
    QTest::newRow("last year") << "year"
                               << "2100";
    QTest::newRow("December") << "month"
                              << "12";
    QTest::newRow("day 31 of January") << "day"
                                       << "31";
    QTest::newRow("hour 0") << "hour"
                            << "0";
    QTest::newRow("hour 23") << "hour"
                             << "23";
    QTest::newRow("minute with leading zero") << "minute"
                                              << "05";
    QTest::newRow("minute 59") << "minute"
                               << "59";
    QTest::newRow("star of 30") << "star" << QString(30, u's');
    QTest::newRow("estimate of 15") << "estimate" << QString(15, u'e');
    QTest::newRow("estimate outside the code page") << "estimate" << QString::fromUtf8("α→β");
    QTest::newRow("brightest magnitude") << "magnitude"
                                         << "-2.0";
    QTest::newRow("faintest magnitude") << "magnitude"
                                        << "20.000";
    QTest::newRow("three decimals") << "magnitude"
                                    << "9.999";
    QTest::newRow("one digit and a decimal") << "magnitude"
                                             << "0.1";
    QTest::newRow("negative with two decimals") << "magnitude"
                                                << "-1.23";
    QTest::newRow("chart of 30") << "chart" << QString(30, u'c');
    QTest::newRow("notes of 100") << "notes" << QString(100, u'n');
    QTest::newRow("euro and curly quotes") << "notes" << QString::fromUtf8("“faint” €");
}

void tst_recording::accepts()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    ObservationTexts texts = example();
    set(texts, field, value);
    const std::optional<outcome::Problem> problem = check(texts);
    QVERIFY2(!problem, problem ? qPrintable(problem->message) : "");
}

void tst_recording::refuses_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("words");

    QTest::newRow("no star") << "star" << QString() << QStringList{"Star", "empty"};
    QTest::newRow("star of 31") << "star" << QString(31, u's') << QStringList{"Star", "30"};
    QTest::newRow("star with separator") << "star"
                                         << "ss|cyg" << QStringList{"Star", "\"|\""};
    QTest::newRow("star outside the code page")
        << "star" << QString::fromUtf8("α cyg") << QStringList{"Star", QString::fromUtf8("α")};
    QTest::newRow("no year") << "year" << QString() << QStringList{"Year", "empty", "2017 to 2100"};
    QTest::newRow("year with a letter") << "year"
                                        << "2o18" << QStringList{"Year", "whole number"};
    QTest::newRow("year before 2017") << "year"
                                      << "2016" << QStringList{"Year", "2016", "2017"};
    QTest::newRow("year after 2100") << "year"
                                     << "2101" << QStringList{"Year", "2100"};
    QTest::newRow("year too long for a number") << "year"
                                                << "99999999999" << QStringList{"Year", "between"};
    QTest::newRow("month 0") << "month"
                             << "0" << QStringList{"Month", "1 and 12"};
    QTest::newRow("month 13") << "month"
                              << "13" << QStringList{"Month", "1 and 12"};
    QTest::newRow("day 32") << "day"
                            << "32" << QStringList{"Day", "1 and 31"};
    QTest::newRow("no day") << "day" << QString() << QStringList{"Day", "empty"};
    QTest::newRow("hour 24") << "hour"
                             << "24" << QStringList{"Hour", "0 and 23"};
    QTest::newRow("hour with a blank") << "hour"
                                       << "2 " << QStringList{"Hour", "whole number"};
    QTest::newRow("hour as decimal") << "hour"
                                     << "21.5" << QStringList{"Hour", "whole number"};
    QTest::newRow("minute 60") << "minute"
                               << "60" << QStringList{"Minute", "0 and 59"};
    QTest::newRow("negative minute") << "minute"
                                     << "-1" << QStringList{"Minute", "0 and 59"};
    QTest::newRow("lone minus") << "minute"
                                << "-" << QStringList{"Minute", "whole number"};
    QTest::newRow("no estimate") << "estimate" << QString() << QStringList{"Estimate", "empty"};
    QTest::newRow("estimate of 16") << "estimate" << QString(16, u'e') << QStringList{"Estimate", "15"};
    QTest::newRow("no magnitude") << "magnitude" << QString() << QStringList{"Magn", "empty"};
    QTest::newRow("magnitude without point") << "magnitude"
                                             << "12" << QStringList{"Magn", "decimal point", "12.0"};
    QTest::newRow("magnitude of 11") << "magnitude"
                                     << "12345678.90" << QStringList{"Magn", "decimal point"};
    QTest::newRow("magnitude of letters") << "magnitude"
                                          << "abc" << QStringList{"Magn", "\"abc\"", "not a magnitude"};
    QTest::newRow("decimal comma") << "magnitude"
                                   << "11,2" << QStringList{"Magn", "comma", "full stop"};
    QTest::newRow("point forgotten") << "magnitude"
                                     << "112.0" << QStringList{"Magn", "112.0", "decimal point", "11.2"};
    QTest::newRow("fainter than 20") << "magnitude"
                                     << "20.001" << QStringList{"Magn", "-2 to 20"};
    QTest::newRow("brighter than -2") << "magnitude"
                                      << "-2.001" << QStringList{"Magn", "-2 to 20"};
    QTest::newRow("four decimals") << "magnitude"
                                   << "11.2345" << QStringList{"Magn", "not a magnitude"};
    QTest::newRow("trailing point") << "magnitude"
                                    << "11." << QStringList{"Magn", "not a magnitude"};
    QTest::newRow("bare point") << "magnitude"
                                << ".0" << QStringList{"Magn", "not a magnitude"};
    QTest::newRow("plus sign") << "magnitude"
                               << "+1.0" << QStringList{"Magn", "not a magnitude"};
    QTest::newRow("leading blank") << "magnitude"
                                   << " 1.0" << QStringList{"Magn", "not a magnitude"};
    QTest::newRow("two points") << "magnitude"
                                << "1.2.3" << QStringList{"Magn", "not a magnitude"};
    QTest::newRow("magnitude with a tab") << "magnitude"
                                          << "11\t.2" << QStringList{"Magn", "control character U+0009"};
    QTest::newRow("comparison with separator") << "comp1"
                                               << "11|0" << QStringList{"CS1", "\"|\""};
    QTest::newRow("comparison outside the code page")
        << "comp2" << QString::fromUtf8("11½→") << QStringList{"CS2", QString::fromUtf8("→")};
    QTest::newRow("chart of 31") << "chart" << QString(31, u'c') << QStringList{"Chart ID", "30"};
    QTest::newRow("notes of 101") << "notes" << QString(101, u'n') << QStringList{"Notes", "100"};
    QTest::newRow("notes with line break") << "notes"
                                           << "two\nlines" << QStringList{"Notes", "line break"};
    QTest::newRow("notes with carriage return") << "notes"
                                                << "two\rlines" << QStringList{"Notes", "line break"};

    // Every control character, in every field, named by its code.
    QTest::newRow("tab in star") << "star"
                                 << "ss\tcyg" << QStringList{"Star", "control character U+0009"};
    QTest::newRow("NUL in notes") << "notes" << QString(QChar(0)) + "x" << QStringList{"Notes", "U+0000"};
    QTest::newRow("escape in chart") << "chart"
                                     << "18\x1b"
                                        "96"
                                     << QStringList{"Chart ID", "U+001B"};
    QTest::newRow("DEL in comparison") << "comp1"
                                       << "110\x7f" << QStringList{"CS1", "U+007F"};
    QTest::newRow("tab in estimate") << "estimate"
                                     << "110\t115" << QStringList{"Estimate", "U+0009"};
    for (const char16_t c1 : {u'\x81', u'\x8d', u'\x8f', u'\x90', u'\x9d', u'\x85', u'\x9b'}) {
        const QString code = QStringLiteral("U+%1").arg(uint(c1), 4, 16, QLatin1Char('0')).toUpper();
        QTest::newRow(qPrintable("C1 " + code))
            << "notes" << QStringLiteral("a") + QChar(c1) << QStringList{"Notes", "control character " + code};
    }
    QTest::newRow("byte order mark") << "star" << QString(QChar(0xfeff)) + "ss cyg"
                                     << QStringList{"Star", "invisible character U+FEFF"};
    QTest::newRow("zero width space") << "notes"
                                      << "a\u200bb" << QStringList{"Notes", "invisible character U+200B"};
    QTest::newRow("soft hyphen") << "chart"
                                 << "18\u00ad96" << QStringList{"Chart ID", "invisible character U+00AD"};
    QTest::newRow("no-break space") << "comp2"
                                    << "11\u00a05" << QStringList{"CS2", "invisible character U+00A0"};
}

void tst_recording::refuses()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QStringList, words);
    ObservationTexts texts = example();
    set(texts, field, value);
    const std::optional<outcome::Problem> problem = check(texts);
    QVERIFY(problem);
    for (const QString &word : words)
        QVERIFY2(problem->message.contains(word), qPrintable(problem->message + " lacks " + word));
    QCOMPARE(problem->field, fieldNamed(field));
}

void tst_recording::dates_data()
{
    QTest::addColumn<QList<int>>("moment");
    // The object name of the field to correct; empty when accepted.
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("words");

    // Checked against a clock of 1 March 2024, 12:00 UT.
    const QString accepted;
    QTest::newRow("30 February") << QList<int>{2018, 2, 30, 21, 30} << "nbDay"
                                 << QStringList{"no 30 February 2018", "28 days", "Day"};
    QTest::newRow("31 April") << QList<int>{2018, 4, 31, 21, 30} << "nbDay"
                              << QStringList{"no 31 April 2018", "30 days"};
    QTest::newRow("29 February 2023") << QList<int>{2023, 2, 29, 0, 0} << "nbDay"
                                      << QStringList{"February 2023 has 28 days"};
    QTest::newRow("29 February 2024") << QList<int>{2024, 2, 29, 23, 59} << accepted << QStringList{};
    QTest::newRow("first year's last minute") << QList<int>{2017, 12, 31, 23, 59} << accepted << QStringList{};
    QTest::newRow("a day after the clock") << QList<int>{2024, 3, 2, 12, 0} << accepted << QStringList{};
    QTest::newRow("a minute more") << QList<int>{2024, 3, 2, 12, 1} << "nbDay"
                                   << QStringList{"2 March 2024 12:01 UT", "1 March 2024 12:00 UT", "Day"};
    QTest::newRow("next month") << QList<int>{2024, 4, 1, 0, 0} << "nbMonth" << QStringList{"Month"};
    QTest::newRow("mistyped year") << QList<int>{2025, 3, 1, 0, 0} << "nbYear" << QStringList{"Year", "clock"};
    QTest::newRow("last year of the range") << QList<int>{2100, 1, 1, 0, 0} << "nbYear" << QStringList{"Year"};
}

void tst_recording::dates()
{
    QFETCH(QList<int>, moment);
    QFETCH(QString, field);
    QFETCH(QStringList, words);
    ObservationTexts texts = example();
    texts.year = QString::number(moment.at(0));
    texts.month = QString::number(moment.at(1));
    texts.day = QString::number(moment.at(2));
    texts.hour = QString::number(moment.at(3));
    texts.minute = QString::number(moment.at(4));
    const std::optional<outcome::Problem> problem =
        problemOf(checkObservation(texts, QDateTime(QDate(2024, 3, 1), QTime(12, 0), Qt::UTC)));
    QCOMPARE(problem.has_value(), !field.isEmpty());
    if (!problem)
        return;
    QCOMPARE(problem->kind, outcome::Kind::Refused);
    QCOMPARE(problem->field, field);
    for (const QString &word : words)
        QVERIFY2(problem->message.contains(word), qPrintable(problem->message + " lacks " + word));
}

void tst_recording::firstProblemInFieldOrder()
{
    ObservationTexts texts = example();
    texts.notes = QString(101, u'n');
    texts.magnitude = QStringLiteral("12");
    texts.estimate.clear();
    texts.minute = QStringLiteral("60");
    texts.year.clear();
    QCOMPARE(check(texts)->field, QStringLiteral("nbYear"));
    texts.year = QStringLiteral("2018");
    QCOMPARE(check(texts)->field, QStringLiteral("nbMinute"));
    texts.minute = QStringLiteral("0");
    QCOMPARE(check(texts)->field, QStringLiteral("txtEstimate"));
    texts.estimate = QStringLiteral("11");
    QCOMPARE(check(texts)->field, QStringLiteral("txtMagn"));
    texts.magnitude = QStringLiteral("12.0");
    QVERIFY(check(texts)->message.contains(u"Notes"));

    // The "<" of a fainter-than estimate is written, not checked or stored.
    texts.notes.clear();
    texts.fainterthan = true;
    texts.magnitude = QStringLiteral("-1.234");
    QVERIFY(!check(texts));
}

void tst_recording::catalogueMessageNamesTheStar()
{
    const QString message = notInCatalogue(QStringLiteral("r %1 cas's"));
    QVERIFY(message.contains(u"\"r %1 cas's\""));
    QVERIFY(message.contains(u"not in the chart catalogue"));
}

// Alt+E records without the fields having been left.
void tst_recording::recordobsWritesTheFieldsAsLeft()
{
    AppFolder app;
    app.prepare();
    ObservationTexts texts = example();
    texts.magnitude = QStringLiteral("12");
    texts.comp1 = QStringLiteral("11.0");
    texts.comp2 = QStringLiteral("1.1.5");
    const QString report = app.file(QStringLiteral("obs/2018-Jan-05.txt"));

    QCOMPARE(problemText(recordobs(app.programFolder(), report, texts)), QString());
    QVERIFY(
        app.read(QStringLiteral("obs/2018-Jan-05.txt")).endsWith("ss cyg|2458124.3958|12.0|na|110|115|1896|na\r\n"));
}

QTEST_APPLESS_MAIN(tst_recording)
#include "tst_recording.moc"
