// SPDX-License-Identifier: GPL-2.0-or-later
#include "appfiles/folder.h"
#include "observe/chartviewer.h"
#include "observe/recording.h"
#include "reports/reportcheck.h"
#include "tests/support/appfolder.h"
#include "tests/support/exampleobservation.h"
#include "tests/support/observations.h"
#include "tests/support/problemtext.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimeZone>

#include <ctime>

using namespace reports::modReportcheck;

namespace
{
const QByteArray header =
    "#TYPE=Visual\r\n#OBSCODE=XYZ\r\n#SOFTWARE=varlume 1.0\r\n#DELIM=|\r\n#DATE=JD\r\n#OBSTYPE=Visual\r\n";
const QByteArray clean = "ss cyg|2458124.3958|11.2|na|110|115|1896|na";
// Long after every date of these tests.
const QDateTime now(QDate(2024, 1, 1), QTime(0, 0), QTimeZone::utc());

// Each finding as "line severity field", in the order given.
QStringList brief(const QList<Finding> &findings)
{
    QStringList list;
    for (const Finding &f : findings) {
        list.append(
            QStringLiteral("%1 %2 %3")
                .arg(f.line)
                .arg(f.severity == Severity::Error ? QStringLiteral("error") : QStringLiteral("warning"), f.field));
    }
    return list;
}

QString dump(const QList<Finding> &findings)
{
    QStringList lines;
    for (const Finding &f : findings)
        lines.append(QStringLiteral("%1 %2 \"%3\": %4").arg(f.line).arg(f.field, f.value, f.reason));
    return lines.join(u'\n');
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
}

class tst_reportcheck final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void lines_data();
    void lines();
    void laterDeclarationsHoldForTheLinesAfter();
    void recordedLinesReadBackClean_data();
    void recordedLinesReadBackClean();
    void ownStampIsNoFutureDate_data();
    void ownStampIsNoFutureDate();
    void nightOfTheFileWestOfUtc_data();
    void nightOfTheFileWestOfUtc();
    void duplicatesAcrossEarlierReports();
    void reportsNewestFirst();
    void commandLineExitStatus_data();
    void commandLineExitStatus();
    void largerThanAnyReport();
    void findingsBoundedWhateverTheFile();
    void notationOfEachLinesRow();
};

void tst_reportcheck::initTestCase()
{
    // Seven hours west of Greenwich, all year, without a zone database.
    qputenv("TZ", "MST7");
    tzset();
}

