#pragma once

#include <QImage>
#include <QRect>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

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
    static constexpr int kMaxLightPeriodMs = 3600000;
    // The room's light with the lamp off, in 1/256 of its light on.
    static constexpr int kLightOffGain = 154; // 60 %

    explicit DemoScene(std::uint32_t seed = 1);

    std::uint32_t seed() const { return seed_; }

    // 0 = no object ever; otherwise clamped to kMinPeriodMs..kMaxPeriodMs.
    void setMotionPeriodMs(int ms);
    int motionPeriodMs() const { return period_.load(); }
    // Largest change a sensor-noise sample adds to a channel, 0..kMaxNoise.
    void setNoise(int amplitude);
    int noise() const { return noise_.load(); }
    // 0 = the light stays on; otherwise it goes off and on again every
    // period (clamped to 1 s .. kMaxLightPeriodMs), the whole room at once.
    void setLightPeriodMs(int ms);
    int lightPeriodMs() const { return lightPeriod_.load(); }
    bool lightOn(std::int64_t timeMs) const;
    // Where the lamp stands: false, above the room (it lights all of it
    // alike); true, in the top left corner, so the room near it is nearly
    // twice as bright with the lamp on and the far wall a little brighter.
    void setLampInCorner(bool corner);
    bool lampInCorner() const { return lampInCorner_.load(); }
    // What the lamp adds at a place of the room, (x, y) in 0..1 of its
    // width and height: the room's light with the lamp on over its light off.
    static double CornerLampGain(double x, double y);

    // Where the object is at timeMs; empty while the scene is still.
    QRect objectRect(std::int64_t timeMs) const;

    // The full-size picture, RGB888.
    QImage render(std::int64_t timeMs, std::uint64_t frameIndex) const;
    // The same drawn at `size` into 32-bit pixels laid out as
    // QImage::Format_RGB32 (what the window paints without converting), at
    // the given stride. The room and the object are scaled once per size,
    // not per frame: a session that asks for a small picture pays for a
    // small picture.
    void renderInto(std::uint8_t* pixels, int stride, std::int64_t timeMs, std::uint64_t frameIndex,
                    QSize size = QSize(kWidth, kHeight)) const;
    // The size a picture of `size` is drawn at: its own, up to the full room;
    // the full room for an empty or larger one.
    static QSize DrawnSize(QSize size);

private:
    // The room and the object drawn at one size.
    struct Drawn
    {
        QSize size;
        QImage background; // RGB32
        QImage sprite;     // ARGB32
        int objectY = 0;
        // The light left at each pixel, in 1/256, when the corner lamp is off.
        std::vector<std::uint8_t> cornerOff;
    };
    std::shared_ptr<const Drawn> drawnAt(QSize size) const;
    // Sensor noise for one amplitude, as the byte to add to and the byte to
    // take away from each pixel's blue, green and red (one byte a pixel, a
    // quarter of the memory a frame reads), read from a per-frame position.
    struct Noise
    {
        std::vector<std::uint8_t> up;
        std::vector<std::uint8_t> down;
    };
    std::shared_ptr<const Noise> noisePlane(int amplitude) const;

    std::uint32_t seed_;
    QImage background_;
    QImage sprite_; // ARGB32, the walking object
    int objectY_ = 0;
    std::atomic<int> period_{kDefaultPeriodMs};
    std::atomic<int> noise_{kDefaultNoise};
    std::atomic<int> lightPeriod_{0};
    std::atomic<bool> lampInCorner_{false};

    mutable std::mutex cacheMutex_; // render() may run on two threads
    mutable std::shared_ptr<const Drawn> drawn_;
    mutable std::shared_ptr<const Noise> noiseOffsets_;
    mutable int noiseOffsetsAmplitude_ = -1;
};
