#pragma once

#include <QTreeWidget>

// The levels of a caster's day as groups of slots. It takes no drops of its own: spells dragged
// onto it go to the window around it, which takes them anywhere, each to its own level.
class MemorizedSlotsView : public QTreeWidget
{
    Q_OBJECT

public:
    // The data role of every row that holds the level it belongs to, 1 to 9.
    static constexpr int LevelRole = Qt::UserRole + 1;
    static constexpr int IndexRole = LevelRole + 1; // a slot row: its place in its level

    explicit MemorizedSlotsView(QWidget *parent = nullptr);

    // The note and button columns as wide as their widest row.
    void fitColumns();
};
