#include "ScanTiming.h"

#include <algorithm>
#include <limits>

namespace ScanTiming {

int BaseIntervalForFrequencyIndex(int itemIndex)
{
    switch (itemIndex) {
    case 0:
        return 250;
    case 1:
        return 500;
    case 2:
        return 1000;
    case 3:
        return 5000;
    case 4:
        return 30000;
    case 5:
        return 60000;
    default:
        return 500;
    }
}

int DelayAfterOverlap(int scanDelay)
{
    const int grown = scanDelay + kOverlapStep;
    return grown > kMaxScanDelay ? 0 : grown;
}

std::int64_t OneAndAHalf(std::int64_t x)
{
    // 1.5 x = (3 x) / 2 exactly: only odd 3x ties, and those round to even.
    const std::int64_t triple = 3 * x;
    std::int64_t half = triple / 2;
    if (triple % 2 != 0) {
        const std::int64_t other = triple > 0 ? half + 1 : half - 1;
        half = (half % 2 == 0) ? half : other;
    }
    return half;
}

std::optional<int> AdaptedDelay(std::int64_t cycleMs, int baseInterval, int scanDelay)
{
    const std::int64_t r = OneAndAHalf(cycleMs);
    if (r >= static_cast<std::int64_t>(baseInterval) + scanDelay)
        return std::nullopt;
    const std::int64_t delay = std::max<std::int64_t>(0, r - baseInterval);
    return static_cast<int>(delay / 10 * 10);
}

int GrabWaitAfterFailure(int grabWait)
{
    // It stops growing at its ceiling: a camera that failed for a day must not
    // leave every later cycle waiting minutes once its pictures come back.
    if (grabWait >= kMaxGrabWait - kGrabWaitStep)
        return std::max(grabWait, kMaxGrabWait);
    return grabWait + kGrabWaitStep;
}

std::int64_t ElapsedTicks(std::uint32_t from, std::uint32_t to)
{
    // Unsigned subtraction survives the counter's wrap at 2^32.
    return static_cast<std::uint32_t>(to - from);
}

} // namespace ScanTiming
