#include "browse/ListViewItem.h"

#include <QTreeWidget>

bool ListViewItem::operator<(const QTreeWidgetItem &other) const
{
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    const QString left = text(column);
    const QString right = other.text(column);
    const int order = left.compare(right, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : left < right;
}
