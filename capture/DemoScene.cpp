#include "DemoScene.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

std::uint32_t Mix(std::uint64_t x)
{
    // splitmix64 finaliser: neighbouring seeds and frames give unrelated noise.
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return std::uint32_t((x ^ (x >> 31)) & 0xFFFFFFFFu) | 1u;
}

class Dice
{
public:
    explicit Dice(std::uint64_t seed) : state_(Mix(seed)) {}
    std::uint32_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int range(int lo, int hi) { return lo + int(next() % std::uint32_t(hi - lo + 1)); }

private:
    std::uint32_t state_;
};

QImage PaintRoom(std::uint32_t seed)
{
    Dice dice(seed);
    QImage room(DemoScene::kWidth, DemoScene::kHeight, QImage::Format_RGB888);
    QPainter p(&room);
    const int horizon = 300 + dice.range(-20, 20);

    QLinearGradient wall(0, 0, 0, horizon);
    wall.setColorAt(0, QColor(196, 188, 170));
    wall.setColorAt(1, QColor(226, 218, 198));
    p.fillRect(0, 0, DemoScene::kWidth, horizon, wall);
    QLinearGradient floor(0, horizon, 0, DemoScene::kHeight);
    floor.setColorAt(0, QColor(120, 92, 64));
    floor.setColorAt(1, QColor(82, 60, 40));
    p.fillRect(0, horizon, DemoScene::kWidth, DemoScene::kHeight - horizon, floor);
    p.fillRect(0, horizon - 6, DemoScene::kWidth, 6, QColor(240, 236, 228)); // skirting

    // A window with its frame and a door: edges everywhere, as a real room has.
    const int wx = dice.range(60, 160);
    p.fillRect(wx, 50, 180, 140, QColor(246, 246, 240));
    p.fillRect(wx + 8, 58, 164, 124, QColor(150, 190, 228));
    p.fillRect(wx + 86, 58, 8, 124, QColor(246, 246, 240));
    p.fillRect(wx + 8, 116, 164, 8, QColor(246, 246, 240));
    const int dx = dice.range(430, 500);
    p.fillRect(dx, 90, 100, horizon - 90, QColor(142, 110, 78));
    p.fillRect(dx + 10, 100, 80, horizon - 110, QColor(160, 126, 90));
    p.setBrush(QColor(210, 190, 90));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPoint(dx + 82, horizon / 2 + 60), 5, 5);
    // A table in front.
    const int tx = dice.range(250, 330);
    p.fillRect(tx, horizon + 40, 150, 14, QColor(70, 50, 36));
    p.fillRect(tx + 8, horizon + 54, 10, 90, QColor(60, 42, 30));
    p.fillRect(tx + 132, horizon + 54, 10, 90, QColor(60, 42, 30));
    return room;
}

QImage PaintWalker(std::uint32_t seed)
{
    Dice dice(seed ^ 0x5A5A5A5Au);
    QImage s(130, 230, QImage::Format_ARGB32);
    s.fill(Qt::transparent);
    QPainter p(&s);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    const QColor coat(dice.range(20, 60), dice.range(30, 80), dice.range(90, 140));
    p.setBrush(QColor(228, 186, 150));
    p.drawEllipse(40, 0, 50, 56); // head
    p.setBrush(coat);
    p.drawRoundedRect(15, 56, 100, 110, 18, 18); // body
    p.setBrush(QColor(40, 40, 46));
    p.drawRect(28, 160, 30, 70); // legs
    p.drawRect(72, 160, 30, 70);
    return s;
}

} // namespace

DemoScene::DemoScene(std::uint32_t seed)
    : seed_(seed), background_(PaintRoom(seed)), sprite_(PaintWalker(seed))
{
    objectY_ = kHeight - sprite_.height() - 30 - int(Mix(seed) % 40u);
}

void DemoScene::setMotionPeriodMs(int ms)
{
    period_ = ms <= 0 ? 0 : std::clamp(ms, kMinPeriodMs, kMaxPeriodMs);
}

void DemoScene::setNoise(int amplitude)
{
    noise_ = std::clamp(amplitude, 0, kMaxNoise);
}

void DemoScene::setLightPeriodMs(int ms)
{
    lightPeriod_ = ms <= 0 ? 0 : std::clamp(ms, 1000, kMaxLightPeriodMs);
}

bool DemoScene::lightOn(std::int64_t timeMs) const
{
    const int period = lightPeriod_.load();
    return period <= 0 || timeMs < 0 || (timeMs / period) % 2 == 0;
}

void DemoScene::setLampInCorner(bool corner)
{
    lampInCorner_ = corner;
}

double DemoScene::CornerLampGain(double x, double y)
{
    // Light falling off with the distance from the corner, as a lamp's does
    // across a room: 1.9 times at the corner, about 1.12 at the far one.
    const double d2 = (x * x + y * y) / 2.0;
    return 1.0 + 0.9 / (1.0 + d2 / (0.39 * 0.39));
}

