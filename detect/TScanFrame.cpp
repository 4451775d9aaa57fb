#include "TScanFrame.h"

#include "TMRControl.h"
#include "TPanelTrans.h"
#include "TVideoSurface.h"

#include <QMouseEvent>

using namespace ScanFrameGeometry;

TScanFrame::TScanFrame(TScanFrameHost& host, QWidget* frameParent)
    : host_(host), panel_(new TPanelTrans(frameParent)), mover_(std::make_unique<TMRControl>())
{
    panel_->setObjectName(QStringLiteral("PanelTransFrame"));
    // Where the camera draws the live picture into a window of its own, the
    // frame is a window too, or it would lie under the picture.
    if (TVideoSurface::Supported())
        panel_->setAttribute(Qt::WA_NativeWindow);
    panel_->SetMargin(2);
    panel_->SetGripWidth(12);
    panel_->SetSizeGrip(true);
    panel_->SetMire(true);
    panel_->SetColor(QColor(0, 255, 0));
    panel_->setStatusTip(
        QStringLiteral("Cadrage de l'analyse (Ctrl: Position - Shift: Dimension)"));
    panel_->hide();
    mover_->setObjectName(QStringLiteral("MRControlFrame"));
    mover_->ResizeOptions = roRightBottom;
    mover_->ResizeCombiKey = TCombiKey::cShift;
    mover_->MoveCombiKey = TCombiKey::cCtrl;

    panel_->OnMouseDown = [this](TPanelTrans* panel, QMouseEvent* event) {
        mover_->MouseDown(panel, event->buttons(), event->modifiers(), event->position().toPoint());
    };
    panel_->OnMouseMove = [this](TPanelTrans* panel, QMouseEvent* event) {
        mover_->MouseMove(panel, event->modifiers(), event->position().toPoint());
    };
    panel_->OnPosChanging = [this](TPanelTrans*, int& x, int& y, int& w, int& h) {
        PanelTransFramePosChanging(x, y, w, h);
    };
    mover_->OnAfterMoveCtrl = [this](QWidget*, QPoint) {
        dragMode_ = DragMode::Move;
    };
    mover_->OnAfterResizeCtrl = [this](QWidget*, QPoint) {
        dragMode_ = DragMode::Resize;
    };
    mover_->OnMoveCtrl = [this](QWidget*, QPoint position) {
        host_.ShowStatusHint(MoveStatusText(position, host_.VideoViewRect()));
    };
    mover_->OnResizeCtrl = [this](QWidget*, QPoint size) {
        host_.ShowStatusHint(ResizeStatusText(QSize(size.x(), size.y()), host_.VideoViewRect()));
    };
    mover_->OnEndMoveCtrl = [this](QWidget*, QPoint) {
        MRControlFrameEndMoveCtrl();
    };
    mover_->OnEndResizeCtrl = [this](QWidget*, QPoint size) {
        MRControlFrameEndResizeCtrl(size);
    };
}

TScanFrame::~TScanFrame() = default;

void TScanFrame::SetPercents(const ScanFrameGeometry::Percents& percents)
{
    percents_ = percents;
}

void TScanFrame::ShowFrame(bool on)
{
    const bool show = on && host_.VideoActive();
    panel_->setVisible(show);
    if (show)
        panel_->raise();
}

bool TScanFrame::Shown() const
{
    return !panel_->isHidden();
}

TScanArea TScanFrame::Area() const
{
    return TScanArea{Shown(), percents_.PX, percents_.PY, percents_.PW, percents_.PH};
}

void TScanFrame::PlaceFrame()
{
    dragMode_ = DragMode::Placing;
    const bool visible = Shown();
    panel_->hide();
    const QRect reference = host_.VideoViewVisible() ? host_.VideoViewRect() : host_.FreezeRect();
    const QRect placed = PlacedRect(reference, percents_);
    panel_->SetBounds(placed.x(), placed.y(), placed.width(), placed.height());
    panel_->setVisible(visible);
}

void TScanFrame::SetLocked(bool locked)
{
    panel_->setEnabled(!locked);
    panel_->SetSizeGrip(!locked);
}

void TScanFrame::PanelTransFramePosChanging(int& x, int& y, int& width, int& height)
{
    ConstrainBounds(dragMode_, host_.VideoViewRect(), x, y, width, height);
}

void TScanFrame::MRControlFrameEndMoveCtrl()
{
    const QRect view = host_.VideoViewRect();
    // A view without size keeps the old percentages.
    Percent(panel_->x() - view.left(), view.width(), percents_.PX);
    Percent(panel_->y() - view.top(), view.height(), percents_.PY);
    PlaceFrame();
}

void TScanFrame::MRControlFrameEndResizeCtrl(QPoint size)
{
    const QRect view = host_.VideoViewRect();
    SizePercent(size.x(), view.width(), percents_.PW);
    SizePercent(size.y(), view.height(), percents_.PH);
    PlaceFrame();
}
