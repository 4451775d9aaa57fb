// The two capture-format files are read at every connection and their header
// goes to the driver once it passes PlausibleVideoFormat: any bytes must
// either be refused with a message or be read exactly as stored.
#include "EIlxError.h"
#include "FuzzSupport.h"
#include "VideoFormatFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzFile file("iLXLE_USER.VID");
    BitmapInfoHeader header;
    try {
        header = ReadVideoFormatFile(file.Write(data, size));
    } catch (const EIlxError& e) {
        if (e.message().isEmpty())
            std::abort();
        return 0;
    }
    if (size < std::size_t(BitmapInfoHeader::kSize))
        std::abort();
    // What was accepted is what the file holds, byte for byte.
    if (header.toBytes() !=
        QByteArray(reinterpret_cast<const char*>(data), BitmapInfoHeader::kSize))
        std::abort();
    return 0;
}
