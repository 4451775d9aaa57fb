#pragma once

#include "PictureDrawing.h"
#include "TPictureRetention.h"

#include <QDateTime>
#include <QImage>
#include <QString>

class QWidget;

// What a save needs from the user's settings, read by the caller at the
// moment of the save so an edit in the options takes effect at once.
struct TPictureSettings
{
    QString Folder;         // pictures folder; must exist
    QString Prefix = "ILX"; // 1 to 3 characters
    bool DateStamp = true;  // draw the date and time on the picture
    int Quality = 90;       // JPEG quality; outside 0..100 means 100
    bool FrameShown = false;
    TScanFramePercent Frame;
    // The folder's pictures, kept within `Keep` after each save and before a
    // save on a nearly full disk; none, or no limit: no picture is deleted.
    TPictureRetention* Retention = nullptr;
    TRetentionLimits Keep;
};

// Draws the outline and stamp on a copy of `frame` for the moment `when`
// and writes it as the picture of that moment. Returns the file name.
// Throws EIlxError("Error: Unable to save picture:\n" + name) when the file
// cannot be written; the frame itself is never changed.
QString WritePicture(const QImage& frame, const TPictureSettings& settings, const QDateTime& when);

// The detection's save: reads the clock once, writes the picture and
// returns its file name. An empty frame writes nothing and returns an empty
// name. A failed write shows the warning (owned by `owner`) and returns an
// empty name; the caller then switches scanning off. So does a disk left with
// less free than it keeps (KeptFree) once the oldest pictures the limits
// allow are gone; the warning then says how much is free and how much is
// kept. Failures while drawing are not caught here: they belong to the scan
// cycle.
QString SavePicture(QWidget* owner, const QImage& frame, const TPictureSettings& settings);
