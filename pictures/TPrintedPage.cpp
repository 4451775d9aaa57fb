#include "TPrintedPage.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <cmath>

namespace {

QFont printFont(int points, bool bold, bool italic)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// Text whose top-left corner is at (x, y).
void drawTextAt(QPainter& painter, const QFont& font, int x, int y, const QString& text)
{
    painter.setFont(font);
    const QFontMetrics metrics(font, painter.device());
    painter.drawText(x, y + metrics.ascent(), text);
}

void drawCentred(QPainter& painter, const QFont& font, int pageWidth, int y, const QString& text)
{
    const QFontMetrics metrics(font, painter.device());
    drawTextAt(painter, font, (pageWidth - metrics.horizontalAdvance(text)) / 2, y, text);
}

} // namespace

int TPageGeometry::Mm(double millimetres) const
{
    return static_cast<int>(std::lround(millimetres * Dpi / 25.4));
}

int TPageGeometry::RightMargin() const
{
    return Paper.width() - (-Paper.left()) - Printable.width();
}

int TPageGeometry::BottomMargin() const
{
    return Paper.height() - (-Paper.top()) - Printable.height();
}

TPrintedLayout LayoutPrintedPage(const TPageGeometry& page, QSize pictureSize, int titleHeight,
                                 int ownerHeight, int noteHeight, int pictureTextHeight)
{
    TPrintedLayout layout;
    const int pageW = page.Printable.width();
    const int pageH = page.Printable.height();
    const int topOffset = -page.Paper.top();
    const int leftOffset = -page.Paper.left();

    double w = pictureSize.width();
    double h = pictureSize.height();
    if (w > 0 && h > 0) {
        const double r = w / h;
        // A picture smaller than the page is printed at half the page.
        if (w < pageW && h < pageH) {
            if (h <= w) {
                w = pageW / 2;
                h = w / r;
            } else {
                h = pageH / 2;
                w = r * h;
            }
        }
        if (w > pageW) {
            w = pageW;
            h = w / r;
        }
        if (h > pageH) {
            h = pageH;
            w = h * r;
        }
    }

    layout.TitleY = page.Mm(20) - topOffset;
    layout.OwnerY = layout.TitleY + static_cast<int>(std::lround(1.2 * titleHeight));
    layout.NoteY = layout.OwnerY + static_cast<int>(std::lround(1.2 * ownerHeight));
    layout.PictureTextY = layout.NoteY + 3 * noteHeight;
    const int pw = static_cast<int>(std::lround(w));
    const int ph = static_cast<int>(std::lround(h));
    layout.PictureRect =
        QRect((pageW - pw) / 2, layout.PictureTextY + 2 * pictureTextHeight, pw, ph);

    layout.RuleLeft = page.Mm(25) - leftOffset;
    layout.RuleRight = pageW + page.RightMargin() - page.Mm(25);
    const int limit = pageH + page.BottomMargin() - page.Mm(20);
    const int step = std::max(1, page.Mm(5));
    for (int y = layout.PictureRect.y() + ph + page.Mm(10); y < limit; y += step)
        layout.RuleYs.push_back(y);
    return layout;
}

void PaintPrintedPage(QPainter& painter, const TPageGeometry& page, const QImage& picture,
                      const TPrintedTexts& texts)
{
    QPaintDevice* device = painter.device();
    const QFont title = printFont(12, true, false);
    const QFont owner = printFont(10, false, false);
    const QFont note = printFont(4, false, true);
    const QFont text = printFont(10, false, false);
    const QFont corner = printFont(8, false, false);
    const TPrintedLayout layout =
        LayoutPrintedPage(page, picture.size(), QFontMetrics(title, device).height(),
                          QFontMetrics(owner, device).height(), QFontMetrics(note, device).height(),
                          QFontMetrics(text, device).height());
    const int pageW = page.Printable.width();
    const int pageH = page.Printable.height();

    painter.setPen(Qt::black);
    drawCentred(painter, title, pageW, layout.TitleY, texts.Title);
    drawCentred(painter, owner, pageW, layout.OwnerY, texts.Owner);
    drawCentred(painter, note, pageW, layout.NoteY, texts.Note);
    drawCentred(painter, text, pageW, layout.PictureTextY, texts.Picture);

    painter.drawImage(layout.PictureRect, picture);
    // A 2-pixel frame just outside the picture's edges.
    constexpr int kPen = 2;
    painter.setPen(QPen(Qt::black, kPen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    const QRect& r = layout.PictureRect;
    painter.drawRect(
        QRectF(r.x() - kPen / 2.0, r.y() - kPen / 2.0, r.width() + kPen, r.height() + kPen));
    painter.setPen(QPen(Qt::black, kPen, Qt::SolidLine, Qt::FlatCap));
    for (const int y : layout.RuleYs)
        painter.drawLine(layout.RuleLeft, y, layout.RuleRight, y);

    painter.setPen(Qt::black);
    const QFontMetrics cornerMetrics(corner, device);
    if (!texts.PageNumber.isEmpty())
        drawTextAt(painter, corner, pageW - cornerMetrics.horizontalAdvance(texts.PageNumber),
                   pageH - cornerMetrics.height(), texts.PageNumber);
    drawTextAt(painter, corner, 0, pageH - cornerMetrics.height(), texts.PrintedAt);
}
