#include "Horaires.h"

#include "Clock.h"
#include "EIlxError.h"
#include "ShowMessageBox.h"
#include "TTimeCells.h"
#include "TimeTexts.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

const char* const kInvalidFile = "Invalid File \"Scheduler\" !";
const char* const kWriteError = "Error writing file \"Scheduler\" !";

void warn(const char* text)
{
    ShowMessageBox(nullptr, QString::fromLatin1(text), MkWarning, MbOk);
}

} // namespace

void LoadSchedule(TTimeCells& cells, const QString& path)
{
    if (!QFileInfo::exists(path))
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EIlxError(
            QStringLiteral("Cannot open the schedule file %1: %2").arg(path, file.errorString()));

    // Bytes past the week are never looked at; a short read keeps what it got.
    const QByteArray bytes = file.read(TTimeCells::kCellCount);
    file.close();
    if (!ParseSchedule(bytes, cells))
        warn(kInvalidFile);
}

bool ParseSchedule(const QByteArray& bytes, TTimeCells& cells)
{
    const int count = std::min<int>(static_cast<int>(bytes.size()), TTimeCells::kCellCount);
    for (int i = 0; i < count; ++i)
        cells.SetAtPosition(i, bytes[i] != 0);
    return bytes.size() >= TTimeCells::kCellCount;
}

bool SaveSchedule(const TTimeCells& cells, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EIlxError(
            QStringLiteral("Cannot create the schedule file %1: %2").arg(path, file.errorString()));

    QByteArray bytes(TTimeCells::kCellCount, '\0');
    for (int i = 0; i < TTimeCells::kCellCount; ++i)
        bytes[i] = cells.AtPosition(i) ? '\1' : '\0';

    // Nothing replaces the old file unless every byte went out and the rename worked.
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        file.cancelWriting();
        warn(kWriteError);
        return false;
    }
    return true;
}

void GetCurrentCell(const TTimeCells& cells, int& timeCell, int& weekday, bool& flag)
{
    const QDateTime now = IlxNow();
    timeCell = TimeToSeconds(now) / 60 / 15;
    // Qt counts 1 = Monday .. 7 = Sunday; the schedule counts 1 = Sunday.
    weekday = now.date().dayOfWeek() % 7 + 1;
    flag = cells.Cell(timeCell, weekday);
}

bool FindNextChange(const TTimeCells& cells, QTime& startTime, int& dayIndex)
{
    int timeCell = 0;
    int weekday = 0;
    bool flag = false;
    GetCurrentCell(cells, timeCell, weekday, flag);

    const int start = (weekday - 1) * TTimeCells::kCellsPerDay + timeCell;
    int i = start;
    do {
        i = (i + 1) % TTimeCells::kCellCount;
        if (cells.AtPosition(i) != flag) {
            try {
                startTime = SecondsToTime(i % TTimeCells::kCellsPerDay * 15 * 60);
            } catch (const EIlxError&) {
                return false;
            }
            dayIndex = i / TTimeCells::kCellsPerDay;
            return true;
        }
    } while (i != start);
    return false;
}
