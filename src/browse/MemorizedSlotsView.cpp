#include "browse/MemorizedSlotsView.h"

#include "widgets/ListView.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>

MemorizedSlotsView::MemorizedSlotsView(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("TV_Memorized"));
    setColumnCount(4);
    setHeaderLabels({QStringLiteral("Spell"), QStringLiteral("Note"), QString(), QString()});
    setRootIsDecorated(true);
    // Rows with buttons are taller than the level captions.
    setUniformRowHeights(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::DropOnly);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
    // Fitted once after a change of many rows (fitColumns), not at every change of a row: a
    // rest changes every row, and fitting after each would measure every row each time.
    for (int column = 1; column < 4; ++column)
        header()->setSectionResizeMode(column, QHeaderView::Interactive);
}

void MemorizedSlotsView::setDropTarget(std::function<void(int)> drop)
{
    m_drop = std::move(drop);
}

int MemorizedSlotsView::levelAt(const QPoint &position) const
{
    const QTreeWidgetItem *item = itemAt(position);
    return item ? item->data(0, LevelRole).toInt() : 0;
}

bool MemorizedSlotsView::takes(const QDropEvent *event) const
{
    return m_drop && event->mimeData() && event->mimeData()->hasFormat(ListView::kDragMimeType) &&
           levelAt(event->position().toPoint()) > 0;
}

void MemorizedSlotsView::dragEnterEvent(QDragEnterEvent *event)
{
    // Entered anywhere; a level is looked for while the pointer moves.
    if (m_drop && event->mimeData() && event->mimeData()->hasFormat(ListView::kDragMimeType))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MemorizedSlotsView::dragMoveEvent(QDragMoveEvent *event)
{
    if (takes(event)) {
        setCurrentItem(itemAt(event->position().toPoint()));
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void MemorizedSlotsView::dropEvent(QDropEvent *event)
{
    if (!takes(event)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    m_drop(levelAt(event->position().toPoint()));
}

void MemorizedSlotsView::fitColumns()
{
    for (int column = 1; column < 4; ++column)
        resizeColumnToContents(column);
}
