// How well detection does its job, without a camera or a display: scenes of
// the demo camera (deterministic for a seed) with labelled events, run through
// the program's own comparison at the default sensitivity and difference, as
// the scan cycle calls it: four frames a second, in simulated time.
//
// For each scene and each setting of "Ignore light changes": the walker
// crossings detected of those shown, the detections while no walker was in
// sight, per hour, and how often a walker is caught in the very frames where
// the light changes.
//
//   detection_quality [minutes per scene, default 60] [only scenes naming this]
#include "DemoScene.h"
#include "FrameComparison.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr QSize kSize(352, 288);
constexpr int kCycleMs = 250;    // "Auto delay"
constexpr int kSensitivity = 85; // the defaults of a first start
constexpr double kDifference = 5.0;
constexpr int kWalkerPeriodMs = DemoScene::kDefaultPeriodMs;

// The light at each pixel of a frame (row by row, kSize), times the drawn room's.
using LightPlane = std::vector<float>;

struct Scene
{
    std::string name;
    bool walkers = true;
    int noise = DemoScene::kDefaultNoise;
    // The room's light over the whole picture at a time, 1 = as drawn.
    std::function<double(std::int64_t ms, std::int64_t lengthMs)> light;
    // Light that differs from place to place: fills the plane for a time;
    // absent for light that is the same everywhere.
    std::function<void(std::int64_t ms, LightPlane& plane)> place;
};

struct Tally
{
    int crossings = 0;
    int detected = 0;
    int falseDetections = 0;
    // Pairs of frames with a walker in either and a change of light between
    // them, and of those the ones detected.
    int walkerInChange = 0;
    int walkerInChangeDetected = 0;
};

// The frame the camera would give: the scene in its light, as the scan cycle
// reads it back (RGB888).
QImage Frame(const DemoScene& scene, std::int64_t ms, std::uint64_t index, double gain,
             const LightPlane* plane)
{
    QImage frame(kSize, QImage::Format_RGB32);
    scene.renderInto(frame.bits(), int(frame.bytesPerLine()), ms, index, kSize);
    if (plane || std::abs(gain - 1.0) > 1e-9) {
        for (int y = 0; y < frame.height(); ++y) {
            auto* p = reinterpret_cast<QRgb*>(frame.scanLine(y));
            for (int x = 0; x < frame.width(); ++x) {
                const double here =
                    plane ? gain * (*plane)[std::size_t(y * kSize.width() + x)] : gain;
                const int g = int(std::lround(here * 256));
                const auto scale = [g](int v) {
                    return std::min(255, (v * g + 128) >> 8);
                };
                p[x] = qRgb(scale(qRed(p[x])), scale(qGreen(p[x])), scale(qBlue(p[x])));
            }
        }
    }
    return frame.convertToFormat(QImage::Format_RGB888);
}

Tally Run(const Scene& s, std::int64_t lengthMs, bool ignoreLight)
{
    DemoScene scene(7);
    scene.setNoise(s.noise);
    scene.setMotionPeriodMs(s.walkers ? kWalkerPeriodMs : 0);
    ResetComparison();
    Tally tally;
    QImage previous;
    LightPlane plane(std::size_t(kSize.width() * kSize.height()), 1.0f);
    LightPlane previousPlane = plane;
    double previousGain = 1.0;
    bool previousSeen = false;
    bool inCrossing = false;
    bool crossingCaught = false;
    std::uint64_t index = 0;
    for (std::int64_t ms = 0; ms < lengthMs; ms += kCycleMs, ++index) {
        const QRect object = scene.objectRect(ms);
        const bool seen =
            !object.isEmpty() && object.right() >= 0 && object.left() < DemoScene::kWidth;
        if (seen && !inCrossing) {
            inCrossing = true;
            crossingCaught = false;
            ++tally.crossings;
        } else if (!seen && inCrossing) {
            inCrossing = false;
        }
        const double gain = s.light(ms, lengthMs);
        if (s.place)
            s.place(ms, plane);
        const QImage frame = Frame(scene, ms, index, gain, s.place ? &plane : nullptr);
        if (!previous.isNull()) {
            const double diff =
                CompareFrames(frame, previous, 0, kSensitivity, false, 0, 0, 0, 0, ignoreLight);
            const bool lightChanged =
                std::abs(gain - previousGain) > 0.005 || plane != previousPlane;
            const bool walker = seen || previousSeen;
            if (walker && lightChanged) {
                ++tally.walkerInChange;
                tally.walkerInChangeDetected += diff > kDifference;
            }
            if (diff > kDifference) {
                // A walker in either picture makes the change a true one.
                if (walker) {
                    if (!crossingCaught && tally.crossings > 0) {
                        crossingCaught = true;
                        ++tally.detected;
                    }
                } else {
                    ++tally.falseDetections;
                }
            }
        }
        previous = frame;
        previousSeen = seen;
        previousGain = gain;
        if (s.place)
            previousPlane = plane;
    }
    return tally;
}

