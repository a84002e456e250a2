// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/importparts.h"

#include "store/schema.h"
#include "store/statement.h"

#include <QDateTime>

#include <cmath>
#include <cstring>
#include <optional>

namespace
{
// A magnitude of up to three decimals packs as thousandths; its double is
// the one the division gives back, so the key comes back exactly.
constexpr double magnitudeScale = 1000;
constexpr qint64 largestScaled = qint64(1) << 50;

// Flags below the star's index in a key's first number.
constexpr quint64 notedFlag = 1;
constexpr quint64 fainterFlag = 2;
constexpr quint64 rawMagnitudeFlag = 4;
constexpr int flagBits = 3;

void putNumber(std::string &out, quint64 value)
{
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}

void putSigned(std::string &out, qint64 value)
{
    putNumber(out, (static_cast<quint64>(value) << 1) ^ static_cast<quint64>(value >> 63));
}

// Reads packed bytes forward; failed once it ran past their end.
class Unpacker final
{
public:
    explicit Unpacker(const QByteArray &bytes)
        : m_bytes(bytes)
    {
    }

    bool atEnd() const { return m_at >= m_bytes.size(); }
    bool failed() const { return m_failed; }

    quint64 number()
    {
        quint64 value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (atEnd())
                break;
            const auto byte = static_cast<unsigned char>(m_bytes.at(m_at++));
            value |= static_cast<quint64>(byte & 0x7F) << shift;
            if (byte < 0x80)
                return value;
        }
        m_failed = true;
        return 0;
    }

    qint64 signedNumber()
    {
        const quint64 value = number();
        return static_cast<qint64>(value >> 1) ^ -static_cast<qint64>(value & 1);
    }

    QByteArray bytes(quint64 count)
    {
        if (count > static_cast<quint64>(m_bytes.size() - m_at)) {
            m_failed = true;
            return {};
        }
        const QByteArray part = m_bytes.mid(m_at, static_cast<qsizetype>(count));
        m_at += static_cast<qsizetype>(count);
        return part;
    }

private:
    const QByteArray &m_bytes;
    qsizetype m_at = 0;
    bool m_failed = false;
};
}

void store::RowChecksum::add(qint64 row, std::initializer_list<QStringView> values)
{
    quint64 hash = m_hash;
    const auto mix = [&hash](quint64 value) {
        hash ^= value;
        hash *= 1099511628211ULL;
    };
    mix(static_cast<quint64>(row));
    for (const QStringView value : values) {
        // Its length first, so that texts cannot trade characters unseen;
        // then four units at a time, in an order of their own, not the machine's.
        mix(static_cast<quint64>(value.size()));
        const char16_t *units = value.utf16();
        quint64 word = 0;
        for (qsizetype i = 0; i < value.size(); ++i) {
            word |= static_cast<quint64>(units[i]) << (16 * (i % 4));
            if (i % 4 == 3 || i + 1 == value.size()) {
                mix(word);
                word = 0;
            }
        }
    }
    m_hash = hash;
}

qint64 store::RowChecksum::value() const
{
    return static_cast<qint64>(m_hash);
}

void store::KeyPacker::add(const QString &star, qint64 jd, double magnitude, bool fainterThan, bool noted)
{
    auto known = m_stars.find(star);
    if (known == m_stars.end()) {
        const QByteArray name = star.toUtf8();
        putNumber(m_names, static_cast<quint64>(name.size()));
        m_names.append(name.constData(), static_cast<std::size_t>(name.size()));
        known = m_stars.emplace(star, static_cast<quint64>(m_stars.size())).first;
    }
    const double scaled = std::round(magnitude * magnitudeScale);
    const bool raw = std::abs(scaled) >= static_cast<double>(largestScaled) || scaled / magnitudeScale != magnitude;
    putNumber(m_keys,
              (known->second << flagBits) | (noted ? notedFlag : 0) | (fainterThan ? fainterFlag : 0)
                  | (raw ? rawMagnitudeFlag : 0));
    putSigned(m_keys, jd - m_lastJd);
    m_lastJd = jd;
    if (raw) {
        char bytes[sizeof magnitude];
        std::memcpy(bytes, &magnitude, sizeof magnitude);
        m_keys.append(bytes, sizeof bytes);
    } else {
        putSigned(m_keys, static_cast<qint64>(scaled));
    }
}

