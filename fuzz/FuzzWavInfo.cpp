// A sound file chosen by the user is read before it is played: any bytes are
// either a sound with a length the alarm can wait for, or not a sound.
#include "WavInfo.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const WavInfo whole = WavInfo::Parse(bytes);
    if (whole.valid && (whole.byteRate == 0 || whole.dataBytes > bytes.size()))
        std::abort();
    if (whole.DurationMs() < 0 || (!whole.valid && whole.DurationMs() != 0))
        std::abort();
    // Only the head read, the file said to be longer: the data may run on.
    const WavInfo head = WavInfo::Parse(bytes.left(64), bytes.size());
    if (head.valid && head.dataBytes > bytes.size())
        std::abort();
    return 0;
}
