// SPDX-License-Identifier: GPL-2.0-or-later
#include "appfiles/subfolder.h"

namespace appfiles
{

Subfolder::Subfolder(const QString &path)
    : m_path(path)
{
}

QString Subfolder::path() const
{
    return m_path;
}

std::optional<QString> Subfolder::file(const QString &name) const
{
    if (pathPart(name))
        return std::nullopt;
    return at(name);
}

QString Subfolder::at(const QString &name) const
{
    return m_path + u'/' + name;
}

std::optional<QString> Subfolder::pathPart(const QString &name)
{
    for (const QChar character : name) {
        if (character == u'/' || character == u'\\')
            return QString(character);
    }
    if (name == u"." || name == u"..")
        return name;
    return std::nullopt;
}
}
