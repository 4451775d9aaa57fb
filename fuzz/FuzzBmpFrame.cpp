// Every grab is read back from a frame file that another process could have
// replaced: any bytes decode to a frame or an error text, and a frame that
// decodes survives being written and read again unchanged.
#include "BmpFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QString error;
    const QImage frame = BmpFile::Decode(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), &error);
    if (frame.isNull()) {
        if (error.isEmpty())
            std::abort(); // a refusal must say why
        return 0;
    }
    if (frame.format() != QImage::Format_RGB888 || frame.width() > BmpFile::kMaxSide ||
        frame.height() > BmpFile::kMaxSide)
        std::abort();
    if (BmpFile::Decode(BmpFile::Encode(frame)) != frame)
        std::abort();
    return 0;
}
