#include "GstCaptureDriver.h"
#include "GstHandles.h"
#include "TClipRecorder.h"

#include "BmpFile.h"
#include "CameraModes.h"
#include "DemoScene.h"
#include "FrameGate.h"
#include "TDlgVideoFormat.h"
#include "TDlgVideoSource.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QMetaObject>
#include <QObject>
#include <QScopeGuard>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gst/video/colorbalance.h>
#include <gst/video/video.h>
#include <gst/video/videooverlay.h>

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int kDemoFps = 30;
// Frames reach the window in the layout it paints without converting:
// 32-bit pixels, blue first in memory on this byte order.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
#define kSinkFormat "BGRx"
#else
#define kSinkFormat "xRGB"
#endif
constexpr QImage::Format kFrameFormat = QImage::Format_RGB32;
constexpr int kFirstFrameTimeoutMs = 5000;
// A network camera first agrees on its stream and waits for a key picture;
// one that refuses or is not there fails at once, whatever this says.
constexpr int kFirstNetworkFrameTimeoutMs = 10000;
constexpr int kFormatChangeTimeoutMs = 3000;
// The other reports of one failure come within this.
constexpr int kFailureSettleMs = 150;
// How long a network camera's host may take to take the connection.
constexpr int kReachTimeoutMs = 5000;
// How late a frame may find the preview and still be shown on its beat: the
// sink's clock and the event loop each add a little jitter.
constexpr int kPaceSlackMs = 3;
constexpr int kReprobeMs = 2000;
// A list asked for again within this is the same connect's: read once.
constexpr int kRefreshMs = 300;
// A camera closed in good health keeps running this long, so that opening
// it again right away (the start-up's format set-up, then the video) takes
// it as it is instead of waiting for its first picture again.
constexpr int kParkMs = 2000;
// A camera opened ahead and never taken is let go after this.
constexpr int kHoldReadyMs = 15000;
// How long the driver's end waits for its cameras to stop; a camera that
// hangs on its way out does not hold the program up beyond this.
constexpr int kTeardownWaitMs = 1500;
// A camera reopened right after it was let go waits for that to finish
// (a local device opens once at a time), but no longer than this.
constexpr int kReopenWaitMs = 5000;

bool HasElement(const char* factory)
{
    GstRef<GstElementFactory> found(gst_element_factory_find(factory));
    return bool(found);
}

// The clock GStreamer's system clock keeps, which times the demo's pictures.
std::int64_t SteadyNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

const QList<QSize> kDemoSizes = {QSize(160, 120), QSize(176, 144), QSize(320, 240), QSize(352, 288),
                                 QSize(640, 480)};
// The test pattern pretends to have two modes, so that mode switching runs
// where there is no camera.
const QList<QSize> kTestPatternModes = {QSize(320, 240), QSize(640, 480)};

enum class SourceKind
{
    Camera,
    TestPattern,
    Network,
    Demo
};

struct Source
{
    SourceKind kind = SourceKind::Demo;
    QString name;
    QString version;
    GstRef<GstDevice> device;
    TNetworkCamera network; // a network camera's name and address
    GstCapsRef caps;        // the camera's own caps
    QList<QSize> modes;     // sizes the source itself delivers; empty = any
    QList<QSize> sizes;     // sizes offered to the program
};

// Caps that hold a camera to one of its modes in whatever formats it offers
// the mode in (raw, JPEG, ...).
GstCapsRef ModeCaps(const GstCaps* deviceCaps, QSize mode)
{
    GstCapsRef filter(gst_caps_new_empty());
    const guint n = deviceCaps ? gst_caps_get_size(deviceCaps) : 0;
    for (guint i = 0; i < n; ++i) {
        GstStructure* s =
            gst_structure_new_empty(gst_structure_get_name(gst_caps_get_structure(deviceCaps, i)));
        gst_structure_set(s, "width", G_TYPE_INT, mode.width(), "height", G_TYPE_INT, mode.height(),
                          nullptr);
        filter.reset(gst_caps_merge_structure(filter.release(), s));
    }
    if (n == 0)
        filter.reset(gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, mode.width(), "height",
                                         G_TYPE_INT, mode.height(), nullptr));
    if (deviceCaps) {
        GstCapsRef both(gst_caps_intersect(const_cast<GstCaps*>(deviceCaps), filter.get()));
        if (!gst_caps_is_empty(both.get()))
            return both;
    }
    return filter;
}

QString DevicePathOf(GstDevice* device)
{
    QString path;
    if (GstStructure* props = gst_device_get_properties(device)) {
        for (const char* key : {"api.v4l2.path", "device.path", "object.path"}) {
            if (const gchar* v = gst_structure_get_string(props, key)) {
                path = QString::fromUtf8(v);
                break;
            }
        }
        gst_structure_free(props);
    }
    return path;
}

VideoFormat RgbFormat(QSize size, std::uint16_t bitCount)
{
    VideoFormat f;
    f.header.width = size.width();
    f.header.height = size.height();
    f.header.planes = 1;
    f.header.bitCount = bitCount;
    const std::uint32_t stride = (std::uint32_t(size.width()) * (bitCount / 8u) + 3u) & ~3u;
    f.header.sizeImage = stride * std::uint32_t(size.height());
    return f;
}

// The size the scaler makes, in whatever format it was given.
GstCapsRef SizeCaps(QSize size)
{
    return GstCapsRef(gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, size.width(),
                                          "height", G_TYPE_INT, size.height(), "pixel-aspect-ratio",
                                          GST_TYPE_FRACTION, 1, 1, nullptr));
}

// The demo draws as many frames a second as the session asks, up to its own
// rate.
int DemoFps(const CaptureParams& params)
{
    if (params.requestMicroSecPerFrame == 0)
        return kDemoFps;
    return std::clamp(int(1000000 / params.requestMicroSecPerFrame), 1, kDemoFps);
}

// What the demo camera sends: the sink's own pixels at the size and rate it
// draws, so nothing between them scales or converts.
GstCapsRef DemoCaps(QSize size, int fps)
{
    return GstCapsRef(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, kSinkFormat,
                                          "width", G_TYPE_INT, size.width(), "height", G_TYPE_INT,
                                          size.height(), "framerate", GST_TYPE_FRACTION, fps, 1,
                                          "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr));
}

// Work the streaming and worker threads hand to the GUI thread. Once the
// driver is gone nothing more is posted, and what was posted is dropped with
// the receiver, so a late frame or error never reaches a dead driver.
class Mailbox final
{
public:
    explicit Mailbox(QObject* receiver) : receiver_(receiver) {}

    template <typename F> void post(F work)
    {
        const std::lock_guard lock(mutex_);
        if (receiver_)
            QMetaObject::invokeMethod(receiver_, std::move(work), Qt::QueuedConnection);
    }
    void close()
    {
        const std::lock_guard lock(mutex_);
        receiver_ = nullptr;
    }

private:
    std::mutex mutex_;
    QObject* receiver_;
};

// The demo camera's failure switches, shared with its streaming thread.
struct DemoSwitches
{
    std::atomic<int> failAfter{-1};
    std::atomic<bool> freeze{false}; // fail by going quiet instead of with an error
};

// What one pipeline's streaming threads share with the GUI thread. It lives
// as long as the pipeline (the teardown holds it), whoever else let it go.
// Everything here is guarded by `mutex` except the atomics and what is set
// before the pipeline starts and only read after.
struct Stream
{
    std::mutex mutex;
    std::condition_variable changed;
    QImage latest;
    std::uint64_t sequence = 0;
    bool failed = false;
    OpenFailure failure = OpenFailure::None; // what the failure was, as far as known
    QString failureText;
    bool firstSeen = false; // a frame of `expected` came
    QSize expected;         // the size the pipeline was opened at
    // The GUI thread is told of a new frame while it shows them; one wake at
    // a time, however many frames arrive before it runs.
    std::atomic<bool> wanted{false};
    std::atomic<bool> wakePosted{false};
    // Which pictures are scaled and converted at all.
    FrameGate gate;
    std::atomic<bool> firstArrived{false}; // firstSeen, read without the lock
    // Whether the picture that comes now goes on: every one until the first
    // of the size opened at has reached the sink, then those someone uses.
    bool passPicture(std::int64_t nowNs)
    {
        const bool used = gate.Pass(nowNs, clipPictureMs());
        return used || !firstArrived.load(std::memory_order_relaxed);
    }
    // Set before the stream runs, then read only. Each only posts to the GUI thread.
    std::function<void()> wake;
    std::function<void()> first;
    std::function<void(int id, OpenFailure failure, const QString& text)> fail;
    // Sink's streaming thread only: the layout of the caps frames last came
    // with, read once rather than parsed again for every frame.
    GstCapsRef sinkCaps;
    GstVideoInfo sinkInfo{};

    // Demo source only.
    std::shared_ptr<const DemoScene> scene;
    std::shared_ptr<DemoSwitches> switches;
    std::uint64_t demoFrame = 0;
    // The size the demo draws at: the session's, so nothing scales it. The
    // GUI thread changes it; the streaming thread follows with new caps.
    std::atomic<int> demoWidth{DemoScene::kWidth};
    std::atomic<int> demoHeight{DemoScene::kHeight};
    std::atomic<int> demoFps{kDemoFps}; // likewise the session's frame rate
    QSize demoPushed;                   // streaming thread only: what its caps announce
    GstBufferRef demoGap; // streaming thread only: what stands for a picture not drawn
    int demoPushedFps = kDemoFps;
    GstClockTime demoNextPts = 0;

    // Network source only: what its element needs to reach the camera.
    TNetworkCamera network;

    // Event clips: fed while this is the connected camera's stream. The
    // window owns the recorder; a stream only borrows it for one push.
    std::weak_ptr<TClipRecorder> clips;
    std::atomic<bool> feedClips{false};
    std::shared_ptr<TClipRecorder> clipsWanted() const
    {
        if (!feedClips.load(std::memory_order_relaxed))
            return nullptr;
        std::shared_ptr<TClipRecorder> recorder = clips.lock();
        return recorder && recorder->Wanted() ? recorder : nullptr;
    }
    // The gate's period for the clip's pictures (0 = none wanted).
    int clipPictureMs() const
    {
        const auto recorder = clipsWanted();
        return recorder && recorder->WantsPictures() ? 1000 / TClipRecorder::kMaxFps : 0;
    }

    // Waits until a frame newer than `after` of `size` (any size when empty)
    // arrives, or the stream fails; false on failure or timeout.
    bool waitFrame(std::uint64_t after, QSize size, int timeoutMs)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
            return failed || (sequence > after && (size.isEmpty() || latest.size() == size));
        }) && !failed;
    }
    // Waits for the first frame of the size opened at, or a failure.
    bool waitFirst(int timeoutMs)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(std::max(0, timeoutMs)), [&] {
            return failed || firstSeen;
        }) && !failed;
    }
    // Several elements report one failure, the library's generic words
    // first as often as not: the most telling report is kept.
    void markFailed(OpenFailure why = OpenFailure::Failed, const QString& text = {})
    {
        {
            const std::lock_guard lock(mutex);
            if (!failed || Rank(why) > Rank(failure)) {
                failure = why;
                failureText = text;
            }
            failed = true;
        }
        changed.notify_all();
    }
    static int Rank(OpenFailure f)
    {
        switch (f) {
        case OpenFailure::Refused:
            return 4;
        case OpenFailure::Unreachable:
            return 3;
        case OpenFailure::Absent:
            return 2;
        case OpenFailure::NoPicture:
            return 1;
        default:
            return 0;
        }
    }
    std::pair<OpenFailure, QString> failureSeen()
    {
        const std::lock_guard lock(mutex);
        return {failed ? failure : OpenFailure::NoPicture, failureText};
    }
};

