// The connection to the library: the key derived once per file, the file's locks and its log
// proven before anything writes. Failures are put into words in DatabaseFailures.cpp, statements
// and transactions are in Statement.cpp.

#include "store/Database.h"

#include "store/AppFolder.h"
#include "store/PrivateLocks.h"
#include "store/Schema.h"
#include "store/SessionChain.h"
#include "store/Undo.h"
#include "store/VmError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <openssl/evp.h>
#include <sqlite3.h>

const char *const kLibraryPassword = "wyvern4";

namespace {

constexpr int kSaltSize = 16;
constexpr int kKeySize = 32;
constexpr int kKdfIterations = 64000; // SQLCipher 3 default

QString sourceOf(const char *what)
{
    return QString::fromLatin1(what);
}

// Libraries are written with 4 KiB pages: SQLCipher pays a fixed cost per page it decrypts,
// and with its default of 1 KiB a large library reads two to three times slower. Files with the
// default page size (made by a plain SQLCipher tool with just the password) open as well.
constexpr int kPageSize = 4096;
constexpr int kDefaultPageSize = 1024;

struct CachedKey
{
    QByteArray pragma; // PRAGMA key with the raw key
    int pageSize = kPageSize;
};

// Deriving the key from the password costs tens of milliseconds; every later connection to a
// file with the same salt reuses the derived key as a raw key, which opens in a fraction of that.
CachedKey *cachedKey(const QByteArray &salt)
{
    if (salt.size() != kSaltSize)
        return nullptr;

    static QHash<QByteArray, CachedKey> cache;
    auto it = cache.find(salt);
    if (it != cache.end())
        return &it.value();

    unsigned char key[kKeySize];
    const char *password = kLibraryPassword;
    if (PKCS5_PBKDF2_HMAC_SHA1(password, int(qstrlen(password)),
                               reinterpret_cast<const unsigned char *>(salt.constData()), kSaltSize,
                               kKdfIterations, kKeySize, key) != 1)
        return nullptr;
    const QByteArray pragma =
        "PRAGMA key = \"x'" + QByteArray(reinterpret_cast<const char *>(key), kKeySize).toHex() + "'\";";
    return &cache.insert(salt, CachedKey{pragma, kPageSize}).value();
}

QByteArray pageSizePragma(int pageSize)
{
    return "PRAGMA cipher_page_size = " + QByteArray::number(pageSize) + ';';
}

// What stops a library from being opened before SQLite is asked: a file it cannot read, and
// for a connection that writes, a file or folder it cannot write. SQLite would say only
// "unable to open database file", or take an unreadable file for a wrong password, and a
// session on a read-only library leaves read-only journal files that block later starts.
void requireAccess(const QString &path, bool writes, const QString &source)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QByteArray native = QFile::encodeName(path);
    struct stat status = {};
    if (::stat(native.constData(), &status) != 0 || ::access(native.constData(), R_OK) != 0)
        throw VmError(SQLITE_CANTOPEN, source,
                      QStringLiteral("The library file %1 could not be opened: %2")
                          .arg(shown, QString::fromLocal8Bit(std::strerror(errno))));
    if (!S_ISREG(status.st_mode))
        throw VmError(
            SQLITE_CANTOPEN, source,
            QStringLiteral("The library file %1 could not be opened: it is not a file.").arg(shown));
    if (!writes)
        return;
    const QFileInfo info(path);
    if (!info.isWritable())
        throw VmError(
            SQLITE_READONLY, source,
            QStringLiteral("The library file %1 is read-only, and Vellumar must be able to change it. "
                           "Make it writable, or copy it to a folder of your own.")
                .arg(shown));
    const bool journalsThere =
        QFileInfo::exists(path + QStringLiteral("-wal")) && QFileInfo::exists(path + QStringLiteral("-shm"));
    if (!journalsThere && !QFileInfo(info.absolutePath()).isWritable())
        throw VmError(
            SQLITE_READONLY, source,
            QStringLiteral("The folder %1 of the library file is read-only, and Vellumar must be able "
                           "to write its journal files beside the library. Make the folder writable, "
                           "or copy the library to a folder of your own.")
                .arg(QDir::toNativeSeparators(info.absolutePath())));
}

// A file is known by its device and inode, not by its path: a library replaced at the same path
// is another file, and a second path to the same file is the same one.
struct FileIdentity
{
    quint64 device = 0;
    quint64 inode = 0;
    auto operator<=>(const FileIdentity &) const = default;
};

