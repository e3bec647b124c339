#include "widgets/ListViewRows.h"

#include "widgets/ColumnSortToggle.h"
#include "widgets/ListStatusPanels.h"
#include "widgets/ListView.h"
#include "widgets/ListViewModel.h"

#include <QItemSelectionModel>
#include <QSignalBlocker>

namespace {

ListRow rowOf(const ListView *list, int row, bool selected)
{
    const ListViewModel *rows = list->rows();
    ListRow result;
    result.text = rows->text(row, 0);
    result.subItems.reserve(rows->columnCount() - 1);
    for (int column = 1; column < rows->columnCount(); ++column)
        result.subItems.append(rows->text(row, column));
    result.selected = selected;
    result.checked = rows->isChecked(row);
    return result;
}

} // namespace

ListRows rowsOf(const ListView *list)
{
    const QList<int> selected = list->selectedRowNumbers();
    ListRows rows;
    rows.reserve(list->rowCount());
    qsizetype next = 0;
    for (int row = 0; row < list->rowCount(); ++row) {
        const bool isSelected = next < selected.size() && selected.at(next) == row;
        if (isSelected)
            ++next;
        rows.append(rowOf(list, row, isSelected));
    }
    return rows;
}

ListRows selectedRowsOf(const ListView *list)
{
    const QList<int> selected = list->selectedRowNumbers();
    ListRows rows;
    rows.reserve(selected.size());
    for (const int row : selected)
        rows.append(rowOf(list, row, true));
    return rows;
}

void appendRows(ListView *list, const ListRows &rows, CheckBoxes checkBoxes)
{
    const int first = list->rowCount();
    list->rows()->setCheckBoxes(checkBoxes == CheckBoxes::Yes);
    list->rows()->appendRows(rows);
    QItemSelection selection;
    for (qsizetype index = 0; index < rows.size(); ++index) {
        if (rows.at(index).selected) {
            const int row = first + int(index);
            selection.select(list->rows()->index(row, 0),
                             list->rows()->index(row, list->rows()->columnCount() - 1));
        }
    }
    if (!selection.isEmpty())
        list->selectionModel()->select(selection, QItemSelectionModel::Select);
}

int firstSelectedRow(const ListView *list)
{
    const QList<int> selected = list->selectedRowNumbers();
    return selected.isEmpty() ? -1 : selected.constFirst();
}

QString firstSelectedName(const ListView *list)
{
    const int row = firstSelectedRow(list);
    return row < 0 ? QString() : list->text(row).trimmed();
}

int selectedCount(const ListView *list)
{
    return int(list->selectionModel()->selectedRows().size());
}

QList<int> rowsOfSpell(const ListView *list, const QString &spell)
{
    const QString name = spell.trimmed();
    QList<int> rows;
    for (int row = 0; row < list->rowCount(); ++row) {
        if (list->text(row).trimmed() == name)
            rows.append(row);
    }
    return rows;
}

void dropSpellRows(ListView *list, const QString &spell, ListStatusPanels *panels)
{
    const QString name = spell.trimmed();
    dropRowsWhere(list, [&name](const QString &row) { return row == name; }, panels);
}

void dropRowsWhere(ListView *list, const std::function<bool(const QString &)> &gone, ListStatusPanels *panels)
{
    QList<int> rows;
    for (int row = 0; row < list->rowCount(); ++row) {
        if (gone(list->text(row).trimmed()))
            rows.append(row);
    }
    if (rows.isEmpty())
        return;
    {
        const QSignalBlocker quiet(list);
        list->rows()->removeRowNumbers(rows);
    }
    panels->showCounts(list->rowCount(), selectedCount(list));
}

namespace {

template<typename Fill>
void showRows(ListView *list, ColumnSortToggle *sort, ListStatusPanels *panels, Fill &&fill)
{
    {
        const QSignalBlocker quiet(list);
        fill(*list->rows());
        sort->forget();
        if (list->rowCount() > 0)
            list->selectOnly(0);
    }
    const int listed = list->rowCount();
    panels->showCounts(listed, listed > 0 ? 1 : 0);
}

} // namespace

void showQueriedRows(ListView *list, QList<QString> &&cells, ColumnSortToggle *sort, ListStatusPanels *panels)
{
    showRows(list, sort, panels, [&cells](ListViewModel &rows) { rows.setCells(std::move(cells)); });
}

void showQueriedRows(ListView *list, QList<ListViewModel::CellBlock> &&blocks,
                     const QList<ListViewModel::CellSource> &sources, ColumnSortToggle *sort,
                     ListStatusPanels *panels)
{
    showRows(list, sort, panels,
             [&blocks, &sources](ListViewModel &rows) { rows.setBlocks(std::move(blocks), sources); });
}
