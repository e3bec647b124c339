#include "widgets/ListView.h"

#include "widgets/ListViewModel.h"

#include <QDrag>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>

const QString ListView::kDragMimeType = QStringLiteral("application/x-vellumar-spells");

ListView::ListView(const QString &objectName, const QStringList &columns, QWidget *parent)
    : QTreeView(parent), m_rows(new ListViewModel(columns, this))
{
    setObjectName(objectName);
    setModel(m_rows);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { emit rowDoubleClicked(index.row()); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &ListView::rowSelectionChanged);
    // A reset replaces every row: the old selection is gone with them.
    connect(m_rows, &QAbstractItemModel::modelReset, this, &ListView::rowSelectionChanged);
}

int ListView::rowCount() const
{
    return m_rows->rowCount();
}

QString ListView::text(int row, int column) const
{
    return m_rows->text(row, column);
}

bool ListView::isRowSelected(int row) const
{
    return selectionModel()->isRowSelected(row, QModelIndex());
}

void ListView::setRowSelected(int row, bool selected)
{
    selectionModel()->select(m_rows->index(row, 0),
                             (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                 QItemSelectionModel::Rows);
}

void ListView::selectOnly(int row)
{
    selectionModel()->setCurrentIndex(m_rows->index(row, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QList<int> ListView::selectedRowNumbers() const
{
    QList<int> numbers;
    const QModelIndexList selected = selectionModel()->selectedRows();
    numbers.reserve(selected.size());
    for (const QModelIndex &index : selected)
        numbers.append(index.row());
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void ListView::setDragSource(std::function<bool()> start, std::function<void()> complete)
{
    m_dragStart = std::move(start);
    m_dragComplete = std::move(complete);
    setDragEnabled(bool(m_dragStart));
}

void ListView::setDropTarget(std::function<void()> drop)
{
    m_drop = std::move(drop);
    setDropsAccepted(bool(m_drop));
}

void ListView::setDropsAccepted(bool accepted)
{
    m_dropsAccepted = accepted && m_drop;
    setAcceptDrops(m_dropsAccepted);
    viewport()->setAcceptDrops(m_dropsAccepted);
}

void ListView::startDrag(Qt::DropActions)
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

bool ListView::takes(const QDropEvent *event) const
{
    return m_dropsAccepted && event->mimeData() && event->mimeData()->hasFormat(kDragMimeType);
}

void ListView::dragEnterEvent(QDragEnterEvent *event)
{
    if (takes(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ListView::dragMoveEvent(QDragMoveEvent *event)
{
    if (takes(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ListView::dropEvent(QDropEvent *event)
{
    if (!takes(event)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    m_drop();
}

void ListView::focusInEvent(QFocusEvent *event)
{
    QTreeView::focusInEvent(event);
    emit focusReceived();
}
