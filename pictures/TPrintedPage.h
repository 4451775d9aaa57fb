#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

class QPainter;

// Geometry of the surface one picture is printed on, in device pixels. The
// painter's origin is the printable area's top-left corner.
struct TPageGeometry
{
    QRect Paper;     // the whole sheet, relative to the printable area's origin
    QSize Printable; // the printable area
    int Dpi = 600;

    int Mm(double millimetres) const;
    int RightMargin() const;  // unprintable strip right of the printable area
    int BottomMargin() const; // and below it
};

// The texts of one printed page.
struct TPrintedTexts
{
    QString Title;      // line 1, the application title
    QString Owner;      // line 2
    QString Note;       // line 3, small print
    QString Picture;    // line 4, when the picture was taken
    QString PageNumber; // bottom right; empty for a printed selection
    QString PrintedAt;  // bottom left
};

// Where everything of one page goes.
struct TPrintedLayout
{
    int TitleY = 0;
    int OwnerY = 0;
    int NoteY = 0;
    int PictureTextY = 0;
    QRect PictureRect;
    std::vector<int> RuleYs;
    int RuleLeft = 0;
    int RuleRight = 0;
};

// Lays out a page for a picture of `pictureSize` with the line heights the
// page's fonts give; display-free so the rules can be checked by number.
TPrintedLayout LayoutPrintedPage(const TPageGeometry& page, QSize pictureSize, int titleHeight,
                                 int ownerHeight, int noteHeight, int pictureTextHeight);

// Paints one page: the header lines, the picture in its frame, the ruled
// note lines and the corner texts.
void PaintPrintedPage(QPainter& painter, const TPageGeometry& page, const QImage& picture,
                      const TPrintedTexts& texts);
