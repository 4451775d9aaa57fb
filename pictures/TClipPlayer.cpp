#include "TClipPlayer.h"

#include "GstHandles.h"

#include <QFile>
#include <QMetaObject>
#include <QScopeGuard>
#include <QTimer>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <mutex>
#include <utility>

namespace {

// Generous: opening a decoder on a busy machine takes its time, and a clip
// that is merely slow must not be called broken.
constexpr int kFirstFrameTimeoutMs = 10000;

// How long a state change may take to finish before the next is asked for;
// one that takes longer is left to the first frame's timeout.
constexpr GstClockTime kSettleTimeout = 3 * GST_SECOND;

const QString kCannotPlay = QStringLiteral("The video clip cannot be played.");
const QString kNoPicture = QStringLiteral("The video clip shows no picture.");

GstRef<GstElement> MakeElement(const char* factory)
{
    GstElement* element = gst_element_factory_make(factory, nullptr);
    if (element)
        gst_object_ref_sink(element);
    return GstRef<GstElement>(element);
}

// Streaming thread: the frame is copied out, as the buffer goes back to the
// decoder's pool once the sample is let go.
QImage CopyFrame(GstSample* sample)
{
    GstCaps* caps = gst_sample_get_caps(sample);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstVideoInfo info;
    if (!caps || !buffer || !gst_video_info_from_caps(&info, caps))
        return {};
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ))
        return {};
    const auto unmap = qScopeGuard([&] { gst_video_frame_unmap(&frame); });
    const QImage view(static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)),
                      GST_VIDEO_FRAME_WIDTH(&frame), GST_VIDEO_FRAME_HEIGHT(&frame),
                      GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0), QImage::Format_RGB32);
    return view.copy();
}

// Streaming thread: only the clip's video stream goes on (to the decoder,
// then to the converter); a sound track is left unlinked.
void OnPadAdded(GstElement*, GstPad* pad, gpointer next)
{
    GstRef<GstPad> sink(gst_element_get_static_pad(GST_ELEMENT(next), "sink"));
    if (!sink || gst_pad_is_linked(sink.get()))
        return;
    GstCapsRef caps(gst_pad_get_current_caps(pad));
    if (!caps)
        caps.reset(gst_pad_query_caps(pad, nullptr));
    if (!caps || gst_caps_get_size(caps.get()) == 0)
        return;
    const char* media = gst_structure_get_name(gst_caps_get_structure(caps.get(), 0));
    if (g_str_has_prefix(media, "video/"))
        gst_pad_link(pad, sink.get());
}

} // namespace

// What GStreamer's threads share with the player for one playing of a clip.
// A report reaches the player only while the player holds this run: letting
// it go clears the owner under the lock, so nothing is posted to a player
// that has moved on or is gone, and reports already queued are told apart
// by the generation.
struct TClipPlayer::TRun
{
    TRun(TClipPlayer* player, std::uint64_t id) : owner(player), generation(id) {}

    // Any thread: queues `report` to the player's thread.
    template <typename F> void Post(F report)
    {
        const std::lock_guard guard(lock);
        if (owner)
            QMetaObject::invokeMethod(
                owner, [player = owner, report] { report(player); }, Qt::QueuedConnection);
    }
    void PostFailure(const QString& reason)
    {
        Post([id = generation, reason](TClipPlayer* p) { p->RunFailed(id, reason); });
    }

    // Streaming thread: only the newest frame is kept and one wake-up is
    // queued for it, so a busy GUI thread skips frames instead of piling
    // them up.
    void Deliver(QImage frame)
    {
        if (frame.isNull())
            return;
        const std::lock_guard guard(lock);
        latest = std::move(frame);
        if (!owner || pending)
            return;
        pending = true;
        QMetaObject::invokeMethod(
            owner, [player = owner, id = generation] { player->TakeFrame(id); },
            Qt::QueuedConnection);
    }
    QImage Take()
    {
        const std::lock_guard guard(lock);
        pending = false;
        return std::exchange(latest, QImage());
    }
    void Disown()
    {
        const std::lock_guard guard(lock);
        owner = nullptr;
    }

    static GstElement* Build(const QString& file, const std::shared_ptr<TRun>& run);
    static void Forget(gpointer held) { delete static_cast<std::shared_ptr<TRun>*>(held); }
    static TRun& Of(gpointer held) { return **static_cast<std::shared_ptr<TRun>*>(held); }

