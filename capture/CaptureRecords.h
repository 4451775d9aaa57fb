#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <optional>

// The records the capture component exchanges with a capture driver. Each one
// keeps the little-endian byte layout the component stores or hands on, so
// toBytes()/fromBytes() are exact and every field the component does not touch
// travels back to the driver as it was read.

// The bitmap information header: the first 40 bytes of a video format, and the
// whole content of a capture-format file.
struct BitmapInfoHeader
{
    static constexpr int kSize = 40;

    std::uint32_t size = kSize;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;

    QByteArray toBytes() const;
    // Empty when fewer than kSize bytes are given; extra bytes are ignored.
    static std::optional<BitmapInfoHeader> fromBytes(QByteArrayView bytes);

    friend bool operator==(const BitmapInfoHeader&, const BitmapInfoHeader&) = default;
};

// A video format: the header followed by the driver's colour table or format
// data (empty for true-colour formats).
struct VideoFormat
{
    BitmapInfoHeader header;
    QByteArray colourData;

    int byteSize() const { return BitmapInfoHeader::kSize + int(colourData.size()); }
    QByteArray toBytes() const;
    static std::optional<VideoFormat> fromBytes(QByteArrayView bytes);

    friend bool operator==(const VideoFormat&, const VideoFormat&) = default;
};

// Driver capabilities, 44 bytes. Nonzero flags mean yes.
struct DriverCaps
{
    static constexpr int kSize = 44;

    std::uint32_t deviceIndex = 0;
    std::uint32_t hasOverlay = 0;
    std::uint32_t hasDlgVideoSource = 0;
    std::uint32_t hasDlgVideoFormat = 0;
    std::uint32_t hasDlgVideoDisplay = 0;
    std::uint32_t captureInitialized = 0;
    std::uint32_t driverSuppliesPalettes = 0;
    std::uint32_t reserved[4] = {0, 0, 0, 0};

    QByteArray toBytes() const;
    static std::optional<DriverCaps> fromBytes(QByteArrayView bytes);

    friend bool operator==(const DriverCaps&, const DriverCaps&) = default;
};

// Stream-capture parameters, exchanged as a 92-byte record. The component
// writes only some fields; the others must go back to the driver as read.
struct CaptureParams
{
    static constexpr int kSize = 92;

    std::uint32_t requestMicroSecPerFrame = 66667; // offset 0
    std::uint32_t makeUserHitOKToCapture = 0;      // 4
    std::uint32_t percentDropForError = 10;        // 8
    std::uint32_t yield = 0;                       // 12
    std::uint32_t indexSize = 34952;               // 16
    std::uint32_t chunkGranularity = 0;            // 20
    std::uint32_t usingDOSMemory = 0;              // 24
    std::uint32_t numVideoRequested = 10;          // 28
    std::uint32_t captureAudio = 0;                // 32
    std::uint32_t numAudioRequested = 4;           // 36
    std::uint32_t keyAbort = 27;                   // 40, virtual key code
    std::uint32_t abortLeftMouse = 1;              // 44
    std::uint32_t abortRightMouse = 1;             // 48
    std::uint32_t limitEnabled = 0;                // 52
    std::uint32_t timeLimit = 0;                   // 56, seconds
    std::uint32_t mciControl = 0;                  // 60
    std::uint32_t stepMCIDevice = 0;               // 64
    std::uint32_t mciStartTime = 0;                // 68
    std::uint32_t mciStopTime = 0;                 // 72
    std::uint32_t stepCaptureAt2x = 0;             // 76
    std::uint32_t stepCaptureAverageFrames = 3;    // 80
    std::uint32_t audioBufferSize = 0;             // 84
    std::uint32_t disableWriteCache = 0;           // 88

    QByteArray toBytes() const;
    static std::optional<CaptureParams> fromBytes(QByteArrayView bytes);

    friend bool operator==(const CaptureParams&, const CaptureParams&) = default;
};

// Audio format for stream capture, read and written as a 20-byte buffer
// (18 bytes of fields, then padding).
struct WaveFormat
{
    static constexpr int kSize = 20;

    std::uint16_t formatTag = 1; // PCM
    std::uint16_t channels = 1;
    std::uint32_t samplesPerSec = 8000;
    std::uint32_t avgBytesPerSec = 8000;
    std::uint16_t blockAlign = 1;
    std::uint16_t bitsPerSample = 8;
    std::uint16_t cbSize = 0;

    QByteArray toBytes() const;
    static std::optional<WaveFormat> fromBytes(QByteArrayView bytes);

    friend bool operator==(const WaveFormat&, const WaveFormat&) = default;
};

// Handed by pointer to frame and video-stream notifications; valid only during
// the call. data points at the frame's pixels (RGB, top row first).
struct CaptureVideoHeader
{
    const std::uint8_t* data = nullptr;
    std::uint32_t bufferLength = 0;
    std::uint32_t bytesUsed = 0;
    std::uint32_t timeCaptured = 0; // milliseconds since the preview started
    std::uint32_t flags = 0;
};

// Handed by pointer to wave-stream notifications; valid only during the call.
struct CaptureWaveHeader
{
    const std::uint8_t* data = nullptr;
    std::uint32_t bufferLength = 0;
    std::uint32_t bytesRecorded = 0;
    std::uint32_t flags = 0;
};
