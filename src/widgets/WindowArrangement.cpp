#include "widgets/WindowArrangement.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStyle>

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
    const QSize size = areaSize(area);
    const int count = int(windows.size());
    QSize largestMinimum;
    for (const QMdiSubWindow *window : windows)
        largestMinimum =
            largestMinimum.expandedTo(window->minimumSize().expandedTo(window->minimumSizeHint()));
    // One above the other, each as wide as the area; when their minimum heights do not fit,
    // side by side in as few columns as lets them fit, and when not even that is possible, in
    // as many columns as the area's width takes, the area scrolling down to the rest.
    const int widest = std::max(1, size.width() / std::max(1, largestMinimum.width()));
    int columns = std::min(count, widest);
    for (int tried = 1; tried <= std::min(count, widest); ++tried) {
        const int rows = (count + tried - 1) / tried;
        if (size.height() / rows >= largestMinimum.height()) {
            columns = tried;
            break;
        }
    }
    const int rows = (count + columns - 1) / columns;
    const int width = std::max(size.width() / columns, largestMinimum.width());
    const int height = std::max(size.height() / rows, largestMinimum.height());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow *window = windows.at(i);
        window->showNormal();
        // The last column takes what division left over.
        const int column = i % columns;
        const int cellWidth = column == columns - 1 ? std::max(width, size.width() - column * width) : width;
        window->setGeometry(column * width, (i / columns) * height, cellWidth, height);
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
