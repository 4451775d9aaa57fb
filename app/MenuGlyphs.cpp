#include "MenuGlyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap Canvas(int size = 20)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

void DrawGlyph(QPainter& p, int index)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QPen outline(QColor(30, 30, 30), 1.2);
    p.setPen(outline);
    switch (index) {
    case GlyphPlay: {
        p.setBrush(QColor(0, 160, 0));
        const QPointF tri[3] = {{5, 3}, {17, 10}, {5, 17}};
        p.drawPolygon(tri, 3);
        break;
    }
    case GlyphPause:
        p.setBrush(QColor(0, 70, 200));
        p.drawRect(QRectF(4.5, 3.5, 4, 13));
        p.drawRect(QRectF(11.5, 3.5, 4, 13));
        break;
    case GlyphConnect:
    case GlyphDisconnect: {
        // A camera; a red bar across it when the next press disconnects.
        p.setBrush(QColor(90, 90, 90));
        p.drawRoundedRect(QRectF(2.5, 6.5, 11, 8), 1.5, 1.5);
        const QPointF lens[4] = {{13.5, 9}, {18, 6.5}, {18, 14.5}, {13.5, 12}};
        p.drawPolygon(lens, 4);
        p.setBrush(index == GlyphConnect ? QColor(0, 200, 0) : QColor(255, 255, 255));
        p.drawEllipse(QPointF(8, 10.5), 2.2, 2.2);
        if (index == GlyphDisconnect) {
            p.setPen(QPen(QColor(210, 0, 0), 2.2));
            p.drawLine(QPointF(3, 17), QPointF(17, 3));
        }
        break;
    }
    case GlyphFrame:
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0, 180, 0), 2));
        p.drawRect(QRectF(4, 4, 12, 12));
        p.setPen(QPen(QColor(0, 120, 0), 1));
        p.drawLine(QPointF(10, 7), QPointF(10, 13));
        p.drawLine(QPointF(7, 10), QPointF(13, 10));
        break;
    case GlyphScanOff:
    case GlyphScanOn: {
        // An eye; open and red-pupilled while scanning.
        QPainterPath eye;
        eye.moveTo(2, 10);
        eye.quadTo(10, 2, 18, 10);
        eye.quadTo(10, 18, 2, 10);
        p.setBrush(Qt::white);
        p.drawPath(eye);
        p.setBrush(index == GlyphScanOn ? QColor(220, 0, 0) : QColor(80, 80, 80));
        p.drawEllipse(QPointF(10, 10), 3, 3);
        break;
    }
    case GlyphScheduler:
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(10, 10), 7.5, 7.5);
        p.setPen(QPen(QColor(0, 0, 160), 1.6));
        p.drawLine(QPointF(10, 10), QPointF(10, 5));
        p.drawLine(QPointF(10, 10), QPointF(14, 12));
        break;
    case GlyphOptions: {
        p.setBrush(QColor(150, 150, 150));
        QPainterPath gear;
        for (int i = 0; i < 8; ++i) {
            QTransform t;
            t.translate(10, 10);
            t.rotate(i * 45);
            gear.addPolygon(t.map(QPolygonF(QRectF(-1.6, -8, 3.2, 4))));
        }
        gear.addEllipse(QPointF(10, 10), 5.5, 5.5);
        gear.setFillRule(Qt::WindingFill);
        p.drawPath(gear.simplified());
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(10, 10), 2, 2);
        break;
    }
    case GlyphFormat:
        p.setBrush(QColor(200, 220, 255));
        p.drawRect(QRectF(2.5, 4.5, 15, 11));
        p.setPen(QPen(QColor(0, 0, 160), 1.2));
        p.drawLine(QPointF(5, 12), QPointF(15, 7));
        p.drawLine(QPointF(15, 7), QPointF(12, 7));
        p.drawLine(QPointF(15, 7), QPointF(14, 10));
        break;
    case GlyphSource:
        p.setBrush(QColor(255, 220, 0));
        p.drawEllipse(QPointF(10, 10), 4.5, 4.5);
        for (int i = 0; i < 8; ++i) {
            QTransform t;
            t.translate(10, 10);
            t.rotate(i * 45);
            p.drawLine(t.map(QPointF(0, -6)), t.map(QPointF(0, -8.5)));
        }
        break;
    case GlyphDisplay:
        p.setBrush(QColor(60, 60, 60));
        p.drawRect(QRectF(2.5, 3.5, 15, 10));
        p.setBrush(QColor(120, 170, 255));
        p.drawRect(QRectF(4, 5, 12, 7));
        p.setBrush(QColor(60, 60, 60));
        p.drawRect(QRectF(7.5, 14.5, 5, 2));
        break;
    case GlyphPreview:
        p.setBrush(QColor(255, 255, 255));
        p.drawRect(QRectF(2.5, 3.5, 15, 13));
        p.setBrush(QColor(120, 200, 120));
        {
            const QPointF hill[3] = {{3, 16}, {9, 8}, {15, 16}};
            p.drawPolygon(hill, 3);
        }
        p.setBrush(QColor(255, 200, 0));
        p.drawEllipse(QPointF(14, 7), 1.8, 1.8);
        break;
    case GlyphHelp: {
        p.setBrush(QColor(255, 255, 200));
        p.drawEllipse(QPointF(10, 10), 8, 8);
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(13);
        p.setFont(f);
        p.setPen(QColor(0, 0, 160));
        p.drawText(QRectF(0, 0, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    default:
        break;
    }
}

} // namespace

QIcon MenuGlyph(int index)
{
    QPixmap pm = Canvas();
    {
        QPainter p(&pm);
        DrawGlyph(p, index);
    }
    // Disabled: grey and faint. The style's own greying leaves a glyph that is
    // mostly white or grey (the clock, the screen) looking the same as enabled.
    QImage faded = pm.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < faded.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(faded.scanLine(y));
        for (int x = 0; x < faded.width(); ++x) {
            const int grey = 96 + qGray(line[x]) / 3;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) / 3);
        }
    }
    QIcon icon(pm);
    icon.addPixmap(QPixmap::fromImage(faded), QIcon::Disabled);
    return icon;
}

QImage ProgramIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 20.0, size / 20.0);
    DrawGlyph(p, GlyphScanOn);
    p.setPen(QPen(QColor(0, 180, 0), 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, 18, 18));
    return image;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(ProgramIconImage(size)));
    return icon;
}
