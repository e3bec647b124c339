#include "store/Table.h"

#include <QtGlobal>

Table::Table(int columns, int rows)
    : m_columns(qMax(columns, 0)), m_rows(qMax(rows, 0)), m_cells(qsizetype(m_columns) * m_rows)
{}

Table::Table(int columns, QList<QString> cells)
    : m_columns(qMax(columns, 1)), m_rows(int(cells.size() / m_columns)), m_cells(std::move(cells))
{
    Q_ASSERT(m_cells.size() == qsizetype(m_columns) * m_rows);
}

qsizetype Table::index(int column, int row) const
{
    Q_ASSERT_X(column >= 0 && column < m_columns && row >= 0 && row < m_rows, "Table", "cell out of range");
    return qsizetype(row) * m_columns + column;
}

const QString &Table::at(int column, int row) const
{
    return m_cells.at(index(column, row));
}

void Table::set(int column, int row, const QString &value)
{
    m_cells[index(column, row)] = value;
}
