#pragma once

#include <QDateTime>
#include <QString>
#include <QTime>

// Day names and time-of-day texts of the scheduler. Day indexes run
// 0 = Sunday .. 6 = Saturday; an index outside that raises EIlxError.
QString FrenchDayName(int index);
QString EnglishDayName(int index);

// 0..86399 seconds after midnight as a time of day; anything else raises EIlxError.
QTime SecondsToTime(int seconds);
int TimeToSeconds(const QTime& time);
int TimeToSeconds(const QDateTime& moment);

// The program's long time format: 24-hour "hh:mm:ss", whatever the locale.
QString LongTimeText(const QTime& time);
// A schedule boundary as "hh:mm"; the end of the day (86400 s) reads "24:00".
QString CellTimeText(int seconds);
QString MillisecondsToTimeText(int milliseconds);
