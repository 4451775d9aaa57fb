#include "OptionsRules.h"

#include "TimeTexts.h"

#include <algorithm>
#include <cstdlib>

namespace OptionsRules {

bool IsPrefixCharRefused(QChar c)
{
    return c == u' ' || c == u'*' || c == u'/' || c == u':' || c == u'\\';
}

QString TypedPrefix(const QString& text)
{
    QString clean;
    for (const QChar c : text) {
        if (!IsPrefixCharRefused(c))
            clean.append(c);
    }
    return clean.left(kPrefixMaxLength);
}

QString QualityCaption(int position)
{
    return QStringLiteral("&Quality:\n%1%").arg(position);
}

qint64 AutoStartRemainingMs(int delayMinutes, std::uint32_t nowTick, std::uint32_t originTick)
{
    const qint64 delay = qint64(std::abs(delayMinutes)) * 60 * 1000;
    // The difference is taken on 32 bits so a wrap of the counter between the
    // origin and now still gives the true elapsed time; a distance beyond
    // half the range means "now" lies before the origin, measured backwards.
    const std::uint32_t forward = nowTick - originTick;
    const std::uint32_t backward = originTick - nowTick;
    const qint64 elapsed = std::min(forward, backward);
    return std::max<qint64>(0, delay - elapsed);
}

QString AutoStartText(qint64 remainingMs)
{
    // At most an hour is ever left, well inside one day.
    return QStringLiteral("Start scanning in ") +
           MillisecondsToTimeText(int(std::min<qint64>(remainingMs, 86399999)));
}

QString LogNotFoundText(const QString& path)
{
    return QStringLiteral("Logfile: \n") + path +
           QStringLiteral("\nnot found !\nNo logfile was created.");
}

QString LogOpenFailedText(const QString& path)
{
    return QStringLiteral("Unable to open logfile:\n") + path;
}

QString DriverLabel(const QString& driverName)
{
    return driverName.isEmpty() ? QStringLiteral("No video driver selected")
                                : QStringLiteral("Video driver: ") + driverName;
}

} // namespace OptionsRules
