#pragma once

#include <gst/gst.h>

#include <QtGlobal>

#include <memory>

// Owners of the GStreamer and GLib references the program holds: each lets
// its reference go when it goes.
struct GstObjectUnref
{
    void operator()(gpointer object) const { gst_object_unref(object); }
};
template <typename T> using GstRef = std::unique_ptr<T, GstObjectUnref>;

struct GstCapsUnref
{
    void operator()(GstCaps* caps) const { gst_caps_unref(caps); }
};
using GstCapsRef = std::unique_ptr<GstCaps, GstCapsUnref>;

struct GstBufferUnref
{
    void operator()(GstBuffer* buffer) const { gst_buffer_unref(buffer); }
};
using GstBufferRef = std::unique_ptr<GstBuffer, GstBufferUnref>;

struct GstSampleUnref
{
    void operator()(GstSample* sample) const { gst_sample_unref(sample); }
};
using GstSampleRef = std::unique_ptr<GstSample, GstSampleUnref>;

struct GErrorFree
{
    void operator()(GError* e) const { g_error_free(e); }
};
using GErrorRef = std::unique_ptr<GError, GErrorFree>;

struct GFree
{
    void operator()(gpointer p) const { g_free(p); }
};
using GCharRef = std::unique_ptr<gchar, GFree>;

// The GStreamer name of the layout of a QImage of 32-bit pixels
// (QImage::Format_RGB32), blue first in memory on this byte order: frames in
// it pass between the two without a conversion.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char* kRgb32VideoFormat = "BGRx";
#else
constexpr const char* kRgb32VideoFormat = "xRGB";
#endif
