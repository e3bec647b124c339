#include "browse/ColumnSortToggle.h"

#include <QHeaderView>
#include <QTreeWidget>

ColumnSortToggle::ColumnSortToggle(QTreeWidget *list) : QObject(list), m_list(list)
{
    QHeaderView *header = list->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    connect(header, &QHeaderView::sectionClicked, this, &ColumnSortToggle::sortBy);
}

void ColumnSortToggle::sortBy(int column)
{
    const Qt::SortOrder order = m_ascendingNext ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_ascendingNext = !m_ascendingNext;
    m_list->header()->setSortIndicatorShown(true);
    m_list->sortItems(column, order);
    m_list->scrollToItem(m_list->currentItem());
}
