// SPDX-License-Identifier: GPL-2.0-or-later
#include "reports/reportchange.h"

#include "appfiles/boundedread.h"
#include "appfiles/codepage.h"
#include "appfiles/filesystem.h"
#include "reports/ledgermatch.h"
#include "reports/logging.h"
#include "reports/reportcheck.h"
#include "reports/reportlock.h"
#include "store/database.h"
#include "store/importundo.h"
#include "store/schema.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QRegularExpression>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace reports
{

namespace
{
using store::Change;

// As long as a recording waits for others, in all.
constexpr std::chrono::milliseconds changeWait(1000);

// A line of the report's bytes: its text, and where it and its line end lie.
struct RawLine
{
    qsizetype start = 0;
    // The text without "\r\n" or "\n".
    qsizetype length = 0;
    // Past the line end.
    qsizetype end = 0;
};

QList<RawLine> rawLines(const QByteArray &bytes)
{
    QList<RawLine> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        const qsizetype end = newline < 0 ? bytes.size() : newline + 1;
        qsizetype length = (newline < 0 ? bytes.size() : newline) - start;
        if (newline >= 0 && length > 0 && bytes.at(newline - 1) == '\r')
            --length;
        lines.append({start, length, end});
        start = end;
    }
    return lines;
}

QString textOf(const QByteArray &bytes, const RawLine &line)
{
    return appfiles::fromCp1252(bytes.mid(line.start, line.length));
}

bool isDataLine(const QString &line)
{
    return !line.startsWith(u'#') && line.count(u'|') == modReportcheck::fieldCount - 1;
}

// A line's star, date and magnitude (without "<"): what its row is found by.
struct LineKey
{
    QString star;
    QString date;
    QString magnitude;

    explicit LineKey(const QString &line)
        : star(line.section(u'|', 0, 0))
        , date(line.section(u'|', 1, 1))
        , magnitude(line.section(u'|', 2, 2))
    {
        if (magnitude.startsWith(u'<'))
            magnitude.remove(0, 1);
    }
    bool operator==(const LineKey &other) const
    {
        return star.compare(other.star, Qt::CaseInsensitive) == 0 && date == other.date && magnitude == other.magnitude;
    }
};

QString verb(Change::Kind kind)
{
    switch (kind) {
    case Change::Kind::Correction: return QStringLiteral("corrected");
    case Change::Kind::Withdrawal: return QStringLiteral("withdrawn");
    case Change::Kind::Restoration: return QStringLiteral("restored");
    // Undone and restored by the record of imports, never here.
    case Change::Kind::ImportUndone:
    case Change::Kind::ImportRestored: break;
    }
    return {};
}

outcome::Problem notChanged(Change::Kind kind, outcome::Problem problem)
{
    return problem.titled(QStringLiteral("Observation not %1").arg(verb(kind))).as(outcome::Severity::Warning);
}

// The row changed and the change recorded in one transaction; on failure
// nothing of either, and the problem says so.
outcome::Done applyInTransaction(store::Database &db, Change &change, std::chrono::milliseconds wait)
{
    outcome::Done done = db.begin(wait);
    if (done)
        done = store::applyChange(db, change);
    if (done)
        done = db.commit();
    if (done)
        return {};
    static_cast<void>(db.rollback());
    outcome::Problem problem = done.problem();
    if (problem.kind != outcome::Kind::Busy && problem.kind != outcome::Kind::Refused)
        problem = outcome::failed(problem.message);
    problem.message += QStringLiteral(" Nothing was changed.");
    return notChanged(change.kind, problem);
}

// Whether the database keeps the record of changes that every change needs.
outcome::Done recordKept(store::Database &db, const appfiles::Folder &appFolder, Change::Kind kind)
{
    const auto recorded = store::hasChanges(db);
    if (!recorded)
        return notChanged(kind, outcome::failed(recorded.problem().message));
    if (!*recorded)
        return notChanged(kind,
                          outcome::refused(QStringLiteral("The database \"%1\" has no record of changes, which keeps "
                                                          "every change so that nothing recorded is lost; varlume "
                                                          "adds it when it starts, except to a database that holds "
                                                          "more than varlume made. Nothing was changed.")
                                               .arg(QDir::toNativeSeparators(appFolder.database()))));
    return {};
}

QString reportName(const QString &reportPath)
{
    return QFileInfo(reportPath).fileName();
}

// The row the line is, among those that match it: the one chosen, the only
// one, or any of several equal ones; nothing when the line has none.
outcome::Result<std::optional<store::NumberedRow>> rowOf(const QList<store::NumberedRow> &rows,
                                                         const std::optional<qint64> &chosen)
{
    if (chosen) {
        for (const store::NumberedRow &row : rows) {
            if (row.row == *chosen)
                return std::optional<store::NumberedRow>(row);
        }
        return outcome::refused(QStringLiteral("The observation chosen is no longer in the database as the line "
                                               "shows it: it was changed meanwhile. Nothing was changed."));
    }
    if (rows.isEmpty())
        return std::optional<store::NumberedRow>();
    for (const store::NumberedRow &row : rows) {
        const store::ObservationRow &a = row.values;
        const store::ObservationRow &b = rows.constFirst().values;
        if (std::tie(a.star, a.magnitude, a.estimate, a.obsdate, a.obscode, a.notes, a.chart)
            != std::tie(b.star, b.magnitude, b.estimate, b.obsdate, b.obscode, b.notes, b.chart))
            return outcome::refused(QStringLiteral("Several observations in the database match this line: choose "
                                                   "one. Nothing was changed."));
    }
    return std::optional<store::NumberedRow>(rows.constLast());
}
}

