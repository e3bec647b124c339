#include "widgets/FormScrollArea.h"

#include <QBoxLayout>
#include <QEvent>
#include <QStyle>

#include <algorithm>

namespace {

QSize borders(const QFrame *frame)
{
    return {2 * frame->frameWidth(), 2 * frame->frameWidth()};
}

} // namespace

FormScrollArea::FormScrollArea(QWidget *form, QWidget *parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    // The form's controls take the focus; the area is only what they sit in.
    setFocusPolicy(Qt::NoFocus);
    setWidgetResizable(true);
    setWidget(form);
}

QSize FormScrollArea::sizeHint() const
{
    // A scroll area bounds its hint to a few dozen lines of text; a form larger than that would
    // open with scroll bars.
    if (!widget())
        return QScrollArea::sizeHint();
    return widget()->sizeHint().expandedTo(widget()->minimumSizeHint()) + borders(this);
}

QSize FormScrollArea::minimumSizeHint() const
{
    // A scroll area's own minimum keeps its scroll bars at full length; a window tiled small
    // needs the room more.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return QSize(4 * bar, 4 * bar) + borders(this);
}

bool FormScrollArea::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == widget() && event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}

QSize FormScrollArea::wholeSize(const QWidget *window, int width)
{
    // The window's minimum counts each of its areas at the area's own small minimum; along the
    // window's layout the form's minimum takes its place, across it the form sets the width.
    QSize whole = window->minimumSizeHint();
    const auto *layout = qobject_cast<const QBoxLayout *>(window->layout());
    if (!layout)
        return whole;
    const bool down =
        layout->direction() == QBoxLayout::TopToBottom || layout->direction() == QBoxLayout::BottomToTop;
    const QMargins margins = layout->contentsMargins();
    const QList<FormScrollArea *> areas = window->findChildren<FormScrollArea *>(Qt::FindDirectChildrenOnly);
    for (const FormScrollArea *area : areas) {
        if (!area->widget() || area->isHidden())
            continue;
        QSize form = area->widget()->minimumSizeHint() + borders(area);
        // Lines that wrap need the height they take at the width the window gives them.
        if (down && area->widget()->hasHeightForWidth()) {
            const int laidOut =
                std::max({width, whole.width(), form.width() + margins.left() + margins.right()});
            const int height = area->widget()->heightForWidth(laidOut - margins.left() - margins.right() -
                                                              borders(area).width());
            form.setHeight(std::max(form.height(), height + borders(area).height()));
        }
        const QSize beyond = (form - area->minimumSizeHint()).expandedTo(QSize(0, 0));
        if (down) {
            whole.rheight() += beyond.height();
            whole.setWidth(std::max(whole.width(), form.width() + margins.left() + margins.right()));
        } else {
            whole.rwidth() += beyond.width();
            whole.setHeight(std::max(whole.height(), form.height() + margins.top() + margins.bottom()));
        }
    }
    return whole;
}
