#pragma once

#include "TestLibrary.h"
#include "store/ListRows.h"
#include "store/VmError.h"

#include <QDir>
#include <QFile>

#include <optional>

// The error an operation raised, or nothing when it raised none.
template<typename Operation>
std::optional<VmError> raisedBy(Operation &&operation)
{
    try {
        operation();
    } catch (const VmError &error) {
        return error;
    }
    return std::nullopt;
}

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QString writeFile(const QString &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "could not write " << path.toStdString();
    return path;
}

inline ListRow selected(const QString &name)
{
    return ListRow{name, {}, true, false};
}

inline ListRow checked(const QString &name, bool isChecked = true)
{
    return ListRow{name, {}, false, isChecked};
}
