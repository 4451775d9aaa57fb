#pragma once

#include <QList>
#include <QSize>

typedef struct _GstCaps GstCaps;

// How a camera's own modes become the sizes the driver offers. The pipeline
// opens the camera in one of its modes and videoscale makes the requested
// size from it, so a camera that only knows 640 x 480 still offers the small
// sizes the program works at, and never has to decode more than it needs.
namespace CameraModes {

// Frame sizes in a camera's caps: fixed sizes as they are; ranges give the
// common sizes inside them. Smallest first.
QList<QSize> ModesOfCaps(const GstCaps* caps);

// The modes plus the common small sizes (160 x 120 .. 352 x 288) that fit in
// the largest mode, smallest first. A camera reporting no modes is offered the
// common sizes up to 640 x 480.
QList<QSize> Offered(const QList<QSize>& modes);

// The mode `size` is made from: the smallest mode at least as large in both
// sides, else the largest mode (scaled up). Empty without modes.
QSize ModeFor(const QList<QSize>& modes, QSize size);

// The size a fresh connection starts at: 640 x 480 when offered, else the
// largest offered size within it, else the smallest.
QSize StartSize(const QList<QSize>& offered);

} // namespace CameraModes
