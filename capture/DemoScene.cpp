#include "DemoScene.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

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
    QImage frame(kWidth, kHeight, QImage::Format_RGB888);
    renderInto(frame.bits(), int(frame.bytesPerLine()), timeMs, frameIndex);
    return frame;
}

void DemoScene::renderInto(std::uint8_t* rgb, int stride, std::int64_t timeMs,
                           std::uint64_t frameIndex) const
{
    for (int y = 0; y < kHeight; ++y)
        std::memcpy(rgb + y * stride, background_.constScanLine(y), kWidth * 3);

    const QRect object = objectRect(timeMs).intersected(QRect(0, 0, kWidth, kHeight));
    if (!object.isEmpty()) {
        const int sx0 = object.x() - objectRect(timeMs).x();
        for (int y = object.top(); y <= object.bottom(); ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(sprite_.constScanLine(y - objectY_));
            std::uint8_t* dst = rgb + y * stride + object.x() * 3;
            for (int x = 0; x < object.width(); ++x, dst += 3) {
                const QRgb c = src[sx0 + x];
                if (qAlpha(c) < 128)
                    continue;
                dst[0] = std::uint8_t(qRed(c));
                dst[1] = std::uint8_t(qGreen(c));
                dst[2] = std::uint8_t(qBlue(c));
            }
        }
    }

    const int amplitude = noise_.load();
    if (amplitude == 0)
        return;
    // One luminance offset per pixel, as a sensor's shot noise looks.
    Dice dice((std::uint64_t(seed_) << 32) ^ frameIndex);
    const std::uint32_t span = std::uint32_t(2 * amplitude + 1);
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* p = rgb + y * stride;
        for (int x = 0; x < kWidth; ++x, p += 3) {
            const int n = int(((dice.next() >> 16) * span) >> 16) - amplitude;
            for (int c = 0; c < 3; ++c)
                p[c] = std::uint8_t(std::clamp(int(p[c]) + n, 0, 255));
        }
    }
}
