#pragma once

#include "ScanFrameGeometry.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <functional>

enum class TCombiKey
{
    cCtrl,
    cAlt,
    cShift
};

// Moves a control with the mouse while the move key is held, and resizes it
// from its edges and corners while the resize key is held. The owner hands
// the control's mouse-down and mouse-move events to MouseDown and MouseMove;
// a started drag then follows the mouse (grabbed) until the left button is
// released. A TPanelTrans is moved through its SetBounds, so its
// position-changing handler applies.
class TMRControl : public QObject
{
    Q_OBJECT

public:
    using TOnMoveEvent = std::function<void(QWidget* movingCtrl, QPoint ptPosition)>;
    using TOnResizeEvent = std::function<void(QWidget* resizingCtrl, QPoint ptWidthHeight)>;

    explicit TMRControl(QObject* parent = nullptr);
    ~TMRControl() override;

    ScanFrameGeometry::ResizeOptions ResizeOptions = ScanFrameGeometry::kAllResizeOptions;
    TCombiKey ResizeCombiKey = TCombiKey::cShift;
    TCombiKey MoveCombiKey = TCombiKey::cCtrl;

    TOnMoveEvent OnAfterMoveCtrl, OnMoveCtrl, OnEndMoveCtrl;
    TOnResizeEvent OnAfterResizeCtrl, OnResizeCtrl, OnEndResizeCtrl;

    // Entries for the control's own mouse events (positions in the control's
    // client coordinates, as in QMouseEvent::position()).
    void MouseDown(QWidget* control, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                   QPoint localPos);
    void MouseMove(QWidget* control, Qt::KeyboardModifiers modifiers, QPoint localPos);

    bool Dragging() const { return mode_ != Mode::Idle; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Mode
    {
        Idle,
        Moving,
        Resizing
    };

    void follow(QPoint globalPos);
    void finish();
    void setBounds(const QRect& bounds);

    Mode mode_ = Mode::Idle;
    QPointer<QWidget> control_;
    QPoint grabOffset_;
    QPoint lastGlobal_;
    ScanFrameGeometry::ResizeZone zone_ = ScanFrameGeometry::ResizeZone::None;
};
