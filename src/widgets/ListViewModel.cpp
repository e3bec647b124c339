#include "widgets/ListViewModel.h"

#include <QSet>

#include <algorithm>
#include <numeric>

ListViewModel::ListViewModel(const QStringList &headers, QObject *parent)
    : QAbstractTableModel(parent), m_headers(headers), m_columns(int(headers.size()))
{}

int ListViewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_checked.size());
}

int ListViewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant ListViewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return m_cells.at(cell(index.row(), index.column()));
    if (role == Qt::CheckStateRole && m_checkBoxes && index.column() == 0)
        return m_checked.at(index.row()) ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool ListViewModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || !m_checkBoxes || index.column() != 0)
        return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns)
        return m_headers.at(section);
    return {};
}

Qt::ItemFlags ListViewModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
    if (m_checkBoxes && index.column() == 0)
        result |= Qt::ItemIsUserCheckable;
    return result;
}

void ListViewModel::setCheckBoxes(bool shown)
{
    m_checkBoxes = shown;
    if (!m_checked.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

const QString &ListViewModel::text(int row, int column) const
{
    return m_cells.at(cell(row, column));
}

bool ListViewModel::isChecked(int row) const
{
    return m_checked.at(row);
}

void ListViewModel::setChecked(int row, bool checked)
{
    if (m_checked.at(row) == checked)
        return;
    m_checked[row] = checked;
    emit dataChanged(index(row, 0), index(row, 0), {Qt::CheckStateRole});
}

void ListViewModel::clear()
{
    setCells({});
}

void ListViewModel::setCells(QList<QString> cells)
{
    beginResetModel();
    cells.resize(cells.size() - cells.size() % m_columns);
    m_cells = std::move(cells);
    m_checked = QList<bool>(m_cells.size() / m_columns, false);
    endResetModel();
}

void ListViewModel::setText(int row, int column, const QString &text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columns)
        return;
    m_cells[cell(row, column)] = text;
    emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
}

void ListViewModel::setColumnTexts(int column, const QList<QString> &texts)
{
    if (column < 0 || column >= m_columns || rowCount() == 0)
        return;
    const int rows = int(std::min<qsizetype>(rowCount(), texts.size()));
    for (int row = 0; row < rows; ++row)
        m_cells[cell(row, column)] = texts.at(row);
    emit dataChanged(index(0, column), index(rowCount() - 1, column), {Qt::DisplayRole});
}

void ListViewModel::appendRows(const ListRows &rows)
{
    if (rows.isEmpty())
        return;
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + int(rows.size()) - 1);
    m_cells.reserve(m_cells.size() + rows.size() * m_columns);
    for (const ListRow &row : rows) {
        m_cells.append(row.text);
        for (int column = 1; column < m_columns; ++column)
            m_cells.append(row.subItems.value(column - 1));
        m_checked.append(row.checked);
    }
    endInsertRows();
}

void ListViewModel::removeRowNumbers(const QList<int> &rows)
{
    if (rows.isEmpty())
        return;
    // One pass over the list, whatever the number and spread of the rows removed.
    const QSet<int> removed(rows.begin(), rows.end());
    QList<QString> cells;
    QList<bool> checked;
    cells.reserve(m_cells.size());
    checked.reserve(m_checked.size());
    for (int row = 0; row < rowCount(); ++row) {
        if (removed.contains(row))
            continue;
        for (int column = 0; column < m_columns; ++column)
            cells.append(m_cells.at(cell(row, column)));
        checked.append(m_checked.at(row));
    }
    beginResetModel();
    m_cells = std::move(cells);
    m_checked = std::move(checked);
    endResetModel();
}

int ListViewModel::naturalCompare(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        const bool digitA = a.at(i).isDigit();
        const bool digitB = b.at(j).isDigit();
        if (digitA && digitB) {
            // Numbers compare by value: fewer significant digits is smaller, then digit by digit.
            qsizetype startA = i;
            qsizetype startB = j;
            while (startA < a.size() && a.at(startA) == QLatin1Char('0'))
                ++startA;
            while (startB < b.size() && b.at(startB) == QLatin1Char('0'))
                ++startB;
            qsizetype endA = startA;
            qsizetype endB = startB;
            while (endA < a.size() && a.at(endA).isDigit())
                ++endA;
            while (endB < b.size() && b.at(endB).isDigit())
                ++endB;
            if (endA - startA != endB - startB)
                return endA - startA < endB - startB ? -1 : 1;
            const int digits = a.mid(startA, endA - startA).compare(b.mid(startB, endB - startB));
            if (digits != 0)
                return digits;
            i = endA;
            j = endB;
            continue;
        }
        if (a.at(i) != b.at(j))
            return a.at(i) < b.at(j) ? -1 : 1;
        ++i;
        ++j;
    }
    // What is left over sorts after: "12" before "12a".
    return int(a.size() - i > 0) - int(b.size() - j > 0);
}

void ListViewModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= m_columns || rowCount() < 2)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    QList<int> ranking(rowCount());
    std::iota(ranking.begin(), ranking.end(), 0);
    // Folding every text once makes each comparison a plain one.
    QList<QString> folded(rowCount());
    for (int row = 0; row < rowCount(); ++row)
        folded[row] = m_cells.at(cell(row, column)).toCaseFolded();
    const auto less = [this, column, &folded](int left, int right) {
        const QString &a = folded.at(left);
        const QString &b = folded.at(right);
        if (a != b) {
            const int order = naturalCompare(a, b);
            if (order != 0)
                return order < 0;
            return a < b;
        }
        return m_cells.at(cell(left, column)) < m_cells.at(cell(right, column));
    };
    if (order == Qt::AscendingOrder)
        std::stable_sort(ranking.begin(), ranking.end(), less);
    else
        std::stable_sort(ranking.begin(), ranking.end(),
                         [&less](int left, int right) { return less(right, left); });

    QList<QString> cells;
    QList<bool> checked;
    cells.reserve(m_cells.size());
    checked.reserve(m_checked.size());
    QList<int> newRowOf(rowCount());
    for (int position = 0; position < ranking.size(); ++position) {
        const int row = ranking.at(position);
        newRowOf[row] = position;
        for (int c = 0; c < m_columns; ++c)
            cells.append(m_cells.at(cell(row, c)));
        checked.append(m_checked.at(row));
    }
    m_cells = std::move(cells);
    m_checked = std::move(checked);

    // Selected and current rows go with their spells.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before)
        after.append(this->index(newRowOf.at(index.row()), index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
