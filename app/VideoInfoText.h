#pragma once

#include <QString>

// The hint of the video view and its still: the capture format with its
// colour count, e.g. "Video:320x240 24 bits RGB (16,777,216 colors)".
QString VideoInfoText(const QString& lead, int width, int height, int bitCount);

// 2 to the power bits, grouped by thousands.
QString ColourCountText(int bitCount);
