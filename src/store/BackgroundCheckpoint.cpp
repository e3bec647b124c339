#include "store/BackgroundCheckpoint.h"

#include "store/Database.h"
#include "store/VmError.h"

#include <sqlite3.h>

#include <memory>

BackgroundCheckpoint::BackgroundCheckpoint(Connection &db) : m_db(db)
{
    Statement current(db, "PRAGMA wal_autocheckpoint");
    m_pagesBeforeCheckpoint = current.step() ? current.integer(0) : 1000;
    current.reset();
    db.exec("PRAGMA wal_autocheckpoint = 0;");
    m_thread = std::thread([this, path = db.path()] { run(path); });
}

BackgroundCheckpoint::~BackgroundCheckpoint()
{
    {
        const std::lock_guard lock(m_lock);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
    try {
        m_db.exec(
            QByteArray("PRAGMA wal_autocheckpoint = " + QByteArray::number(m_pagesBeforeCheckpoint) + ';')
                .constData());
    } catch (const VmError &) {
        // The connection goes on without automatic checkpoints: the log grows until it closes.
    }
}

void BackgroundCheckpoint::committed()
{
    {
        const std::lock_guard lock(m_lock);
        m_pending = true;
    }
    m_wake.notify_one();
}

void BackgroundCheckpoint::run(const QString &path)
{
    std::unique_ptr<Connection> own;
    try {
        own = std::make_unique<Connection>(path, Connection::Access::Checkpoint);
    } catch (...) {
        return; // nothing may leave the thread
    }
    for (;;) {
        {
            std::unique_lock lock(m_lock);
            m_wake.wait(lock, [this] { return m_pending || m_stop; });
            if (m_stop)
                return;
            m_pending = false;
        }
        // A passive checkpoint never waits for the writer: it moves what is committed, and a
        // later one moves the rest. A failure here costs only this round.
        sqlite3_wal_checkpoint_v2(own->handle(), nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    }
}
