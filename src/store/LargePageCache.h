#pragma once

#include "store/ScopedPragma.h"

// Lets a connection keep up to the given MiB of decrypted pages while bulk work (an export, an
// import, the undo of one) runs, so that a page is decrypted once rather than each time it is met
// again, and gives the memory back when the work ends. The engine takes the memory only as pages
// are read, so a small library never holds the whole allowance.
class LargePageCache
{
public:
    explicit LargePageCache(Connection &db, int mebibytes = 64);

private:
    ScopedPragma m_cacheSize;
};