namespace detail
{
// The report locked for a writer and read whole. The lock goes with it.
class LockedReport final
{
public:
    explicit LockedReport(QString path)
        : m_path(std::move(path))
    {
    }
    ~LockedReport()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    Q_DISABLE_COPY(LockedReport)

    outcome::Done lock(const QDeadlineTimer &deadline)
    {
        const QByteArray name = QFile::encodeName(m_path);
        // Never a pipe or a device in the report's place, and never a wait to open one.
        const auto opener = [&name] {
            const int descriptor = ::open(name.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
            struct stat status = {};
            if (descriptor >= 0 && (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))) {
                ::close(descriptor);
                errno = EINVAL;
                return -1;
            }
            return descriptor;
        };
        int errnum = 0;
        m_descriptor = lockReport(m_path, opener, LOCK_EX, deadline, &errnum);
        if (errnum == EWOULDBLOCK)
            return outcome::busy(QStringLiteral("The report file \"%1\" is in use by another program, perhaps "
                                                "varlume in another window. Nothing was changed: try again in a "
                                                "moment.")
                                     .arg(QDir::toNativeSeparators(m_path)));
        if (m_descriptor < 0)
            return cannotRead(errnum == ENOENT ? outcome::Kind::NotFound : outcome::Kind::Failed,
                              appfiles::describeError(errnum));
        struct stat status = {};
        if (::fstat(m_descriptor, &status) != 0)
            return cannotRead(outcome::Kind::Failed, appfiles::describeError(errno));
        m_mode = status.st_mode & 07777;
        if (status.st_size > appfiles::largestReport)
            return cannotRead(outcome::Kind::Refused, QStringLiteral("it is larger than a report can be"));
        m_bytes.resize(status.st_size);
        qint64 read = 0;
        while (read < m_bytes.size()) {
            const ssize_t n =
                ::pread(m_descriptor, m_bytes.data() + read, static_cast<size_t>(m_bytes.size() - read), read);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return cannotRead(outcome::Kind::Failed, appfiles::describeError(n < 0 ? errno : EIO));
            read += n;
        }
        return {};
    }

    const QByteArray &bytes() const { return m_bytes; }
    const QString &path() const { return m_path; }

