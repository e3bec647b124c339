#pragma once

#include <QList>
#include <QString>

#include <optional>

// A rectangular table of texts addressed (column, row), both counted from 0. The store hands
// spell lists, school lists, search results and scrolls to windows in this shape, and list
// views show them as they are.
//
// A table is kept row by row as texts, or column by column. A column that repeats a few texts
// (levels, schools) or runs of one text (a spell's name on each of its school rows) keeps a
// number per cell that picks the text from the column's own list: four bytes a cell instead
// of a string. Copies share what they hold.
class Table
{
public:
    // One column: cell r is texts[codes[r]], or texts[r] when there are no codes.
    struct Column
    {
        QList<QString> texts;
        QList<quint32> codes;

        // These rows, in this order, kept the same way.
        Column rowsAt(const QList<int> &rows) const;
    };

    Table(int columns, int rows);
    // Takes cells row by row (columns values per row); cells.size() must be a multiple of columns.
    Table(int columns, QList<QString> cells);
    // Takes columns of as many cells each.
    explicit Table(QList<Column> columns);

    int columns() const { return m_columns; }
    int rows() const { return m_rows; } // upper row bound + 1
    const QString &at(int column, int row) const
    {
        Q_ASSERT_X(column >= 0 && column < m_columns && row >= 0 && row < m_rows, "Table",
                   "cell out of range");
        if (m_byColumn.isEmpty())
            return m_cells.at(qsizetype(row) * m_columns + column);
        const Column &kept = m_byColumn.at(column);
        return kept.texts.at(kept.codes.isEmpty() ? row : qsizetype(kept.codes.at(row)));
    }
    // Every cell, row by row: a table kept row by row shares its texts rather than copy them.
    QList<QString> cells() const;

    void set(int column, int row, const QString &value);
    // Adds rows given cell by cell, row by row.
    void appendRows(const QList<QString> &cells);
    // These rows, in this order, kept the way this table keeps them.
    Table rowsAt(const QList<int> &rows) const;

    bool operator==(const Table &other) const;

private:
    void keepByRow();

    int m_columns = 0;
    int m_rows = 0;
    QList<QString> m_cells;
    QList<Column> m_byColumn;
};

// No value stands for "no table": the store never hands out a table of zero rows.
using OptionalTable = std::optional<Table>;
