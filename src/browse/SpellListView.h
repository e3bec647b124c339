#pragma once

#include <QTreeWidget>

#include <functional>

// The list view of spells that the browser, the search window, the scroll manager and the
// failed-spells window show: report style, several rows selectable, and the drag source and
// drop target of spells. The spells themselves never travel with the drag: the source packs
// them into the shared drag-and-drop assistant and the drag carries only a marker.
class SpellListView : public QTreeWidget
{
    Q_OBJECT

public:
    static const QString kDragMimeType;

    SpellListView(const QString &objectName, const QStringList &columns, QWidget *parent = nullptr);

    // start packs the selected spells and says whether a drag may begin; complete runs when
    // the drag has ended, whatever its outcome.
    void setDragSource(std::function<bool()> start, std::function<void()> complete);
    // drop takes the spells of a drag that ends here; without it the list refuses drops.
    void setDropTarget(std::function<void()> drop);
    void setDropsAccepted(bool accepted);
    bool dropsAccepted() const;

signals:
    void focusReceived();

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    bool takes(const QDropEvent *event) const;

    std::function<bool()> m_dragStart;
    std::function<void()> m_dragComplete;
    std::function<void()> m_drop;
    bool m_dropsAccepted = false;
};
