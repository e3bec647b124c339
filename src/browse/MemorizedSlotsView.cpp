#include "browse/MemorizedSlotsView.h"

#include <QHeaderView>

MemorizedSlotsView::MemorizedSlotsView(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("TV_Memorized"));
    setColumnCount(4);
    setHeaderLabels({QStringLiteral("Spell"), QStringLiteral("Note"), QString(), QString()});
    setRootIsDecorated(true);
    // Rows with buttons are taller than the level captions.
    setUniformRowHeights(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
    // Fitted once after a change of many rows (fitColumns), not at every change of a row: a
    // rest changes every row, and fitting after each would measure every row each time.
    for (int column = 1; column < 4; ++column)
        header()->setSectionResizeMode(column, QHeaderView::Interactive);
}

void MemorizedSlotsView::fitColumns()
{
    for (int column = 1; column < 4; ++column)
        resizeColumnToContents(column);
}
