#pragma once

#include <QList>
#include <QRect>
#include <QSize>

class QMdiArea;
class QMdiSubWindow;

// How the frame places its child windows. Every window stays whole. Tile puts every window inside
// the area, side by side; a new window and cascade never make a window smaller than its minimum,
// and when the windows do not fit the area they are laid out beyond it, where the area scrolls,
// rather than over each other.
namespace WindowArrangement {

// The smallest a list window may be made: Tile shows twelve windows whole, side by side, on an
// 800 x 600 screen. Below the size it opens at, its list shrinks and scrolls; the other windows'
// forms scroll inside them (FormScrollArea).
inline constexpr QSize kSmallestWindow(190, 120);

// Side by side in a grid, every window inside the area, none over another.
void tile(QMdiArea *area);
// Staggered from the top left so that every title bar shows.
void cascade(QMdiArea *area);
// Where a new window opens: staggered from the active window, inside the area, shrunk to fit
// (never below its minimum).
QRect placeNew(const QMdiArea *area, const QMdiSubWindow *window);

// The visible, not minimized windows in the order they were opened.
QList<QMdiSubWindow *> arrangeable(const QMdiArea *area);

} // namespace WindowArrangement
