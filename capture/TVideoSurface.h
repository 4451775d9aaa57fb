#pragma once

#include <QWidget>

#include <functional>

// The native window the capture back end draws the live picture into, over
// the view: the toolkit never paints it, so no picture is copied through the
// window's backing store. Mouse input passes to the view below.
class TVideoSurface final : public QWidget
{
    Q_OBJECT

public:
    explicit TVideoSurface(QWidget* view);

    // Whether this platform lets a back end draw into a window of ours.
    static bool Supported();
    // Moves and sizes the window; false when it was there already.
    bool Place(const QRect& geometry);
    // Waits until the X server has done what was asked of the window: the
    // sink reads the window's size through a connection of its own.
    void SyncWithServer();

    // The window was uncovered (the toolkit would paint it now).
    std::function<void()> OnExposed;

    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    void paintEvent(QPaintEvent*) override;
};