// 0 to 1 over `rampMs` from `fromMs`, as a value that switches with a fade.
double Ramp(std::int64_t ms, std::int64_t fromMs, std::int64_t rampMs)
{
    return std::clamp(double(ms - fromMs) / double(std::max<std::int64_t>(rampMs, 1)), 0.0, 1.0);
}

// A plane mixing "no change" (1) and `full` by `level` (0..1).
void Mix(const LightPlane& full, double level, LightPlane& plane)
{
    for (std::size_t i = 0; i < plane.size(); ++i)
        plane[i] = float(1.0 + level * (double(full[i]) - 1.0));
}

LightPlane PlaneOf(const std::function<double(double x, double y)>& gain)
{
    LightPlane plane(std::size_t(kSize.width() * kSize.height()));
    for (int y = 0; y < kSize.height(); ++y)
        for (int x = 0; x < kSize.width(); ++x)
            plane[std::size_t(y * kSize.width() + x)] =
                float(gain((x + 0.5) / kSize.width(), (y + 0.5) / kSize.height()));
    return plane;
}

// A soft edge: 0 outside [from, to], 1 well inside, over `soft` either side.
double Soft(double v, double from, double to, double soft)
{
    const double in = std::min(v - from, to - v) / soft;
    return std::clamp(0.5 + in, 0.0, 1.0);
}

} // namespace

