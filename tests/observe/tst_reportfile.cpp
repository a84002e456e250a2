// SPDX-License-Identifier: GPL-2.0-or-later
#include "folder.h"
#include "reportfile.h"

#include "appfolder.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTest>

#include <unistd.h>

using namespace modEntryscreen;

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
    void beginWhereObsIsAFile();
    void beginInUnwritableObs();
    void linesFollowTheHeaderInOrder();
    void headerWithLineEndGetsNoBlankLine();
    void lineInTheCodePage();
    void refusedLineLeavesTheFile();
    void unwritableFileIsLeftAsItWas();
    void failedWriteIsReported();
    void cutTakesBackTheLastLine();
    void readForTheView();
};

void tst_reportfile::beginCopiesTheHeader()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(beginReport(app.path(), today(app)), std::nullopt);
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), header);
}

void tst_reportfile::beginContinuesAnExistingFile()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(beginReport(app.path(), today(app)), std::nullopt);
    QCOMPARE(appendReport(today(app), QStringLiteral("ss cyg|2458124.3958|11.2|na|110|115|1896|na")), std::nullopt);
    const QByteArray earlier = app.read(QStringLiteral("obs/2018-Jan-05.txt"));

    // A header changed since must not touch the day's file either.
    app.write(QStringLiteral("header.txt"), "#TYPE=Visual\r\n#OBSCODE=NEW\r\n");
    QCOMPARE(beginReport(app.path(), today(app)), std::nullopt);
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), earlier);
}

void tst_reportfile::beginMakesAMissingObsFolder()
{
    AppFolder app;
    app.write(QStringLiteral("header.txt"), header);
    QCOMPARE(beginReport(app.path(), today(app)), std::nullopt);
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), header);
}

void tst_reportfile::beginWithoutHeader()
{
    AppFolder app;
    QVERIFY(QDir(app.path()).mkdir(QStringLiteral("obs")));
    const std::optional<QString> problem = beginReport(app.path(), today(app));
    QVERIFY(problem);
    QVERIFY(problem->contains(u"header.txt"));
    QVERIFY(problem->contains(u"header editor"));
    QCOMPARE(app.entries(), QStringList{"obs"});
}

void tst_reportfile::beginWhereObsIsAFile()
{
    AppFolder app;
    app.write(QStringLiteral("header.txt"), header);
    app.write(QStringLiteral("obs"), "not a folder");
    const std::optional<QString> problem = beginReport(app.path(), today(app));
    QVERIFY(problem);
    QVERIFY(problem->contains(QDir::toNativeSeparators(app.file(QStringLiteral("obs")))));
    QCOMPARE(app.entries(), (QStringList{"header.txt", "obs"}));
}

void tst_reportfile::beginInUnwritableObs()
{
    AppFolder app;
    prepare(app);
    const ReadOnlyGuard guard(app.file(QStringLiteral("obs")));
    if (!guard.ok())
        QSKIP("the folder cannot be made unwritable here");

    const std::optional<QString> problem = beginReport(app.path(), today(app));
    QVERIFY(problem);
    QVERIFY(problem->contains(u"write"));
    QVERIFY(!app.exists(QStringLiteral("obs/2018-Jan-05.txt")));
}

void tst_reportfile::linesFollowTheHeaderInOrder()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(beginReport(app.path(), today(app)), std::nullopt);
    const QStringList lines = {
        QStringLiteral("ss cyg|2458124.3958|11.2|na|110|115|1896|na"),
        QStringLiteral("r cas|2458124.4|<13.0|Z|na|na||na"),
        QStringLiteral("ss cyg|2458124.4|11.4|na|110|115|1896|second look"),
    };
    for (const QString &line : lines)
        QCOMPARE(appendReport(today(app), line), std::nullopt);

    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")),
             header + "\r\n" + lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
}

