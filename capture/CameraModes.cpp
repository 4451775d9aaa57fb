#include "CameraModes.h"

#include <gst/gst.h>

#include <algorithm>

namespace {

constexpr int kMaxSide = 16384;

const QList<QSize> kSmallSizes = {QSize(160, 120), QSize(176, 144), QSize(320, 240),
                                  QSize(352, 288)};
const QList<QSize> kCommonSizes = {QSize(160, 120),  QSize(176, 144),  QSize(320, 240),
                                   QSize(352, 288),  QSize(640, 480),  QSize(800, 600),
                                   QSize(1280, 720), QSize(1920, 1080)};

bool AreaLess(const QSize& a, const QSize& b)
{
    const qint64 aa = qint64(a.width()) * a.height();
    const qint64 ab = qint64(b.width()) * b.height();
    return aa != ab ? aa < ab : a.width() < b.width();
}

void Add(QList<QSize>& sizes, QSize s)
{
    if (s.width() > 0 && s.height() > 0 && s.width() <= kMaxSide && s.height() <= kMaxSide &&
        !sizes.contains(s))
        sizes.append(s);
}

// The ints a caps field allows, when it is a fixed int or a list of them.
QList<int> IntsOf(const GValue* v)
{
    QList<int> out;
    if (G_VALUE_HOLDS_INT(v))
        out.append(g_value_get_int(v));
    else if (GST_VALUE_HOLDS_LIST(v))
        for (guint i = 0; i < gst_value_list_get_size(v); ++i)
            if (G_VALUE_HOLDS_INT(gst_value_list_get_value(v, i)))
                out.append(g_value_get_int(gst_value_list_get_value(v, i)));
    return out;
}

bool InRange(const GValue* v, int x)
{
    if (GST_VALUE_HOLDS_INT_RANGE(v))
        return x >= gst_value_get_int_range_min(v) && x <= gst_value_get_int_range_max(v);
    return IntsOf(v).contains(x);
}

} // namespace

QList<QSize> CameraModes::ModesOfCaps(const GstCaps* caps)
{
    QList<QSize> modes;
    if (!caps || gst_caps_is_any(caps))
        return modes;
    for (guint i = 0; i < gst_caps_get_size(caps); ++i) {
        const GstStructure* s = gst_caps_get_structure(caps, i);
        const GValue* w = gst_structure_get_value(s, "width");
        const GValue* h = gst_structure_get_value(s, "height");
        if (!w || !h)
            continue;
        if (GST_VALUE_HOLDS_INT_RANGE(w) || GST_VALUE_HOLDS_INT_RANGE(h)) {
            for (const QSize& c : kCommonSizes)
                if (InRange(w, c.width()) && InRange(h, c.height()))
                    Add(modes, c);
        } else {
            for (const int wi : IntsOf(w))
                for (const int hi : IntsOf(h))
                    Add(modes, QSize(wi, hi));
        }
    }
    std::sort(modes.begin(), modes.end(), AreaLess);
    return modes;
}

QList<QSize> CameraModes::Offered(const QList<QSize>& modes)
{
    QList<QSize> sizes = modes;
    if (sizes.isEmpty())
        sizes = kSmallSizes + QList<QSize>{QSize(640, 480)};
    for (const QSize& s : kSmallSizes)
        if (std::any_of(modes.begin(), modes.end(), [&](const QSize& m) {
                return m.width() >= s.width() && m.height() >= s.height();
            }))
            Add(sizes, s);
    std::sort(sizes.begin(), sizes.end(), AreaLess);
    return sizes;
}

QSize CameraModes::ModeFor(const QList<QSize>& modes, QSize size)
{
    QSize best;
    QSize largest;
    for (const QSize& m : modes) {
        if (largest.isEmpty() || AreaLess(largest, m))
            largest = m;
        if (m.width() >= size.width() && m.height() >= size.height() &&
            (best.isEmpty() || AreaLess(m, best)))
            best = m;
    }
    return best.isEmpty() ? largest : best;
}

QSize CameraModes::StartSize(const QList<QSize>& offered)
{
    if (offered.contains(QSize(640, 480)))
        return QSize(640, 480);
    QSize best;
    for (const QSize& s : offered)
        if (s.width() <= 640 && s.height() <= 480 && (best.isEmpty() || AreaLess(best, s)))
            best = s;
    if (!best.isEmpty())
        return best;
    return offered.isEmpty() ? QSize(320, 240) : offered.first();
}
