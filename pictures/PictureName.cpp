#include "PictureName.h"

#include <utility>

namespace {

QString twoDigits(int value)
{
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

QString threeDigits(int value)
{
    return QString::number(value).rightJustified(3, QLatin1Char('0'));
}

// The digits at 1-based positions first..first+count-1, or -1 when any of
// them is not an ASCII digit (or the name is too short).
int fieldAt(const QString& name, int first, int count)
{
    if (name.size() < first - 1 + count)
        return -1;
    int value = 0;
    for (int i = first - 1; i < first - 1 + count; ++i) {
        const QChar c = name.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

// Literal characters of the listing pattern, by 0-based position after the
// prefix; every other position up to the extension is a one-character wildcard.
constexpr int kShortestPrefix = 1;
constexpr int kLongestPrefix = 3;
constexpr int kNameLengthAfterPrefix = 28; // " yyyy-mm-dd hh-mm-ss-mmm.jpg"
constexpr std::pair<int, char> kLiterals[] = {{0, ' '},  {5, '-'},  {8, '-'}, {11, ' '},
                                              {14, '-'}, {17, '-'}, {20, '-'}};

// The prefix's length as the name's length tells it; 0 for no picture name.
int prefixLength(const QString& name)
{
    const int length = static_cast<int>(name.size()) - kNameLengthAfterPrefix;
    return length >= kShortestPrefix && length <= kLongestPrefix ? length : 0;
}

// The digits of a field given by its 1-based position in a name with a
// three-character prefix, in a name whose prefix may be shorter.
int dateField(const QString& name, int first, int count)
{
    const int prefix = prefixLength(name);
    if (prefix == 0)
        return -1;
    return fieldAt(name, first - kLongestPrefix + prefix, count);
}

// The time of day read from a name; empty when its fields are no valid time.
std::optional<QTime> timeOfDay(const QString& name)
{
    const int hour = dateField(name, 16, 2);
    const int minute = dateField(name, 19, 2);
    const int second = dateField(name, 22, 2);
    const int msec = dateField(name, 25, 3);
    if (hour < 0 || minute < 0 || second < 0 || msec < 0 ||
        !QTime::isValid(hour, minute, second, msec))
        return std::nullopt;
    return QTime(hour, minute, second, msec);
}

} // namespace

QString PictureFileName(const QString& folder, const QString& prefix, const QDateTime& when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    path += prefix + QLatin1Char(' ') +
            QString::number(d.year()).rightJustified(4, QLatin1Char('0')) + QLatin1Char('-') +
            twoDigits(d.month()) + QLatin1Char('-') + twoDigits(d.day()) + QLatin1Char(' ') +
            twoDigits(t.hour()) + QLatin1Char('-') + twoDigits(t.minute()) + QLatin1Char('-') +
            twoDigits(t.second()) + QLatin1Char('-') + threeDigits(t.msec()) +
            QLatin1String(".jpg");
    return path;
}

QString StampDateText(const QDateTime& when)
{
    const QDate d = when.date();
    return twoDigits(d.day()) + QLatin1Char('-') + twoDigits(d.month()) + QLatin1Char('-') +
           twoDigits(d.year() % 100);
}

QString StampTimeText(const QDateTime& when)
{
    const QTime t = when.time();
    return twoDigits(t.hour()) + QLatin1Char(':') + twoDigits(t.minute()) + QLatin1Char(':') +
           twoDigits(t.second()) + QLatin1Char(':') + threeDigits(t.msec());
}

bool MatchesPictureName(const QString& name)
{
    // Prefixes of one to three characters: the options accept all three.
    const int prefix = prefixLength(name);
    if (prefix == 0)
        return false;
    for (const auto& [pos, c] : kLiterals) {
        if (name.at(prefix + pos) != QLatin1Char(c))
            return false;
    }
    // The pictures folder may sit on a file system that keeps case as typed.
    return name.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive);
}

std::optional<QDate> PictureNameDate(const QString& name)
{
    const int year = dateField(name, 5, 4);
    const int month = dateField(name, 10, 2);
    const int day = dateField(name, 13, 2);
    if (year < 1 || month < 0 || day < 0 || !QDate::isValid(year, month, day))
        return std::nullopt;
    return QDate(year, month, day);
}

std::optional<QDateTime> PictureNameTime(const QString& name)
{
    const auto date = PictureNameDate(name);
    const auto time = timeOfDay(name);
    if (!date || !time)
        return std::nullopt;
    return QDateTime(*date, *time);
}

qint64 WallClockMs(const QDateTime& when)
{
    return when.date().toJulianDay() * 86400000 + when.time().msecsSinceStartOfDay();
}

std::optional<qint64> PictureNameWallClock(const QString& name)
{
    const auto date = PictureNameDate(name);
    const auto time = timeOfDay(name);
    if (!date || !time)
        return std::nullopt;
    return date->toJulianDay() * 86400000 + time->msecsSinceStartOfDay();
}

QString ClipFileName(const QString& picturePath)
{
    static const QLatin1String kPicture(".jpg");
    if (!picturePath.endsWith(kPicture, Qt::CaseInsensitive))
        return {};
    return picturePath.chopped(kPicture.size()) + QLatin1String(".mp4");
}
