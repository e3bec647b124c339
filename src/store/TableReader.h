#pragma once

#include "store/Table.h"

#include <QByteArray>

#include <memory>
#include <string>

class Statement;

// Reads every row of a statement into a table of the given number of columns (the statement's
// first columns). No row gives no table. Cells are read exactly as stored; NULL reads as "".
// rowHint is a guess of the row count (the size of the table it replaces, say) to size it once.
OptionalTable readTable(Statement &statement, int columns, qsizetype rowHint = 0);

// Builds a table's column from the UTF-8 cells of a statement's column: as numbers, each
// distinct value decoded once, while the column repeats a few values; as a text per row once it
// holds more than a few hundred.
class ColumnBuilder
{
public:
    ColumnBuilder();
    ~ColumnBuilder();
    ColumnBuilder(ColumnBuilder &&) noexcept;
    ColumnBuilder &operator=(ColumnBuilder &&) noexcept;
    void reserve(qsizetype rows);
    void take(QByteArrayView bytes);
    Table::Column finish();

private:
    struct Seen;
    std::unique_ptr<Seen> m_seen;
    Table::Column m_column;
    qsizetype m_rowHint = 0;
};

// A cell's UTF-8 bytes as text; NULL and empty cells read as the null string.
QString decodeCell(QByteArrayView bytes);

// The first column of every row, trimmed.
QStringList readTrimmedColumn(Statement &statement);
