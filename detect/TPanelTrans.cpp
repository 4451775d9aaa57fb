#include "TPanelTrans.h"

#include "ScanFrameGeometry.h"

#include <QMouseEvent>
#include <QPainter>

TPanelTrans::TPanelTrans(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_NoSystemBackground);
    // Hovering with the resize key shows the sizing cursors.
    setMouseTracking(true);
    updateRegion();
}

void TPanelTrans::SetMargin(int margin)
{
    if (margin == margin_)
        return;
    margin_ = margin;
    updateRegion();
}

void TPanelTrans::SetGripWidth(int gripWidth)
{
    if (gripWidth == gripWidth_)
        return;
    gripWidth_ = gripWidth;
    updateRegion();
}

void TPanelTrans::SetSizeGrip(bool sizeGrip)
{
    if (sizeGrip == sizeGrip_)
        return;
    sizeGrip_ = sizeGrip;
    updateRegion();
}

void TPanelTrans::SetMire(bool mire)
{
    if (mire == mire_)
        return;
    mire_ = mire;
    updateRegion();
}

void TPanelTrans::SetColor(const QColor& color)
{
    color_ = color;
    update();
}

void TPanelTrans::SetBounds(int x, int y, int width, int height)
{
    if (OnPosChanging)
        OnPosChanging(this, x, y, width, height);
    setGeometry(x, y, width, height);
    if (OnPosChanged)
        OnPosChanged(this, x, y, width, height);
}

void TPanelTrans::paintEvent(QPaintEvent*)
{
    // The mask leaves only the outline, grip and cross-hair to paint.
    QPainter painter(this);
    painter.fillRect(rect(), color_);
}

void TPanelTrans::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateRegion();
}

void TPanelTrans::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TPanelTrans::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (OnMouseExit)
        OnMouseExit(this);
}

void TPanelTrans::mousePressEvent(QMouseEvent* event)
{
    if (OnMouseDown)
        OnMouseDown(this, event);
    else
        QWidget::mousePressEvent(event);
}

void TPanelTrans::mouseMoveEvent(QMouseEvent* event)
{
    if (OnMouseMove)
        OnMouseMove(this, event);
    else
        QWidget::mouseMoveEvent(event);
}

void TPanelTrans::updateRegion()
{
    setMask(
        ScanFrameGeometry::VisibleRegion(width(), height(), margin_, gripWidth_, sizeGrip_, mire_));
    update();
}
