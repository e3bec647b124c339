#include "store/AppFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kLibraryName = QStringLiteral("Spells.mdb");

QString &overriddenFolder()
{
    static QString folder;
    return folder;
}

QString ownFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Without an application object (a tool or a benchmark) the executable's own link tells.
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
}

// SQLite writes its journal beside the library, so the folder must take new files too. A
// folder nobody may write is left alone even by root, who could write it anyway.
bool writable(const QFileInfo &info)
{
    constexpr auto anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return info.isWritable() && (info.permissions() & anyWrite);
}

bool holdsWritableLibrary(const QString &folder)
{
    const QFileInfo library(QDir(folder).filePath(kLibraryName));
    return library.isFile() && writable(library) && writable(QFileInfo(folder));
}

QStringList deliveredFileNames(const QString &fromFolder)
{
    // The library goes last: a library present means a finished first start.
    QStringList names = QDir(fromFolder).entryList({QStringLiteral("*.rpt")}, QDir::Files, QDir::Name);
    names << QStringLiteral("Read Me.txt") << kLibraryName;
    return names;
}

} // namespace

QString chooseAppFolder(const QString &variable, const QString &ownFolder, const QString &dataFolder)
{
    if (!variable.isEmpty())
        return QDir::cleanPath(variable);
    if (holdsWritableLibrary(ownFolder))
        return QDir::cleanPath(ownFolder);
    return QDir::cleanPath(dataFolder);
}

QString userDataFolder()
{
    // Without an application name (a tool) the location would be named after the executable.
    if (QCoreApplication::applicationName() == QLatin1String("Vellumar"))
        return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Vellumar");
}

QString deliveredFolder()
{
    return QDir::cleanPath(ownFolder() + QStringLiteral("/../share/vellumar"));
}

QString appFolder()
{
    if (!overriddenFolder().isEmpty())
        return overriddenFolder();
    return chooseAppFolder(qEnvironmentVariable("VELLUMAR_HOME"), ownFolder(), userDataFolder());
}

void setAppFolder(const QString &folder)
{
    overriddenFolder() = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
}

QString provideDeliveredFiles(const QString &dataFolder, const QString &fromFolder)
{
    if (!QDir().mkpath(dataFolder))
        return QStringLiteral("Vellumar cannot create its folder %1.")
            .arg(QDir::toNativeSeparators(dataFolder));
    const QStringList names = deliveredFileNames(fromFolder);
    for (const QString &name : names) {
        const QString target = QDir(dataFolder).filePath(name);
        const QString source = QDir(fromFolder).filePath(name);
        if (QFileInfo::exists(target) || !QFileInfo::exists(source))
            continue;
        // QFile::copy writes a temporary file and renames it, so an interrupted copy never
        // leaves a partial library that a later start would take for the user's own.
        QFile from(source);
        if (!from.copy(target)) {
            return QStringLiteral("Vellumar cannot copy %1 to %2: %3")
                .arg(name, QDir::toNativeSeparators(dataFolder), from.errorString());
        }
        // Files from a read-only installation arrive read-only.
        QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    }
    return {};
}

QString prepareAppFolder()
{
    const QString folder = appFolder();
    if (folder != QDir::cleanPath(userDataFolder()))
        return {};
    return provideDeliveredFiles(folder, deliveredFolder());
}

QString libraryPath()
{
    return QDir(appFolder()).filePath(kLibraryName);
}
