#include "TStatusBarVideo.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>
#include <qdrawutil.h>

#include <algorithm>

namespace {

constexpr int kBarHeight = 21;

QColor AlarmListBackground()
{
    return QColor(160, 160, 164);
}

} // namespace

TStatusBarVideo::TStatusBarVideo(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StatusBarVideo"));
    setFixedHeight(kBarHeight);
    setMouseTracking(true);
    setStatusTip(QStringLiteral("Information"));
    texts_[1] = QStringLiteral("0");
}

QSize TStatusBarVideo::sizeHint() const
{
    return {widths_[0] + widths_[1] + widths_[2] + widths_[3], kBarHeight};
}

void TStatusBarVideo::SetPanelText(int panel, const QString& text)
{
    if (panel < 0 || panel > 3 || texts_[panel] == text)
        return;
    texts_[panel] = text;
    update(PanelRect(panel));
}

QString TStatusBarVideo::PanelText(int panel) const
{
    return panel >= 0 && panel <= 3 ? texts_[panel] : QString();
}

int TStatusBarVideo::PanelWidth(int panel) const
{
    return panel >= 0 && panel <= 3 ? widths_[panel] : 0;
}

QRect TStatusBarVideo::PanelRect(int panel) const
{
    // Panels follow a 2-pixel border, as the hint and click zones assume.
    int x = 2;
    for (int i = 0; i < panel; ++i)
        x += widths_[i];
    const int w = panel == 3 ? std::max(0, width() - x) : widths_[panel];
    return {x, 2, w, height() - 2};
}

QPixmap TStatusBarVideo::AlarmIcon(int index)
{
    QPixmap pm(16, 16);
    pm.fill(AlarmListBackground());
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // A bell; green when armed, grey and struck through when off, red with
    // sound waves while it rings.
    const QColor body = index == 1   ? QColor(0, 150, 0)
                        : index == 3 ? QColor(220, 0, 0)
                                     : QColor(100, 100, 100);
    QPainterPath bell;
    bell.moveTo(3, 12);
    bell.quadTo(4, 11, 4.5, 7);
    bell.quadTo(5, 3, 8, 3);
    bell.quadTo(11, 3, 11.5, 7);
    bell.quadTo(12, 11, 13, 12);
    bell.closeSubpath();
    p.setPen(QPen(Qt::black, 0.8));
    p.setBrush(body);
    p.drawPath(bell);
    p.drawEllipse(QPointF(8, 13.5), 1.5, 1.5);
    if (index == 2) {
        p.setPen(QPen(Qt::black, 1.5));
        p.drawLine(2, 14, 14, 2);
    } else if (index == 3) {
        p.setPen(QPen(Qt::red, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(0.5, 3, 3, 6), 90 * 16, 180 * 16);
        p.drawArc(QRectF(12.5, 3, 3, 6), -90 * 16, 180 * 16);
    }
    return pm;
}

QFont TStatusBarVideo::FittingFont(const QFont& base, const QString& text, int room)
{
    QFont font = base;
    if (base.pointSizeF() <= 0) { // sized in pixels: down to 8 of them
        for (int px = base.pixelSize();
             px > 8 && QFontMetrics(font).horizontalAdvance(text) > room;)
            font.setPixelSize(--px);
        return font;
    }
    for (qreal size = base.pointSizeF();
         size > 6.0 && QFontMetrics(font).horizontalAdvance(text) > room;) {
        size = std::max<qreal>(6.0, size - 0.5);
        font.setPointSizeF(size);
    }
    return font;
}

void TStatusBarVideo::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Window));
    for (int i = 0; i < 4; ++i) {
        const QRect r = PanelRect(i);
        if (i == 1) {
            DrawCounterPanel(p, r);
        } else if (i == 2) {
            DrawAlarmPanel(p, r);
        } else {
            qDrawShadePanel(&p, r, pal, true, 1);
            p.setPen(pal.color(QPalette::WindowText));
            const int room = r.width() - 5;
            p.setFont(FittingFont(font(), texts_[i], room));
            p.drawText(r.adjusted(3, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                       p.fontMetrics().elidedText(texts_[i], Qt::ElideRight, room));
            p.setFont(font());
        }
    }
}

void TStatusBarVideo::DrawCounterPanel(QPainter& p, const QRect& r)
{
    const QPalette pal = palette();
    qDrawShadePanel(&p, r, pal, false, 1, &pal.brush(QPalette::Button));
    const int count = DetectionCount ? DetectionCount() : texts_[1].toInt();
    const QRect inner = r.adjusted(1, 1, -1, -1);
    p.fillRect(inner, count != 0 ? QColor(Qt::red) : pal.color(QPalette::Button));
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(count != 0 ? QColor(Qt::white) : QColor(0, 0, 128));
    p.drawText(inner, Qt::AlignCenter, QString::number(count));
    p.setFont(font());
}

void TStatusBarVideo::DrawAlarmPanel(QPainter& p, const QRect& r)
{
    p.setPen(QColor(192, 192, 192));
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    if (!HasOptions || !HasOptions())
        return;
    const auto icon =
        StatusBarRules::IconFor(AlarmState ? AlarmState() : StatusBarRules::AlarmState{});
    p.drawPixmap(r.topLeft(), AlarmIcon(icon));
}

void TStatusBarVideo::resizeEvent(QResizeEvent* event)
{
    widths_[0] = StatusBarRules::Panel0Width(width(), widths_[1], widths_[2]);
    QWidget::resizeEvent(event);
}

void TStatusBarVideo::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    if (!HasOptions || !HasOptions())
        return;
    const int x = event->position().toPoint().x();
    const QString hint = StatusBarRules::HintAt(
        x, widths_[0], widths_[1], widths_[2], DetectionCount ? DetectionCount() : 0,
        AlarmState ? AlarmState() : StatusBarRules::AlarmState{});
    setStatusTip(hint);
    SetPanelText(0, hint);
}

void TStatusBarVideo::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton || !HasOptions || !HasOptions())
        return;
    if (!StatusBarRules::InAlarmClickZone(event->position().toPoint().x(), widths_[0], widths_[1]))
        return;
    if (AlarmIconClicked)
        AlarmIconClicked();
    QApplication::beep();
    update();
}
