#pragma once

#include <cstdint>
#include <optional>

// Timing rules of the scan timer: its base interval, the delay it gains on an
// overlapping tick, and the delay it loses when cycles run fast. All in ms.
namespace ScanTiming {

constexpr int kStartInterval = 250;
constexpr int kOverlapStep = 250;
constexpr int kMaxScanDelay = 3000;
constexpr int kGrabWaitStep = 200;
constexpr int kMaxGrabWait = 3000;
// The longest single wait on the user-interface thread; longer waits are
// taken in slices with events running in between.
constexpr int kMaxUiWait = 100;

// Base interval for the chosen frequency item (any other item: 500 ms).
int BaseIntervalForFrequencyIndex(int itemIndex);

// ScanDelay after a tick that found the previous cycle still running: it
// grows by 250 and starts again from 0 once past 3000.
int DelayAfterOverlap(int scanDelay);

// x * 1.5 rounded to the nearest integer, ties to even.
std::int64_t OneAndAHalf(std::int64_t x);

// The new ScanDelay after a cycle that took cycleMs (or the planned period
// after a failure), or nothing when the period stays as it is.
std::optional<int> AdaptedDelay(std::int64_t cycleMs, int baseInterval, int scanDelay);

// GrabWait after a failed cycle: 200 more, up to 3000; it is never lowered.
int GrabWaitAfterFailure(int grabWait);

// Milliseconds between two readings of the wrapping 32-bit tick counter.
std::int64_t ElapsedTicks(std::uint32_t from, std::uint32_t to);

} // namespace ScanTiming
