#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

class QWidget;

// A window's place as stored in the "Application" section of iLXLE.INI:
// the placement flags, show state, screen resolution, the minimised and
// maximised positions and the normal (restored) rectangle.
struct TWindowPlacement
{
    static constexpr int kRestoreToMaximized = 2; // Flags: minimised from maximised
    static constexpr int kShowNormal = 1;         // ShowCmd values
    static constexpr int kShowMinimized = 2;
    static constexpr int kShowMaximized = 3;

    int Flags = 0;
    int ShowCmd = kShowNormal;
    int PixelsPerInch = 96;
    QPoint MinPosition{-1, -1};
    QPoint MaxPosition{-1, -1};
    QRect NormalRect; // empty when nothing usable is stored
};

// "%d,%d,%d,%d" texts of the two position keys; a malformed text gives nothing.
QString FormatPointPair(QPoint a, QPoint b);
bool ParsePointPair(const QString& text, QPoint& a, QPoint& b);
// NormPos: left, top, right, bottom, the right and bottom edges exclusive.
QString FormatNormalRect(const QRect& rect);
QRect ParseNormalRect(const QString& text);

TWindowPlacement ReadWindowPlacement();
void WriteWindowPlacement(const TWindowPlacement& placement);

// The placement a window has now, and the reverse: the window is given its
// stored normal rectangle (moved onto a screen if it would be off every
// screen, scaled when the resolution changed) and maximised when it was.
TWindowPlacement WindowPlacementOf(const QWidget& window);
void ApplyWindowPlacement(QWidget& window, const TWindowPlacement& placement);

// What the main window calls at creation and at close.
void RestoreWindowPlacement(QWidget& window);
void StoreWindowPlacement(const QWidget& window);
