#include "StatusBarRules.h"

#include <algorithm>

namespace StatusBarRules {

int Panel0Width(int barWidth, int w1, int w2)
{
    return std::max(48, barWidth - w1 - w2 - 16);
}

QString HintAt(int x, int w0, int w1, int w2, int detections, AlarmState alarm)
{
    if (x >= 1 && x <= w0 + 2)
        return QStringLiteral("Information");
    if (x > w0 + 2 && x <= w0 + w1 + 2)
        return detections != 0 ? QStringLiteral("Detection") : QStringLiteral("No detection");
    if (x > w0 + w1 + 2 && x <= w0 + w1 + w2 + 2) {
        if (x <= w0 + w1 + 2 + kIconZone) {
            if (alarm.SoundPlaying)
                return QStringLiteral("Sound alarm is busy");
            if (alarm.AlarmChecked)
                return QStringLiteral("Sound alarm is selected");
            return QStringLiteral("Sound alarm is note selected");
        }
        return QStringLiteral("Alarm set");
    }
    return QStringLiteral("Resizing window");
}

bool InAlarmClickZone(int x, int w0, int w1)
{
    return x >= w0 + w1 + 2 && x <= w0 + w1 + kIconZone;
}

AlarmIcon IconFor(AlarmState alarm)
{
    if (alarm.SoundPlaying)
        return IconSoundPlaying;
    return alarm.AlarmChecked ? IconAlarmOn : IconAlarmOff;
}

} // namespace StatusBarRules
