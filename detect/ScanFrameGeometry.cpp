#include "ScanFrameGeometry.h"

#include <algorithm>

namespace ScanFrameGeometry {

QPolygon HolePolygon(int w, int h, int m, int g, bool sizeGrip, bool mire)
{
    QPolygon hole;
    if (!mire) {
        if (!sizeGrip) {
            hole << QPoint(m, m) << QPoint(w - m, m) << QPoint(w - m, h - m) << QPoint(m, h - m);
        } else {
            hole << QPoint(m, m) << QPoint(w - m, m) << QPoint(w - m, h - m - g)
                 << QPoint(w - m - g, h - m) << QPoint(m, h - m);
        }
        return hole;
    }
    const int cx = w / 2;
    const int cy = h / 2;
    hole << QPoint(m, m) << QPoint(cx, m) << QPoint(cx, cy - 4) << QPoint(cx + 1, cy - 4)
         << QPoint(cx + 1, m) << QPoint(w - m, m) << QPoint(w - m, cy) << QPoint(cx + 4, cy)
         << QPoint(cx + 4, cy + 1) << QPoint(w - m, cy + 1);
    if (sizeGrip)
        hole << QPoint(w - m, h - m - g) << QPoint(w - m - g, h - m);
    else
        hole << QPoint(w - m, h - m);
    hole << QPoint(cx + 1, h - m) << QPoint(cx + 1, cy + 4) << QPoint(cx, cy + 4)
         << QPoint(cx, h - m) << QPoint(m, h - m) << QPoint(m, cy + 1) << QPoint(cx - 4, cy + 1)
         << QPoint(cx - 4, cy) << QPoint(m, cy);
    return hole;
}

QRegion VisibleRegion(int w, int h, int margin, int grip, bool sizeGrip, bool mire)
{
    const QRegion whole(0, 0, w, h);
    return whole.subtracted(
        QRegion(HolePolygon(w, h, margin, grip, sizeGrip, mire), Qt::OddEvenFill));
}

void ConstrainBounds(DragMode mode, const QRect& view, int& x, int& y, int& width, int& height)
{
    const int l = view.left();
    const int t = view.top();
    const int vw = view.width();
    const int vh = view.height();
    switch (mode) {
    case DragMode::Move:
        if (x < l)
            x = l;
        else if (x > l + vw - width)
            x = l + vw - width;
        if (y < t)
            y = t;
        else if (y > t + vh - height)
            y = t + vh - height;
        break;
    case DragMode::Resize:
        if (width < kMinFrameSide)
            width = kMinFrameSide;
        else if (width > vw - (x - l))
            width = vw - (x - l);
        if (height < kMinFrameSide)
            height = kMinFrameSide;
        else if (height > vh - (y - t))
            height = vh - (y - t);
        break;
    case DragMode::Placing:
        break;
    }
}

bool Percent(int offset, int extent, int& percent)
{
    if (extent == 0)
        return false;
    percent = static_cast<int>(static_cast<qint64>(offset) * 100 / extent);
    return true;
}

bool SizePercent(int size, int extent, int& percent)
{
    if (!Percent(size, extent, percent))
        return false;
    // Truncating may snap the frame below its least size: the next whole
    // percent keeps it there, as the drag did.
    const int least = std::min(kMinFrameSide, extent);
    while (percent < 100 && static_cast<qint64>(extent) * percent / 100 < least)
        ++percent;
    return true;
}

QString MoveStatusText(const QPoint& frameTopLeft, const QRect& view)
{
    int px = 0, py = 0;
    if (!Percent(frameTopLeft.x() - view.left(), view.width(), px) ||
        !Percent(frameTopLeft.y() - view.top(), view.height(), py))
        return QStringLiteral("Error");
    return QStringLiteral("X: %1% Y: %2%").arg(px).arg(py);
}

QString ResizeStatusText(const QSize& frameSize, const QRect& view)
{
    int pw = 0, ph = 0;
    if (!Percent(frameSize.width(), view.width(), pw) ||
        !Percent(frameSize.height(), view.height(), ph))
        return QStringLiteral("Error");
    return QStringLiteral("Largeur: %1% Hauteur: %2%").arg(pw).arg(ph);
}

QRect PlacedRect(const QRect& r, const Percents& p)
{
    const auto part = [](int extent, int percent) {
        return static_cast<int>(static_cast<qint64>(extent) * percent / 100);
    };
    return QRect(r.left() + part(r.width(), p.PX), r.top() + part(r.height(), p.PY),
                 part(r.width(), p.PW), part(r.height(), p.PH));
}

ResizeZone HitTest(const QPoint& pos, const QSize& size, ResizeOptions allowed)
{
    const auto near = [](int d) {
        return d >= 0 && d <= 6;
    };
    const bool left = near(pos.x());
    const bool top = near(pos.y());
    const bool right = near(size.width() - pos.x());
    const bool bottom = near(size.height() - pos.y());
    const auto zone = [&](ResizeZone z, ResizeOption option) {
        return allowed.testFlag(option) ? z : ResizeZone::None;
    };
    if (left && bottom)
        return zone(ResizeZone::LeftBottom, roLeftBottom);
    if (left && top)
        return zone(ResizeZone::LeftTop, roLeftTop);
    if (bottom && right)
        return zone(ResizeZone::RightBottom, roRightBottom);
    if (top && right)
        return zone(ResizeZone::TopRight, roTopRight);
    if (left)
        return zone(ResizeZone::Left, roLeft);
    if (top)
        return zone(ResizeZone::Top, roTop);
    if (right)
        return zone(ResizeZone::Right, roRight);
    if (bottom)
        return zone(ResizeZone::Bottom, roBottom);
    return ResizeZone::None;
}

Qt::CursorShape ZoneCursor(ResizeZone zone)
{
    switch (zone) {
    case ResizeZone::LeftBottom:
    case ResizeZone::TopRight:
        return Qt::SizeBDiagCursor;
    case ResizeZone::LeftTop:
    case ResizeZone::RightBottom:
        return Qt::SizeFDiagCursor;
    case ResizeZone::Left:
    case ResizeZone::Right:
        return Qt::SizeHorCursor;
    case ResizeZone::Top:
    case ResizeZone::Bottom:
        return Qt::SizeVerCursor;
    case ResizeZone::None:
        break;
    }
    return Qt::ArrowCursor;
}

QRect ResizedBy(const QRect& g, ResizeZone zone, int dx, int dy)
{
    int x = g.x(), y = g.y(), w = g.width(), h = g.height();
    switch (zone) {
    case ResizeZone::LeftTop:
        w -= dx, x += dx, h -= dy, y += dy;
        break;
    case ResizeZone::LeftBottom:
        w -= dx, x += dx, h += dy;
        break;
    case ResizeZone::RightBottom:
        w += dx, h += dy;
        break;
    case ResizeZone::TopRight:
        h -= dy, y += dy, w += dx;
        break;
    case ResizeZone::Left:
        w -= dx, x += dx;
        break;
    case ResizeZone::Top:
        h -= dy, y += dy;
        break;
    case ResizeZone::Right:
        w += dx;
        break;
    case ResizeZone::Bottom:
        h += dy;
        break;
    case ResizeZone::None:
        break;
    }
    return QRect(x, y, w, h);
}

} // namespace ScanFrameGeometry
