#pragma once

#include <QImage>
#include <QRect>

#include <atomic>
#include <cstdint>

// The demo camera's picture: a still room with light sensor noise and, once
// every motion period, an object that walks across it in kCrossingMs. The
// picture is a pure function of (seed, time, frame index), so runs repeat.
// render() may run on a streaming thread while the GUI thread changes the
// period or the noise.
class DemoScene
{
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;
    static constexpr int kCrossingMs = 2000;
    static constexpr int kDefaultPeriodMs = 6000;
    static constexpr int kMinPeriodMs = kCrossingMs + 1000;
    static constexpr int kMaxPeriodMs = 600000;
    // Well below the change threshold of the default sensitivity (38):
    // two frames differ by at most twice this per channel.
    static constexpr int kDefaultNoise = 4;
    static constexpr int kMaxNoise = 60;

    explicit DemoScene(std::uint32_t seed = 1);

    std::uint32_t seed() const { return seed_; }

    // 0 = no object ever; otherwise clamped to kMinPeriodMs..kMaxPeriodMs.
    void setMotionPeriodMs(int ms);
    int motionPeriodMs() const { return period_.load(); }
    // Largest change a sensor-noise sample adds to a channel, 0..kMaxNoise.
    void setNoise(int amplitude);
    int noise() const { return noise_.load(); }

    // Where the object is at timeMs; empty while the scene is still.
    QRect objectRect(std::int64_t timeMs) const;

    QImage render(std::int64_t timeMs, std::uint64_t frameIndex) const;
    // Same into a kWidth x kHeight RGB buffer of the given stride.
    void renderInto(std::uint8_t* rgb, int stride, std::int64_t timeMs,
                    std::uint64_t frameIndex) const;

private:
    std::uint32_t seed_;
    QImage background_;
    QImage sprite_; // ARGB32, the walking object
    int objectY_ = 0;
    std::atomic<int> period_{kDefaultPeriodMs};
    std::atomic<int> noise_{kDefaultNoise};
};
