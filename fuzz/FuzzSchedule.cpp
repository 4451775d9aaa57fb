// The schedule file decides when scanning runs; whatever it holds must read
// without fault, each byte giving its own quarter hour and nothing more.
#include "Horaires.h"
#include "TTimeCells.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TTimeCells cells;
    const bool whole = ParseSchedule(bytes, cells);
    if (whole != (size >= std::size_t(TTimeCells::kCellCount)))
        std::abort();
    // Every flag read is "scan" exactly when its byte is not zero.
    for (int i = 0; i < TTimeCells::kCellCount && i < int(size); ++i)
        if (cells.AtPosition(i) != (data[i] != 0))
            std::abort();
    return 0;
}
