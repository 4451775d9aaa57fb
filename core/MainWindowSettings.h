#pragma once

#include <QString>

// The scan frame as stored: percentages of the video view (left, top, width,
// height) and whether it is shown.
struct TScanFrameSettings
{
    int FramePX = 25;
    int FramePY = 25;
    int FramePW = 50;
    int FramePH = 50;
    bool FrameOn = false;
};

// A frame read back is made usable: a width or height below 1 becomes 50, and
// a frame running past the right or bottom edge is cut at it.
TScanFrameSettings MakeFrameConsistent(TScanFrameSettings frame);

// What the main window reads at creation and writes at close (the placement
// has its own helpers, see WindowPlacement.h).
struct TMainWindowSettings
{
    // iLXLE.INI
    int FramesPreview = 24;
    int FramesCapture = 24;
    bool Zoom = false;
    QString Web;
    int Stabilite = 3;
    // iLXLE_PARAM.DAT
    TScanFrameSettings Frame;
    bool Scheduler = false;
    QString Driver;
    bool SelectDriver = true; // absent "Select" means: show the driver dialog
    // iLXLE_IMAGE.DAT
    QString LastImage;
};

TMainWindowSettings ReadMainWindowSettings();
// Writes "Zoom", the frame keys, "Scheduler", "LastImage", and "Driver" only
// when it is not empty, so closing without a driver keeps the stored one.
// Frames rates, "Web", "Stabilite" and "Select" are never written here.
// Every key is tried; the first failed write is raised after the last.
void WriteMainWindowSettings(const TMainWindowSettings& settings);
