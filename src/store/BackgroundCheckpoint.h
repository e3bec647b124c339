#pragma once

#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

class Connection;

// While a long change commits batch after batch (an import), moves the write-ahead log into the
// library file on a thread of its own. The engine would otherwise stop the change at every few
// commits to copy the log and wait for the disk; this way the change goes on while the disk
// writes. The log is only moved as far as it is committed, so what is kept after a crash is what
// it would have been. When the thread cannot open the library, the engine's own checkpoints come
// back at the end: nothing is lost but the time.
class BackgroundCheckpoint
{
public:
    explicit BackgroundCheckpoint(Connection &db);
    ~BackgroundCheckpoint();
    BackgroundCheckpoint(const BackgroundCheckpoint &) = delete;
    BackgroundCheckpoint &operator=(const BackgroundCheckpoint &) = delete;

    // A batch was committed: the log has more to move.
    void committed();

private:
    void run(const QString &path);

    Connection &m_db;
    long long m_pagesBeforeCheckpoint = 0; // the connection's own setting, given back at the end
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_pending = false;
    bool m_stop = false;
    std::thread m_thread;
};
