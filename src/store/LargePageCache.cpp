#include "store/LargePageCache.h"

#include "store/Database.h"
#include "store/VmError.h"

#include <QByteArray>

LargePageCache::LargePageCache(Connection &db) : m_db(db)
{
    Statement current(db, "PRAGMA cache_size");
    m_previous = current.step() ? current.integer(0) : 0;
    current.reset();
    db.exec("PRAGMA cache_size = -65536;");
}

LargePageCache::~LargePageCache()
{
    try {
        m_db.exec(QByteArray("PRAGMA cache_size = " + QByteArray::number(m_previous) + ';').constData());
    } catch (const VmError &) {
        // The connection keeps the larger cache; nothing is lost but memory.
    }
}