QRect DemoScene::objectRect(std::int64_t timeMs) const
{
    const int period = period_.load();
    if (period <= 0 || timeMs < 0)
        return {};
    // Each period is still first, then the object crosses in its last kCrossingMs.
    const std::int64_t phase = timeMs % period - (period - kCrossingMs);
    if (phase < 0)
        return {};
    const int travel = kWidth + sprite_.width();
    const int x = -sprite_.width() + int(phase * travel / kCrossingMs);
    return QRect(x, objectY_, sprite_.width(), sprite_.height());
}

QImage DemoScene::render(std::int64_t timeMs, std::uint64_t frameIndex) const
{
    QImage frame(kWidth, kHeight, QImage::Format_RGB32);
    renderInto(frame.bits(), int(frame.bytesPerLine()), timeMs, frameIndex);
    return frame.convertToFormat(QImage::Format_RGB888);
}

std::shared_ptr<const DemoScene::Drawn> DemoScene::drawnAt(QSize size) const
{
    const std::lock_guard lock(cacheMutex_);
    if (!drawn_ || drawn_->size != size) {
        auto drawn = std::make_shared<Drawn>();
        drawn->size = size;
        if (size == QSize(kWidth, kHeight)) {
            drawn->background = background_.convertToFormat(QImage::Format_RGB32);
            drawn->sprite = sprite_;
            drawn->objectY = objectY_;
        } else {
            drawn->background =
                background_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                    .convertToFormat(QImage::Format_RGB32);
            const QSize spriteSize(std::max(1, sprite_.width() * size.width() / kWidth),
                                   std::max(1, sprite_.height() * size.height() / kHeight));
            drawn->sprite =
                sprite_.scaled(spriteSize, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            drawn->objectY = objectY_ * size.height() / kHeight;
        }
        const int w = size.width(), h = size.height();
        drawn->cornerOff.resize(std::size_t(w) * std::size_t(h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                drawn->cornerOff[std::size_t(y) * std::size_t(w) + std::size_t(x)] =
                    std::uint8_t(std::lround(256.0 / CornerLampGain((x + 0.5) / w, (y + 0.5) / h)));
        drawn_ = std::move(drawn);
    }
    return drawn_;
}

QSize DemoScene::DrawnSize(QSize size)
{
    if (size.width() < 1 || size.height() < 1 || size.width() > kWidth || size.height() > kHeight)
        return QSize(kWidth, kHeight);
    return size;
}

std::shared_ptr<const DemoScene::Noise> DemoScene::noisePlane(int amplitude) const
{
    // Twice the pixels of the largest picture: each frame reads its own
    // window at a place drawn by lot.
    constexpr std::size_t kPixels = std::size_t(2) * kWidth * kHeight;
    const std::lock_guard lock(cacheMutex_);
    if (!noiseOffsets_ || noiseOffsetsAmplitude_ != amplitude) {
        auto noise = std::make_shared<Noise>();
        noise->up.assign(kPixels, 0);
        noise->down.assign(kPixels, 0);
        Dice dice((std::uint64_t(seed_) << 32) ^ 0x4E4F495345ull);
        const std::uint32_t span = std::uint32_t(2 * amplitude + 1);
        for (std::size_t i = 0; i < kPixels; ++i) {
            const int n = int(((dice.next() >> 16) * span) >> 16) - amplitude;
            // One luminance change, for blue, green and red alike.
            (n >= 0 ? noise->up : noise->down)[i] = std::uint8_t(std::abs(n));
        }
        noiseOffsets_ = std::move(noise);
        noiseOffsetsAmplitude_ = amplitude;
    }
    return noiseOffsets_;
}

namespace {

#ifdef __SSE2__
// Four pixels' noise bytes spread over their blue, green and red; the fourth
// byte of each pixel gets none.
__m128i SpreadNoise(const std::uint8_t* fourPixels)
{
    std::int32_t packed;
    std::memcpy(&packed, fourPixels, sizeof packed);
    __m128i v = _mm_cvtsi32_si128(packed);
    v = _mm_unpacklo_epi8(v, v);
    v = _mm_unpacklo_epi16(v, v);
    return _mm_and_si128(v, _mm_set1_epi32(0x00FFFFFF));
}
#endif

// For \a pixels 32-bit pixels: out = from + up - down on blue, green and red,
// each step held within 0..255 (from may be out); the fourth byte is from's.
void AddNoise(std::uint8_t* out, const std::uint8_t* from, const std::uint8_t* up,
              const std::uint8_t* down, std::size_t pixels)
{
    std::size_t p = 0;
#ifdef __SSE2__
    for (; p + 4 <= pixels; p += 4) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 4 * p));
        v = _mm_adds_epu8(v, SpreadNoise(up + p));
        v = _mm_subs_epu8(v, SpreadNoise(down + p));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * p), v);
    }
