#pragma once

#include "exchange/VM_SpellSaver.h"

#include <QStringList>

// The names of the spells a spells file holds, in file order, as an import reads them.
inline QStringList namesInSpellFile(const QString &path)
{
    VM_SpellSaver reader;
    ListRows read;
    reader.OpenSpellFile2(read, path);
    QStringList names;
    for (const ListRow &row : read)
        names.append(row.text);
    return names;
}
