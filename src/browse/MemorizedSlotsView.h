#pragma once

#include <QTreeWidget>

#include <functional>

// The levels of a caster's day as groups of slots. Spells dragged from a list are taken on a
// level (its group or any of its slots); the drag carries only the marker, the spells travel in
// the shared drag-and-drop assistant.
class MemorizedSlotsView : public QTreeWidget
{
    Q_OBJECT

public:
    // The data role of every row that holds the level it belongs to, 1 to 9.
    static constexpr int LevelRole = Qt::UserRole + 1;
    static constexpr int IndexRole = LevelRole + 1; // a slot row: its place in its level

    explicit MemorizedSlotsView(QWidget *parent = nullptr);

    // drop takes the spells of a drag that ends on a level.
    void setDropTarget(std::function<void(int level)> drop);
    // The level of the row at a point of the viewport; 0 when there is none.
    int levelAt(const QPoint &position) const;
    // The note and button columns as wide as their widest row.
    void fitColumns();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool takes(const QDropEvent *event) const;

    std::function<void(int)> m_drop;
};
