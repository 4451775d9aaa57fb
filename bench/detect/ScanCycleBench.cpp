// One whole scan cycle at the largest capture size (grab into the frame file,
// load it back, compare, build the status line) and one picture save, each
// beside the 250 ms base period it has to fit in.
#include "BmpFile.h"
#include "SavePicture.h"
#include "TScanController.h"
#include "TScanHost.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <random>

namespace {

constexpr int kWidth = 352;
constexpr int kHeight = 288;
constexpr double kBasePeriodMs = 250.0;

QImage noisyScene(unsigned seed)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB888);
    std::mt19937 random(seed);
    for (int y = 0; y < kHeight; ++y) {
        uchar* p = image.scanLine(y);
        for (int i = 0; i < 3 * kWidth; ++i)
            p[i] = static_cast<uchar>(96 + (i / 3 + y) % 64 + static_cast<int>(random() % 5));
    }
    return image;
}

// The main window's side of a cycle with the real frame file in a scratch
// folder; everything the cycle only shows is dropped.
class BenchHost final : public TScanHost
{
public:
    explicit BenchHost(QString path) : path_(std::move(path)) {}

    int frameCounter = 0;
    QString lastInfo;

    bool VideoActive() const override { return true; }
    void GrabFrame() override
    {
        if (!BmpFile::Save(frames_[frameCounter++ % 2], path_))
            throw std::runtime_error("grab");
    }
    QImage LoadGrabbedFrame() override { return BmpFile::Load(path_); }
    TScanOptions ScanOptions() const override
    {
        TScanOptions options;
        options.PauseOnScanning = false;
        options.Alarm = false;
        options.ResolutionIndex = resolution;
        return options;
    }
    bool AutoStartSettled() const override { return true; }
    void SetAutoStartSettled() override {}
    bool AutoStartCountdown(QString&) override { return true; }
    bool SoundBusy() const override { return false; }
    void StartSoundAlarm(QObject*, bool, const QString&) override {}
    void HideOptionsWindow() override {}
    TScanArea ScanArea() const override { return {}; }
    QString SavePicture(const QImage&) override { return {}; }
    void ShowInfo(const QString& text) override { lastInfo = text; }
    void SetVideoPanelRed(bool) override {}
    void SetHeartbeat(QChar) override {}
    void ShowDetectionCount(int) override {}
    void SetAnalyseLook(const QString&, const QString&, int) override {}
    void SetConnectEnabled(bool) override {}
    void SetScanLocks(bool) override {}
    bool PauseDown() const override { return false; }
    void SetPauseDown(bool) override {}
    void SetVideoDialogsEnabled(bool) override {}
    void ShowFrozen(bool) override {}
    void ShowStill(const QImage&) override {}
    void SetModeVideoCaption(const QString&) override {}
    void RelayoutVideo() override {}
    void DrawPictureLabel(QImage&, const QString&) override {}
    void RestoreScanFrame() override {}
    void ProcessMessages() override {}

    int resolution = 0;

private:
    QString path_;
    QImage frames_[2] = {noisyScene(1), noisyScene(2)};
};

void reportShare(benchmark::State& state, std::chrono::steady_clock::duration total)
{
    const double ms = std::chrono::duration<double, std::milli>(total).count() /
                      static_cast<double>(state.iterations());
    state.counters["cycle_ms"] = ms;
    state.counters["share_of_250ms_pct"] = ms * 100.0 / kBasePeriodMs;
}

// Arg: the resolution item (0 automatic, 1 every pixel).
void BM_ScanCycle(benchmark::State& state)
{
    QTemporaryDir dir;
    BenchHost host(dir.filePath(QStringLiteral("~ILXTMP.BMP")));
    host.resolution = static_cast<int>(state.range(0));
    TScanController controller(host);
    QObject button;
    controller.SetScanReady(true);
    controller.RxSpeedButtonAnalyseClick(&button);
    controller.TimerScanTimer(&controller.TimerScan()); // fills the first buffer
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state)
        controller.TimerScanTimer(&controller.TimerScan());
    reportShare(state, std::chrono::steady_clock::now() - t0);
    if (!host.lastInfo.startsWith(QStringLiteral("Scanning: ")))
        state.SkipWithError("the cycle did not compare");
}
BENCHMARK(BM_ScanCycle)->ArgName("resolution")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SavePicture(benchmark::State& state)
{
    QTemporaryDir dir;
    TPictureSettings settings;
    settings.Folder = dir.path();
    settings.FrameShown = true;
    const QImage frame = noisyScene(3);
    QDateTime when = QDateTime::currentDateTime();
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        when = when.addMSecs(1); // a new name each time, as real detections get
        benchmark::DoNotOptimize(WritePicture(frame, settings, when));
    }
    reportShare(state, std::chrono::steady_clock::now() - t0);
}
BENCHMARK(BM_SavePicture)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Fonts for the stamp need a GUI application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
