#include "DemoScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// The share of pixels whose largest channel change exceeds `threshold`, in percent.
double ChangedShare(const QImage& a, const QImage& b, int threshold)
{
    qint64 changed = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* pa = a.constScanLine(y);
        const uchar* pb = b.constScanLine(y);
        for (int x = 0; x < a.width() * 3; x += 3) {
            int d = 0;
            for (int c = 0; c < 3; ++c)
                d = std::max(d, std::abs(int(pa[x + c]) - int(pb[x + c])));
            changed += d > threshold;
        }
    }
    return 100.0 * double(changed) / (double(a.width()) * a.height());
}

int MaxChange(const QImage& a, const QImage& b)
{
    int most = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* pa = a.constScanLine(y);
        const uchar* pb = b.constScanLine(y);
        for (int i = 0; i < a.width() * 3; ++i)
            most = std::max(most, std::abs(int(pa[i]) - int(pb[i])));
    }
    return most;
}

constexpr int kDefaultThreshold = 38; // change that counts at the default sensitivity
constexpr double kDefaultDelta = 5.0; // share above which a detection is counted

} // namespace

TEST(DemoScene, ASmallPictureIsTheSameRoomDrawnSmall)
{
    const DemoScene scene(3);
    const QSize small(352, 288);
    const auto draw = [&](std::int64_t t, std::uint64_t frame) {
        QImage image(small, QImage::Format_RGB32);
        scene.renderInto(image.bits(), int(image.bytesPerLine()), t, frame, small);
        return image.convertToFormat(QImage::Format_RGB888);
    };
    // Against the full picture scaled down: the same room, give or take the
    // noise and the scaler's rounding.
    const QImage scaled =
        scene.render(1000, 30).scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(ChangedShare(draw(1000, 30), scaled, kDefaultThreshold), 2.0);

    // Still frames: the noise stays under the threshold but changes everywhere.
    const QImage a = draw(1000, 30);
    const QImage b = draw(1250, 31);
    EXPECT_LE(MaxChange(a, b), 2 * DemoScene::kDefaultNoise);
    EXPECT_GT(ChangedShare(a, b, 0), 60.0) << "each frame has noise of its own";

    // The walker crosses the small picture as it crosses the large one.
    const int start = scene.motionPeriodMs() - DemoScene::kCrossingMs;
    EXPECT_GT(ChangedShare(draw(start + 750, 100), draw(start + 1000, 101), kDefaultThreshold),
              kDefaultDelta);
}

TEST(DemoScene, SameSeedRepeatsExactlyAndSeedsDiffer)
{
    const DemoScene a(7), b(7), c(8);
    EXPECT_EQ(a.render(1234, 37), b.render(1234, 37));
    EXPECT_EQ(a.render(5500, 165), b.render(5500, 165));
    EXPECT_NE(a.render(1234, 37), c.render(1234, 37));
    EXPECT_EQ(a.render(0, 0).size(), QSize(DemoScene::kWidth, DemoScene::kHeight));
}

TEST(DemoScene, StillSceneNoiseStaysFarBelowTheDefaultThreshold)
{
    const DemoScene scene(3);
    const QImage f1 = scene.render(1000, 30);
    const QImage f2 = scene.render(1250, 38);
    EXPECT_NE(f1, f2); // the sensor is alive
    EXPECT_LE(MaxChange(f1, f2), 2 * DemoScene::kDefaultNoise);
    EXPECT_LT(2 * DemoScene::kDefaultNoise, kDefaultThreshold / 2);
    EXPECT_EQ(ChangedShare(f1, f2, kDefaultThreshold), 0.0);
}

