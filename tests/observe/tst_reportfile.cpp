// SPDX-License-Identifier: GPL-2.0-or-later
#include "appfiles/folder.h"
#include "appfiles/headerfile.h"
#include "observe/reportfile.h"

#include "tests/support/appfolder.h"
#include "tests/support/problemtext.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace observe::modEntryscreen;

namespace
{
// A header as the header editor saves it: CP1252 text with CR LF, here with
// a byte that differs between code pages and no line end after the last line.
const QByteArray header = "#TYPE=Visual\r\n#OBSCODE=XYZ\r\n#SOFTWARE=varlume \x80 1.0\r\n"
                          "#DELIM=|\r\n#DATE=JD\r\n#OBSTYPE=Visual";

QString today(const AppFolder &app)
{
    return appfiles::Folder(app.path()).report(QDate(2018, 1, 5));
}

// Why today's report could not be begun, or an empty text.
QString begin(const AppFolder &app)
{
    return problemText(beginReport(app.programFolder(), today(app)));
}

// One recording's line, as recordobs appends it: under the file's lock. Why
// it failed, or an empty text.
QString appendReport(const QString &todaysfile, const QString &line)
{
    ReportAppender report(todaysfile);
    if (outcome::Done locked = report.lock(QDeadlineTimer(1000)); !locked)
        return problemText(locked);
    return problemText(report.append(line));
}

// A folder with a saved header and an empty "obs", as start-up leaves it.
void prepare(const AppFolder &app)
{
    app.write(QStringLiteral("header.txt"), header);
    QVERIFY(QDir(app.path()).mkdir(QStringLiteral("obs")));
}
}

class tst_reportfile final : public QObject
{
    Q_OBJECT

private slots:
    void beginCopiesTheHeader();
    void beginContinuesAnExistingFile();
    void beginMakesAMissingObsFolder();
    void beginWithoutHeader();
    void headerRule_data();
    void headerRule();
    void beginWhereObsIsAFile();
    void reportThatIsAFolder();
    void beginInUnwritableObs();
    void linesFollowTheHeaderInOrder();
    void headerWithLineEndGetsNoBlankLine();
    void lineInTheCodePage();
    void refusedLineLeavesTheFile();
    void unwritableFileIsLeftAsItWas();
    void failedWriteIsReported();
    void takeBackRemovesExactlyItsLine();
    void takeBackLeavesAChangedFile();
    void lockKeepsASecondRecordingOut();
    void readForTheView();
};

void tst_reportfile::beginCopiesTheHeader()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(begin(app), QString());
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), header);
    // Built beside it under another name: nothing of that is left.
    QCOMPARE(app.entries(), (QStringList{"header.txt", "obs", "obs/2018-Jan-05.txt"}));
}

void tst_reportfile::beginContinuesAnExistingFile()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(begin(app), QString());
    QCOMPARE(appendReport(today(app), QStringLiteral("ss cyg|2458124.3958|11.2|na|110|115|1896|na")), QString());
    const QByteArray earlier = app.read(QStringLiteral("obs/2018-Jan-05.txt"));

    // A header changed since must not touch the day's file either.
    app.write(QStringLiteral("header.txt"), "#TYPE=Visual\r\n#OBSCODE=NEW\r\n");
    QCOMPARE(begin(app), QString());
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), earlier);
}

void tst_reportfile::beginMakesAMissingObsFolder()
{
    AppFolder app;
    app.write(QStringLiteral("header.txt"), header);
    QCOMPARE(begin(app), QString());
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), header);
}

void tst_reportfile::beginWithoutHeader()
{
    AppFolder app;
    QVERIFY(QDir(app.path()).mkdir(QStringLiteral("obs")));
    const QString problem = begin(app);
    QVERIFY(problem.contains(u"header.txt"));
    QVERIFY(problem.contains(u"header editor"));
    QCOMPARE(app.entries(), QStringList{"obs"});
}

