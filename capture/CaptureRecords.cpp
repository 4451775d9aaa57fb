#include "CaptureRecords.h"

#include <QtEndian>

namespace {

// Little-endian field writer and reader over a fixed-size record.
class RecordWriter
{
public:
    explicit RecordWriter(int size) : bytes_(size, '\0') {}

    template <typename T> void put(int offset, T value)
    {
        qToLittleEndian<T>(value, bytes_.data() + offset);
    }
    QByteArray take() { return std::move(bytes_); }

private:
    QByteArray bytes_;
};

template <typename T> T get(QByteArrayView bytes, int offset)
{
    return qFromLittleEndian<T>(bytes.data() + offset);
}

} // namespace

QByteArray BitmapInfoHeader::toBytes() const
{
    RecordWriter w(kSize);
    w.put(0, size);
    w.put(4, width);
    w.put(8, height);
    w.put(12, planes);
    w.put(14, bitCount);
    w.put(16, compression);
    w.put(20, sizeImage);
    w.put(24, xPelsPerMeter);
    w.put(28, yPelsPerMeter);
    w.put(32, clrUsed);
    w.put(36, clrImportant);
    return w.take();
}

std::optional<BitmapInfoHeader> BitmapInfoHeader::fromBytes(QByteArrayView bytes)
{
    if (bytes.size() < kSize)
        return std::nullopt;
    BitmapInfoHeader h;
    h.size = get<std::uint32_t>(bytes, 0);
    h.width = get<std::int32_t>(bytes, 4);
    h.height = get<std::int32_t>(bytes, 8);
    h.planes = get<std::uint16_t>(bytes, 12);
    h.bitCount = get<std::uint16_t>(bytes, 14);
    h.compression = get<std::uint32_t>(bytes, 16);
    h.sizeImage = get<std::uint32_t>(bytes, 20);
    h.xPelsPerMeter = get<std::int32_t>(bytes, 24);
    h.yPelsPerMeter = get<std::int32_t>(bytes, 28);
    h.clrUsed = get<std::uint32_t>(bytes, 32);
    h.clrImportant = get<std::uint32_t>(bytes, 36);
    return h;
}

QByteArray VideoFormat::toBytes() const
{
    return header.toBytes() + colourData;
}

std::optional<VideoFormat> VideoFormat::fromBytes(QByteArrayView bytes)
{
    const auto header = BitmapInfoHeader::fromBytes(bytes);
    if (!header)
        return std::nullopt;
    return VideoFormat{*header, bytes.sliced(BitmapInfoHeader::kSize).toByteArray()};
}

QByteArray DriverCaps::toBytes() const
{
    RecordWriter w(kSize);
    w.put(0, deviceIndex);
    w.put(4, hasOverlay);
    w.put(8, hasDlgVideoSource);
    w.put(12, hasDlgVideoFormat);
    w.put(16, hasDlgVideoDisplay);
    w.put(20, captureInitialized);
    w.put(24, driverSuppliesPalettes);
    for (int i = 0; i < 4; ++i)
        w.put(28 + 4 * i, reserved[i]);
    return w.take();
}

std::optional<DriverCaps> DriverCaps::fromBytes(QByteArrayView bytes)
{
    if (bytes.size() < kSize)
        return std::nullopt;
    DriverCaps c;
    c.deviceIndex = get<std::uint32_t>(bytes, 0);
    c.hasOverlay = get<std::uint32_t>(bytes, 4);
    c.hasDlgVideoSource = get<std::uint32_t>(bytes, 8);
    c.hasDlgVideoFormat = get<std::uint32_t>(bytes, 12);
    c.hasDlgVideoDisplay = get<std::uint32_t>(bytes, 16);
    c.captureInitialized = get<std::uint32_t>(bytes, 20);
    c.driverSuppliesPalettes = get<std::uint32_t>(bytes, 24);
    for (int i = 0; i < 4; ++i)
        c.reserved[i] = get<std::uint32_t>(bytes, 28 + 4 * i);
    return c;
}

namespace {

// The stream-capture record is 23 consecutive 32-bit fields, in declaration order.
constexpr std::uint32_t CaptureParams::*kParamFields[] = {
    &CaptureParams::requestMicroSecPerFrame,
    &CaptureParams::makeUserHitOKToCapture,
    &CaptureParams::percentDropForError,
    &CaptureParams::yield,
    &CaptureParams::indexSize,
    &CaptureParams::chunkGranularity,
    &CaptureParams::usingDOSMemory,
    &CaptureParams::numVideoRequested,
    &CaptureParams::captureAudio,
    &CaptureParams::numAudioRequested,
    &CaptureParams::keyAbort,
    &CaptureParams::abortLeftMouse,
    &CaptureParams::abortRightMouse,
    &CaptureParams::limitEnabled,
    &CaptureParams::timeLimit,
    &CaptureParams::mciControl,
    &CaptureParams::stepMCIDevice,
    &CaptureParams::mciStartTime,
    &CaptureParams::mciStopTime,
    &CaptureParams::stepCaptureAt2x,
    &CaptureParams::stepCaptureAverageFrames,
    &CaptureParams::audioBufferSize,
    &CaptureParams::disableWriteCache,
};
static_assert(std::size(kParamFields) * 4 == CaptureParams::kSize);

} // namespace

QByteArray CaptureParams::toBytes() const
{
    RecordWriter w(kSize);
    int offset = 0;
    for (const auto field : kParamFields) {
        w.put(offset, this->*field);
        offset += 4;
    }
    return w.take();
}

std::optional<CaptureParams> CaptureParams::fromBytes(QByteArrayView bytes)
{
    if (bytes.size() < kSize)
        return std::nullopt;
    CaptureParams p;
    int offset = 0;
    for (const auto field : kParamFields) {
        p.*field = get<std::uint32_t>(bytes, offset);
        offset += 4;
    }
    return p;
}

QByteArray WaveFormat::toBytes() const
{
    RecordWriter w(kSize);
    w.put(0, formatTag);
    w.put(2, channels);
    w.put(4, samplesPerSec);
    w.put(8, avgBytesPerSec);
    w.put(12, blockAlign);
    w.put(14, bitsPerSample);
    w.put(16, cbSize);
    return w.take();
}

std::optional<WaveFormat> WaveFormat::fromBytes(QByteArrayView bytes)
{
    if (bytes.size() < kSize)
        return std::nullopt;
    WaveFormat f;
    f.formatTag = get<std::uint16_t>(bytes, 0);
    f.channels = get<std::uint16_t>(bytes, 2);
    f.samplesPerSec = get<std::uint32_t>(bytes, 4);
    f.avgBytesPerSec = get<std::uint32_t>(bytes, 8);
    f.blockAlign = get<std::uint16_t>(bytes, 12);
    f.bitsPerSample = get<std::uint16_t>(bytes, 14);
    f.cbSize = get<std::uint16_t>(bytes, 16);
    return f;
}
