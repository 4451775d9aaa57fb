#include "FrameComparison.h"

#include "DemoScene.h"
#include "IgnoreMask.h"
#include "ModalAnswerer.h"

#include <QMessageBox>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <thread>

namespace {

QImage filled(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

void setPixel(QImage& image, int x, int y, int r, int g, int b)
{
    uchar* p = image.scanLine(y) + 3 * x;
    p[0] = static_cast<uchar>(r);
    p[1] = static_cast<uchar>(g);
    p[2] = static_cast<uchar>(b);
}

double compareWhole(const QImage& a, const QImage& b, std::uint8_t step, std::uint8_t sensitivity)
{
    return CompareFrames(a, b, step, sensitivity, false, 0, 0, 0, 0);
}

// Every test starts with an open gate and leaves it stopped, as at start-up.
class Comparison : public ::testing::Test
{
protected:
    void SetUp() override { ResetComparison(); }
    void TearDown() override { RequestComparisonStop(); }
};

} // namespace

TEST(ComparisonGate, ComparisonsAreRefusedUntilTheGateIsReset)
{
    const QImage black = filled(320, 240, qRgb(0, 0, 0));
    const QImage white = filled(320, 240, qRgb(255, 255, 255));
    EXPECT_TRUE(IsGateStopped());
    EXPECT_EQ(compareWhole(black, white, 0, 85), 0.0);
    ResetComparison();
    EXPECT_FALSE(IsGateStopped());
    EXPECT_EQ(compareWhole(black, white, 0, 85), 100.0);
    RequestComparisonStop();
    EXPECT_TRUE(IsGateStopped()) << "a stop while idle takes effect at once";
    EXPECT_EQ(compareWhole(black, white, 0, 85), 0.0);
}

TEST_F(Comparison, IdenticalPicturesNeverDifferAndSensitivityZeroSeesNothing)
{
    QImage a = filled(64, 48, qRgb(10, 200, 30));
    setPixel(a, 5, 7, 0, 0, 0);
    for (int s : {0, 50, 85, 100})
        EXPECT_EQ(compareWhole(a, a, 1, static_cast<std::uint8_t>(s)), 0.0) << s;
    const QImage black = filled(64, 48, qRgb(0, 0, 0));
    const QImage white = filled(64, 48, qRgb(255, 255, 255));
    EXPECT_EQ(compareWhole(black, white, 1, 0), 0.0);
}

TEST_F(Comparison, ChangeMustExceedTheThresholdInItsLargestChannel)
{
    EXPECT_EQ(ChangeThreshold(0), 255);
    EXPECT_EQ(ChangeThreshold(50), 127);
    EXPECT_EQ(ChangeThreshold(85), 38);
    EXPECT_EQ(ChangeThreshold(90), 25);
    EXPECT_EQ(ChangeThreshold(95), 12);
    EXPECT_EQ(ChangeThreshold(99), 2);
    EXPECT_EQ(ChangeThreshold(100), 0);
    EXPECT_EQ(ChangeThreshold(200), 0) << "an out-of-range sensitivity must not count still points";

    // 10 x 10 picture, step 1: one changed pixel is 1 % of the grid.
    const QImage base = filled(10, 10, qRgb(100, 100, 100));
    for (int s : {50, 85, 99, 100}) {
        const int t = ChangeThreshold(static_cast<std::uint8_t>(s));
        for (int channel = 0; channel < 3; ++channel) {
            QImage exact = base;
            QImage over = base;
            int d[3] = {0, 0, 0};
            d[channel] = t;
            setPixel(exact, 3, 4, 100 + d[0], 100 + d[1], 100 + d[2]);
            d[channel] = t + 1;
            setPixel(over, 3, 4, 100 - d[0], 100 - d[1], 100 - d[2]);
            EXPECT_EQ(compareWhole(base, exact, 1, static_cast<std::uint8_t>(s)), 0.0)
                << "sensitivity " << s << " channel " << channel;
            EXPECT_DOUBLE_EQ(compareWhole(base, over, 1, static_cast<std::uint8_t>(s)), 1.0)
                << "sensitivity " << s << " channel " << channel;
        }
    }
    // A pixel whose three channels all change is still one point.
    QImage all = base;
    setPixel(all, 0, 0, 0, 255, 0);
    QImage blueOnly = base;
    setPixel(blueOnly, 0, 0, 100, 100, 255);
    EXPECT_DOUBLE_EQ(compareWhole(base, all, 1, 85), 1.0);
    EXPECT_DOUBLE_EQ(compareWhole(base, blueOnly, 1, 85), 1.0);
}

TEST_F(Comparison, GridSizesAndDenominators)
{
    const QImage black = filled(320, 240, qRgb(0, 0, 0));
    const QImage white = filled(320, 240, qRgb(255, 255, 255));
    // Automatic step, frame off: 10 x 10 points.
    EXPECT_DOUBLE_EQ(compareWhole(black, white, 0, 85), 100.0);
    // Frame 25/25/50/50: steps 16 and 12, 11 x 11 points over the whole grid's 400.
    EXPECT_DOUBLE_EQ(CompareFrames(black, white, 0, 85, true, 25, 25, 50, 50), 30.25);
    // A whole-picture frame reaches x = W and y = H; those points never count.
    EXPECT_DOUBLE_EQ(CompareFrames(black, white, 0, 85, true, 0, 0, 100, 100), 100.0);
    // A fixed step inside a frame: 320*50/100 = 160 wide, step 16 -> 11 columns, 240*50/100 =
    // 120 high -> 8 rows; over (20 * 15) points.
    EXPECT_DOUBLE_EQ(CompareFrames(black, white, 16, 85, true, 25, 25, 50, 50),
                     11.0 * 8 * 100 / 300);

    // Step 1 visits every pixel: one changed pixel of 76 800.
    QImage one = black;
    setPixel(one, 319, 239, 255, 0, 0);
    EXPECT_DOUBLE_EQ(compareWhole(black, one, 1, 85), 100.0 / 76800);
    // Step 2 does not see odd positions.
    EXPECT_EQ(compareWhole(black, one, 2, 85), 0.0);

    // A step that does not divide the size gives one more column than the denominator.
    const QImage b2 = filled(25, 20, qRgb(0, 0, 0));
    const QImage w2 = filled(25, 20, qRgb(255, 255, 255));
    EXPECT_DOUBLE_EQ(compareWhole(b2, w2, 2, 85), 13.0 * 10 * 100 / (12 * 10));
}

TEST_F(Comparison, FramesOutsideThePictureAndTinyFramesStaySafe)
{
    const QImage black = filled(100, 80, qRgb(0, 0, 0));
    const QImage white = filled(100, 80, qRgb(255, 255, 255));
    // A frame under ten pixels gets a usable step and ends.
    const double tiny = CompareFrames(black, white, 0, 85, true, 50, 50, 5, 5);
    EXPECT_GT(tiny, 0.0);
    // A frame wholly outside the picture reads nothing.
    EXPECT_EQ(CompareFrames(black, white, 0, 85, true, 200, -300, 50, 50), 0.0);
    EXPECT_EQ(CompareFrames(black, white, 0, 85, true, -100, -100, 50, 50), 0.0);
    // Half outside to the left: x runs -25..25 by 10, so only 5, 15 and 25 are read.
    EXPECT_DOUBLE_EQ(CompareFrames(black, white, 10, 85, true, -25, 0, 50, 100),
                     3.0 * 8 * 100 / (10 * 8));
    // Huge percentages do not overflow into a bogus area.
    EXPECT_EQ(CompareFrames(black, white, 0, 85, true, 2147483647, 0, 2147483647, 50), 0.0);
    EXPECT_FALSE(IsGateStopped());
}

TEST_F(Comparison, AbsentPicturesAreRefusedWithoutTouchingTheGate)
{
    const QImage white = filled(32, 24, qRgb(255, 255, 255));
    EXPECT_EQ(compareWhole(QImage(), white, 0, 85), 0.0);
    EXPECT_EQ(compareWhole(white, QImage(), 0, 85), 0.0);
    EXPECT_FALSE(IsGateStopped());
    EXPECT_FALSE(IsComparisonBusy());
    // Automatic steps 3 and 2 on 32 x 24: 11 x 12 points over a 10 x 12 grid.
    EXPECT_DOUBLE_EQ(compareWhole(filled(32, 24, 0), white, 0, 85), 110.0);
}

TEST_F(Comparison, OtherPixelFormatsReadAsTheirColours)
{
    QImage a(40, 30, QImage::Format_RGB32);
    a.fill(qRgb(0, 0, 0));
    QImage b = a;
    b.setPixel(0, 0, qRgb(0, 0, 200));
    b.setPixel(4, 0, qRgb(0, 30, 0));
    // Step 4: 10 x 7 grid (30 / 4 = 7 rows in the denominator).
    EXPECT_DOUBLE_EQ(compareWhole(a, b, 4, 85), 100.0 / 70);
}

TEST_F(Comparison, UnreadablePixelIsReportedAndCountedPointsKept)
{
    // The second picture lacks the first's bottom half: rows 0..4 compare, then row 5 fails.
    const QImage big = filled(10, 10, qRgb(0, 0, 0));
    const QImage small = filled(10, 5, qRgb(255, 255, 255));
    ModalAnswerer answerer([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        EXPECT_TRUE(IsComparisonBusy()) << "no second comparison may start under the box";
        PressMessageBoxButton(QMessageBox::Ok)(modal);
    });
    EXPECT_DOUBLE_EQ(compareWhole(big, small, 1, 85), 50.0);
    EXPECT_TRUE(answerer.answered());
    EXPECT_TRUE(answerer.text().contains("cannot be read")) << answerer.text().toStdString();
    EXPECT_FALSE(IsComparisonBusy());
    EXPECT_FALSE(IsGateStopped());
}

namespace {

// Runs one long step-1 comparison of two pictures that differ everywhere on
// another thread, and calls during() once it is under way.
template <typename During> double duringLongComparison(During during)
{
    const QImage black = filled(3000, 3000, qRgb(0, 0, 0));
    const QImage white = filled(3000, 3000, qRgb(255, 255, 255));
    double result = -1;
    std::thread worker([&] { result = compareWhole(black, white, 1, 85); });
    while (!IsComparisonBusy())
        std::this_thread::yield();
    during(black, white);
    worker.join();
    return result;
}

} // namespace

TEST_F(Comparison, StopDuringAComparisonEndsItEarlyAndLeavesTheGateStopped)
{
    bool stoppedWhileRunning = true;
    double concurrent = -1;
    const double result = duringLongComparison([&](const QImage& a, const QImage& b) {
        concurrent = compareWhole(a, b, 16, 85);
        RequestComparisonStop();
        stoppedWhileRunning = IsGateStopped();
    });
    EXPECT_EQ(concurrent, 0.0) << "a second comparison while one runs is refused";
    EXPECT_FALSE(stoppedWhileRunning) << "the running comparison settles the gate itself";
    EXPECT_GE(result, 0.0);
    EXPECT_LT(result, 100.0) << "the points counted before the stop make the result";
    EXPECT_TRUE(IsGateStopped());
    EXPECT_FALSE(IsComparisonBusy());
}

TEST_F(Comparison, ResetDuringAComparisonLetsItEndReady)
{
    const double result = duringLongComparison([](const QImage&, const QImage&) {
        RequestComparisonStop();
        ResetComparison();
    });
    EXPECT_FALSE(IsGateStopped());
    EXPECT_GE(result, 0.0);
}

TEST(ResolutionItems, MapToSteps)
{
    const int expected[] = {0, 1, 2, 4, 8, 16};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(StepForResolutionIndex(i), expected[i]);
    EXPECT_EQ(StepForResolutionIndex(-1), 0);
    EXPECT_EQ(StepForResolutionIndex(6), 0);
}

// A room of many shades, each channel its own, under a light of `gain`: what
// a camera shows when a lamp is switched (clipped at white).
QImage room(double gain)
{
    QImage image(100, 80, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const auto lit = [gain](int v) {
                return std::min(255, int(v * gain + 0.5));
            };
            setPixel(image, x, y, lit(20 + 2 * x), lit(30 + 2 * y), lit(40 + (x + y) % 180));
        }
    }
    return image;
}

