#pragma once

#include <QList>
#include <QRect>

class QMdiArea;
class QMdiSubWindow;

// How the frame places its child windows. Every window stays whole: a window is never made
// smaller than its minimum, and when the windows do not fit the area they are laid out beyond
// it, where the area scrolls, rather than over each other.
namespace WindowArrangement {

// One above the other, each as wide as the area, sharing its height.
void tile(QMdiArea *area);
// Staggered from the top left so that every title bar shows.
void cascade(QMdiArea *area);
// Where a new window opens: staggered from the active window, inside the area, shrunk to fit
// (never below its minimum).
QRect placeNew(const QMdiArea *area, const QMdiSubWindow *window);

// The visible, not minimized windows in the order they were opened.
QList<QMdiSubWindow *> arrangeable(const QMdiArea *area);

} // namespace WindowArrangement
