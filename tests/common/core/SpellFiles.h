#pragma once

#include "exchange/VM_SpellSaver.h"

#include <QStringList>

// The names of the spells a spells file (or a spellbook file, by its extension) holds, in file
// order, as an import reads them.
inline QStringList namesInSpellFile(const QString &path)
{
    VM_SpellSaver reader;
    ListRows read;
    if (path.endsWith(QLatin1String(".sbok")))
        reader.OpenSpellbookFile2(read, path);
    else
        reader.OpenSpellFile2(read, path);
    QStringList names;
    for (const ListRow &row : read)
        names.append(row.text);
    return names;
}
