#include "store/BackgroundCheckpoint.h"

#include "store/Database.h"
#include "store/VmError.h"

#include <sqlite3.h>

#include <system_error>

BackgroundCheckpoint::BackgroundCheckpoint(Connection &db) : m_db(db)
{
    m_own = db.openAgain(Connection::Access::Checkpoint);
    if (!m_own)
        return;
    try {
        if (const qint64 pages = ScopedPragma::valueOf(db, "wal_autocheckpoint"); pages >= 0)
            m_pagesBeforeCheckpoint = int(pages);
        // The log grows long while a batch waits seldom: cut back at each start over, it would
        // grow again on the disk in the very change that this thread is to speed up.
        m_unlimitedLog.emplace(db, "journal_size_limit", -1);
        m_thread = std::thread([this] { run(); });
    } catch (const VmError &) {
        m_own.reset();
        m_unlimitedLog.reset();
        return;
    } catch (const std::system_error &) {
        m_own.reset();
        m_unlimitedLog.reset();
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
    m_unlimitedLog.reset();
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
