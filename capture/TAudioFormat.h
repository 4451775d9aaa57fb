#pragma once

#include "CaptureRecords.h"

#include <functional>

enum class TChannel
{
    Stereo,
    Mono
};

enum class THertz
{
    _8kHz,
    _11025kHz,
    _22050kHz,
    _44100kHz
};

enum class TBits
{
    _8Bits,
    _16Bits
};

// The audio format of stream capture. Every write is stored and handed to the
// driver at once through the owner's apply routine (the capture component).
class TAudioFormat
{
public:
    explicit TAudioFormat(std::function<void()> apply = {});

    TChannel Channel() const { return channel_; }
    THertz Frequency() const { return frequency_; }
    TBits Bits() const { return bits_; }
    void SetChannel(TChannel value);
    void SetFrequency(THertz value);
    void SetBits(TBits value);

    // Fills rate, channels, bits, block alignment and byte rate into the
    // driver's record; the format tag and extra size stay as the driver had them.
    void ApplyTo(WaveFormat& format) const;

    static int SamplesPerSec(THertz value);

private:
    void Apply();

    std::function<void()> apply_;
    TChannel channel_ = TChannel::Mono;
    THertz frequency_ = THertz::_8kHz;
    TBits bits_ = TBits::_8Bits;
};
