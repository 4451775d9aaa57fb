#pragma once

#include "CaptureRecords.h"

#include <QString>

// The small capture-format files (the driver's own format and the user's):
// exactly one 40-byte bitmap information header, nothing before or after.
// Both functions raise EIlxError with a message naming the file on failure.

// Writes the header whole or not at all: an old file stays intact on failure.
void WriteVideoFormatFile(const QString& fileName, const BitmapInfoHeader& header);

// Reads the header from the file's first 40 bytes; a file that cannot be
// opened or is shorter than that is an error.
BitmapInfoHeader ReadVideoFormatFile(const QString& fileName);

// Whether a header read from a file could be a capture format at all: its
// header size, frame size and depth. The file is untrusted, and anything else
// is refused before it reaches the driver, as the driver would refuse it.
bool PlausibleVideoFormat(const BitmapInfoHeader& header);

// The largest frame side a format file may name; far above any camera, far
// below what would make a driver allocate gigabytes.
inline constexpr int MaxVideoFormatSide = 16384;