// Worker thread: connects to the host and port of `address` and lets go at
// once. Empty when something took the connection, else why not.
QString ReachHost(const QUrl& address, int timeoutMs)
{
    const QString scheme = address.scheme().toLower();
    const int port = address.port(scheme == QLatin1String("https")   ? 443
                                  : scheme == QLatin1String("http")  ? 80
                                  : scheme == QLatin1String("rtsps") ? 322
                                                                     : 554);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const QByteArray host = address.host().toUtf8();
    const int resolved =
        getaddrinfo(host.constData(), QByteArray::number(port).constData(), &hints, &found);
    if (resolved != 0 || !found)
        return QStringLiteral("no such computer: ") + QString::fromUtf8(gai_strerror(resolved));
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owned(found, &freeaddrinfo);
    QString why = QStringLiteral("no answer");
    for (const addrinfo* a = found; a; a = a->ai_next) {
        const int fd =
            socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0)
            continue;
        int error = 0;
        if (connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            error = errno;
            if (error == EINPROGRESS) {
                pollfd p{fd, POLLOUT, 0};
                error = poll(&p, 1, timeoutMs) == 1 ? 0 : ETIMEDOUT;
                socklen_t size = sizeof(int);
                if (error == 0 && getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                    error = errno;
            }
        }
        close(fd);
        if (error == 0)
            return {};
        why = QString::fromLocal8Bit(strerror(error));
    }
    return why;
}

// Sorts a library error into what the user is told: a refusal of the user
// name or password, nothing answering, or a failure in the library's words.
OpenFailure FailureOf(const GError* error, const char* debug)
{
    if (!error)
        return OpenFailure::Failed;
    if (error->domain == GST_RESOURCE_ERROR) {
        if (error->code == GST_RESOURCE_ERROR_NOT_AUTHORIZED)
            return OpenFailure::Refused;
        const QString said = QString::fromUtf8(error->message) + QLatin1Char(' ') +
                             QString::fromUtf8(debug ? debug : "");
        // Nothing took the connection: no such host, no route, nothing listening.
        static const char* const kNoAnswer[] = {
            "refused", "Could not connect", "Failed to connect", "Could not establish",
            "resolve", "No route",          "unreachable",       "Network is down"};
        for (const char* words : kNoAnswer) {
            if (said.contains(QLatin1String(words), Qt::CaseInsensitive))
                return OpenFailure::Unreachable;
        }
        // It took the connection and never answered.
        if (said.contains(QLatin1String("timed out"), Qt::CaseInsensitive) ||
            said.contains(QLatin1String("timeout"), Qt::CaseInsensitive))
            return OpenFailure::NoPicture;
        if (error->code == GST_RESOURCE_ERROR_NOT_FOUND)
            return OpenFailure::Absent;
    }
    // The stream stopped without a word on why: the source was reached (a
    // network camera's connection is tried first) and no picture came.
    if (error->domain == GST_STREAM_ERROR && error->code == GST_STREAM_ERROR_FAILED)
        return OpenFailure::NoPicture;
    return OpenFailure::Failed;
}

// A sample's picture mapped for reading, kept while a QImage shows it.
struct MappedSample
{
    GstSample* sample = nullptr;
    GstBuffer* buffer = nullptr;
    GstMapInfo map{};
};

// The QImage's cleanup: the last copy of the picture is gone (any thread).
void ReleaseMappedSample(void* info)
{
    const std::unique_ptr<MappedSample> mapped(static_cast<MappedSample*>(info));
    gst_buffer_unmap(mapped->buffer, &mapped->map);
    gst_sample_unref(mapped->sample);
}

// Runs on the decoder's streaming thread, before the scaler: a picture no
// one will use costs nothing more.
GstPadProbeReturn OnDecodedPicture(GstPad*, GstPadProbeInfo*, gpointer user)
{
    auto* stream = static_cast<Stream*>(user);
    return stream->passPicture(SteadyNowNs()) ? GST_PAD_PROBE_OK : GST_PAD_PROBE_DROP;
}

// Runs on the demo's streaming thread, before the scaler: its stand-ins for
// pictures not drawn only kept its time, and go no further.
GstPadProbeReturn OnDemoPicture(GstPad*, GstPadProbeInfo* info, gpointer)
{
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    return buffer && GST_BUFFER_FLAG_IS_SET(buffer, GST_BUFFER_FLAG_GAP) ? GST_PAD_PROBE_DROP
                                                                         : GST_PAD_PROBE_OK;
}

// Runs on the sink's streaming thread: only keep the frame, never call out.
GstFlowReturn OnNewSample(GstAppSink* sink, gpointer user)
{
    auto* stream = static_cast<Stream*>(user);
    auto mapped = std::make_unique<MappedSample>();
    mapped->sample = gst_app_sink_pull_sample(sink);
    if (!mapped->sample)
        return GST_FLOW_EOS;
    GstCaps* caps = gst_sample_get_caps(mapped->sample);
    if (caps && caps != stream->sinkCaps.get()) {
        stream->sinkCaps.reset();
        if (gst_video_info_from_caps(&stream->sinkInfo, caps))
            stream->sinkCaps.reset(gst_caps_ref(caps));
    }
    const GstVideoInfo& info = stream->sinkInfo;
    mapped->buffer = gst_sample_get_buffer(mapped->sample);
    if (!caps || caps != stream->sinkCaps.get() || !mapped->buffer ||
        !gst_buffer_map(mapped->buffer, &mapped->map, GST_MAP_READ)) {
        gst_sample_unref(mapped->sample);
        return GST_FLOW_OK;
    }
    const int w = GST_VIDEO_INFO_WIDTH(&info);
    const int h = GST_VIDEO_INFO_HEIGHT(&info);
    const int stride = GST_VIDEO_INFO_PLANE_STRIDE(&info, 0);
    if (w <= 0 || h <= 0 || stride < w * 4 || stride % 4 != 0 ||
        gsize(stride) * gsize(h) > mapped->map.size) {
        ReleaseMappedSample(mapped.release());
        return GST_FLOW_OK;
    }
    // No copy between the sink and the screen: the picture is the sink's
    // buffer itself, held until the preview and the grabs let it go. (A
    // writer of the picture gets its own copy.)
    const uchar* pixels = mapped->map.data;
    QImage frame(pixels, w, h, stride, kFrameFormat, ReleaseMappedSample, mapped.release());
    if (const auto clips = stream->clipsWanted())
        clips->PushPicture(frame); // shares the picture, no copy
    bool first = false;
    {
        const std::lock_guard lock(stream->mutex);
        stream->latest = std::move(frame);
        ++stream->sequence;
        if (!stream->firstSeen && stream->latest.size() == stream->expected) {
            first = stream->firstSeen = true;
            stream->firstArrived = true; // from now on only what is used
        }
    }
    stream->changed.notify_all();
    if (first)
        stream->first();
    if (stream->wanted.load(std::memory_order_relaxed) && !stream->wakePosted.exchange(true))
        stream->wake();
    return GST_FLOW_OK;
}