void tst_reportfile::headerRule_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // Empty when the header begins the report.
    QTest::addColumn<QString>("told");

    QTest::newRow("as the editor saves it") << header << "";
    QTest::newRow("empty lines, tab, LF alone") << QByteArray("\r\n#TYPE=Visual\n\n#NOTE=\ta\r\n\r\n#DATE=JD") << "";
    QTest::newRow("largest") << "#" + QByteArray(appfiles::largestHeader - 1, 'x') << "";
    QTest::newRow("empty") << QByteArray("") << "is empty";
    QTest::newRow("a byte too many") << "#" + QByteArray(appfiles::largestHeader, 'x') << "65537 bytes";
    QTest::newRow("100 MB") << QByteArray() << "104857600 bytes";
    QTest::newRow("pipe") << QByteArray() << "named pipe, not a file";
    QTest::newRow("observation") << QByteArray("#TYPE=Visual\r\n\r\nss cyg|2458124.3958|11.2|na|110|115|1896|na")
                                 << "line 3 does not begin with \"#\": \"ss cyg|";
    QTest::newRow("CR alone ends a line") << QByteArray("#TYPE=Visual\rjunk\r\n") << "line 2 does not";
    QTest::newRow("binary") << QByteArray("#TYPE=Visual\r\n#\x1b\x00\xff", 17) << "line 2 holds a control";
    QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xef\xbb\xbf#TYPE=Visual\r\n") << "UTF-8 byte-order";
    QTest::newRow("UTF-16 with its mark") << QByteArray("\xff\xfe#\0T\0", 6) << "UTF-16";
    QTest::newRow("UTF-16 without") << QByteArray("\0#\0T", 4) << "UTF-16";
}

void tst_reportfile::headerRule()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, told);
    AppFolder app;
    QFile file(app.file(QStringLiteral("header.txt")));
    if (QTest::currentDataTag() == QByteArrayView("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(file.fileName()).constData(), 0600), 0);
    else
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
                && file.resize(bytes.isNull() ? 100 << 20 : bytes.size()));
    file.close();

    const QString problem = begin(app);
    QVERIFY2(problem.isEmpty() == told.isEmpty() && problem.contains(told), qPrintable(problem));
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), told.isEmpty() ? bytes : QByteArray());
    // The header editor saves by the same rule.
    if (!bytes.isNull() && !bytes.contains('\0') && !bytes.contains('\r'))
        QVERIFY(problemText(appfiles::writeHeader(appfiles::Folder(app.path()), QString::fromLatin1(bytes)))
                    .contains(told));
}

void tst_reportfile::beginWhereObsIsAFile()
{
    AppFolder app;
    app.write(QStringLiteral("header.txt"), header);
    app.write(QStringLiteral("obs"), "not a folder");
    const QString problem = begin(app);
    QVERIFY(problem.contains(QDir::toNativeSeparators(app.file(QStringLiteral("obs")))));
    QCOMPARE(app.entries(), (QStringList{"header.txt", "obs"}));
}

void tst_reportfile::reportThatIsAFolder()
{
    AppFolder app;
    prepare(app);
    QVERIFY(QDir(app.path()).mkpath(QStringLiteral("obs/2018-Jan-05.txt")));
    for (const QString &problem : {begin(app), appendReport(today(app), QStringLiteral("ss cyg|2458124.4|11.2|na"))}) {
        QVERIFY2(problem.contains(u"is a folder, not a file"), qPrintable(problem));
        QVERIFY2(problem.contains(QDir::toNativeSeparators(today(app))), qPrintable(problem));
    }
    QVERIFY(problemText(readReport(today(app))).contains(u"is a folder, not a file"));

    AppFolder headerFolder;
    QVERIFY(QDir(headerFolder.path()).mkpath(QStringLiteral("header.txt")));
    const QString header = begin(headerFolder);
    QVERIFY2(header.contains(u"is a folder, not a file") && header.contains(u"header.txt"), qPrintable(header));
}

void tst_reportfile::beginInUnwritableObs()
{
    AppFolder app;
    prepare(app);
    const ReadOnlyGuard guard(app.file(QStringLiteral("obs")));
    if (!guard.ok())
        QSKIP("the folder cannot be made unwritable here");

    const QString problem = begin(app);
    QVERIFY2(problem.contains(u"write"), qPrintable(problem));
    QVERIFY(!app.exists(QStringLiteral("obs/2018-Jan-05.txt")));
}

