#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

// Readable gtest failure messages for Qt strings. Every test file that compares them must see
// these (through the common test headers): a file that does not prints them as raw bytes, and
// the linker may keep its printer for the whole test program.
inline void PrintTo(const QString &value, std::ostream *out)
{
    *out << '"' << value.toStdString() << '"';
}

inline void PrintTo(const QStringList &values, std::ostream *out)
{
    *out << '{';
    for (qsizetype i = 0; i < values.size(); ++i) {
        *out << (i ? ", " : "");
        PrintTo(values.at(i), out);
    }
    *out << '}';
}
