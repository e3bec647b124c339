#pragma once

#include <QPixmap>
#include <QTreeView>

#include <functional>

class ListViewModel;

// A list view as every list window shows one: report style, several rows selectable, sortable
// by column, and the drag source and drop target of spells. The spells never travel with the
// drag: the source packs them into the shared drag-and-drop assistant and the drag carries
// only a marker, which is all a target accepts.
class ListView : public QTreeView
{
    Q_OBJECT

public:
    static const QString kDragMimeType;

    ListView(const QString &objectName, const QStringList &columns, QWidget *parent = nullptr);

    ListViewModel *rows() const { return m_rows; }
    int rowCount() const;
    QString text(int row, int column = 0) const;

    bool isRowSelected(int row) const;
    void setRowSelected(int row, bool selected);
    // Makes a row the current one and the only one selected.
    void selectOnly(int row);
    // Selected row numbers in list order.
    QList<int> selectedRowNumbers() const;

    // start packs the selected spells and says whether a drag may begin; complete runs when
    // the drag has ended, whatever its outcome.
    void setDragSource(std::function<bool()> start, std::function<void()> complete);
    // drop takes the spells of a drag that ends here; without it the list refuses drops.
    void setDropTarget(std::function<void()> drop);
    void setDropsAccepted(bool accepted);
    bool dropsAccepted() const { return m_dropsAccepted; }

    // The width a column needs to show its header whole, sort arrow included.
    int headerWidth(int column) const;

    // The picture a drag of these names shows under the pointer: the first few names and how
    // many more there are.
    static QPixmap dragPicture(const QStringList &names, const QFont &font);

signals:
    void focusReceived();
    void rowDoubleClicked(int row);
    // Enter or Return on the list: what a double click on the current row does.
    void rowActivated(int row);
    // The Delete key on the list.
    void deleteRequested();
    void rowSelectionChanged();

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool takes(const QDropEvent *event) const;
    // Where a popup asked for from the keyboard opens: at the current row, else the top left.
    QPoint keyboardMenuPosition() const;

    ListViewModel *m_rows;
    std::function<bool()> m_dragStart;
    std::function<void()> m_dragComplete;
    std::function<void()> m_drop;
    bool m_dropsAccepted = false;
};
