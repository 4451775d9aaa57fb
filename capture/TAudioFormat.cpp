#include "TAudioFormat.h"

#include <utility>

TAudioFormat::TAudioFormat(std::function<void()> apply) : apply_(std::move(apply)) {}

void TAudioFormat::SetChannel(TChannel value)
{
    channel_ = value;
    Apply();
}

void TAudioFormat::SetFrequency(THertz value)
{
    frequency_ = value;
    Apply();
}

void TAudioFormat::SetBits(TBits value)
{
    bits_ = value;
    Apply();
}

int TAudioFormat::SamplesPerSec(THertz value)
{
    switch (value) {
    case THertz::_8kHz:
        return 8000;
    case THertz::_11025kHz:
        return 11025;
    case THertz::_22050kHz:
        return 22050;
    case THertz::_44100kHz:
        return 44100;
    }
    return 8000;
}

void TAudioFormat::ApplyTo(WaveFormat& format) const
{
    const auto rate = static_cast<std::uint32_t>(SamplesPerSec(frequency_));
    const std::uint16_t channels = channel_ == TChannel::Mono ? 1 : 2;
    const std::uint16_t bits = bits_ == TBits::_8Bits ? 8 : 16;
    format.samplesPerSec = rate;
    format.channels = channels;
    format.bitsPerSample = bits;
    format.blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
    format.avgBytesPerSec = rate * format.blockAlign;
}

void TAudioFormat::Apply()
{
    if (apply_)
        apply_();
}
