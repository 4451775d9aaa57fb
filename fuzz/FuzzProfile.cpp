// Settings files are edited by hand and damaged by crashes of other programs:
// any bytes must read without fault, and a write of one key must leave that
// key readable with its new value and every other key as it read before.
#include "EIlxError.h"
#include "FuzzSupport.h"
#include "ProfileFile.h"

#include <QFile>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzFile file("iLXLE_PARAM.DAT");
    const QString& path = file.Write(data, size);
    const QString setup = QStringLiteral("Setup");
    const QString before = ReadProfileString(path, setup, QStringLiteral("Sensibility"), "85");
    const QString other = ReadProfileString(path, QStringLiteral("application"),
                                            QStringLiteral("NORMPOS"), QString());
    if (before.size() > kProfileValueMax || other.size() > kProfileValueMax)
        std::abort();
    if (static_cast<qint64>(size) > kProfileFileMax)
        return 0;
    try {
        WriteProfileString(path, setup, QStringLiteral("Delta"), QStringLiteral("42"));
    } catch (const EIlxError&) {
        return 0; // refusing a damaged file is allowed; losing it silently is not
    }
    if (ReadProfileString(path, QStringLiteral("SETUP"), QStringLiteral("delta"), "5") != "42")
        std::abort();
    if (ReadProfileString(path, setup, QStringLiteral("Sensibility"), "85") != before)
        std::abort();
    if (ReadProfileString(path, QStringLiteral("Application"), QStringLiteral("NormPos"),
                          QString()) != other)
        std::abort();
    return 0;
}