// Runs on the decoder's streaming thread: the first video pad feeds the
// converter bin (the bin outlives the pipeline's streaming).
void OnDecodedPad(GstElement*, GstPad* pad, gpointer user)
{
    GstRef<GstPad> sink(gst_element_get_static_pad(GST_ELEMENT(user), "sink"));
    if (!sink || gst_pad_is_linked(sink.get()))
        return;
    GstCapsRef caps(gst_pad_get_current_caps(pad));
    if (!caps)
        caps.reset(gst_pad_query_caps(pad, nullptr));
    const GstStructure* s =
        caps && !gst_caps_is_empty(caps.get()) ? gst_caps_get_structure(caps.get(), 0) : nullptr;
    if (s && g_str_has_prefix(gst_structure_get_name(s), "video/"))
        gst_pad_link(pad, sink.get());
}

// Runs on the decoder's streaming thread for each unit it is given: a
// camera's own H.264 goes to the event clips as it came, never encoded again.
GstPadProbeReturn OnEncodedUnit(GstPad* pad, GstPadProbeInfo* info, gpointer user)
{
    auto* stream = static_cast<Stream*>(user);
    GstBuffer* unit = GST_PAD_PROBE_INFO_BUFFER(info);
    const auto clips = unit ? stream->clipsWanted() : nullptr;
    if (!clips)
        return GST_PAD_PROBE_OK;
    const GstCapsRef caps(gst_pad_get_current_caps(pad));
    if (caps && !gst_caps_is_empty(caps.get()) &&
        gst_structure_has_name(gst_caps_get_structure(caps.get(), 0), "video/x-h264"))
        clips->PushUnit(unit, caps.get());
    return GST_PAD_PROBE_OK;
}

// Runs on a streaming thread as the decoder plugs its elements. An HTTP
// camera's multipart stream carries one picture stream; told so, the demuxer
// shows its pad at once instead of waiting, for ever on a live camera, for
// another part type that never comes. A video decoder's input is watched
// for the event clips.
void OnDeepElementAdded(GstBin*, GstBin*, GstElement* element, gpointer user)
{
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory)
        return;
    if (g_strcmp0(GST_OBJECT_NAME(factory), "multipartdemux") == 0) {
        g_object_set(element, "single-stream", TRUE, nullptr);
        return;
    }
    const gchar* klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
    if (klass && strstr(klass, "Decoder") && strstr(klass, "Video")) {
        if (GstRef<GstPad> sink{gst_element_get_static_pad(element, "sink")})
            gst_pad_add_probe(sink.get(), GST_PAD_PROBE_TYPE_BUFFER, OnEncodedUnit, user, nullptr);
    }
}

// Runs on a streaming thread when the network source element exists: low
// latency, a live source, and the credentials given as properties, so the
// location the element shows (in its own messages) holds no password.
void OnNetworkSourceSetup(GstElement*, GstElement* source, gpointer user)
{
    const auto* camera = static_cast<const TNetworkCamera*>(user);
    const QByteArray who = AddressUser(camera->Address).toUtf8();
    const QByteArray secret = AddressPassword(camera->Address).toUtf8();
    GObjectClass* klass = G_OBJECT_GET_CLASS(source);
    const auto has = [klass](const char* property) {
        return g_object_class_find_property(klass, property) != nullptr;
    };
    if (has("latency"))
        g_object_set(source, "latency", guint(100), nullptr); // ms of jitter buffer
    if (has("drop-on-latency"))
        g_object_set(source, "drop-on-latency", TRUE, nullptr);
    if (has("is-live"))
        g_object_set(source, "is-live", TRUE, nullptr);
    if (has("timeout") && !has("latency"))
        g_object_set(source, "timeout", guint(5), nullptr); // s without an answer
    if (!who.isEmpty() && has("user-id"))
        g_object_set(source, "user-id", who.constData(), nullptr);
    if (!secret.isEmpty() && has("user-pw"))
        g_object_set(source, "user-pw", secret.constData(), nullptr);
}

// Runs on the demo source's streaming thread; pushing blocks while the sink,
// which runs on the clock, has not taken the previous frames.
void OnNeedDemoData(GstAppSrc* src, guint, gpointer user)
{
    auto* stream = static_cast<Stream*>(user);
    DemoSwitches& switches = *stream->switches;
    const int left = switches.failAfter.load();
    if (left == 0) {
        // Pushing nothing leaves the source waiting, as a hung camera does.
        if (!switches.freeze.load())
            GST_ELEMENT_ERROR(src, RESOURCE, READ, ("The camera stopped delivering pictures"),
                              ("demo camera failure switch"));
        return;
    }
    if (left > 0)
        switches.failAfter.store(left - 1);
    const QSize size(stream->demoWidth.load(), stream->demoHeight.load());
    const int fps = stream->demoFps.load();
    if (size != stream->demoPushed || fps != stream->demoPushedFps) {
        gst_app_src_set_caps(src, DemoCaps(size, fps).get());
        stream->demoPushed = size;
        stream->demoPushedFps = fps;
    }
    const gsize stride = gsize(size.width()) * 4;
    const gsize bytes = stride * gsize(size.height());
    const std::uint64_t index = stream->demoFrame;
    const GstClockTime pts = stream->demoNextPts;
    const std::int64_t timeMs = std::int64_t(pts / GST_MSECOND);
    const GstClockTime duration = gst_util_uint64_scale(1, GST_SECOND, guint64(fps));
    // The demo draws only the pictures someone uses, judged at the moment
    // each is due (the source runs ahead of the sink's clock by what it
    // queues). The others are not drawn: the source waits a picture's time
    // itself, as the sink never sees them to keep time (in any state), and
    // sends a stand-in that goes no further than the scaler.
    const GstClockTime base = gst_element_get_base_time(GST_ELEMENT(src));
    const std::int64_t now = SteadyNowNs();
    const std::int64_t dueNs = base > 0 ? std::max(now, std::int64_t(base + pts)) : now;
    if (!stream->passPicture(dueNs)) {
        // Until the next picture is due, a picture's time at most: a source
        // behind the clock catches up, one not yet playing keeps its rate.
        const std::int64_t next = std::int64_t(base + pts + duration);
        const std::int64_t wait =
            base > 0 ? std::clamp<std::int64_t>(next - now, 0, std::int64_t(duration))
                     : std::int64_t(duration);
        std::this_thread::sleep_for(std::chrono::nanoseconds(wait));
        if (!stream->demoGap || gst_buffer_get_size(stream->demoGap.get()) != bytes) {
            stream->demoGap.reset(gst_buffer_new_allocate(nullptr, bytes, nullptr));
            if (!stream->demoGap)
                return;
            gst_buffer_memset(stream->demoGap.get(), 0, 0, bytes);
        }
        GstBuffer* gap = gst_buffer_copy(stream->demoGap.get()); // shares the pixels
        GST_BUFFER_FLAG_SET(gap, GST_BUFFER_FLAG_GAP);
        GST_BUFFER_PTS(gap) = pts;
        GST_BUFFER_DURATION(gap) = duration;
        ++stream->demoFrame;
        stream->demoNextPts += duration;
        gst_app_src_push_buffer(src, gap);
        return;
    }
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
    GstMapInfo map;
    if (!buffer || !gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
        if (buffer)
            gst_buffer_unref(buffer);
        return;
    }
    stream->scene->renderInto(map.data, int(stride), timeMs, index, size);
    gst_buffer_unmap(buffer, &map);
    ++stream->demoFrame;
    stream->demoNextPts += duration;
    GST_BUFFER_PTS(buffer) = pts;
    GST_BUFFER_DURATION(buffer) = duration;
    gst_app_src_push_buffer(src, buffer); // takes the buffer
}

} // namespace

// Lets one worker wait until another has finished with a pipeline.
struct TeardownTicket
{
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::atomic<bool> cancelled{false}; // what waits on it no longer wants it done

    void finish()
    {
        {
            const std::lock_guard lock(mutex);
            finished = true;
        }
        done.notify_all();
    }
    void wait(int timeoutMs)
    {
        std::unique_lock lock(mutex);
        done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return finished; });
    }
};

// One pipeline and the stream its threads share with the GUI thread.
struct GstCaptureDriver::Run
{
    std::shared_ptr<Stream> stream;
    GstRef<GstElement> pipeline;
    GstElement* capsfilter = nullptr; // borrowed from the pipeline
    // The preview drawn by the pipeline into the view's window, when it is:
    // the size it is drawn at, and the sink (both borrowed).
    GstElement* zoom = nullptr;
    GstElement* view = nullptr;
    QSize zoomSize;
    GstElement* sourceElement = nullptr;
    std::uint64_t generation = 0; // tells queued news of an old pipeline apart
    // Which source it shows: a camera opened ahead is taken only by a
    // connect to the same source as it is now (a changed address is another).
    SourceKind kind = SourceKind::Demo;
    QString name;
    TNetworkCamera network;
    QSize mode;         // the source's own size it runs at
    VideoFormat format; // the format it delivers
    // Done once its start has returned: a stop waits for it, so the two
    // never race to leave the pipeline playing with no one holding it.
    std::shared_ptr<TeardownTicket> started;
};

// A camera opened ahead of its connect, or closed and kept for a moment.
struct GstCaptureDriver::Opening
{
    std::unique_ptr<Run> run;
    int index = -1; // told back with the outcome
    bool ready = false;
    bool parked = false;
    bool failing = false; // a failure came; the report is taken a moment later
};

