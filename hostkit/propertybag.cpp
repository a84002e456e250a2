// SPDX-License-Identifier: GPL-2.0-or-later
#include "hostkit/propertybag.h"

#include "hostkit/bagtext.h"

#include <QFont>
#include <QImage>
#include <QPixmap>

namespace hostkit
{
namespace
{
bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Float:
    case QMetaType::Double: return true;
    default: return false;
    }
}

bool isPicture(const QVariant &value)
{
    return value.typeId() == QMetaType::QPixmap || value.typeId() == QMetaType::QImage;
}

QImage pictureOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QPixmap)
        return value.value<QPixmap>().toImage();
    return value.value<QImage>();
}

// A float is kept as the double its shortest text reads as, so 9.75f and the
// 9.75 read back from the text form are the same value.
QVariant normalised(const QVariant &value)
{
    if (value.typeId() == QMetaType::Float)
        return bagtext::formatValue(value).toDouble();
    return value;
}
}

qsizetype PropertyBag::indexOf(const QString &name) const
{
    const QString key = name.toLower();
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).first == key)
            return i;
    }
    return -1;
}

QVariant PropertyBag::read(const QString &name, const QVariant &defaultValue) const
{
    const qsizetype i = indexOf(name);
    return i < 0 ? defaultValue : m_entries.at(i).second;
}

void PropertyBag::write(const QString &name, const QVariant &value)
{
    const qsizetype i = indexOf(name);
    if (i < 0)
        m_entries.append({name.toLower(), normalised(value)});
    else
        m_entries[i].second = normalised(value);
}

void PropertyBag::write(const QString &name, const QVariant &value, const QVariant &defaultValue)
{
    if (sameValue(value, defaultValue))
        remove(name);
    else
        write(name, value);
}

void PropertyBag::remove(const QString &name)
{
    const qsizetype i = indexOf(name);
    if (i >= 0)
        m_entries.removeAt(i);
}

bool PropertyBag::contains(const QString &name) const
{
    return indexOf(name) >= 0;
}

QStringList PropertyBag::names() const
{
    QStringList result;
    for (const auto &entry : m_entries)
        result.append(entry.first);
    return result;
}

bool PropertyBag::isEmpty() const
{
    return m_entries.isEmpty();
}

QString PropertyBag::toText(const QString &indent) const
{
    QString text;
    for (const auto &[name, value] : m_entries)
        text += indent + name + QLatin1String(" = ") + bagtext::formatValue(value) + u'\n';
    return text;
}

PropertyBag PropertyBag::fromText(const QString &text, QString *error)
{
    PropertyBag bag;
    bagtext::Reader reader(text);
    for (reader.skipBlankLines(); !reader.atEnd(); reader.skipBlankLines()) {
        const QString name = reader.readWord();
        QVariant value;
        QString problem;
        if (name.isEmpty())
            problem = QStringLiteral("line %1: a property name is expected").arg(reader.line());
        else if (!reader.consume(u'='))
            problem = QStringLiteral("line %1: \"=\" is expected after %2").arg(reader.line()).arg(name);
        else if (reader.readValue(value, &problem) && !reader.endLine())
            problem = QStringLiteral("line %1: unexpected text after the value of %2").arg(reader.line()).arg(name);
        if (!problem.isEmpty()) {
            if (error)
                *error = problem;
            return {};
        }
        bag.write(name, value);
    }
    if (error)
        error->clear();
    return bag;
}

bool PropertyBag::sameValue(const QVariant &a, const QVariant &b)
{
    if (isNumber(a) && isNumber(b))
        return normalised(a).toDouble() == normalised(b).toDouble();
    if (isPicture(a) || isPicture(b))
        return isPicture(a) && isPicture(b) && pictureOf(a) == pictureOf(b);
    if (a.typeId() == QMetaType::QFont && b.typeId() == QMetaType::QFont)
        return a.value<QFont>() == b.value<QFont>();
    if (a.isValid() != b.isValid())
        return false;
    return a == b;
}

bool PropertyBag::operator==(const PropertyBag &other) const
{
    if (m_entries.size() != other.m_entries.size())
        return false;
    for (const auto &[name, value] : m_entries) {
        if (!other.contains(name) || !sameValue(value, other.read(name)))
            return false;
    }
    return true;
}
}
