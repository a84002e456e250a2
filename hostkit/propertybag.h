// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <utility>

namespace hostkit
{
// A control's saved design properties: named values, names matched without
// regard to case and kept in lower case, in the order first written.
// Values are integers, doubles, bools, strings, colours (uint, as B*65536 +
// G*256 + R or a system colour with the high bit set), QFont and QPixmap.
class PropertyBag final
{
public:
    QVariant read(const QString &name, const QVariant &defaultValue = {}) const;
    // Stores the value unconditionally.
    void write(const QString &name, const QVariant &value);
    // Stores the value only when it differs from the default; otherwise any
    // stored value is dropped, so the default is what a later read gives.
    void write(const QString &name, const QVariant &value, const QVariant &defaultValue);
    void remove(const QString &name);
    bool contains(const QString &name) const;
    QStringList names() const;
    bool isEmpty() const;

    // One "name = value" per line, each line prefixed by the indent.
    QString toText(const QString &indent = {}) const;
    // An empty bag plus an error text naming the line when the text is not
    // well formed.
    static PropertyBag fromText(const QString &text, QString *error = nullptr);

    // Numbers compare by value whatever their type; fonts and pictures by
    // content.
    static bool sameValue(const QVariant &a, const QVariant &b);

    bool operator==(const PropertyBag &other) const;

private:
    qsizetype indexOf(const QString &name) const;

    QList<std::pair<QString, QVariant>> m_entries;
};
}
