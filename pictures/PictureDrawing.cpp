#include "PictureDrawing.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

void invertRun(uchar* line, int bytesPerPixel, int from, int to)
{
    for (int x = from; x < to; ++x) {
        uchar* p = line + x * bytesPerPixel;
        for (int c = 0; c < 3; ++c)
            p[c] = static_cast<uchar>(255 - p[c]);
    }
}

// White text over a one-pixel black shadow, the top-left of the text at (x, y).
void drawShadowedText(QPainter& painter, const QFontMetrics& metrics, int x, int y,
                      const QString& text)
{
    const int baseline = y + metrics.ascent();
    painter.setPen(Qt::black);
    painter.drawText(x + 1, baseline + 1, text);
    painter.setPen(Qt::white);
    painter.drawText(x, baseline, text);
}

} // namespace

QFont StampFont(int points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize((points * 96 + 36) / 72);
    font.setBold(bold);
    return font;
}

void DrawScanFrameOutline(QImage& picture, const TScanFramePercent& frame)
{
    if (picture.isNull())
        return;
    // Byte-wise inversion needs three colour bytes per pixel at a known place.
    if (picture.format() != QImage::Format_RGB888)
        picture = picture.convertToFormat(QImage::Format_RGB888);
    const int w = picture.width();
    const int h = picture.height();
    const int x1 = w * frame.X / 100;
    const int y1 = h * frame.Y / 100;
    const int x2 = x1 + w * frame.W / 100;
    const int y2 = y1 + h * frame.H / 100;
    // The outline may run past the picture when the percentages add up to
    // more than 100; only the part inside is drawn.
    const int left = std::clamp(x1, 0, w);
    const int right = std::clamp(x2, 0, w);
    const int top = std::clamp(y1, 0, h);
    const int bottom = std::clamp(y2, 0, h);
    if (x2 <= x1 || y2 <= y1)
        return;
    const auto inside = [&](int y) {
        return y >= 0 && y < h;
    };
    if (inside(y1))
        invertRun(picture.scanLine(y1), 3, left, right);
    if (y2 - 1 != y1 && inside(y2 - 1))
        invertRun(picture.scanLine(y2 - 1), 3, left, right);
    // The side columns skip the corner rows the top and bottom runs took.
    for (int y = std::max(top, y1 + 1); y < std::min(bottom, y2 - 1); ++y) {
        uchar* line = picture.scanLine(y);
        if (x1 >= 0 && x1 < w)
            invertRun(line, 3, x1, x1 + 1);
        if (x2 - 1 != x1 && x2 - 1 >= 0 && x2 - 1 < w)
            invertRun(line, 3, x2 - 1, x2);
    }
}

void DrawDateTimeStamp(QImage& picture, const QString& dateText, const QString& timeText)
{
    if (picture.isNull())
        return;
    const QFont font = StampFont(8, false);
    const QFontMetrics metrics(font);
    const int w = picture.width();
    const int h = picture.height();
    QPainter painter(&picture);
    painter.setFont(font);
    drawShadowedText(painter, metrics, w - metrics.horizontalAdvance(dateText),
                     h - 2 * metrics.height(), dateText);
    drawShadowedText(painter, metrics, w - metrics.horizontalAdvance(timeText),
                     h - metrics.height(), timeText);
}

void DrawPictureLabel(QImage& picture, const QString& text)
{
    if (picture.isNull())
        return;
    const int w = picture.width();
    const int h = picture.height();
    const QStringList lines = text.split(QLatin1Char('\n'));
    const auto widest = [&](const QFontMetrics& metrics) {
        int width = 0;
        for (const QString& line : lines)
            width = std::max(width, metrics.horizontalAdvance(line));
        return width;
    };
    QFont font = StampFont(8, true);
    for (const int points : {16, 14, 12, 11, 10, 9, 8}) {
        const QFont candidate = StampFont(points, true);
        if (widest(QFontMetrics(candidate)) < w) {
            font = candidate;
            break;
        }
    }
    const QFontMetrics metrics(font);
    QPainter painter(&picture);
    painter.setFont(font);
    // The lines one above the other, the block centred.
    int y = (h - metrics.height() * static_cast<int>(lines.size())) / 2;
    for (const QString& line : lines) {
        drawShadowedText(painter, metrics, (w - metrics.horizontalAdvance(line)) / 2, y, line);
        y += metrics.height();
    }
}
