#include "FrameComparison.h"

#include "EIlxError.h"
#include "IgnoreMask.h"
#include "LightField.h"
#include "ShowMessageBox.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <vector>

namespace {

// Process-wide gate flags. The user-interface thread re-enters its handlers
// while messages run, and tests stop a comparison from another thread, so the
// flags are atomics; the sampling loop reads the cancel flag relaxed.
std::atomic<bool> comparisonBusy{false};
std::atomic<bool> comparisonCancelRequested{false};
std::atomic<bool> comparisonStopped{true};

// Resets the busy flag and settles the stopped flag however the comparison ends.
// Adopts a busy flag already taken.
class BusyScope final
{
public:
    BusyScope() = default;
    ~BusyScope()
    {
        comparisonBusy = false;
        if (comparisonCancelRequested)
            comparisonStopped = true;
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

const QImage& asRgb888(const QImage& image, QImage& converted)
{
    if (image.format() == QImage::Format_RGB888)
        return image;
    converted = image.convertToFormat(QImage::Format_RGB888);
    return converted;
}

// The first grid value >= low, on the grid start + k * step.
std::int64_t firstOnGridFrom(std::int64_t start, std::int64_t step, std::int64_t low)
{
    if (start >= low)
        return start;
    return start + (low - start + step - 1) / step * step;
}

[[noreturn]] void pixelOutside(std::int64_t x, std::int64_t y, const QImage& second)
{
    throw EIlxError(QStringLiteral("Pixel (%1, %2) cannot be read: the second picture is %3 x %4")
                        .arg(x)
                        .arg(y)
                        .arg(second.width())
                        .arg(second.height()));
}

} // namespace

/*!
 * \brief Counts the sample points where any channel changed by more than the
 * sensitivity's threshold, in percent of the whole picture's sample grid.
 *
 * Runs on the caller's thread; a stop request (RequestComparisonStop) makes it
 * leave at the next sample point. A pixel that cannot be read (a second
 * picture smaller than the first) is reported in a warning box and the points
 * counted so far make the result.
 */
double CompareFrames(const QImage& first, const QImage& second, std::uint8_t step,
                     std::uint8_t sensitivity, bool frameOn, std::int32_t frameLeft,
                     std::int32_t frameTop, std::int32_t frameWidth, std::int32_t frameHeight,
                     bool ignoreLight, const IgnoreMask* mask)
{
    if (comparisonStopped || first.isNull() || second.isNull())
        return 0.0;
    bool idle = false;
    if (!comparisonBusy.compare_exchange_strong(idle, true))
        return 0.0;
    const BusyScope busy;

    const std::int64_t w = first.width();
    const std::int64_t h = first.height();
    std::int64_t stepX = step;
    std::int64_t stepY = step;
    if (step == 0) {
        stepX = frameOn ? w * frameWidth / 100 / 10 : w / 10;
        stepY = frameOn ? h * frameHeight / 100 / 10 : h / 10;
    }
    // An automatic step of 0 (an area under ten pixels) would never advance.
    stepX = std::max<std::int64_t>(stepX, 1);
    stepY = std::max<std::int64_t>(stepY, 1);

    std::int64_t left = 0, right = w - 1, top = 0, bottom = h - 1;
    if (frameOn) {
        left = w * frameLeft / 100;
        right = left + w * frameWidth / 100;
        top = h * frameTop / 100;
        bottom = top + h * frameHeight / 100;
    }

    const int threshold = ChangeThreshold(sensitivity);
    std::int64_t count = 0;
    try {
        QImage convertedFirst, convertedSecond;
        const QImage& a = asRgb888(first, convertedFirst);
        const QImage& b = asRgb888(second, convertedSecond);
        // Grid points outside the first picture read the same in both and never
        // count, so the loops visit only the grid points inside it.
        const std::int64_t x0 = firstOnGridFrom(left, stepX, 0);
        const std::int64_t y0 = firstOnGridFrom(top, stepY, 0);
        const std::int64_t x1 = std::min(right, w - 1);
        const std::int64_t y1 = std::min(bottom, h - 1);
        const std::int64_t readableX1 = std::min<std::int64_t>(x1, b.width() - 1);
        bool cancelled = false;
        if (mask && mask->empty())
            mask = nullptr;
        // The light's change from the first picture to the second.
        LightField field;
        if (ignoreLight)
            field = LightField::Estimate(a, b, int(x0), int(y0), int(x1), int(y1), mask);
        // The first picture's channels as the second's light would show them
        // had it changed alike everywhere.
        std::array<std::array<std::uint8_t, 256>, 3> lit{};
        if (ignoreLight) {
            for (std::size_t c = 0; c < 3; ++c)
                for (int v = 0; v < 256; ++v)
                    lit[c][std::size_t(v)] =
                        std::uint8_t(std::min(255, (v * field.channelGain()[c] + 128) / 256));
        }
        // Whether a channel of the second picture is not what the first one's
        // shows in the second's light. A first value at white was at least
        // white: in a dimmer light it may show anything down to its own lit
        // value.
        const auto unlike = [threshold](int va, int vb, int litValue) {
            const int d = vb - litValue;
            return va == 255 ? d < -threshold : std::abs(d) > threshold;
        };
        const auto unlikeLit = [&lit, &unlike](const uchar* pa, const uchar* pb) {
            return unlike(pa[0], pb[0], lit[0][pa[0]]) | unlike(pa[1], pb[1], lit[1][pa[1]]) |
                   unlike(pa[2], pb[2], lit[2][pa[2]]);
        };
        const std::int64_t columns = x0 <= readableX1 ? (readableX1 - x0) / stepX + 1 : 0;
        // Per row: the sample columns an ignored area covers, and the place
        // gains of the light.
        std::vector<std::uint8_t> ignored(mask ? std::size_t(columns) : 0);
        const bool placeLight = ignoreLight && !field.flat();
        // Per sample column, its segment of the light's cells; per row and
        // segment, each channel's least and most gain (1/65536).
        const std::vector<std::uint8_t> segment =
            placeLight ? field.Segments(int(x0), int(stepX), int(columns))
                       : std::vector<std::uint8_t>();
        std::array<std::array<std::int32_t, 3>, LightField::kSegments> darkest{}, brightest{};
        std::vector<std::uint8_t> columnCell(mask ? std::size_t(columns) : 0);
        for (std::size_t i = 0; i < columnCell.size(); ++i)
            columnCell[i] =
                std::uint8_t(IgnoreMask::ColumnOf(int(x0 + std::int64_t(i) * stepX), int(w)));
        int maskRow = -1;
        const auto startRow = [&](std::int64_t y) {
            if (mask && IgnoreMask::RowOf(int(y), int(h)) != maskRow) {
                maskRow = IgnoreMask::RowOf(int(y), int(h));
                for (std::size_t i = 0; i < ignored.size(); ++i)
                    ignored[i] = mask->at(columnCell[i], maskRow);
            }
            if (placeLight) {
                LightField::SegmentGains low, high;
                field.rowRanges(int(y), low, high);
                for (std::size_t k = 0; k < low.size(); ++k)
                    for (std::size_t c = 0; c < 3; ++c) {
                        darkest[k][c] = field.channelGain()[c] * low[k];
                        brightest[k][c] = field.channelGain()[c] * high[k];
                    }
            }
        };
        const auto countWhere = [&](auto changedAt) {
            for (std::int64_t y = y0; y <= y1 && !cancelled; y += stepY) {
                if (x0 <= x1 && y >= b.height())
                    pixelOutside(x0, y, b);
                startRow(y);
                const uchar* rowA = a.constScanLine(static_cast<int>(y));
                const uchar* rowB = b.constScanLine(static_cast<int>(y));
                std::int64_t x = x0;
                const uchar* pa = rowA + 3 * x0;
                const uchar* pb = rowB + 3 * x0;
                const std::int64_t stride = 3 * stepX;
                for (std::size_t i = 0; x <= readableX1;
                     ++i, x += stepX, pa += stride, pb += stride) {
                    count += changedAt(pa, pb, i);
                    if (comparisonCancelRequested.load(std::memory_order_relaxed)) {
                        cancelled = true;
                        break;
                    }
                }
                if (!cancelled && x <= x1)
                    pixelOutside(x, y, b);
            }
        };
        // One loop per rule, so the plain comparison pays nothing for the others.
        const auto rule = [&](auto changedAt) {
            if (mask)
                countWhere([&](const uchar* pa, const uchar* pb, std::size_t i) {
                    return !ignored[i] && changedAt(pa, pb, i);
                });
            else
                countWhere(changedAt);
        };
        if (ignoreLight && field.flat()) {
            rule([&](const uchar* pa, const uchar* pb, std::size_t) { return unlikeLit(pa, pb); });
        } else if (ignoreLight) {
            // The light of a place lies between the gains of the cells
            // around it: a point counts when no light in that range explains it.
            // A point the whole picture's light explains is not counted
            // either, which spares most points the place's reckoning.
            rule([&](const uchar* pa, const uchar* pb, std::size_t i) {
                if (!unlikeLit(pa, pb))
                    return false;
                const auto& lo = darkest[segment[i]];
                const auto& hi = brightest[segment[i]];
                // Without branches: in a changed area they go either way.
                int changed = 0;
                for (std::size_t c = 0; c < 3; ++c) {
                    const int v = pb[c];
                    const int least = std::min(255, (pa[c] * lo[c] + 32768) >> 16);
                    const int most = std::min(255, (pa[c] * hi[c] + 32768) >> 16);
                    changed |= int(v < least - threshold) |
                               (int(pa[c] != 255) & int(v > most + threshold));
                }
                return changed != 0;
            });
        } else {
            // The largest channel change exceeds T exactly when one of them does.
            rule([threshold](const uchar* pa, const uchar* pb, std::size_t) {
                return (std::abs(pa[0] - pb[0]) > threshold) |
                       (std::abs(pa[1] - pb[1]) > threshold) |
                       (std::abs(pa[2] - pb[2]) > threshold);
            });
        }
    } catch (const EIlxError& error) {
        ShowMessageBox(nullptr, error.message(), MkWarning, MbOk);
    } catch (const std::exception& error) {
        ShowMessageBox(nullptr, QString::fromLocal8Bit(error.what()), MkWarning, MbOk);
    }

    const std::int64_t n = (w / stepX) * (h / stepY);
    if (n == 0)
        return 0.0;
    return static_cast<double>(count) * 100.0 / static_cast<double>(n);
}

void ResetComparison()
{
    comparisonStopped = false;
    comparisonCancelRequested = false;
}

void RequestComparisonStop()
{
    comparisonCancelRequested = true;
    if (!comparisonBusy)
        comparisonStopped = true;
}

bool IsGateStopped()
{
    return comparisonStopped;
}

bool IsComparisonBusy()
{
    return comparisonBusy;
}

std::uint8_t StepForResolutionIndex(int itemIndex)
{
    switch (itemIndex) {
    case 1:
        return 1;
    case 2:
        return 2;
    case 3:
        return 4;
    case 4:
        return 8;
    case 5:
        return 16;
    default:
        return 0;
    }
}

int ChangeThreshold(std::uint8_t sensitivity)
{
    // Out-of-range sensitivities count as 100: a negative threshold would
    // count unchanged points.
    return (100 - std::min<int>(sensitivity, 100)) * 255 / 100;
}
