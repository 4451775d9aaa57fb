#include "LightField.h"

#include "IgnoreMask.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int kPointsPerCellSide = 4;
constexpr int kPointsX = LightField::kCellsX * kPointsPerCellSide;
constexpr int kPointsY = LightField::kCellsY * kPointsPerCellSide;
// Fewer points than this in a cell (clipped, masked) tell nothing of it.
constexpr int kFewestInCell = 9;
// Points lit alike agree on their light within this (between the first and
// the third quarter of them, in 1/256 of their median): the sensor's noise and
// light that changes across a cell stay within it, a person does not.
constexpr int kAlikeSpread = 51;

// 2^24 / v: a ratio to v in 1/256 as a multiplication (rounded after it, or
// an unchanged value would read as 255/256 of itself).
constexpr std::array<std::uint32_t, 256> kReciprocal = [] {
    std::array<std::uint32_t, 256> r{};
    for (std::uint32_t v = 1; v < 256; ++v)
        r[v] = (1u << 24) / v;
    return r;
}();

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

    constexpr int kCells = kCellsX * kCellsY;
    constexpr int kPerCell = 3 * kPointsPerCellSide * kPointsPerCellSide;
    struct Point
    {
        int cell;
        std::array<std::uint8_t, 3> va, vb;
    };
    std::vector<Point> points;
    points.reserve(std::size_t(kPointsX * kPointsY));
    // The whole picture's gain from every third point: a thousand are
    // plenty for a median.
    std::array<std::vector<int>, 3> ratios;
    for (auto& r : ratios)
        r.reserve(points.capacity() / 3 + 1);
    for (int j = 0; j < kPointsY; ++j) {
        const int y = y0 + (2 * j + 1) * field.height_ / (2 * kPointsY);
        const uchar* rowA = a.constScanLine(y);
        const uchar* rowB = b.constScanLine(y);
        for (int i = 0; i < kPointsX; ++i) {
            const int x = x0 + (2 * i + 1) * field.width_ / (2 * kPointsX);
            if (mask && mask->covers(x, y, a.width(), a.height()))
                continue;
            Point p{(j / kPointsPerCellSide) * kCellsX + i / kPointsPerCellSide, {}, {}};
            const bool sampled = (i + j) % 3 == 0;
            for (std::size_t c = 0; c < 3; ++c) {
                p.va[c] = rowA[3 * x + int(c)];
                p.vb[c] = rowB[3 * x + int(c)];
                if (sampled && unclipped(p.va[c], p.vb[c]))
                    ratios[c].push_back(int((p.vb[c] * kReciprocal[p.va[c]] + 0x8000) >> 16));
            }
            points.push_back(p);
        }
    }
    for (std::size_t c = 0; c < 3; ++c)
        if (!ratios[c].empty())
            field.channel_[c] = std::clamp(medianOf(ratios[c]), 1, kMostGain);

    // What is left once the whole picture's gain is out, per point and
    // channel: the light of its place. Channels that clipping bent are left
    // out, and the others of the same point kept.
    // Divisions by a first value and its channel's gain, as multiplications.
    std::array<std::array<std::uint32_t, 256>, 3> unlit{};
    for (std::size_t c = 0; c < 3; ++c)
        for (std::uint32_t v = 1; v < 256; ++v)
            unlit[c][v] =
                std::uint32_t((std::uint64_t(1) << 32) / (v * std::uint64_t(field.channel_[c])));
    std::vector<int> values(std::size_t(kCells * kPerCell));
    std::array<int, kCells> counts{};
    for (const Point& p : points) {
        for (std::size_t c = 0; c < 3; ++c) {
            if (unclipped(p.va[c], p.vb[c])) {
                int& n = counts[std::size_t(p.cell)];
                values[std::size_t(p.cell * kPerCell + n++)] =
                    int((std::uint64_t(p.vb[c]) * unlit[c][p.va[c]] + 0x8000) >> 16);
            }
        }
    }
    // A cell whose points disagree on its light is not lit alike: someone in
    // it, or the edge of a patch of light. It tells nothing of the light.
    std::array<int, kCells> measured;
    for (int k = 0; k < kCells; ++k) {
        measured[std::size_t(k)] = -1;
        const int n = counts[std::size_t(k)];
        if (n < kFewestInCell)
            continue;
        int* first = values.data() + std::ptrdiff_t(k) * kPerCell;
        int* middle = first + n / 2;
        std::nth_element(first, middle, first + n);
        // The quarters: within the halves on either side of the median.
        int* lower = first + n / 4;
        std::nth_element(first, lower, middle);
        int* upper = first + 3 * n / 4;
        std::nth_element(middle + 1, upper, first + n);
        if ((*upper - *lower) * 256 <= kAlikeSpread * std::max(*middle, 1))
            measured[std::size_t(k)] = *middle;
    }
    const auto index = [](int cx, int cy) {
        return std::size_t(cy * kCellsX + cx);
    };

    // Each measured cell: the median of it and its four neighbours, so a
    // cell a person changed unlike the cells around does not count as light,
    // while a ridge of light (a headlight's band) one cell wide stays.
    std::array<int, kCells> low, high;
    int known = 0;
    for (int cy = 0; cy < kCellsY; ++cy) {
        for (int cx = 0; cx < kCellsX; ++cx) {
            low[index(cx, cy)] = high[index(cx, cy)] = -1;
            if (measured[index(cx, cy)] < 0)
                continue;
            std::array<int, 5> around;
            int n = 0;
            for (const auto& [dx, dy] : {std::pair{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                const int nx = cx + dx, ny = cy + dy;
                if (nx >= 0 && nx < kCellsX && ny >= 0 && ny < kCellsY &&
                    measured[index(nx, ny)] >= 0)
                    around[std::size_t(n++)] = measured[index(nx, ny)];
            }
            std::nth_element(around.begin(), around.begin() + n / 2, around.begin() + n);
            low[index(cx, cy)] = high[index(cx, cy)] = around[std::size_t(n / 2)];
            ++known;
        }
    }
    // A cell that tells nothing (its points clipped, ignored or unlike) may
    // have any light between the nearest cells that do: the known cells grow
    // into the others a ring at a time.
    if (known == 0)
        return field; // no change of light known anywhere
    while (known < kCells) {
        std::array<int, kCells> nextLow = low, nextHigh = high;
        for (int cy = 0; cy < kCellsY; ++cy) {
            for (int cx = 0; cx < kCellsX; ++cx) {
                if (low[index(cx, cy)] >= 0)
                    continue;
                for (int ny = std::max(0, cy - 1); ny <= std::min(kCellsY - 1, cy + 1); ++ny)
                    for (int nx = std::max(0, cx - 1); nx <= std::min(kCellsX - 1, cx + 1); ++nx)
                        if (low[index(nx, ny)] >= 0) {
                            int& lo = nextLow[index(cx, cy)];
                            int& hi = nextHigh[index(cx, cy)];
                            lo = lo < 0 ? low[index(nx, ny)] : std::min(lo, low[index(nx, ny)]);
                            hi = std::max(hi, high[index(nx, ny)]);
                        }
                known += nextLow[index(cx, cy)] >= 0;
            }
        }
        low = nextLow;
        high = nextHigh;
    }
    field.flat_ = true;
    for (int k = 0; k < kCells; ++k) {
        field.low_[std::size_t(k)] = low[std::size_t(k)];
        field.high_[std::size_t(k)] = high[std::size_t(k)];
        if (std::abs(low[std::size_t(k)] - 256) > kFlatWithin ||
            std::abs(high[std::size_t(k)] - 256) > kFlatWithin)
            field.flat_ = false;
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

std::vector<std::uint8_t> LightField::Segments(int x0, int step, int count) const
{
    std::vector<std::uint8_t> segments(std::size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        int cx = 0, wx = 0;
        const int x = x0 + i * step;
        between(x, x0_, width_, kCellsX, cx, wx);
        if (cx == 0 && wx == 0 && x < x0_ + width_ / (2 * kCellsX))
            segments[std::size_t(i)] = 0; // before the first centre
        else if (cx == kCellsX - 1)
            segments[std::size_t(i)] = kCellsX; // past the last centre
        else
            segments[std::size_t(i)] = std::uint8_t(cx + 1);
    }
    return segments;
}

void LightField::rowRanges(int y, SegmentGains& low, SegmentGains& high) const
{
    if (flat_) {
        low.fill(256);
        high.fill(256);
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
    const auto put = [&](int segment, int lo, int hi) {
        low[std::size_t(segment)] = std::clamp(lo, 1, kMostGain);
        high[std::size_t(segment)] = std::clamp(hi, 1, kMostGain);
    };
    put(0, std::min(columnLow[0], beyond(columnLow[0], columnLow[1])),
        std::max(columnHigh[0], beyond(columnHigh[0], columnHigh[1])));
    for (int k = 1; k < kCellsX; ++k)
        put(k, std::min(columnLow[std::size_t(k - 1)], columnLow[std::size_t(k)]),
            std::max(columnHigh[std::size_t(k - 1)], columnHigh[std::size_t(k)]));
    constexpr std::size_t last = kCellsX - 1;
    put(kCellsX, std::min(columnLow[last], beyond(columnLow[last], columnLow[last - 1])),
        std::max(columnHigh[last], beyond(columnHigh[last], columnHigh[last - 1])));
}