    // The report's new text, flushed beside it: the file to rename over it.
    outcome::Result<QString> writeBeside(const QByteArray &bytes) const
    {
        const appfiles::Written written = appfiles::writeBeside(m_path, bytes);
        // The report keeps the permissions the observer gave it.
        if (!written.path.isEmpty() && m_mode != 0)
            ::chmod(QFile::encodeName(written.path).constData(), m_mode);
        if (written.path.isEmpty())
            return outcome::failed(QStringLiteral("The report file \"%1\" could not be written anew (%2). Nothing "
                                                  "was changed.")
                                       .arg(QDir::toNativeSeparators(m_path), appfiles::describeError(written.error)));
        return written.path;
    }

private:
    outcome::Problem cannotRead(outcome::Kind kind, const QString &reason) const
    {
        outcome::Problem problem =
            outcome::failed(QStringLiteral("The report file \"%1\" cannot be read (%2). Nothing was changed.")
                                .arg(QDir::toNativeSeparators(m_path), reason));
        problem.kind = kind;
        return problem;
    }

    QString m_path;
    int m_descriptor = -1;
    mode_t m_mode = 0;
    QByteArray m_bytes;
};

}

LineInReport findLine(const QByteArray &report, const QString &line)
{
    LineInReport found;
    const LineKey key(line);
    for (const RawLine &raw : rawLines(report)) {
        const QString text = textOf(report, raw);
        if (text == line)
            ++found.copies;
        else if (isDataLine(text) && LineKey(text) == key)
            found.ambiguous = true;
    }
    return found;
}

std::optional<QByteArray> changedReport(const QByteArray &report, const QString &line,
                                        const std::optional<QString> &replacement)
{
    if (line.isEmpty() && replacement) {
        // Added at the end, after a line end of its own when the last line has none.
        const std::optional<QByteArray> bytes = appfiles::toCp1252(*replacement + QStringLiteral("\r\n"));
        if (!bytes)
            return std::nullopt;
        return report + (report.isEmpty() || report.endsWith('\n') ? QByteArray() : QByteArray("\r\n")) + *bytes;
    }
    const QList<RawLine> lines = rawLines(report);
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        const RawLine &raw = lines.at(i);
        if (textOf(report, raw) != line)
            continue;
        if (!replacement)
            return report.left(raw.start) + report.mid(raw.end);
        const std::optional<QByteArray> bytes = appfiles::toCp1252(*replacement);
        if (!bytes)
            return std::nullopt;
        return report.left(raw.start) + *bytes + report.mid(raw.start + raw.length);
    }
    return std::nullopt;
}

outcome::Result<QList<store::NumberedRow>> rowsOfLine(const appfiles::Folder &appFolder, const QString &line)
{
    store::Database db(appFolder, store::Database::Access::ReadOnly);
    const LineKey key(line);
    return store::observationsMatching(db, key.star, key.date, key.magnitude);
}

struct ReportChange::State
{
    appfiles::Folder appFolder;
    ChangeRequest request;
    QDeadlineTimer deadline;
    Step step = Step::Start;
    detail::LockedReport report;
    store::Database db;
    Change change;
    QByteArray changed;
    QString written;

    State(const appfiles::Folder &folder, const QString &path, ChangeRequest changeRequest)
        : appFolder(folder)
        , request(std::move(changeRequest))
        , report(path)
        , db(folder)
    {
    }

    outcome::Done check();
    outcome::Done restore();
    outcome::Done commit();
    outcome::Done replace();
};

