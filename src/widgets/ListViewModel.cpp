#include "widgets/ListViewModel.h"

#include <QSet>

#include <algorithm>
#include <numeric>

namespace {

QList<ListViewModel::CellSource> columnsInOrder(int columns)
{
    QList<ListViewModel::CellSource> sources;
    for (int column = 0; column < columns; ++column)
        sources.append({0, column});
    return sources;
}

} // namespace

ListViewModel::ListViewModel(const QStringList &headers, QObject *parent)
    : QAbstractTableModel(parent)
    , m_headers(headers)
    , m_columns(int(headers.size()))
    , m_blocks{CellBlock{QList<QString>(), m_columns}}
    , m_sources(columnsInOrder(m_columns))
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
        return text(index.row(), index.column());
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
    const CellSource &source = m_sources[column];
    return m_blocks[source.block].table.at(source.column, row);
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
    cells.resize(cells.size() - cells.size() % m_columns);
    setBlocks({CellBlock{std::move(cells), m_columns}}, columnsInOrder(m_columns));
}

void ListViewModel::setBlocks(QList<CellBlock> blocks, const QList<CellSource> &sources)
{
    Q_ASSERT(sources.size() == m_columns && !blocks.isEmpty());
    beginResetModel();
    const qsizetype rows = blocks.first().table.rows();
    replaceBlocks(std::move(blocks), sources);
    m_checked = QList<bool>(rows, false);
    endResetModel();
}

void ListViewModel::replaceBlocks(QList<CellBlock> blocks, QList<CellSource> sources)
{
    // The old texts go before the new ones are used, whoever else still holds them.
    m_blocks = std::move(blocks);
    m_sources = std::move(sources);
}

void ListViewModel::flatten()
{
    if (m_blocks.size() == 1 && m_sources == columnsInOrder(m_columns) &&
        m_blocks.first().table.columns() == m_columns)
        return;
    QList<QString> cells;
    cells.reserve(qsizetype(rowCount()) * m_columns);
    for (int row = 0; row < rowCount(); ++row) {
        for (int column = 0; column < m_columns; ++column)
            cells.append(text(row, column));
    }
    replaceBlocks({CellBlock{std::move(cells), m_columns}}, columnsInOrder(m_columns));
}

void ListViewModel::setText(int row, int column, const QString &text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columns)
        return;
    const CellSource &source = m_sources[column];
    m_blocks[source.block].table.set(source.column, row, text);
    emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
}

void ListViewModel::setColumnTexts(int column, const QList<QString> &texts)
{
    if (column < 0 || column >= m_columns || rowCount() == 0)
        return;
    const int rows = int(std::min<qsizetype>(rowCount(), texts.size()));
    const CellSource &source = m_sources[column];
    Table &table = m_blocks[source.block].table;
    for (int row = 0; row < rows; ++row)
        table.set(source.column, row, texts.at(row));
    emit dataChanged(index(0, column), index(rowCount() - 1, column), {Qt::DisplayRole});
}

void ListViewModel::appendRows(const ListRows &rows)
{
    if (rows.isEmpty())
        return;
    const int first = rowCount();
    flatten();
    beginInsertRows(QModelIndex(), first, first + int(rows.size()) - 1);
    QList<QString> cells;
    cells.reserve(rows.size() * m_columns);
    for (const ListRow &row : rows) {
        cells.append(row.text);
        for (int column = 1; column < m_columns; ++column)
            cells.append(row.subItems.value(column - 1));
        m_checked.append(row.checked);
    }
    m_blocks.first().table.appendRows(cells);
    endInsertRows();
}

void ListViewModel::removeRowNumbers(const QList<int> &rows)
{
    if (rows.isEmpty())
        return;
    // One pass over the list, whatever the number and spread of the rows removed.
    const QSet<int> removed(rows.begin(), rows.end());
    QList<int> keptRows;
    keptRows.reserve(rowCount());
    for (int row = 0; row < rowCount(); ++row) {
        if (!removed.contains(row))
            keptRows.append(row);
    }
    beginResetModel();
    reorder(keptRows);
    endResetModel();
}

void ListViewModel::reorder(const QList<int> &rows)
{
    QList<CellBlock> blocks;
    blocks.reserve(m_blocks.size());
    for (const CellBlock &block : std::as_const(m_blocks))
        blocks.append(CellBlock{block.table.rowsAt(rows)});
    QList<bool> checked;
    checked.reserve(rows.size());
    for (const int row : rows)
        checked.append(m_checked.at(row));
    replaceBlocks(std::move(blocks), m_sources);
    m_checked = std::move(checked);
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
        folded[row] = text(row, column).toCaseFolded();
    const auto less = [this, column, &folded](int left, int right) {
        const QString &a = folded.at(left);
        const QString &b = folded.at(right);
        if (a != b) {
            const int order = naturalCompare(a, b);
            if (order != 0)
                return order < 0;
            return a < b;
        }
        return text(left, column) < text(right, column);
    };
    if (order == Qt::AscendingOrder)
        std::stable_sort(ranking.begin(), ranking.end(), less);
    else
        std::stable_sort(ranking.begin(), ranking.end(),
                         [&less](int left, int right) { return less(right, left); });

    QList<int> newRowOf(rowCount());
    for (int position = 0; position < ranking.size(); ++position)
        newRowOf[ranking.at(position)] = position;
    reorder(ranking);

    // Selected and current rows go with their spells.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before)
        after.append(this->index(newRowOf.at(index.row()), index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