struct GstCaptureDriver::Impl
{
    explicit Impl(const Options& o, GstCaptureDriver& owner)
        : options(o), self(owner), scene(std::make_shared<DemoScene>(o.demoSeed)),
          mailbox(std::make_shared<Mailbox>(&context))
    {
        if (!gst_is_initialized())
            gst_init(nullptr, nullptr);
        // Starting and stopping pipelines can block on a device or the
        // network; they run here. The threads stay, so their memory is reused.
        workers->setMaxThreadCount(6);
        workers->setExpiryTimeout(-1);
        pump.setParent(&context);
        QObject::connect(&pump, &QTimer::timeout, &context, [this] { pumpTick(); });
        pace.setSingleShot(true);
        paceClock.start();
        QObject::connect(&pace, &QTimer::timeout, &context, [this] { pumpTick(); });
        openTimer.setSingleShot(true);
        QObject::connect(&openTimer, &QTimer::timeout, &context, [this] { openTimedOut(); });
        plugBack.setSingleShot(true);
        QObject::connect(&plugBack, &QTimer::timeout, &context, [this] {
            demoUnplugged = false;
            reprobe = true;
        });
    }

    ~Impl()
    {
        mailbox->close();
        pump.stop();
        pace.stop();
        dropOpening();
        retire(std::move(run));
        // A camera that hangs on its way out ends with the process instead.
        if (!workers->waitForDone(kTeardownWaitMs))
            (void)workers.release();
    }

    // --- drivers
    void probe();
    bool sourcePresent(const Source& source) const;

    // --- pipelines
    std::unique_ptr<Run> buildRun(const Source& source, QSize size);
    void startRun(Run& run);
    // Stops a run's pipeline away from the GUI thread; its stream (and the
    // last frame) stays with the run.
    void retirePipeline(Run& run);
    void retire(std::unique_ptr<Run> run);
    void dropOpening();
    void park(std::unique_ptr<Run> run, int index);
    bool matches(const Run& run, const Source& source) const;
    // Makes `taken` the connected camera.
    void adopt(std::unique_ptr<Run> taken, int index);
    // Opens `source` here and waits for its first picture; null on failure,
    // which `why` then tells.
    std::unique_ptr<Run> openNow(const Source& source, QSize size, OpenResult* why = nullptr);

    // --- news from the streaming and worker threads, on the GUI thread
    void firstFrame(std::uint64_t generation);
    void streamFailed(std::uint64_t generation, int id, OpenFailure failure, const QString& text);
    void openTimedOut();
    void failOpening(OpenFailure failure, const QString& detail);
    void startPump();
    void pumpTick();
    void frameArrived(std::uint64_t generation);
    bool showingFrames() const { return preview && viewShown; }
    // Reports a failure found inside a call from the event loop, never from
    // within the call itself.
    void queueFailure(int id, const QString& text);
    static GstBusSyncReply OnBusMessage(GstBus*, GstMessage* message, gpointer user);

    bool applySize(QSize size);
    QSize startSizeOf(const Source& source) const;
    int firstFrameTimeout(const Source& source) const
    {
        return source.kind == SourceKind::Network ? kFirstNetworkFrameTimeoutMs
                                                  : kFirstFrameTimeoutMs;
    }
    Stream* stream() const { return run ? run->stream.get() : nullptr; }

    Options options;
    GstCaptureDriver& self;
    std::shared_ptr<DemoScene> scene;
    std::shared_ptr<DemoSwitches> demoSwitches = std::make_shared<DemoSwitches>();
    std::weak_ptr<TClipRecorder> clips;
    std::vector<Source> sources;
    bool probed = false;
    bool reprobe = false; // the list changed: read it again once disconnected
    bool refresh = false; // asked for afresh: read again unless just read
    bool demoUnplugged = false;
    QTimer plugBack;
    QList<TNetworkCamera> networkCameras;
    QElapsedTimer sinceProbe;

    QObject context; // receives work queued from streaming and worker threads
    std::shared_ptr<Mailbox> mailbox;
    std::unique_ptr<QThreadPool> workers = std::make_unique<QThreadPool>();
    // Pipelines still stopping, by source name.
    std::map<QString, std::weak_ptr<TeardownTicket>> stopping;
    // Frames reach the preview as they arrive, no faster than the preview
    // rate; `pump` only looks for a camera gone quiet, and is put off by
    // every frame shown, so a live preview wakes once a frame.
    QTimer pump;
    QTimer pace; // a frame that came early waits for its beat here
    QElapsedTimer paceClock;
    qint64 nextShowMs = 0; // the beat: when the next frame may be shown

    bool session = false;
    QSize viewSize;
    int connected = -1;
    // The last format each source accepted, by name: a capture driver keeps
    // its format from one connection to the next, and the program's start-up
    // limits and the user's format file rely on that.
    std::map<QString, VideoFormat> keptFormats;
    VideoFormat format;
    CaptureParams params;
    WaveFormat audio;
    int previewRate = 66;
    bool preview = false;
    bool viewShown = true; // an unseen preview costs no frames and no repaints
    bool stretch = false;
    QImage grabbed;
    quintptr videoWindow = 0; // where pipelines draw the preview; 0 = the view paints it
    QSize videoWindowSize;    // its size in its own pixels; empty = not told
    // The size the preview is drawn at: the view's when stretched, else the picture's.
    void applyZoom(QSize pictureSize);

    std::uint64_t generation = 0;
    std::unique_ptr<Run> run;         // the connected camera
    std::unique_ptr<Opening> opening; // opened ahead, or closed and kept
    QTimer openTimer;                 // the first picture's deadline, then how long it is held
    bool streamDead = false;
    std::uint64_t deliveredSequence = 0;
    std::uint64_t seenPictures = 0; // the gate's count when last looked at
    std::uint64_t grabs = 0;        // of the connected camera
    QElapsedTimer sinceFrame;       // since the camera last sent a picture, used or not
    QElapsedTimer sinceConnect;
};

void GstCaptureDriver::Impl::probe()
{
    std::vector<Source> found;
    if (options.probeCameras) {
        GstRef<GstDeviceMonitor> monitor(gst_device_monitor_new());
        gst_device_monitor_add_filter(monitor.get(), "Video/Source", nullptr);
        if (gst_device_monitor_start(monitor.get())) {
            GList* devices = gst_device_monitor_get_devices(monitor.get());
            std::vector<std::pair<QString, GstDevice*>> ordered;
            for (GList* l = devices; l; l = l->next) {
                auto* device = GST_DEVICE(l->data);
                ordered.emplace_back(DevicePathOf(device), device);
            }
            std::stable_sort(ordered.begin(), ordered.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (auto& [path, device] : ordered) {
                if (found.size() + 1 >= std::size_t(kMaxDrivers))
                    break; // keep room for the demo camera
                Source s;
                s.kind = SourceKind::Camera;
                GCharRef name(gst_device_get_display_name(device));
                s.name = QString::fromUtf8(name.get()).left(DriverDescription::kMaxName);
                s.version =
                    (QStringLiteral("GStreamer ") + path).left(DriverDescription::kMaxVersion);
                s.caps.reset(gst_device_get_caps(device));
                s.modes = CameraModes::ModesOfCaps(s.caps.get());
                s.sizes = CameraModes::Offered(s.modes);
                s.device.reset(GST_DEVICE(gst_object_ref(device)));
                found.push_back(std::move(s));
            }
            g_list_free_full(devices, gst_object_unref);
            gst_device_monitor_stop(monitor.get());
        }
    }
    if (options.testPattern) {
        Source s;
        s.kind = SourceKind::TestPattern;
        s.name = QString::fromLatin1(kTestPatternName);
        s.version = QStringLiteral("GStreamer videotestsrc");
        s.modes = kTestPatternModes;
        s.sizes = CameraModes::Offered(s.modes);
        found.push_back(std::move(s));
    }
    for (const TNetworkCamera& camera : networkCameras) {
        if (found.size() + 1 >= std::size_t(kMaxDrivers))
            break; // keep room for the demo camera
        Source s;
        s.kind = SourceKind::Network;
        s.name = camera.Name.left(DriverDescription::kMaxName);
        // The address is never shown: the version line names the kind only.
        s.version = QStringLiteral("Network camera (%1)").arg(QUrl(camera.Address).scheme());
        s.network = camera;
        s.sizes = kDemoSizes;
        found.push_back(std::move(s));
    }
    if (!demoUnplugged) {
        Source demo;
        demo.kind = SourceKind::Demo;
        demo.name = QString::fromLatin1(kDemoCameraName);
        demo.version = QStringLiteral("Built-in scene, seed %1").arg(options.demoSeed);
        demo.sizes = kDemoSizes;
        found.push_back(std::move(demo));
    }
    sources = std::move(found);
    probed = true;
    reprobe = false;
    refresh = false;
    sinceProbe.start();
}

// A source that is listed but cannot answer now: the demo pulled out, a
// recording whose file is gone.
bool GstCaptureDriver::Impl::sourcePresent(const Source& source) const
{
    if (source.kind == SourceKind::Demo)
        return !demoUnplugged;
    if (source.kind == SourceKind::Network) {
        const QUrl url(source.network.Address.trimmed());
        if (url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) == 0)
            return QFileInfo(url.toLocalFile()).isFile();
    }
    return true;
}

QSize GstCaptureDriver::Impl::startSizeOf(const Source& source) const
{
    const auto kept = keptFormats.find(source.name);
    if (kept != keptFormats.end()) {
        const QSize size(kept->second.header.width, kept->second.header.height);
        if (source.sizes.contains(size))
            return size;
    }
    return CameraModes::StartSize(source.sizes);
}

