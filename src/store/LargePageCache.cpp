#include "store/LargePageCache.h"

// A negative size is in KiB.
LargePageCache::LargePageCache(Connection &db, int mebibytes)
    : m_cacheSize(db, "cache_size", -qint64(mebibytes) * 1024)
{}