TEST(DemoScene, ObjectCrossesForTwoSecondsEveryPeriodAndIsDetectable)
{
    const DemoScene scene(1);
    const int period = scene.motionPeriodMs();
    const int start = period - DemoScene::kCrossingMs;
    for (int t = 0; t < start; t += 100)
        EXPECT_TRUE(scene.objectRect(t).isEmpty()) << t;
    EXPECT_FALSE(scene.objectRect(start).isEmpty());
    EXPECT_LE(scene.objectRect(start).right(), 0);
    EXPECT_GE(scene.objectRect(period - 1).right(), DemoScene::kWidth - 1);
    EXPECT_TRUE(scene.objectRect(period).isEmpty()); // the next period starts still
    EXPECT_FALSE(scene.objectRect(2 * period - 1000).isEmpty());

    // Two grabs a scan interval apart while it walks: a clear detection.
    const QImage before = scene.render(start + 750, 100);
    const QImage after = scene.render(start + 1000, 101);
    EXPECT_GT(ChangedShare(before, after, kDefaultThreshold), 2 * kDefaultDelta);
}

TEST(DemoScene, PeriodAndNoiseAreClampedAndZeroPeriodMeansStill)
{
    DemoScene scene(1);
    scene.setMotionPeriodMs(10);
    EXPECT_EQ(scene.motionPeriodMs(), DemoScene::kMinPeriodMs);
    scene.setMotionPeriodMs(1 << 30);
    EXPECT_EQ(scene.motionPeriodMs(), DemoScene::kMaxPeriodMs);
    scene.setMotionPeriodMs(0);
    for (int t = 0; t < 60000; t += 250)
        ASSERT_TRUE(scene.objectRect(t).isEmpty()) << t;

    scene.setNoise(-5);
    EXPECT_EQ(scene.noise(), 0);
    EXPECT_EQ(scene.render(100, 1), scene.render(200, 2)); // no noise, no object: identical
    scene.setNoise(1000);
    EXPECT_EQ(scene.noise(), DemoScene::kMaxNoise);
}

TEST(DemoScene, NoiseIsOneLuminanceChangeAPixelOnTheWalkerAsOnTheRoom)
{
    DemoScene clean(5), noisy(5);
    clean.setNoise(0);
    noisy.setNoise(12);
    const QSize size(352, 288);
    const int walking = clean.motionPeriodMs() - DemoScene::kCrossingMs + 1000;
    const auto draw = [&](const DemoScene& scene) {
        QImage image(size, QImage::Format_RGB32);
        scene.renderInto(image.bits(), int(image.bytesPerLine()), walking, 77, size);
        return image;
    };
    const QImage a = draw(clean);
    const QImage b = draw(noisy);
    const QRect full = clean.objectRect(walking);
    ASSERT_FALSE(full.isEmpty());
    const QRect walker(full.x() * size.width() / DemoScene::kWidth,
                       full.y() * size.height() / DemoScene::kHeight,
                       full.width() * size.width() / DemoScene::kWidth,
                       full.height() * size.height() / DemoScene::kHeight);

    qint64 pixels = 0, changed = 0, walkerPixels = 0, walkerChanged = 0, unlike = 0;
    for (int y = 0; y < size.height(); ++y) {
        const uchar* pa = a.constScanLine(y);
        const uchar* pb = b.constScanLine(y);
        for (int x = 0; x < size.width(); ++x, pa += 4, pb += 4) {
            ASSERT_EQ(pb[3], 0xFF) << "the fourth byte carries no noise";
            int d[3];
            for (int c = 0; c < 3; ++c) {
                d[c] = int(pb[c]) - int(pa[c]);
                ASSERT_LE(std::abs(d[c]), 12) << x << "," << y;
            }
            // Away from black and white, blue, green and red move alike.
            const bool free =
                std::min({pa[0], pa[1], pa[2]}) >= 12 && std::max({pa[0], pa[1], pa[2]}) <= 243;
            unlike += free && (d[0] != d[1] || d[1] != d[2]);
            const bool moved = d[0] != 0 || d[1] != 0 || d[2] != 0;
            ++pixels;
            changed += moved;
            if (walker.contains(x, y)) {
                ++walkerPixels;
                walkerChanged += moved;
            }
        }
    }
    EXPECT_EQ(unlike, 0);
    EXPECT_GT(100 * changed, 80 * pixels) << "noise everywhere";
    ASSERT_GT(walkerPixels, 0);
    EXPECT_GT(100 * walkerChanged, 80 * walkerPixels) << "the walker is as noisy as the room";
}