bool identityOf(const QString &path, FileIdentity &identity)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return false;
    identity = {quint64(status.st_dev), quint64(status.st_ino)};
    return true;
}

// The library files this process has connections to, with the salt read before the first.
struct OpenLibrary
{
    QString path;
    QByteArray salt;
    int connections = 0;
    bool upToDate = false; // upgraded by a connection that may write, since the first opened
};

std::map<FileIdentity, OpenLibrary> &openLibraries()
{
    static std::map<FileIdentity, OpenLibrary> libraries;
    return libraries;
}

QMutex &openLibrariesLock()
{
    static QMutex lock;
    return lock;
}

// The salt at the start of the file (fewer bytes when the file is shorter).
QByteArray readSalt(const QString &path, const QString &source)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    QByteArray salt(kSaltSize, '\0');
    const ssize_t read = fd < 0 ? -1 : ::read(fd, salt.data(), kSaltSize);
    const int error = errno;
    if (fd >= 0)
        ::close(fd);
    if (read < 0)
        throw VmError(SQLITE_CANTOPEN, source,
                      QStringLiteral("The library file %1 could not be opened: %2")
                          .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(error))));
    salt.truncate(read);
    return salt;
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString notALibrary(const QString &path)
{
    return QStringLiteral("The library file %1 could not be opened: the password is wrong or the "
                          "file is not a Vellumar library.")
        .arg(QDir::toNativeSeparators(path));
}

} // namespace

void requireNoOrphanedJournals(const QString &path, const QString &source)
{
    if (QFileInfo::exists(path))
        return;
    QStringList names;
    for (const char *suffix : {"-wal", "-shm", "-journal"}) {
        if (QFileInfo::exists(path + QLatin1String(suffix)))
            names.append(QDir::toNativeSeparators(path + QLatin1String(suffix)));
    }
    if (names.isEmpty())
        return;
    throw VmError(
        SQLITE_CANTOPEN, source,
        QStringLiteral("No library can be made at %1: %2 %3 left there by a library that was moved or "
                       "deleted while it was open, and %4 its last changes. Move %5 together with "
                       "that library, or delete %5 if that library is gone.")
            .arg(QDir::toNativeSeparators(path), names.join(QStringLiteral(" and ")),
                 names.size() > 1 ? QStringLiteral("were") : QStringLiteral("was"),
                 names.size() > 1 ? QStringLiteral("hold") : QStringLiteral("holds"),
                 names.size() > 1 ? QStringLiteral("them") : QStringLiteral("it")));
}

Connection::Connection(const QString &path, Access access)
    : Connection(path, access == Access::ReadOnly     ? Mode::OpenReadOnly
                       : access == Access::Checkpoint ? Mode::Checkpoint
                                                      : Mode::Open)
{}

