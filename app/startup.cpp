#include "startup.h"

#include "schema.h"
#include "screens.h"

#include <QFileInfo>
#include <QLabel>

#include <filesystem>
#include <system_error>

namespace
{
QString makeFolder(const QString &path)
{
    std::error_code ec;
    std::filesystem::create_directory(path.toStdString(), ec);
    if (ec)
        return QStringLiteral("The folder \"%1\" could not be created: %2.").arg(path, QString::fromStdString(ec.message()));
    return {};
}
}

QString startup::prepare(const QString &appFolder, const StatusPanels &panels)
{
    QStringList failures;

    if (!QFileInfo::exists(appFolder + QStringLiteral("/header.txt")))
        screens::show(QStringLiteral("frmHeadertext"));

    if (!QFileInfo::exists(store::databasePath(appFolder))) {
        panels.panel1->setText(QStringLiteral("Creating default database..."));
        QString error;
        if (store::createDefault(appFolder, &error))
            panels.panel2->setText(QStringLiteral(" Default Database created"));
        else
            failures.append(error);
    }

    for (const QString &name : {QStringLiteral("starcharts"), QStringLiteral("obs")}) {
        const QString path = appFolder + QLatin1Char('/') + name;
        if (QFileInfo(path).isDir())
            continue;
        const QString error = makeFolder(path);
        if (!error.isEmpty())
            failures.append(error);
    }
    return failures.join(QLatin1Char('\n'));
}