void tst_reportcheck::lines_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("findings");

    const QStringList none;
    const auto line = [](const char *text) -> QByteArray { return header + text + "\r\n"; };
    const auto error = [](const char *field) { return QStringList{QStringLiteral("7 error ") + field}; };
    const auto warning = [](const char *field) { return QStringList{QStringLiteral("7 warning ") + field}; };

    QTest::newRow("clean") << line(clean) << none;
    QTest::newRow("whole magnitude with point") << line("ss cyg|2458124.3958|12.0|na|110|115|1896|na") << none;
    QTest::newRow("fainter than") << line("ss cyg|2458124.3958|<14.5|na|110|115|1896|na") << none;
    QTest::newRow("two decimals") << line("ss cyg|2458124.40|8.05|na|na|na|1896|na") << none;
    QTest::newRow("comment codes") << line("ss cyg|2458124.3958|11.2|b u|110|115|1896|na") << none;
    QTest::newRow("apostrophe in the notes")
        << line("ss cyg|2458124.3958|11.2|Z|110|115|1896|observer's haze, moon's glare") << none;
    QTest::newRow("comma declared") << QByteArray(header).replace("#DELIM=|", "#DELIM=,")
            + "ss cyg,2458124.3958,11.2,na,110,115,1896,a|b\r\n"
                                    << none;
    QTest::newRow("tab declared") << QByteArray(header).replace("#DELIM=|", "#delim=TAB")
            + "ss cyg\t2458124.3958\t11.2\tna\t110\t115\t1896\tna\r\n"
                                  << none;
    QTest::newRow("header in another order and case")
        << QByteArray("#date=jd\n# my own comment\n#delim=|\n#obscode=XYZ\n#type=visual\n"
                      "ss cyg|2458124.3958|11.2|na|110|115|1896|na\n")
        << none;

    QTest::newRow("seven fields") << line("ss cyg|2458124.3958|11.2|na|110|115|1896") << error("line");
    QTest::newRow("delimiter inside a value") << line("ss cyg|2458124.3958|11.2|na|110|115|1896|a|b") << error("line");
    QTest::newRow("empty line") << line("") << error("line");
    QTest::newRow("magnitude of letters") << line("ss cyg|2458124.3958|abc.0|na|110|115|1896|na") << error("magnitude");
    QTest::newRow("magnitude without point") << line("ss cyg|2458124.3958|12|na|110|115|1896|na") << error("magnitude");
    QTest::newRow("date not a number") << line("ss cyg|2458124,3958|11.2|na|110|115|1896|na") << error("date");
    QTest::newRow("date in the future") << line("ss cyg|2470000.5|11.2|na|110|115|1896|na") << error("date");
    QTest::newRow("date before 1800") << line("ss cyg|2378496.4|11.2|na|110|115|1896|na") << error("date");
    QTest::newRow("star name empty") << line("|2458124.3958|11.2|na|110|115|1896|na") << error("star name");
    QTest::newRow("control character") << line("ss cyg|2458124.3958|11.2|na|110|115|1896|a\tb") << error("notes");
    QTest::newRow("byte the code page lacks")
        << line("ss cyg|2458124.3958|11.2|na|110|115|1896|a\x81") << error("notes");
    QTest::newRow("twice in the file") << header + clean + "\r\nSS CYG|2458124.39580|11.20|Z|na|na|na|again\r\n"
                                       << QStringList{QStringLiteral("8 error line")};
    QTest::newRow("type missing") << QByteArray(header).replace("#TYPE=Visual\r\n", "") + clean
                                  << QStringList{QStringLiteral("0 error #TYPE")};
    QTest::newRow("observer code missing") << QByteArray(header).replace("#OBSCODE=XYZ\r\n", "") + clean
                                           << QStringList{QStringLiteral("0 error #OBSCODE")};
    QTest::newRow("observer code empty") << QByteArray(header).replace("=XYZ", "= ") + clean
                                         << QStringList{QStringLiteral("2 error #OBSCODE")};
    QTest::newRow("delimiter missing") << QByteArray(header).replace("#DELIM=|\r\n", "") + clean
                                       << QStringList{QStringLiteral("0 error #DELIM")};
    QTest::newRow("delimiter a space") << QByteArray(header).replace("#DELIM=|", "#DELIM= ") + clean
                                       << QStringList{QStringLiteral("4 error #DELIM")};
    QTest::newRow("delimiter #") << QByteArray(header).replace("#DELIM=|", "#DELIM=#") + clean
                                 << QStringList{QStringLiteral("4 error #DELIM")};
    QTest::newRow("date form missing") << QByteArray(header).replace("#DATE=JD\r\n", "") + clean
                                       << QStringList{QStringLiteral("0 error #DATE")};
    QTest::newRow("date form not JD") << QByteArray(header).replace("#DATE=JD", "#DATE=EXCEL") + clean
                                      << QStringList{QStringLiteral("5 error #DATE")};

    QTest::newRow("example observer code")
        << QByteArray(header).replace("=XYZ", "=KTV") + clean << QStringList{QStringLiteral("2 warning #OBSCODE")};
    QTest::newRow("magnitude too faint") << line("ss cyg|2458124.3958|20.1|na|110|115|1896|na") << warning("magnitude");
    QTest::newRow("magnitude too bright")
        << line("ss cyg|2458124.3958|-2.5|na|110|115|1896|na") << warning("magnitude");
    QTest::newRow("long name") << line("a star name thirty-one chars ab|2458124.3958|11.2|na|110|115|1896|na")
                               << warning("star name");
    QTest::newRow("long magnitude") << line("ss cyg|2458124.3958|<11.20000|na|110|115|1896|na") << warning("magnitude");
    QTest::newRow("long comparison") << line("ss cyg|2458124.3958|11.2|na|110|115 is twenty-one chr|1896|na")
                                     << warning("comparison star 2");
    QTest::newRow("long chart") << line("ss cyg|2458124.3958|11.2|na|110|115|X36483DQK-X36483DQK-X36483DQK|na")
                                << warning("chart");
    QTest::newRow("long notes") << header + "ss cyg|2458124.3958|11.2|na|110|115|1896|" + QByteArray(101, 'n')
                                << warning("notes");
    QTest::newRow("empty fields") << line("ss cyg|2458124.3958|11.2|||||")
                                  << QStringList{"7 warning comment code", "7 warning comparison star 1",
                                                 "7 warning comparison star 2", "7 warning chart", "7 warning notes"};
    QTest::newRow("comment code not in the list")
        << line("ss cyg|2458124.3958|11.2|X|110|115|1896|na") << warning("comment code");
    QTest::newRow("not plain ASCII") << line("ss cyg|2458124.3958|11.2|na|110|115|1896|caf\xe9") << warning("notes");

    // "\xC3\x81" is one letter in UTF-8, but in the code page a letter and a byte it lacks.
    QTest::newRow("UTF-8 after a byte-order mark")
        << "\xEF\xBB\xBF" + line("ss cyg|2458124.3958|11.2|na|110|115|1896|\xC3\x81") << warning("notes");
    const QString text = QString::fromLatin1(header + clean);
    QTest::newRow("UTF-16") << "\xFF\xFE" + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2)
                            << QStringList{QStringLiteral("0 error file")};
    QTest::newRow("lines ended by CR alone")
        << QByteArray(header + clean).replace("\r\n", "\r") + "\r" << QStringList{QStringLiteral("0 warning file")};
}

