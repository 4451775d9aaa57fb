#include "VideoFormatFile.h"

#include "EIlxError.h"

#include <QFile>
#include <QSaveFile>

#include <cstdlib>

namespace {

bool PlausibleDepth(std::uint16_t bits)
{
    // Packed YUV and planar formats report 12 bits; the rest are whole bytes or palettes.
    switch (bits) {
    case 0: // left to the driver
    case 1:
    case 4:
    case 8:
    case 12:
    case 15:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

} // namespace

void WriteVideoFormatFile(const QString& fileName, const BitmapInfoHeader& header)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EIlxError(
            QStringLiteral("Cannot create file \"%1\".\n%2").arg(fileName, file.errorString()));
    const QByteArray bytes = header.toBytes();
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw EIlxError(
            QStringLiteral("Cannot write file \"%1\".\n%2").arg(fileName, file.errorString()));
}

bool PlausibleVideoFormat(const BitmapInfoHeader& header)
{
    return header.size == BitmapInfoHeader::kSize && header.width > 0 &&
           header.width <= MaxVideoFormatSide && header.height != 0 &&
           std::abs(static_cast<long long>(header.height)) <= MaxVideoFormatSide &&
           PlausibleDepth(header.bitCount);
}

BitmapInfoHeader ReadVideoFormatFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EIlxError(
            QStringLiteral("Cannot open file \"%1\".\n%2").arg(fileName, file.errorString()));
    const QByteArray bytes = file.read(BitmapInfoHeader::kSize);
    const auto header = BitmapInfoHeader::fromBytes(bytes);
    if (!header)
        throw EIlxError(QStringLiteral("Read beyond end of file \"%1\".").arg(fileName));
    return *header;
}
