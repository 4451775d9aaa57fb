// Capture figures: a grab written as the frame file, a frame file read back,
// and the preview's delivered frame rate; each beside a reference measured in
// the same run on the same frame.
#include "BmpFile.h"
#include "DemoScene.h"
#include "GstCaptureDriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace {

QTemporaryDir& Scratch()
{
    static QTemporaryDir dir;
    return dir;
}

// One demo camera session at 352 x 288 for the whole run, owned by main().
GstCaptureDriver* gDriver = nullptr;

GstCaptureDriver& Driver()
{
    return *gDriver;
}

bool StartDemo(GstCaptureDriver& d)
{
    if (!d.createSession(352, 288) || !d.connectDriver(0))
        return false;
    VideoFormat f = *d.videoFormat();
    f.header.width = 352;
    f.header.height = 288;
    return d.setVideoFormat(f);
}

void BM_GrabFrameToBmpFile(benchmark::State& state)
{
    GstCaptureDriver& d = Driver();
    const QString path = Scratch().filePath("~ILXTMP.BMP");
    for (auto _ : state) {
        QFile::remove(path);
        d.grabFrameNoStop();
        if (!d.saveFrame(path))
            state.SkipWithError("grab not written");
    }
    state.SetLabel("352x288 demo camera -> BMP file, new file without sync");
}
BENCHMARK(BM_GrabFrameToBmpFile)->Unit(benchmark::kMicrosecond);

// One demo camera frame at 352 x 288 with its sensor noise, as the camera
// draws it 24 times a second; the walker is in the room.
void BM_DemoRender352x288(benchmark::State& state)
{
    DemoScene scene(3);
    QImage frame(352, 288, QImage::Format_RGB32);
    std::uint64_t index = 0;
    for (auto _ : state) {
        scene.renderInto(frame.bits(), int(frame.bytesPerLine()), 4000, index++, frame.size());
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_DemoRender352x288)->Unit(benchmark::kMicrosecond);

// Reference: copying the same frame once, the least any camera's frame costs.
void BM_RefCopyFrame352x288(benchmark::State& state)
{
    QImage from(352, 288, QImage::Format_RGB32);
    from.fill(Qt::gray);
    QImage to(352, 288, QImage::Format_RGB32);
    for (auto _ : state) {
        std::memcpy(to.bits(), from.constBits(), std::size_t(from.sizeInBytes()));
        benchmark::DoNotOptimize(to.constBits());
    }
}
BENCHMARK(BM_RefCopyFrame352x288)->Unit(benchmark::kMicrosecond);

// The grab as it was written before: through a temporary file, synced and
// renamed over the frame file, four times a second.
void BM_GrabFrameSafeSave(benchmark::State& state)
{
    GstCaptureDriver& d = Driver();
    const QString path = Scratch().filePath("safe.bmp");
    for (auto _ : state) {
        // As the scan cycle does: the old frame goes before each grab.
        QFile::remove(path);
        d.grabFrameNoStop();
        if (!BmpFile::Save(d.currentFrame(), path))
            state.SkipWithError("grab not written");
    }
    state.SetLabel("352x288 demo camera -> BMP, sync and rename");
}
BENCHMARK(BM_GrabFrameSafeSave)->Unit(benchmark::kMicrosecond);

// Reference: the same frame written by Qt's own BMP writer.
void BM_RefQtBmpWrite(benchmark::State& state)
{
    const QImage frame = Driver().currentFrame();
    const QString path = Scratch().filePath("qt.bmp");
    for (auto _ : state)
        if (!frame.save(path, "BMP"))
            state.SkipWithError("Qt write failed");
    state.SetLabel("352x288 QImage::save(BMP)");
}
BENCHMARK(BM_RefQtBmpWrite)->Unit(benchmark::kMicrosecond);

// Reference: the frame's bytes written raw, the floor for any file format.
void BM_RefRawWrite(benchmark::State& state)
{
    const QImage frame = Driver().currentFrame();
    const QString path = Scratch().filePath("raw.bin");
    for (auto _ : state) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) ||
            f.write(reinterpret_cast<const char*>(frame.constBits()), frame.sizeInBytes()) !=
                frame.sizeInBytes())
            state.SkipWithError("raw write failed");
    }
    state.SetLabel("352x288 raw bytes to file");
}
BENCHMARK(BM_RefRawWrite)->Unit(benchmark::kMicrosecond);

void BM_LoadBmpFile(benchmark::State& state)
{
    const QString path = Scratch().filePath("load.bmp");
    BmpFile::Save(DemoScene(1).render(1000, 1).scaled(352, 288), path);
    for (auto _ : state) {
        const QImage img = BmpFile::Load(path);
        if (img.isNull())
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(img.constBits());
    }
    state.SetLabel("352x288 BmpFile::Load");
}
BENCHMARK(BM_LoadBmpFile)->Unit(benchmark::kMicrosecond);

// Reference: Qt's BMP reader on the same file, converted to the same format.
void BM_RefQtBmpLoad(benchmark::State& state)
{
    const QString path = Scratch().filePath("load.bmp");
    for (auto _ : state) {
        const QImage img = QImage(path, "BMP").convertToFormat(QImage::Format_RGB888);
        if (img.isNull())
            state.SkipWithError("Qt load failed");
        benchmark::DoNotOptimize(img.constBits());
    }
    state.SetLabel("352x288 QImage(BMP) -> RGB888");
}
BENCHMARK(BM_RefQtBmpLoad)->Unit(benchmark::kMicrosecond);

// Frames the preview delivers in 3 s at a requested rate, against that rate.
void BM_PreviewFrameRate(benchmark::State& state)
{
    GstCaptureDriver& d = Driver();
    const int framesPreview = int(state.range(0));
    int frames = 0;
    d.setFrameNotification([&](const CaptureVideoHeader*) {
        ++frames;
        return 1;
    });
    d.setPreviewRate(1000 / framesPreview);
    d.setPreview(true);
    double seconds = 0;
    for (auto _ : state) {
        frames = 0;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 3000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(1);
        }
        seconds = double(t.elapsed()) / 1000.0;
    }
    d.setPreview(false);
    d.setFrameNotification({});
    state.counters["delivered_fps"] = double(frames) / seconds;
    state.counters["requested_fps"] = framesPreview;
    state.counters["ratio"] = double(frames) / seconds / framesPreview;
    state.SetLabel("demo camera sends 30 fps");
}
BENCHMARK(BM_PreviewFrameRate)->Arg(12)->Arg(24)->Arg(36)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    GstCaptureDriver driver(GstCaptureDriver::Options{false, false, 1});
    if (!StartDemo(driver)) {
        std::fprintf(stderr, "demo camera did not start\n");
        return 1;
    }
    gDriver = &driver;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
