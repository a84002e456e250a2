// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDeadlineTimer>
#include <QFile>
#include <QString>

#include <vector>

namespace import
{

namespace download
{
// Reads a download file line by line through a buffer of its own, so that
// memory does not grow with the file. A file that is valid UTF-8 (with or
// without a byte-order mark) is read as UTF-8, any other in the reports'
// 8-bit code page; which one is found by checking every byte first.
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
        Failed,
    };

    explicit Reader(const QString &path);

    // False, with error(), when the file cannot be opened for reading.
    bool open();
    QString error() const;

    // Checks the file's bytes for UTF-8 until the deadline; true once every
    // byte is checked (or reading failed, with error()).
    bool checkEncoding(const QDeadlineTimer &deadline);
    bool isUtf8() const;

    // Back to the start, past the two lines the download begins with.
    bool rewind();
    // The next line without its line end (LF or CR LF). A final line end
    // does not make an empty last line.
    Read next(QString *line);
    // The number of the line next() gave last, counting from 1 at the file's first line.
    qint64 lineNumber() const;

    // A place between two lines, to read on from there again.
    struct Mark
    {
        qint64 position = 0;
        qint64 lineNumber = 0;
    };
    Mark mark() const;
    // False, with error(), when the file cannot be read from there.
    bool returnTo(const Mark &mark);

    // Bytes read, of size().
    qint64 position() const;
    qint64 size() const;

private:
    // More bytes behind the unread ones; false at the end of the file or on failure.
    bool fill();
    bool skipLine();

    QFile m_file;
    QString m_error;
    std::vector<char> m_buffer;
    qsizetype m_begin = 0;
    qsizetype m_end = 0;
    qint64 m_bufferStart = 0;
    bool m_atEnd = false;
    bool m_failed = false;
    bool m_checked = false;
    bool m_utf8 = true;
    qint64 m_lineNumber = 0;
};
}

} // namespace import
