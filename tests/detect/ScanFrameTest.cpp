#include "TMRControl.h"
#include "TPanelTrans.h"
#include "TScanFrame.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

struct FakeFrameHost : TScanFrameHost
{
    QRect view{10, 20, 320, 240};
    bool viewVisible = true;
    QRect freeze{10, 20, 176, 144};
    bool active = true;
    QString hint;

    QRect VideoViewRect() const override { return view; }
    bool VideoViewVisible() const override { return viewVisible; }
    QRect FreezeRect() const override { return freeze; }
    bool VideoActive() const override { return active; }
    void ShowStatusHint(const QString& text) override { hint = text; }
};

class ScanFrameDrag : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(400, 300);
        window.show();
        frame.ShowFrame(true);
        frame.PlaceFrame();
    }

    TPanelTrans* panel() const { return frame.PanelTransFrame(); }

    // A mouse event on the panel at a point of the panel's parent.
    void send(QEvent::Type type, QPoint inParent, Qt::MouseButtons buttons,
              Qt::KeyboardModifiers modifiers)
    {
        const QPoint global = window.mapToGlobal(inParent);
        const QPoint local = panel()->mapFromGlobal(global);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(local), QPointF(global), button, buttons, modifiers);
        QApplication::sendEvent(panel(), &event);
    }

    // Press at `from`, move to `to` through a midpoint, release there.
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers)
    {
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, modifiers);
        send(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton, modifiers);
        send(QEvent::MouseMove, to, Qt::LeftButton, modifiers);
        send(QEvent::MouseButtonRelease, to, Qt::NoButton, modifiers);
    }

    FakeFrameHost host;
    QWidget window;
    TScanFrame frame{host, &window};
};

} // namespace

TEST_F(ScanFrameDrag, PlacesFromPercentsAndShowsOnlyWithActiveVideo)
{
    EXPECT_EQ(panel()->geometry(), QRect(90, 80, 160, 120));
    EXPECT_TRUE(frame.Shown());
    EXPECT_EQ(panel()->Margin(), 2);
    EXPECT_EQ(panel()->GripWidth(), 12);
    EXPECT_TRUE(panel()->Mire());
    EXPECT_EQ(panel()->Color(), QColor(0, 255, 0));
    EXPECT_EQ(frame.MRControlFrame().ResizeOptions, ScanFrameGeometry::roRightBottom);
    EXPECT_FALSE(panel()->mask().isEmpty());

    host.active = false;
    frame.ShowFrame(true);
    EXPECT_FALSE(frame.Shown()) << "no frame without video";
    host.active = true;
    frame.ShowFrame(true);

    // Over the frozen still when the live view is hidden; visibility survives placing.
    host.viewVisible = false;
    frame.PlaceFrame();
    EXPECT_EQ(panel()->geometry(), QRect(54, 56, 88, 72));
    EXPECT_TRUE(frame.Shown());
    EXPECT_EQ(frame.FrameDragMode(), ScanFrameGeometry::DragMode::Placing);

    frame.SetLocked(true);
    EXPECT_FALSE(panel()->isEnabled());
    EXPECT_FALSE(panel()->SizeGrip());
    frame.SetLocked(false);
    EXPECT_TRUE(panel()->isEnabled());
    EXPECT_TRUE(panel()->SizeGrip());
}

TEST_F(ScanFrameDrag, CtrlDragMovesAndTheFrameSnapsToTruncatedPercents)
{
    // Take the frame at its outline's top-left and drop it 50 px from the view's left.
    drag(QPoint(91, 81), QPoint(61, 81), Qt::ControlModifier);
    EXPECT_EQ(host.hint, "X: 15% Y: 25%");
    EXPECT_EQ(frame.Percents().PX, 15);
    EXPECT_EQ(frame.Percents().PY, 25);
    EXPECT_EQ(panel()->pos(), QPoint(10 + 48, 80)) << "50 px -> 15 % -> 48 px";
    EXPECT_EQ(panel()->size(), QSize(160, 120));

    // Far past the left and bottom edges: exactly on them.
    drag(QPoint(59, 30), QPoint(-300, 900), Qt::ControlModifier);
    EXPECT_EQ(panel()->pos(), QPoint(10, 140));
    EXPECT_EQ(frame.Percents().PX, 0);
    EXPECT_EQ(frame.Percents().PY, 50);
    drag(QPoint(11, 141), QPoint(900, -300), Qt::ControlModifier);
    EXPECT_EQ(panel()->pos(), QPoint(170, 20));
    EXPECT_EQ(frame.Percents().PX, 50);
    EXPECT_EQ(frame.Percents().PY, 0);
}

TEST_F(ScanFrameDrag, ShiftResizesFromTheCornerOnlyAndKeepsTheMinimum)
{
    // Shift from the middle of the outline: nothing.
    drag(QPoint(91, 140), QPoint(40, 40), Qt::ShiftModifier);
    EXPECT_EQ(panel()->geometry(), QRect(90, 80, 160, 120));

    // Shift from the bottom-right corner, down to 10 x 10: 16 x 16.
    drag(QPoint(248, 198), QPoint(98, 88), Qt::ShiftModifier);
    EXPECT_EQ(host.hint, "Largeur: 5% Hauteur: 6%");
    EXPECT_EQ(frame.Percents().PW, 5);
    EXPECT_EQ(frame.Percents().PH, 7) << "6 % of 240 would snap it to 14 pixels";
    EXPECT_EQ(panel()->size(), QSize(16, 16)) << "the least size holds after the snap";
    EXPECT_EQ(frame.FrameDragMode(), ScanFrameGeometry::DragMode::Placing);

    // Bigger than the view: it stops at the view's right and bottom edges.
    drag(QPoint(104, 92), QPoint(900, 900), Qt::ShiftModifier);
    EXPECT_EQ(frame.Percents().PW, 75);
    EXPECT_EQ(frame.Percents().PH, 75);
    EXPECT_EQ(panel()->geometry(), QRect(90, 80, 240, 180));
}

TEST_F(ScanFrameDrag, CtrlAndShiftOnTheCornerMoveWithoutResizing)
{
    drag(QPoint(248, 198), QPoint(228, 178),
         Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier));
    EXPECT_EQ(panel()->size(), QSize(160, 120));
    EXPECT_EQ(frame.Percents().PX, 18) << "(70 - 10) * 100 / 320";
    EXPECT_FALSE(frame.MRControlFrame().Dragging());
}

TEST_F(ScanFrameDrag, NoDragWithoutTheLeftButtonOrAKey)
{
    send(QEvent::MouseButtonPress, QPoint(91, 81), Qt::RightButton, Qt::ControlModifier);
    EXPECT_FALSE(frame.MRControlFrame().Dragging());
    send(QEvent::MouseButtonPress, QPoint(91, 81), Qt::LeftButton, Qt::NoModifier);
    EXPECT_FALSE(frame.MRControlFrame().Dragging());
    // Hovering the corner with Shift shows the sizing cursor, without it the arrow.
    send(QEvent::MouseMove, QPoint(248, 198), Qt::NoButton, Qt::ShiftModifier);
    EXPECT_EQ(panel()->cursor().shape(), Qt::SizeFDiagCursor);
    send(QEvent::MouseMove, QPoint(248, 198), Qt::NoButton, Qt::NoModifier);
    EXPECT_EQ(panel()->cursor().shape(), Qt::ArrowCursor);
}
