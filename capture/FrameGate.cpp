#include "FrameGate.h"

#include <algorithm>

void FrameGate::NoteGrab(std::int64_t nowNs)
{
    const std::int64_t period = lastGrabNs_ > 0 ? nowNs - lastGrabNs_ : 0;
    lastGrabNs_ = nowNs;
    if (period <= 0 || period > kMaxGrabPeriodNs) {
        // The first grab of a beat: every picture until the next grab tells
        // the beat, so that one is as fresh as any (never a wait for it).
        grabUntilNs_.store(nowNs + kMaxGrabPeriodNs, std::memory_order_relaxed);
        grabFromNs_.store(nowNs, std::memory_order_relaxed);
        return;
    }
    // Open a picture and a half early: the one that passes then is at most a
    // picture old when the grab comes, and a little jitter in either the
    // camera or the scan timer does not miss it.
    const std::int64_t lead = std::max(FrameIntervalNs() * 3 / 2, 15 * kMs);
    grabUntilNs_.store(nowNs + 2 * period + lead, std::memory_order_relaxed);
    grabFromNs_.store(nowNs + std::max<std::int64_t>(0, period - lead), std::memory_order_relaxed);
}

bool FrameGate::Pass(std::int64_t nowNs, int extraSteadyMs)
{
    seen_.fetch_add(1, std::memory_order_relaxed);
    if (lastFrameNs_ > 0 && nowNs > lastFrameNs_) {
        // A slow average: one late picture does not move the grab window.
        const std::int64_t gap = std::min(nowNs - lastFrameNs_, 1000 * kMs);
        const std::int64_t old = frameNs_.load(std::memory_order_relaxed);
        frameNs_.store(old + (gap - old) / 8, std::memory_order_relaxed);
    }
    lastFrameNs_ = nowNs;

    bool pass = false;
    for (int open = open_.load(std::memory_order_relaxed); open > 0 && !pass;)
        pass = open_.compare_exchange_weak(open, open - 1, std::memory_order_relaxed);

    int steady = steadyMs_.load(std::memory_order_relaxed);
    if (extraSteadyMs > 0)
        steady = steady > 0 ? std::min(steady, extraSteadyMs) : extraSteadyMs;
    if (steady > 0 && nowNs >= nextSteadyNs_) {
        pass = true;
        // On the beat while pictures keep up with it, so a camera that is
        // not a multiple of the beat still gives its rate on average; a new
        // beat after a pause.
        const std::int64_t period = steady * kMs;
        nextSteadyNs_ = nowNs > nextSteadyNs_ + period ? nowNs + period : nextSteadyNs_ + period;
    }

    if (nowNs >= grabFromNs_.load(std::memory_order_relaxed) &&
        nowNs <= grabUntilNs_.load(std::memory_order_relaxed))
        pass = true;

    if (pass)
        passed_.fetch_add(1, std::memory_order_relaxed);
    return pass;
}
