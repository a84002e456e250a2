// SPDX-License-Identifier: GPL-2.0-or-later
#include "import/downloadreader.h"

#include "appfiles/codepage.h"
#include "appfiles/filesystem.h"

#include <QByteArrayView>

#include <QCryptographicHash>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace import
{

namespace
{
constexpr qsizetype bufferSize = 4 * download::Reader::longestLine;
constexpr char byteOrderMark[] = "\xEF\xBB\xBF";

bool isContinuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Reads at its own offsets, leaving the reader's place in the file alone;
// a buffer at a time, a few milliseconds of work, between looks at the gate.
template<typename Gate>
QString hashFile(int descriptor, qint64 size, Gate &gate)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::vector<char> buffer(bufferSize);
    for (qint64 at = 0; at < size;) {
        {
            std::unique_lock lock(gate.mutex);
            gate.opened.wait(lock, [&gate] { return !gate.held || gate.stopped; });
            if (gate.stopped)
                return {};
        }
        const ssize_t got =
            ::pread(descriptor, buffer.data(), static_cast<std::size_t>(std::min<qint64>(bufferSize, size - at)), at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return {};
        hash.addData(QByteArrayView(buffer.data(), got));
        at += got;
    }
    return QString::fromLatin1(hash.result().toHex());
}
}

download::Reader::Reader(const QString &path)
    : m_path(path)
    , m_buffer(bufferSize)
{
}

outcome::Done download::Reader::open()
{
    const outcome::Result<appfiles::OpenedFile> opened = appfiles::openRegular(m_path);
    if (!opened)
        return opened.problem();
    if (!m_file.open(opened->descriptor, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(opened->descriptor);
        return outcome::failed(m_file.errorString());
    }
    m_size = opened->size;
    m_hashing = std::async(std::launch::async, hashFile<Gate>, m_file.handle(), m_size, std::ref(m_gate));
    return {};
}

download::Reader::~Reader()
{
    {
        const std::lock_guard lock(m_gate.mutex);
        m_gate.stopped = true;
    }
    m_gate.opened.notify_all();
    if (m_hashing.valid())
        m_hashing.wait();
}

void download::Reader::holdChecksum(bool held)
{
    {
        const std::lock_guard lock(m_gate.mutex);
        m_gate.held = held;
    }
    m_gate.opened.notify_all();
}

QString download::Reader::sha256()
{
    if (!m_sha256 && m_hashing.valid()) {
        holdChecksum(false);
        m_sha256 = m_hashing.get();
    }
    return m_sha256.value_or(QString());
}

std::optional<QString> download::Reader::sha256IfDone()
{
    if (!m_sha256 && m_hashing.valid() && m_hashing.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
        m_sha256 = m_hashing.get();
    return m_sha256;
}

outcome::Problem download::Reader::failure() const
{
    return outcome::failed(m_error);
}

bool download::Reader::isUtf8() const
{
    return m_utf8;
}

qint64 download::Reader::lineNumber() const
{
    return m_lineNumber;
}

qint64 download::Reader::position() const
{
    return m_bufferStart + m_begin;
}

qint64 download::Reader::size() const
{
    return m_size;
}

bool download::Reader::fill()
{
    if (m_atEnd || m_failed)
        return false;
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, static_cast<std::size_t>(m_end - m_begin));
        m_bufferStart += m_begin;
        m_end -= m_begin;
        m_begin = 0;
    }
    const qint64 room = std::min<qint64>(bufferSize - m_end, m_size - (m_bufferStart + m_end));
    if (room <= 0) {
        m_atEnd = m_end < bufferSize;
        return false;
    }
    const qint64 got = m_file.read(m_buffer.data() + m_end, room);
    if (got < 0) {
        m_failed = true;
        m_error = m_file.errorString();
        return false;
    }
    if (got == 0) {
        m_atEnd = true;
        return false;
    }
    m_end += got;
    return true;
}

outcome::Result<bool> download::Reader::checkEncoding(const QDeadlineTimer &deadline)
{
    if (m_checked)
        return true;
    do {
        if (!fill()) {
            // What was held back for more bytes is all there is.
            if (!QByteArrayView(m_buffer.data() + m_begin, m_end - m_begin).isValidUtf8())
                m_utf8 = false;
            m_checked = true;
            break;
        }
        // Checked up to the start of a sequence the buffer may cut; the rest waits for more bytes.
        qsizetype cut = m_end;
        for (int back = 0; back < 3 && cut > m_begin && isContinuation(m_buffer[cut - 1]); ++back)
            --cut;
        if (cut > m_begin && static_cast<unsigned char>(m_buffer[cut - 1]) >= 0xC0)
            --cut;
        else
            cut = m_end;
        if (!QByteArrayView(m_buffer.data() + m_begin, cut - m_begin).isValidUtf8()) {
            m_utf8 = false;
            m_checked = true;
        }
        m_begin = cut;
    } while (!m_checked && !deadline.hasExpired());
    if (m_failed)
        return failure();
    return m_checked;
}

outcome::Done download::Reader::rewind()
{
    if (!m_file.seek(0)) {
        m_failed = true;
        m_error = m_file.errorString();
        return failure();
    }
    m_begin = m_end = 0;
    m_bufferStart = 0;
    m_atEnd = m_failed = false;
    m_lineNumber = 0;
    fill();
    if (m_utf8 && m_end >= 3 && std::memcmp(m_buffer.data(), byteOrderMark, 3) == 0)
        m_begin = 3;
    if (!skipLine() || !skipLine() || m_failed)
        return failure();
    return {};
}

download::Reader::Mark download::Reader::mark() const
{
    return {position(), m_lineNumber};
}

outcome::Done download::Reader::returnTo(const Mark &mark)
{
    m_begin = m_end = 0;
    m_bufferStart = mark.position;
    m_atEnd = false;
    m_lineNumber = mark.lineNumber;
    m_failed = !m_file.seek(mark.position);
    if (!m_failed)
        return {};
    m_error = m_file.errorString();
    return failure();
}

bool download::Reader::skipLine()
{
    bool begun = false;
    for (;;) {
        const char *from = m_buffer.data() + m_begin;
        if (const void *end = std::memchr(from, '\n', static_cast<std::size_t>(m_end - m_begin))) {
            m_begin += static_cast<const char *>(end) - from + 1;
            ++m_lineNumber;
            return true;
        }
        // The skipped lines may be of any length: what is read of them is dropped.
        begun = begun || m_end > m_begin;
        m_begin = m_end;
        if (!fill()) {
            if (begun)
                ++m_lineNumber;
            return !m_failed;
        }
    }
}

outcome::Result<download::Reader::Read> download::Reader::next(QString *line)
{
    for (;;) {
        const char *from = m_buffer.data() + m_begin;
        const auto *end = static_cast<const char *>(std::memchr(from, '\n', static_cast<std::size_t>(m_end - m_begin)));
        if (!end && fill())
            continue;
        if (m_failed)
            return failure();
        if (!end && m_begin == m_end)
            return Read::End;
        qsizetype length = end ? end - from : m_end - m_begin;
        ++m_lineNumber;
        if (length > longestLine + 1 || (!end && m_end - m_begin == bufferSize))
            return Read::TooLong;
        m_begin += length + (end ? 1 : 0);
        if (length > 0 && from[length - 1] == '\r')
            --length;
        if (length > longestLine)
            return Read::TooLong;
        *line = m_utf8 ? QString::fromUtf8(from, length) : appfiles::fromCp1252(QByteArray::fromRawData(from, length));
        return Read::Line;
    }
}

} // namespace import
