#include "FrameGate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr std::int64_t kMs = FrameGate::kMs;

// A camera at `fps` from `fromMs` to `toMs`, with grabs every `grabMs`
// (0 = none); counts what passes and how old the newest passed picture is at
// each grab once the beat is learnt.
struct Outcome
{
    int passed = 0;
    std::vector<std::int64_t> agesAtGrab; // ms
};

Outcome Simulate(FrameGate& gate, int fps, int fromMs, int toMs, int grabMs)
{
    Outcome r;
    const std::int64_t frame = 1000 * kMs / fps;
    const std::int64_t end = std::int64_t(toMs) * kMs;
    std::int64_t nextGrab = grabMs > 0 ? (fromMs + 7) * kMs : end + 1;
    std::int64_t lastPassed = -1;
    for (std::int64_t t = std::int64_t(fromMs) * kMs + kMs; t < end; t += frame) {
        for (; nextGrab <= t; nextGrab += grabMs * kMs) {
            gate.NoteGrab(nextGrab);
            if (nextGrab >= (fromMs + 3 * grabMs) * kMs)
                r.agesAtGrab.push_back(lastPassed < 0 ? -1 : (nextGrab - lastPassed) / kMs);
        }
        if (gate.Pass(t)) {
            ++r.passed;
            lastPassed = t;
        }
    }
    return r;
}

TEST(FrameGate, PassesAsOftenAsTheSteadyConsumerAsks)
{
    struct Case
    {
        int fps, steadyMs, expected;
    } cases[] = {
        {25, 66, 150}, // a camera not a multiple of the preview's beat: its rate on average
        {30, 66, 150},
        {10, 66, 100}, // a slow camera: every picture
        {25, 0, 0},    // no one looks: none
    };
    for (const Case& c : cases) {
        FrameGate gate;
        gate.SetSteadyMs(c.steadyMs);
        const Outcome r = Simulate(gate, c.fps, 0, 10000, 0);
        EXPECT_NEAR(r.passed, c.expected, 2) << c.fps << " fps, every " << c.steadyMs << " ms";
    }
}

TEST(FrameGate, GrabsOnABeatFindTheNewestPictureAndCostAboutOneEach)
{
    struct Case
    {
        int fps, grabMs;
    } cases[] = {{25, 250}, {30, 250}, {25, 1000}, {15, 333}, {25, 90}};
    for (const Case& c : cases) {
        FrameGate gate;
        const Outcome r = Simulate(gate, c.fps, 0, 20000, c.grabMs);
        ASSERT_FALSE(r.agesAtGrab.empty());
        const std::int64_t frameMs = 1000 / c.fps;
        for (const std::int64_t age : r.agesAtGrab)
            ASSERT_TRUE(age >= 0 && age <= frameMs) << c.fps << " fps, grab every " << c.grabMs;
        const int grabs = 20000 / c.grabMs;
        // Two at most a grab, and every picture until the second grab tells the beat.
        EXPECT_LE(r.passed, 2 * grabs + c.fps * c.grabMs / 1000 + 3)
            << c.fps << " fps, grab every " << c.grabMs;
        EXPECT_LT(r.passed, 20 * c.fps) << "every picture passed";
    }
}

TEST(FrameGate, GrabsThatStopCloseTheGateAndAGrabAfterAPauseOpensIt)
{
    FrameGate gate;
    // Grabs for 5 s, then none: within a beat or two nothing more passes.
    EXPECT_GT(Simulate(gate, 25, 0, 5000, 250).passed, 0);
    EXPECT_LE(Simulate(gate, 25, 5000, 6000, 0).passed, 15); // the last window's tail only
    EXPECT_EQ(Simulate(gate, 25, 6000, 10000, 0).passed, 0);

    // A grab after a long pause: every picture until the next grab, which
    // then is as fresh as any.
    gate.NoteGrab(300000 * kMs);
    EXPECT_TRUE(gate.Pass(300040 * kMs));
    EXPECT_TRUE(gate.Pass(300080 * kMs));
}

} // namespace