void tst_reportfile::headerWithLineEndGetsNoBlankLine()
{
    AppFolder app;
    prepare(app);
    app.write(QStringLiteral("header.txt"), header + "\r\n");
    QCOMPARE(beginReport(app.path(), today(app)), std::nullopt);
    QCOMPARE(appendReport(today(app), QStringLiteral("ss cyg|2458124.4|11.2|na|na|na|1896|na")), std::nullopt);
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")),
             header + "\r\nss cyg|2458124.4|11.2|na|na|na|1896|na\r\n");
}

void tst_reportfile::lineInTheCodePage()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(beginReport(app.path(), today(app)), std::nullopt);
    QCOMPARE(appendReport(today(app), QString::fromUtf8("barnard's star|2458124.4|9.5|na|na|na|1896|“haze” €")),
             std::nullopt);
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")),
             header + "\r\nbarnard's star|2458124.4|9.5|na|na|na|1896|\x93haze\x94 \x80\r\n");
}

void tst_reportfile::refusedLineLeavesTheFile()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(beginReport(app.path(), today(app)), std::nullopt);
    QVERIFY(appendReport(today(app), QString::fromUtf8("ss cyg|2458124.4|11.2|na|na|na|1896|→")));
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), header);
}

void tst_reportfile::unwritableFileIsLeftAsItWas()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(beginReport(app.path(), today(app)), std::nullopt);
    const ReadOnlyGuard guard(today(app));
    if (!guard.ok())
        QSKIP("the file cannot be made unwritable here");

    const std::optional<QString> problem =
        appendReport(today(app), QStringLiteral("ss cyg|2458124.4|11.2|na|na|na|1896|na"));
    QVERIFY(problem);
    QVERIFY(problem->contains(QDir::toNativeSeparators(today(app))));
    QVERIFY(problem->contains(u"Enter again"));
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), header);
    // Opening the screen again must say that the file cannot take lines.
    QVERIFY(beginReport(app.path(), today(app)));
}

void tst_reportfile::failedWriteIsReported()
{
    // Every write to /dev/full fails as on a full disk.
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full here");
    const std::optional<QString> problem =
        appendReport(QStringLiteral("/dev/full"), QStringLiteral("ss cyg|2458124.4|11.2|na|na|na|1896|na"));
    QVERIFY(problem);
    QVERIFY(problem->contains(u"/dev/full"));
}

void tst_reportfile::cutTakesBackTheLastLine()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(beginReport(app.path(), today(app)), std::nullopt);
    QCOMPARE(appendReport(today(app), QStringLiteral("ss cyg|2458124.3958|11.2|na|110|115|1896|na")), std::nullopt);
    const QByteArray before = app.read(QStringLiteral("obs/2018-Jan-05.txt"));

    QCOMPARE(appendReport(today(app), QStringLiteral("ss cyg|2458124.4|11.4|na|na|na|1896|na")), std::nullopt);
    QCOMPARE(cutReport(today(app), before.size()), std::nullopt);
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), before);

    QVERIFY(cutReport(app.file(QStringLiteral("obs/missing.txt")), 0));
}

void tst_reportfile::readForTheView()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(beginReport(app.path(), today(app)), std::nullopt);
    QCOMPARE(appendReport(today(app), QString::fromUtf8("ss cyg|2458124.4|11.2|na|na|na|1896|€")), std::nullopt);

    const ReportText shown = readReport(today(app));
    QCOMPARE(shown.error, std::nullopt);
    QCOMPARE(shown.text,
             QString::fromUtf8("#TYPE=Visual\n#OBSCODE=XYZ\n#SOFTWARE=varlume € 1.0\n"
                               "#DELIM=|\n#DATE=JD\n#OBSTYPE=Visual\n"
                               "ss cyg|2458124.4|11.2|na|na|na|1896|€\n"));

    const ReportText missing = readReport(app.file(QStringLiteral("obs/missing.txt")));
    QVERIFY(missing.error);
    QVERIFY(missing.text.isEmpty());
}

QTEST_APPLESS_MAIN(tst_reportfile)
#include "tst_reportfile.moc"
