// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QString>

#include <condition_variable>
#include <future>
#include <mutex>
#include <optional>
#include <vector>

namespace import
{

namespace download
{
// Reads a download file line by line through a buffer of its own, so that
// memory does not grow with the file. Only a plain file is read, and only
// the bytes it held when it was opened: every pass sees the same lines,
// however the file grows meanwhile. A file that is valid UTF-8 (with or
// without a byte-order mark) is read as UTF-8, any other in the reports'
// 8-bit code page; which one is found by checking every byte first. A
// problem's message is the reason alone, for the caller to word.
class Reader final
{
public:
    // No line of a download comes near this; a longer one is no observation.
    static constexpr qsizetype longestLine = 65536;

    enum class Read {
        Line,
        End,
        // The line is longer than longestLine; the file cannot be read on.
        TooLong,
    };

    explicit Reader(const QString &path);
    ~Reader();
    Q_DISABLE_COPY(Reader)

    // Opens the file for reading; a pipe, a device or a folder is refused
    // without waiting for it. Its SHA-256 is worked out from then on, on a
    // thread of its own beside the reading.
    outcome::Done open();
    // Keeps that thread waiting, or lets it on: held while the caller works
    // against the clock (the import's transactions), the work goes into its
    // pauses and takes no time from it, even on a single core.
    void holdChecksum(bool held);
    // The SHA-256 of the bytes the file held when it was opened, in
    // hexadecimal: waits for it, letting the thread on. Empty when the file
    // could not be read to its end.
    QString sha256();
    // The same once worked out; nothing before.
    std::optional<QString> sha256IfDone();

    // Checks the file's bytes for UTF-8 until the deadline; true once every
    // byte is checked.
    outcome::Result<bool> checkEncoding(const QDeadlineTimer &deadline);
    bool isUtf8() const;

    // Back to the start, past the two lines the download begins with.
    outcome::Done rewind();
    // The next line without its line end (LF or CR LF). A final line end
    // does not make an empty last line.
    outcome::Result<Read> next(QString *line);
    // The number of the line next() gave last, counting from 1 at the file's first line.
    qint64 lineNumber() const;

    // A place between two lines, to read on from there again.
    struct Mark
    {
        qint64 position = 0;
        qint64 lineNumber = 0;
    };
    Mark mark() const;
    // Reads on from the mark.
    outcome::Done returnTo(const Mark &mark);

    // Bytes read, of size().
    qint64 position() const;
    qint64 size() const;

private:
    // More bytes behind the unread ones; false at the end of the file or on failure.
    bool fill();
    bool skipLine();
    // Why reading failed, once it has.
    outcome::Problem failure() const;

    QString m_path;
    QFile m_file;
    // The file's size when it was opened: the end of every pass.
    qint64 m_size = 0;
    bool m_failed = false;
    QString m_error;
    // The bytes read ahead, unread from m_begin to m_end; where the buffer
    // starts in the file.
    std::vector<char> m_buffer;
    qsizetype m_begin = 0;
    qsizetype m_end = 0;
    qint64 m_bufferStart = 0;
    bool m_atEnd = false;
    qint64 m_lineNumber = 0;
    // What checkEncoding() found so far.
    bool m_checked = false;
    bool m_utf8 = true;
    // What the checksum's thread waits on, and the thread's result; after
    // m_file, whose descriptor it reads, so that it ends first.
    struct Gate
    {
        std::mutex mutex;
        std::condition_variable opened;
        bool held = false;
        bool stopped = false;
    };
    Gate m_gate;
    std::future<QString> m_hashing;
    std::optional<QString> m_sha256;
};
}

} // namespace import
