#pragma once

#include <QString>
#include <QStringList>

class Connection;

// How a log beside the library is told to be the library's own.
//
// A write-ahead log holds whole pages and nothing that names the state of the file it was written
// against: SQLite replays any log whose frames are sound, and a log from before the library's
// later changes (put back by a sync tool or with a restored backup) silently rolls them back.
// So every process that opens the library to write records its session in the library itself,
// in one small row on one page: a serial number one past the last session's, the tokens of the
// latest sessions, newest first, and the base: the serial the file held when the log that row is
// written to began (a log begins empty once every earlier change is folded into the file). That
// row is written before anything else of the session, so a log holding the session's changes
// holds the row too, and the library seen through the log says where the log starts and which
// sessions it passes through.
//
// A log continues the file when the file's own session (read from the file alone, without the
// log) lies between the log's base and its latest session, with the same token at that serial.
// A file with a later session than the log's has changes the log knows nothing of: the log is
// older than the library (or foreign, when the file's own chain does not pass through the log's
// latest session). A file older than the log's base lacks changes the log builds on, and a
// token that differs at the file's serial is another line of the library (a copy that went its
// own way): the log is foreign. When the file's session is older than the chain remembers,
// the token cannot be compared, and the log is taken as it always was, once it reads as a sound
// library. A base not known for sure is recorded lower, never higher: a crash's log is never
// refused for it.
struct SessionChain
{
    bool present = false; // the library has the row (older libraries do not, until written)
    qint64 serial = 0;
    qint64 base = 0;
    QStringList tokens; // newest first; tokens[0] is the session of `serial`
};

// The chain as the connection sees the library; not present when the row or its table is missing.
SessionChain readSessionChain(Connection &connection);

// Records this process's session as the library's newest, in its own transaction. The first
// connection of a process that may write calls it once.
void recordSession(Connection &connection);

enum class LogVerdict {
    Continues, // the log is the file's own latest changes: replay it
    Older,     // the file has sessions the log lacks: replaying would roll them back
    Foreign,   // the log and the file went separate ways
};

LogVerdict judgeLog(const SessionChain &file, const SessionChain &log);

// True when another process has the library open through SQLite now: its log is then in use,
// whatever it holds. Asks the lock SQLite holds on the -shm file while a connection is open,
// so it must only be called while this process has no connection to the library.
bool libraryInUseElsewhere(const QString &path);

// Renames the library's log to a free name beside it and returns that name; never deletes.
// Holds SQLite's own start-up lock on the -shm while renaming, so no process opens the library
// half way. Raises VmError when another process opened the library meanwhile or the rename fails.
// Only while this process has no connection to the library.
QString setLogAside(const QString &path);

// Messages about the library that are not failures (a log set aside), for the window that
// opened it to show once. Returns them and forgets them.
void addLibraryNotice(const QString &text);
QStringList takeLibraryNotices();
