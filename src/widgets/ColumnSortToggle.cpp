#include "widgets/ColumnSortToggle.h"

#include <QHeaderView>
#include <QTreeView>

ColumnSortToggle::ColumnSortToggle(QTreeView *list) : QObject(list), m_list(list)
{
    QHeaderView *header = list->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    connect(header, &QHeaderView::sectionClicked, this, &ColumnSortToggle::sortBy);
    // Rows added go at the end, out of any order the arrow claims.
    connect(list->model(), &QAbstractItemModel::rowsInserted, this, &ColumnSortToggle::forget);
}

void ColumnSortToggle::forget()
{
    m_list->header()->setSortIndicatorShown(false);
}

void ColumnSortToggle::sortBy(int column)
{
    const Qt::SortOrder order = m_ascendingNext ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_ascendingNext = !m_ascendingNext;
    m_list->header()->setSortIndicatorShown(true);
    m_list->sortByColumn(column, order);
    if (m_list->currentIndex().isValid())
        m_list->scrollTo(m_list->currentIndex());
}

void ColumnSortToggle::keepAcross(const std::function<void()> &reload)
{
    const QHeaderView *header = m_list->header();
    const bool sorted = header->isSortIndicatorShown();
    const int column = header->sortIndicatorSection();
    const Qt::SortOrder order = header->sortIndicatorOrder();
    reload();
    if (!sorted)
        return;
    m_list->header()->setSortIndicatorShown(true);
    m_list->sortByColumn(column, order);
}
