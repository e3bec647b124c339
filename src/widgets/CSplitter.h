#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

// Layout for a window whose controls are placed by position: keeps the window from being made
// smaller than a minimum size, stretches or shifts registered controls when the window is
// resized, and offers a bar that can be dragged (a ghost bar follows the mouse meanwhile).
// A resize that would leave a registered control with a negative size moves nothing.
// Every operation raises VmError with source "CSplitter" when it is used wrongly.
class CSplitter : public QObject
{
    Q_OBJECT

public:
    // Orientation of the bar: a vertical bar moves left and right, a horizontal one up and down.
    static constexpr int kVertical = 1;
    static constexpr int kHorizontal = 2;
    // Direction of a resize registration: 2 = along the width (or left), 1 = along the height (or top).
    static constexpr int kHeight = 1;
    static constexpr int kWidth = 2;
    // Thickness of the bar along the axis it moves on, in pixels.
    static constexpr int kBarThickness = 5;

    explicit CSplitter(QObject *parent = nullptr);

    // Binds the bar and the ghost, which must share a container. Without an orientation (0) a
    // bar not wider than high is vertical. minPaneSize keeps the bar that far from either edge.
    void Init(QWidget *bar, QWidget *ghost, int orientation = 0, int minPaneSize = 0);
    // The container never gets smaller than this; 0 = no minimum.
    void SetMinFormSize(int minWidth, int minHeight);
    // kWidth: the controls' widths follow the container's; kHeight: their heights.
    void ResizeOnResize(int direction, const QList<QObject *> &controls);
    // kWidth: the controls' left edges follow the container's width; kHeight: their tops its height.
    void MoveOnResize(int direction, const QList<QObject *> &controls);
    // Dragging the bar by d: direction 1 controls (the pane before the bar) grow by d along the
    // bar's axis, direction 2 controls (the pane after it) shrink by d.
    void ResizeOnDrag(int direction, const QList<QObject *> &controls);
    // Dragging the bar by d moves these controls by d along the bar's axis (either direction).
    void MoveOnDrag(int direction, const QList<QObject *> &controls);
    // Puts the bar at a position along its axis and applies the drag registrations.
    void MoveBar(int position);

    int barPosition() const;

signals:
    void AfterResize(int barPosition);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Move
    {
        QWidget *control;
        QRect geometry;
    };

    void requireInit() const;
    static void requireDirection(int direction);
    QList<QWidget *> controlsOf(const QList<QObject *> &controls) const;
    void containerResized(const QSize &size);
    static bool apply(const QList<Move> &moves);
    int axisExtent() const;
    void dragTo(int position);

    QPointer<QWidget> m_bar;
    QPointer<QWidget> m_ghost;
    QPointer<QWidget> m_container;
    int m_orientation = kVertical;
    int m_minPane = 0;
    QSize m_lastSize;
    QList<QPointer<QWidget>> m_resizeOnDrag[2];
    QList<QPointer<QWidget>> m_moveOnDrag;
    QList<QPointer<QWidget>> m_widthFollows;
    QList<QPointer<QWidget>> m_heightFollows;
    QList<QPointer<QWidget>> m_leftFollows;
    QList<QPointer<QWidget>> m_topFollows;
    bool m_dragging = false;
    int m_grabOffset = 0;
    int m_lowest = 0;
    int m_highest = 0;
};
