// SPDX-License-Identifier: GPL-2.0-or-later
#include "reports/reportchange.h"

#include "appfiles/codepage.h"
#include "appfiles/filesystem.h"
#include "reports/logging.h"
#include "reports/reportcheck.h"
#include "reports/reportlock.h"
#include "store/database.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
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
    return kind == Change::Kind::Correction ? QStringLiteral("corrected") : QStringLiteral("withdrawn");
}

outcome::Problem notChanged(Change::Kind kind, outcome::Problem problem)
{
    return problem
        .titled(kind == Change::Kind::Correction ? QStringLiteral("Observation not corrected")
                                                 : QStringLiteral("Observation not withdrawn"))
        .as(outcome::Severity::Warning);
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
    const auto recorded = store::hasChanges(db);
    if (!recorded)
        return notChanged(kind, outcome::failed(recorded.problem().message));
    if (!*recorded)
        return notChanged(kind,
                          outcome::refused(QStringLiteral("The database \"%1\" has no record of changes, "
                                                          "which keeps every change so that nothing recorded "
                                                          "is lost; varlume adds it when it starts, except to "
                                                          "a database that holds more than varlume made. "
                                                          "Nothing was changed.")
                                               .arg(QDir::toNativeSeparators(appFolder.database()))));

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
    change.at = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    change.kind = kind;
    change.report = reportName(report.path());
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

outcome::Done ReportChange::State::commit()
{
    const auto remaining = std::chrono::milliseconds(std::max<qint64>(0, deadline.remainingTime()));
    outcome::Done done = db.begin(remaining);
    if (done)
        done = store::applyChange(db, change);
    if (done)
        done = db.commit();
    if (done)
        return {};
    static_cast<void>(db.rollback());
    QFile::remove(written);
    outcome::Problem problem = done.problem();
    if (problem.kind != outcome::Kind::Busy && problem.kind != outcome::Kind::Refused)
        problem = outcome::failed(problem.message);
    problem.message += QStringLiteral(" Nothing was changed.");
    return notChanged(change.kind, problem);
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
        const int copies = findLine(bytes, change.oldLine).copies;
        const std::optional<QString> replacement =
            change.kind == Change::Kind::Correction ? std::optional<QString>(change.newLine) : std::nullopt;
        if (locked && copies == change.copies) {
            if (const std::optional<QByteArray> changed = changedReport(bytes, change.oldLine, replacement))
                bytes = *changed;
        } else if (!locked || copies != change.copies - 1) {
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

} // namespace reports
