#pragma once

#include <QFlags>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>

#include <Qt>

// Geometry of the scan frame and of the mover that drags it, display-free.
// All divisions truncate toward zero.
namespace ScanFrameGeometry {

// The inner polygon left transparent inside a panel of w x h: outline of
// `margin` pixels, an optional bottom-right grip triangle with legs of `grip`
// pixels, an optional one-pixel cross-hair with a 4-pixel gap at the centre.
QPolygon HolePolygon(int w, int h, int margin, int grip, bool sizeGrip, bool mire);
// What stays visible: the whole rectangle minus the hole (alternate fill).
QRegion VisibleRegion(int w, int h, int margin, int grip, bool sizeGrip, bool mire);

enum class DragMode
{
    Move,
    Resize,
    Placing
};

// Keeps a moved frame inside the video view, and a resized one at least
// 16 x 16 and within the view's right and bottom edges.
void ConstrainBounds(DragMode mode, const QRect& view, int& x, int& y, int& width, int& height);

// The least width and height of the frame, in pixels.
constexpr int kMinFrameSide = 16;

// offset * 100 div extent; nothing when the extent is 0.
bool Percent(int offset, int extent, int& percent);
// A size in percent of the extent: truncated, but never so far that the frame
// placed from it falls below its least side.
bool SizePercent(int size, int extent, int& percent);

// Status panel texts during a drag; "Error" when the view has no size.
QString MoveStatusText(const QPoint& frameTopLeft, const QRect& view);
QString ResizeStatusText(const QSize& frameSize, const QRect& view);

struct Percents
{
    int PX = 25;
    int PY = 25;
    int PW = 50;
    int PH = 50;
};

// Where the frame goes over the reference (the video view or the frozen still).
QRect PlacedRect(const QRect& reference, const Percents& percents);

// Zones of the resize hit test, and the options that allow each.
enum class ResizeZone
{
    None,
    LeftBottom,
    LeftTop,
    RightBottom,
    TopRight,
    Left,
    Top,
    Right,
    Bottom
};

enum ResizeOption
{
    roLeftTop = 0x01,
    roLeftBottom = 0x02,
    roRightBottom = 0x04,
    roTopRight = 0x08,
    roLeft = 0x10,
    roTop = 0x20,
    roRight = 0x40,
    roBottom = 0x80
};
Q_DECLARE_FLAGS(ResizeOptions, ResizeOption)
constexpr ResizeOptions kAllResizeOptions = ResizeOptions(0xFF);

// The zone under pos (client coordinates), none when its option is not allowed.
ResizeZone HitTest(const QPoint& pos, const QSize& size, ResizeOptions allowed);
Qt::CursorShape ZoneCursor(ResizeZone zone);
// The geometry after the cursor moved by (dx, dy) while resizing from zone.
QRect ResizedBy(const QRect& geometry, ResizeZone zone, int dx, int dy);

} // namespace ScanFrameGeometry

Q_DECLARE_OPERATORS_FOR_FLAGS(ScanFrameGeometry::ResizeOptions)