void tst_reportcheck::lines()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, findings);
    const QList<Finding> found = readVisual(file, now).findings.list();
    QVERIFY2(brief(found) == findings, qPrintable(dump(found)));
    for (const Finding &f : found)
        QVERIFY2(f.reason.size() > 20, qPrintable(f.reason));
}

void tst_reportcheck::laterDeclarationsHoldForTheLinesAfter()
{
    const QByteArray file = header + clean + "\r\n#DELIM=,\r\n#DATE=HJD\r\nss cyg,2458124.4,11.2,na,na,na,1896,a|b\r\n";
    const Reading reading = readVisual(file, now);
    QCOMPARE(reading.observations, 2);
    const QList<Finding> findings = reading.findings.list();
    QCOMPARE(brief(findings), QStringList{QStringLiteral("9 error #DATE")});
    QCOMPARE(findings.constFirst().value, QStringLiteral("HJD"));
}

void tst_reportcheck::recordedLinesReadBackClean_data()
{
    QTest::addColumn<observe::modEntryscreen::ObservationTexts>("texts");
    QTest::addColumn<bool>("nightly");

    const observe::modEntryscreen::ObservationTexts texts = exampleObservation();
    QTest::newRow("nightly star") << texts << true;
    QTest::newRow("slow star") << texts << false;

    auto variant = texts;
    variant.fainterthan = true;
    variant.magnitude = observe::modEntryscreen::completedMagnitude(QStringLiteral("13"));
    variant.comp1 = variant.comp2 = variant.notes = QString();
    QTest::newRow("fainter than, nothing optional") << variant << false;

    variant = texts;
    variant.comment = QStringLiteral("Z - Uncertain magnitude");
    variant.comp1 = observe::modEntryscreen::comparisonLabel(QStringLiteral("11.0"));
    variant.notes = QStringLiteral("moon's glare; \"hazy\" & low");
    variant.chart = QStringLiteral("X36483DQK");
    variant.hour = QStringLiteral("0");
    variant.minute = QStringLiteral("0");
    variant.day = QStringLiteral("6");
    QTest::newRow("past midnight, code, notes") << variant << true;
}

