#include "Clicks.h"

#include "widgets/ListView.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

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
