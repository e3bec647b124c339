#pragma once

// SQLite keeps its locks as POSIX record locks, which belong to the process: closing ANY handle
// the process has on a file drops every one of them. A file dialog sniffing the type of the
// library's -shm, a backup plug-in, a drag of the file: each opens and closes it, and another
// program then believes it is alone, rebuilds the shared index and removes the log under this one.
//
// Once this has run, every lock SQLite asks for is taken as an open-file-description lock on one
// description per file that only this code holds, so a stray close elsewhere in the process drops
// nothing. Within the process the locks behave as POSIX ones do: every connection to a file
// shares them, and they go when SQLite closes its last handle on the file. Without such locks
// (an old kernel, no /proc) SQLite keeps its plain POSIX ones.
//
// Runs once per process, before the first connection opens; later calls return at once. True
// when SQLite's locks are now private ones.
bool usePrivateLocks();
