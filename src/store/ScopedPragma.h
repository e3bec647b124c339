#pragma once

#include <QByteArray>
#include <QtGlobal>

class Connection;

// Sets one of a connection's settings (a PRAGMA that takes a number) for the life of this object,
// and gives back the value it had. A setting that cannot be given back stays as it was set:
// nothing is lost but what the setting saves.
class ScopedPragma
{
public:
    ScopedPragma(Connection &db, const char *name, qint64 value);
    ~ScopedPragma();
    ScopedPragma(const ScopedPragma &) = delete;
    ScopedPragma &operator=(const ScopedPragma &) = delete;

    // The setting's value, or -1 when the engine has none.
    static qint64 valueOf(Connection &db, const char *name);

private:
    Connection &m_db;
    QByteArray m_name;
    qint64 m_previous = 0;
};
