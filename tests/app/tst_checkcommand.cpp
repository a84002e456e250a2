// SPDX-License-Identifier: GPL-2.0-or-later
// "varlume --check FILE...", as a script runs it: no display, no window, and
// nothing in the program's folder touched.
#include "appfolder.h"
#include "testkit.h"

#include <QProcess>
#include <QTest>

class tst_checkcommand final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exitStatusAndFindings_data();
    void exitStatusAndFindings();
};

void tst_checkcommand::exitStatusAndFindings_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("printed");
    const QByteArray line = "ss cyg|2458124.1|11.2|na|110|115|1896|na\r\n";
    QTest::newRow("clean") << observerHeader + line << 0 << "upload.txt: no findings, 1 observation\n";
    QTest::newRow("example observer code")
        << defaultHeaderBytes + line << 1 << "upload.txt:2: warning: #OBSCODE \"KTV\": ";
    QTest::newRow("twice") << defaultHeaderBytes + line + line << 2
                           << "upload.txt:8: error: line \"ss cyg, 2458124.1, 11.2\": ";
}

void tst_checkcommand::exitStatusAndFindings()
{
    QFETCH(QByteArray, report);
    QFETCH(int, status);
    QFETCH(QString, printed);
    AppFolder folder;
    QVERIFY(QFile::copy(QStringLiteral(VARLUME_EXE), folder.file(QStringLiteral("varlume"))));
    folder.write(QStringLiteral("upload.txt"), report);

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(folder.path());
    program.start(folder.file(QStringLiteral("varlume")), {QStringLiteral("--check"), QStringLiteral("upload.txt")});
    QVERIFY(program.waitForFinished(20000));
    const QString output = QString::fromUtf8(program.readAllStandardOutput());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == status, qPrintable(output));
    QVERIFY2(output.contains(printed), qPrintable(output));
    QCOMPARE(folder.entries(), (QStringList{QStringLiteral("upload.txt"), QStringLiteral("varlume")}));
}

QTEST_GUILESS_MAIN(tst_checkcommand)
#include "tst_checkcommand.moc"