bool GstCaptureDriver::Impl::matches(const Run& r, const Source& source) const
{
    return r.kind == source.kind && r.name == source.name &&
           (source.kind != SourceKind::Network || r.network == source.network);
}

// Builds the pipeline on the GUI thread (nothing here waits); startRun sets
// it going elsewhere.
std::unique_ptr<GstCaptureDriver::Run> GstCaptureDriver::Impl::buildRun(const Source& source,
                                                                        QSize size)
{
    auto built = std::make_unique<Run>();
    built->generation = ++generation;
    built->kind = source.kind;
    built->name = source.name;
    built->network = source.network;
    auto fresh = std::make_shared<Stream>();
    fresh->expected = size;
    fresh->clips = clips;

    GstRef<GstElement> pipe(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new("capture"))));
    GstElement* src = nullptr;
    // Compressed cameras need decoding; the demo is paced by the sink's clock.
    bool decode = false;
    bool sync = false;
    switch (source.kind) {
    case SourceKind::Camera:
        src = gst_device_create_element(source.device.get(), nullptr);
        decode = true;
        break;
    case SourceKind::TestPattern:
        // Through the camera's own path (mode filter, decodebin), so CI runs it.
        src = gst_element_factory_make("videotestsrc", nullptr);
        if (src)
            g_object_set(src, "is-live", TRUE, "pattern", 18 /* ball */, nullptr);
        decode = true;
        break;
    case SourceKind::Network: {
        // One element reads, depayloads and decodes whatever the address
        // serves; its decoded pads join the same convert, scale and sink.
        src = gst_element_factory_make("uridecodebin", nullptr);
        if (!src)
            break;
        const QByteArray uri = AddressWithoutCredentials(source.network.Address).toUtf8();
        g_object_set(src, "uri", uri.constData(), "use-buffering", FALSE, nullptr);
        fresh->network = source.network;
        g_signal_connect(src, "source-setup", G_CALLBACK(OnNetworkSourceSetup), &fresh->network);
        break;
    }
    case SourceKind::Demo: {
        src = gst_element_factory_make("appsrc", nullptr);
        sync = true;
        if (!src)
            break;
        const QSize drawn = DemoScene::DrawnSize(size);
        fresh->demoWidth = drawn.width();
        fresh->demoHeight = drawn.height();
        fresh->demoPushed = drawn;
        fresh->demoFps = fresh->demoPushedFps = DemoFps(params);
        g_object_set(src, "caps", DemoCaps(drawn, fresh->demoPushedFps).get(), "format",
                     GST_FORMAT_TIME, "block", TRUE, "max-bytes",
                     guint64(2 * DemoScene::kWidth * DemoScene::kHeight * 4), nullptr);
        fresh->scene = scene;
        fresh->switches = demoSwitches;
        GstAppSrcCallbacks callbacks{};
        callbacks.need_data = OnNeedDemoData;
        gst_app_src_set_callbacks(GST_APP_SRC(src), &callbacks, fresh.get(), nullptr);
        break;
    }
    }
    if (!src)
        return nullptr;
    // Scaled first, in the source's own format: a camera's 640 x 480 YUV is
    // half the bytes of the RGB it becomes, and converting the small picture
    // is a third of the work of converting the large one. The size is fixed
    // right after the scaler, so a size change while frames flow is the
    // scaler's alone to agree on.
    QByteArray tail = QByteArrayLiteral("videoscale add-borders=false ! capsfilter name=caps ! "
                                        "videoconvert ! video/x-raw,format=" kSinkFormat " ! ");
    const QByteArray sinkSync = sync ? "true" : "false";
    // With a window to draw in, the sink that shows the preview takes the
    // same converted pictures as the one that keeps them, as a bare player
    // does: the window never copies them. It neither waits for a first
    // picture nor for the clock, so it never holds the other up.
    const bool drawn = videoWindow != 0 && HasElement("ximagesink");
    if (drawn)
        tail += "tee name=split ! appsink name=sink max-buffers=1 drop=true sync=" + sinkSync +
                " split. ! videoscale add-borders=false ! capsfilter name=zoom ! videoconvert ! "
                "ximagesink name=view sync=false async=false force-aspect-ratio=false "
                "handle-events=false";
    else
        tail += "appsink name=sink max-buffers=1 drop=true sync=" + sinkSync;
    GError* rawError = nullptr;
    GstElement* bin = gst_parse_bin_from_description(tail.constData(), TRUE, &rawError);
    GErrorRef error(rawError);
    if (!bin || error) {
        if (bin)
            gst_object_unref(gst_object_ref_sink(bin));
        gst_object_unref(gst_object_ref_sink(src));
        return nullptr;
    }
    gst_bin_add_many(GST_BIN(pipe.get()), src, bin, nullptr); // the pipeline owns both

    // src [! mode filter] [! decodebin] ! bin
    GstElement* last = src;
    const QSize mode = CameraModes::ModeFor(source.modes, size);
    if (source.kind != SourceKind::Demo && !mode.isEmpty()) {
        GstElement* modeFilter = gst_element_factory_make("capsfilter", "mode");
        if (!modeFilter)
            return nullptr;
        g_object_set(modeFilter, "caps", ModeCaps(source.caps.get(), mode).get(), nullptr);
        gst_bin_add(GST_BIN(pipe.get()), modeFilter);
        if (!gst_element_link(last, modeFilter))
            return nullptr;
        last = modeFilter;
    }
    if (source.kind == SourceKind::Network) {
        g_signal_connect(src, "pad-added", G_CALLBACK(OnDecodedPad), bin);
        g_signal_connect(pipe.get(), "deep-element-added", G_CALLBACK(OnDeepElementAdded),
                         fresh.get());
    } else if (decode) {
        GstElement* decoder = gst_element_factory_make("decodebin", nullptr);
        if (!decoder)
            return nullptr;
        gst_bin_add(GST_BIN(pipe.get()), decoder);
        if (!gst_element_link(last, decoder))
            return nullptr;
        g_signal_connect(decoder, "pad-added", G_CALLBACK(OnDecodedPad), bin);
    } else if (!gst_element_link(last, bin)) {
        return nullptr;
    }

    GstRef<GstElement> caps(gst_bin_get_by_name(GST_BIN(bin), "caps"));
    GstRef<GstElement> sink(gst_bin_get_by_name(GST_BIN(bin), "sink"));
    if (!caps || !sink)
        return nullptr;
    g_object_set(caps.get(), "caps", SizeCaps(size).get(), nullptr);
    if (drawn) {
        GstRef<GstElement> zoom(gst_bin_get_by_name(GST_BIN(bin), "zoom"));
        GstRef<GstElement> view(gst_bin_get_by_name(GST_BIN(bin), "view"));
        if (!zoom || !view)
            return nullptr;
        gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(view.get()), videoWindow);
        built->zoom = zoom.get();
        built->view = view.get();
        built->zoomSize = !videoWindowSize.isEmpty() ? videoWindowSize : stretch ? viewSize : size;
        g_object_set(built->zoom, "caps", SizeCaps(built->zoomSize).get(), nullptr);
    }
    {
        GstRef<GstPad> in(gst_element_get_static_pad(bin, "sink"));
        if (!in)
            return nullptr;
        if (source.kind == SourceKind::Demo)
            gst_pad_add_probe(in.get(), GST_PAD_PROBE_TYPE_BUFFER, OnDemoPicture, nullptr, nullptr);
        else
            gst_pad_add_probe(in.get(), GST_PAD_PROBE_TYPE_BUFFER, OnDecodedPicture, fresh.get(),
                              nullptr);
    }
    GstAppSinkCallbacks sinkCallbacks{};
    sinkCallbacks.new_sample = OnNewSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink.get()), &sinkCallbacks, fresh.get(), nullptr);

    // What the streaming threads tell the GUI thread, through the mailbox only.
    const std::uint64_t gen = built->generation;
    fresh->wake = [box = mailbox, this, gen] {
        box->post([this, gen] { frameArrived(gen); });
    };
    fresh->first = [box = mailbox, this, gen] {
        box->post([this, gen] { firstFrame(gen); });
    };
    fresh->fail = [box = mailbox, this, gen](int id, OpenFailure failure, const QString& text) {
        box->post([this, gen, id, failure, text] { streamFailed(gen, id, failure, text); });
    };
    // The handler keeps the stream it reports for: it may still run while
    // the pipeline stops, after the driver has let the stream go.
    GstRef<GstBus> bus(gst_element_get_bus(pipe.get()));
    gst_bus_set_sync_handler(
        bus.get(), &Impl::OnBusMessage, new std::shared_ptr<Stream>(fresh),
        [](gpointer held) { delete static_cast<std::shared_ptr<Stream>*>(held); });

    built->stream = std::move(fresh);
    built->pipeline = std::move(pipe);
    built->capsfilter = caps.get();
    built->sourceElement = src;
    built->mode = mode;
    built->format = RgbFormat(size, 24);
    // A source keeps the format it last accepted from one connection to the next.
    if (const auto kept = keptFormats.find(source.name);
        kept != keptFormats.end() &&
        QSize(kept->second.header.width, kept->second.header.height) == size)
        built->format = kept->second;
    return built;
}

