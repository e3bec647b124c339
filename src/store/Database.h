#pragma once

#include <QString>
#include <QStringList>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// Thin RAII wrappers over SQLCipher. Every failure throws VmError carrying the engine's own
// message, so store operations can turn it into their status text in one place.

// The fixed password of every library file.
extern const char *const kLibraryPassword;

// The journal files (write-ahead log, its index, a rollback journal) beside a path that holds no
// database. A library moved or deleted while a program had it open leaves them, holding its last
// changes; SQLite would replay them into the next database made at that path and corrupt it.
// Raises VmError naming them, with the given source, when there are any.
void requireNoOrphanedJournals(const QString &path, const QString &source);

// True when path is a library file this process has a connection to, or its -wal or -shm. Such a
// file is never read as a spells file nor written over: only SQLite knows what it holds now.
bool isOpenLibraryFile(const QString &path);

class Connection
{
public:
    // Report queries run on a read-only connection, so a layout can never change the library.
    // A connection that only moves the write-ahead log into the file changes no record: it
    // records nothing for undo and leaves the indexes alone.
    enum class Access { ReadWrite, ReadOnly, Checkpoint };

    // Opens an existing library file with the library password. A missing file, a wrong
    // password or a file that is not a library is an error, never a new database.
    explicit Connection(const QString &path, Access access = Access::ReadWrite);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Creates a new, empty encrypted file (refusing an existing one) and opens it.
    static std::unique_ptr<Connection> create(const QString &path);

    sqlite3 *handle() const { return m_db; }
    const QString &path() const { return m_path; }
    void exec(const char *sql);
    QString errorText() const;
    // What a failure of the engine means to the user: a full disk and a damaged file get a
    // message that says what to do; anything else is the engine's own text.
    // systemError is errno as the failing call left it.
    QString failureText(int code, int systemError) const;
    // Raises VmError when the file was moved, deleted or replaced since this connection opened
    // it: changes would go to a file nobody opens again, and be reported as done.
    void requireUnmoved() const;
    // A second connection to the file this one has open, or none when the file at its path is no
    // longer that file or cannot be opened again.
    std::unique_ptr<Connection> openAgain(Access access) const;

private:
    enum class Mode { Open, OpenReadOnly, Checkpoint, Create };
    Connection(const QString &path, Mode mode);
    void openHandle(int flags);
    bool tryKey(const QByteArray &keyPragmas);         // false when the key does not open the file
    bool openKeyed(int flags, const QByteArray &salt); // false when the password does not open it
    void requireOwnLog(const QByteArray &salt);
    [[noreturn]] void fail(int code, const QString &message);
    [[noreturn]] void failOpening(int code);
    void prepareSession();
    void release();

    QString m_path;
    sqlite3 *m_db = nullptr;
    quint64 m_device = 0; // the file's identity while it counts as open in this process
    quint64 m_inode = 0;
    bool m_counted = false;
};

class Statement
{
public:
    Statement(Connection &connection, const char *sql);
    Statement(Connection &connection, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    Statement &bind(int index, const QString &value); // 1-based, as SQLite counts
    Statement &bind(int index, qint64 value);
    Statement &bindNull(int index);
    // Binds the values one after the other from the given index; returns the next free index.
    int bindAll(int firstIndex, const QStringList &values);

    bool step();  // true while a row is available
    void run();   // steps a statement that returns no rows
    void reset(); // ready to run again; bindings stay unless rebound
    int columnCount() const;
    QString columnName(int column) const;
    // Named parameters (":Name") of the statement, 1-based like bind(); unnamed ones are "".
    int parameterCount() const;
    QString parameterName(int index) const;
    QString text(int column) const; // NULL reads as the empty string
    bool isNull(int column) const;
    qint64 integer(int column) const;
    // The raw UTF-8 bytes of a column, valid until the next step.
    QByteArrayView bytes(int column) const;

    // "?,?,?" for n values, to build an IN list of bound values.
    static QString placeholders(qsizetype count);

private:
    void check(int rc, const char *what);

    Connection &m_connection;
    sqlite3_stmt *m_stmt = nullptr;
};

// BEGIN IMMEDIATE on construction, ROLLBACK on destruction unless commit() ran: a store
// operation that throws half way leaves the file as it was.
class Transaction
{
public:
    explicit Transaction(Connection &connection);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Connection &m_connection;
    bool m_open = false;
};

// A connection made at the first statement: a record that never touches the database (a spell
// read from a file) costs nothing.
class LazyConnection
{
public:
    LazyConnection() = default;
    LazyConnection(LazyConnection &&) noexcept = default;
    LazyConnection &operator=(LazyConnection &&) noexcept = default;
    ~LazyConnection();

    Connection &get(); // opens the library of the application folder when not open yet
    bool isOpen() const { return bool(m_connection); }
    void close();

private:
    std::unique_ptr<Connection> m_connection;
};
