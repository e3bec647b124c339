#include "store/TableReader.h"

#include "store/Database.h"

#include <QStringList>

OptionalTable readTable(Statement &statement, int columns)
{
    QList<QString> cells;
    while (statement.step()) {
        for (int column = 0; column < columns; ++column)
            cells.append(statement.text(column));
    }
    if (cells.isEmpty())
        return std::nullopt;
    return Table(columns, std::move(cells));
}

QStringList readTrimmedColumn(Statement &statement)
{
    QStringList values;
    while (statement.step())
        values.append(statement.text(0).trimmed());
    return values;
}
