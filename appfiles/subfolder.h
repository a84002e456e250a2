// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace appfiles
{
// A folder of the program folder that holds files by their names: the daily
// reports, the chart images, the finder charts.
class Subfolder final
{
public:
    explicit Subfolder(const QString &path);

    QString path() const;
    // The path of the file called name here; nothing when the name is more
    // than a plain file name (pathPart): whatever program wrote it into the
    // database, a name never leads out of its folder.
    std::optional<QString> file(const QString &name) const;

    // What makes a name more than a plain file name: the first "/" or "\\"
    // it holds, or the name itself when it is "." or "..". Nothing for a
    // plain file name.
    static std::optional<QString> pathPart(const QString &name);

private:
    friend class Folder;
    // The one join of a folder and a name, for names the program gives.
    QString at(const QString &name) const;

    QString m_path;
};
}
