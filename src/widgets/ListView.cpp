#include "widgets/ListView.h"

#include "widgets/ListViewModel.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPalette>
#include <QStyle>

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
        QStringList names;
        const QList<int> selected = selectedRowNumbers();
        for (qsizetype i = 0; i < selected.size() && i < 4; ++i)
            names.append(text(selected.at(i)));
        if (selected.size() > 4)
            names.append(QStringLiteral("and %1 more").arg(selected.size() - 4));
        const QPixmap picture = dragPicture(names, font());
        drag->setPixmap(picture);
        drag->setHotSpot(QPoint(-12, -4));
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

QPixmap ListView::dragPicture(const QStringList &names, const QFont &font)
{
    if (names.isEmpty())
        return {};
    const QFontMetrics metrics(font);
    int width = 0;
    for (const QString &name : names)
        width = std::max(width, metrics.horizontalAdvance(name));
    width = std::min(width, 360) + 12;
    const int lineHeight = metrics.height();
    const int height = lineHeight * int(names.size()) + 8;
    QPixmap picture(width, height);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    const QPalette palette = QApplication::palette();
    QColor background = palette.color(QPalette::ToolTipBase);
    background.setAlpha(220);
    painter.setPen(palette.color(QPalette::Mid));
    painter.setBrush(background);
    painter.drawRoundedRect(QRectF(0.5, 0.5, width - 1, height - 1), 4, 4);
    painter.setFont(font);
    painter.setPen(palette.color(QPalette::ToolTipText));
    for (qsizetype i = 0; i < names.size(); ++i)
        painter.drawText(QRect(6, 4 + int(i) * lineHeight, width - 12, lineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(names.at(i), Qt::ElideRight, width - 12));
    return picture;
}

void ListView::keyPressEvent(QKeyEvent *event)
{
    const bool menuKey = event->key() == Qt::Key_Menu ||
                         (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (menuKey && contextMenuPolicy() == Qt::CustomContextMenu) {
        emit customContextMenuRequested(keyboardMenuPosition());
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        if (currentIndex().isValid()) {
            emit rowActivated(currentIndex().row());
            event->accept();
            return;
        }
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit deleteRequested();
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

QPoint ListView::keyboardMenuPosition() const
{
    const QModelIndex current = currentIndex();
    if (current.isValid()) {
        const QRect row = visualRect(current);
        if (row.isValid())
            return QPoint(row.left() + 16, row.center().y());
    }
    return QPoint(8, 8);
}

int ListView::headerWidth(int column) const
{
    const QString caption = m_rows->headerData(column, Qt::Horizontal).toString();
    const int arrow = style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header());
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header());
    return header()->fontMetrics().horizontalAdvance(caption) + arrow + 4 * margin + 4;
}