void GstCaptureDriver::Impl::startRun(Run& r)
{
    std::shared_ptr<TeardownTicket> before;
    if (const auto it = stopping.find(r.name); it != stopping.end())
        before = it->second.lock();
    GstElement* pipe = GST_ELEMENT(gst_object_ref(r.pipeline.get()));
    std::shared_ptr<Stream> shared = r.stream;
    const QUrl address(AddressWithoutCredentials(r.network.Address));
    auto started = std::make_shared<TeardownTicket>();
    r.started = started;
    workers->start([pipe, shared, before, address, started] {
        const auto done = qScopeGuard([&] {
            gst_object_unref(pipe);
            started->finish();
        });
        if (before)
            before->wait(kReopenWaitMs);
        if (started->cancelled)
            return; // let go before it started
        // A network camera's host is reached first: whether anything takes
        // the connection is the one thing the stream's elements do not say.
        if (!address.isEmpty() && !address.isLocalFile()) {
            const QString why = ReachHost(address, kReachTimeoutMs);
            if (!why.isEmpty()) {
                shared->markFailed(OpenFailure::Unreachable, why);
                shared->fail(kErrorStream, OpenFailure::Unreachable, why);
                return;
            }
        }
        if (started->cancelled)
            return;
        if (gst_element_set_state(pipe, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            // The bus has told why already, when the element said anything.
            const QString text = QStringLiteral("the camera could not be started");
            shared->markFailed(OpenFailure::Failed, text);
            shared->fail(kErrorStream, OpenFailure::Failed, text);
        }
    });
}

void GstCaptureDriver::Impl::retirePipeline(Run& r)
{
    if (!r.pipeline)
        return;
    r.stream->wanted = false;
    r.stream->feedClips = false;
    auto ticket = std::make_shared<TeardownTicket>();
    std::erase_if(stopping, [](const auto& entry) { return entry.second.expired(); });
    stopping[r.name] = ticket;
    GstElement* pipe = GST_ELEMENT(r.pipeline.release());
    std::shared_ptr<Stream> shared = r.stream;
    std::shared_ptr<TeardownTicket> started = std::exchange(r.started, nullptr);
    r.capsfilter = nullptr;
    r.sourceElement = nullptr;
    r.zoom = nullptr;
    r.view = nullptr;
    // The handler goes with the pipeline; what it still posts names an old
    // generation and is ignored.
    workers->start([pipe, shared, ticket, started] {
        if (started) {
            started->cancelled = true;
            started->wait(kReopenWaitMs + kReachTimeoutMs);
        }
        gst_element_set_state(pipe, GST_STATE_NULL);
        gst_object_unref(pipe);
        ticket->finish();
    });
}

void GstCaptureDriver::Impl::retire(std::unique_ptr<Run> r)
{
    if (r)
        retirePipeline(*r);
}

void GstCaptureDriver::Impl::dropOpening()
{
    openTimer.stop();
    if (!opening)
        return;
    retire(std::move(opening->run));
    opening.reset();
}

void GstCaptureDriver::Impl::park(std::unique_ptr<Run> r, int index)
{
    dropOpening();
    r->stream->wanted = false;
    r->stream->feedClips = false;
    r->stream->gate.SetSteadyMs(0); // kept running, but nothing converted or drawn
    opening = std::make_unique<Opening>();
    opening->run = std::move(r);
    opening->index = index;
    opening->ready = true;
    opening->parked = true;
    openTimer.start(kParkMs);
}

void GstCaptureDriver::Impl::adopt(std::unique_ptr<Run> taken, int index)
{
    run = std::move(taken);
    streamDead = false;
    deliveredSequence = 0;
    seenPictures = run->stream->gate.Seen();
    grabs = 0;
    run->stream->gate.Open(1); // a camera kept running shows its newest picture
    sinceFrame.start();
    sinceConnect.start();
    format = run->format;
    run->stream->demoFps = DemoFps(params);
    connected = index;
    if (const auto recorder = clips.lock()) {
        recorder->NewSource();
        run->stream->feedClips = true;
    }
    startPump();
}

std::unique_ptr<GstCaptureDriver::Run> GstCaptureDriver::Impl::openNow(const Source& source,
                                                                       QSize size, OpenResult* why)
{
    std::unique_ptr<Run> fresh = buildRun(source, size);
    if (!fresh) {
        if (why)
            *why = OpenResult{-1, OpenFailure::Failed, {}};
        return nullptr;
    }
    startRun(*fresh);
    if (!fresh->stream->waitFirst(firstFrameTimeout(source))) {
        if (why) {
            const auto [failure, text] = fresh->stream->failureSeen();
            *why = OpenResult{-1, failure,
                              source.kind == SourceKind::Network ? HideAddress(text, source.network)
                                                                 : text};
        }
        retire(std::move(fresh));
        return nullptr;
    }
    return fresh;
}

void GstCaptureDriver::Impl::firstFrame(std::uint64_t gen)
{
    if (!opening || opening->ready || !opening->run || opening->run->generation != gen)
        return;
    opening->ready = true;
    openTimer.start(kHoldReadyMs);
    self.notifyOpened(OpenResult{opening->index, OpenFailure::None, {}});
}

void GstCaptureDriver::Impl::openTimedOut()
{
    if (!opening)
        return;
    if (opening->ready) {
        dropOpening(); // kept or opened ahead, and not taken
        return;
    }
    failOpening(OpenFailure::NoPicture, {});
}

void GstCaptureDriver::Impl::failOpening(OpenFailure failure, const QString& detail)
{
    const int index = opening->index;
    dropOpening();
    self.notifyOpened(OpenResult{index, failure, detail});
}

// Runs on whichever streaming thread posts the message: only queue the news.
GstBusSyncReply GstCaptureDriver::Impl::OnBusMessage(GstBus*, GstMessage* message, gpointer user)
{
    // A handler that drops a message owns it: every message holds its element,
    // so one not released keeps the whole pipeline (and its sockets) alive.
    using GstMessageRef = std::unique_ptr<GstMessage, decltype(&gst_message_unref)>;
    const GstMessageRef owned(message, &gst_message_unref);
    Stream& stream = **static_cast<std::shared_ptr<Stream>*>(user);
    int id = 0;
    OpenFailure failure = OpenFailure::Failed;
    QString text;
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        GError* rawError = nullptr;
        gchar* debug = nullptr;
        gst_message_parse_error(message, &rawError, &debug);
        GErrorRef error(rawError);
        GCharRef keepDebug(debug);
        id = kErrorStream;
        failure = FailureOf(error.get(), debug);
        text = error ? QString::fromUtf8(error->message) : QStringLiteral("Unknown stream error");
    } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
        id = kErrorEndOfStream;
        text = QStringLiteral("The camera stopped sending pictures");
    } else {
        return GST_BUS_DROP;
    }
    stream.markFailed(failure, text);
    stream.fail(id, failure, text);
    return GST_BUS_DROP;
}

void GstCaptureDriver::Impl::streamFailed(std::uint64_t gen, int id, OpenFailure,
                                          const QString& text)
{
    if (opening && opening->run && opening->run->generation == gen) {
        if (opening->ready) {
            dropOpening(); // a camera kept or opened ahead died unseen
            return;
        }
        if (opening->failing)
            return;
        // Other elements may still be telling the same failure, often better.
        opening->failing = true;
        QTimer::singleShot(kFailureSettleMs, &context, [this, gen] {
            if (!opening || !opening->run || opening->run->generation != gen || opening->ready)
                return;
            const auto [why, words] = opening->run->stream->failureSeen();
            failOpening(why, opening->run->kind == SourceKind::Network
                                 ? HideAddress(words, opening->run->network)
                                 : words);
        });
        return;
    }
    if (!run || run->generation != gen || streamDead || connected < 0)
        return;
    streamDead = true;
    pump.stop();
    pace.stop();
    retirePipeline(*run); // a failed camera is released; the last picture stays
    // A network camera is named, never its address: the library's message
    // may quote the address it was given.
    const QString said = run->kind == SourceKind::Network ? HideAddress(text, run->network) : text;
    self.notifyError(id, run->name.isEmpty() ? said : run->name + QStringLiteral(": ") + said);
}

void GstCaptureDriver::Impl::queueFailure(int id, const QString& text)
{
    if (!run)
        return;
    const std::uint64_t gen = run->generation;
    mailbox->post([this, gen, id, text] { streamFailed(gen, id, OpenFailure::Failed, text); });
}

void GstCaptureDriver::Impl::startPump()
{
    // Often enough to notice a lost camera in a tenth of the time it is given.
    pump.start(std::clamp(options.stallMs / 10, 20, 500));
    pace.stop();
    if (Stream* s = stream()) {
        // A preview the sink draws needs nothing of the window's thread.
        s->wanted = showingFrames() && !run->view;
        s->gate.SetSteadyMs(showingFrames() ? previewRate : 0);
    }
}

// GUI thread: a frame came while the preview shows them. Shown now if its
// beat has come, else when it comes.
void GstCaptureDriver::Impl::frameArrived(std::uint64_t gen)
{
    if (!run || run->generation != gen)
        return;
    run->stream->wakePosted = false; // before looking: a later frame wakes again
    if (!showingFrames() || pace.isActive())
        return;
    const qint64 wait = nextShowMs - kPaceSlackMs - paceClock.elapsed();
    if (wait > 0)
        pace.start(int(wait));
    else
        pumpTick();
}

