#include "PictureDrawing.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

// A picture with a different colour at every pixel, so any change shows.
QImage patterned(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            line[3 * x] = static_cast<uchar>(x * 7 + y);
            line[3 * x + 1] = static_cast<uchar>(y * 5 + 40);
            line[3 * x + 2] = static_cast<uchar>((x ^ y) & 0xff);
        }
    }
    return image;
}

bool inverted(const QImage& before, const QImage& after, int x, int y)
{
    const uchar* a = before.constScanLine(y) + 3 * x;
    const uchar* b = after.constScanLine(y) + 3 * x;
    return b[0] == 255 - a[0] && b[1] == 255 - a[1] && b[2] == 255 - a[2];
}

bool same(const QImage& before, const QImage& after, int x, int y)
{
    return before.pixel(x, y) == after.pixel(x, y);
}

// Bounding box of the pixels that differ.
QRect changedArea(const QImage& before, const QImage& after)
{
    QRect box;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (!same(before, after, x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

TEST(ScanFrameOutline, InvertsExactlyTheOutlineWithExclusiveFarEdges)
{
    const QImage before = patterned(200, 100);
    QImage after = before;
    DrawScanFrameOutline(after, {25, 20, 50, 40});
    // X1 = 50, Y1 = 20, X2 = 150, Y2 = 60: columns 50..149, rows 20..59.
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            const bool onOutline = (x >= 50 && x <= 149 && (y == 20 || y == 59)) ||
                                   (y >= 20 && y <= 59 && (x == 50 || x == 149));
            ASSERT_EQ(onOutline ? inverted(before, after, x, y) : same(before, after, x, y), true)
                << "at " << x << "," << y;
        }
    }
}

TEST(ScanFrameOutline, FullFrameRunsAlongTheFourEdgesAndSecondDrawRestores)
{
    const QImage before = patterned(64, 48);
    QImage after = before;
    DrawScanFrameOutline(after, {0, 0, 100, 100});
    for (int x = 0; x < 64; ++x) {
        EXPECT_TRUE(inverted(before, after, x, 0));
        EXPECT_TRUE(inverted(before, after, x, 47));
    }
    for (int y = 1; y < 47; ++y) {
        EXPECT_TRUE(inverted(before, after, 0, y));
        EXPECT_TRUE(inverted(before, after, 63, y));
        EXPECT_TRUE(same(before, after, 1, y));
    }
    DrawScanFrameOutline(after, {0, 0, 100, 100});
    EXPECT_EQ(after, before);
}

TEST(ScanFrameOutline, FramePastThePictureIsCutAndTinyPicturesSurvive)
{
    const QImage before = patterned(10, 10);
    QImage after = before;
    DrawScanFrameOutline(after, {50, 50, 100, 100});
    EXPECT_TRUE(inverted(before, after, 5, 5));
    EXPECT_TRUE(inverted(before, after, 9, 5));
    EXPECT_TRUE(same(before, after, 9, 9)); // interior: the far edges lie outside
    QImage one = patterned(1, 1);
    DrawScanFrameOutline(one, {0, 0, 100, 100});
    EXPECT_TRUE(inverted(patterned(1, 1), one, 0, 0));
    QImage empty;
    DrawScanFrameOutline(empty, {0, 0, 100, 100});
    EXPECT_TRUE(empty.isNull());
}

TEST(DateTimeStamp, BothLinesSitInTheBottomRightCorner)
{
    const QImage before = patterned(352, 288);
    QImage after = before;
    DrawDateTimeStamp(after, QStringLiteral("17-05-24"), QStringLiteral("14:03:59:042"));
    const QFontMetrics metrics(StampFont(8, false));
    const QRect box = changedArea(before, after);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_EQ(box.right(), 351);
    // Digits have no descenders: the shadow ends a descent above the edge.
    EXPECT_LE(box.bottom(), 287);
    EXPECT_GE(box.bottom(), 287 - metrics.descent() - 1);
    EXPECT_GE(box.top(), 288 - 2 * metrics.height());
    EXPECT_GE(box.left(), 352 - metrics.horizontalAdvance(QStringLiteral("14:03:59:042")) - 1);
    // White text is there, not only its shadow.
    bool white = false;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            white = white || after.pixel(x, y) == qRgb(255, 255, 255);
    EXPECT_TRUE(white);
}

TEST(DateTimeStamp, NarrowPictureIsCutAtItsLeftEdge)
{
    const QImage before = patterned(20, 40);
    QImage after = before;
    DrawDateTimeStamp(after, QStringLiteral("17-05-24"), QStringLiteral("14:03:59:042"));
    const QRect box = changedArea(before, after);
    EXPECT_EQ(box.left(), 0);
    EXPECT_EQ(box.right(), 19);
    QImage empty;
    DrawDateTimeStamp(empty, QStringLiteral("a"), QStringLiteral("b"));
    EXPECT_TRUE(empty.isNull());
}

TEST(PictureLabel, CaptionIsCentredAndShrinksToFit)
{
    const QImage before = patterned(320, 240);
    QImage wide = before;
    DrawPictureLabel(wide, QStringLiteral("SCANNING"));
    const QRect big = changedArea(before, wide);
    ASSERT_FALSE(big.isEmpty());
    // Centred within the rounding of the halves and the one-pixel shadow.
    EXPECT_LE(std::abs(big.left() - (319 - big.right())), 3);
    EXPECT_LE(std::abs(big.top() - (239 - big.bottom())), 8);

    // The same caption on a narrow picture comes out in a smaller size.
    const QImage narrowBefore = patterned(90, 240);
    QImage narrow = narrowBefore;
    DrawPictureLabel(narrow, QStringLiteral("SCANNING"));
    const QRect small = changedArea(narrowBefore, narrow);
    ASSERT_FALSE(small.isEmpty());
    EXPECT_LT(small.height(), big.height());
    EXPECT_LT(small.width(), 90);
}

// Two lines stand one above the other, both centred: neither covers the other.
TEST(PictureLabel, LinesStandOneAboveTheOther)
{
    const QImage before = patterned(320, 240);
    QImage one = before;
    DrawPictureLabel(one, QStringLiteral("Unavailable"));
    QImage two = before;
    DrawPictureLabel(two, QStringLiteral("Unavailable\nPAUSE"));
    const QRect line = changedArea(before, one);
    const QRect both = changedArea(before, two);
    ASSERT_FALSE(line.isEmpty());
    EXPECT_GE(both.height(), 2 * line.height() - 4);
    EXPECT_LE(std::abs(both.top() - (239 - both.bottom())), 8);
}

TEST(PictureLabel, CaptionWiderThanPictureAtEightPointsIsCutOnBothSides)
{
    const QImage before = patterned(30, 40);
    QImage after = before;
    DrawPictureLabel(after, QStringLiteral("Unavailable"));
    const QRect box = changedArea(before, after);
    EXPECT_EQ(box.left(), 0);
    EXPECT_EQ(box.right(), 29);
    QImage empty;
    DrawPictureLabel(empty, QStringLiteral("PAUSE"));
    EXPECT_TRUE(empty.isNull());
}
