#include "widgets/CSplitter.h"

#include "store/VmError.h"

#include <QEvent>
#include <QHash>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QWidget>

namespace {

const QString kSource = QStringLiteral("CSplitter");

[[noreturn]] void fail(int number, const char *description)
{
    throw VmError(number, kSource, QString::fromLatin1(description));
}

} // namespace

CSplitter::CSplitter(QObject *parent) : QObject(parent) {}

void CSplitter::Init(QWidget *bar, QWidget *ghost, int orientation, int minPaneSize)
{
    if (!bar || !ghost)
        fail(1003, "Control expected.");
    if (orientation == 0)
        orientation = bar->width() <= bar->height() ? kVertical : kHorizontal;
    if (orientation != kVertical && orientation != kHorizontal)
        fail(1002, "Invalid value for Orientation argument");
    if (bar->parentWidget() != ghost->parentWidget() || !bar->parentWidget())
        fail(1005, "Objects are in different containers.");

    if (m_container)
        m_container->removeEventFilter(this);
    if (m_bar)
        m_bar->removeEventFilter(this);
    m_bar = bar;
    m_ghost = ghost;
    m_container = bar->parentWidget();
    m_orientation = orientation;
    m_minPane = std::max(0, minPaneSize);
    m_lastSize = m_container->size();

    if (m_orientation == kVertical) {
        m_bar->setCursor(Qt::SplitHCursor);
        m_bar->resize(kBarThickness, m_bar->height());
    } else {
        m_bar->setCursor(Qt::SplitVCursor);
        m_bar->resize(m_bar->width(), kBarThickness);
    }
    m_ghost->hide();

    for (auto &collection : m_resizeOnDrag)
        collection.clear();
    m_moveOnDrag.clear();
    m_widthFollows.clear();
    m_heightFollows.clear();
    m_leftFollows.clear();
    m_topFollows.clear();

    m_container->installEventFilter(this);
    m_bar->installEventFilter(this);
}

void CSplitter::requireInit() const
{
    if (!m_bar || !m_container)
        fail(1001, "CSplitter object not initialized.");
}

void CSplitter::requireDirection(int direction)
{
    if (direction != 1 && direction != 2)
        fail(1002, "Invalid value for Orientation argument");
}

QList<QWidget *> CSplitter::controlsOf(const QList<QObject *> &controls) const
{
    QList<QWidget *> widgets;
    for (QObject *object : controls) {
        auto *widget = qobject_cast<QWidget *>(object);
        if (!widget)
            fail(1003, "Control expected.");
        if (widget->parentWidget() != m_container)
            fail(1004, "Controls are in different containers");
        widgets.append(widget);
    }
    return widgets;
}

void CSplitter::SetMinFormSize(int minWidth, int minHeight)
{
    requireInit();
    // Declared to Qt as the container's minimum size, so that no layout or user resize can
    // make it smaller in the first place.
    m_container->setMinimumSize(std::max(0, minWidth), std::max(0, minHeight));
}

void CSplitter::ResizeOnResize(int direction, const QList<QObject *> &controls)
{
    requireInit();
    requireDirection(direction);
    for (QWidget *widget : controlsOf(controls))
        (direction == kWidth ? m_widthFollows : m_heightFollows).append(widget);
}

void CSplitter::MoveOnResize(int direction, const QList<QObject *> &controls)
{
    requireInit();
    requireDirection(direction);
    for (QWidget *widget : controlsOf(controls))
        (direction == kWidth ? m_leftFollows : m_topFollows).append(widget);
}

void CSplitter::ResizeOnDrag(int direction, const QList<QObject *> &controls)
{
    requireInit();
    requireDirection(direction);
    for (QWidget *widget : controlsOf(controls))
        m_resizeOnDrag[direction - 1].append(widget);
}

void CSplitter::MoveOnDrag(int direction, const QList<QObject *> &controls)
{
    requireInit();
    requireDirection(direction);
    for (QWidget *widget : controlsOf(controls))
        m_moveOnDrag.append(widget);
}

bool CSplitter::apply(const QList<Move> &moves)
{
    // Every new geometry is checked before any control moves, so a failed resize leaves all of
    // them exactly where they were.
    for (const Move &move : moves) {
        if (move.geometry.width() < 0 || move.geometry.height() < 0)
            return false;
    }
    for (const Move &move : moves)
        move.control->setGeometry(move.geometry);
    return true;
}

