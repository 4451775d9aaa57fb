#include "TestClip.h"

#include <QFile>

#include <gst/gst.h>

#include <memory>

namespace {

struct GstObjectUnref
{
    void operator()(gpointer object) const { gst_object_unref(object); }
};
template <typename T> using GstRef = std::unique_ptr<T, GstObjectUnref>;

struct GstMessageUnref
{
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};

constexpr GstClockTime kWriteTimeout = 30 * GST_SECOND;

} // namespace

QString MakeTestClip(const QString& path, int frames)
{
    gst_init(nullptr, nullptr);
    const QByteArray description =
        "videotestsrc num-buffers=" + QByteArray::number(frames) +
        " ! video/x-raw,width=176,height=144,framerate=15/1 ! x264enc ! h264parse ! mp4mux"
        " ! filesink name=out";
    GError* error = nullptr;
    GstElement* made = gst_parse_launch(description.constData(), &error);
    // The description is taken as floating; sinking it makes it ours.
    GstRef<GstElement> pipe(made ? GST_ELEMENT(gst_object_ref_sink(made)) : nullptr);
    if (error || !pipe) {
        const QString why =
            error ? QString::fromUtf8(error->message) : QStringLiteral("no pipeline");
        if (error)
            g_error_free(error);
        return why;
    }
    const GstRef<GstElement> out(gst_bin_get_by_name(GST_BIN(pipe.get()), "out"));
    g_object_set(out.get(), "location", QFile::encodeName(path).constData(), nullptr);
    gst_element_set_state(pipe.get(), GST_STATE_PLAYING);
    const GstRef<GstBus> bus(gst_element_get_bus(pipe.get()));
    const std::unique_ptr<GstMessage, GstMessageUnref> end(gst_bus_timed_pop_filtered(
        bus.get(), kWriteTimeout, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    gst_element_set_state(pipe.get(), GST_STATE_NULL);
    if (!end)
        return QStringLiteral("the clip was not written in time");
    if (GST_MESSAGE_TYPE(end.get()) == GST_MESSAGE_ERROR)
        return QStringLiteral("the clip could not be written");
    return {};
}
