#include "WavInfo.h"

#include <QtEndian>

namespace {

std::uint32_t u32(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<std::uint32_t>(b.constData() + at);
}

std::uint16_t u16(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<std::uint16_t>(b.constData() + at);
}

} // namespace

qint64 WavInfo::DurationMs() const
{
    if (!valid || byteRate == 0)
        return 0;
    return static_cast<qint64>(dataBytes) * 1000 / byteRate;
}

WavInfo WavInfo::Parse(const QByteArray& bytes, qint64 totalSize)
{
    const qint64 total = totalSize < 0 ? bytes.size() : totalSize;
    WavInfo info;
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return info;

    bool haveFormat = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const std::uint32_t size = u32(bytes, at + 4);
        const qsizetype body = at + 8;
        if (id == "fmt ") {
            if (size < 16 || body + 16 > bytes.size())
                return info;
            info.format = u16(bytes, body);
            info.channels = u16(bytes, body + 2);
            info.sampleRate = u32(bytes, body + 4);
            info.byteRate = u32(bytes, body + 8);
            info.bitsPerSample = u16(bytes, body + 14);
            haveFormat = true;
        } else if (id == "data") {
            // A data chunk cut short by the end of the file plays what is there.
            const qint64 available = qMax<qint64>(0, total - body);
            info.dataBytes = static_cast<std::uint32_t>(qMin<qint64>(size, available));
            info.valid = haveFormat && info.byteRate > 0;
            return info;
        }
        // Chunks are padded to an even size.
        at = body + static_cast<qsizetype>(size) + (size & 1);
    }
    return info;
}