int main(int argc, char** argv)
{
    const int minutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const std::int64_t lengthMs = std::int64_t(minutes) * 60000;
    const auto steady = [](std::int64_t, std::int64_t) {
        return 1.0;
    };
    // A lamp every 20 s: on to brighter by half, back, down by 35 %, back.
    const auto switched = [](std::int64_t ms, std::int64_t) {
        static constexpr double kLevels[] = {1.0, 1.5, 1.0, 0.65};
        return kLevels[(ms / 20000) % 4];
    };
    // Daylight growing by half over the scene, as a morning does.
    const auto drift = [](std::int64_t ms, std::int64_t length) {
        return 0.8 + 0.4 * double(ms) / double(length);
    };
    // Automatic exposure hunting: 4 % up and down, a cycle in 1.5 s.
    const auto pumping = [](std::int64_t ms, std::int64_t) {
        return 1.0 + 0.04 * std::sin(2 * std::numbers::pi * double(ms) / 1500.0);
    };

    // The demo camera's lamp in the top left corner, switched off (the room as
    // drawn is the room lit by it).
    const auto cornerOff = std::make_shared<LightPlane>(
        PlaneOf([](double x, double y) { return 1.0 / DemoScene::CornerLampGain(x, y); }));
    const auto cornerLamp = [cornerOff](std::int64_t switchMs, std::int64_t periodMs) {
        return [cornerOff, switchMs, periodMs](std::int64_t ms, LightPlane& plane) {
            const std::int64_t at = (ms + periodMs - switchMs) % (2 * periodMs);
            Mix(*cornerOff, at < periodMs ? 1.0 : 0.0, plane);
        };
    };
    // Sunlight through a window lights a patch of the room (60 % brighter,
    // edges soft over a tenth of the picture); a cloud takes it away for
    // 15 s in every 30, fading in half a second.
    const auto patch = std::make_shared<LightPlane>(PlaneOf([](double x, double y) {
        return 1.0 + 0.6 * Soft(x, 0.15, 0.55, 0.1) * Soft(y, 0.1, 0.65, 0.1);
    }));
    const auto sun = [patch](std::int64_t ms, LightPlane& plane) {
        const std::int64_t at = ms % 30000;
        Mix(*patch, at < 15000 ? Ramp(at, 0, 500) : 1.0 - Ramp(at, 15000, 500), plane);
    };
    // A car's headlights sweep the far wall from left to right in 2 s: a
    // band 70 % brighter at its middle, every 30 s (starting at `fromMs`).
    const auto headlights = [](std::int64_t fromMs) {
        return [fromMs](std::int64_t ms, LightPlane& plane) {
            const std::int64_t at = (ms + 30000 - fromMs) % 30000;
            if (at > 2000) {
                std::fill(plane.begin(), plane.end(), 1.0f);
                return;
            }
            const double middle = -0.3 + 1.6 * double(at) / 2000.0;
            for (int y = 0; y < kSize.height(); ++y) {
                const double wall = Soft((y + 0.5) / kSize.height(), 0.05, 0.7, 0.15);
                for (int x = 0; x < kSize.width(); ++x) {
                    const double d = ((x + 0.5) / kSize.width() - middle) / 0.12;
                    plane[std::size_t(y * kSize.width() + x)] =
                        float(1.0 + 0.7 * wall * std::exp(-d * d));
                }
            }
        };
    };
    // The walker crosses from 4 s to 6 s of every 6 s: these put a change of
    // light in the middle of every crossing.
    constexpr std::int64_t kMidCrossing = kWalkerPeriodMs - DemoScene::kCrossingMs / 2;
    const int n = DemoScene::kDefaultNoise;
    const std::vector<Scene> scenes = {
        {"walkers, steady light", true, n, steady, {}},
        {"walkers, light switched every 20 s", true, n, switched, {}},
        {"walkers, daylight drift", true, n, drift, {}},
        {"walkers, exposure pumping", true, n, pumping, {}},
        {"walkers, sensor noise 10", true, 10, steady, {}},
        {"walkers, sensor noise 16", true, 16, steady, {}},
        {"lamp in a corner, every 20 s", false, n, steady, cornerLamp(0, 20000)},
        {"walkers, lamp in a corner", true, n, steady, cornerLamp(0, 20000)},
        {"sun patch comes and goes", false, n, steady, sun},
        {"walkers, sun patch", true, n, steady, sun},
        {"headlights sweep", false, n, steady, headlights(0)},
        {"walkers, headlights", true, n, steady, headlights(0)},
        {"walkers, lamp switched mid-crossing", true, n, steady,
         cornerLamp(kMidCrossing, kWalkerPeriodMs)},
        {"walkers crossing in headlights", true, n, steady,
         headlights(kWalkerPeriodMs - DemoScene::kCrossingMs)},
    };
    std::printf("detection_quality: %d min per scene, 352 x 288, a frame every %d ms, "
                "sensitivity %d, difference %.0f %%, resolution Auto\n",
                minutes, kCycleMs, kSensitivity, kDifference);
    std::printf("crossings: detected/shown; false: detections an hour with no walker; "
                "in light: pairs of frames with a walker and a change of light, detected/all\n");
    std::printf("%-36s %-30s %-30s\n", "scene", "option off", "option on");
    // A second argument runs only the scenes whose name holds it.
    const std::string only = argc > 2 ? argv[2] : "";
    for (const Scene& s : scenes) {
        if (!only.empty() && s.name.find(only) == std::string::npos)
            continue;
        const Tally off = Run(s, lengthMs, false);
        const Tally on = Run(s, lengthMs, true);
        const auto cell = [&](const Tally& t) {
            char text[96];
            if (t.walkerInChange > 0)
                std::snprintf(text, sizeof text, "%d/%d, %.0f false/h, in light %d/%d", t.detected,
                              t.crossings, t.falseDetections * 60.0 / minutes,
                              t.walkerInChangeDetected, t.walkerInChange);
            else
                std::snprintf(text, sizeof text, "%d/%d, %.0f false/h", t.detected, t.crossings,
                              t.falseDetections * 60.0 / minutes);
            return std::string(text);
        };
        std::printf("%-36s %-30s %-30s\n", s.name.c_str(), cell(off).c_str(), cell(on).c_str());
        std::fflush(stdout);
    }
    return 0;
}
