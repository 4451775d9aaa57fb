#include "TClipWriter.h"

#include "ClipFile.h"

#include <gst/app/gstappsrc.h>

#include <QFile>
#include <QFileInfo>

#include <chrono>

#include <unistd.h>

namespace {

// What waits to be encoded may grow to this while the encoder catches up
// with a burst (the seconds from before the first detection come at once);
// past it, new pictures are dropped rather than memory taken.
constexpr guint64 kQueuedPictureBytes = 96ull * 1024 * 1024;
constexpr guint64 kQueuedStreamBytes = 32ull * 1024 * 1024;
// One fragment a second: an interruption loses at most the last second.
constexpr int kFragmentMs = 1000;

// Sets `name` on `element` when the element has it (older plug-ins lack some).
template <typename T> void SetIfPresent(GstElement* element, const char* name, T value)
{
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(element), name))
        g_object_set(element, name, value, nullptr);
}

void ReleaseImage(gpointer image)
{
    delete static_cast<QImage*>(image);
}

// The file's data reaches the disk before it takes the clip's name, so a
// power cut never leaves a named clip that is empty.
void SyncFile(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        ::fsync(file.handle());
}

} // namespace

TClipWriter::TClipWriter(const QString& clipPath, QSize size)
    : clipPath_(clipPath), tempPath_(ClipTempName(clipPath)), size_(size)
{}

TClipWriter::~TClipWriter()
{
    if (!pipeline_)
        return;
    gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
    pipeline_.reset();
    RecoverClip(tempPath_);
}

