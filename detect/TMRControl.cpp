#include "TMRControl.h"

#include "TPanelTrans.h"

#include <QGuiApplication>
#include <QMouseEvent>

namespace {

bool held(TCombiKey key, Qt::KeyboardModifiers modifiers)
{
    switch (key) {
    case TCombiKey::cCtrl:
        return modifiers.testFlag(Qt::ControlModifier);
    case TCombiKey::cAlt:
        return modifiers.testFlag(Qt::AltModifier);
    case TCombiKey::cShift:
        return modifiers.testFlag(Qt::ShiftModifier);
    }
    return false;
}

} // namespace

TMRControl::TMRControl(QObject* parent) : QObject(parent) {}

TMRControl::~TMRControl()
{
    if (control_ && mode_ != Mode::Idle) {
        control_->removeEventFilter(this);
        control_->releaseMouse();
    }
}

void TMRControl::MouseDown(QWidget* control, Qt::MouseButtons buttons,
                           Qt::KeyboardModifiers modifiers, QPoint localPos)
{
    if (control == nullptr || mode_ != Mode::Idle || !buttons.testFlag(Qt::LeftButton))
        return;
    const QPoint global = control->mapToGlobal(localPos);
    if (held(MoveCombiKey, modifiers)) {
        control->setCursor(Qt::ArrowCursor);
        mode_ = Mode::Moving;
        control_ = control;
        if (OnAfterMoveCtrl)
            OnAfterMoveCtrl(control, control->pos());
        // Offset in the parent's coordinates: where the control was taken.
        const QPoint inParent =
            control->parentWidget() ? control->parentWidget()->mapFromGlobal(global) : global;
        grabOffset_ = inParent - control->pos();
    } else {
        zone_ = ScanFrameGeometry::HitTest(localPos, control->size(), ResizeOptions);
        control->setCursor(ScanFrameGeometry::ZoneCursor(zone_));
        if (zone_ == ScanFrameGeometry::ResizeZone::None || !held(ResizeCombiKey, modifiers))
            return;
        mode_ = Mode::Resizing;
        control_ = control;
        lastGlobal_ = global;
        if (OnAfterResizeCtrl)
            OnAfterResizeCtrl(control, QPoint(control->width(), control->height()));
    }
    control->installEventFilter(this);
    // Wayland lets only popups grab the mouse, and says so on the console at
    // each try; there the press holds the pointer for its drag by itself.
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        control->grabMouse();
}

void TMRControl::MouseMove(QWidget* control, Qt::KeyboardModifiers modifiers, QPoint localPos)
{
    if (control == nullptr || mode_ != Mode::Idle)
        return;
    control->setCursor(Qt::ArrowCursor);
    if (held(ResizeCombiKey, modifiers))
        control->setCursor(ScanFrameGeometry::ZoneCursor(
            ScanFrameGeometry::HitTest(localPos, control->size(), ResizeOptions)));
}

bool TMRControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != control_ || mode_ == Mode::Idle)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!mouse->buttons().testFlag(Qt::LeftButton)) {
            finish();
            return true;
        }
        follow(mouse->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            follow(mouse->globalPosition().toPoint());
            finish();
        }
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

void TMRControl::follow(QPoint global)
{
    QWidget* control = control_;
    if (control == nullptr)
        return;
    if (mode_ == Mode::Moving) {
        const QPoint inParent =
            control->parentWidget() ? control->parentWidget()->mapFromGlobal(global) : global;
        const QPoint target = inParent - grabOffset_;
        // Top first, then left, each through the control's own bounds check.
        setBounds(QRect(control->x(), target.y(), control->width(), control->height()));
        setBounds(QRect(target.x(), control->y(), control->width(), control->height()));
        if (OnMoveCtrl)
            OnMoveCtrl(control, control->pos());
    } else {
        const QPoint delta = global - lastGlobal_;
        lastGlobal_ = global;
        if (delta.isNull())
            return;
        setBounds(ScanFrameGeometry::ResizedBy(control->geometry(), zone_, delta.x(), delta.y()));
        if (OnResizeCtrl)
            OnResizeCtrl(control, QPoint(control->width(), control->height()));
    }
}

void TMRControl::finish()
{
    QWidget* control = control_;
    const Mode mode = mode_;
    mode_ = Mode::Idle;
    control_ = nullptr;
    if (control == nullptr)
        return;
    control->removeEventFilter(this);
    control->releaseMouse();
    if (mode == Mode::Moving) {
        if (OnEndMoveCtrl)
            OnEndMoveCtrl(control, control->pos());
        control->setCursor(Qt::ArrowCursor);
    } else if (OnEndResizeCtrl) {
        OnEndResizeCtrl(control, QPoint(control->width(), control->height()));
    }
}

void TMRControl::setBounds(const QRect& bounds)
{
    if (auto* panel = qobject_cast<TPanelTrans*>(control_.data()))
        panel->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    else if (control_)
        control_->setGeometry(bounds);
}