Connection::Connection(const QString &path, Mode mode) : m_path(path)
{
    const QFileInfo info(path);
    if (mode != Mode::Create && !info.exists())
        throw VmError(
            SQLITE_CANTOPEN, sourceOf("Connection"),
            QStringLiteral("The library file %1 could not be found.").arg(QDir::toNativeSeparators(path)));
    if (mode == Mode::Create && info.exists())
        throw VmError(SQLITE_CANTOPEN, sourceOf("Connection"),
                      QStringLiteral("%1 already exists; a new library is never written over a file.")
                          .arg(QDir::toNativeSeparators(path)));

    if (mode == Mode::Create) {
        // A new file: nothing else in the process has it open.
        requireNoOrphanedJournals(path, sourceOf("Connection"));
        openHandle(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (!tryKey(QByteArray("PRAGMA key = '") + kLibraryPassword + "';" + pageSizePragma(kPageSize)))
            fail(SQLITE_NOTADB, notALibrary(path));
        try {
            prepareSession();
        } catch (...) {
            sqlite3_close(m_db);
            m_db = nullptr;
            throw;
        }
        return;
    }

    const bool writes = mode != Mode::OpenReadOnly;
    requireAccess(path, writes, sourceOf("Connection"));
    FileIdentity identity;
    if (!identityOf(path, identity))
        throw VmError(
            SQLITE_CANTOPEN, sourceOf("Connection"),
            QStringLiteral("The library file %1 could not be found.").arg(QDir::toNativeSeparators(path)));
    QByteArray salt;
    bool first = false;
    bool upgrade = false;
    {
        // The salt is read before the first connection and kept while any is open.
        const QMutexLocker lock(&openLibrariesLock());
        OpenLibrary &library = openLibraries()[identity];
        first = library.connections == 0;
        if (first) {
            try {
                library.salt = readSalt(path, sourceOf("Connection"));
            } catch (...) {
                openLibraries().erase(identity);
                throw;
            }
            library.path = path;
        }
        ++library.connections;
        salt = library.salt;
        // A report's read-only connection may come first; the first that writes upgrades.
        upgrade = mode == Mode::Open && !library.upToDate;
    }
    m_device = identity.device;
    m_inode = identity.inode;
    m_counted = true;
    try {
        if (first)
            requireOwnLog(salt);
        if (!openKeyed(writes ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, salt))
            fail(SQLITE_NOTADB, notALibrary(path));
        prepareSession();
        if (upgrade) {
            upgradeLibrary(*this);
            // Unrecorded (a full disk), the session's log is judged as it always was.
            try {
                recordSession(*this);
            } catch (const VmError &) {
            }
            const QMutexLocker lock(&openLibrariesLock());
            openLibraries()[identity].upToDate = true;
        }
    } catch (...) {
        sqlite3_close(m_db);
        m_db = nullptr;
        release();
        throw;
    }
    if (mode == Mode::Open) {
        // The indexes are for speed only: a library that cannot take them (busy, or a table
        // without an indexed column) is used without them.
        try {
            createMissingIndexes(*this);
        } catch (const VmError &) {
        }
        // Every connection that may write records what it changes, for undo.
        try {
            UndoHistory::attach(*this);
        } catch (...) {
            sqlite3_close(m_db);
            m_db = nullptr;
            release();
            throw;
        }
    }
}

bool Connection::openKeyed(int flags, const QByteArray &salt)
{
    CachedKey *key = cachedKey(salt);
    if (!key)
        return false;
    openHandle(flags);
    if (tryKey(key->pragma + pageSizePragma(key->pageSize)))
        return true;
    // Not our page size: perhaps a library written with SQLCipher's default.
    const int other = key->pageSize == kPageSize ? kDefaultPageSize : kPageSize;
    sqlite3_close(m_db);
    m_db = nullptr;
    openHandle(flags);
    if (!tryKey(key->pragma + pageSizePragma(other)))
        return false;
    key->pageSize = other;
    return true;
}

// A log left beside the library by another library, or by this one before its later changes
// (a sync tool, a restored backup), would be written into the file at the first checkpoint: the
// first ruins it, the second silently takes back the later changes. Before the first connection of
// the process, the log is read on a read-only connection, which never writes it into the file, and
// must give a sound library that continues the file's own sessions (see SessionChain.h). One that
// does not is set aside, renamed beside the library, and the library is opened as it is. A log
// another running program writes is its latest changes, whatever it holds, and is left alone.
void Connection::requireOwnLog(const QByteArray &salt)
{
    const QString log = m_path + QStringLiteral("-wal");
    struct stat status = {};
    if (::stat(QFile::encodeName(log).constData(), &status) != 0 || status.st_size == 0 ||
        libraryInUseElsewhere(m_path))
        return;
    bool sound = false;
    SessionChain inLog;
    try {
        if (openKeyed(SQLITE_OPEN_READONLY, salt)) {
            Statement check(*this, "PRAGMA quick_check");
            sound = check.step() && check.text(0) == QLatin1String("ok") && !check.step();
            if (sound)
                inLog = readSessionChain(*this);
        }
    } catch (const VmError &) {
        sound = false;
    }
    sqlite3_close(m_db);
    m_db = nullptr;
    SessionChain inFile;
    if (sound) {
        // The file alone, without its log: an immutable connection never looks at the log. A file
        // that does not read alone is one a crash left half checkpointed, and needs its log.
        // SQLite is given a URI in place of the path for this one connection.
        const QString path = m_path;
        m_path = QString::fromUtf8(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() +
                                   "?immutable=1");
        try {
            if (openKeyed(SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, salt))
                inFile = readSessionChain(*this);
        } catch (const VmError &) {
        }
        m_path = path;
        sqlite3_close(m_db);
        m_db = nullptr;
    }
    const LogVerdict verdict = sound ? judgeLog(inFile, inLog) : LogVerdict::Foreign;
    if (verdict == LogVerdict::Continues)
        return;
    const QString aside = setLogAside(m_path);
    addLibraryNotice(
        QStringLiteral("The log %1 beside the library file %2 was not used: %3. Replaying it would have "
                       "%4, so Vellumar renamed it to %5 and opened the library as it was. Nothing was "
                       "deleted; if you do not miss any change, you may delete %5.")
            .arg(shown(log), shown(m_path),
                 verdict == LogVerdict::Older
                     ? QStringLiteral("it is older than the library (it was put back by a sync tool or "
                                      "with a backup after the library had changed)")
                     : QStringLiteral("it belongs to another library, or to another copy of this one"),
                 verdict == LogVerdict::Older ? QStringLiteral("taken back the library's later changes")
                                              : QStringLiteral("damaged the library"),
                 shown(aside)));
}

void Connection::release()
{
    if (!m_counted)
        return;
    m_counted = false;
    const QMutexLocker lock(&openLibrariesLock());
    const auto it = openLibraries().find(FileIdentity{m_device, m_inode});
    if (it != openLibraries().end() && --it->second.connections <= 0)
        openLibraries().erase(it);
}

void Connection::openHandle(int flags)
{
    // Before SQLite opens a file: a lock it took before would be a process-wide one.
    usePrivateLocks();
    const int rc = sqlite3_open_v2(QFile::encodeName(m_path).constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK)
        failOpening(rc);
    // Set before the key is proven, which reads the file: a library another program is
    // writing is waited for from the first read on.
    if (const int rc = sqlite3_busy_timeout(m_db, 5000); rc != SQLITE_OK)
        fail(rc, errorText());
    if (const int codes = sqlite3_extended_result_codes(m_db, 1); codes != SQLITE_OK)
        failOpening(codes);
}

void Connection::failOpening(int code)
{
    const int systemError = errno;
    if (!m_db)
        fail(code, QStringLiteral("The library file %1 could not be opened: out of memory")
                       .arg(QDir::toNativeSeparators(m_path)));
    const QString engine = errorText();
    const QString failure = failureText(code, systemError);
    fail(code, failure != engine ? failure
                                 : QStringLiteral("The library file %1 could not be opened: %2")
                                       .arg(QDir::toNativeSeparators(m_path), engine));
}

void Connection::fail(int code, const QString &message)
{
    sqlite3_close(m_db);
    m_db = nullptr;
    throw VmError(code, sourceOf("Connection"), message);
}

bool Connection::tryKey(const QByteArray &keyPragmas)
{
    if (const int rc = sqlite3_exec(m_db, keyPragmas.constData(), nullptr, nullptr, nullptr); rc != SQLITE_OK)
        failOpening(rc);
    // The key is only checked when a page is read: prove it before anything else.
    const int rc = sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr);
    if ((rc & 0xff) == SQLITE_NOTADB)
        return false;
    if (rc != SQLITE_OK)
        failOpening(rc);
    return true;
}

