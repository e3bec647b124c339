// The library's statements, transactions and lazily opened connections; the connection itself,
// with its key, its locks and its log, is in Database.cpp.

#include "store/Database.h"

#include "store/AppFolder.h"
#include "store/VmError.h"

#include <cerrno>

#include <sqlite3.h>

Statement::Statement(Connection &connection, const char *sql) : m_connection(connection)
{
    check(sqlite3_prepare_v2(connection.handle(), sql, -1, &m_stmt, nullptr), "prepare");
}

Statement::Statement(Connection &connection, const QString &sql)
    : Statement(connection, sql.toUtf8().constData())
{}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::check(int rc, const char *what)
{
    if (rc != SQLITE_OK)
        throw VmError(rc, QString::fromLatin1(what), m_connection.failureText(rc, errno));
}

Statement &Statement::bind(int index, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    check(sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT), "bind");
    return *this;
}

Statement &Statement::bind(int index, qint64 value)
{
    check(sqlite3_bind_int64(m_stmt, index, value), "bind");
    return *this;
}

Statement &Statement::bindNull(int index)
{
    check(sqlite3_bind_null(m_stmt, index), "bind");
    return *this;
}

int Statement::bindAll(int firstIndex, const QStringList &values)
{
    int index = firstIndex;
    for (const QString &value : values)
        bind(index++, value);
    return index;
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString message = m_connection.failureText(rc, errno);
    sqlite3_reset(m_stmt);
    throw VmError(rc, QStringLiteral("step"), message);
}

void Statement::run()
{
    while (step()) {
    }
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

int Statement::parameterCount() const
{
    return sqlite3_bind_parameter_count(m_stmt);
}

QString Statement::parameterName(int index) const
{
    const char *name = sqlite3_bind_parameter_name(m_stmt, index);
    return name ? QString::fromUtf8(name) : QString();
}

QByteArrayView Statement::bytes(int column) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return data ? QByteArrayView(data, sqlite3_column_bytes(m_stmt, column)) : QByteArrayView();
}

QString Statement::text(int column) const
{
    const QByteArrayView raw = bytes(column);
    return raw.isEmpty() ? QString() : QString::fromUtf8(raw);
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QString Statement::placeholders(qsizetype count)
{
    QString result;
    result.reserve(count * 2);
    for (qsizetype i = 0; i < count; ++i)
        result += i ? QStringLiteral(",?") : QStringLiteral("?");
    return result;
}

// --- Transaction ----------------------------------------------------------------------------

Transaction::Transaction(Connection &connection) : m_connection(connection)
{
    m_connection.requireUnmoved();
    m_connection.exec("BEGIN IMMEDIATE;");
    m_open = true;
}

Transaction::~Transaction()
{
    if (m_open)
        sqlite3_exec(m_connection.handle(), "ROLLBACK;", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    m_connection.exec("COMMIT;");
    m_open = false;
}

// --- LazyConnection -------------------------------------------------------------------------

LazyConnection::~LazyConnection() = default;

Connection &LazyConnection::get()
{
    if (!m_connection)
        m_connection = std::make_unique<Connection>(libraryPath());
    return *m_connection;
}

void LazyConnection::close()
{
    m_connection.reset();
}