TEST_F(Comparison, IgnoringLightTakesOutAChangeOfTheWholePictureAndKeepsALocalOne)
{
    const auto compare = [](const QImage& a, const QImage& b, bool ignoreLight) {
        return CompareFrames(a, b, 1, 85, false, 0, 0, 0, 0, ignoreLight);
    };
    // A lamp brighter by half, then darker by 40 %, either way round.
    for (const double gain : {1.5, 0.6}) {
        EXPECT_GT(compare(room(1.0), room(gain), false), 30.0) << gain;
        EXPECT_EQ(compare(room(1.0), room(gain), true), 0.0) << gain;
        EXPECT_EQ(compare(room(gain), room(1.0), true), 0.0) << gain;
    }

    // Someone walks in as the lamp goes on: the person still counts.
    QImage walkedIn = room(1.5);
    for (int y = 20; y < 60; ++y)
        for (int x = 30; x < 50; ++x)
            setPixel(walkedIn, x, y, 10, 200, 10);
    const double person = 100.0 * 20 * 40 / (100 * 80); // 10 % of the points
    EXPECT_NEAR(compare(room(1.0), walkedIn, true), person, 1.5);

    // In a steady light it counts what the plain comparison counts.
    QImage steady = room(1.0);
    for (int y = 20; y < 60; ++y)
        for (int x = 30; x < 50; ++x)
            setPixel(steady, x, y, 10, 200, 10);
    EXPECT_DOUBLE_EQ(compare(room(1.0), steady, true), compare(room(1.0), steady, false));
    // Nothing changed is nothing counted, even where any change would count.
    const QImage grey = filled(100, 80, qRgb(200, 200, 200));
    EXPECT_EQ(CompareFrames(grey, grey, 1, 100, false, 0, 0, 0, 0, true), 0.0);
    EXPECT_EQ(CompareFrames(room(1.0), room(1.0), 1, 100, false, 0, 0, 0, 0, true), 0.0);
}

