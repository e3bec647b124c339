#pragma once

class Connection;

// Lets a connection keep up to 64 MiB of decrypted pages while bulk work (an export, an import,
// the undo of one) runs,
// so that a page is decrypted once rather than each time it is met again, and gives the memory
// back when the work ends.
class LargePageCache
{
public:
    explicit LargePageCache(Connection &db);
    ~LargePageCache();
    LargePageCache(const LargePageCache &) = delete;
    LargePageCache &operator=(const LargePageCache &) = delete;

private:
    Connection &m_db;
    long long m_previous = 0;
};
