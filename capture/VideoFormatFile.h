#pragma once

#include "CaptureRecords.h"

#include <QString>

// The small capture-format files (the driver's own format and the user's):
// exactly one 40-byte bitmap information header, nothing before or after.
// Both functions raise EIlxError with a message naming the file on failure.

// Writes the header whole or not at all: an old file stays intact on failure.
void WriteVideoFormatFile(const QString& fileName, const BitmapInfoHeader& header);

// Reads the header from the file's first 40 bytes. The file is untrusted: one
// shorter than 40 bytes, or whose header size, frame size or depth cannot be a
// capture format, is refused before anything reaches the driver.
BitmapInfoHeader ReadVideoFormatFile(const QString& fileName);

// The largest frame side a format file may name; far above any camera, far
// below what would make a driver allocate gigabytes.
inline constexpr int MaxVideoFormatSide = 16384;
