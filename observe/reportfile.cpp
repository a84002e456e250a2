// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/reportfile.h"

#include "appfiles/boundedread.h"
#include "appfiles/codepage.h"
#include "appfiles/filesystem.h"
#include "appfiles/folder.h"
#include "appfiles/headerfile.h"
#include "reports/reportlock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace observe
{

namespace
{
// A view waits a little for a recording under way, not as long as another
// recording would: after that it shows the file as it is.
constexpr std::chrono::milliseconds readerWait(500);

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

// Writes all bytes; the count written before an error stops it.
qint64 writeAll(int descriptor, const QByteArray &bytes, int *errnum)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(descriptor, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *errnum = n < 0 ? errno : ENOSPC;
            break;
        }
        done += n;
    }
    return done;
}

qint64 sizeOf(int descriptor)
{
    struct stat status = {};
    return ::fstat(descriptor, &status) == 0 ? status.st_size : -1;
}

outcome::Problem notWritten(const QString &todaysfile, const QString &reason)
{
    return outcome::failed(
        QStringLiteral("The observation could not be written to the report file \"%1\" (%2). Nothing of it "
                       "was recorded and your entries are kept: press Enter again once this is mended.")
            .arg(native(todaysfile), reason));
}

outcome::Problem cannotBegin(const QString &path, const QString &reason)
{
    return outcome::failed(
        QStringLiteral("Today's report file cannot be made as \"%1\" (%2). Make sure you may write there, "
                       "then open the observing session again.")
            .arg(native(path), reason));
}

// Writes the header into a file of its own beside the report and gives it the
// report's name only when no other program has begun the report meanwhile.
outcome::Done placeHeader(const QString &todaysfile, const QByteArray &bytes)
{
    const appfiles::Written file = appfiles::writeBeside(todaysfile, bytes);
    if (file.path.isEmpty())
        return cannotBegin(todaysfile, appfiles::describeError(file.error));
    int errnum = 0;
    const appfiles::Placed placed = appfiles::placeNew(file.path, todaysfile, &errnum);
    if (placed != appfiles::Placed::Moved)
        QFile::remove(file.path);
    if (placed == appfiles::Placed::Failed)
        return cannotBegin(todaysfile, appfiles::describeError(errnum));
    return {};
}

outcome::Done begin(const appfiles::Folder &folder, const QString &todaysfile)
{
    const QFileInfo existing(todaysfile);
    if (existing.isDir())
        return cannotBegin(todaysfile, appfiles::describeError(EISDIR));
    if (existing.exists()) {
        if (existing.isFile() && existing.isWritable())
            return {};
        return outcome::failed(QStringLiteral("Today's report file \"%1\" exists but cannot be written to (%2). Make "
                                              "it a file you may write to, then open the observing session again.")
                                   .arg(native(todaysfile), appfiles::describeError(EACCES)));
    }

    const outcome::Result<QByteArray> header = appfiles::readHeader(folder);
    if (!header && header.problem().kind == outcome::Kind::NotFound)
        return outcome::notFound(QStringLiteral("There is no report header yet: \"%1\" is missing. The header editor "
                                                "is open: put in your observer code and save your header there. Your "
                                                "observations go into the report from then on.")
                                     .arg(native(folder.header())));
    if (!header && header.problem().kind == outcome::Kind::Failed)
        return outcome::failed(QStringLiteral("The report header \"%1\" cannot be read (%2). Make it readable, "
                                              "then open the observing session again.")
                                   .arg(native(folder.header()), header.problem().message));
    if (!header)
        return outcome::refused(QStringLiteral("The report header \"%1\" cannot begin a report: %2. The header editor "
                                               "is open: save your header there, and observations go into the report "
                                               "from then on.")
                                    .arg(native(folder.header()), header.problem().message));

    const QString reports = existing.absolutePath();
    const QFileInfo reportsFolder(reports);
    if (reportsFolder.exists() && !reportsFolder.isDir())
        return cannotBegin(reports, QStringLiteral("a file of that name is there, not a folder"));
    if (!QDir().mkpath(reports))
        return cannotBegin(reports, QStringLiteral("the folder cannot be created"));
    return placeHeader(todaysfile, *header);
}
}

outcome::Done modEntryscreen::beginReport(const appfiles::Folder &appfolder, const QString &todaysfile)
{
    const outcome::Done begun = begin(appfolder, todaysfile);
    if (begun)
        return begun;
    outcome::Problem problem = begun.problem();
    return problem.titled(QStringLiteral("Report file")).as(outcome::Severity::Warning);
}

modEntryscreen::ReportAppender::ReportAppender(const QString &todaysfile)
    : m_path(todaysfile)
{
}

