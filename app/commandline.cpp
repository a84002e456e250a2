// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/commandline.h"

#include "appfiles/folder.h"
#include "appfiles/folderlock.h"
#include "backup/backups.h"
#include "backup/restore.h"
#include "observe/modentryscreen.h"
#include "reports/reportcheck.h"
#include "reports/sequencerules.h"
#include "store/changes.h"
#include "store/database.h"
#include "store/lookupindexes.h"
#include "tonight/planinput.h"
#include "tonight/plantext.h"
#include "tonight/site.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <optional>

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
    const appfiles::Folder &folder;
};

struct Command
{
    QCommandLineOption option;
    // Returns the exit status.
    std::function<int(const Invocation &)> run;
    // Runs holding the program's folder alone rather than sharing it.
    bool alone = false;
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

// Named only: completing them writes, which a check never does.
void printPending(const appfiles::Folder &appFolder, QTextStream &out)
{
    store::Database db(appFolder, store::Database::Access::ReadOnly);
    const auto recorded = store::hasChanges(db);
    if (!recorded || !*recorded)
        return;
    for (const QString &report : store::reportsPending(db).valueOr({}))
        out << appFolder.reports().file(report).value_or(report)
            << ": a correction or withdrawal of a line is not complete in this file yet; varlume completes it when "
               "it next starts or writes to the report.\n";
}

// The findings of each report, for scripts that prepare an upload; without
// a file, of every day's report of the program folder.
int check(const Invocation &call)
{
    const appfiles::Folder &appFolder = call.folder;
    QList<QByteArray> names = call.arguments;
    if (names.isEmpty()) {
        const QString reports = appFolder.reports().path();
        for (const QString &report : reports::modReportcheck::reportFiles(reports))
            names.append(QFile::encodeName(report));
        if (names.isEmpty()) {
            call.err << QCoreApplication::applicationName() << ": there is no day's report in \"" << reports
                     << "\" to check.\nusage: varlume --check [--ledger] [FILE...]\n";
            return 2;
        }
    }
    // The observer's history is in the program's folder, whose database is only read.
    const int status = reports::modReportcheck::checkFiles(names, QDateTime::currentDateTimeUtc(), call.out, appFolder);
    if (call.parser.isSet(ledgerOption()))
        reports::modReportcheck::printLedgers(names, appFolder, call.out);
    printPending(appFolder, call.out);
    return status;
}

// Given alone, --ledger has nothing to add to.
int ledgerAlone(const Invocation &call)
{
    call.err << QCoreApplication::applicationName() << ": --ledger goes with --check.\n"
             << "usage: varlume --check [--ledger] [FILE...]\n";
    return 2;
}

// A command that cannot do its work says why on the standard error.
int refuse(const Invocation &call, const QString &message)
{
    call.err << QCoreApplication::applicationName() << ": " << message << '\n';
    return 2;
}

// A command whose option takes all it needs refuses further arguments with its usage.
bool noArguments(const Invocation &call, const char *usage)
{
    if (call.arguments.isEmpty())
        return true;
    call.err << "usage: " << usage << '\n';
    return false;
}

// Every change of the record, newest first, as a table for a script.
int history(const Invocation &call)
{
    if (call.arguments.size() > 1) {
        call.err << "usage: varlume --history [STAR]\n";
        return 2;
    }
    const appfiles::Folder &folder = call.folder;
    if (!QFileInfo(folder.database()).isFile())
        return refuse(
            call, QStringLiteral("There is no database \"%1\": start varlume once to make it.").arg(folder.database()));
    store::Database db(folder, store::Database::Access::ReadOnly);
    const auto recorded = store::hasChanges(db);
    if (!recorded)
        return refuse(call, recorded.problem().message);
    const auto changes = *recorded ? store::changesNewestFirst(db) : QList<store::Change>();
    if (!changes)
        return refuse(call, changes.problem().message);
    const QString star = call.arguments.isEmpty() ? QString() : QString::fromLocal8Bit(call.arguments.constFirst());
    const auto rowText = [](const std::optional<store::ObservationRow> &row) {
        return row
            ? QStringList{row->star, row->magnitude, row->estimate, row->obsdate, row->obscode, row->notes, row->chart}
                  .join(u'|')
            : QString();
    };
    call.out << "id\twhen\tkind\tstar\treport\told line\tnew line\told row\tnew row\tstate\tundoes\n";
    for (const store::Change &change : *changes) {
        const std::optional<store::ObservationRow> &row = change.oldRow ? change.oldRow : change.newRow;
        const QString of = row ? row->star : QString(change.oldLine + change.newLine).section(u'|', 0, 0);
        if (!star.isEmpty() && of.compare(star, Qt::CaseInsensitive) != 0)
            continue;
        static const QStringList kinds{QStringLiteral("correction"), QStringLiteral("withdrawal"),
                                       QStringLiteral("restoration"), QStringLiteral("import undone"),
                                       QStringLiteral("import restored")};
        call.out << QStringList{QString::number(change.id),
                                change.at,
                                kinds.at(static_cast<int>(change.kind)),
                                of,
                                change.report,
                                change.oldLine,
                                change.newLine,
                                rowText(change.oldRow),
                                rowText(change.newRow),
                                change.pending ? QStringLiteral("pending") : QStringLiteral("done"),
                                change.undoes ? QString::number(*change.undoes) : QString()}
                        .join(u'\t')
                 << '\n';
    }
    return 0;
}

// Positions and elements from a spreadsheet or an export of the index of
// variable stars into the planner's table, as the Tonight screen reads them.
int positions(const Invocation &call)
{
    if (!noArguments(call, "varlume --positions FILE"))
        return 2;
    const QString path = call.parser.value(QStringLiteral("positions"));
    const auto reading = tonight::readPositionsFile(path);
    if (!reading)
        return refuse(call, QStringLiteral("%1: %2").arg(path, reading.problem().message));
    const appfiles::Folder &folder = call.folder;
    // A database of an earlier version gets the planner's table as the program's start would give it.
    if (store::lookups(folder) == store::Lookups::Missing) {
        if (const auto added = store::addLookups(folder); !added)
            return refuse(call, QStringLiteral("Nothing was stored: %1").arg(added.problem().message));
    }
    store::Database db(folder);
    const auto imported = tonight::importPositions(db, *reading);
    if (!imported) {
        const bool none = imported.problem().kind == outcome::Kind::NotFound;
        return refuse(call,
                      QStringLiteral("Nothing was stored: %1%2")
                          .arg(imported.problem().message,
                               none ? QStringLiteral(" Start varlume once to create the catalogue.") : QString()));
    }
    call.out << path << ": " << imported->text() << '\n';
    if (imported->added + imported->updated == 0)
        return refuse(call, QStringLiteral("%1: nothing was stored.").arg(path));
    const bool whole = imported->refusals.isEmpty() && imported->unknown.isEmpty() && imported->warnings.isEmpty();
    return whole ? 0 : 1;
}

// Photometry tables of the charts kept in the database, for the checks and
// the observation screen.
int sequences(const Invocation &call)
{
    if (call.arguments.isEmpty()) {
        call.err << "usage: varlume --sequence FILE...\n";
        return 2;
    }
    const appfiles::Folder &folder = call.folder;
    if (!QFileInfo(folder.database()).isFile())
        return refuse(
            call, QStringLiteral("There is no database \"%1\": start varlume once to make it.").arg(folder.database()));
    // A database of an earlier version gets the tables as the program's start would give it.
    if (store::lookups(folder) == store::Lookups::Missing) {
        if (const auto added = store::addLookups(folder); !added)
            return refuse(call, QStringLiteral("Nothing was kept: %1").arg(added.problem().message));
    }
    QStringList paths;
    for (const QByteArray &name : call.arguments)
        paths.append(QFile::decodeName(name));
    const reports::SequencesRead read = reports::readSequences(folder, paths, QDateTime::currentDateTimeUtc());
    for (const QString &line : read.lines)
        (read.status == 2 ? call.err : call.out) << line << '\n';
    return read.status;
}

// A checked copy of the database now, into "backups" or the folder named.
int backupNow(const Invocation &call)
{
    if (call.arguments.size() > 1) {
        call.err << "usage: varlume --backup [FOLDER]\n";
        return 2;
    }
    const appfiles::Folder &folder = call.folder;
    if (!QFileInfo(folder.database()).isFile())
        return refuse(call, QStringLiteral("There is no database \"%1\" to back up.").arg(folder.database()));
    const outcome::Result<QString> made = call.arguments.isEmpty()
        ? backup::makeCopy(folder, backup::Reason::Asked)
        : backup::makeCopy(folder, backup::Reason::Asked, QFile::decodeName(call.arguments.constFirst()));
    if (!made)
        return refuse(call, made.problem().message);
    call.out << "Made the backup \"" << *made << "\".\n";
    return 0;
}

QCommandLineOption forceOption()
{
    return QCommandLineOption(QStringLiteral("force"),
                              QStringLiteral("With --restore: restore a copy that lacks observations of the reports "
                                             "all the same."));
}

// The observations of the reports in "obs" that the copy lacks: the lines
// written with no row of the copy to match them. A report that cannot be read
// is named, not counted.
qint64 observationsLacking(const Invocation &call, const appfiles::Folder &copy)
{
    qint64 lacking = 0;
    for (const QString &report : reports::modReportcheck::reportFiles(call.folder.reports().path())) {
        const outcome::Result<QStringList> lines = observe::modEntryscreen::unpairedLines(copy, report);
        if (lines)
            lacking += lines->size();
        else
            call.err << QCoreApplication::applicationName() << ": \"" << report
                     << "\" was not compared with the copy: " << lines.problem().message << '\n';
    }
    return lacking;
}

// Puts a copy in place of the database, once it is found whole and this
// program's, holding no fewer observations than the reports.
int restore(const Invocation &call)
{
    if (!noArguments(call, "varlume --restore FILE [--force]"))
        return 2;
    const QString file = call.parser.value(QStringLiteral("restore"));
    backup::Restore restoring(call.folder, file);
    if (const outcome::Done prepared = restoring.prepare(); !prepared)
        return refuse(call, prepared.problem().message);
    if (const qint64 lacking = observationsLacking(call, restoring.taken()); lacking > 0) {
        const QString lack = QStringLiteral("\"%1\" lacks %2 observation(s) that the reports in \"%3\" hold.")
                                 .arg(file)
                                 .arg(lacking)
                                 .arg(call.folder.reports().path());
        if (!call.parser.isSet(forceOption()))
            return refuse(call,
                          lack
                              + QStringLiteral(" It was not restored; to restore it all the same, add --force "
                                               "(the present database is backed up first)."));
        call.err << QCoreApplication::applicationName() << ": " << lack << " Restored all the same (--force).\n";
    }
    const auto replaced = restoring.replace();
    if (!replaced)
        return refuse(call, replaced.problem().message);
    call.out << "Restored \"" << file << "\" as \"" << call.folder.database() << "\".";
    if (*replaced)
        call.out << " The database it replaced is kept in \"" << **replaced << "\".";
    call.out << '\n';
    return 0;
}

// The moment of --at: UTC or with its offset, never the computer's time zone.
std::optional<QDateTime> momentOf(const QString &text)
{
    const QDateTime moment = QDateTime::fromString(text, Qt::ISODate);
    if (!moment.isValid() || moment.timeSpec() == Qt::LocalTime)
        return std::nullopt;
    return moment.toUTC();
}

// The plan of the night as a table, for a script or a printout.
int tonightPlan(const Invocation &call)
{
    if (!noArguments(call, "varlume --tonight [--at 2026-12-07T21:30Z]"))
        return 2;
    QDateTime moment = QDateTime::currentDateTimeUtc();
    if (call.parser.isSet(QStringLiteral("at"))) {
        const QString at = call.parser.value(QStringLiteral("at"));
        const std::optional<QDateTime> given = momentOf(at);
        if (!given)
            return refuse(call,
                          QStringLiteral("--at \"%1\" is no moment: write it as YYYY-MM-DDTHH:MMZ in UTC "
                                         "(2026-12-07T21:30Z), or with an offset in place of the Z "
                                         "(2026-12-07T22:30+01:00).")
                              .arg(at));
        moment = *given;
    }
    const appfiles::Folder &folder = call.folder;
    const QString siteFile = folder.site();
    if (const auto site = tonight::readSite(siteFile); !site) {
        return refuse(call,
                      site.problem().kind == outcome::Kind::NotFound
                          ? site.problem().message + u'\n' + tonight::siteFileHelp(siteFile)
                          : site.problem().message);
    }
    const auto plan = tonight::planAt(folder, moment);
    if (!plan) {
        // Reading only, the command leaves a database of an earlier version as it is.
        if (store::lookups(folder) == store::Lookups::Missing)
            return refuse(call,
                          QStringLiteral("The database has no table of positions yet: start varlume once, or "
                                         "read positions with --positions FILE, to add it."));
        return refuse(call, plan.problem().message);
    }
    call.out << tonight::planText(plan->plan);
    return 0;
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
        {QCommandLineOption(QStringLiteral("history"),
                            QStringLiteral("Print every correction and withdrawal of an observation, newest first, "
                                           "as a tab-separated table with a header row; with STAR, only that "
                                           "star's. The exit status is 2 without a database.")),
         history},
        {QCommandLineOption(
             QStringLiteral("positions"),
             QStringLiteral("Read the positions and elements of the catalogue's stars from FILE (comma-, "
                            "semicolon- or tab-separated, with a header row) into the Tonight planner and print "
                            "what was added, updated and refused; the exit status is 0 when every line was stored, "
                            "1 when some were refused, not in the catalogue or warned about, 2 when nothing was "
                            "stored."),
             QStringLiteral("FILE")),
         positions},
        {QCommandLineOption(QStringLiteral("sequence"),
                            QStringLiteral("Read each FILE, a chart's photometry table from the AAVSO's chart "
                                           "plotter (its JSON or its older table), and keep its comparison stars "
                                           "for the checks of that chart's estimates; the exit status is 0 when "
                                           "all were read, 1 when stars were refused, 2 when nothing was read.")),
         sequences},
        {QCommandLineOption(QStringLiteral("tonight"),
                            QStringLiteral("Print the plan of the night for now, or for the moment of --at, as a "
                                           "tab-separated table; the exit status is 2 without an observing site.")),
         tonightPlan},
        {QCommandLineOption(QStringLiteral("backup"),
                            QStringLiteral("Make a checked copy of the database, with header.txt and site.ini, now: "
                                           "into the folder backups of the program's folder, or into FOLDER, which "
                                           "must exist and where nothing is removed. The exit status is 0 when it "
                                           "was made, 2 when not, with the reason.")),
         backupNow},
        {QCommandLineOption(
             QStringLiteral("restore"),
             QStringLiteral("Put the copy FILE in place of the database, once it is found to be a whole database "
                            "of varlume's that holds every observation of the reports in obs; the present database "
                            "is backed up first. Refused while another varlume runs in the program's folder. The "
                            "exit status is 0 when it was restored, 2 when not, with the reason."),
             QStringLiteral("FILE")),
         restore, true},
        {forceOption(),
         [](const Invocation &call) {
             return refuse(call, QStringLiteral("--force goes with --restore: varlume --restore FILE --force"));
         }},
        {QCommandLineOption(QStringLiteral("at"),
                            QStringLiteral("With --tonight: plan for this moment, in UTC as 2026-12-07T21:30Z."),
                            QStringLiteral("MOMENT")),
         [](const Invocation &call) {
             return refuse(call, QStringLiteral("--at goes with --tonight: varlume --tonight --at 2026-12-07T21:30Z"));
         }},
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

struct CommandLine::Parsed
{
    QCommandLineParser parser;
    bool ok = false;
    // The index of the command in commands(); none for the windows or an argument alone.
    std::optional<qsizetype> chosen;
    // The arguments that are no options, as bytes.
    QList<QByteArray> given;
};

CommandLine::CommandLine(int argc, char *argv[])
    : m_parsed(std::make_unique<Parsed>())
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const QList<Command> all = commands();
    QCommandLineParser &parser = m_parsed->parser;
    parser.setApplicationDescription(
        QStringLiteral("Records visual estimates of variable stars. Without options it opens its start screen."));
    for (const Command &command : all)
        parser.addOption(command.option);
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral(
            "A day's report, for --check; a photometry table, for --sequence; a star's name, for --history; the "
            "folder of the copy, for --backup."),
        QStringLiteral("[FILE...]"));
    m_parsed->ok = parser.parse(arguments);
    const auto chosen =
        std::find_if(all.cbegin(), all.cend(), [&parser](const Command &c) { return parser.isSet(c.option); });
    if (chosen != all.cend())
        m_parsed->chosen = chosen - all.cbegin();
    m_parsed->given = givenBytes(argc, argv, parser.positionalArguments());
}

CommandLine::~CommandLine() = default;

bool CommandLine::asksForWindows() const
{
    return m_parsed->ok && !m_parsed->chosen && m_parsed->parser.positionalArguments().isEmpty();
}

int CommandLine::run(const appfiles::Folder &folder) const
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QCommandLineParser &parser = m_parsed->parser;
    if (!m_parsed->ok || !m_parsed->chosen) {
        err << QCoreApplication::applicationName() << ": "
            << (m_parsed->ok
                    ? QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().constFirst())
                    : parser.errorText())
            << "\nTry \"" << QCoreApplication::applicationName() << " --help\" for the options.\n";
        return 2;
    }
    const Command command = commands().at(*m_parsed->chosen);
    // Shared with every other varlume of the folder; a restore takes it alone itself.
    std::optional<appfiles::FolderLock> running;
    if (!command.alone) {
        auto shared = appfiles::FolderLock::shared(folder);
        if (shared)
            running.emplace(std::move(*shared));
    }
    return command.run(Invocation{parser, m_parsed->given, out, err, folder});
}

} // namespace app