void tst_reportcheck::recordedLinesReadBackClean()
{
    QFETCH(observe::modEntryscreen::ObservationTexts, texts);
    QFETCH(bool, nightly);
    QCOMPARE(problemText(observe::modEntryscreen::checkObservation(texts, now)), QString());
    const QString line = observe::modEntryscreen::makeRecording(texts, nightly).line;

    QTemporaryDir dir;
    const QString path = appfiles::Folder(dir.path()).report(QDate(2018, 1, 5));
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    write(path, header + line.toLatin1() + "\r\n");
    const Check check = checkReport(path, now);
    QVERIFY2(check.findings.isEmpty(), qPrintable(line + u'\n' + dump(check.findings)));
    QCOMPARE(check.observations, 1);
}

void tst_reportcheck::ownStampIsNoFutureDate_data()
{
    QTest::addColumn<int>("checkedLater");
    QTest::addColumn<bool>("future");
    // On the minute the stamp is a whole minute ahead.
    QTest::newRow("checked at once") << 0 << false;
    QTest::newRow("checked by a clock four minutes behind") << -240 << false;
    QTest::newRow("checked by a clock six minutes behind") << -360 << true;
}

// A nightly star recorded at once after get Chart stamped the fields.
void tst_reportcheck::ownStampIsNoFutureDate()
{
    QFETCH(int, checkedLater);
    QFETCH(bool, future);
    const QDateTime clock(QDate(2023, 12, 31), QTime(23, 58), QTimeZone::utc());
    const observe::modEntryscreen::TimeStamp stamp = observe::modEntryscreen::timestamp(clock);
    observe::modEntryscreen::ObservationTexts texts = exampleObservation();
    texts.year = QString::number(stamp.year);
    texts.month = QString::number(stamp.month);
    texts.day = QString::number(stamp.day);
    texts.hour = QString::number(stamp.hour);
    texts.minute = QString::number(stamp.minute);
    const QString line = observe::modEntryscreen::makeRecording(texts, true).line;
    const QList<Finding> found =
        readVisual(header + line.toLatin1() + "\r\n", clock.addSecs(checkedLater)).findings.list();
    QVERIFY2(brief(found) == (future ? QStringList{QStringLiteral("7 error date")} : QStringList()),
             qPrintable(dump(found)));
}

void tst_reportcheck::nightOfTheFileWestOfUtc_data()
{
    QTest::addColumn<QString>("jd");
    QTest::addColumn<bool>("inTheNight");
    // 2018-Jan-05.txt, seven hours west: from 07:00 UT on the 5th (JD
    // 2458123.7917) to 19:00 UT on the 6th (JD 2458125.2917).
    QTest::newRow("evening, 21:30 local") << "2458124.6875" << true;
    QTest::newRow("past midnight, 02:00 local") << "2458124.875" << true;
    QTest::newRow("11:00 local next day") << "2458125.25" << true;
    QTest::newRow("23:00 local the day before") << "2458123.75" << false;
    QTest::newRow("13:00 local next day") << "2458125.3333" << false;
    QTest::newRow("a year before") << "2457758.7" << false;
}

void tst_reportcheck::nightOfTheFileWestOfUtc()
{
    QFETCH(QString, jd);
    QFETCH(bool, inTheNight);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("2018-Jan-05.txt"));
    write(path, header + "ss cyg|" + jd.toLatin1() + "|11.2|na|110|115|1896|na\r\n");
    const Check check = checkReport(path, now);
    QCOMPARE(brief(check.findings), inTheNight ? QStringList() : QStringList{QStringLiteral("7 warning date")});
}

