#pragma once

#include <QString>
#include <QTime>

class TTimeCells;

// The schedule file: exactly 672 bytes, one per quarter hour, Sunday 00:00
// first and weekday-major (byte (weekday - 1) * 96 + time cell), 1 = scan.

// Reads the file into cells. No file: nothing changes. A short or unreadable
// file warns "Invalid File "Scheduler" !" and keeps the cells read so far.
// A file that exists but cannot be opened raises EIlxError, cells untouched.
// Any nonzero byte reads as "scan".
void LoadSchedule(TTimeCells& cells, const QString& path);

// The display-free part of the load: stores the first bytes of a file's
// content (at most one week) into cells; false when it held less than a week.
bool ParseSchedule(const QByteArray& bytes, TTimeCells& cells);

// Writes all 672 flags through a save file, so the old schedule survives a
// failed write whole. A file that cannot be created raises EIlxError; a failed
// write warns "Error writing file "Scheduler" !" and returns false.
bool SaveSchedule(const TTimeCells& cells, const QString& path);

// The quarter hour holding IlxNow(): time cell 0..95, weekday 1 = Sunday, flag.
void GetCurrentCell(const TTimeCells& cells, int& timeCell, int& weekday, bool& flag);

// The first quarter hour after the current one, walking one week forward and
// wrapping from Saturday 23:45 to Sunday 00:00, whose flag differs from the
// current one: its start and its day index (0 = Sunday). False when the whole
// week carries the current flag.
bool FindNextChange(const TTimeCells& cells, QTime& startTime, int& dayIndex);
