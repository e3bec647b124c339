#include "store/SessionChain.h"

#include "store/Database.h"
#include "store/VmError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include <sqlite3.h>

namespace {

// Enough sessions to cover a log that several crashed runs wrote in turn, and few enough that
// the row stays far below a page of 1 KiB: a log must carry the row whole.
constexpr int kChainLength = 16;

// SQLite's unix VFS: every connection in WAL mode holds a shared lock on this byte of the -shm
// file while it is open, and the first one takes it exclusively to rebuild the index.
constexpr off_t kShmStartupLockByte = 128;

constexpr int kAutoCheckpointPages = 1000; // the engine's default

// This process's session token, the same for every library it opens.
const QString &sessionToken()
{
    static const QString token = QString::number(QRandomGenerator::system()->generate64(), 16);
    return token;
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

struct ShmFile
{
    explicit ShmFile(const QString &libraryPath)
        : fd(::open(QFile::encodeName(libraryPath + QStringLiteral("-shm")).constData(), O_RDWR | O_CLOEXEC))
    {}
    ~ShmFile()
    {
        if (fd >= 0)
            ::close(fd);
    }
    ShmFile(const ShmFile &) = delete;
    ShmFile &operator=(const ShmFile &) = delete;

    // The start-up byte as a request of the given type would find it; F_UNLCK when free.
    short holder(short type) const
    {
        struct flock lock = {};
        lock.l_type = type;
        lock.l_whence = SEEK_SET;
        lock.l_start = kShmStartupLockByte;
        lock.l_len = 1;
        if (::fcntl(fd, F_GETLK, &lock) != 0)
            return F_WRLCK; // cannot tell: take it as in use
        return lock.l_type;
    }
    bool lockExclusively() const
    {
        struct flock lock = {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = kShmStartupLockByte;
        lock.l_len = 1;
        return ::fcntl(fd, F_SETLK, &lock) == 0;
    }

    int fd;
};

QStringList &notices()
{
    static QStringList pending;
    return pending;
}

} // namespace

SessionChain readSessionChain(Connection &connection)
{
    SessionChain chain;
    {
        Statement table(connection,
                        "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'Session_Chain'");
        if (!table.step())
            return chain;
    }
    Statement row(connection, "SELECT Serial, Base, Tokens FROM Session_Chain WHERE Id = 1");
    if (!row.step())
        return chain;
    chain.present = true;
    chain.serial = row.integer(0);
    chain.base = row.integer(1);
    chain.tokens = row.text(2).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return chain;
}

void recordSession(Connection &connection)
{
    sqlite3 *db = connection.handle();
    // The frames in the log after the commit, and the pages this commit wrote: equal when the
    // commit began a new log.
    int framesInLog = -1;
    sqlite3_wal_hook(
        db,
        [](void *frames, sqlite3 *, const char *, int count) {
            *static_cast<int *>(frames) = count;
            return SQLITE_OK;
        },
        &framesInLog);
    int written = 0;
    int highest = 0;
    sqlite3_db_status(db, SQLITE_DBSTATUS_CACHE_WRITE, &written, &highest, 1);
    SessionChain last;
    try {
        Transaction transaction(connection);
        connection.exec("CREATE TABLE IF NOT EXISTS Session_Chain (Id INTEGER PRIMARY KEY CHECK (Id = 1), "
                        "Serial INTEGER NOT NULL, Base INTEGER NOT NULL, Tokens TEXT NOT NULL);");
        last = readSessionChain(connection);
        QStringList tokens = last.tokens;
        tokens.prepend(sessionToken());
        while (tokens.size() > kChainLength)
            tokens.removeLast();
        // Until known to begin a new log, the session is in the log its predecessor wrote to.
        Statement write(
            connection,
            "INSERT OR REPLACE INTO Session_Chain (Id, Serial, Base, Tokens) VALUES (1, ?, ?, ?)");
        write.bind(1, last.serial + 1).bind(2, last.base).bind(3, tokens.join(QLatin1Char(' '))).run();
        transaction.commit();
        sqlite3_db_status(db, SQLITE_DBSTATUS_CACHE_WRITE, &written, &highest, 0);
    } catch (...) {
        sqlite3_wal_autocheckpoint(db, kAutoCheckpointPages);
        throw;
    }
    sqlite3_wal_autocheckpoint(db, kAutoCheckpointPages); // the engine's own hook again
    if (written > 0 && framesInLog == written && last.base != last.serial) {
        Transaction transaction(connection);
        Statement(connection, "UPDATE Session_Chain SET Base = ? WHERE Id = 1").bind(1, last.serial).run();
        transaction.commit();
    }
}

LogVerdict judgeLog(const SessionChain &file, const SessionChain &log)
{
    if (!file.present)
        return LogVerdict::Continues; // a library never written by a recording session
    if (!log.present)
        return LogVerdict::Older; // the log was written before the file's first recorded session
    if (file.serial > log.serial) {
        // An older state of the same line, when the file's chain passes through the log's session.
        const qint64 ahead = file.serial - log.serial;
        return ahead >= file.tokens.size() || file.tokens.at(ahead) == log.tokens.value(0)
                   ? LogVerdict::Older
                   : LogVerdict::Foreign;
    }
    if (file.serial < log.base)
        return LogVerdict::Foreign;
    const qint64 back = log.serial - file.serial;
    if (back >= log.tokens.size())
        return LogVerdict::Continues; // older than the chain remembers: cannot be told
    return log.tokens.at(back) == file.tokens.value(0) ? LogVerdict::Continues : LogVerdict::Foreign;
}

bool libraryInUseElsewhere(const QString &path)
{
    const ShmFile shm(path);
    // Without its -shm file no connection in WAL mode has the library open.
    return shm.fd >= 0 && shm.holder(F_WRLCK) != F_UNLCK;
}

QString setLogAside(const QString &path)
{
    const QString log = path + QStringLiteral("-wal");
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString aside = QStringLiteral("%1.set-aside-%2").arg(log, stamp);
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = QStringLiteral("%1.set-aside-%2-%3").arg(log, stamp).arg(n);

    // SQLite's start-up lock keeps another process from opening the library while its log goes;
    // when another already has it open, the log is in use and stays.
    const ShmFile shm(path);
    const auto refuse = [&](const QString &why) {
        return VmError(SQLITE_BUSY, QStringLiteral("Connection"),
                       QStringLiteral("The library file %1 was not opened, and nothing was changed: the log "
                                      "%2 beside it does not belong to the library as it is now, and it "
                                      "could not be set aside (%3). Close every program that uses the "
                                      "library, then start Vellumar again.")
                           .arg(nativePath(path), nativePath(log), why));
    };
    if (shm.fd >= 0 && !shm.lockExclusively())
        throw refuse(QStringLiteral("another program opened the library meanwhile"));
    if (std::rename(QFile::encodeName(log).constData(), QFile::encodeName(aside).constData()) != 0)
        throw refuse(QString::fromLocal8Bit(std::strerror(errno)));
    // The -shm stays: the next connection rebuilds it from the (now absent) log.
    return aside;
}

void addLibraryNotice(const QString &text)
{
    notices().append(text);
}

QStringList takeLibraryNotices()
{
    return std::exchange(notices(), {});
}
