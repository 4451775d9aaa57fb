#include "GstSoundOutput.h"

#include "WavInfo.h"

#include <QElapsedTimer>
#include <QFile>

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <memory>

namespace {

struct GstObjectDeleter
{
    void operator()(gpointer object) const { gst_object_unref(object); }
};
using GstElementPtr = std::unique_ptr<GstElement, GstObjectDeleter>;
using GstBusPtr = std::unique_ptr<GstBus, GstObjectDeleter>;

// Only the header is needed to know how long a file plays.
constexpr qint64 kHeaderBytes = 64 * 1024;
constexpr int kBusPollMs = 20;

qint64 fileDurationMs(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return WavInfo::Parse(file.read(kHeaderBytes), file.size()).DurationMs();
}

GstElementPtr makePipeline(bool fromMemory)
{
    GError* error = nullptr;
    const char* description =
        fromMemory ? "appsrc name=src ! wavparse ! audioconvert ! audioresample ! autoaudiosink"
                   : "filesrc name=src ! wavparse ! audioconvert ! audioresample ! autoaudiosink";
    GstElement* pipeline = gst_parse_launch(description, &error);
    if (error) {
        g_error_free(error);
        if (pipeline)
            gst_object_unref(pipeline);
        return {};
    }
    return GstElementPtr(pipeline);
}

} // namespace

GstSoundOutput::GstSoundOutput()
{
    gst_init(nullptr, nullptr);
}

GstSoundOutput::~GstSoundOutput()
{
    Stop();
}

void GstSoundOutput::PlayFile(const QString& path, bool loop)
{
    Start(Source{path, {}, fileDurationMs(path)}, loop);
}

void GstSoundOutput::PlayMemory(const QByteArray& wav, bool loop)
{
    Start(Source{{}, wav, WavInfo::Parse(wav).DurationMs()}, loop);
}

// Any thread may stop the sound: the sound thread after its wait, the main
// thread when it tears the run down.
void GstSoundOutput::Stop()
{
    std::thread looper;
    {
        const std::lock_guard guard(mutex_);
        stopping_ = true;
        looper = std::move(looper_);
    }
    wake_.notify_all();
    if (looper.joinable())
        looper.join();
}

void GstSoundOutput::Start(Source source, bool loop)
{
    Stop();
    {
        const std::lock_guard guard(mutex_);
        stopping_ = false;
    }
    if (!loop) {
        PlayOnce(source);
        return;
    }
    // Runs until Stop; it owns its copy of the source.
    const std::lock_guard guard(mutex_);
    looper_ = std::thread([this, source = std::move(source)] {
        while (PlayOnce(source)) {
            // An empty or broken sound must not spin the looper.
            if (source.durationMs <= 0 && !WaitStopFor(500))
                break;
        }
    });
}

bool GstSoundOutput::WaitStopFor(qint64 ms)
{
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_; });
}

// Runs on the sound thread (single play) or the looper (loop play).
bool GstSoundOutput::PlayOnce(const Source& source)
{
    QElapsedTimer elapsed;
    elapsed.start();

    GstElementPtr pipeline = makePipeline(source.path.isEmpty());
    if (pipeline) {
        GstElementPtr src(gst_bin_get_by_name(GST_BIN(pipeline.get()), "src"));
        if (source.path.isEmpty()) {
            // The buffer borrows the image's bytes; the image outlives the pipeline.
            GstBuffer* buffer = gst_buffer_new_wrapped_full(
                GST_MEMORY_FLAG_READONLY, const_cast<char*>(source.image.constData()),
                source.image.size(), 0, source.image.size(), nullptr, nullptr);
            gst_app_src_push_buffer(GST_APP_SRC(src.get()), buffer);
            gst_app_src_end_of_stream(GST_APP_SRC(src.get()));
        } else {
            g_object_set(src.get(), "location", source.path.toLocal8Bit().constData(), nullptr);
        }

        if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE) {
            GstBusPtr bus(gst_element_get_bus(pipeline.get()));
            for (;;) {
                {
                    const std::lock_guard guard(mutex_);
                    if (stopping_)
                        break;
                }
                GstMessage* message = gst_bus_timed_pop_filtered(
                    bus.get(), kBusPollMs * GST_MSECOND,
                    static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
                if (message) {
                    // The end of the stream or an audio device that failed: the
                    // rest of the sound's time is kept below.
                    gst_message_unref(message);
                    break;
                }
            }
        }
        gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    }
    return WaitStopFor(source.durationMs - elapsed.elapsed());
}
