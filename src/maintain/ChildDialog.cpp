#include "maintain/ChildDialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPushButton>

namespace ChildDialog {

bool handleKey(QWidget *window, QKeyEvent *event, QPushButton *defaultButton)
{
    if (event->modifiers() & ~Qt::KeypadModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_Escape:
        closeWindow(window);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // A button that has the focus is the one Enter means, as in any dialog.
        auto *focused = qobject_cast<QPushButton *>(QApplication::focusWidget());
        QPushButton *button = focused && window->isAncestorOf(focused) ? focused : defaultButton;
        if (button && button->isVisible() && button->isEnabled())
            button->click();
        return true;
    }
    default:
        return false;
    }
}

void closeWindow(QWidget *window)
{
    if (auto *subWindow = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        subWindow->close();
    else
        window->close();
}

} // namespace ChildDialog
