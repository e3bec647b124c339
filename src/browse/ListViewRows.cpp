#include "browse/ListViewRows.h"

#include "browse/ListViewItem.h"

#include <QItemSelectionModel>
#include <QTreeWidget>

namespace {

ListRow rowOf(const QTreeWidgetItem *item, int columns)
{
    ListRow row;
    row.text = item->text(0);
    row.subItems.reserve(columns - 1);
    for (int column = 1; column < columns; ++column)
        row.subItems.append(item->text(column));
    row.selected = item->isSelected();
    row.checked = item->checkState(0) == Qt::Checked;
    return row;
}

} // namespace

ListRows rowsOf(const QTreeWidget *list)
{
    ListRows rows;
    const int count = list->topLevelItemCount();
    rows.reserve(count);
    for (int index = 0; index < count; ++index)
        rows.append(rowOf(list->topLevelItem(index), list->columnCount()));
    return rows;
}

ListRows selectedRowsOf(const QTreeWidget *list)
{
    QList<int> indexes;
    const QModelIndexList selected = list->selectionModel()->selectedRows();
    indexes.reserve(selected.size());
    for (const QModelIndex &index : selected)
        indexes.append(index.row());
    std::sort(indexes.begin(), indexes.end());

    ListRows rows;
    rows.reserve(indexes.size());
    for (const int index : std::as_const(indexes))
        rows.append(rowOf(list->topLevelItem(index), list->columnCount()));
    return rows;
}

void appendRows(QTreeWidget *list, const ListRows &rows, CheckBoxes checkBoxes)
{
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (const ListRow &row : rows) {
        QStringList columns;
        columns.reserve(row.subItems.size() + 1);
        columns.append(row.text);
        columns.append(row.subItems);
        auto *item = new ListViewItem(columns);
        if (checkBoxes == CheckBoxes::Yes) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, row.checked ? Qt::Checked : Qt::Unchecked);
        }
        items.append(item);
    }
    list->addTopLevelItems(items);
    for (qsizetype index = 0; index < rows.size(); ++index) {
        if (rows.at(index).selected)
            items.at(index)->setSelected(true);
    }
}

QTreeWidgetItem *firstSelectedItem(const QTreeWidget *list)
{
    const QModelIndexList selected = list->selectionModel()->selectedRows();
    int first = -1;
    for (const QModelIndex &index : selected) {
        if (first < 0 || index.row() < first)
            first = index.row();
    }
    return first < 0 ? nullptr : list->topLevelItem(first);
}

int selectedCount(const QTreeWidget *list)
{
    return int(list->selectionModel()->selectedRows().size());
}