bool store::KeyPacker::isEmpty() const
{
    return m_keys.empty();
}

QByteArray store::KeyPacker::packed() const
{
    std::string packed;
    putNumber(packed, static_cast<quint64>(m_stars.size()));
    packed += m_names;
    packed += m_keys;
    return QByteArray(packed.data(), static_cast<qsizetype>(packed.size()));
}

void store::KeyPacker::clear()
{
    m_stars.clear();
    m_names.clear();
    m_keys.clear();
    m_lastJd = 0;
}

bool store::unpackKeys(const QByteArray &packed, const std::function<void(const ReadKey &)> &take)
{
    Unpacker in(packed);
    QStringList stars;
    for (quint64 count = in.number(); !in.failed() && static_cast<quint64>(stars.size()) < count;)
        stars.append(QString::fromUtf8(in.bytes(in.number())));
    ReadKey key;
    while (!in.failed() && !in.atEnd()) {
        const quint64 head = in.number();
        const quint64 star = head >> flagBits;
        if (star >= static_cast<quint64>(stars.size()))
            return false;
        key.star = stars.at(static_cast<qsizetype>(star));
        key.noted = (head & notedFlag) != 0;
        key.fainterThan = (head & fainterFlag) != 0;
        key.jd += in.signedNumber();
        if (head & rawMagnitudeFlag) {
            const QByteArray bytes = in.bytes(sizeof key.magnitude);
            if (!in.failed())
                std::memcpy(&key.magnitude, bytes.constData(), sizeof key.magnitude);
        } else {
            key.magnitude = static_cast<double>(in.signedNumber()) / magnitudeScale;
        }
        if (!in.failed())
            take(key);
    }
    return !in.failed();
}

outcome::Result<bool> store::hasTable(Database &db, QLatin1StringView name)
{
    const auto count = countOf(
        db, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = ?"), {QString(name)});
    if (!count)
        return count.problem();
    return *count > 0;
}

outcome::Result<qint64> store::schemaCookie(Database &db)
{
    return countOf(db, QStringLiteral("PRAGMA schema_version"));
}

outcome::Done store::coverRemaining(Database &db)
{
    using namespace column;
    // What the ledger held before the first import that noted in it.
    auto before = Statement::run(db,
                                 QStringLiteral("SELECT %1, %2 FROM %3 WHERE %1 IS NOT NULL ORDER BY %4 LIMIT 1")
                                     .arg(begunBefore, newestBefore, importsTable, id));
    if (!before)
        return before.problem();
    if (!before->next())
        return {};
    bool begun = before->value(0).toInt() != 0;
    std::optional<qint64> reach;
    if (!before->value(1).isNull())
        reach = before->value(1).toLongLong();
    auto remaining =
        Statement::run(db,
                       QStringLiteral("SELECT COUNT(*), MAX(%1) FROM %2 WHERE %3 IS NOT NULL AND %4 IS NULL")
                           .arg(newest, importsTable, begunBefore, undone));
    if (!remaining)
        return remaining.problem();
    if (remaining->next()) {
        begun = begun || remaining->value(0).toLongLong() > 0;
        if (!remaining->value(1).isNull())
            reach = std::max(reach.value_or(remaining->value(1).toLongLong()), remaining->value(1).toLongLong());
    }
    if (!begun)
        return Statement::write(db, QStringLiteral("DELETE FROM %1").arg(ledgerCoverageTable), {});
    return Statement::write(
        db, QStringLiteral("INSERT OR REPLACE INTO %1 (%2, %3) VALUES (1, ?)").arg(ledgerCoverageTable, id, newest),
        {reach ? QVariant(*reach) : QVariant(QMetaType::fromType<qint64>())});
}

QString store::utcNow()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}
