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

// Makes a folder or file unwritable for the length of a test. Permission
// bits do not stop root, so root gets the immutable attribute instead.
class Unwritable final
{
public:
    explicit Unwritable(const QString &path);
    ~Unwritable();
    Unwritable(const Unwritable &) = delete;
    Unwritable &operator=(const Unwritable &) = delete;

private:
    QString m_path;
};

Unwritable::Unwritable(const QString &path)
    : m_path(path)
{
    if (geteuid() == 0)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), m_path});
    else
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ExeOwner);
}

Unwritable::~Unwritable()
{
    if (geteuid() == 0)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
    else
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool canWriteIn(const QString &folder)
{
    QFile probe(folder + QStringLiteral("/probe"));
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.remove();
    return true;
}

QString today(const AppFolder &app)
{
    return todaysfilename(app.path(), QDate(2018, 1, 5));
}

// A folder with a saved header and an empty "obs", as start-up leaves it.
void prepare(const AppFolder &app)
{
    app.write(QStringLiteral("header.txt"), header);
    QVERIFY(QDir(app.path()).mkdir(QStringLiteral("obs")));
}
}

class TestReportfile final : public QObject
{
    Q_OBJECT

private slots:
    void fileName_data();
    void fileName();
    void monthNamesIgnoreTheLocale();
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

void TestReportfile::fileName_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("name");

    const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int month = 1; month <= 12; ++month)
        QTest::addRow("%s", months[month - 1])
            << QDate(2018, month, 5) << QStringLiteral("2018-%1-05.txt").arg(months[month - 1]);
    QTest::newRow("two-digit day") << QDate(2100, 12, 31) << "2100-Dec-31.txt";
}

void TestReportfile::fileName()
{
    QFETCH(QDate, date);
    QFETCH(QString, name);
    QCOMPARE(todaysfilename(QStringLiteral("/home/observer/varlume"), date),
             "/home/observer/varlume/obs/" + name);
}

void TestReportfile::monthNamesIgnoreTheLocale()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString name = todaysfilename(QStringLiteral("/app"), QDate(2018, 3, 5));
    QLocale::setDefault(before);
    QCOMPARE(name, QStringLiteral("/app/obs/2018-Mar-05.txt"));
}

void TestReportfile::beginCopiesTheHeader()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(beginreport(app.path(), today(app)), std::nullopt);
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), header);
}

void TestReportfile::beginContinuesAnExistingFile()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(beginreport(app.path(), today(app)), std::nullopt);
    QCOMPARE(appendreport(today(app), QStringLiteral("ss cyg|2458124.3958|11.2|na|110|115|1896|na")),
             std::nullopt);
    const QByteArray earlier = app.read(QStringLiteral("obs/2018-Jan-05.txt"));

    // A header changed since must not touch the day's file either.
    app.write(QStringLiteral("header.txt"), "#TYPE=Visual\r\n#OBSCODE=NEW\r\n");
    QCOMPARE(beginreport(app.path(), today(app)), std::nullopt);
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), earlier);
}

void TestReportfile::beginMakesAMissingObsFolder()
{
    AppFolder app;
    app.write(QStringLiteral("header.txt"), header);
    QCOMPARE(beginreport(app.path(), today(app)), std::nullopt);
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), header);
}

void TestReportfile::beginWithoutHeader()
{
    AppFolder app;
    QVERIFY(QDir(app.path()).mkdir(QStringLiteral("obs")));
    const std::optional<QString> problem = beginreport(app.path(), today(app));
    QVERIFY(problem);
    QVERIFY(problem->contains(u"header.txt"));
    QVERIFY(problem->contains(u"header editor"));
    QCOMPARE(app.entries(), QStringList{"obs"});
}

void TestReportfile::beginWhereObsIsAFile()
{
    AppFolder app;
    app.write(QStringLiteral("header.txt"), header);
    app.write(QStringLiteral("obs"), "not a folder");
    const std::optional<QString> problem = beginreport(app.path(), today(app));
    QVERIFY(problem);
    QVERIFY(problem->contains(QDir::toNativeSeparators(app.file(QStringLiteral("obs")))));
    QCOMPARE(app.entries(), (QStringList{"header.txt", "obs"}));
}

void TestReportfile::beginInUnwritableObs()
{
    AppFolder app;
    prepare(app);
    const Unwritable guard(app.file(QStringLiteral("obs")));
    if (canWriteIn(app.file(QStringLiteral("obs"))))
        QSKIP("the folder cannot be made unwritable here");

    const std::optional<QString> problem = beginreport(app.path(), today(app));
    QVERIFY(problem);
    QVERIFY(problem->contains(u"write"));
    QVERIFY(!app.exists(QStringLiteral("obs/2018-Jan-05.txt")));
}

