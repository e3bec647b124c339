#include "store/ScopedPragma.h"

#include "store/Database.h"
#include "store/VmError.h"

namespace {

void setPragma(Connection &db, const QByteArray &name, qint64 value)
{
    db.exec(("PRAGMA " + name + " = " + QByteArray::number(value) + ';').constData());
}

} // namespace

ScopedPragma::ScopedPragma(Connection &db, const char *name, qint64 value)
    : m_db(db), m_name(name), m_previous(valueOf(db, name))
{
    setPragma(db, m_name, value);
}

ScopedPragma::~ScopedPragma()
{
    try {
        setPragma(m_db, m_name, m_previous);
    } catch (const VmError &) {
    }
}

qint64 ScopedPragma::valueOf(Connection &db, const char *name)
{
    const QByteArray sql = "PRAGMA " + QByteArray(name);
    Statement current(db, sql.constData());
    return current.step() ? current.integer(0) : -1;
}