// GUI thread, on a frame's beat or the look for a lost camera: hand the
// newest frame to the preview and notice a camera that has gone quiet.
void GstCaptureDriver::Impl::pumpTick()
{
    if (!run || streamDead)
        return;
    std::uint64_t sequence;
    QImage frame;
    {
        const std::lock_guard lock(run->stream->mutex);
        sequence = run->stream->sequence;
        if (sequence != deliveredSequence)
            frame = run->stream->latest;
    }
    // The camera is alive while it sends pictures, whether they are used or not.
    if (const std::uint64_t seen = run->stream->gate.Seen(); seen != seenPictures) {
        seenPictures = seen;
        sinceFrame.start();
    }
    if (frame.isNull()) {
        if (sinceFrame.elapsed() > options.stallMs) {
            streamDead = true;
            pump.stop();
            pace.stop();
            retirePipeline(*run);
            self.notifyError(
                kErrorNoPicture,
                run->name + QStringLiteral(": no picture for %1 s").arg(options.stallMs / 1000.0));
        }
        return;
    }
    deliveredSequence = sequence;
    if (!showingFrames())
        return;
    // On the beat while frames keep up with it, a new beat after a pause.
    const qint64 now = paceClock.elapsed();
    nextShowMs = (now <= nextShowMs + kPaceSlackMs ? nextShowMs : now) + previewRate;
    pace.stop();
    pump.start(); // no look for a lost camera while frames come
    CaptureVideoHeader header;
    header.data = frame.constBits();
    header.bufferLength = std::uint32_t(frame.sizeInBytes());
    header.bytesUsed = header.bufferLength;
    header.timeCaptured = std::uint32_t(sinceConnect.elapsed());
    self.notifyFrame(header);
}

void GstCaptureDriver::Impl::applyZoom(QSize pictureSize)
{
    if (!run || !run->zoom || streamDead)
        return;
    // The window's own pixels when known: on a screen of more than one
    // pixel per point the window is larger than the view says.
    const QSize shown = !videoWindowSize.isEmpty() ? videoWindowSize
                        : stretch                  ? viewSize
                                                   : pictureSize;
    if (shown.isEmpty())
        return;
    if (shown != run->zoomSize) {
        run->zoomSize = shown;
        g_object_set(run->zoom, "caps", SizeCaps(shown).get(), nullptr);
    }
    // The window's new size is read and the last picture drawn again at once.
    gst_video_overlay_expose(GST_VIDEO_OVERLAY(run->view));
}

bool GstCaptureDriver::Impl::applySize(QSize size)
{
    Stream* s = stream();
    if (!s || !run->capsfilter || streamDead)
        return false;
    std::uint64_t before;
    {
        const std::lock_guard lock(s->mutex);
        before = s->sequence;
    }
    const QSize drawn = DemoScene::DrawnSize(size);
    s->demoWidth = drawn.width();
    s->demoHeight = drawn.height();
    g_object_set(run->capsfilter, "caps", SizeCaps(size).get(), nullptr);
    applyZoom(size);
    s->gate.Open(std::numeric_limits<int>::max()); // until one of the new size comes
    const bool changed = s->waitFrame(before, size, kFormatChangeTimeoutMs);
    s->gate.Open(0);
    return changed;
}

GstCaptureDriver::GstCaptureDriver() : GstCaptureDriver(Options{}) {}

GstCaptureDriver::GstCaptureDriver(const Options& options)
    : d_(std::make_unique<Impl>(options, *this))
{}

GstCaptureDriver::~GstCaptureDriver() = default;

DemoScene& GstCaptureDriver::demoScene()
{
    return *d_->scene;
}

void GstCaptureDriver::setDemoFailure(int frames, DemoFault fault)
{
    d_->demoSwitches->freeze = fault == DemoFault::Freeze;
    d_->demoSwitches->failAfter = frames < 0 ? -1 : frames;
}

void GstCaptureDriver::setClipRecorder(std::shared_ptr<TClipRecorder> recorder)
{
    // The streams opened from now on take it; none is fed once it is taken away.
    d_->clips = recorder;
    if (!recorder) {
        if (d_->run)
            d_->run->stream->feedClips = false;
        if (d_->opening && d_->opening->run)
            d_->opening->run->stream->feedClips = false;
    }
}

void GstCaptureDriver::setNetworkCameras(const QList<TNetworkCamera>& cameras)
{
    if (cameras == d_->networkCameras)
        return;
    d_->networkCameras = cameras;
    d_->reprobe = true;
}

void GstCaptureDriver::unplugDemo(int forMs)
{
    d_->demoUnplugged = true;
    d_->reprobe = true;
    d_->plugBack.stop();
    if (forMs >= 0)
        d_->plugBack.start(forMs);
    if (d_->opening && d_->opening->run && d_->opening->run->kind == SourceKind::Demo) {
        if (d_->opening->ready)
            d_->dropOpening();
        else
            d_->failOpening(OpenFailure::Absent, {});
    }
    if (d_->run && d_->run->kind == SourceKind::Demo)
        d_->queueFailure(kErrorStream, QStringLiteral("the camera was unplugged"));
}

void GstCaptureDriver::plugDemoBack()
{
    d_->plugBack.stop();
    d_->demoUnplugged = false;
    d_->reprobe = true;
}

bool GstCaptureDriver::demoUnplugged() const
{
    return d_->demoUnplugged;
}

QList<QSize> GstCaptureDriver::offeredSizes() const
{
    if (d_->connected < 0)
        return {};
    return d_->sources[std::size_t(d_->connected)].sizes;
}

int GstCaptureDriver::connectedIndex() const
{
    return d_->connected;
}

std::optional<DriverDescription> GstCaptureDriver::driverDescription(int index)
{
    // Probing is slow; the list is read again from index 0 at most every few
    // seconds, or when asked for, and never while connected, so indexes stay
    // put under a session.
    const qint64 since = d_->sinceProbe.isValid() ? d_->sinceProbe.elapsed() : kReprobeMs + 1;
    if (!d_->probed || (index == 0 && d_->connected < 0 &&
                        (d_->reprobe || (d_->refresh && since > kRefreshMs) || since > kReprobeMs)))
        d_->probe();
    if (index < 0 || index >= int(d_->sources.size()))
        return std::nullopt;
    const Source& s = d_->sources[std::size_t(index)];
    return DriverDescription{s.name, s.version};
}

void GstCaptureDriver::refreshDrivers()
{
    d_->refresh = true;
}

void GstCaptureDriver::openDriver(int index)
{
    if (!d_->probed)
        d_->probe();
    const auto refuse = [this, index](OpenFailure failure) {
        d_->mailbox->post([this, index, failure] { notifyOpened(OpenResult{index, failure, {}}); });
    };
    if (index < 0 || index >= int(d_->sources.size())) {
        d_->dropOpening();
        refuse(OpenFailure::Absent);
        return;
    }
    const Source& source = d_->sources[std::size_t(index)];
    if (d_->opening && d_->opening->run && d_->matches(*d_->opening->run, source)) {
        d_->opening->index = index;
        if (d_->opening->ready) {
            // Kept from a moment ago: taken as it is.
            d_->opening->parked = false;
            d_->openTimer.start(kHoldReadyMs);
            refuse(OpenFailure::None);
        }
        return; // under way: its outcome will tell
    }
    d_->dropOpening();
    if (!d_->sourcePresent(source)) {
        refuse(OpenFailure::Absent);
        return;
    }
    std::unique_ptr<Run> fresh = d_->buildRun(source, d_->startSizeOf(source));
    if (!fresh) {
        refuse(OpenFailure::Failed);
        return;
    }
    d_->opening = std::make_unique<Opening>();
    d_->opening->run = std::move(fresh);
    d_->opening->index = index;
    d_->openTimer.start(d_->firstFrameTimeout(source));
    d_->startRun(*d_->opening->run);
}

void GstCaptureDriver::cancelOpen()
{
    if (d_->opening && !d_->opening->parked)
        d_->dropOpening();
}

bool GstCaptureDriver::connectsAtOnce(int index) const
{
    if (index < 0 || index >= int(d_->sources.size()))
        return true; // refused at once
    const Source& source = d_->sources[std::size_t(index)];
    if (d_->opening && d_->opening->ready && d_->opening->run &&
        d_->matches(*d_->opening->run, source))
        return true;
    // The built-in sources draw their first picture at once; a camera or an
    // address may keep the program waiting for it.
    return source.kind == SourceKind::Demo || source.kind == SourceKind::TestPattern ||
           !d_->sourcePresent(source);
}

bool GstCaptureDriver::createSession(int width, int height)
{
    if (d_->session)
        return false; // one capture window for the whole program
    d_->session = true;
    d_->viewSize = QSize(width, height);
    d_->params = CaptureParams{};
    d_->audio = WaveFormat{};
    return true;
}

void GstCaptureDriver::destroySession()
{
    disconnectDriver();
    d_->session = false;
}

bool GstCaptureDriver::hasSession() const
{
    return d_->session;
}

void GstCaptureDriver::setSessionGeometry(int width, int height)
{
    d_->viewSize = QSize(width, height);
    d_->applyZoom(QSize(d_->format.header.width, d_->format.header.height));
}

