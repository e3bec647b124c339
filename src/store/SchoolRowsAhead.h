#pragma once

#include "store/Database.h"
#include "store/SchoolRowsBuilder.h"

#include <QStringList>

#include <atomic>
#include <exception>
#include <memory>
#include <thread>

// Reads the school rows of a large spellbook on a thread and a connection of its own, while the
// caller reads its spells: the two reads take about as long, and a second processor halves the
// wait. The connection is opened, and its statement made, on the caller's thread; the thread
// alone steps it until finish() joins. Nothing starts when the library cannot be opened a second
// time, or when the caller's connection holds changes of its own that a second connection would
// not see.
class SchoolRowsAhead
{
public:
    SchoolRowsAhead(Connection &db, const QString &sql, const QStringList &values, qsizetype rowHint,
                    qsizetype spellRows);
    // Stops the read when finish() never ran: the spells could not be read.
    ~SchoolRowsAhead();
    SchoolRowsAhead(const SchoolRowsAhead &) = delete;
    SchoolRowsAhead &operator=(const SchoolRowsAhead &) = delete;

    bool started() const { return m_thread.joinable(); }
    // Waits for the rows; a failure of the read is raised here.
    OptionalTable finish(const Table &spells);

private:
    std::unique_ptr<Connection> m_own;
    std::unique_ptr<Statement> m_statement;
    SchoolRowsBuilder m_rows;
    std::atomic<bool> m_stop = false; // the spells could not be read: the rows are not wanted
    std::exception_ptr m_failure;
    std::thread m_thread;
};