    // Streaming threads.
    static GstFlowReturn OnSample(GstAppSink* sink, gpointer held)
    {
        const GstSampleRef sample(gst_app_sink_pull_sample(sink));
        if (sample)
            Of(held).Deliver(CopyFrame(sample.get()));
        return GST_FLOW_OK;
    }
    // The first frame shows before the clock starts, and again after a rewind.
    static GstFlowReturn OnPreroll(GstAppSink* sink, gpointer held)
    {
        const GstSampleRef sample(gst_app_sink_pull_preroll(sink));
        if (sample)
            Of(held).Deliver(CopyFrame(sample.get()));
        return GST_FLOW_OK;
    }
    // Any thread that posts on the bus; the message is only read here.
    static GstBusSyncReply OnBus(GstBus*, GstMessage* message, gpointer held)
    {
        TRun& run = Of(held);
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS:
            run.Post([id = run.generation](TClipPlayer* p) { p->RunEnded(id); });
            break;
        case GST_MESSAGE_ERROR: {
            GError* raw = nullptr;
            gst_message_parse_error(message, &raw, nullptr);
            const GErrorRef error(raw);
            run.PostFailure(error && error->message ? QString::fromUtf8(error->message)
                                                    : kCannotPlay);
            break;
        }
        default:
            break;
        }
        return GST_BUS_DROP;
    }

    std::mutex lock;
    TClipPlayer* owner;   // guarded by lock
    QImage latest;        // guarded by lock
    bool pending = false; // guarded by lock
    const std::uint64_t generation;
};

// file -> MP4 reader -> decoder -> 32-bit pixels -> a sink paced by the
// pipeline's clock. The reader stands on its own, outside the decoder's
// automatic plugging, so that a damaged file's error reaches the bus: tried
// inside it, the reader's failure is kept quiet and the clip just stalls.
// Null when an element is missing (a plug-in not installed).
GstElement* TClipPlayer::TRun::Build(const QString& file, const std::shared_ptr<TRun>& run)
{
    GstRef<GstElement> pipe(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new("clip"))));
    const GstRef<GstElement> source = MakeElement("filesrc");
    const GstRef<GstElement> demux = MakeElement("qtdemux");
    const GstRef<GstElement> decode = MakeElement("decodebin");
    const GstRef<GstElement> convert = MakeElement("videoconvert");
    const GstRef<GstElement> filter = MakeElement("capsfilter");
    const GstRef<GstElement> sink = MakeElement("appsink");
    if (!source || !demux || !decode || !convert || !filter || !sink)
        return nullptr;
    g_object_set(source.get(), "location", QFile::encodeName(file).constData(), nullptr);
    const GstCapsRef caps(
        gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, kRgb32VideoFormat, nullptr));
    g_object_set(filter.get(), "caps", caps.get(), nullptr);
    g_object_set(sink.get(), "sync", TRUE, "max-buffers", 1u, "drop", TRUE, "enable-last-sample",
                 FALSE, nullptr);
    gst_bin_add_many(GST_BIN(pipe.get()), source.get(), demux.get(), decode.get(), convert.get(),
                     filter.get(), sink.get(), nullptr);
    if (!gst_element_link(source.get(), demux.get()) ||
        !gst_element_link_many(convert.get(), filter.get(), sink.get(), nullptr))
        return nullptr;
    g_signal_connect(demux.get(), "pad-added", G_CALLBACK(OnPadAdded), decode.get());
    g_signal_connect(decode.get(), "pad-added", G_CALLBACK(OnPadAdded), convert.get());

    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &TRun::OnSample;
    callbacks.new_preroll = &TRun::OnPreroll;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink.get()), &callbacks, new std::shared_ptr<TRun>(run),
                               &TRun::Forget);
    const GstRef<GstBus> bus(gst_element_get_bus(pipe.get()));
    gst_bus_set_sync_handler(bus.get(), &TRun::OnBus, new std::shared_ptr<TRun>(run),
                             &TRun::Forget);
    return pipe.release();
}

// Runs on a worker: stopping may wait for the streaming threads to finish.
void TClipPlayer::TGstUnref::operator()(GstElement* pipeline) const
{
    const GstRef<GstBus> bus(gst_element_get_bus(pipeline));
    gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
}

