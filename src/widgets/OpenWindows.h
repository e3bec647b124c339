#pragma once

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

// Looking through the open windows of the frame: the child windows are the widgets of the
// multiple-document area's sub-windows.
namespace OpenWindows {

// Every open window of a class, in the area's creation order.
template<typename Window>
QList<Window *> all(const QMdiArea *area)
{
    QList<Window *> windows;
    if (!area)
        return windows;
    const QList<QMdiSubWindow *> subWindows = area->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow *subWindow : subWindows) {
        if (auto *window = qobject_cast<Window *>(subWindow->widget()))
            windows.append(window);
    }
    return windows;
}

// The first open window of a class that matches; nullptr when there is none.
template<typename Window, typename Predicate>
Window *find(const QMdiArea *area, Predicate matches)
{
    const QList<Window *> windows = all<Window>(area);
    for (Window *window : windows) {
        if (matches(window))
            return window;
    }
    return nullptr;
}

// The first open window of a class with that object name (the window's name).
template<typename Window>
Window *named(const QMdiArea *area, const QString &name)
{
    return find<Window>(area, [&name](const Window *window) { return window->objectName() == name; });
}

// Moves a child window back inside what its area shows, as far as the window's size allows.
inline void moveInside(QMdiSubWindow *subWindow)
{
    const QMdiArea *area = subWindow->mdiArea();
    if (!area || subWindow->isMaximized())
        return;
    const QSize room = area->viewport()->size() - subWindow->size();
    subWindow->move(std::max(0, std::min(subWindow->x(), room.width())),
                    std::max(0, std::min(subWindow->y(), room.height())));
}

// Shows a child window and brings it to the front.
inline void bringToFront(QWidget *window)
{
    if (!window)
        return;
    if (auto *subWindow = qobject_cast<QMdiSubWindow *>(window->parentWidget())) {
        if (subWindow->isMinimized())
            subWindow->showNormal();
        else
            subWindow->show();
        if (QMdiArea *area = subWindow->mdiArea()) {
            // A window scrolled out of sight (after Tile) comes back where it can be seen.
            if (!area->viewport()->rect().contains(subWindow->geometry()))
                moveInside(subWindow);
            area->setActiveSubWindow(subWindow);
        }
        subWindow->raise();
    }
    window->show();
    window->raise();
}

} // namespace OpenWindows
