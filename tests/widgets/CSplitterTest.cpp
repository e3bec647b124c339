#include "widgets/CSplitter.h"
#include "QtPrinters.h"
#include "Raised.h"

#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// A container with a vertical bar at x = 200 between a left and a right pane.
class SplitterTest : public ::testing::Test
{
protected:
    SplitterTest()
    {
        container.resize(500, 300);
        bar = new QWidget(&container);
        bar->setGeometry(200, 0, 5, 300);
        ghost = new QWidget(&container);
        left = new QLabel(&container);
        left->setGeometry(0, 0, 200, 300);
        right = new QLabel(&container);
        right->setGeometry(205, 0, 295, 300);
        small = new QLabel(&container);
        small->setGeometry(10, 10, 40, 20);
    }

    // "source: description" of the VmError an operation raises, or "" when it raises none.
    template<typename Operation>
    static QString failureOf(Operation operation)
    {
        const QString error = raised(operation);
        return error.mid(error.indexOf(QLatin1Char(' ')) + 1);
    }

    QWidget container;
    QWidget *bar;
    QWidget *ghost;
    QLabel *left;
    QLabel *right;
    QLabel *small;
    CSplitter splitter;
};

} // namespace

TEST_F(SplitterTest, MisuseRaisesClearErrors)
{
    EXPECT_EQ(failureOf([&] { splitter.ResizeOnResize(2, {left}); }),
              "CSplitter: CSplitter object not initialized.");
    QWidget elsewhere;
    auto *stray = new QWidget(&elsewhere);
    EXPECT_EQ(failureOf([&] { splitter.Init(bar, stray); }),
              "CSplitter: Objects are in different containers.");
    EXPECT_EQ(failureOf([&] { splitter.Init(bar, ghost, 3); }),
              "CSplitter: Invalid value for Orientation argument");

    splitter.Init(bar, ghost);
    EXPECT_FALSE(ghost->isVisible());
    EXPECT_EQ(bar->cursor().shape(), Qt::SplitHCursor); // narrower than high: vertical
    EXPECT_EQ(failureOf([&] { splitter.MoveOnResize(0, {left}); }),
              "CSplitter: Invalid value for Orientation argument");
    QTimer notAControl;
    EXPECT_EQ(failureOf([&] {
                  splitter.ResizeOnResize(1, {left, &notAControl});
              }),
              "CSplitter: Control expected.");
    EXPECT_EQ(failureOf([&] { splitter.ResizeOnDrag(1, {stray}); }),
              "CSplitter: Controls are in different containers");
}

TEST_F(SplitterTest, RegisteredControlsFollowTheContainerAndAFailedResizeMovesNothing)
{
    splitter.Init(bar, ghost);
    splitter.SetMinFormSize(400, 250);
    splitter.ResizeOnResize(CSplitter::kWidth, {right, small});
    splitter.ResizeOnResize(CSplitter::kHeight, {left, right});
    splitter.MoveOnResize(CSplitter::kHeight, {small});
    int resizes = 0;
    QObject::connect(&splitter, &CSplitter::AfterResize, [&](int position) {
        ++resizes;
        EXPECT_EQ(position, 200);
    });

    container.show(); // a hidden widget gets its resize events only when shown

    container.resize(550, 330);
    EXPECT_EQ(right->geometry(), QRect(205, 0, 345, 330));
    EXPECT_EQ(left->geometry(), QRect(0, 0, 200, 330));
    EXPECT_EQ(small->geometry(), QRect(10, 40, 90, 20));
    EXPECT_EQ(resizes, 1);

    // Below the minimum the container stays at the minimum, 150 narrower: more than the small
    // label is wide, so nothing moves at all.
    const QList<QRect> before = {left->geometry(), right->geometry(), small->geometry()};
    container.resize(100, 100);
    EXPECT_EQ(container.size(), QSize(400, 250));
    EXPECT_EQ((QList<QRect>{left->geometry(), right->geometry(), small->geometry()}), before);
    EXPECT_EQ(resizes, 1);

    // The last good size still counts.
    container.resize(520, 320);
    EXPECT_EQ(right->geometry(), QRect(205, 0, 315, 320));
    EXPECT_EQ(small->geometry(), QRect(10, 30, 60, 20));
    EXPECT_EQ(resizes, 2);
}

TEST_F(SplitterTest, DraggingTheBarResizesThePanesWithinTheLimits)
{
    splitter.Init(bar, ghost, CSplitter::kVertical, 100);
    splitter.ResizeOnDrag(1, {left});
    splitter.ResizeOnDrag(2, {right});
    splitter.MoveOnDrag(2, {right});

    splitter.MoveBar(250);
    EXPECT_EQ(bar->x(), 250);
    EXPECT_EQ(left->geometry(), QRect(0, 0, 250, 300));
    EXPECT_EQ(right->geometry(), QRect(255, 0, 245, 300));

    // With the mouse: the ghost follows, held 100 from either edge; the bar lands where it ends.
    container.show();
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(2, 10));
    EXPECT_TRUE(ghost->isVisible());
    QMouseEvent move(QEvent::MouseMove, QPointF(2 + 300, 10), bar->mapToGlobal(QPointF(302, 10)),
                     Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(bar, &move);
    EXPECT_EQ(ghost->x(), 500 - 100 - CSplitter::kBarThickness);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(302, 10));
    EXPECT_FALSE(ghost->isVisible());
    EXPECT_EQ(bar->x(), 395);
    EXPECT_EQ(left->width(), 395);
    EXPECT_EQ(right->geometry(), QRect(400, 0, 100, 300));

    // When the left pane follows the width, the bar stays far enough right for the container to
    // shrink back to its minimum with the pane still 100 wide, and that shrink does move things.
    splitter.SetMinFormSize(400, 0);
    splitter.ResizeOnResize(CSplitter::kWidth, {left});
    splitter.MoveOnResize(CSplitter::kWidth, {bar, right});
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(2, 10));
    QMouseEvent farLeft(QEvent::MouseMove, QPointF(2 - 390, 10), bar->mapToGlobal(QPointF(-388, 10)),
                        Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(bar, &farLeft);
    EXPECT_EQ(ghost->x(), 100 + (500 - 400));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(-388, 10));
    container.resize(400, 300);
    EXPECT_EQ(left->geometry(), QRect(0, 0, 100, 300));
    EXPECT_EQ(bar->x(), 100);
    EXPECT_EQ(right->geometry(), QRect(105, 0, 295, 300));
}
