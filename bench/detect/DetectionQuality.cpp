// How well detection does its job, without a camera or a display: scenes of
// the demo camera (deterministic for a seed) with labelled events, run through
// the program's own comparison at the default sensitivity and difference, as
// the scan cycle calls it: four frames a second, in simulated time.
//
// For each scene and each setting of "Ignore light changes": the walker
// crossings detected of those shown, and the detections while no walker was
// in sight, per hour.
//
//   detection_quality [minutes per scene, default 60]
#include "DemoScene.h"
#include "FrameComparison.h"

#include <QImage>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr QSize kSize(352, 288);
constexpr int kCycleMs = 250;    // "Auto delay"
constexpr int kSensitivity = 85; // the defaults of a first start
constexpr double kDifference = 5.0;

struct Scene
{
    std::string name;
    int noise = DemoScene::kDefaultNoise;
    // The room's light at a time, 1 = as drawn.
    std::function<double(std::int64_t ms, std::int64_t lengthMs)> light;
};

struct Tally
{
    int crossings = 0;
    int detected = 0;
    int falseDetections = 0;
};

// The frame the camera would give: the scene, its light, as the scan cycle
// reads it back (RGB888).
QImage Frame(const DemoScene& scene, std::int64_t ms, std::uint64_t index, double gain)
{
    QImage frame(kSize, QImage::Format_RGB32);
    scene.renderInto(frame.bits(), int(frame.bytesPerLine()), ms, index, kSize);
    if (std::abs(gain - 1.0) > 1e-9) {
        const int g = int(std::lround(gain * 256));
        for (int y = 0; y < frame.height(); ++y) {
            auto* p = reinterpret_cast<QRgb*>(frame.scanLine(y));
            for (int x = 0; x < frame.width(); ++x) {
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
    ResetComparison();
    Tally tally;
    QImage previous;
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
        const QImage frame = Frame(scene, ms, index, s.light(ms, lengthMs));
        if (!previous.isNull()) {
            const double diff =
                CompareFrames(frame, previous, 0, kSensitivity, false, 0, 0, 0, 0, ignoreLight);
            if (diff > kDifference) {
                // A walker in either picture makes the change a true one.
                if (seen || previousSeen) {
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
    }
    return tally;
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
    const std::vector<Scene> scenes = {
        {"walkers, steady light", DemoScene::kDefaultNoise, steady},
        {"walkers, light switched every 20 s", DemoScene::kDefaultNoise, switched},
        {"walkers, daylight drift", DemoScene::kDefaultNoise, drift},
        {"walkers, exposure pumping", DemoScene::kDefaultNoise, pumping},
        {"walkers, sensor noise 10", 10, steady},
        {"walkers, sensor noise 16", 16, steady},
    };
    std::printf("detection_quality: %d min per scene, 352 x 288, a frame every %d ms, "
                "sensitivity %d, difference %.0f %%, resolution Auto\n",
                minutes, kCycleMs, kSensitivity, kDifference);
    std::printf("%-38s %-20s %-20s\n", "scene", "option off", "option on");
    for (const Scene& s : scenes) {
        const Tally off = Run(s, lengthMs, false);
        const Tally on = Run(s, lengthMs, true);
        const auto cell = [&](const Tally& t) {
            char text[64];
            std::snprintf(text, sizeof text, "%d/%d, %.0f false/h", t.detected, t.crossings,
                          t.falseDetections * 60.0 / minutes);
            return std::string(text);
        };
        std::printf("%-38s %-20s %-20s\n", s.name.c_str(), cell(off).c_str(), cell(on).c_str());
    }
    return 0;
}
