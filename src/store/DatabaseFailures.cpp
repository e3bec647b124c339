// How the connection to the library runs a script and puts its failures into words: a full disk,
// a library busy with another program, a damaged file, one moved away. The connection itself is
// in Database.cpp.

#include "store/Database.h"

#include "store/VmError.h"

#include <QDir>

#include <cerrno>

#include <sqlite3.h>

namespace {

bool isDiskFull(int code, int systemError)
{
    const int primary = code & 0xff;
    return primary == SQLITE_FULL ||
           (primary == SQLITE_IOERR &&
            (systemError == ENOSPC || systemError == EFBIG || systemError == EDQUOT));
}

} // namespace

void Connection::exec(const char *sql)
{
    char *message = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const int systemError = errno;
        QString text = message ? QString::fromUtf8(message) : errorText();
        sqlite3_free(message);
        if (const QString failure = failureText(rc, systemError); failure != errorText())
            text = failure;
        throw VmError(rc, QStringLiteral("Connection"), text);
    }
}

QString Connection::errorText() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)).trimmed() : QString();
}

QString Connection::failureText(int code, int systemError) const
{
    const QString shown = QDir::toNativeSeparators(m_path);
    if (isDiskFull(code, systemError))
        return QStringLiteral("The disk that holds the library file %1 is full, so nothing was changed. "
                              "Make room on it, then try again.")
            .arg(shown);
    // Another program's change (another Vellumar importing) held the library past the busy wait.
    if ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED)
        return QStringLiteral("The library file %1 is in use by another program that is changing it (another "
                              "Vellumar importing, perhaps), and it was not done within 5 seconds, so this "
                              "change was not made. Try again once the other program is done.")
            .arg(shown);
    // Past the proof of the key, a page that does not decrypt is a damaged page.
    if ((code & 0xff) == SQLITE_CORRUPT || (code & 0xff) == SQLITE_NOTADB)
        return QStringLiteral("The library file %1 is damaged (%2). Restore it from a backup: close "
                              "Vellumar, then copy the backup over the damaged file.")
            .arg(shown, errorText());
    return errorText();
}

void Connection::requireUnmoved() const
{
    int moved = 0;
    if (sqlite3_file_control(m_db, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved)
        throw VmError(
            SQLITE_CANTOPEN, QStringLiteral("Transaction"),
            QStringLiteral("The library file %1 has been moved or deleted since Vellumar opened it, so "
                           "nothing was changed. Put it back, or start Vellumar again.")
                .arg(QDir::toNativeSeparators(m_path)));
}