bool GstCaptureDriver::connectDriver(int index)
{
    if (!d_->session)
        return false;
    if (!d_->probed)
        d_->probe();
    if (index < 0 || index >= int(d_->sources.size())) {
        setLastOpenResult(OpenResult{index, OpenFailure::Absent, {}});
        return false;
    }
    const Source& source = d_->sources[std::size_t(index)];
    // A camera opened ahead for this source is taken; any other is let go.
    std::unique_ptr<Opening> ahead;
    if (d_->opening && d_->opening->run && d_->matches(*d_->opening->run, source)) {
        ahead = std::move(d_->opening);
        d_->openTimer.stop();
    }
    disconnectDriver();
    std::unique_ptr<Run> taken;
    OpenResult why{index, OpenFailure::Absent, {}};
    if (ahead) {
        const bool ready =
            ahead->ready || ahead->run->stream->waitFirst(d_->firstFrameTimeout(source));
        if (ready) {
            taken = std::move(ahead->run);
        } else {
            const auto [failure, text] = ahead->run->stream->failureSeen();
            why = OpenResult{index, failure, text};
            d_->retire(std::move(ahead->run));
        }
    } else if (d_->sourcePresent(source)) {
        d_->dropOpening();
        taken = d_->openNow(source, d_->startSizeOf(source), &why);
        why.index = index;
    }
    if (!taken) {
        setLastOpenResult(why);
        return false;
    }
    setLastOpenResult(OpenResult{index, OpenFailure::None, {}});
    d_->adopt(std::move(taken), index);
    return true;
}

void GstCaptureDriver::disconnectDriver()
{
    d_->pump.stop();
    d_->pace.stop();
    if (d_->run) {
        if (!d_->streamDead && d_->run->pipeline)
            d_->park(std::move(d_->run), d_->connected);
        else
            d_->retire(std::move(d_->run));
    }
    d_->connected = -1;
    d_->preview = false;
    d_->grabbed = QImage();
}

DriverCaps GstCaptureDriver::capabilities() const
{
    DriverCaps caps;
    if (d_->connected < 0)
        return caps;
    const Source& source = d_->sources[std::size_t(d_->connected)];
    caps.deviceIndex = std::uint32_t(d_->connected);
    caps.captureInitialized = 1;
    caps.hasDlgVideoFormat = 1;
    caps.hasDlgVideoSource =
        source.kind == SourceKind::Demo ||
        (d_->run && d_->run->sourceElement && HasColourBalance(d_->run->sourceElement));
    return caps;
}

std::optional<CaptureParams> GstCaptureDriver::captureParams() const
{
    if (!d_->session)
        return std::nullopt;
    return d_->params;
}

bool GstCaptureDriver::setCaptureParams(const CaptureParams& params)
{
    if (!d_->session)
        return false;
    d_->params = params;
    if (Stream* s = d_->stream())
        s->demoFps = DemoFps(params);
    return true;
}

int GstCaptureDriver::videoFormatSize() const
{
    return d_->connected < 0 ? 0 : d_->format.byteSize();
}

std::optional<VideoFormat> GstCaptureDriver::videoFormat() const
{
    if (d_->connected < 0)
        return std::nullopt;
    return d_->format;
}

bool GstCaptureDriver::setVideoFormat(const VideoFormat& format)
{
    if (d_->connected < 0 || d_->streamDead || !d_->run)
        return false;
    const BitmapInfoHeader& h = format.header;
    const QSize size(h.width, h.height);
    const Source& source = d_->sources[std::size_t(d_->connected)];
    // Frames are always uncompressed RGB; a request for anything else, or for
    // a size the source does not offer, is refused rather than half applied.
    if (h.size != BitmapInfoHeader::kSize || h.planes != 1 || h.compression != 0 ||
        (h.bitCount != 24 && h.bitCount != 32) || !source.sizes.contains(size))
        return false;
    const QSize current(d_->format.header.width, d_->format.header.height);
    if (size != current) {
        if (CameraModes::ModeFor(source.modes, size) == d_->run->mode) {
            if (!d_->applySize(size)) {
                d_->applySize(current); // put the running size back
                return false;
            }
        } else {
            // Another mode: the source is reopened, and on failure reopened as it was.
            // A local device opens once at a time: the old pipeline stops first.
            const int index = d_->connected;
            d_->pump.stop();
            d_->pace.stop();
            d_->retirePipeline(*d_->run);
            std::unique_ptr<Run> reopened = d_->openNow(source, size);
            const bool ok = reopened != nullptr;
            if (!reopened)
                reopened = d_->openNow(source, current);
            if (reopened)
                d_->adopt(std::move(reopened), index);
            else // nothing runs any more: the window hears of a lost camera
                d_->queueFailure(kErrorStream, QStringLiteral("the camera could not be reopened"));
            if (!ok)
                return false;
        }
    }
    VideoFormat accepted = RgbFormat(size, h.bitCount);
    accepted.header.xPelsPerMeter = h.xPelsPerMeter;
    accepted.header.yPelsPerMeter = h.yPelsPerMeter;
    d_->format = accepted;
    d_->run->format = accepted;
    d_->keptFormats[source.name] = accepted;
    return true;
}

std::optional<WaveFormat> GstCaptureDriver::audioFormat() const
{
    if (!d_->session)
        return std::nullopt;
    return d_->audio;
}

void GstCaptureDriver::setAudioFormat(const WaveFormat& format)
{
    if (d_->session)
        d_->audio = format;
}

void GstCaptureDriver::setPreviewRate(int milliseconds)
{
    d_->previewRate = std::max(1, milliseconds);
    if (d_->pump.isActive())
        d_->startPump();
}

void GstCaptureDriver::setPreview(bool on)
{
    d_->preview = on && d_->connected >= 0;
    if (d_->pump.isActive())
        d_->startPump();
}

void GstCaptureDriver::setViewShown(bool shown)
{
    if (d_->viewShown == shown)
        return;
    d_->viewShown = shown;
    if (d_->pump.isActive()) {
        d_->startPump();
        if (shown) {
            // The newest frame at once, not at the next one; pictures went
            // unused meanwhile, so a fresh one follows right away.
            d_->run->stream->gate.Open(1);
            d_->deliveredSequence = 0;
            d_->pumpTick();
        }
    }
}

void GstCaptureDriver::setOverlay(bool)
{
    // No overlay hardware: the capability says so and the request is ignored.
}

void GstCaptureDriver::setScale(bool stretch)
{
    d_->stretch = stretch;
    d_->applyZoom(QSize(d_->format.header.width, d_->format.header.height));
}

void GstCaptureDriver::setVideoWindow(quintptr window)
{
    d_->videoWindow = window;
    // Pipelines built for the window draw into it as it is now.
    for (Run* r : {d_->run.get(), d_->opening ? d_->opening->run.get() : nullptr})
        if (r && r->view && window)
            gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(r->view), window);
}

void GstCaptureDriver::setVideoWindowSize(int width, int height)
{
    d_->videoWindowSize = QSize(width, height);
    d_->applyZoom(QSize(d_->format.header.width, d_->format.header.height));
}

bool GstCaptureDriver::drawsPreview() const
{
    return d_->run && d_->run->view && d_->connected >= 0 && !d_->streamDead;
}

bool GstCaptureDriver::scale() const
{
    return d_->stretch;
}

GstCaptureDriver::PictureCounts GstCaptureDriver::pictureCounts() const
{
    Stream* s = d_->stream();
    if (!s)
        return {};
    PictureCounts counts;
    counts.sent = s->gate.Seen();
    counts.grabs = d_->grabs;
    const std::lock_guard lock(s->mutex);
    counts.converted = s->sequence;
    return counts;
}

QImage GstCaptureDriver::currentFrame() const
{
    Stream* s = d_->stream();
    if (!s)
        return {};
    const std::lock_guard lock(s->mutex);
    return s->latest;
}

void GstCaptureDriver::grabFrameNoStop()
{
    Stream* s = d_->stream();
    if (!s || d_->streamDead) {
        d_->grabbed = QImage();
        return;
    }
    // Never a wait here: the gate has the newest picture ready on the
    // scan's beat, and every picture until the beat is known.
    s->gate.NoteGrab(SteadyNowNs());
    ++d_->grabs;
    d_->grabbed = currentFrame();
}

bool GstCaptureDriver::saveFrame(const QString& path)
{
    if (d_->connected < 0 || d_->grabbed.isNull() || path.size() > kMaxPathLength)
        return false;
    return BmpFile::WriteScratch(d_->grabbed, path, nullptr, d_->format.header.bitCount);
}

void GstCaptureDriver::showFormatDialog(QWidget* parent)
{
    if (d_->connected < 0)
        return;
    const QSize current(d_->format.header.width, d_->format.header.height);
    TDlgVideoFormat dialog(d_->sources[std::size_t(d_->connected)].sizes, current,
                           d_->format.header.bitCount, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    VideoFormat wanted = d_->format;
    wanted.header.width = dialog.chosenSize().width();
    wanted.header.height = dialog.chosenSize().height();
    wanted.header.bitCount = dialog.chosenBitCount();
    if (!setVideoFormat(wanted))
        dialog.reportRefused();
}

void GstCaptureDriver::showSourceDialog(QWidget* parent)
{
    if (d_->connected < 0 || !capabilities().hasDlgVideoSource)
        return;
    if (d_->sources[std::size_t(d_->connected)].kind == SourceKind::Demo) {
        TDlgVideoSource dialog(*d_->scene, parent,
                               [this](int seconds) { unplugDemo(seconds * 1000); });
        dialog.exec();
    } else if (d_->run && d_->run->sourceElement) {
        TDlgVideoSource dialog(d_->run->sourceElement, parent);
        dialog.exec();
    }
}

void GstCaptureDriver::showDisplayDialog(QWidget*)
{
    // No display dialog: the capability is absent.
}