outcome::Done ReportChange::State::check()
{
    deadline = QDeadlineTimer(changeWait);
    const Change::Kind kind = request.kind;
    // A change cut short comes first: the line may be part of it.
    if (outcome::Done completed = completePending(appFolder, report.path(), deadline); !completed)
        return notChanged(kind, completed.problem());
    if (outcome::Done locked = report.lock(deadline); !locked)
        return notChanged(kind, locked.problem());
    if (const outcome::Done kept = recordKept(db, appFolder, kind); !kept)
        return kept;

    change.at = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    change.kind = kind;
    change.report = reportName(report.path());
    change.undoes = request.undoes;
    if (kind == Change::Kind::Restoration)
        return restore();

    const LineInReport found = findLine(report.bytes(), request.line);
    if (found.copies == 0)
        return notChanged(kind,
                          outcome::refused(QStringLiteral("The line \"%1\" is no longer in the report: it was "
                                                          "changed in the file meanwhile. Nothing was changed.")
                                               .arg(request.line)));
    if (found.ambiguous)
        return notChanged(kind,
                          outcome::refused(QStringLiteral("Another line of the report has the star, date and "
                                                          "magnitude of \"%1\", so which observation in the "
                                                          "database is this line's cannot be told. Nothing "
                                                          "was changed: mend the report by hand.")
                                               .arg(request.line)));
    const LineKey key(request.line);
    const auto rows = store::observationsMatching(db, key.star, key.date, key.magnitude);
    if (!rows)
        return notChanged(kind, outcome::failed(rows.problem().message));
    if (request.lineOnly && rows->size() >= found.copies)
        return notChanged(kind,
                          outcome::refused(QStringLiteral("The line \"%1\" has its observation in the "
                                                          "database now. Nothing was changed.")
                                               .arg(request.line)));
    const auto row =
        request.lineOnly ? outcome::Result<std::optional<store::NumberedRow>>(std::nullopt) : rowOf(*rows, request.row);
    if (!row)
        return notChanged(kind, row.problem());
    const std::optional<QString> replacement =
        request.replacement ? std::optional<QString>(request.replacement->line) : std::nullopt;
    const std::optional<QByteArray> changedBytes = changedReport(report.bytes(), request.line, replacement);
    if (!changedBytes)
        return notChanged(kind,
                          outcome::refused(QStringLiteral("The new line holds a character the report file's "
                                                          "code page lacks. Nothing was changed.")));
    changed = *changedBytes;
    change.oldLine = request.line;
    change.newLine = replacement.value_or(QString());
    change.copies = found.copies;
    if (*row) {
        change.row = (*row)->row;
        change.oldRow = (*row)->values;
    }
    if (request.replacement)
        change.newRow = request.replacement->row;
    return {};
}

outcome::Done ReportChange::State::restore()
{
    const std::optional<QByteArray> changedBytes = changedReport(report.bytes(), {}, request.replacement->line);
    if (!changedBytes)
        return notChanged(change.kind,
                          outcome::refused(QStringLiteral("The line holds a character the report file's code page "
                                                          "lacks. Nothing was changed.")));
    changed = *changedBytes;
    change.newLine = request.replacement->line;
    change.copies = findLine(report.bytes(), change.newLine).copies;
    if (!request.lineOnly)
        change.newRow = request.replacement->row;
    return {};
}

outcome::Done ReportChange::State::commit()
{
    const auto remaining = std::chrono::milliseconds(std::max<qint64>(0, deadline.remainingTime()));
    const outcome::Done done = applyInTransaction(db, change, remaining);
    if (!done)
        QFile::remove(written);
    return done;
}

outcome::Done ReportChange::State::replace()
{
    if (const int errnum = appfiles::replaceWith(written, report.path()); errnum != 0)
        return notChanged(change.kind,
                          outcome::failed(QStringLiteral("The observation was %1 in the database, but the report "
                                                         "file \"%2\" could not be replaced (%3). varlume completes "
                                                         "the report when it next starts.")
                                              .arg(verb(change.kind), QDir::toNativeSeparators(report.path()),
                                                   appfiles::describeError(errnum))));
    return {};
}

ReportChange::ReportChange(const appfiles::Folder &appFolder, const QString &reportPath, ChangeRequest request)
    : m(std::make_unique<State>(appFolder, reportPath, std::move(request)))
{
}

ReportChange::~ReportChange() = default;

