// The viewer decodes whatever carries a picture name in the pictures folder:
// any bytes give a picture or an exception with a message, never a crash, and
// never a picture larger than the decoder agrees to allocate.
#include "EIlxError.h"
#include "JpegCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const QImage picture = DecodeJpeg(QByteArray::fromRawData(
            reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
        if (picture.isNull() || picture.format() != QImage::Format_RGB888 ||
            qint64(picture.width()) * picture.height() > kMaxJpegPixels)
            std::abort();
    } catch (const EIlxError& e) {
        if (e.message().isEmpty())
            std::abort();
    }
    return 0;
}