void CSplitter::containerResized(const QSize &size)
{
    const int dW = size.width() - m_lastSize.width();
    const int dH = size.height() - m_lastSize.height();
    if (dW == 0 && dH == 0)
        return;

    QList<Move> moves;
    QHash<QWidget *, qsizetype> planned;
    auto plan = [&](const QList<QPointer<QWidget>> &collection, auto change) {
        for (const QPointer<QWidget> &control : collection) {
            if (!control)
                continue;
            auto found = planned.constFind(control);
            if (found == planned.constEnd()) {
                found = planned.insert(control, moves.size());
                moves.append(Move{control, control->geometry()});
            }
            change(moves[*found].geometry);
        }
    };
    plan(m_widthFollows, [dW](QRect &g) { g.setWidth(g.width() + dW); });
    plan(m_leftFollows, [dW](QRect &g) { g.translate(dW, 0); });
    plan(m_heightFollows, [dH](QRect &g) { g.setHeight(g.height() + dH); });
    plan(m_topFollows, [dH](QRect &g) { g.translate(0, dH); });

    if (!apply(moves))
        return;
    m_lastSize = size;
    emit AfterResize(barPosition());
}

int CSplitter::barPosition() const
{
    if (!m_bar)
        return 0;
    return m_orientation == kVertical ? m_bar->x() : m_bar->y();
}

int CSplitter::axisExtent() const
{
    return m_orientation == kVertical ? m_container->width() : m_container->height();
}

void CSplitter::MoveBar(int position)
{
    requireInit();
    const int delta = position - barPosition();
    if (delta == 0)
        return;
    const bool vertical = m_orientation == kVertical;

    QList<Move> moves;
    QRect bar = m_bar->geometry();
    bar.translate(vertical ? delta : 0, vertical ? 0 : delta);
    moves.append(Move{m_bar, bar});
    auto resize = [&](const QList<QPointer<QWidget>> &collection, int by) {
        for (const QPointer<QWidget> &control : collection) {
            if (!control)
                continue;
            QRect g = control->geometry();
            if (vertical)
                g.setWidth(g.width() + by);
            else
                g.setHeight(g.height() + by);
            moves.append(Move{control, g});
        }
    };
    resize(m_resizeOnDrag[0], delta);
    resize(m_resizeOnDrag[1], -delta);
    for (const QPointer<QWidget> &control : std::as_const(m_moveOnDrag)) {
        if (!control)
            continue;
        // A control both moved and resized keeps its new size.
        auto existing = std::find_if(moves.begin(), moves.end(),
                                     [&](const Move &move) { return move.control == control; });
        QRect &g = existing != moves.end() ? existing->geometry
                                           : moves.emplace_back(Move{control, control->geometry()}).geometry;
        g.translate(vertical ? delta : 0, vertical ? 0 : delta);
    }
    apply(moves);
}

void CSplitter::dragTo(int position)
{
    const int clamped = std::clamp(position, m_lowest, std::max(m_lowest, m_highest));
    if (m_orientation == kVertical)
        m_ghost->move(clamped, m_ghost->y());
    else
        m_ghost->move(m_ghost->x(), clamped);
}

bool CSplitter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_container && event->type() == QEvent::Resize) {
        containerResized(static_cast<QResizeEvent *>(event)->size());
    } else if (watched == m_bar) {
        const bool vertical = m_orientation == kVertical;
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() != Qt::LeftButton)
                break;
            m_dragging = true;
            m_grabOffset = vertical ? mouse->position().toPoint().x() : mouse->position().toPoint().y();
            // The pane before the bar is the one that follows the container: it must keep
            // m_minPane even after the container shrinks back to its minimum, or that shrink
            // would fail and leave the controls where they were. A bar already beyond a limit
            // is not moved by a mere click.
            const int minimumExtent = vertical ? m_container->minimumWidth() : m_container->minimumHeight();
            const int slack = minimumExtent > 0 ? std::max(0, axisExtent() - minimumExtent) : 0;
            m_lowest = std::min(m_minPane + slack, barPosition());
            m_highest = std::max(axisExtent() - m_minPane - kBarThickness, barPosition());
            m_ghost->setGeometry(m_bar->geometry());
            m_ghost->show();
            m_ghost->raise();
            return true;
        }
        case QEvent::MouseMove:
            if (m_dragging) {
                const QPoint at = m_bar->mapToParent(static_cast<QMouseEvent *>(event)->position().toPoint());
                dragTo((vertical ? at.x() : at.y()) - m_grabOffset);
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (m_dragging) {
                m_dragging = false;
                m_ghost->hide();
                MoveBar(vertical ? m_ghost->x() : m_ghost->y());
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
