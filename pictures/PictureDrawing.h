#pragma once

#include <QFont>
#include <QImage>
#include <QString>

// Drawing on pictures: the scan frame outline and the date and time stamp of
// saved pictures, and the caption of a frozen still. All of it draws in
// place on the picture given.

// Position of the scan frame in percent of the picture's width and height.
struct TScanFramePercent
{
    int X = 25;
    int Y = 25;
    int W = 50;
    int H = 50;
};

// Inverts every channel of the pixels on the frame's one-pixel outline; the
// far edges are exclusive. Drawing it twice restores the picture.
void DrawScanFrameOutline(QImage& picture, const TScanFramePercent& frame);

// Date line above time line, both flush with the bottom-right corner, white
// over a black shadow, in Arial 8.
void DrawDateTimeStamp(QImage& picture, const QString& dateText, const QString& timeText);

// A centred caption in bold Arial, the largest of 16..8 points that fits;
// a caption of several lines ('\n') has them one above the other.
void DrawPictureLabel(QImage& picture, const QString& text);

// The stamp and label fonts, sized in pixels as at 96 dots per inch so a
// stamp looks the same whatever screen the program runs on.
QFont StampFont(int points, bool bold);
