#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

// Frame files: uncompressed bottom-up BMP, 24-bit unless the capture format
// asks for 32 (blue, green, red, unused), the form every grab writes.
// Reading treats the file as untrusted: every size is checked against the
// data before anything is allocated, and a bad file is an error text, never
// a crash.
namespace BmpFile {

// Largest side accepted on reading; far above any capture size.
constexpr int kMaxSide = 16384;

// bitCount 32 writes 32-bit pixels; anything else 24-bit.
QByteArray Encode(const QImage& frame, int bitCount = 24);
// True = written whole (through a temporary file, so a reader never sees half
// a frame). On failure *error says why.
bool Save(const QImage& frame, const QString& path, QString* error = nullptr, int bitCount = 24);

// The live frame, written several times a second: a new file each time,
// straight, with no sync and no rename, for the user alone (0600); whatever
// stood at the name (a link planted there too) is removed, never written
// through. A write that fails leaves no file.
bool WriteScratch(const QImage& frame, const QString& path, QString* error = nullptr,
                  int bitCount = 24);

// 24- and 32-bit uncompressed, bottom-up or top-down. Answers RGB888, or a null
// image with *error set.
QImage Decode(QByteArrayView bytes, QString* error = nullptr);
QImage Load(const QString& path, QString* error = nullptr);

} // namespace BmpFile