outcome::Done ReportChange::next()
{
    outcome::Done done;
    switch (m->step) {
    case Step::Start: done = m->check(); break;
    case Step::Checked: {
        const outcome::Result<QString> written = m->report.writeBeside(m->changed);
        if (!written)
            return notChanged(m->change.kind, written.problem());
        m->written = *written;
        break;
    }
    case Step::Written: done = m->commit(); break;
    case Step::Committed: done = m->replace(); break;
    case Step::Replaced:
        // Left pending, the report's next writer would find the change in it already.
        if (const outcome::Done marked = store::markDone(m->db, m->change.id); !marked)
            qCWarning(lc).noquote() << "change" << m->change.id << "stays pending:" << marked.problem().message;
        qCInfo(lc).noquote() << QStringLiteral("Line \"%1\" of \"%2\" %3.")
                                    .arg(m->change.oldLine, m->report.path(), verb(m->change.kind));
        break;
    case Step::Done: return {};
    }
    if (done)
        m->step = static_cast<Step>(static_cast<int>(m->step) + 1);
    return done;
}

outcome::Done ReportChange::run()
{
    while (m->step != Step::Done) {
        if (outcome::Done done = next(); !done)
            return done;
    }
    return {};
}

ReportChange::Step ReportChange::step() const
{
    return m->step;
}

const store::Change &ReportChange::change() const
{
    return m->change;
}

outcome::Done completePending(const appfiles::Folder &appFolder, const QString &reportPath,
                              const QDeadlineTimer &deadline)
{
    store::Database db(appFolder);
    const auto recorded = store::hasChanges(db);
    if (!recorded || !*recorded)
        return {};
    const auto pending = store::pendingChanges(db, reportName(reportPath));
    if (!pending)
        return outcome::failed(pending.problem().message);
    if (pending->isEmpty())
        return {};

    detail::LockedReport report(reportPath);
    const outcome::Done locked = report.lock(deadline);
    if (!locked && locked.problem().kind != outcome::Kind::NotFound)
        return locked;
    // Looked at again under the lock: another program may have completed them.
    const auto stillPending = store::pendingChanges(db, reportName(reportPath));
    if (!stillPending)
        return outcome::failed(stillPending.problem().message);
    QByteArray bytes = report.bytes();
    for (const store::Change &change : *stillPending) {
        // A restoration adds a line: done once there is one more of it.
        const bool adds = change.kind == Change::Kind::Restoration;
        const int copies = findLine(bytes, adds ? change.newLine : change.oldLine).copies;
        const std::optional<QString> replacement =
            change.kind == Change::Kind::Withdrawal ? std::nullopt : std::optional<QString>(change.newLine);
        if (locked && copies == change.copies) {
            if (const std::optional<QByteArray> changed = changedReport(bytes, change.oldLine, replacement))
                bytes = *changed;
        } else if (!locked || copies != change.copies + (adds ? 1 : -1)) {
            qCWarning(lc).noquote() << QStringLiteral("Change %1 of \"%2\" left as the report stands: the file "
                                                      "holds %3 of the %4 lines \"%5\" it had.")
                                           .arg(change.id)
                                           .arg(reportPath)
                                           .arg(locked ? copies : 0)
                                           .arg(change.copies)
                                           .arg(change.oldLine);
        }
    }
    if (bytes != report.bytes()) {
        const outcome::Result<QString> written = report.writeBeside(bytes);
        if (!written)
            return written.problem();
        if (const int errnum = appfiles::replaceWith(*written, reportPath); errnum != 0) {
            QFile::remove(*written);
            return outcome::failed(QStringLiteral("The report file \"%1\" could not be completed (%2).")
                                       .arg(QDir::toNativeSeparators(reportPath), appfiles::describeError(errnum)));
        }
    }
    for (const store::Change &change : *stillPending) {
        if (const outcome::Done marked = store::markDone(db, change.id); !marked)
            return outcome::failed(marked.problem().message);
        qCInfo(lc).noquote() << QStringLiteral("Change %1 of \"%2\" completed.").arg(change.id).arg(reportPath);
    }
    return {};
}

