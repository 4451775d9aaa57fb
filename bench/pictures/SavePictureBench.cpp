// The picture save on a detection: outline, stamp and JPEG encode of a
// 352 x 288 frame, against a bare libjpeg encode of the same frame with the
// library's defaults as the reference. Prints the ratio and the share of the
// 250 ms base scan period.
#include "JpegCodec.h"
#include "PictureDrawing.h"
#include "PictureName.h"

#include <QDateTime>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <algorithm>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

QImage testFrame()
{
    QImage image(352, 288, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            line[3 * x] = static_cast<uchar>(x * 255 / 352);
            line[3 * x + 1] = static_cast<uchar>(y * 255 / 288);
            line[3 * x + 2] = static_cast<uchar>(((x * 13) ^ (y * 7)) & 0xff);
        }
    }
    return image;
}

// Plain libjpeg: defaults, quality 90, memory destination. Its error manager
// is the library's own, which is fine for a frame known to be good.
unsigned long plainEncode(const QImage& rgb)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return size;
}

QByteArray stampAndEncode(const QImage& frame, const QDateTime& when)
{
    QImage copy = frame.copy();
    DrawScanFrameOutline(copy, TScanFramePercent{});
    DrawDateTimeStamp(copy, StampDateText(when), StampTimeText(when));
    return EncodeJpeg(copy, 90);
}

void BM_PlainLibjpegEncode(benchmark::State& state)
{
    const QImage frame = testFrame();
    for (auto _ : state)
        benchmark::DoNotOptimize(plainEncode(frame));
}
BENCHMARK(BM_PlainLibjpegEncode)->Unit(benchmark::kMicrosecond);

void BM_StampAndEncode(benchmark::State& state)
{
    const QImage frame = testFrame();
    const QDateTime when = QDateTime::currentDateTime();
    for (auto _ : state)
        benchmark::DoNotOptimize(stampAndEncode(frame, when));
}
BENCHMARK(BM_StampAndEncode)->Unit(benchmark::kMicrosecond);

// The two halves of the save, to see where its time goes.
void BM_StampOnly(benchmark::State& state)
{
    const QImage frame = testFrame();
    const QDateTime when = QDateTime::currentDateTime();
    for (auto _ : state) {
        QImage copy = frame.copy();
        DrawScanFrameOutline(copy, TScanFramePercent{});
        DrawDateTimeStamp(copy, StampDateText(when), StampTimeText(when));
        benchmark::DoNotOptimize(copy.constBits());
    }
}
BENCHMARK(BM_StampOnly)->Unit(benchmark::kMicrosecond);

void BM_EncodeOnly(benchmark::State& state)
{
    const QImage frame = testFrame();
    for (auto _ : state)
        benchmark::DoNotOptimize(EncodeJpeg(frame, 90));
}
BENCHMARK(BM_EncodeOnly)->Unit(benchmark::kMicrosecond);

// Median of a few timed runs, in microseconds, for the summary line.
template <typename F> double medianMicros(F&& f)
{
    constexpr int kRuns = 41;
    double times[kRuns];
    for (double& t : times) {
        const auto start = std::chrono::steady_clock::now();
        f();
        t = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count();
    }
    std::sort(std::begin(times), std::end(times));
    return times[kRuns / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const QImage frame = testFrame();
    const QDateTime when = QDateTime::currentDateTime();
    const double plain = medianMicros([&] { benchmark::DoNotOptimize(plainEncode(frame)); });
    const double ours =
        medianMicros([&] { benchmark::DoNotOptimize(stampAndEncode(frame, when)); });
    std::printf("352x288 stamp+encode: %.0f us, plain libjpeg encode: %.0f us, ratio %.2f, "
                "%.2f%% of the 250 ms scan period\n",
                ours, plain, ours / plain, ours / 2500.0);
    return 0;
}
