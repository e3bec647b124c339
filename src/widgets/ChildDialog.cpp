#include "widgets/ChildDialog.h"

#include "widgets/FormScrollArea.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

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

QPushButton *button(QWidget *parent, const QString &caption, const QString &objectName)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    return button;
}

QComboBox *namesCombo(QWidget *parent, const QString &objectName, const QString &accessibleName)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(objectName);
    combo->setAccessibleName(accessibleName);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(24);
    return combo;
}

void layOutTabs(QWidget *window, QTabWidget *tabs, QPushButton *apply, QPushButton *cancel)
{
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    // The tabs and the buttons scroll together when the window is made smaller than they need.
    auto *form = new QWidget(window);
    auto *layout = new QVBoxLayout(form);
    layout->addWidget(tabs, 1);
    layout->addLayout(buttons);
    auto *area = new QVBoxLayout(window);
    area->setContentsMargins(0, 0, 0, 0);
    area->addWidget(new FormScrollArea(form, window));
}

} // namespace ChildDialog
