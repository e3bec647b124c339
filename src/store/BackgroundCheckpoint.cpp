#include "store/BackgroundCheckpoint.h"

#include "store/Database.h"
#include "store/VmError.h"

#include <sqlite3.h>

#include <system_error>

BackgroundCheckpoint::BackgroundCheckpoint(Connection &db) : m_db(db)
{
    try {
        db.requireUnmoved(); // the second connection must open the file the first one has
        m_own = std::make_unique<Connection>(db.path(), Connection::Access::Checkpoint);
        Statement current(db, "PRAGMA wal_autocheckpoint");
        if (current.step())
            m_pagesBeforeCheckpoint = int(current.integer(0));
        current.reset();
        m_thread = std::thread([this] { run(); });
    } catch (const VmError &) {
        m_own.reset();
        return;
    } catch (const std::system_error &) {
        m_own.reset();
        return;
    }
    // In place of the engine's own checkpoints: every commit says how long the log is.
    sqlite3_wal_hook(db.handle(), &BackgroundCheckpoint::logGrew, this);
}

int BackgroundCheckpoint::logGrew(void *self, sqlite3 *, const char *, int frames)
{
    auto *checkpoint = static_cast<BackgroundCheckpoint *>(self);
    const std::lock_guard lock(checkpoint->m_lock);
    checkpoint->m_logFrames = frames;
    return SQLITE_OK;
}

BackgroundCheckpoint::~BackgroundCheckpoint()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard lock(m_lock);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
    m_own.reset();
    // Gives the engine its checkpoints back in place of the hook, which must not outlive this
    // object: a direct call, which cannot fail as a statement could.
    sqlite3_wal_autocheckpoint(m_db.handle(), m_pagesBeforeCheckpoint);
}

void BackgroundCheckpoint::committed()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard lock(m_lock);
        m_pending = true;
    }
    m_wake.notify_one();
}

void BackgroundCheckpoint::beforeBatch()
{
    if (!m_thread.joinable())
        return;
    // Every wait stops the change for a whole round, the disk's flush included: a longer log
    // costs disk space for the length of the change, and the waits cost a quarter of its time.
    constexpr int kLongLog = 16;
    std::unique_lock lock(m_lock);
    if (m_logFrames <= kLongLog * m_pagesBeforeCheckpoint)
        return;
    m_idle.wait(lock, [this] { return !m_pending && !m_busy; });
}

void BackgroundCheckpoint::run()
{
    for (;;) {
        {
            std::unique_lock lock(m_lock);
            m_wake.wait(lock, [this] { return m_pending || m_stop; });
            if (m_stop)
                return;
            m_pending = false;
            m_busy = true;
        }
        // A passive checkpoint never waits for the writer: it moves what is committed, and a
        // later one moves the rest. A failure here costs only this round.
        sqlite3_wal_checkpoint_v2(m_own->handle(), nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        {
            const std::lock_guard lock(m_lock);
            m_busy = false;
        }
        m_idle.notify_all();
    }
}
