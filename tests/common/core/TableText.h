#pragma once

#include "store/Table.h"

#include <QStringList>

// A result table as one "cell|cell|cell" text per row, or {"<no table>"}, so that a test can
// compare a whole table in one expectation.
inline QStringList tableText(const OptionalTable &table)
{
    if (!table)
        return {QStringLiteral("<no table>")};
    QStringList lines;
    for (int row = 0; row < table->rows(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columns(); ++column)
            cells.append(table->at(column, row));
        lines.append(cells.join(QLatin1Char('|')));
    }
    return lines;
}

// The first column of a result table, top to bottom; nothing for "no table".
inline QStringList namesOf(const OptionalTable &table)
{
    QStringList names;
    for (int row = 0; table && row < table->rows(); ++row)
        names.append(table->at(0, row));
    return names;
}