namespace {

// The demo camera's room at the capture size, in a light that varies over it.
QImage demoRoom(const DemoScene& scene, std::int64_t ms,
                const std::function<double(double, double)>& light)
{
    QImage frame(352, 288, QImage::Format_RGB32);
    scene.renderInto(frame.bits(), int(frame.bytesPerLine()), ms, std::uint64_t(ms / 250),
                     frame.size());
    QImage rgb = frame.convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < rgb.height(); ++y) {
        uchar* p = rgb.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const double g = light((x + 0.5) / rgb.width(), (y + 0.5) / rgb.height());
            for (int c = 0; c < 3; ++c)
                p[3 * x + c] = uchar(std::min(255, int(p[3 * x + c] * g + 0.5)));
        }
    }
    return rgb;
}

double softEdge(double v, double from, double to, double soft)
{
    return std::clamp(0.5 + std::min(v - from, to - v) / soft, 0.0, 1.0);
}

} // namespace

// A lamp in a corner, a patch of sun, headlights on the wall: with the option
// the light alone is no detection, while someone walking in still is, at the
// automatic step and at every pixel.
TEST_F(Comparison, IgnoringLightTakesOutLightThatVariesOverThePicture)
{
    const std::pair<const char*, std::function<double(double, double)>> lights[] = {
        {"corner lamp on",
         [](double x, double y) {
             return DemoScene::CornerLampGain(x, y);
         }},
        {"corner lamp off",
         [](double x, double y) {
             return 1.0 / DemoScene::CornerLampGain(x, y);
         }},
        {"sun patch",
         [](double x, double y) {
             return 1.0 + 0.6 * softEdge(x, 0.15, 0.55, 0.1) * softEdge(y, 0.1, 0.65, 0.1);
         }},
        {"headlights",
         [](double x, double y) {
             const double d = (x - 0.6) / 0.12;
             return 1.0 + 0.7 * softEdge(y, 0.05, 0.7, 0.15) * std::exp(-d * d);
         }},
    };
    const auto steady = [](double, double) {
        return 1.0;
    };
    DemoScene empty(7);
    empty.setMotionPeriodMs(0);
    DemoScene walked(7); // the walker is halfway across at 5 s
    const QImage before = demoRoom(empty, 0, steady);
    // The walker a frame of the scan before (250 ms), in the light as it was.
    const QImage walkerBefore = demoRoom(walked, 4750, steady);
    for (const auto& [name, light] : lights) {
        const QImage lit = demoRoom(empty, 250, light);
        const QImage walkerLit = demoRoom(walked, 5000, light);
        for (const std::uint8_t step : {0, 1}) {
            SCOPED_TRACE(std::string(name) + ", step " + std::to_string(step));
            const auto compare = [step](const QImage& a, const QImage& b, bool ignoreLight) {
                return CompareFrames(b, a, step, 85, false, 0, 0, 0, 0, ignoreLight);
            };
            EXPECT_GT(compare(before, lit, false), 5.0) << "the light alone counts without it";
            EXPECT_LE(compare(before, lit, true), 1.0);
            EXPECT_GT(compare(walkerBefore, walkerLit, true), 5.0)
                << "the walker still counts at the default difference";
        }
    }
}

