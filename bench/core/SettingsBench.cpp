// Loading and saving the options as the options dialog does (one key at a
// time through the profile files), beside the floor of simply reading the
// same three files whole as often as the load asks for a key.
#include "DataPaths.h"
#include "OptionsSettings.h"
#include "SettingsSchema.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

struct Folder
{
    QTemporaryDir dir;
    Folder()
    {
        SetDataFolder(dir.path());
        WriteOptions(TOptionsSettings{});
    }
};

const Folder& folder()
{
    static const Folder f;
    return f;
}

// The keys ReadOptions asks for: every option but the scan-frame and
// main-window keys.
int keysRead()
{
    int n = 0;
    for (const SettingDef& d : SettingsTable())
        if (d.file != SettingsFileId::Ini && d.id != Setting::FramePX && d.id != Setting::FramePY &&
            d.id != Setting::FramePW && d.id != Setting::FramePH && d.id != Setting::FrameOn)
            ++n;
    return n;
}

qint64 readWhole(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return f.readAll().size();
}

// Microseconds of the floor: the mean of several batches, timed the same
// way as the load beside it.
double floorUs()
{
    static const double us = [] {
        folder();
        const QString files[] = {DataPaths().Param, DataPaths().Image, DataPaths().Alerte};
        const int reads = keysRead();
        double total = 0;
        for (int batch = 0; batch < 20; ++batch) {
            const auto t0 = std::chrono::steady_clock::now();
            for (int i = 0; i < reads; ++i)
                benchmark::DoNotOptimize(readWhole(files[i % 3]));
            const auto t1 = std::chrono::steady_clock::now();
            total += std::chrono::duration<double, std::micro>(t1 - t0).count();
        }
        return total / 20;
    }();
    return us;
}

void BM_ReadWholeFilesFloor(benchmark::State& state)
{
    folder();
    const QString files[] = {DataPaths().Param, DataPaths().Image, DataPaths().Alerte};
    const int reads = keysRead();
    for (auto _ : state)
        for (int i = 0; i < reads; ++i)
            benchmark::DoNotOptimize(readWhole(files[i % 3]));
    state.counters["keys"] = reads;
}
BENCHMARK(BM_ReadWholeFilesFloor)->Unit(benchmark::kMicrosecond);

void BM_ReadOptions(benchmark::State& state)
{
    folder();
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadOptions());
    const auto t1 = std::chrono::steady_clock::now();
    const double perLoadUs = std::chrono::duration<double, std::micro>(t1 - t0).count() /
                             static_cast<double>(state.iterations());
    state.counters["floor_us"] = floorUs();
    state.counters["x_floor"] = perLoadUs / floorUs();
}
BENCHMARK(BM_ReadOptions)->Unit(benchmark::kMicrosecond);

void BM_WriteOptions(benchmark::State& state)
{
    folder();
    TOptionsSettings o;
    for (auto _ : state) {
        o.Delta = (o.Delta + 1) % 100; // a real change every time
        WriteOptions(o);
    }
}
BENCHMARK(BM_WriteOptions)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
