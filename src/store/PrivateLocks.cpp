// SQLite's unix VFS lets a program replace the system calls it makes. Its "fcntl" is replaced so
// that lock requests on any of its handles go, as open-file-description locks, to one private
// description of the same file; its "close" so that the description goes with SQLite's last
// handle on the file.
//
// Why one description per file and not the handle SQLite passes: SQLite shares a file's lock
// state between all connections of the process, and may take a lock through one connection's
// handle and release it through another's. Open-file-description locks on each handle would stay
// where they were taken, and two handles of one process would shut each other out.

#include "store/PrivateLocks.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <mutex>
#include <unordered_map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

#ifdef F_OFD_SETLK

using FcntlCall = int (*)(int, int, ...);
using CloseCall = int (*)(int);

FcntlCall sqliteFcntl = nullptr;
CloseCall sqliteClose = nullptr;

struct FileKey
{
    dev_t device = 0;
    ino_t inode = 0;
    auto operator<=>(const FileKey &) const = default;
};

struct LockedFile
{
    int description = -1; // -1: plain POSIX locks on SQLite's own handles (the file could not be reopened)
    int handles = 0;      // SQLite's handles on the file that asked for a lock
};

// Connections may live on several threads. Never destroyed: a connection closed while the
// process ends still finds it.
struct Registry
{
    std::mutex mutex;
    std::map<FileKey, LockedFile> files;
    std::unordered_map<int, FileKey> handles;
};

Registry &registry()
{
    static auto *files = new Registry;
    return *files;
}

// A description of the file behind the handle that no other code in the process has: through
// /proc the file is reached even when renamed or deleted since.
int openPrivateDescription(int handle)
{
    char link[40];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", handle);
    const int description = ::open(link, O_RDWR | O_CLOEXEC);
    return description >= 0 ? description : ::open(link, O_RDONLY | O_CLOEXEC);
}

// The file's entry for a handle of SQLite, registered at its first lock request; nullptr when the
// handle is no file. Called with the registry's mutex held.
LockedFile *lockedFile(Registry &files, int handle)
{
    if (const auto known = files.handles.find(handle); known != files.handles.end())
        return &files.files[known->second];
    struct stat status = {};
    if (::fstat(handle, &status) != 0)
        return nullptr;
    const FileKey key{status.st_dev, status.st_ino};
    LockedFile &file = files.files[key];
    if (file.handles == 0)
        file.description = openPrivateDescription(handle);
    ++file.handles;
    files.handles.emplace(handle, key);
    return &file;
}

int lockRequest(int handle, int command, struct flock *lock)
{
    Registry &files = registry();
    std::unique_lock guard(files.mutex);
    const LockedFile *file = lock ? lockedFile(files, handle) : nullptr;
    if (!file || file->description < 0) {
        guard.unlock();
        return sqliteFcntl(handle, command, lock);
    }
    const int description = file->description;
    struct flock request = *lock;
    request.l_pid = 0; // the kernel refuses anything else for these locks
    int result = 0;
    if (command == F_GETLK) {
        result = sqliteFcntl(description, F_OFD_GETLK, &request);
        if (result == 0)
            *lock = request;
    } else if (command == F_SETLKW) {
        // Waiting with the mutex held would stall every other connection of the process. SQLite
        // holds its own lock on the file's state meanwhile, so nobody closes the description.
        guard.unlock();
        result = sqliteFcntl(description, F_OFD_SETLKW, &request);
    } else {
        result = sqliteFcntl(description, F_OFD_SETLK, &request);
    }
    return result;
}

// fcntl's third argument depends on the command: none, an int, or a pointer.
int fcntlCall(int handle, int command, ...)
{
    va_list arguments;
    va_start(arguments, command);
    int result = 0;
    switch (command) {
    case F_SETLK:
    case F_SETLKW:
    case F_GETLK:
        result = lockRequest(handle, command, va_arg(arguments, struct flock *));
        break;
    case F_GETFD:
    case F_GETFL:
    case F_GETOWN:
    case F_GETSIG:
    case F_GETLEASE:
    case F_GETPIPE_SZ:
        result = sqliteFcntl(handle, command);
        break;
    case F_DUPFD:
    case F_DUPFD_CLOEXEC:
    case F_SETFD:
    case F_SETFL:
    case F_SETOWN:
    case F_SETSIG:
    case F_SETLEASE:
    case F_NOTIFY:
    case F_SETPIPE_SZ:
        result = sqliteFcntl(handle, command, va_arg(arguments, int));
        break;
    default:
        result = sqliteFcntl(handle, command, va_arg(arguments, void *));
        break;
    }
    va_end(arguments);
    return result;
}

// Closing SQLite's last handle on a file releases all its locks, as it would with POSIX locks:
// SQLite counts on it (the shared index's start-up lock goes when the index is unmapped). The
// handle is closed with the mutex held, so that its number is not given again to a handle whose
// first lock request would find the old entry.
int closeCall(int handle)
{
    Registry &files = registry();
    const std::lock_guard guard(files.mutex);
    if (const auto known = files.handles.find(handle); known != files.handles.end()) {
        const auto file = files.files.find(known->second);
        files.handles.erase(known);
        if (file != files.files.end() && --file->second.handles <= 0) {
            if (file->second.description >= 0)
                ::close(file->second.description);
            files.files.erase(file);
        }
    }
    return sqliteClose(handle);
}

// Whether the kernel takes open-file-description locks: Linux before 3.15 refuses them.
bool kernelHasPrivateLocks()
{
    const int probe = ::open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
    if (probe < 0)
        return false;
    struct flock lock = {};
    lock.l_type = F_RDLCK;
    lock.l_whence = SEEK_SET;
    const bool works = ::fcntl(probe, F_OFD_GETLK, &lock) == 0;
    ::close(probe);
    return works;
}

bool replaceSystemCalls()
{
    sqlite3_vfs *vfs = sqlite3_vfs_find(nullptr);
    if (!vfs || vfs->iVersion < 3 || !vfs->xGetSystemCall || !vfs->xSetSystemCall || !kernelHasPrivateLocks())
        return false;
    sqliteFcntl = reinterpret_cast<FcntlCall>(vfs->xGetSystemCall(vfs, "fcntl"));
    sqliteClose = reinterpret_cast<CloseCall>(vfs->xGetSystemCall(vfs, "close"));
    if (!sqliteFcntl || !sqliteClose)
        return false;
    // The close first: until a lock is asked for through the new fcntl, it has nothing to do.
    if (vfs->xSetSystemCall(vfs, "close", reinterpret_cast<sqlite3_syscall_ptr>(&closeCall)) != SQLITE_OK)
        return false;
    if (vfs->xSetSystemCall(vfs, "fcntl", reinterpret_cast<sqlite3_syscall_ptr>(&fcntlCall)) != SQLITE_OK) {
        vfs->xSetSystemCall(vfs, "close", reinterpret_cast<sqlite3_syscall_ptr>(sqliteClose));
        return false;
    }
    return true;
}

#else

bool replaceSystemCalls()
{
    return false;
}

#endif

} // namespace

bool usePrivateLocks()
{
    static std::once_flag once;
    static bool installed = false;
    std::call_once(once, [] { installed = replaceSystemCalls(); });
    return installed;
}