std::unique_ptr<TClipWriter> TClipWriter::ForPictures(QSize size, int fps, const QString& clipPath,
                                                      QString* why)
{
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    std::unique_ptr<TClipWriter> writer(new TClipWriter(clipPath, size));
    // Fast and light: one thread, no look-ahead, a key frame every two seconds.
    const QByteArray description =
        QByteArrayLiteral("appsrc name=src ! videoconvert ! video/x-raw,format=I420 ! "
                          "x264enc name=enc ! h264parse ! mp4mux name=mux ! filesink name=file");
    GstCapsRef caps(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, kRgb32VideoFormat,
                                        "width", G_TYPE_INT, size.width(), "height", G_TYPE_INT,
                                        size.height(), "framerate", GST_TYPE_FRACTION, fps, 1,
                                        "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr));
    if (!writer->Start(description, caps.get(), why))
        return nullptr;
    return writer;
}

std::unique_ptr<TClipWriter> TClipWriter::ForH264(GstCaps* caps, const QString& clipPath,
                                                  QString* why)
{
    const GstStructure* s = gst_caps_get_structure(caps, 0);
    int width = 0;
    int height = 0;
    gst_structure_get_int(s, "width", &width);
    gst_structure_get_int(s, "height", &height);
    std::unique_ptr<TClipWriter> writer(new TClipWriter(clipPath, QSize(width, height)));
    writer->streamCaps_.reset(gst_caps_ref(caps));
    // Units already in the container's own form (length-prefixed, one
    // picture each, with the stream's headers in the caps) go straight in;
    // any other form is put in it first.
    const gchar* form = gst_structure_get_string(s, "stream-format");
    const gchar* alignment = gst_structure_get_string(s, "alignment");
    const bool packed = g_strcmp0(form, "avc") == 0 && g_strcmp0(alignment, "au") == 0 &&
                        gst_structure_has_field(s, "codec_data");
    const QByteArray description =
        packed ? QByteArrayLiteral(
                     "appsrc name=src ! mux.video_0 mp4mux name=mux ! filesink name=file")
               : QByteArrayLiteral(
                     "appsrc name=src ! h264parse ! mp4mux name=mux ! filesink name=file");
    if (!writer->Start(description, caps, why))
        return nullptr;
    return writer;
}

bool TClipWriter::Start(const QByteArray& description, GstCaps* sourceCaps, QString* why)
{
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    GError* rawError = nullptr;
    GstElement* parsed = gst_parse_launch(description.constData(), &rawError);
    const GErrorRef error(rawError);
    if (!parsed || error) {
        if (parsed)
            gst_object_unref(parsed);
        if (why)
            *why = QStringLiteral("the video encoder is missing (%1)")
                       .arg(error ? QString::fromUtf8(error->message) : QString());
        return false;
    }
    pipeline_.reset(GST_ELEMENT(gst_object_ref_sink(parsed)));
    GstRef<GstElement> src(gst_bin_get_by_name(GST_BIN(pipeline_.get()), "src"));
    GstRef<GstElement> mux(gst_bin_get_by_name(GST_BIN(pipeline_.get()), "mux"));
    GstRef<GstElement> file(gst_bin_get_by_name(GST_BIN(pipeline_.get()), "file"));
    source_ = src.get();
    g_object_set(src.get(), "caps", sourceCaps, "format", GST_FORMAT_TIME, "block", FALSE,
                 "max-bytes", streamCaps_ ? kQueuedStreamBytes : kQueuedPictureBytes, nullptr);
    SetIfPresent(src.get(), "leaky-type", 2 /* downstream: the newest is dropped */);
    g_object_set(mux.get(), "fragment-duration", guint(kFragmentMs), nullptr);
    if (GstRef<GstElement> enc{gst_bin_get_by_name(GST_BIN(pipeline_.get()), "enc")}) {
        SetIfPresent(enc.get(), "speed-preset", 1 /* ultrafast */);
        SetIfPresent(enc.get(), "tune", 4 /* zerolatency */);
        SetIfPresent(enc.get(), "threads", guint(1));
        SetIfPresent(enc.get(), "pass", 5 /* constant quality */);
        SetIfPresent(enc.get(), "quantizer", guint(23));
        SetIfPresent(enc.get(), "key-int-max", guint(30));
    }
    QFile::remove(tempPath_);
    const QByteArray location = QFile::encodeName(tempPath_);
    g_object_set(file.get(), "location", location.constData(), nullptr);

    GstRef<GstBus> bus(gst_element_get_bus(pipeline_.get()));
    gst_bus_set_sync_handler(bus.get(), &TClipWriter::OnBusMessage, this, nullptr);
    return true;
}

void TClipWriter::Begin()
{
    if (!pipeline_ ||
        gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE)
        return;
    // The bus has said why, when an element said anything; Finish ends it.
    bool first = false;
    {
        const std::lock_guard lock(mutex_);
        if (error_.isEmpty())
            error_ = QStringLiteral("the clip could not be started");
        first = !failed_.exchange(true);
    }
    done_.notify_all();
    if (first && onFailure_)
        onFailure_();
}

GstBusSyncReply TClipWriter::OnBusMessage(GstBus*, GstMessage* message, gpointer user)
{
    auto* self = static_cast<TClipWriter*>(user);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS: {
        {
            const std::lock_guard lock(self->mutex_);
            self->ended_ = true;
        }
        self->done_.notify_all();
        break;
    }
    case GST_MESSAGE_ERROR: {
        GError* rawError = nullptr;
        gst_message_parse_error(message, &rawError, nullptr);
        const GErrorRef error(rawError);
        bool first = false;
        {
            const std::lock_guard lock(self->mutex_);
            if (self->error_.isEmpty())
                self->error_ = error ? QString::fromUtf8(error->message) : QString();
            first = !self->failed_.exchange(true);
        }
        self->done_.notify_all();
        if (first && self->onFailure_)
            self->onFailure_();
        break;
    }
    default:
        break;
    }
    return GST_BUS_DROP;
}

