#include "widgets/WindowArrangement.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStyle>

#include <cmath>

namespace {

// The distance between staggered windows: a title bar and a little more.
int staggerStep(const QMdiArea *area)
{
    return area->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 6;
}

QSize areaSize(const QMdiArea *area)
{
    return area->viewport()->size();
}

// Positions given to the area's windows are relative to what it shows now; a scrolled area
// would shift them.
void scrollToTop(QMdiArea *area)
{
    area->horizontalScrollBar()->setValue(0);
    area->verticalScrollBar()->setValue(0);
}

} // namespace

namespace WindowArrangement {

QList<QMdiSubWindow *> arrangeable(const QMdiArea *area)
{
    QList<QMdiSubWindow *> windows;
    const QList<QMdiSubWindow *> all = area->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow *window : all) {
        if (window->isVisible() && !window->isMinimized())
            windows.append(window);
    }
    return windows;
}

void tile(QMdiArea *area)
{
    const QList<QMdiSubWindow *> windows = arrangeable(area);
    if (windows.isEmpty())
        return;
    scrollToTop(area);
    // The whole area, scroll bars or not: once every window is inside it, it has none.
    const QSize size = area->contentsRect().size();
    const int count = int(windows.size());
    // Side by side in a grid as near square as the count allows, as Qt's own tiling does; the
    // windows of a last row that is not full share its whole width.
    const int columns = int(std::ceil(std::sqrt(double(count))));
    const int rows = (count + columns - 1) / columns;
    const int height = size.height() / rows;
    for (int i = 0; i < count; ++i) {
        const int row = i / columns;
        const int inRow = row == rows - 1 ? count - row * columns : columns;
        const int column = i % columns;
        const int width = size.width() / inRow;
        // The last cell of a row and the cells of the last row take what division left over.
        const QRect cell(column * width, row * height,
                         column == inRow - 1 ? size.width() - column * width : width,
                         row == rows - 1 ? size.height() - row * height : height);
        QMdiSubWindow *window = windows.at(i);
        window->showNormal();
        // A window is never larger than its cell: it stays whole, and its lists scroll inside.
        window->setMinimumSize(window->minimumSize().boundedTo(cell.size()));
        window->setGeometry(cell);
    }
}

void cascade(QMdiArea *area)
{
    QList<QMdiSubWindow *> windows = arrangeable(area);
    if (windows.isEmpty())
        return;
    // The window in use ends on top, where the keyboard already is.
    if (QMdiSubWindow *active = area->activeSubWindow(); active && windows.removeOne(active))
        windows.append(active);
    scrollToTop(area);
    const int step = staggerStep(area);
    const int count = int(windows.size());
    const QSize size = areaSize(area);
    // Each window as large as the area leaves after the steps of the others, but whole.
    const QSize wanted(size.width() - (count - 1) * step, size.height() - (count - 1) * step);
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow *window = windows.at(i);
        window->showNormal();
        const QSize minimum = window->minimumSize().expandedTo(window->minimumSizeHint());
        window->setGeometry(QRect(QPoint(i * step, i * step), wanted.expandedTo(minimum)));
        window->raise();
    }
}

QRect placeNew(const QMdiArea *area, const QMdiSubWindow *window)
{
    const QSize size = areaSize(area);
    const QSize minimum = window->minimumSize().expandedTo(window->minimumSizeHint());
    const QSize wanted = window->size().boundedTo(size).expandedTo(minimum);
    const int step = staggerStep(area);

    QPoint position(0, 0);
    const QMdiSubWindow *last = nullptr;
    const QList<QMdiSubWindow *> windows = area->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (*it != window && (*it)->isVisible() && !(*it)->isMinimized() && !(*it)->isMaximized()) {
            last = *it;
            break;
        }
    }
    if (last)
        position = last->pos() + QPoint(step, step);
    // A window that would reach past the area starts again at the top left.
    if (position.x() < 0 || position.y() < 0 || position.x() + wanted.width() > size.width() ||
        position.y() + wanted.height() > size.height())
        position = QPoint(0, 0);
    return QRect(position, wanted);
}

} // namespace WindowArrangement
