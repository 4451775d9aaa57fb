// What writing an event's clip costs, for bench/clip-cost. One mode a run,
// so that each measures a process of its own:
//
//   clip_cost frames <seconds>           draws the demo room at 352 x 288,
//                                        15 fps, in real time, and nothing else
//   clip_cost writer <seconds> <clip>    the same pictures through TClipWriter
//   clip_cost bare <seconds> <file>      the same pictures through a bare
//                                        pipeline doing the writer's work
//   clip_cost probe <clip>               decodes a clip to its end
//   clip_cost timing <folder> <before> <after>
//                                        how late each clip in a pictures
//                                        folder starts and ends
//
// The three cost modes print "cores <cpu s / wall s> cpu_s <s> wall_s <s>"
// over the measured seconds: after one second of pictures (the pipeline
// running), through the end of the file. The pictures are the demo room with
// its sensor noise and the walker crossing two seconds in three, as during an
// event, so the encoder does real work.
#include "ClipFile.h"
#include "DemoScene.h"
#include "PictureName.h"
#include "TClipWriter.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFps = 15;
const QSize kSize(352, 288);

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

qint64 NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// The writer's work without the program around it: the same elements and
// settings, the pictures handed over the same way.
class BarePipeline
{
public:
    explicit BarePipeline(const std::string& path)
    {
        const std::string line =
            "appsrc name=src format=time caps=video/x-raw,format=BGRx,width=352,height=288,"
            "framerate=15/1,pixel-aspect-ratio=1/1 ! videoconvert ! video/x-raw,format=I420 ! "
            "x264enc speed-preset=ultrafast tune=zerolatency threads=1 pass=qual quantizer=23 "
            "key-int-max=30 ! h264parse ! mp4mux fragment-duration=1000 ! filesink location=\"" +
            path + "\"";
        GError* error = nullptr;
        pipeline_ = gst_parse_launch(line.c_str(), &error);
        if (error) {
            std::fprintf(stderr, "bare pipeline: %s\n", error->message);
            g_error_free(error);
            std::exit(1);
        }
        src_ = gst_bin_get_by_name(GST_BIN(pipeline_), "src");
        gst_element_set_state(pipeline_, GST_STATE_PLAYING);
    }
    ~BarePipeline()
    {
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        gst_object_unref(src_);
        gst_object_unref(pipeline_);
    }
    void Push(const QImage& picture, qint64 pts)
    {
        auto* held = new QImage(picture);
        GstBuffer* buffer = gst_buffer_new_wrapped_full(
            GST_MEMORY_FLAG_READONLY, const_cast<uchar*>(held->constBits()),
            gsize(held->sizeInBytes()), 0, gsize(held->sizeInBytes()), held,
            [](gpointer image) { delete static_cast<QImage*>(image); });
        GST_BUFFER_PTS(buffer) = GstClockTime(pts);
        gst_app_src_push_buffer(GST_APP_SRC(src_), buffer);
    }
    bool Finish()
    {
        gst_app_src_end_of_stream(GST_APP_SRC(src_));
        GstBus* bus = gst_element_get_bus(pipeline_);
        GstMessage* message = gst_bus_timed_pop_filtered(
            bus, 15 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        const bool ended = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
        if (message)
            gst_message_unref(message);
        gst_object_unref(bus);
        return ended;
    }

private:
    GstElement* pipeline_ = nullptr;
    GstElement* src_ = nullptr;
};

int Cost(const std::string& mode, double seconds, const QString& path)
{
    DemoScene scene;
    scene.setMotionPeriodMs(DemoScene::kMinPeriodMs); // the walker in two seconds of three

    std::unique_ptr<TClipWriter> writer;
    std::unique_ptr<BarePipeline> bare;
    if (mode == "writer") {
        QString why;
        writer = TClipWriter::ForPictures(kSize, kFps, path, &why);
        if (!writer) {
            std::fprintf(stderr, "writer: %s\n", qPrintable(why));
            return 1;
        }
        writer->Begin();
    } else if (mode == "bare") {
        bare = std::make_unique<BarePipeline>(path.toStdString());
    }

    const int warmupFrames = kFps;
    const int frames = warmupFrames + int(seconds * kFps);
    const auto start = Clock::now();
    const qint64 startNs = NowNs();
    double cpu0 = 0;
    Clock::time_point wall0;
    for (int i = 0; i < frames; ++i) {
        const auto due = start + std::chrono::nanoseconds(qint64(i) * 1'000'000'000 / kFps);
        std::this_thread::sleep_until(due);
        if (i == warmupFrames) {
            cpu0 = CpuSeconds();
            wall0 = Clock::now();
        }
        // A new picture each time, as a camera's buffers come.
        QImage picture(kSize, QImage::Format_RGB32);
        scene.renderInto(picture.bits(), int(picture.bytesPerLine()), qint64(i) * 1000 / kFps,
                         std::uint64_t(i), kSize);
        const qint64 now = NowNs();
        if (writer && !writer->PushPicture(picture, now)) {
            std::fprintf(stderr, "writer: the picture was refused\n");
            return 1;
        }
        if (bare)
            bare->Push(picture, now - startNs);
    }
    // Every mode waits out the last picture's period; the writers then
    // complete their files.
    std::this_thread::sleep_until(start +
                                  std::chrono::nanoseconds(qint64(frames) * 1'000'000'000 / kFps));
    if (writer) {
        const TClipOutcome outcome = writer->Finish(15000);
        if (!outcome.kept || outcome.failed) {
            std::fprintf(stderr, "writer: %s\n", qPrintable(outcome.why));
            return 1;
        }
    } else if (bare && !bare->Finish()) {
        std::fprintf(stderr, "bare pipeline: the file was not completed\n");
        return 1;
    }
    const double cpu = CpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();
    std::printf("cores %.4f cpu_s %.3f wall_s %.3f\n", cpu / wall, cpu, wall);
    return 0;
}

struct Probed
{
    bool ok = false;
    int frames = 0;
    qint64 firstMs = -1;
    qint64 lastMs = -1;
};

GstPadProbeReturn CountFrame(GstPad*, GstPadProbeInfo* info, gpointer user)
{
    auto* probed = static_cast<Probed*>(user);
    const GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (buffer && GST_BUFFER_PTS_IS_VALID(buffer)) {
        const qint64 ms = qint64(GST_BUFFER_PTS(buffer) / GST_MSECOND);
        if (probed->frames == 0 || ms < probed->firstMs)
            probed->firstMs = ms;
        if (ms > probed->lastMs)
            probed->lastMs = ms;
        ++probed->frames;
    }
    return GST_PAD_PROBE_OK;
}

// Decoded frames and their times, as a player would show them.
Probed Probe(const QString& path)
{
    Probed probed;
    gchar* location = g_strescape(QFile::encodeName(path).constData(), nullptr);
    const std::string line =
        std::string("filesrc location=\"") + location +
        "\" ! qtdemux ! h264parse ! avdec_h264 ! fakesink name=sink sync=false";
    g_free(location);
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(line.c_str(), &error);
    if (error) {
        std::fprintf(stderr, "probe: %s\n", error->message);
        g_error_free(error);
        return probed;
    }
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    GstPad* pad = gst_element_get_static_pad(sink, "sink");
    gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, CountFrame, &probed, nullptr);
    gst_object_unref(pad);
    gst_object_unref(sink);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 30 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    probed.ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS && probed.frames > 0;
    if (message)
        gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return probed;
}

qint64 ModifiedWallClockMs(const QString& path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    const qint64 ms = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1'000'000;
    // Pictures are named by the local clock's reading, no zone applied.
    return WallClockMs(QDateTime::fromMSecsSinceEpoch(ms));
}

// For each clip: its pictures are those from its own first up to the next
// clip's first. The clip's last frame came no later than the file's last
// write, so its first frame came no later than that minus its span: the
// start lateness printed is an upper bound, as is the end's.
int Timing(const QString& folder, int beforeS, int afterS)
{
    const QDir dir(folder);
    const QStringList pictures = dir.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    const QStringList clips = dir.entryList({QStringLiteral("*.mp4")}, QDir::Files, QDir::Name);
    // A clip still being written when the program stopped bounds its
    // predecessor's pictures too.
    QStringList starts = clips;
    for (const QString& part :
         dir.entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden, QDir::Name))
        starts.append(QFileInfo(ClipOfTempName(dir.filePath(part))).fileName());
    starts.sort();
    std::printf("clip\tpictures\tdetections_s\tframes\tspan_s\tfirst_late_s\tend_late_s\n");
    int failed = 0;
    for (int c = 0; c < clips.size(); ++c) {
        const QString firstPicture = clips[c].chopped(4) + QStringLiteral(".jpg");
        const qsizetype at = starts.indexOf(clips[c]);
        const QString nextFirst =
            at + 1 < starts.size() ? starts[at + 1].chopped(4) + QStringLiteral(".jpg") : QString();
        const std::optional<qint64> firstMs = PictureNameWallClock(firstPicture);
        qint64 lastMs = -1;
        int count = 0;
        for (const QString& p : pictures) {
            if (p < firstPicture || (!nextFirst.isEmpty() && p >= nextFirst))
                continue;
            lastMs = PictureNameWallClock(p).value_or(lastMs);
            ++count;
        }
        const Probed probed = Probe(dir.filePath(clips[c]));
        const qint64 writtenMs = ModifiedWallClockMs(dir.filePath(clips[c]));
        if (!firstMs || count == 0 || !probed.ok || writtenMs < 0) {
            std::printf("%s\tnot measurable (picture %s, decoded %d)\n", qPrintable(clips[c]),
                        firstMs ? "found" : "missing", probed.frames);
            ++failed;
            continue;
        }
        const qint64 spanMs = probed.lastMs - probed.firstMs;
        const qint64 askedStartMs = *firstMs - qint64(beforeS) * 1000;
        const qint64 askedEndMs = lastMs + qint64(afterS) * 1000;
        std::printf("%s\t%d\t%.3f\t%d\t%.3f\t%.3f\t%.3f\n", qPrintable(clips[c]), count,
                    double(lastMs - *firstMs) / 1000, probed.frames, double(spanMs) / 1000,
                    double(writtenMs - spanMs - askedStartMs) / 1000,
                    double(writtenMs - askedEndMs) / 1000);
    }
    return failed == 0 && !clips.isEmpty() ? 0 : 1;
}

int Usage()
{
    std::fprintf(stderr, "usage: clip_cost frames|writer|bare <seconds> [file]\n"
                         "       clip_cost probe <clip>\n"
                         "       clip_cost timing <folder> <before s> <after s>\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    gst_init(&argc, &argv);
    if (argc < 3)
        return Usage();
    const std::string mode = argv[1];
    if (mode == "probe") {
        const Probed p = Probe(QString::fromLocal8Bit(argv[2]));
        std::printf("%s frames %d first_ms %lld last_ms %lld\n", p.ok ? "playable" : "broken",
                    p.frames, static_cast<long long>(p.firstMs), static_cast<long long>(p.lastMs));
        return p.ok ? 0 : 1;
    }
    if (mode == "timing") {
        if (argc < 5)
            return Usage();
        return Timing(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    }
    if (mode != "frames" && mode != "writer" && mode != "bare")
        return Usage();
    const double seconds = std::atof(argv[2]);
    if (seconds <= 0 || (mode != "frames" && argc < 4))
        return Usage();
    return Cost(mode, seconds, argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString());
}