bool TClipWriter::PushPicture(const QImage& picture, qint64 tNs)
{
    if (failed_ || !source_ || streamCaps_ || picture.size() != size_)
        return false;
    if (firstNs_ < 0)
        firstNs_ = tNs;
    const qint64 pts = tNs - firstNs_;
    if (pts <= lastPts_)
        return true; // not newer than the last one: nothing to add
    // The picture itself is handed on, not copied; the buffer keeps it.
    auto* held =
        new QImage(picture.bytesPerLine() == picture.width() * 4 ? picture : picture.copy());
    GstBuffer* buffer = gst_buffer_new_wrapped_full(
        GST_MEMORY_FLAG_READONLY, const_cast<uchar*>(held->constBits()), gsize(held->sizeInBytes()),
        0, gsize(held->sizeInBytes()), held, ReleaseImage);
    GST_BUFFER_PTS(buffer) = GstClockTime(pts);
    lastPts_ = pts;
    return gst_app_src_push_buffer(GST_APP_SRC(source_), buffer) == GST_FLOW_OK;
}

bool TClipWriter::PushUnit(GstBuffer* unit, qint64 tNs)
{
    if (failed_ || !source_ || !streamCaps_)
        return false;
    if (firstNs_ < 0)
        firstNs_ = tNs;
    GstBuffer* copy = gst_buffer_copy(unit); // shares the data
    const GstClockTime dts = GST_BUFFER_DTS(unit);
    const GstClockTime pts = GST_BUFFER_PTS(unit);
    const GstClockTime own = GST_CLOCK_TIME_IS_VALID(dts) ? dts : pts;
    if (!GST_CLOCK_TIME_IS_VALID(firstStreamTime_) && GST_CLOCK_TIME_IS_VALID(own))
        firstStreamTime_ = own;
    if (GST_CLOCK_TIME_IS_VALID(firstStreamTime_) && GST_CLOCK_TIME_IS_VALID(own) &&
        own >= firstStreamTime_) {
        // The camera's own timing, from the clip's first unit on.
        GST_BUFFER_DTS(copy) =
            GST_CLOCK_TIME_IS_VALID(dts) ? dts - firstStreamTime_ : GST_CLOCK_TIME_NONE;
        GST_BUFFER_PTS(copy) = GST_CLOCK_TIME_IS_VALID(pts) && pts >= firstStreamTime_
                                   ? pts - firstStreamTime_
                                   : GST_CLOCK_TIME_NONE;
    } else {
        // No timing of its own: when it came.
        GST_BUFFER_PTS(copy) = GST_BUFFER_DTS(copy) = GstClockTime(tNs - firstNs_);
    }
    return gst_app_src_push_buffer(GST_APP_SRC(source_), copy) == GST_FLOW_OK;
}

TClipOutcome TClipWriter::Finish(int timeoutMs)
{
    TClipOutcome outcome;
    if (!pipeline_)
        return outcome;
    gst_app_src_end_of_stream(GST_APP_SRC(source_));
    bool complete = false;
    {
        std::unique_lock lock(mutex_);
        done_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                       [this] { return ended_ || failed_.load(); });
        complete = ended_ && !failed_;
        outcome.why = error_;
    }
    gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
    pipeline_.reset();
    source_ = nullptr;
    if (complete && !QFileInfo::exists(clipPath_)) {
        SyncFile(tempPath_);
        outcome.kept = QFile::rename(tempPath_, clipPath_);
        if (outcome.kept)
            return outcome;
    }
    outcome.failed = true;
    if (outcome.why.isEmpty())
        outcome.why = complete ? QStringLiteral("the clip could not take its name")
                               : QStringLiteral("the clip was not completed in time");
    outcome.kept = RecoverClip(tempPath_);
    return outcome;
}

QStringList TClipWriter::ElementNames() const
{
    QStringList names;
    if (!pipeline_)
        return names;
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(pipeline_.get()));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        auto* element = GST_ELEMENT(g_value_get_object(&item));
        if (GstElementFactory* factory = gst_element_get_factory(element))
            names.append(QString::fromUtf8(GST_OBJECT_NAME(factory)));
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return names;
}
