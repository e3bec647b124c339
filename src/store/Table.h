#pragma once

#include <QList>
#include <QString>

#include <optional>

// A rectangular table of texts addressed (column, row), both counted from 0. The store hands
// spell lists, school lists, search results and scrolls to windows in this shape.
class Table
{
public:
    Table(int columns, int rows);
    // Takes cells row by row (columns values per row); cells.size() must be a multiple of columns.
    Table(int columns, QList<QString> cells);

    int columns() const { return m_columns; }
    int rows() const { return m_rows; } // upper row bound + 1
    const QString &at(int column, int row) const;
    // Every cell, row by row: to share the texts rather than copy them one by one.
    const QList<QString> &cells() const { return m_cells; }
    void set(int column, int row, const QString &value);

    bool operator==(const Table &other) const = default;

private:
    qsizetype index(int column, int row) const;

    int m_columns = 0;
    int m_rows = 0;
    QList<QString> m_cells;
};

// No value stands for "no table": the store never hands out a table of zero rows.
using OptionalTable = std::optional<Table>;