void tst_reportcheck::duplicatesAcrossEarlierReports()
{
    QTemporaryDir dir;
    const auto report = [&dir](const char *name) { return dir.filePath(QLatin1String(name)); };
    // Another delimiter, and the same observations in other letter case and digits.
    write(report("2018-Jan-03.txt"),
          QByteArray(header).replace("#DELIM=|", "#DELIM=,") + "rr lyr,2458122.5,8.0,na,na,na,1,na\r\n");
    write(report("2018-Jan-04.txt"),
          header + "x her|2458122.6|9.0|na|na|na|1|na\r\nSS Cyg|2458124.39580|11.20|na|na|na|1|na\r\n");
    write(report("2018-Jan-06.txt"), header + "v cyg|2458124.41|10.0|na|na|na|1|na\r\n");
    write(report("notes.txt"), header + "rr lyr|2458124.42|8.0|na|na|na|1|na\r\n");
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), report("2018-Jan-02.txt")));
    write(report("2018-Jan-05.txt"),
          header + clean
              + "\r\nrr lyr|2458122.5|8.0|na|na|na|1|na\r\n"
                "v cyg|2458124.41|10.0|na|na|na|1|na\r\n"
                "rr lyr|2458124.42|8.0|na|na|na|1|na\r\n"
                "ss cyg|2458124.3958|<11.2|na|na|na|1|na\r\n");

    const Check check = checkReport(report("2018-Jan-05.txt"), now);
    // Only earlier days count; a fainter-than estimate is another observation.
    QCOMPARE(brief(check.findings),
             (QStringList{"0 warning file", "7 warning line", "8 warning date", "8 warning line"}));
    // The one that cannot be read is named.
    QCOMPARE(check.findings.at(0).value, QDir::toNativeSeparators(report("2018-Jan-02.txt")));
    QVERIFY2(check.findings.at(0).reason.startsWith(
                 QStringLiteral("This earlier day's report cannot be read (it is a device, not a file)")),
             qPrintable(check.findings.at(0).reason));
    QVERIFY2(check.findings.at(1).reason.contains(QStringLiteral("2018-Jan-04.txt, line 8")),
             qPrintable(check.findings.at(1).reason));
    QVERIFY2(check.findings.at(3).reason.contains(QStringLiteral("2018-Jan-03.txt, line 7")),
             qPrintable(check.findings.at(3).reason));
    QCOMPARE(check.findings.at(1).value, QStringLiteral("ss cyg, 2458124.3958, 11.2"));
}

void tst_reportcheck::reportsNewestFirst()
{
    QTemporaryDir dir;
    for (const char *name : {"2017-Dec-31.txt", "2018-Jan-05.txt", "2018-Feb-01.txt", "notes.txt", "2018-Foo-01.txt"})
        write(dir.filePath(QLatin1String(name)), header);
    QStringList names;
    for (const QString &path : reportFiles(dir.path()))
        names.append(QFileInfo(path).fileName());
    QCOMPARE(names, (QStringList{"2018-Feb-01.txt", "2018-Jan-05.txt", "2017-Dec-31.txt"}));
}

void tst_reportcheck::commandLineExitStatus_data()
{
    QTest::addColumn<QByteArrayList>("files");
    QTest::addColumn<int>("status");
    const QByteArray ok = header + clean + "\r\n";
    const QByteArray warned = QByteArray(ok).replace("=XYZ", "=KTV");
    const QByteArray wrong = ok + clean + "\r\n";
    QTest::newRow("clean") << QByteArrayList{ok} << 0;
    QTest::newRow("warnings") << QByteArrayList{ok, warned} << 1;
    QTest::newRow("errors") << QByteArrayList{wrong, warned, ok} << 2;
    QTest::newRow("unreadable") << QByteArrayList{ok, QByteArray()} << 2;
}

