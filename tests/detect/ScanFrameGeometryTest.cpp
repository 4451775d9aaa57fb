#include "ScanFrameGeometry.h"

#include <gtest/gtest.h>

using namespace ScanFrameGeometry;

TEST(ScanFrameShape, OutlineGripAndCrossHairStayVisibleAndTheInsideShowsThrough)
{
    const int w = 100, h = 80, m = 2, g = 12;
    EXPECT_EQ(HolePolygon(w, h, m, g, false, false).size(), 4);
    EXPECT_EQ(
        HolePolygon(w, h, m, g, true, false),
        QPolygon({QPoint(2, 2), QPoint(98, 2), QPoint(98, 66), QPoint(86, 78), QPoint(2, 78)}));
    EXPECT_EQ(HolePolygon(w, h, m, g, true, true).size(), 21);
    EXPECT_EQ(HolePolygon(w, h, m, g, false, true).size(), 20);

    const QRegion plain = VisibleRegion(w, h, m, g, false, false);
    EXPECT_TRUE(plain.contains(QPoint(0, 0)));
    EXPECT_TRUE(plain.contains(QPoint(1, 40)));
    EXPECT_TRUE(plain.contains(QPoint(99, 79)));
    EXPECT_FALSE(plain.contains(QPoint(2, 2)));
    EXPECT_FALSE(plain.contains(QPoint(50, 40)));
    EXPECT_FALSE(plain.contains(QPoint(96, 76)));

    const QRegion grip = VisibleRegion(w, h, m, g, true, false);
    EXPECT_TRUE(grip.contains(QPoint(96, 76))) << "the grip corner is painted";
    EXPECT_FALSE(grip.contains(QPoint(80, 70)));

    const QRegion mire = VisibleRegion(w, h, m, g, true, true);
    EXPECT_TRUE(mire.contains(QPoint(50, 10))) << "upper arm";
    EXPECT_TRUE(mire.contains(QPoint(50, 70))) << "lower arm";
    EXPECT_TRUE(mire.contains(QPoint(10, 40))) << "left arm";
    EXPECT_TRUE(mire.contains(QPoint(90, 40))) << "right arm";
    EXPECT_FALSE(mire.contains(QPoint(50, 40))) << "gap at the centre";
    EXPECT_FALSE(mire.contains(QPoint(52, 42)));
    EXPECT_FALSE(mire.contains(QPoint(20, 20)));
    EXPECT_TRUE(mire.contains(QPoint(96, 76)));
}

TEST(ScanFrameRules, MovesStayInsideTheViewAndResizesKeepTheMinimum)
{
    const QRect view(10, 20, 320, 240);
    const auto moved = [&](int x, int y) {
        int w = 100, h = 60;
        ConstrainBounds(DragMode::Move, view, x, y, w, h);
        return QRect(x, y, w, h);
    };
    EXPECT_EQ(moved(-50, 50).topLeft(), QPoint(10, 50));
    EXPECT_EQ(moved(300, 50).topLeft(), QPoint(230, 50));
    EXPECT_EQ(moved(50, 0).topLeft(), QPoint(50, 20));
    EXPECT_EQ(moved(50, 500).topLeft(), QPoint(50, 200));
    EXPECT_EQ(moved(50, 60).topLeft(), QPoint(50, 60));

    int x = 100, y = 100, w = 10, h = 10;
    ConstrainBounds(DragMode::Resize, view, x, y, w, h);
    EXPECT_EQ(QSize(w, h), QSize(16, 16));
    w = 400, h = 400;
    ConstrainBounds(DragMode::Resize, view, x, y, w, h);
    EXPECT_EQ(QSize(w, h), QSize(230, 160));
    x = -5, w = 1000;
    ConstrainBounds(DragMode::Placing, view, x, y, w, h);
    EXPECT_EQ(QRect(x, y, w, h), QRect(-5, 100, 1000, 160));
}

TEST(ScanFrameRules, StatusTextsAndPlacementTruncate)
{
    const QRect view(10, 20, 320, 240);
    EXPECT_EQ(MoveStatusText(QPoint(60, 68), view), "X: 15% Y: 20%");
    EXPECT_EQ(ResizeStatusText(QSize(160, 119), view), "Largeur: 50% Hauteur: 49%");
    EXPECT_EQ(MoveStatusText(QPoint(60, 68), QRect(0, 0, 0, 240)), "Error");
    EXPECT_EQ(ResizeStatusText(QSize(16, 16), QRect(0, 0, 320, 0)), "Error");

    EXPECT_EQ(PlacedRect(view, {15, 20, 50, 50}), QRect(58, 68, 160, 120));
    EXPECT_EQ(PlacedRect(QRect(0, 0, 352, 288), {33, 33, 33, 33}), QRect(116, 95, 116, 95));
}

TEST(ScanFrameRules, HitTestFollowsTheZoneOrderAndAllowedOptions)
{
    const QSize size(100, 80);
    EXPECT_EQ(HitTest({3, 77}, size, kAllResizeOptions), ResizeZone::LeftBottom);
    EXPECT_EQ(HitTest({3, 3}, size, kAllResizeOptions), ResizeZone::LeftTop);
    EXPECT_EQ(HitTest({97, 77}, size, kAllResizeOptions), ResizeZone::RightBottom);
    EXPECT_EQ(HitTest({97, 3}, size, kAllResizeOptions), ResizeZone::TopRight);
    EXPECT_EQ(HitTest({0, 40}, size, kAllResizeOptions), ResizeZone::Left);
    EXPECT_EQ(HitTest({50, 6}, size, kAllResizeOptions), ResizeZone::Top);
    EXPECT_EQ(HitTest({94, 40}, size, kAllResizeOptions), ResizeZone::Right);
    EXPECT_EQ(HitTest({50, 80}, size, kAllResizeOptions), ResizeZone::Bottom);
    EXPECT_EQ(HitTest({50, 40}, size, kAllResizeOptions), ResizeZone::None);
    EXPECT_EQ(HitTest({93, 40}, size, kAllResizeOptions), ResizeZone::None);

    // Only the bottom-right corner resizes in the main window.
    const ResizeOptions corner = roRightBottom;
    EXPECT_EQ(HitTest({97, 77}, size, corner), ResizeZone::RightBottom);
    EXPECT_EQ(HitTest({3, 77}, size, corner), ResizeZone::None);
    EXPECT_EQ(HitTest({97, 40}, size, corner), ResizeZone::None);

    EXPECT_EQ(ZoneCursor(ResizeZone::RightBottom), Qt::SizeFDiagCursor);
    EXPECT_EQ(ZoneCursor(ResizeZone::LeftBottom), Qt::SizeBDiagCursor);
    EXPECT_EQ(ZoneCursor(ResizeZone::Top), Qt::SizeVerCursor);
    EXPECT_EQ(ZoneCursor(ResizeZone::None), Qt::ArrowCursor);

    const QRect g(10, 10, 100, 80);
    EXPECT_EQ(ResizedBy(g, ResizeZone::RightBottom, 5, -3), QRect(10, 10, 105, 77));
    EXPECT_EQ(ResizedBy(g, ResizeZone::LeftTop, 5, -3), QRect(15, 7, 95, 83));
    EXPECT_EQ(ResizedBy(g, ResizeZone::TopRight, 5, -3), QRect(10, 7, 105, 83));
    EXPECT_EQ(ResizedBy(g, ResizeZone::LeftBottom, 5, -3), QRect(15, 10, 95, 77));
}