outcome::Result<QStringList> completeAllPending(const appfiles::Folder &appFolder)
{
    QStringList reportsLeft;
    {
        store::Database db(appFolder);
        const auto recorded = store::hasChanges(db);
        if (!recorded || !*recorded)
            return QStringList();
        const auto reports = store::reportsPending(db);
        if (!reports)
            return reports.problem();
        reportsLeft = *reports;
    }
    QStringList left;
    for (const QString &name : reportsLeft) {
        const std::optional<QString> path = appFolder.reports().file(name);
        if (!path || !completePending(appFolder, *path, QDeadlineTimer(changeWait))) {
            left.append(name);
            continue;
        }
    }
    return left;
}

namespace
{
QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString rowText(const store::ObservationRow &row)
{
    return QStringList{row.star, row.magnitude, row.estimate, row.obsdate, row.obscode, row.notes, row.chart}.join(
        u'|');
}

// The line as it reads with the row's new values; its comparison stars and
// fainter-than mark stay, the row has none.
QString correctedLine(const QString &line, const store::ObservationRow &row)
{
    QStringList fields = line.split(u'|');
    const bool fainter = fields.value(2).startsWith(u'<');
    fields[0] = row.star;
    fields[1] = row.obsdate;
    fields[2] = (fainter ? QStringLiteral("<") : QString()) + row.magnitude;
    fields[3] = row.obscode;
    fields[6] = row.chart == QLatin1String("na") ? QString() : row.chart;
    fields[7] = row.notes;
    return fields.join(u'|');
}

// A change of the row alone, done at once: no report holds its line.
outcome::Done changeRowOnly(const appfiles::Folder &appFolder, Change &change)
{
    store::Database db(appFolder);
    if (const outcome::Done kept = recordKept(db, appFolder, change.kind); !kept)
        return kept;
    change.at = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    change.pending = false;
    return applyInTransaction(db, change, changeWait);
}

// Where: the report changed, or the folder of reports when none held the line.
QString outcomeText(const Change &change, const QString &where)
{
    if (change.report.isEmpty())
        return QStringLiteral("The observation was %1 in the database. No day's report in \"%2\" holds its line, so "
                              "no report changed.")
            .arg(verb(change.kind), shown(where));
    return QStringLiteral("The observation was %1 in the database and in the report \"%2\".")
        .arg(verb(change.kind), shown(where));
}

outcome::Result<store::ObservationRow> currentRow(const appfiles::Folder &appFolder, qint64 row, Change::Kind kind)
{
    store::Database db(appFolder);
    const auto values = store::observationAt(db, row);
    if (!values)
        return notChanged(kind, outcome::failed(values.problem().message));
    if (!*values)
        return notChanged(kind,
                          outcome::notFound(QStringLiteral("The observation is no longer in the database: "
                                                           "another window or program changed it. Nothing was "
                                                           "changed.")));
    return **values;
}

// A past row's change, through its report when one holds its line.
outcome::Result<QString> changePast(const appfiles::Folder &appFolder, qint64 row, Change::Kind kind,
                                    const std::optional<store::ObservationRow> &values)
{
    const auto old = currentRow(appFolder, row, kind);
    if (!old)
        return old.problem();
    const std::optional<LineOfRow> found = lineOfRow(appFolder, *old);
    if (!found) {
        Change change;
        change.kind = kind;
        change.row = row;
        change.oldRow = *old;
        change.newRow = values;
        if (const outcome::Done done = changeRowOnly(appFolder, change); !done)
            return done.problem();
        return outcomeText(change, appFolder.reports().path());
    }
    std::optional<LineAndRow> replacement;
    if (values)
        replacement = LineAndRow{correctedLine(found->line, *values), *values};
    ReportChange change(appFolder, found->report, {kind, found->line, replacement, row});
    if (const outcome::Done done = change.run(); !done)
        return done.problem();
    return outcomeText(change.change(), found->report);
}
}

