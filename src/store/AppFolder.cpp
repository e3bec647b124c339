#include "store/AppFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString &overriddenFolder()
{
    static QString folder;
    return folder;
}
} // namespace

QString appFolder()
{
    if (!overriddenFolder().isEmpty())
        return overriddenFolder();
    const QString home = qEnvironmentVariable("VELLUMAR_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(home);
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Without an application object (a tool or a benchmark) the executable's own link tells.
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
}

void setAppFolder(const QString &folder)
{
    overriddenFolder() = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
}

QString libraryPath()
{
    return appFolder() + QStringLiteral("/Spells.mdb");
}