void tst_reportfile::linesFollowTheHeaderInOrder()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(begin(app), QString());
    const QStringList lines = {
        QStringLiteral("ss cyg|2458124.3958|11.2|na|110|115|1896|na"),
        QStringLiteral("r cas|2458124.4|<13.0|Z|na|na||na"),
        QStringLiteral("ss cyg|2458124.4|11.4|na|110|115|1896|second look"),
    };
    for (const QString &line : lines)
        QCOMPARE(appendReport(today(app), line), QString());

    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")),
             header + "\r\n" + lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
}

void tst_reportfile::headerWithLineEndGetsNoBlankLine()
{
    AppFolder app;
    prepare(app);
    app.write(QStringLiteral("header.txt"), header + "\r\n");
    QCOMPARE(begin(app), QString());
    QCOMPARE(appendReport(today(app), QStringLiteral("ss cyg|2458124.4|11.2|na|na|na|1896|na")), QString());
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")),
             header + "\r\nss cyg|2458124.4|11.2|na|na|na|1896|na\r\n");
}

void tst_reportfile::lineInTheCodePage()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(begin(app), QString());
    QCOMPARE(appendReport(today(app), QString::fromUtf8("barnard's star|2458124.4|9.5|na|na|na|1896|“haze” €")),
             QString());
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")),
             header + "\r\nbarnard's star|2458124.4|9.5|na|na|na|1896|\x93haze\x94 \x80\r\n");
}

void tst_reportfile::refusedLineLeavesTheFile()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(begin(app), QString());
    QVERIFY(!appendReport(today(app), QString::fromUtf8("ss cyg|2458124.4|11.2|na|na|na|1896|→")).isEmpty());
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), header);
}

void tst_reportfile::unwritableFileIsLeftAsItWas()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(begin(app), QString());
    const ReadOnlyGuard guard(today(app));
    if (!guard.ok())
        QSKIP("the file cannot be made unwritable here");

    const QString problem = appendReport(today(app), QStringLiteral("ss cyg|2458124.4|11.2|na|na|na|1896|na"));
    QVERIFY(problem.contains(QDir::toNativeSeparators(today(app))));
    QVERIFY2(problem.contains(u"permission denied"), qPrintable(problem));
    QVERIFY(problem.contains(u"Enter again"));
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), header);
    // Opening the screen again must say that the file cannot take lines.
    QVERIFY(!begin(app).isEmpty());
}

void tst_reportfile::failedWriteIsReported()
{
    // Every write to /dev/full fails as on a full disk.
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full here");
    const QString problem =
        appendReport(QStringLiteral("/dev/full"), QStringLiteral("ss cyg|2458124.4|11.2|na|na|na|1896|na"));
    QVERIFY(problem.contains(u"/dev/full"));
    QVERIFY2(problem.contains(u"the disk is full"), qPrintable(problem));
}

void tst_reportfile::takeBackRemovesExactlyItsLine()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(begin(app), QString());
    QCOMPARE(appendReport(today(app), QStringLiteral("ss cyg|2458124.3958|11.2|na|110|115|1896|na")), QString());
    const QByteArray before = app.read(QStringLiteral("obs/2018-Jan-05.txt"));

    ReportAppender report(today(app));
    QCOMPARE(problemText(report.lock(QDeadlineTimer(1000))), QString());
    QCOMPARE(problemText(report.append(QStringLiteral("ss cyg|2458124.4|11.4|na|na|na|1896|na"))), QString());
    QCOMPARE(problemText(report.takeBack()), QString());
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), before);
    // Once taken back there is nothing left to take.
    QCOMPARE(problemText(report.takeBack()), QString());
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), before);

    const QString missing = problemText(ReportAppender(app.file(QStringLiteral("obs/missing.txt"))).lock({}));
    QVERIFY2(missing.contains(u"it does not exist"), qPrintable(missing));
}