std::optional<LineOfRow> lineOfRow(const appfiles::Folder &appFolder, const store::ObservationRow &row)
{
    bool isNumber = false;
    const double jd = row.obsdate.toDouble(&isNumber);
    if (!isNumber || !std::isfinite(jd))
        return std::nullopt;
    // Named for the local day the observation screen was opened: the UT day
    // of the observation or one next to it.
    const QDate day = QDate::fromJulianDay(static_cast<qint64>(std::floor(jd + 0.5)));
    for (const QDate &date : {day, day.addDays(-1), day.addDays(1)}) {
        const QString path = appFolder.report(date);
        if (!QFileInfo(path).isFile())
            continue;
        const outcome::Result<QByteArray> bytes = appfiles::readBounded(path, appfiles::largestReport);
        if (!bytes)
            continue;
        const LineKey wanted(QStringList{row.star, row.obsdate, row.magnitude}.join(u'|'));
        for (const RawLine &raw : rawLines(*bytes)) {
            const QString text = textOf(*bytes, raw);
            if (isDataLine(text) && LineKey(text) == wanted)
                return LineOfRow{path, text};
        }
    }
    return std::nullopt;
}

outcome::Done checkRow(const store::ObservationRow &row, const QDateTime &nowUtc)
{
    const store::Table &table = store::cumobs();
    const QList<std::pair<QLatin1StringView, const QString *>> columns{
        {store::column::star, &row.star},         {store::column::magnitude, &row.magnitude},
        {store::column::estimate, &row.estimate}, {store::column::obsdate, &row.obsdate},
        {store::column::obscode, &row.obscode},   {store::column::notes, &row.notes},
        {store::column::chart, &row.chart}};
    for (const auto &[name, text] : columns) {
        const QString field = QString(name);
        if (text->trimmed().isEmpty())
            return outcome::refused(QStringLiteral("The %1 must not be empty.").arg(field), field);
        if (text->size() > table.length(name))
            return outcome::refused(QStringLiteral("The %1 holds %2 characters, but only %3 can be stored.")
                                        .arg(field)
                                        .arg(text->size())
                                        .arg(table.length(name)),
                                    field);
        if (text->contains(u'|') || !appfiles::toCp1252(*text))
            return outcome::refused(
                QStringLiteral("The %1 holds \"|\" or a character a report cannot hold.").arg(field), field);
    }
    static const QRegularExpression decimal(QStringLiteral("^\\d+\\.\\d+$"));
    if (!decimal.match(row.magnitude).hasMatch())
        return outcome::refused(
            QStringLiteral("The magnitude \"%1\" is no number with a decimal point, such as 11.2.").arg(row.magnitude),
            QString(store::column::magnitude));
    const double latest = nowUtc.date().toJulianDay() + 1.5;
    bool isNumber = false;
    const double jd = row.obsdate.toDouble(&isNumber);
    if (!isNumber
        || !decimal.match(row.obsdate + (row.obsdate.contains(u'.') ? QString() : QStringLiteral(".0"))).hasMatch()
        || jd <= 0 || jd > latest)
        return outcome::refused(QStringLiteral("The date \"%1\" is no Julian Date up to a day from now, such as "
                                               "2458124.3958.")
                                    .arg(row.obsdate),
                                QString(store::column::obsdate));
    return {};
}

outcome::Result<QString> correctRow(const appfiles::Folder &appFolder, qint64 row, const store::ObservationRow &values)
{
    if (const outcome::Done checked = checkRow(values, QDateTime::currentDateTimeUtc()); !checked)
        return notChanged(Change::Kind::Correction, checked.problem());
    return changePast(appFolder, row, Change::Kind::Correction, values);
}

outcome::Result<QString> withdrawRow(const appfiles::Folder &appFolder, qint64 row)
{
    return changePast(appFolder, row, Change::Kind::Withdrawal, std::nullopt);
}

QString aavsoHoldsNotice(const appfiles::Folder &appFolder, const QString &line)
{
    if (!modReportcheck::heldAtAavso(appFolder, line))
        return {};
    return QStringLiteral("\n\nThe AAVSO holds this observation, by the downloads you imported. It keeps it as it "
                          "is until you ask the AAVSO to correct or remove it there; do not send the changed line "
                          "as well, or the observation would count twice.");
}

