#pragma once

#include <QIcon>
#include <QImage>

// The tool-bar glyphs, drawn rather than shipped as images so they stay sharp
// at any scale. Indices are those the window's commands refer to.
enum MenuGlyphIndex
{
    GlyphPlay = 0,
    GlyphPause = 1,
    GlyphConnect = 2,
    GlyphDisconnect = 3,
    GlyphFrame = 4,
    GlyphScanOff = 5,
    GlyphScanOn = 6,
    GlyphScheduler = 7,
    GlyphOptions = 8,
    GlyphFormat = 9,
    GlyphSource = 10,
    GlyphDisplay = 11,
    GlyphPreview = 12,
    GlyphHelp = 13,
    GlyphCount = 14
};

QIcon MenuGlyph(int index);
// The program's own icon (window, desktop entry, About box).
QIcon ProgramIcon();
// That icon drawn at one size (the installed PNG icons are these).
QImage ProgramIconImage(int size);
