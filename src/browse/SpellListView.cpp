#include "browse/SpellListView.h"

#include <QDrag>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>

const QString SpellListView::kDragMimeType = QStringLiteral("application/x-vellumar-spells");

SpellListView::SpellListView(const QString &objectName, const QStringList &columns, QWidget *parent)
    : QTreeWidget(parent)
{
    setObjectName(objectName);
    setColumnCount(int(columns.size()));
    setHeaderLabels(columns);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
}

void SpellListView::setDragSource(std::function<bool()> start, std::function<void()> complete)
{
    m_dragStart = std::move(start);
    m_dragComplete = std::move(complete);
    setDragEnabled(bool(m_dragStart));
}

void SpellListView::setDropTarget(std::function<void()> drop)
{
    m_drop = std::move(drop);
    setDropsAccepted(bool(m_drop));
}

void SpellListView::setDropsAccepted(bool accepted)
{
    m_dropsAccepted = accepted && m_drop;
    setAcceptDrops(m_dropsAccepted);
    viewport()->setAcceptDrops(m_dropsAccepted);
}

bool SpellListView::dropsAccepted() const
{
    return m_dropsAccepted;
}

void SpellListView::startDrag(Qt::DropActions)
{
    if (!m_dragStart)
        return;
    if (m_dragStart()) {
        auto *drag = new QDrag(this);
        auto *marker = new QMimeData;
        marker->setData(kDragMimeType, QByteArray());
        drag->setMimeData(marker);
        drag->exec(Qt::CopyAction, Qt::CopyAction);
    }
    if (m_dragComplete)
        m_dragComplete();
}

bool SpellListView::takes(const QDropEvent *event) const
{
    return m_dropsAccepted && event->mimeData() && event->mimeData()->hasFormat(kDragMimeType);
}

void SpellListView::dragEnterEvent(QDragEnterEvent *event)
{
    if (takes(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void SpellListView::dragMoveEvent(QDragMoveEvent *event)
{
    if (takes(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void SpellListView::dropEvent(QDropEvent *event)
{
    if (!takes(event)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    m_drop();
}

void SpellListView::focusInEvent(QFocusEvent *event)
{
    QTreeWidget::focusInEvent(event);
    emit focusReceived();
}
