#include "exchange/SafeSave.h"

#include "store/Database.h"

#include <QSaveFile>

QString saveWhole(const QString &path, const QByteArray &bytes)
{
    // Put in place of the library, the new file would take the library's place under the
    // connections that have it open.
    if (isOpenLibraryFile(path))
        return QStringLiteral("it is the library file, which Vellumar has open; choose another name.");
    QSaveFile file(path);
    // Unbuffered: a buffered write fails only when commit() flushes, and QSaveFile then renames
    // the short temporary file over the old one as if all had gone well. An uncommitted
    // QSaveFile removes its temporary file when it goes out of scope.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    const qint64 written = file.write(bytes);
    if (written < 0 || file.error() != QFileDevice::NoError)
        return file.errorString();
    if (written != bytes.size()) {
        // The system gave no reason; a full disk is by far the likeliest.
        return QStringLiteral("only %1 of %2 bytes could be written; the disk may be full.")
            .arg(written)
            .arg(bytes.size());
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}