#endif
    for (; p < pixels; ++p) {
        for (std::size_t c = 0; c < 3; ++c) {
            const std::size_t i = 4 * p + c;
            out[i] = std::uint8_t(std::max(0, std::min(255, from[i] + up[p]) - down[p]));
        }
        out[4 * p + 3] = from[4 * p + 3];
    }
}

} // namespace

void DemoScene::renderInto(std::uint8_t* pixels, int stride, std::int64_t timeMs,
                           std::uint64_t frameIndex, QSize size) const
{
    size = DrawnSize(size);
    const std::shared_ptr<const Drawn> drawn = drawnAt(size);
    const int width = size.width();
    const int height = size.height();
    const std::size_t rowBytes = std::size_t(width) * 4;
    const int amplitude = noise_.load();
    const bool lit = lightOn(timeMs);

    // As a sensor's shot noise looks: one luminance change per pixel, from
    // the plane at a place this frame draws by lot, as random from frame to
    // frame as drawing every change anew, at a fraction of the cost.
    std::shared_ptr<const Noise> noise;
    std::size_t noiseAt = 0;
    if (amplitude > 0) {
        noise = noisePlane(amplitude);
        const std::size_t room = noise->up.size() - std::size_t(width) * std::size_t(height);
        noiseAt = std::size_t(Mix((std::uint64_t(seed_) << 32) ^ frameIndex)) % (room + 1);
    }
    // With the lamp on, the room and its noise in one pass, and the noise
    // added to the object's pixels as it is drawn: the same picture as
    // drawing, then adding the noise, at half the memory traffic.
    const bool oneNoisyPass = noise && lit;

    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = pixels + y * stride;
        if (oneNoisyPass) {
            const std::size_t at = noiseAt + std::size_t(y) * std::size_t(width);
            AddNoise(row, drawn->background.constScanLine(y), noise->up.data() + at,
                     noise->down.data() + at, std::size_t(width));
        } else {
            std::memcpy(row, drawn->background.constScanLine(y), rowBytes);
        }
    }

    // The object's place in the full-size room, brought to this size.
    const QRect full = objectRect(timeMs);
    if (!full.isEmpty()) {
        const QRect placed(full.x() * width / kWidth, drawn->objectY, drawn->sprite.width(),
                           drawn->sprite.height());
        const QRect object = placed.intersected(QRect(0, 0, width, height));
        const int sx0 = object.x() - placed.x();
        for (int y = object.top(); y <= object.bottom(); ++y) {
            const auto* src =
                reinterpret_cast<const QRgb*>(drawn->sprite.constScanLine(y - drawn->objectY));
            auto* dst = reinterpret_cast<QRgb*>(pixels + y * stride) + object.x();
            const std::size_t rowAt =
                noiseAt + std::size_t(y) * std::size_t(width) + std::size_t(object.x());
            for (int x = 0; x < object.width(); ++x) {
                const QRgb c = src[sx0 + x];
                if (qAlpha(c) < 128)
                    continue;
                dst[x] = c | 0xFF000000u;
                if (oneNoisyPass) {
                    auto* bytes = reinterpret_cast<std::uint8_t*>(dst + x);
                    const std::size_t at = rowAt + std::size_t(x);
                    AddNoise(bytes, bytes, noise->up.data() + at, noise->down.data() + at, 1);
                }
            }
        }
    }
    if (oneNoisyPass || (lit && !noise))
        return;

    if (!lit && lampInCorner_) {
        // The corner lamp off: each place loses what the lamp gave it.
        for (int y = 0; y < height; ++y) {
            std::uint8_t* p = pixels + y * stride;
            const std::uint8_t* off = drawn->cornerOff.data() + std::size_t(y) * std::size_t(width);
            for (std::size_t i = 0; i < rowBytes; i += 4) {
                for (std::size_t c = 0; c < 3; ++c)
                    p[i + c] = std::uint8_t(p[i + c] * off[i / 4] >> 8);
            }
        }
    } else if (!lit) {
        // The lamp off: everything the room shows loses light alike.
        for (int y = 0; y < height; ++y) {
            std::uint8_t* p = pixels + y * stride;
            for (std::size_t i = 0; i < rowBytes; i += 4) {
                for (std::size_t c = 0; c < 3; ++c) // blue, green, red; the fourth stays
                    p[i + c] = std::uint8_t(p[i + c] * kLightOffGain >> 8);
            }
        }
    }

    if (!noise)
        return;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = pixels + y * stride;
        const std::size_t at = noiseAt + std::size_t(y) * std::size_t(width);
        AddNoise(row, row, noise->up.data() + at, noise->down.data() + at, std::size_t(width));
    }
}
