#pragma once

#include <QObject>

#include <functional>

class QTreeView;

// Sorting a list view by a clicked column header. One toggle serves every column: each click
// reverses the previous direction, and the first click sorts descending.
class ColumnSortToggle : public QObject
{
    Q_OBJECT

public:
    explicit ColumnSortToggle(QTreeView *list);

public slots:
    void sortBy(int column);
    // The rows are no longer in the sorted order (they were read again): no arrow shows one.
    void forget();
    // Runs reload (which reads the rows again), then sorts them as the user last did, if she did.
    void keepAcross(const std::function<void()> &reload);

private:
    QTreeView *m_list;
    bool m_ascendingNext = false;
};
