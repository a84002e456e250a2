// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <initializer_list>
#include <string>
#include <unordered_map>

// What the record of imports and the undo of an import share: the checksum
// of the rows a transaction added, the keys of the ledger it read, packed,
// and the ledger's coverage as the imports not undone give it.
namespace store
{
class Database;

// Rows with their engine numbers, in the order they were added: a row
// renumbered, changed or put in between changes the sum. FNV-1a over the
// numbers and the texts' UTF-16 units, the same on every machine and in
// every version, for it is kept in the database; it finds accidents, not
// forgeries.
class RowChecksum final
{
public:
    // The row's seven texts in table order.
    void add(qint64 row, std::initializer_list<QStringView> values);
    qint64 value() const;

private:
    quint64 m_hash = 14695981039346656037ULL;
};

// One key of the ledger as an import read it.
struct ReadKey
{
    // As the download writes it.
    QString star;
    // Ten-thousandths of a day.
    qint64 jd = 0;
    double magnitude = 0;
    bool fainterThan = false;
    // The import added it to the ledger; else the ledger held it already.
    bool noted = false;
};

// A transaction's keys in the order read, each star's name once: some five
// bytes a key, for a download comes in date order and its magnitudes have
// few decimals.
class KeyPacker final
{
public:
    void add(const QString &star, qint64 jd, double magnitude, bool fainterThan, bool noted);
    bool isEmpty() const;
    QByteArray packed() const;
    void clear();

private:
    // Its hash kept with each name, so that a look-up compares names only when the hashes agree.
    std::unordered_map<QString, quint64> m_stars;
    std::string m_names;
    std::string m_keys;
    qint64 m_lastJd = 0;
};

// Hands each key of packed to take in the order packed; false when the
// bytes are no packed keys.
bool unpackKeys(const QByteArray &packed, const std::function<void(const ReadKey &)> &take);

// Whether the database has the table, by its exact name.
outcome::Result<bool> hasTable(Database &db, QLatin1StringView name);
// The engine's count of changes to the database's structure, which a
// VACUUM raises as well.
outcome::Result<qint64> schemaCookie(Database &db);
// Within the caller's transaction: the ledger's coverage as it was before
// the first import remembered, moved on by the newest date of each import
// not undone; none when neither began it.
outcome::Done coverRemaining(Database &db);
// Now, in UTC, as the record's ISO 8601 text.
QString utcNow();
}
