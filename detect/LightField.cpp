#include "LightField.h"

#include "IgnoreMask.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int kPointsPerCellSide = 4;
constexpr int kPointsX = LightField::kCellsX * kPointsPerCellSide;
constexpr int kPointsY = LightField::kCellsY * kPointsPerCellSide;
// Fewer points than this in a cell (clipped, masked) tell nothing of it.
constexpr std::size_t kFewestInCell = 9;
// Points lit alike agree on their light within this (between the first and
// the third quarter of them, in 1/256 of their median): the sensor's noise and
// light that changes across a cell stay within it, a person does not.
constexpr int kAlikeSpread = 51;

int medianOf(std::vector<int>& values)
{
    const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// A value that clipping has bent tells nothing of the light: white stays
// white whatever the light, black stays black.
bool unclipped(int va, int vb)
{
    return va >= 16 && va <= 250 && vb >= 1 && vb <= 254;
}

} // namespace

LightField LightField::Estimate(const QImage& a, const QImage& b, int x0, int y0, int x1, int y1,
                                const IgnoreMask* mask)
{
    LightField field;
    x1 = std::min({x1, a.width() - 1, b.width() - 1});
    y1 = std::min({y1, a.height() - 1, b.height() - 1});
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    if (x1 < x0 || y1 < y0)
        return field;
    field.x0_ = x0;
    field.y0_ = y0;
    field.width_ = x1 - x0 + 1;
    field.height_ = y1 - y0 + 1;

    struct Point
    {
        int cell;
        std::array<std::uint8_t, 3> va, vb;
    };
    std::vector<Point> points;
    points.reserve(std::size_t(kPointsX * kPointsY));
    std::array<std::vector<int>, 3> ratios;
    for (auto& r : ratios)
        r.reserve(points.capacity());
    for (int j = 0; j < kPointsY; ++j) {
        const int y = y0 + (2 * j + 1) * field.height_ / (2 * kPointsY);
        const uchar* rowA = a.constScanLine(y);
        const uchar* rowB = b.constScanLine(y);
        for (int i = 0; i < kPointsX; ++i) {
            const int x = x0 + (2 * i + 1) * field.width_ / (2 * kPointsX);
            if (mask && mask->covers(x, y, a.width(), a.height()))
                continue;
            Point p{(j / kPointsPerCellSide) * kCellsX + i / kPointsPerCellSide, {}, {}};
            for (int c = 0; c < 3; ++c) {
                p.va[std::size_t(c)] = rowA[3 * x + c];
                p.vb[std::size_t(c)] = rowB[3 * x + c];
                if (unclipped(p.va[std::size_t(c)], p.vb[std::size_t(c)]))
                    ratios[std::size_t(c)].push_back(p.vb[std::size_t(c)] * 256 /
                                                     p.va[std::size_t(c)]);
            }
            points.push_back(p);
        }
    }
    for (std::size_t c = 0; c < 3; ++c)
        if (!ratios[c].empty())
            field.channel_[c] = std::max(1, medianOf(ratios[c]));

    // What is left once the whole picture's gain is out, per point and
    // channel: the light of its place. Channels that clipping bent are left
    // out, and the others of the same point kept.
    std::array<std::vector<int>, kCellsX * kCellsY> inCell;
    for (const Point& p : points)
        for (std::size_t c = 0; c < 3; ++c)
            if (unclipped(p.va[c], p.vb[c]))
                inCell[std::size_t(p.cell)].push_back(p.vb[c] * 65536 /
                                                      (p.va[c] * field.channel_[c]));
    std::array<int, kCellsX * kCellsY> measured;
    // A cell whose points disagree on its light is not lit alike: someone in
    // it, or the edge of a patch of light. It tells nothing of the light.
    for (std::size_t k = 0; k < inCell.size(); ++k) {
        std::vector<int>& values = inCell[k];
        measured[k] = -1;
        if (values.size() < kFewestInCell)
            continue;
        const int middle = medianOf(values);
        const auto at = [&values](std::size_t share) {
            const auto n = values.begin() + std::ptrdiff_t(values.size() * share / 4);
            std::nth_element(values.begin(), n, values.end());
            return *n;
        };
        const int spread = at(3) - at(1);
        if (spread * 256 <= kAlikeSpread * std::max(middle, 1))
            measured[k] = middle;
    }
    const auto index = [](int cx, int cy) {
        return std::size_t(cy * kCellsX + cx);
    };

    // Each measured cell: the median of it and its four neighbours, so a
    // cell a person changed unlike the cells around does not count as light,
    // while a ridge of light (a headlight's band) one cell wide stays.
    std::vector<int> around;
    std::array<int, kCellsX * kCellsY> smoothed;
    for (int cy = 0; cy < kCellsY; ++cy) {
        for (int cx = 0; cx < kCellsX; ++cx) {
            smoothed[index(cx, cy)] = -1;
            if (measured[index(cx, cy)] < 0)
                continue;
            around.clear();
            for (const auto& [dx, dy] : {std::pair{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                const int nx = cx + dx, ny = cy + dy;
                if (nx >= 0 && nx < kCellsX && ny >= 0 && ny < kCellsY &&
                    measured[index(nx, ny)] >= 0)
                    around.push_back(measured[index(nx, ny)]);
            }
            smoothed[index(cx, cy)] = medianOf(around);
        }
    }
    // A cell that tells nothing (its points clipped or ignored) may have any
    // light between the nearest cells that do.
    field.flat_ = true;
    for (int cy = 0; cy < kCellsY; ++cy) {
        for (int cx = 0; cx < kCellsX; ++cx) {
            int low = smoothed[index(cx, cy)], high = low;
            for (int ring = 1; low < 0 && ring < std::max(kCellsX, kCellsY); ++ring) {
                for (int ny = std::max(0, cy - ring); ny <= std::min(kCellsY - 1, cy + ring); ++ny)
                    for (int nx = std::max(0, cx - ring); nx <= std::min(kCellsX - 1, cx + ring);
                         ++nx)
                        if (const int m = smoothed[index(nx, ny)]; m >= 0) {
                            high = std::max(high, m);
                            low = low < 0 ? m : std::min(low, m);
                        }
            }
            if (low < 0)
                low = high = 256; // nothing measured anywhere: no change of light known
            field.low_[index(cx, cy)] = low;
            field.high_[index(cx, cy)] = high;
            if (std::abs(low - 256) > kFlatWithin || std::abs(high - 256) > kFlatWithin)
                field.flat_ = false;
        }
    }
    return field;
}

void LightField::between(int at, int start, int length, int cells, int& index, int& weight)
{
    // Cell k's centre is at start + (2k + 1) * length / (2 * cells); in
    // 1/256 of a cell from the first centre:
    const std::int64_t pos =
        (std::int64_t(at - start) * 2 * cells - length) * 256 / (2 * std::int64_t(length));
    if (pos <= 0) {
        index = 0;
        weight = 0;
    } else if (pos >= std::int64_t(cells - 1) * 256) {
        index = cells - 1;
        weight = 0;
    } else {
        index = int(pos / 256);
        weight = int(pos % 256);
    }
}

void LightField::rowRanges(int y, int x0, int step, int count, std::uint16_t* low,
                           std::uint16_t* high) const
{
    if (flat_) {
        std::fill(low, low + count, std::uint16_t(256));
        std::fill(high, high + count, std::uint16_t(256));
        return;
    }
    const auto lowAt = [this](int cx, int cy) {
        return low_[std::size_t(cy * kCellsX + cx)];
    };
    const auto highAt = [this](int cx, int cy) {
        return high_[std::size_t(cy * kCellsX + cx)];
    };
    // Past the outer cell centres the light goes on as it went between the
    // last two: a lamp's or a headlight's falls off fastest at the edge.
    const auto beyond = [](int edge, int inner) {
        return std::max(1, 2 * edge - inner);
    };
    int row = 0, wy = 0;
    between(y, y0_, height_, kCellsY, row, wy);
    const int below = std::min(row + 1, kCellsY - 1);
    const bool top = wy == 0 && row == 0 && y < y0_ + height_ / (2 * kCellsY);
    const bool bottom = wy == 0 && row == kCellsY - 1;
    // The lowest and highest gain of the cells above and below the row, at
    // every cell column.
    std::array<int, kCellsX> columnLow, columnHigh;
    for (int cx = 0; cx < kCellsX; ++cx) {
        int lo = std::min(lowAt(cx, row), lowAt(cx, below));
        int hi = std::max(highAt(cx, row), highAt(cx, below));
        if (top || bottom) {
            const int edge = top ? 0 : kCellsY - 1;
            const int inner = top ? 1 : kCellsY - 2;
            lo = std::min(lo, beyond(lowAt(cx, edge), lowAt(cx, inner)));
            hi = std::max(hi, beyond(highAt(cx, edge), highAt(cx, inner)));
        }
        columnLow[std::size_t(cx)] = lo;
        columnHigh[std::size_t(cx)] = hi;
    }
    for (int i = 0; i < count; ++i) {
        const int x = x0 + i * step;
        int cx = 0, wx = 0;
        between(x, x0_, width_, kCellsX, cx, wx);
        const int next = std::min(cx + 1, kCellsX - 1);
        int lo = std::min(columnLow[std::size_t(cx)], columnLow[std::size_t(next)]);
        int hi = std::max(columnHigh[std::size_t(cx)], columnHigh[std::size_t(next)]);
        if (wx == 0 && (cx == 0 || cx == kCellsX - 1)) {
            const bool left = cx == 0 && x < x0_ + width_ / (2 * kCellsX);
            const bool right = cx == kCellsX - 1;
            if (left || right) {
                const int inner = left ? 1 : kCellsX - 2;
                lo =
                    std::min(lo, beyond(columnLow[std::size_t(cx)], columnLow[std::size_t(inner)]));
                hi = std::max(hi,
                              beyond(columnHigh[std::size_t(cx)], columnHigh[std::size_t(inner)]));
            }
        }
        low[i] = std::uint16_t(std::clamp(lo, 1, 65535));
        high[i] = std::uint16_t(std::clamp(hi, 1, 65535));
    }
}
