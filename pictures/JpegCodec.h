#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// JPEG in and out through libjpeg. Failures throw EIlxError with a message
// text; no input, however broken, ends the process.

// Baseline-or-better colour JPEG of `image` (any format; written as 24-bit
// RGB) at `quality` 0..100, with the encoder settings pictures are saved with.
QByteArray EncodeJpeg(const QImage& image, int quality);

// Writes `image` to `path` under a temporary name in the same folder and
// renames it into place, so a failed write never leaves a partial picture
// behind the name. An existing file is replaced.
void WriteJpegFile(const QString& path, const QImage& image, int quality);

// Test seam: the free space picture files may still take, so a test can fill
// the disk without a device of its own. A write that does not fit fails
// part-way, as on a full disk; each whole picture uses up its size.
// -1 (the default) means no limit.
void SetJpegFileSpaceForTest(qint64 bytes);

// Decodes a JPEG into an RGB888 image. Truncated data, data that is not a
// JPEG and pictures too large to hold are errors.
QImage DecodeJpeg(const QByteArray& data);
QImage ReadJpegFile(const QString& path);

// Largest picture the decoder agrees to allocate, in pixels.
inline constexpr qint64 kMaxJpegPixels = qint64(1) << 26;
