#pragma once

#include <QByteArray>

#include <cstdint>

// What the alarm needs to know of a RIFF WAVE image: whether it is one and how
// long it plays. The bytes are untrusted: every offset is checked.
struct WavInfo
{
    bool valid = false;
    std::uint16_t format = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t byteRate = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint32_t dataBytes = 0;

    // Play time in milliseconds; 0 for an invalid image.
    qint64 DurationMs() const;

    // `head` is the start of the image; `totalSize` the whole image's size when
    // only its head was read (-1: head is all of it).
    static WavInfo Parse(const QByteArray& head, qint64 totalSize = -1);
};
