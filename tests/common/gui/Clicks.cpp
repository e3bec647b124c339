#include "Clicks.h"

#include "widgets/ListView.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

namespace {

QToolButton *usableButton(const QWidget *window, const QString &key)
{
    QToolButton *found = nullptr;
    const QList<QToolButton *> buttons = window->findChildren<QToolButton *>(key);
    for (QToolButton *button : buttons) {
        if (qobject_cast<QToolBar *>(button->parentWidget()))
            found = button;
    }
    if (!found) {
        ADD_FAILURE() << "no tool bar button " << key.toStdString();
        return nullptr;
    }
    // A button hidden through its tool bar action is not visible to the user either.
    if (!found->isVisibleTo(window->window()) || !found->isEnabled()) {
        ADD_FAILURE() << "tool bar button " << key.toStdString() << " is hidden or disabled";
        return nullptr;
    }
    return found;
}

// A list the user can reach: there, visible and enabled.
bool usableList(const ListView *list)
{
    if (!list) {
        ADD_FAILURE() << "no list";
        return false;
    }
    if (!list->isVisibleTo(list->window()) || !list->isEnabled()) {
        ADD_FAILURE() << "list " << list->objectName().toStdString() << " is hidden or disabled";
        return false;
    }
    return true;
}

// A row's middle, in the list's viewport, brought into view.
QPoint rowMiddle(ListView *list, int row)
{
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    return list->visualRect(index).center();
}

// Delivers a drop while a list's drag is on. The list makes its drag (a QDrag, its child) once the
// window has packed what is dragged, and ends the drag when that drag returns; on a platform
// without a pointer the drag returns at once, so the drop comes as the drag is made.
class DuringDrag : public QObject
{
public:
    explicit DuringDrag(std::function<void()> deliver) : m_deliver(std::move(deliver)) {}
    bool delivered() const { return m_delivered; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ChildAdded && !m_delivered) {
            m_delivered = true;
            m_deliver();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_deliver;
    bool m_delivered = false;
};

void sendMouse(QWidget *to, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, to->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(to, &event);
}

} // namespace

bool canPress(const QWidget *window, const QString &key)
{
    const QList<QToolButton *> buttons = window->findChildren<QToolButton *>(key);
    for (const QToolButton *button : buttons) {
        if (qobject_cast<QToolBar *>(button->parentWidget()))
            return button->isVisibleTo(window->window()) && button->isEnabled();
    }
    return false;
}

void pressButton(const QWidget *window, const QString &key)
{
    if (QToolButton *button = usableButton(window, key)) {
        if (button->popupMode() == QToolButton::InstantPopup) {
            ADD_FAILURE() << "tool bar button " << key.toStdString() << " only opens its drop-down";
            return;
        }
        button->click();
    }
}

void chooseEntry(const QWidget *window, const QString &buttonKey, const QString &entry)
{
    QToolButton *button = usableButton(window, buttonKey);
    if (!button)
        return;
    QMenu *menu = button->menu();
    if (!menu) {
        ADD_FAILURE() << "tool bar button " << buttonKey.toStdString() << " has no drop-down";
        return;
    }
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions) {
        if (action->data().toString() != entry)
            continue;
        if (!action->isVisible() || !action->isEnabled()) {
            ADD_FAILURE() << "entry " << entry.toStdString() << " is hidden or disabled";
            return;
        }
        // What a click on the entry does: the menu reports the action it triggered.
        action->trigger();
        return;
    }
    ADD_FAILURE() << "no entry " << entry.toStdString() << " under " << buttonKey.toStdString();
}

void chooseMenuEntry(const QObject *owner, const QString &name)
{
    auto *action = owner->findChild<QAction *>(name);
    if (!action) {
        ADD_FAILURE() << "no menu entry " << name.toStdString();
        return;
    }
    if (!action->isVisible() || !action->isEnabled()) {
        ADD_FAILURE() << "menu entry " << name.toStdString() << " is hidden or disabled";
        return;
    }
    action->trigger();
}

