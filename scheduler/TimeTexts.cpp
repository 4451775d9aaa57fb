#include "TimeTexts.h"

#include "EIlxError.h"

#include <array>

namespace {

constexpr int kSecondsPerDay = 86400;

const std::array<const char*, 7> kFrenchDays = {"Dimanche", "Lundi",    "Mardi", "Mercredi",
                                                "Jeudi",    "Vendredi", "Samedi"};
const std::array<const char*, 7> kEnglishDays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                 "Thursday", "Friday", "Saturday"};

QString dayName(const std::array<const char*, 7>& table, int index)
{
    if (index < 0 || index >= static_cast<int>(table.size()))
        throw EIlxError(QStringLiteral("Day index out of range: %1").arg(index));
    return QString::fromLatin1(table[static_cast<std::size_t>(index)]);
}

} // namespace

QString FrenchDayName(int index)
{
    return dayName(kFrenchDays, index);
}

QString EnglishDayName(int index)
{
    return dayName(kEnglishDays, index);
}

QTime SecondsToTime(int seconds)
{
    if (seconds < 0 || seconds >= kSecondsPerDay)
        throw EIlxError(QStringLiteral("Invalid time of day: %1 seconds").arg(seconds));
    return QTime(seconds / 3600, seconds % 3600 / 60, seconds % 60);
}

int TimeToSeconds(const QTime& time)
{
    return time.hour() * 3600 + time.minute() * 60 + time.second();
}

int TimeToSeconds(const QDateTime& moment)
{
    return TimeToSeconds(moment.time());
}

QString LongTimeText(const QTime& time)
{
    return time.toString(QStringLiteral("hh:mm:ss"));
}

QString CellTimeText(int seconds)
{
    if (seconds == kSecondsPerDay)
        return QStringLiteral("24:00");
    return LongTimeText(SecondsToTime(seconds)).left(5);
}

QString MillisecondsToTimeText(int milliseconds)
{
    return LongTimeText(SecondsToTime(milliseconds / 1000));
}
