#pragma once

#include <atomic>
#include <cstdint>
#include <limits>

// Decides, for each picture a camera delivers, whether it is worth scaling
// and converting: only as often as someone uses it. A steady consumer (the
// preview while it is seen, the clip kept from before an event) asks for one
// every so many milliseconds; grabs come on the scan's beat, which the gate
// learns from the grabs themselves, and opens just before the next one is
// due so that it finds the newest picture (until the beat is known, every
// picture passes); and some moments (a size change, a view shown again)
// take the next pictures whatever. Everything else is dropped before any
// work is spent on it.
//
// Pass() runs on the one streaming thread that carries the pictures; the
// other calls come from the GUI thread. Times are steady-clock nanoseconds.
class FrameGate
{
public:
    static constexpr std::int64_t kMs = 1000000;
    // Grabs further apart than this are not a beat to follow.
    static constexpr std::int64_t kMaxGrabPeriodNs = 10000 * kMs;

    // --- GUI thread
    // A steady consumer's period; 0 = none.
    void SetSteadyMs(int milliseconds) { steadyMs_.store(milliseconds, std::memory_order_relaxed); }
    int SteadyMs() const { return steadyMs_.load(std::memory_order_relaxed); }
    // The next `count` pictures pass whatever else says.
    void Open(int count) { open_.store(count, std::memory_order_relaxed); }
    // A grab happened now: the beat of grabs sets when the next window opens.
    void NoteGrab(std::int64_t nowNs);
    // The camera's time between pictures as seen lately (40 ms until known).
    std::int64_t FrameIntervalNs() const { return frameNs_.load(std::memory_order_relaxed); }

    // --- the streaming thread
    // One picture came now; true = scale and convert it. `extraSteadyMs` is
    // a consumer known only there (0 = none).
    bool Pass(std::int64_t nowNs, int extraSteadyMs = 0);
    // Pictures seen in all, passed or not: the camera is alive while it grows.
    std::uint64_t Seen() const { return seen_.load(std::memory_order_relaxed); }
    std::uint64_t Passed() const { return passed_.load(std::memory_order_relaxed); }

private:
    static constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

    std::atomic<int> steadyMs_{0};
    std::atomic<int> open_{0};
    std::atomic<std::int64_t> grabFromNs_{kNever};  // the grab window opens
    std::atomic<std::int64_t> grabUntilNs_{kNever}; // no grab came by then: the beat stopped
    std::atomic<std::int64_t> frameNs_{40 * kMs};
    std::atomic<std::uint64_t> seen_{0};
    std::atomic<std::uint64_t> passed_{0};

    // GUI thread only.
    std::int64_t lastGrabNs_ = 0;
    // Streaming thread only.
    std::int64_t lastFrameNs_ = 0;
    std::int64_t nextSteadyNs_ = 0;
};
