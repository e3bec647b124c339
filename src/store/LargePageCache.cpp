#include "store/LargePageCache.h"

#include "store/Database.h"
#include "store/VmError.h"

#include <QByteArray>

LargePageCache::LargePageCache(Connection &db, int mebibytes) : m_db(db)
{
    Statement current(db, "PRAGMA cache_size");
    m_previous = current.step() ? current.integer(0) : 0;
    current.reset();
    // A negative size is in KiB.
    db.exec(
        QByteArray("PRAGMA cache_size = -" + QByteArray::number(qint64(mebibytes) * 1024) + ';').constData());
}

LargePageCache::~LargePageCache()
{
    try {
        m_db.exec(QByteArray("PRAGMA cache_size = " + QByteArray::number(m_previous) + ';').constData());
    } catch (const VmError &) {
        // The connection keeps the larger cache; nothing is lost but memory.
    }
}
