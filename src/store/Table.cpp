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

Table::Table(QList<Column> columns)
    : m_columns(int(columns.size()))
    , m_rows(columns.isEmpty() ? 0
                               : int(columns.first().codes.isEmpty() ? columns.first().texts.size()
                                                                     : columns.first().codes.size()))
    , m_byColumn(std::move(columns))
{
    for (const Column &column : std::as_const(m_byColumn)) {
        Q_ASSERT((column.codes.isEmpty() ? column.texts.size() : column.codes.size()) == m_rows);
        Q_UNUSED(column);
    }
    if (m_byColumn.isEmpty())
        m_columns = 1; // as an empty table kept by row
}

QList<QString> Table::cells() const
{
    if (m_byColumn.isEmpty())
        return m_cells;
    QList<QString> cells;
    cells.reserve(qsizetype(m_columns) * m_rows);
    for (int row = 0; row < m_rows; ++row) {
        for (int column = 0; column < m_columns; ++column)
            cells.append(at(column, row));
    }
    return cells;
}

void Table::keepByRow()
{
    if (m_byColumn.isEmpty())
        return;
    m_cells = cells();
    m_byColumn.clear();
}

void Table::set(int column, int row, const QString &value)
{
    Q_ASSERT_X(column >= 0 && column < m_columns && row >= 0 && row < m_rows, "Table", "cell out of range");
    if (m_byColumn.isEmpty()) {
        m_cells[qsizetype(row) * m_columns + column] = value;
        return;
    }
    Column &kept = m_byColumn[column];
    if (!kept.codes.isEmpty()) {
        // The text may be another row's too: the column goes back to a text per row.
        QList<QString> texts;
        texts.reserve(m_rows);
        for (const quint32 code : std::as_const(kept.codes))
            texts.append(kept.texts.at(code));
        kept = Column{std::move(texts), {}};
    }
    kept.texts[row] = value;
}

void Table::appendRows(const QList<QString> &cells)
{
    if (m_columns == 0)
        return;
    Q_ASSERT(cells.size() % m_columns == 0);
    keepByRow();
    m_cells.append(cells);
    m_rows = int(m_cells.size() / m_columns);
}

Table::Column Table::Column::rowsAt(const QList<int> &rows) const
{
    Column taken;
    if (codes.isEmpty()) {
        taken.texts.reserve(rows.size());
        for (const int row : rows)
            taken.texts.append(texts.at(row));
    } else if (!rows.isEmpty()) {
        taken.texts = texts;
        taken.codes.reserve(rows.size());
        for (const int row : rows)
            taken.codes.append(codes.at(row));
    }
    return taken;
}

Table Table::rowsAt(const QList<int> &rows) const
{
    if (m_byColumn.isEmpty()) {
        QList<QString> cells;
        cells.reserve(rows.size() * m_columns);
        for (const int row : rows) {
            for (int column = 0; column < m_columns; ++column)
                cells.append(at(column, row));
        }
        return Table(m_columns, std::move(cells));
    }
    QList<Column> columns;
    columns.reserve(m_columns);
    for (const Column &kept : m_byColumn)
        columns.append(kept.rowsAt(rows));
    return Table(std::move(columns));
}

bool Table::operator==(const Table &other) const
{
    if (m_columns != other.m_columns || m_rows != other.m_rows)
        return false;
    if (m_byColumn.isEmpty() && other.m_byColumn.isEmpty())
        return m_cells == other.m_cells;
    for (int row = 0; row < m_rows; ++row) {
        for (int column = 0; column < m_columns; ++column) {
            if (at(column, row) != other.at(column, row))
                return false;
        }
    }
    return true;
}
