// The comparison at the largest capture size, beside the memory-bound floor: one
// plain pass that reads every byte of the same two buffers, timed in the same run.
#include "DemoScene.h"
#include "FrameComparison.h"
#include "IgnoreMask.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>

namespace {

constexpr int kWidth = 352;
constexpr int kHeight = 288;

struct Frames
{
    QImage a{kWidth, kHeight, QImage::Format_RGB888};
    QImage b{kWidth, kHeight, QImage::Format_RGB888};
    // b as the demo camera's lamp in a corner would light it: light that
    // varies over the picture.
    QImage lit{kWidth, kHeight, QImage::Format_RGB888};

    Frames()
    {
        // A noisy scene with a changed block, so neither all nor no points count.
        std::mt19937 random(42);
        for (int y = 0; y < kHeight; ++y) {
            uchar* pa = a.scanLine(y);
            uchar* pb = b.scanLine(y);
            for (int i = 0; i < 3 * kWidth; ++i) {
                pa[i] = static_cast<uchar>(random() & 0xFF);
                const int noise = static_cast<int>(random() % 21) - 10;
                const bool block = y > 100 && y < 200 && i > 300 && i < 600;
                pb[i] = static_cast<uchar>(block ? 255 - pa[i] : std::clamp(pa[i] + noise, 0, 255));
            }
            uchar* pl = lit.scanLine(y);
            for (int x = 0; x < kWidth; ++x) {
                const double gain =
                    DemoScene::CornerLampGain((x + 0.5) / kWidth, (y + 0.5) / kHeight);
                for (int c = 0; c < 3; ++c)
                    pl[3 * x + c] = uchar(std::min(255.0, pb[3 * x + c] * gain));
            }
        }
    }
};

const Frames& frames()
{
    static const Frames f;
    return f;
}

std::uint64_t plainPass(const QImage& a, const QImage& b)
{
    std::uint64_t sum = 0;
    const int rows = a.height();
    const int bytes = 3 * a.width();
    for (int y = 0; y < rows; ++y) {
        const uchar* pa = a.constScanLine(y);
        const uchar* pb = b.constScanLine(y);
        std::uint32_t row = 0;
        for (int i = 0; i < bytes; ++i)
            row += static_cast<std::uint32_t>(pa[i]) + pb[i];
        sum += row;
    }
    return sum;
}

// Nanoseconds per call of f: the best of several timed batches, so the
// comparison and its floor are measured the same way on a busy machine.
template <typename F> double bestNsPerCall(F f)
{
    double best = 1e300;
    for (int batch = 0; batch < 20; ++batch) {
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < 20; ++i)
            f();
        const auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::nano>(t1 - t0).count() / 20);
    }
    return best;
}

double floorNs()
{
    const Frames& f = frames();
    return bestNsPerCall([&] { benchmark::DoNotOptimize(plainPass(f.a, f.b)); });
}

void BM_PlainPass(benchmark::State& state)
{
    const Frames& f = frames();
    for (auto _ : state)
        benchmark::DoNotOptimize(plainPass(f.a, f.b));
}
BENCHMARK(BM_PlainPass);

// Args: step (0 = automatic), frame on.
void BM_CompareFrames(benchmark::State& state)
{
    const Frames& f = frames();
    const auto step = static_cast<std::uint8_t>(state.range(0));
    const bool frameOn = state.range(1) != 0;
    ResetComparison();
    const auto compare = [&] {
        benchmark::DoNotOptimize(CompareFrames(f.a, f.b, step, 85, frameOn, 25, 25, 50, 50));
    };
    for (auto _ : state)
        compare();
    // Both sides timed back to back, after the timing loop warmed the caches.
    const double ns = bestNsPerCall(compare);
    const double floor = floorNs();
    state.counters["floor_us"] = floor / 1000;
    state.counters["compare_us"] = ns / 1000;
    state.counters["ratio"] = ns / floor;
}
BENCHMARK(BM_CompareFrames)
    ->ArgNames({"step", "frame"})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({16, 0})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({2, 1})
    ->Args({16, 1})
    ->Args({0, 1});

// Times `measured` for the benchmark, then it and `reference` back to back
// (best of batches each), and reports both and their ratio.
template <typename F, typename G>
void TimeAgainst(benchmark::State& state, F measured, G reference, const char* measuredName,
                 const char* referenceName)
{
    for (auto _ : state)
        measured();
    const double theirs = bestNsPerCall(reference);
    const double ours = bestNsPerCall(measured);
    state.counters[referenceName] = theirs / 1000;
    state.counters[measuredName] = ours / 1000;
    state.counters["ratio"] = ours / theirs;
}

// "Ignore light changes" on against off at the same step, both timed back to
// back in the same run. Args: step, and whether the second picture is lit by
// a lamp in a corner (light that varies over the picture) or not.
void BM_CompareIgnoringLight(benchmark::State& state)
{
    const Frames& f = frames();
    const auto step = static_cast<std::uint8_t>(state.range(0));
    const QImage& second = state.range(1) != 0 ? f.lit : f.b;
    ResetComparison();
    const auto plain = [&] {
        benchmark::DoNotOptimize(CompareFrames(f.a, second, step, 85, false, 0, 0, 0, 0, false));
    };
    const auto light = [&] {
        benchmark::DoNotOptimize(CompareFrames(f.a, second, step, 85, false, 0, 0, 0, 0, true));
    };
    TimeAgainst(state, light, plain, "on_us", "off_us");
}
BENCHMARK(BM_CompareIgnoringLight)
    ->ArgNames({"step", "lamp"})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({0, 1});

// Areas to ignore set against none, at every pixel. Args: ignored parts.
void BM_CompareWithIgnoredAreas(benchmark::State& state)
{
    const Frames& f = frames();
    IgnoreMask mask;
    for (int k = 0; k < state.range(0); ++k)
        mask.set(k % IgnoreMask::kColumns, k / IgnoreMask::kColumns, true);
    ResetComparison();
    const auto none = [&] {
        benchmark::DoNotOptimize(CompareFrames(f.a, f.b, 1, 85, false, 0, 0, 0, 0, false));
    };
    const auto masked = [&] {
        benchmark::DoNotOptimize(CompareFrames(f.a, f.b, 1, 85, false, 0, 0, 0, 0, false, &mask));
    };
    TimeAgainst(state, masked, none, "masked_us", "none_us");
}
BENCHMARK(BM_CompareWithIgnoredAreas)->ArgNames({"parts"})->Arg(0)->Arg(1)->Arg(96);

} // namespace

BENCHMARK_MAIN();
