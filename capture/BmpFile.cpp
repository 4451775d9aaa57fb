#include "BmpFile.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kPixelOffset = kFileHeaderSize + kInfoHeaderSize;
constexpr std::int32_t kPixelsPerMetre = 2835; // 72 dpi

qsizetype Stride(qsizetype width, int bytesPerPixel)
{
    return (width * bytesPerPixel + 3) & ~qsizetype(3);
}

void Fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

template <typename T> T Get(QByteArrayView bytes, qsizetype offset)
{
    return qFromLittleEndian<T>(bytes.data() + offset);
}

} // namespace

QByteArray BmpFile::Encode(const QImage& frame, int bitCount)
{
    const int bytesPerPixel = bitCount == 32 ? 4 : 3;
    // Live frames come as 32-bit pixels, and are read as they are.
    const bool wide = frame.format() == QImage::Format_RGB32;
    const QImage rgb = wide || frame.format() == QImage::Format_RGB888
                           ? frame
                           : frame.convertToFormat(QImage::Format_RGB888);
    const qsizetype width = rgb.width();
    const qsizetype height = rgb.height();
    const qsizetype stride = Stride(width, bytesPerPixel);
    const qsizetype imageSize = stride * height;

    QByteArray out(kPixelOffset + imageSize, '\0');
    auto* base = reinterpret_cast<std::uint8_t*>(out.data());
    base[0] = 'B';
    base[1] = 'M';
    qToLittleEndian<std::uint32_t>(std::uint32_t(out.size()), base + 2);
    qToLittleEndian<std::uint32_t>(kPixelOffset, base + 10);
    std::uint8_t* info = base + kFileHeaderSize;
    qToLittleEndian<std::uint32_t>(kInfoHeaderSize, info + 0);
    qToLittleEndian<std::int32_t>(std::int32_t(width), info + 4);
    qToLittleEndian<std::int32_t>(std::int32_t(height), info + 8);
    qToLittleEndian<std::uint16_t>(1, info + 12);
    qToLittleEndian<std::uint16_t>(std::uint16_t(bytesPerPixel * 8), info + 14);
    qToLittleEndian<std::uint32_t>(std::uint32_t(imageSize), info + 20);
    qToLittleEndian<std::int32_t>(kPixelsPerMetre, info + 24);
    qToLittleEndian<std::int32_t>(kPixelsPerMetre, info + 28);

    // Bottom-up rows of blue, green, red.
    std::uint8_t* pixels = base + kPixelOffset;
    if (wide) {
        for (qsizetype y = 0; y < height; ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(int(height - 1 - y)));
            std::uint8_t* dst = pixels + y * stride;
            for (qsizetype x = 0; x < width; ++x, dst += bytesPerPixel) {
                const QRgb c = src[x];
                dst[0] = std::uint8_t(qBlue(c));
                dst[1] = std::uint8_t(qGreen(c));
                dst[2] = std::uint8_t(qRed(c));
            }
        }
        return out;
    }
    for (qsizetype y = 0; y < height; ++y) {
        const std::uint8_t* src = rgb.constScanLine(int(height - 1 - y));
        std::uint8_t* dst = pixels + y * stride;
        for (qsizetype x = 0; x < width; ++x) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            src += 3;
            dst += bytesPerPixel; // the fourth byte of 32-bit pixels stays 0
        }
    }
    return out;
}