modEntryscreen::ReportAppender::~ReportAppender()
{
    // Closing lets go of the lock.
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

outcome::Done modEntryscreen::ReportAppender::lock(const QDeadlineTimer &deadline)
{
    const auto opener = [this] { return ::open(encoded(m_path).constData(), O_RDWR | O_APPEND | O_CLOEXEC); };
    int errnum = 0;
    m_descriptor = reports::lockReport(m_path, opener, LOCK_EX, deadline, &errnum);
    if (errnum == EWOULDBLOCK)
        return outcome::busy(QStringLiteral("The report file \"%1\" is in use by another program, perhaps varlume in "
                                            "another window. Nothing was recorded and your entries are kept: try "
                                            "again in a moment.")
                                 .arg(native(m_path)));
    if (m_descriptor < 0)
        return notWritten(m_path, appfiles::describeError(errnum));
    return {};
}

outcome::Done modEntryscreen::ReportAppender::append(const QString &line)
{
    // Measured under the lock: no other recording moves the end meanwhile.
    const qint64 start = sizeOf(m_descriptor);
    if (start < 0)
        return notWritten(m_path, appfiles::describeError(errno));
    // A header saved without a final line end would swallow the first line
    // into its last "#" line, where the report's reader skips it.
    char last = '\n';
    if (start > 0 && ::pread(m_descriptor, &last, 1, start - 1) != 1)
        return notWritten(m_path, appfiles::describeError(errno));
    const QString lineEnd = QStringLiteral("\r\n");
    const std::optional<QByteArray> bytes = appfiles::toCp1252((last == '\n' ? QString() : lineEnd) + line + lineEnd);
    if (!bytes)
        return notWritten(m_path, QStringLiteral("the line holds a character the report file's code page lacks"));

    int errnum = 0;
    const qint64 written = writeAll(m_descriptor, *bytes, &errnum);
    if (written == bytes->size() && ::fdatasync(m_descriptor) == 0) {
        m_start = start;
        m_written = *bytes;
        return {};
    }
    if (errnum == 0)
        errnum = errno;
    if (outcome::Done cutBack = cut(start, bytes->left(written)); !cutBack)
        return cutBack;
    return notWritten(m_path, appfiles::describeError(errnum));
}

outcome::Done modEntryscreen::ReportAppender::takeBack()
{
    if (m_start < 0)
        return {};
    outcome::Done cutBack = cut(m_start, m_written);
    m_start = -1;
    m_written.clear();
    return cutBack;
}

outcome::Done modEntryscreen::ReportAppender::cut(qint64 start, const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    const QString cannotCut = QStringLiteral("The observation's line could not be taken out of the report file "
                                             "\"%1\" again (%2). Delete its last line there before you send it.");
    // Only ever the bytes this recording wrote, and only while they end the file.
    QByteArray tail(bytes.size(), '\0');
    if (sizeOf(m_descriptor) != start + bytes.size()
        || ::pread(m_descriptor, tail.data(), static_cast<size_t>(tail.size()), start) != tail.size() || tail != bytes)
        return outcome::failed(cannotCut.arg(native(m_path), QStringLiteral("it was changed meanwhile")));
    if (::ftruncate(m_descriptor, start) != 0 || ::fdatasync(m_descriptor) != 0)
        return outcome::failed(cannotCut.arg(native(m_path), appfiles::describeError(errno)));
    return {};
}

outcome::Result<modEntryscreen::ReportText> modEntryscreen::readReport(const QString &todaysfile, qint64 from,
                                                                       std::optional<appfiles::FileIdentity> shown)
{
    const auto unreadable = [&](const QString &reason) {
        return outcome::failed(
            QStringLiteral("The report file \"%1\" cannot be shown (%2).").arg(native(todaysfile), reason));
    };
    // A pipe in its place would hold the window up for good.
    QString refusal;
    const auto opener = [&] {
        const outcome::Result<appfiles::OpenedFile> opened = appfiles::openRegular(todaysfile);
        if (opened)
            return opened->descriptor;
        refusal = opened.problem().message;
        errno = 0;
        return -1;
    };
    int errnum = 0;
    // A view that cannot wait shows the file as it is.
    int descriptor = reports::lockReport(todaysfile, opener, LOCK_SH, QDeadlineTimer(readerWait), &errnum);
    if (descriptor < 0 && errnum == EWOULDBLOCK)
        descriptor = opener();
    if (descriptor < 0)
        return unreadable(refusal.isEmpty() ? appfiles::describeError(errnum) : refusal);
    QFile report;
    if (!report.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return unreadable(report.errorString());
    }
    const std::optional<appfiles::FileIdentity> identity = appfiles::identityOf(descriptor);
    const qint64 size = report.size();
    // No day's report comes near it: a larger file is none to hold in memory.
    if (size > appfiles::largestReport)
        return unreadable(appfiles::largerThan(appfiles::largestReport));
    // Another file than the one shown, or a shorter one: all of it.
    const qint64 start = size < from || identity != shown ? 0 : from;
    if (!report.seek(start))
        return unreadable(report.errorString());
    const QByteArray bytes = report.read(size - start);
    QString text = appfiles::fromCp1252(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return ReportText{text, start + bytes.size(), start == 0, identity};
}

} // namespace observe
