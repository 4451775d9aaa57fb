// The alarm log is read back at the start of every alarm run, whatever the
// file holds: any bytes must open, trim and take new lines without fault, and
// what is written back must be within the trim bounds.
#include "FuzzSupport.h"
#include "TAlarmLog.h"

#include <QFile>

#include <cstdlib>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzFile file("iLXLE_SOUND.LOG");
    TAlarmLog log(file.Write(data, size));
    if (log.Open(true)) {
        log.Add(QStringLiteral("Start Sound: fuzz"));
        log.AppendEvent(QStringLiteral("Camera lost: fuzz"));
        // Trimming leaves either a file within the trim size or too few
        // lines to drop another round.
        const std::optional<QStringList> lines = log.Lines();
        if (lines && lines->size() >= TAlarmLog::kTrimMinLines &&
            QFile(file.Path()).size() > TAlarmLog::kTrimSize)
            std::abort();
        log.Close();
    }
    return 0;
}