void clickButton(QAbstractButton *button)
{
    if (!button) {
        ADD_FAILURE() << "no button to click";
        return;
    }
    if (!button->isVisibleTo(button->window()) || !button->isEnabled()) {
        ADD_FAILURE() << "button " << button->text().toStdString() << " is hidden or disabled";
        return;
    }
    button->click();
}

void dropOnList(ListView *target)
{
    QMimeData marker;
    marker.setData(ListView::kDragMimeType, QByteArray());
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &marker, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target->viewport(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &marker, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target->viewport(), &drop);
}

void choosePopupEntry(ListView *list, const QString &entry)
{
    if (!usableList(list))
        return;
    QTest::keyClick(list, Qt::Key_Menu);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!menu) {
        ADD_FAILURE() << "list " << list->objectName().toStdString() << " opened no popup menu";
        return;
    }
    QAction *chosen = nullptr;
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions) {
        if (action->objectName() == entry)
            chosen = action;
    }
    // A click closes the menu before its entry does its work.
    menu->close();
    if (!chosen)
        ADD_FAILURE() << "no entry " << entry.toStdString() << " in the popup menu";
    else if (!chosen->isVisible() || !chosen->isEnabled())
        ADD_FAILURE() << "popup entry " << entry.toStdString() << " is hidden or disabled";
    else
        chosen->trigger();
}

bool dragAndDrop(ListView *from, QWidget *target, QPoint at)
{
    if (!usableList(from) || !target)
        return false;
    const QList<int> rows = from->selectedRowNumbers();
    if (rows.isEmpty()) {
        ADD_FAILURE() << "nothing selected to drag";
        return false;
    }
    if (at.isNull())
        at = target->rect().center();
    bool taken = false;
    DuringDrag duringDrag([&] {
        QMimeData marker;
        marker.setData(ListView::kDragMimeType, QByteArray());
        QDragEnterEvent enter(at, Qt::CopyAction, &marker, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &marker, Qt::LeftButton, {});
        if (enter.isAccepted())
            QCoreApplication::sendEvent(target, &move);
        if (enter.isAccepted() && move.isAccepted()) {
            QDropEvent drop(QPointF(at), Qt::CopyAction, &marker, Qt::LeftButton, {});
            QCoreApplication::sendEvent(target, &drop);
            taken = true;
        } else {
            QDragLeaveEvent leave;
            QCoreApplication::sendEvent(target, &leave);
        }
    });
    from->installEventFilter(&duringDrag);
    // Pressed on a selected row, the mouse moves a little, then past the distance that starts a drag.
    QWidget *viewport = from->viewport();
    const QPoint start = rowMiddle(from, rows.constFirst());
    sendMouse(viewport, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    sendMouse(viewport, QEvent::MouseMove, start + QPoint(1, 0), Qt::NoButton, Qt::LeftButton);
    sendMouse(viewport, QEvent::MouseMove, start + QPoint(QApplication::startDragDistance() + 8, 0),
              Qt::NoButton, Qt::LeftButton);
    from->removeEventFilter(&duringDrag);
    if (!duringDrag.delivered()) {
        ADD_FAILURE() << "no drag began from " << from->objectName().toStdString();
        sendMouse(viewport, QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton);
    }
    return taken;
}

void selectRows(ListView *list, const QStringList &texts)
{
    if (!usableList(list))
        return;
    list->clearSelection();
    for (int row = 0; row < list->rowCount(); ++row) {
        if (texts.contains(list->text(row)))
            list->setRowSelected(row, true);
    }
}

void clickRow(ListView *list, int row)
{
    if (!usableList(list))
        return;
    if (row < 0 || row >= list->rowCount()) {
        ADD_FAILURE() << "no row " << row << " in " << list->objectName().toStdString();
        return;
    }
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowMiddle(list, row));
}

void doubleClickRow(ListView *list, int row)
{
    clickRow(list, row);
    if (list && row >= 0 && row < list->rowCount())
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rowMiddle(list, row));
}

void clickHeader(ListView *list, int column)
{
    if (!usableList(list))
        return;
    QHeaderView *header = list->header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void toggleCheck(ListView *list, int row)
{
    clickRow(list, row);
    if (list)
        QTest::keyClick(list, Qt::Key_Space);
}
