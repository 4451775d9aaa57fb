// The two costs the scan cycle and the view pay for the camera: the time from
// GrabFrame to the frame file on disk at the program's largest size, and the
// preview rate the view actually receives against the rate it asks for.
// Both run the real pipeline on the demo camera.

#include "GstCaptureDriver.h"
#include "TVideoCam.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<TVideoCam> DemoCam(int width, int height, int framesPreview)
{
    GstCaptureDriver::Options options;
    options.probeCameras = false;
    auto cam = std::make_unique<TVideoCam>(nullptr, std::make_unique<GstCaptureDriver>(options));
    cam->resize(width, height);
    cam->SetFramesPreview(framesPreview);
    cam->SetDriverName(QString::fromLatin1(GstCaptureDriver::kDemoCameraName));
    cam->SetActive(true);
    cam->SetVideoFormat(width, height, 0);
    return cam;
}

void RunEvents(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void BM_GrabFrameToBmp352x288(benchmark::State& state)
{
    QTemporaryDir dir;
    auto cam = DemoCam(352, 288, 24);
    cam->SetImageFile(dir.filePath("~ILXTMP.BMP"));
    RunEvents(500); // the first frames at the new size
    for (auto _ : state) {
        cam->GrabFrame();
        if (!QFile::exists(cam->ImageFile()))
            state.SkipWithError("no frame file written");
    }
    const QImage check(cam->ImageFile());
    if (check.size() != QSize(352, 288))
        state.SkipWithError("frame file has the wrong size");
}
BENCHMARK(BM_GrabFrameToBmp352x288)->Unit(benchmark::kMicrosecond);

// Reference: writing an image of the same size as BMP with Qt alone.
void BM_ReferenceQImageSaveBmp352x288(benchmark::State& state)
{
    QTemporaryDir dir;
    QImage image(352, 288, QImage::Format_RGB888);
    image.fill(Qt::darkGreen);
    const QString file = dir.filePath("ref.bmp");
    for (auto _ : state)
        benchmark::DoNotOptimize(image.save(file, "BMP"));
}
BENCHMARK(BM_ReferenceQImageSaveBmp352x288)->Unit(benchmark::kMicrosecond);

// One iteration = 3 s of preview; counters report the delivered and requested rates.
void BM_PreviewDeliveredRate(benchmark::State& state)
{
    const int requested = static_cast<int>(state.range(0));
    auto cam = DemoCam(352, 288, requested);
    int frames = 0;
    cam->OnFrame = [&](TVideoCam*, int, const CaptureVideoHeader*) {
        ++frames;
    };
    RunEvents(500);
    double delivered = 0;
    for (auto _ : state) {
        frames = 0;
        QElapsedTimer timer;
        timer.start();
        RunEvents(3000);
        delivered = frames * 1000.0 / static_cast<double>(timer.elapsed());
    }
    state.counters["requested_fps"] = requested;
    state.counters["delivered_fps"] = delivered;
    state.counters["ratio"] = delivered / requested;
}
BENCHMARK(BM_PreviewDeliveredRate)
    ->Arg(12)
    ->Arg(24)
    ->Arg(36)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
