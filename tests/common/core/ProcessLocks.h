#pragma once

#include <QFile>
#include <QSet>
#include <QStringList>

#include <sys/stat.h>
#include <unistd.h>

// The locks this process holds on the given files, as the kernel lists them in /proc/locks
// ("OFDLCK ADVISORY READ -1 dev:inode start end", the lock's number left out). A lock on an open
// file description shows no process (-1), so those on the files' inodes count as this process's:
// call it while no other program has the files open.
inline QStringList heldLocks(const QStringList &paths)
{
    QSet<QByteArray> inodes;
    for (const QString &path : paths) {
        struct stat status = {};
        if (::stat(QFile::encodeName(path).constData(), &status) == 0)
            inodes.insert(':' + QByteArray::number(quint64(status.st_ino)));
    }
    QFile table(QStringLiteral("/proc/locks"));
    if (!table.open(QIODevice::ReadOnly))
        return {QStringLiteral("/proc/locks cannot be read")};
    const QByteArray pid = QByteArray::number(::getpid());
    QStringList held;
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 8 || fields.at(1) == "->")
            continue;
        if (fields.at(4) != pid && !(fields.at(1) == "OFDLCK" && fields.at(4) == "-1"))
            continue;
        const QByteArray &file = fields.at(5);
        if (inodes.contains(file.mid(file.lastIndexOf(':'))))
            held.append(QString::fromLatin1(fields.mid(1).join(' ')));
    }
    held.sort();
    return held;
}