QString lineOf(const store::ObservationRow &row)
{
    const bool fainter = row.estimate.startsWith(u'<');
    return QStringList{row.star,
                       row.obsdate,
                       (fainter ? QStringLiteral("<") : QString()) + row.magnitude,
                       row.obscode,
                       QStringLiteral("na"),
                       QStringLiteral("na"),
                       row.chart == QLatin1String("na") ? QString() : row.chart,
                       row.notes}
        .join(u'|');
}

namespace
{
outcome::Problem notUndone(outcome::Problem problem)
{
    return problem.titled(QStringLiteral("Nothing undone")).as(outcome::Severity::Warning);
}
}

outcome::Result<Undo> undoOf(const appfiles::Folder &appFolder)
{
    std::optional<Change> last;
    {
        store::Database db(appFolder);
        const auto recorded = store::hasChanges(db);
        if (!recorded)
            return notUndone(outcome::failed(recorded.problem().message));
        const auto found = *recorded ? store::lastUndoable(db) : std::optional<Change>();
        if (!found)
            return notUndone(outcome::failed(found.problem().message));
        last = *found;
    }
    if (!last)
        return notUndone(outcome::notFound(QStringLiteral("There is no correction or withdrawal left to undo.")));
    if (last->kind == Change::Kind::ImportUndone) {
        Undo undo;
        undo.importUndone = last->id;
        return undo;
    }
    if (last->kind == Change::Kind::Correction && !last->oldRow)
        return notUndone(outcome::refused(QStringLiteral("The last change gave a line without its observation a new "
                                                         "one; withdraw the line to take it back.")));

    Undo undo;
    Change &back = undo.rowOnly;
    back.undoes = last->id;
    back.row = last->row;
    back.oldRow = last->newRow;
    back.newRow = last->oldRow;
    back.kind = last->kind == Change::Kind::Withdrawal ? Change::Kind::Restoration : Change::Kind::Correction;
    if (back.kind == Change::Kind::Restoration)
        back.row.reset();
    if (last->report.isEmpty()) {
        if (back.kind == Change::Kind::Correction) {
            const auto now = currentRow(appFolder, *back.row, back.kind);
            if (!now)
                return notUndone(now.problem());
            if (!last->newRow || rowText(*now) != rowText(*last->newRow))
                return notUndone(outcome::refused(QStringLiteral("The observation was changed again since, outside "
                                                                 "this correction. Nothing was undone.")));
        }
        return undo;
    }
    undo.report = appFolder.reports().file(last->report);
    if (!undo.report)
        return notUndone(outcome::refused(QStringLiteral("The change names no report of \"obs\".")));
    ChangeRequest &request = undo.request;
    request = {back.kind, last->newLine, std::nullopt, last->row};
    if (back.kind == Change::Kind::Restoration) {
        request.line.clear();
        request.replacement = LineAndRow{last->oldLine, last->oldRow.value_or(store::ObservationRow())};
        request.row.reset();
        request.lineOnly = !last->oldRow;
    } else {
        request.replacement = LineAndRow{last->oldLine, *last->oldRow};
    }
    request.undoes = last->id;
    return undo;
}

outcome::Result<QString> undoLast(const appfiles::Folder &appFolder)
{
    outcome::Result<Undo> undo = undoOf(appFolder);
    if (!undo)
        return undo.problem();
    if (undo->importUndone) {
        store::Database db(appFolder);
        if (const outcome::Done restored = store::takeBackImportUndo(db, *undo->importUndone); !restored)
            return notUndone(restored.problem());
        return QStringLiteral("Undone: the undo of an import; its observations are back.");
    }
    if (!undo->report) {
        if (const outcome::Done done = changeRowOnly(appFolder, undo->rowOnly); !done)
            return notUndone(done.problem());
        return QStringLiteral("Undone: %1").arg(outcomeText(undo->rowOnly, appFolder.reports().path()));
    }
    ReportChange change(appFolder, *undo->report, undo->request);
    if (const outcome::Done done = change.run(); !done)
        return notUndone(done.problem());
    return QStringLiteral("Undone: %1").arg(outcomeText(change.change(), *undo->report));
}

} // namespace reports
