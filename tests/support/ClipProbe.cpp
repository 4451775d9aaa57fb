#include "ClipProbe.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <QFile>

namespace {

QImage ImageOf(GstSample* sample)
{
    GstVideoInfo info;
    if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample)))
        return {};
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
        return {};
    const QImage image =
        QImage(map.data, info.width, info.height, info.stride[0], QImage::Format_RGB32).copy();
    gst_buffer_unmap(buffer, &map);
    return image;
}

} // namespace

ClipFacts ProbeClip(const QString& path)
{
    ClipFacts facts;
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(
        "filesrc name=file ! qtdemux name=demux ! h264parse name=parse ! avdec_h264 ! "
        "videoconvert ! video/x-raw,format=BGRx ! appsink name=sink sync=false",
        &error);
    if (!pipeline) {
        facts.error = QString::fromUtf8(error ? error->message : "no pipeline");
        if (error)
            g_error_free(error);
        return facts;
    }
    GstElement* file = gst_bin_get_by_name(GST_BIN(pipeline), "file");
    g_object_set(file, "location", QFile::encodeName(path).constData(), nullptr);
    gst_object_unref(file);
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    while (GstSample* sample = gst_app_sink_pull_sample(GST_APP_SINK(sink))) {
        const GstClockTime pts = GST_BUFFER_PTS(gst_sample_get_buffer(sample));
        const qint64 ms = GST_CLOCK_TIME_IS_VALID(pts) ? qint64(pts / GST_MSECOND) : -1;
        if (facts.frames == 0) {
            facts.firstPtsMs = ms;
            facts.firstFrame = ImageOf(sample);
        }
        facts.lastPtsMs = ms;
        ++facts.frames;
        facts.lastFrame = ImageOf(sample);
        gst_sample_unref(sample);
    }
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
    if (message) {
        GError* e = nullptr;
        gst_message_parse_error(message, &e, nullptr);
        facts.error = QString::fromUtf8(e ? e->message : "error");
        if (e)
            g_error_free(e);
        gst_message_unref(message);
    }
    gst_object_unref(bus);
    gint64 duration = -1;
    if (gst_element_query_duration(pipeline, GST_FORMAT_TIME, &duration) && duration >= 0)
        facts.durationMs = duration / gint64(GST_MSECOND);
    GstElement* parse = gst_bin_get_by_name(GST_BIN(pipeline), "parse");
    if (GstPad* pad = gst_element_get_static_pad(parse, "sink")) {
        if (GstCaps* caps = gst_pad_get_current_caps(pad)) {
            const GstStructure* s = gst_caps_get_structure(caps, 0);
            facts.codec = QString::fromUtf8(gst_structure_get_name(s));
            gst_structure_get_int(s, "width", &facts.width);
            gst_structure_get_int(s, "height", &facts.height);
            gst_caps_unref(caps);
        }
        gst_object_unref(pad);
    }
    gst_object_unref(parse);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(sink);
    gst_object_unref(pipeline);
    facts.playable = facts.error.isEmpty() && facts.frames > 0;
    return facts;
}
