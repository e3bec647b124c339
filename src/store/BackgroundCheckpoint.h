#pragma once

#include "store/ScopedPragma.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class Connection;

// While a long change commits batch after batch (an import), moves the write-ahead log into the
// library file on a thread of its own. The engine would otherwise stop the change at every few
// commits to copy the log and wait for the disk; this way the change goes on while the disk
// writes. The log is only moved as far as it is committed, so what is kept after a crash is what
// it would have been. The log starts over only when a batch begins with all of it moved: once it
// has grown past sixteen of the engine's checkpoints (64 MB at its usual setting), the next batch
// waits for the round in hand, so that the log does not hold a whole import (unless a reader
// keeps an old state of the library, which no checkpoint may move past). When the library cannot
// be opened a second time, the engine's own checkpoints stay.
class BackgroundCheckpoint
{
public:
    explicit BackgroundCheckpoint(Connection &db);
    ~BackgroundCheckpoint();
    BackgroundCheckpoint(const BackgroundCheckpoint &) = delete;
    BackgroundCheckpoint &operator=(const BackgroundCheckpoint &) = delete;

    // A batch was committed: the log has more to move.
    void committed();
    // A batch is about to begin.
    void beforeBatch();

private:
    void run();
    static int logGrew(void *self, struct sqlite3 *db, const char *name, int frames);

    Connection &m_db;
    std::unique_ptr<Connection> m_own;  // the thread's, opened and closed on the caller's thread
    int m_pagesBeforeCheckpoint = 1000; // the connection's own settings, given back at the end
    std::optional<ScopedPragma> m_unlimitedLog;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    bool m_pending = false;
    bool m_busy = false;
    bool m_stop = false;
    int m_logFrames = 0; // as the last commit left the log
    std::thread m_thread;
};
