// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/commandline.h"

#include "appfiles/folder.h"
#include "observe/reportcheck.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace app
{

namespace
{
// What a command has to work with.
struct Invocation
{
    const QCommandLineParser &parser;
    // The arguments that are no options, as the system gave them: a file name
    // not valid in its encoding would not survive the way into text and back.
    QList<QByteArray> arguments;
    QTextStream &out;
    QTextStream &err;
};

struct Command
{
    QCommandLineOption option;
    // Returns the exit status.
    std::function<int(const Invocation &)> run;
};

int help(const Invocation &call)
{
    call.out << call.parser.helpText();
    return 0;
}

int version(const Invocation &call)
{
    call.out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion() << '\n';
    return 0;
}

QCommandLineOption ledgerOption()
{
    return QCommandLineOption(QStringLiteral("ledger"),
                              QStringLiteral("With --check: also print how many lines of each report the AAVSO "
                                             "holds, by the downloads imported, and the lines it does not."));
}

// The findings of each report, for scripts that prepare an upload; without
// a file, of every day's report of the program folder.
int check(const Invocation &call)
{
    const QString appFolder = QCoreApplication::applicationDirPath();
    QList<QByteArray> names = call.arguments;
    if (names.isEmpty()) {
        const QString reports = appfiles::Folder(appFolder).reports();
        for (const QString &report : observe::modReportcheck::reportFiles(reports))
            names.append(QFile::encodeName(report));
        if (names.isEmpty()) {
            call.err << QCoreApplication::applicationName() << ": there is no day's report in \"" << reports
                     << "\" to check.\nusage: varlume --check [--ledger] [FILE...]\n";
            return 2;
        }
    }
    const int status = observe::modReportcheck::checkFiles(names, QDateTime::currentDateTimeUtc(), call.out);
    if (call.parser.isSet(ledgerOption()))
        observe::modReportcheck::printLedgers(names, appFolder, call.out);
    return status;
}

// Given alone, --ledger has nothing to add to.
int ledgerAlone(const Invocation &call)
{
    call.err << QCoreApplication::applicationName() << ": --ledger goes with --check.\n"
             << "usage: varlume --check [--ledger] [FILE...]\n";
    return 2;
}

// Every option of the program, in the order of the help; when several are
// given, the first of them here runs.
QList<Command> commands()
{
    return {
        {QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")), help},
        {QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                            QStringLiteral("Show the program's version.")),
         version},
        {QCommandLineOption(QStringLiteral("check"),
                            QStringLiteral("Check each report FILE as the AAVSO's upload reads it and print what it "
                                           "would refuse or take wrongly; the exit status is 0 when all are clean, "
                                           "1 for warnings, 2 for errors. Without FILE, every day's report of "
                                           "the program's folder.")),
         check},
        {ledgerOption(), ledgerAlone},
    };
}

// The arguments that are no options, found in order among all of them.
QList<QByteArray> givenBytes(int argc, char *argv[], const QStringList &positional)
{
    QList<QByteArray> bytes;
    for (int i = 1; i < argc && bytes.size() < positional.size(); ++i) {
        if (QString::fromLocal8Bit(argv[i]) == positional.at(bytes.size()))
            bytes.append(QByteArray(argv[i]));
    }
    return bytes;
}
}

std::optional<int> runCommand(int argc, char *argv[])
{
    // Parsed before any application object exists: the windows' would want a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const QList<Command> all = commands();
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Records visual estimates of variable stars. Without options it opens its start screen."));
    for (const Command &command : all)
        parser.addOption(command.option);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A day's report, for --check."),
                                 QStringLiteral("[FILE...]"));
    const bool parsed = parser.parse(arguments);
    const auto chosen =
        std::find_if(all.cbegin(), all.cend(), [&parser](const Command &c) { return parser.isSet(c.option); });
    if (parsed && chosen == all.cend() && parser.positionalArguments().isEmpty())
        return std::nullopt;

    const QList<QByteArray> given = givenBytes(argc, argv, parser.positionalArguments());
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!parsed || chosen == all.cend()) {
        err << QCoreApplication::applicationName() << ": "
            << (parsed ? QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().constFirst())
                       : parser.errorText())
            << "\nTry \"" << QCoreApplication::applicationName() << " --help\" for the options.\n";
        return 2;
    }
    return chosen->run(Invocation{parser, given, out, err});
}

} // namespace app
