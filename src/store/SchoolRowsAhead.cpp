#include "store/SchoolRowsAhead.h"

#include "store/VmError.h"

#include <sqlite3.h>

#include <system_error>

SchoolRowsAhead::SchoolRowsAhead(Connection &db, const QString &sql, const QStringList &values,
                                 qsizetype rowHint, qsizetype spellRows)
    : m_rows(rowHint, spellRows)
{
    if (!sqlite3_get_autocommit(db.handle()))
        return;
    m_own = db.openAgain(Connection::Access::ReadOnly);
    if (!m_own)
        return;
    try {
        m_statement = std::make_unique<Statement>(*m_own, sql);
        m_statement->bindAll(1, values);
        // Asked every thousand steps of the engine, sorting included, whether the rows are still
        // wanted. Unlike an interrupt, the question cannot come before the read has begun and be
        // lost.
        constexpr int kStepsBetweenQuestions = 1000;
        sqlite3_progress_handler(
            m_own->handle(), kStepsBetweenQuestions,
            [](void *stop) { return static_cast<std::atomic<bool> *>(stop)->load() ? 1 : 0; }, &m_stop);
        m_thread = std::thread([this] {
            try {
                m_rows.read(*m_statement);
            } catch (...) {
                m_failure = std::current_exception();
            }
        });
    } catch (const VmError &) {
        m_statement.reset();
        m_own.reset();
    } catch (const std::system_error &) {
        m_statement.reset();
        m_own.reset();
    }
}

SchoolRowsAhead::~SchoolRowsAhead()
{
    if (!m_thread.joinable())
        return;
    m_stop = true;
    m_thread.join();
}

OptionalTable SchoolRowsAhead::finish(const Table &spells)
{
    m_thread.join();
    if (m_failure)
        std::rethrow_exception(m_failure);
    return m_rows.finish(spells);
}
