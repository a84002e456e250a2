// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/commandline.h"

#include "observe/reportcheck.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
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

// The findings of each report, for scripts that prepare an upload.
int check(const Invocation &call)
{
    if (call.arguments.isEmpty()) {
        call.err << "usage: varlume --check FILE...\n";
        return 2;
    }
    // The observer's history is in the program's folder, whose database is only read.
    return observe::modReportcheck::checkFiles(call.arguments, QDateTime::currentDateTimeUtc(), call.out,
                                               QCoreApplication::applicationDirPath());
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
                                           "1 for warnings, 2 for errors.")),
         check},
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