void tst_reportcheck::commandLineExitStatus()
{
    QFETCH(QByteArrayList, files);
    QFETCH(int, status);
    QTemporaryDir dir;
    QStringList paths;
    QByteArrayList names;
    for (const QByteArray &content : files) {
        paths.append(dir.filePath(QStringLiteral("report%1.txt").arg(paths.size())));
        names.append(QFile::encodeName(paths.last()));
        // An empty content stands for a file that is not there.
        if (!content.isEmpty())
            write(paths.last(), content);
    }
    QString output;
    QTextStream out(&output);
    QCOMPARE(checkFiles(names, now, out), status);
    const QStringList printed = output.split(u'\n', Qt::SkipEmptyParts);
    // Each file ends with its summary; errors are named with file and line.
    QVERIFY2(printed.last().startsWith(QDir::toNativeSeparators(paths.last()) + QStringLiteral(": ")),
             qPrintable(output));
    if (files.constFirst().count("\r\n") == 8)
        QVERIFY2(printed.constFirst().startsWith(QDir::toNativeSeparators(paths.constFirst())
                                                 + QStringLiteral(":8: error: line \"ss cyg, 2458124.3958, 11.2\"")),
                 qPrintable(output));
}

void tst_reportcheck::largerThanAnyReport()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("2018-Jan-05.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(20 * 1024 * 1024 + 1));
    const Check check = checkReport(path, now);
    QCOMPARE(brief(check.findings), QStringList{QStringLiteral("0 error file")});
    QVERIFY2(check.findings.constFirst().reason.startsWith(
                 QStringLiteral("The file cannot be read (it is larger than 20 MB): no day's report")),
             qPrintable(check.findings.constFirst().reason));
}

void tst_reportcheck::findingsBoundedWhateverTheFile()
{
    QTemporaryDir dir;
    // A long value first, then lines of one field (errors), then lines without notes (warnings).
    QByteArray report = header + "ss cyg|2458124.3958|11.2|na|110|115|1896|" + QByteArray(5000, 'n') + "\r\n";
    for (int i = 0; i < 1500; ++i)
        report += "x\r\n";
    for (int i = 0; i < 1200; ++i)
        report += "ss cyg|2458124." + QByteArray::number(1000 + i) + "|11.2|na|110|115|1896|\r\n";
    write(dir.filePath(QStringLiteral("2018-Jan-05.txt")), report);
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("2018-Jan-04.txt"))));

    const Check check = checkReport(dir.filePath(QStringLiteral("2018-Jan-05.txt")), now);
    QCOMPARE(check.errors, 1500);
    QCOMPARE(check.warnings, 1202);
    QCOMPARE(check.observations, 1201);
    QCOMPARE(check.findings.size(), 2 * Findings::keptOfEachKind);
    QCOMPARE(check.findings.at(999).line, 1007);
    // Found last, but first in the file, it is kept.
    QCOMPARE(brief(check.findings.mid(1000, 2)), (QStringList{"0 warning file", "7 warning notes"}));
    QCOMPARE(check.findings.at(1001).value, QString(300, u'n') + QStringLiteral("… (5,000 characters in all)"));
    QCOMPARE(summary(check),
             QStringLiteral("1500 errors, 1202 warnings, 1201 observations (the first 1000 errors "
                            "and the first 1000 warnings listed)"));
}

// Only a line paired with its row gets the row's notation; an imported
// estimate is no notation.
void tst_reportcheck::notationOfEachLinesRow()
{
    AppFolder folder;
    folder.prepare();
    QVERIFY(insertObservations(folder.path(),
                               {{"ss cyg", "12.0", "90 2 V 1 100", "2458124.3958", "na", "na", "na"},
                                {"ss cyg", "14.0", "<140", "2458125.3958", "na", "na", "na"}}));
    folder.write(QStringLiteral("upload.txt"),
                 header
                     + "SS Cyg|2458124.3958|12.0|na|90|100|na|na\r\n"
                       "ss cyg|2458124.3958|12.0|na|90|100|na|na\r\n"
                       "ss cyg|2458125.3958|<14.0|na|na|na|na|na\r\n");
    const Check check = checkReport(folder.file(QStringLiteral("upload.txt")), now, folder.programFolder());
    QCOMPARE(brief(check.findings).filter(QStringLiteral("notation")),
             QStringList{QStringLiteral("7 warning notation")});
}

QTEST_APPLESS_MAIN(tst_reportcheck)
#include "tst_reportcheck.moc"