void TestReportfile::linesFollowTheHeaderInOrder()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(beginreport(app.path(), today(app)), std::nullopt);
    const QStringList lines = {
        QStringLiteral("ss cyg|2458124.3958|11.2|na|110|115|1896|na"),
        QStringLiteral("r cas|2458124.4|<13.0|Z|na|na||na"),
        QStringLiteral("ss cyg|2458124.4|11.4|na|110|115|1896|second look"),
    };
    for (const QString &line : lines)
        QCOMPARE(appendreport(today(app), line), std::nullopt);

    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")),
             header + "\r\n" + lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
}

void TestReportfile::headerWithLineEndGetsNoBlankLine()
{
    AppFolder app;
    prepare(app);
    app.write(QStringLiteral("header.txt"), header + "\r\n");
    QCOMPARE(beginreport(app.path(), today(app)), std::nullopt);
    QCOMPARE(appendreport(today(app), QStringLiteral("ss cyg|2458124.4|11.2|na|na|na|1896|na")),
             std::nullopt);
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")),
             header + "\r\nss cyg|2458124.4|11.2|na|na|na|1896|na\r\n");
}

void TestReportfile::lineInTheCodePage()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(beginreport(app.path(), today(app)), std::nullopt);
    QCOMPARE(appendreport(today(app), QString::fromUtf8("barnard's star|2458124.4|9.5|na|na|na|1896|“haze” €")),
             std::nullopt);
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")),
             header + "\r\nbarnard's star|2458124.4|9.5|na|na|na|1896|\x93haze\x94 \x80\r\n");
}

void TestReportfile::refusedLineLeavesTheFile()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(beginreport(app.path(), today(app)), std::nullopt);
    QVERIFY(appendreport(today(app), QString::fromUtf8("ss cyg|2458124.4|11.2|na|na|na|1896|→")));
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), header);
}

void TestReportfile::unwritableFileIsLeftAsItWas()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(beginreport(app.path(), today(app)), std::nullopt);
    const Unwritable guard(today(app));
    QFile probe(today(app));
    if (probe.open(QIODevice::WriteOnly | QIODevice::Append))
        QSKIP("the file cannot be made unwritable here");

    const std::optional<QString> problem = appendreport(today(app), QStringLiteral("ss cyg|2458124.4|11.2|na|na|na|1896|na"));
    QVERIFY(problem);
    QVERIFY(problem->contains(QDir::toNativeSeparators(today(app))));
    QVERIFY(problem->contains(u"Enter again"));
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), header);
    // Opening the screen again must say that the file cannot take lines.
    QVERIFY(beginreport(app.path(), today(app)));
}

void TestReportfile::failedWriteIsReported()
{
    // Every write to /dev/full fails as on a full disk.
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full here");
    const std::optional<QString> problem =
        appendreport(QStringLiteral("/dev/full"), QStringLiteral("ss cyg|2458124.4|11.2|na|na|na|1896|na"));
    QVERIFY(problem);
    QVERIFY(problem->contains(u"/dev/full"));
}

void TestReportfile::cutTakesBackTheLastLine()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(beginreport(app.path(), today(app)), std::nullopt);
    QCOMPARE(appendreport(today(app), QStringLiteral("ss cyg|2458124.3958|11.2|na|110|115|1896|na")),
             std::nullopt);
    const QByteArray before = app.read(QStringLiteral("obs/2018-Jan-05.txt"));

    QCOMPARE(appendreport(today(app), QStringLiteral("ss cyg|2458124.4|11.4|na|na|na|1896|na")),
             std::nullopt);
    QCOMPARE(cutreport(today(app), before.size()), std::nullopt);
    QCOMPARE(app.read(QStringLiteral("obs/2018-Jan-05.txt")), before);

    QVERIFY(cutreport(app.file(QStringLiteral("obs/missing.txt")), 0));
}

void TestReportfile::readForTheView()
{
    AppFolder app;
    prepare(app);
    QCOMPARE(beginreport(app.path(), today(app)), std::nullopt);
    QCOMPARE(appendreport(today(app), QString::fromUtf8("ss cyg|2458124.4|11.2|na|na|na|1896|€")),
             std::nullopt);

    const ReportText shown = readreport(today(app));
    QCOMPARE(shown.error, std::nullopt);
    QCOMPARE(shown.text, QString::fromUtf8("#TYPE=Visual\n#OBSCODE=XYZ\n#SOFTWARE=varlume € 1.0\n"
                                           "#DELIM=|\n#DATE=JD\n#OBSTYPE=Visual\n"
                                           "ss cyg|2458124.4|11.2|na|na|na|1896|€\n"));

    const ReportText missing = readreport(app.file(QStringLiteral("obs/missing.txt")));
    QVERIFY(missing.error);
    QVERIFY(missing.text.isEmpty());
}

QTEST_APPLESS_MAIN(TestReportfile)
#include "tst_reportfile.moc"
