#pragma once

#include "store/ListRows.h"
#include "widgets/ListViewModel.h"

#include <QList>
#include <QString>

#include <functional>

class ColumnSortToggle;
class ListStatusPanels;
class ListView;

// Between a list view on screen and the ListRows that store and exchange operations read and
// fill: column 0 is the row's text, the other columns its sub-items.

enum class CheckBoxes { No, Yes };

// Every row, in list order.
ListRows rowsOf(const ListView *list);
// Only the selected rows, in list order: what a command on "the selected spells" needs,
// without copying a whole library's list.
ListRows selectedRowsOf(const ListView *list);
// Adds the rows at the end, selected as they say. With check boxes every row of the list
// shows one, ticked when the row is checked.
void appendRows(ListView *list, const ListRows &rows, CheckBoxes checkBoxes = CheckBoxes::No);

// The first selected row in list order, or -1.
int firstSelectedRow(const ListView *list);
// The trimmed text of the first selected row: the spell a command on "the selected spell"
// means. Empty when nothing is selected.
QString firstSelectedName(const ListView *list);
int selectedCount(const ListView *list);

// The rows whose text, trimmed, is the spell's name, in list order.
QList<int> rowsOfSpell(const ListView *list, const QString &spell);
// A spell that left the library leaves the list too: its rows go, quietly, and the counts follow.
void dropSpellRows(ListView *list, const QString &spell, ListStatusPanels *panels);
// The same for every row whose trimmed text the test names gone.
void dropRowsWhere(ListView *list, const std::function<bool(const QString &)> &gone, ListStatusPanels *panels);

// Shows the rows a query has just read, given cell by cell: the user's last sort forgotten
// (the rows come in the query's order), the first row chosen and the counts shown.
void showQueriedRows(ListView *list, QList<QString> &&cells, ColumnSortToggle *sort,
                     ListStatusPanels *panels);
// The same for rows given as blocks of cells, shared as they are (see ListViewModel::setBlocks).
void showQueriedRows(ListView *list, QList<ListViewModel::CellBlock> &&blocks,
                     const QList<ListViewModel::CellSource> &sources, ColumnSortToggle *sort,
                     ListStatusPanels *panels);
