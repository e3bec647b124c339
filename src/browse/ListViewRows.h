#pragma once

#include "store/ListRows.h"

class QTreeWidget;
class QTreeWidgetItem;

// Between a list view on screen and the ListRows that store and exchange operations read and
// fill: column 0 is the row's text, the other columns its sub-items.

enum class CheckBoxes { No, Yes };

// Every row, in list order.
ListRows rowsOf(const QTreeWidget *list);
// Only the selected rows, in list order: what a command on "the selected spells" needs,
// without copying a whole library's list.
ListRows selectedRowsOf(const QTreeWidget *list);
// Adds the rows at the end; with check boxes each row shows one, ticked when checked.
void appendRows(QTreeWidget *list, const ListRows &rows, CheckBoxes checkBoxes = CheckBoxes::No);

// The first selected row in list order, or nullptr.
QTreeWidgetItem *firstSelectedItem(const QTreeWidget *list);
int selectedCount(const QTreeWidget *list);