void Connection::prepareSession()
{
    // A long change's log is cut back to this size when it starts over, rather than keep the
    // length it grew to until the program closes.
    exec("PRAGMA synchronous = NORMAL; PRAGMA journal_size_limit = 16777216;");
}

std::unique_ptr<Connection> Connection::openAgain(Access access) const
{
    if (!m_counted)
        return nullptr; // a library being made is no one else's yet
    try {
        auto again = std::make_unique<Connection>(m_path, access);
        // Both handles still have the file at the path, after the second one was opened: the
        // path cannot have been given another file in between.
        again->requireUnmoved();
        requireUnmoved();
        if (again->m_device == m_device && again->m_inode == m_inode)
            return again;
    } catch (const VmError &) {
    }
    return nullptr;
}

Connection::~Connection()
{
    UndoHistory::detach(*this);
    sqlite3_close_v2(m_db);
    release();
}

std::unique_ptr<Connection> Connection::create(const QString &path)
{
    std::unique_ptr<Connection> connection(new Connection(path, Mode::Create));
    connection->exec("PRAGMA journal_mode = WAL;");
    return connection;
}

bool isOpenLibraryFile(const QString &path)
{
    FileIdentity identity;
    if (!identityOf(path, identity))
        return false;
    const QMutexLocker lock(&openLibrariesLock());
    for (const auto &[library, open] : openLibraries()) {
        if (library == identity)
            return true;
        for (const char *suffix : {"-wal", "-shm"}) {
            FileIdentity journal;
            if (identityOf(open.path + QLatin1String(suffix), journal) && journal == identity)
                return true;
        }
    }
    return false;
}