void tst_reportfile::takeBackLeavesAChangedFile()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(begin(app), QString());
    const QString path = app.file(QStringLiteral("obs/2018-Jan-05.txt"));

    // A program that ignores the lock appends behind the line: it stays, and so does the line.
    {
        ReportAppender report(today(app));
        QCOMPARE(problemText(report.lock(QDeadlineTimer(1000))), QString());
        QCOMPARE(problemText(report.append(QStringLiteral("ss cyg|2458124.4|11.4|na|na|na|1896|na"))), QString());
        QFile other(path);
        QVERIFY(other.open(QIODevice::Append));
        other.write("r cas|2458124.5|9.0|na|na|na|na|na\r\n");
        other.close();
        const QByteArray grown = app.read(QStringLiteral("obs/2018-Jan-05.txt"));
        const QString problem = problemText(report.takeBack());
        QVERIFY2(problem.contains(u"changed meanwhile"), qPrintable(problem));
        QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), grown);
    }

    // A file made shorter is never cut longer: no NUL bytes appear.
    ReportAppender second(today(app));
    QCOMPARE(problemText(second.lock(QDeadlineTimer(1000))), QString());
    QCOMPARE(problemText(second.append(QStringLiteral("ss cyg|2458124.6|11.5|na|na|na|1896|na"))), QString());
    QVERIFY(QFile::resize(path, header.size()));
    QVERIFY(!second.takeBack());
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), header);
}

void tst_reportfile::lockKeepsASecondRecordingOut()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(begin(app), QString());
    {
        ReportAppender first(today(app));
        QCOMPARE(problemText(first.lock(QDeadlineTimer(1000))), QString());
        const QString problem = problemText(ReportAppender(today(app)).lock(QDeadlineTimer(50)));
        QVERIFY2(problem.contains(u"in use by another program"), qPrintable(problem));
        QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), header);
    }
    QCOMPARE(appendReport(today(app), QStringLiteral("r cas|2458124.5|9.0|na|na|na|na|na")), QString());
}

void tst_reportfile::readForTheView()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(begin(app), QString());
    QCOMPARE(appendReport(today(app), QString::fromUtf8("ss cyg|2458124.4|11.2|na|na|na|1896|€")), QString());

    const outcome::Result<ReportText> shown = readReport(today(app));
    QCOMPARE(problemText(shown), QString());
    QCOMPARE(shown->text,
             QString::fromUtf8("#TYPE=Visual\n#OBSCODE=XYZ\n#SOFTWARE=varlume € 1.0\n"
                               "#DELIM=|\n#DATE=JD\n#OBSTYPE=Visual\n"
                               "ss cyg|2458124.4|11.2|na|na|na|1896|€\n"));

    // From where the view stopped: only what came since; all of it once the file is shorter.
    QCOMPARE(appendReport(today(app), QStringLiteral("r cas|2458124.5|9.0|na|na|na|na|na")), QString());
    const ReportText more = readReport(today(app), shown->end, shown->identity).value();
    QCOMPARE(more.text, QStringLiteral("r cas|2458124.5|9.0|na|na|na|na|na\n"));
    QVERIFY(!more.whole);
    QCOMPARE(more.end, app.read(QStringLiteral("obs/2018-Jan-05.txt")).size());
    // Another file renamed over it, though longer: all of it.
    const appfiles::Written replacement =
        appfiles::writeBeside(today(app), app.read(QStringLiteral("obs/2018-Jan-05.txt")) + "x|1|1|na|na|na|na|na\r\n");
    QCOMPARE(appfiles::replaceWith(replacement.path, today(app)), 0);
    QVERIFY(readReport(today(app), more.end, more.identity).value().whole);
    QVERIFY(QFile::resize(today(app), header.size()));
    const ReportText shorter = readReport(today(app), more.end, more.identity).value();
    QVERIFY(shorter.whole);
    QCOMPARE(shorter.text,
             QString::fromLatin1(header)
                 .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                 .replace(QChar(0x80), QChar(0x20ac)));

    QVERIFY(!readReport(app.file(QStringLiteral("obs/missing.txt"))));
    QCOMPARE(::mkfifo(QFile::encodeName(app.file(QStringLiteral("obs/pipe.txt"))).constData(), 0600), 0);
    QVERIFY(problemText(readReport(app.file(QStringLiteral("obs/pipe.txt")))).contains(u"a named pipe"));
    QVERIFY(QFile::resize(today(app), 21 * 1024 * 1024));
    QVERIFY(problemText(readReport(today(app))).contains(u"larger than 20 MB"));
}

QTEST_APPLESS_MAIN(tst_reportfile)
#include "tst_reportfile.moc"