TClipPlayer::TClipPlayer(QObject* parent) : QObject(parent)
{
    gst_init(nullptr, nullptr);
    workers_.setMaxThreadCount(1);
    firstFrame_ = new QTimer(this);
    firstFrame_->setSingleShot(true);
    firstFrame_->setInterval(kFirstFrameTimeoutMs);
    connect(firstFrame_, &QTimer::timeout, this, [this] {
        if (run_ && !framed_)
            RunFailed(run_->generation, kNoPicture);
    });
}

TClipPlayer::~TClipPlayer()
{
    Release();
    workers_.waitForDone();
}

void TClipPlayer::SetFirstFrameTimeout(int ms)
{
    firstFrame_->setInterval(ms);
}

void TClipPlayer::Play(const QString& file)
{
    Release();
    file_ = file;
    framed_ = false;
    run_ = std::make_shared<TRun>(this, ++generation_);
    pipeline_.reset(TRun::Build(file, run_));
    state_ = TState::Playing;
    emit Started();
    if (!pipeline_) {
        // Said after Started, as every other failure is.
        run_->PostFailure(kCannotPlay);
        return;
    }
    firstFrame_->start();
    Drive(true, false);
}

void TClipPlayer::Resume()
{
    switch (state_) {
    case TState::Playing:
        return;
    case TState::Stopped:
        if (!file_.isEmpty())
            Play(file_);
        return;
    case TState::Paused:
        Drive(true, false);
        break;
    case TState::Ended:
        Drive(true, true);
        break;
    }
    state_ = TState::Playing;
    emit Started();
}

void TClipPlayer::Pause()
{
    if (state_ != TState::Playing)
        return;
    Drive(false, false);
    state_ = TState::Paused;
    emit Paused();
}

void TClipPlayer::Stop()
{
    if (state_ == TState::Stopped)
        return;
    Release();
    state_ = TState::Stopped;
    emit Stopped();
}

void TClipPlayer::Drive(bool play, bool rewind)
{
    if (!pipeline_ || !run_)
        return;
    // The worker holds its own reference: the player may let the pipeline
    // go before this runs.
    GstElement* pipe = GST_ELEMENT(gst_object_ref(pipeline_.get()));
    workers_.start([pipe, run = run_, play, rewind] {
        // Each change is seen through before the next (the worker takes them
        // one at a time): one asked for while another is under way, a pause
        // while the clip still opens, can leave the pipeline stuck short of
        // its target. So the clip is paused on its first frame, rewound
        // there, and only then played.
        const auto settle = [pipe] {
            return gst_element_get_state(pipe, nullptr, nullptr, kSettleTimeout) !=
                   GST_STATE_CHANGE_FAILURE;
        };
        bool ok =
            gst_element_set_state(pipe, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE && settle();
        if (ok && rewind)
            ok = gst_element_seek_simple(pipe, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, 0) && settle();
        // Not waited for: a pause that follows is a step down, taken at once.
        if (ok && play)
            ok = gst_element_set_state(pipe, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
        if (!ok)
            run->PostFailure(kCannotPlay); // after the bus told why, when it could
        gst_object_unref(pipe);
    });
}

void TClipPlayer::Release()
{
    firstFrame_->stop();
    if (run_) {
        run_->Disown();
        run_.reset();
    }
    if (pipeline_) {
        // The task owns the pipeline from here and lets it go on the worker.
        GstElement* last = pipeline_.release();
        workers_.start([last] { TGstUnref()(last); });
    }
}

void TClipPlayer::TakeFrame(std::uint64_t run)
{
    if (!run_ || run_->generation != run)
        return;
    const QImage frame = run_->Take();
    // Paused, nothing moves on the screen, however late the pipeline itself
    // (changed on a worker) follows.
    if (frame.isNull() || state_ == TState::Paused)
        return;
    framed_ = true;
    firstFrame_->stop();
    emit FrameReady(frame);
}

void TClipPlayer::RunEnded(std::uint64_t run)
{
    if (!run_ || run_->generation != run)
        return;
    // A pause just before the end does not hold the end back.
    if (state_ != TState::Playing && state_ != TState::Paused)
        return;
    state_ = TState::Ended;
    emit Ended();
}

void TClipPlayer::RunFailed(std::uint64_t run, const QString& reason)
{
    if (!run_ || run_->generation != run)
        return;
    Release();
    state_ = TState::Stopped;
    emit Failed(reason);
}