bool BmpFile::Save(const QImage& frame, const QString& path, QString* error, int bitCount)
{
    if (frame.isNull()) {
        Fail(error, QStringLiteral("There is no frame to save"));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        Fail(error, QStringLiteral("Cannot create %1: %2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray bytes = Encode(frame, bitCount);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        Fail(error, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
        file.cancelWriting();
        return false;
    }
    return true;
}

bool BmpFile::WriteScratch(const QImage& frame, const QString& path, QString* error, int bitCount)
{
    if (frame.isNull()) {
        Fail(error, QStringLiteral("There is no frame to save"));
        return false;
    }
    const QByteArray name = QFile::encodeName(path);
    // A new file every time: whatever stood at the name (an older frame, a
    // link planted there) goes, and O_EXCL refuses anything that comes back
    // in between. Rewriting in place would also make the file system sync
    // the truncated file on close.
    if (::unlink(name.constData()) != 0 && errno != ENOENT) {
        Fail(error, QStringLiteral("Cannot replace %1: %2")
                        .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    const int fd =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        Fail(error, QStringLiteral("Cannot create %1: %2")
                        .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    bool ok = true;
    const QByteArray bytes = Encode(frame, bitCount);
    for (qsizetype done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += n > 0 ? n : 0;
    }
    const int savedErrno = errno;
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        ::unlink(name.constData());
        Fail(error, QStringLiteral("Cannot write %1: %2")
                        .arg(path, QString::fromLocal8Bit(std::strerror(savedErrno))));
    }
    return ok;
}

QImage BmpFile::Decode(QByteArrayView bytes, QString* error)
{
    if (bytes.size() < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') {
        Fail(error, QStringLiteral("Not a bitmap file"));
        return {};
    }
    const std::uint32_t pixelOffset = Get<std::uint32_t>(bytes, 10);
    const std::uint32_t headerSize = Get<std::uint32_t>(bytes, kFileHeaderSize);
    const std::int32_t width = Get<std::int32_t>(bytes, kFileHeaderSize + 4);
    const std::int32_t rawHeight = Get<std::int32_t>(bytes, kFileHeaderSize + 8);
    const std::uint16_t planes = Get<std::uint16_t>(bytes, kFileHeaderSize + 12);
    const std::uint16_t bitCount = Get<std::uint16_t>(bytes, kFileHeaderSize + 14);
    const std::uint32_t compression = Get<std::uint32_t>(bytes, kFileHeaderSize + 16);

    if (headerSize < kInfoHeaderSize || planes != 1) {
        Fail(error, QStringLiteral("Unsupported bitmap header"));
        return {};
    }
    if ((bitCount != 24 && bitCount != 32) || compression != 0) {
        Fail(error, QStringLiteral("Unsupported bitmap format: %1 bits, compression %2")
                        .arg(bitCount)
                        .arg(compression));
        return {};
    }
    // rawHeight may be INT32_MIN: compare before negating.
    if (width <= 0 || width > BmpFile::kMaxSide || rawHeight == 0 ||
        rawHeight < -BmpFile::kMaxSide || rawHeight > BmpFile::kMaxSide) {
        Fail(error, QStringLiteral("Bitmap size out of range: %1 x %2").arg(width).arg(rawHeight));
        return {};
    }
    const bool topDown = rawHeight < 0;
    const int height = topDown ? -rawHeight : rawHeight;
    const int bytesPerPixel = bitCount / 8;
    const qsizetype stride = Stride(width, bytesPerPixel);
    if (pixelOffset < kFileHeaderSize + headerSize || pixelOffset > std::uint64_t(bytes.size()) ||
        stride * height > bytes.size() - qsizetype(pixelOffset)) {
        Fail(error, QStringLiteral("Bitmap file is truncated"));
        return {};
    }

    QImage image(width, height, QImage::Format_RGB888);
    if (image.isNull()) {
        Fail(error,
             QStringLiteral("Not enough memory for a %1 x %2 bitmap").arg(width).arg(height));
        return {};
    }
    const auto* pixels = reinterpret_cast<const std::uint8_t*>(bytes.data()) + pixelOffset;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = pixels + (topDown ? y : height - 1 - y) * stride;
        std::uint8_t* dst = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            src += bytesPerPixel;
            dst += 3;
        }
    }
    return image;
}

QImage BmpFile::Load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(error, QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
        return {};
    }
    // Frames are at most kMaxSide^2 * 4 bytes plus headers; refuse anything
    // larger before reading it into memory.
    constexpr qint64 kMaxFileSize = qint64(BmpFile::kMaxSide) * BmpFile::kMaxSide * 4 + 1024 * 1024;
    if (file.size() > kMaxFileSize) {
        Fail(error, QStringLiteral("Bitmap file %1 is too large").arg(path));
        return {};
    }
    const QByteArray bytes = file.readAll();
    return Decode(bytes, error);
}
