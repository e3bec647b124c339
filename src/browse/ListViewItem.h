#pragma once

#include <QTreeWidgetItem>

// A row of a list view. Columns sort as text, ignoring letter case, with the exact text as the
// tie-break so that equal-looking names keep a fixed order.
class ListViewItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem &other) const override;
};