// Ignored cells never count, whatever changed in them; the rest counts as
// before, and the mask keeps its cells through its stored text.
TEST_F(Comparison, IgnoredAreasNeverCount)
{
    const QImage a = room(1.0);
    QImage b = room(1.0);
    for (int y = 0; y < 40; ++y) // the top left quarter changes
        for (int x = 0; x < 50; ++x)
            setPixel(b, x, y, 255 - (20 + 2 * x), 0, 255);
    const double plain = CompareFrames(a, b, 1, 85, false, 0, 0, 0, 0);
    ASSERT_NEAR(plain, 25.0, 0.5);

    IgnoreMask quarter;
    for (int row = 0; row < IgnoreMask::kRows / 2; ++row)
        for (int column = 0; column < IgnoreMask::kColumns / 2; ++column)
            quarter.set(column, row, true);
    IgnoreMask elsewhere;
    elsewhere.set(IgnoreMask::kColumns - 1, IgnoreMask::kRows - 1, true);
    for (const bool ignoreLight : {false, true}) {
        EXPECT_EQ(CompareFrames(a, b, 1, 85, false, 0, 0, 0, 0, ignoreLight, &quarter), 0.0);
        EXPECT_DOUBLE_EQ(CompareFrames(a, b, 1, 85, false, 0, 0, 0, 0, ignoreLight, &elsewhere),
                         plain);
    }
    // With the scan frame over the same quarter, nothing is left to count.
    EXPECT_EQ(CompareFrames(a, b, 1, 85, true, 0, 0, 50, 50, false, &quarter), 0.0);

    EXPECT_EQ(IgnoreMask::FromText(quarter.toText()), quarter);
    EXPECT_EQ(IgnoreMask().toText(), QString());
    for (const QString& damaged :
         {QStringLiteral("F0"), QString(48, QChar('G')), QString(49, QChar('F'))})
        EXPECT_TRUE(IgnoreMask::FromText(damaged).empty()) << damaged.toStdString();
}
