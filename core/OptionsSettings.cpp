#include "OptionsSettings.h"

#include "DataPaths.h"
#include "SettingsSchema.h"
#include "TWaitCursor.h"

#include <QDir>
#include <QFileInfo>

#include <array>

QString CleanPrefix(const QString& stored)
{
    QString cleaned;
    for (const QChar c : stored) {
        if (c.isSpace() || c == QLatin1Char('*') || c == QLatin1Char('/') ||
            c == QLatin1Char(':') || c == QLatin1Char('\\'))
            continue;
        cleaned += c;
    }
    cleaned.truncate(3);
    return cleaned.isEmpty() ? QStringLiteral("ILX") : cleaned;
}

int ScanIntervalForFrequency(int frequency)
{
    static constexpr std::array<int, 6> kIntervals{250, 500, 1000, 5000, 30000, 60000};
    if (frequency < 0 || frequency >= static_cast<int>(kIntervals.size()))
        return 500;
    return kIntervals[static_cast<size_t>(frequency)];
}

/*!
 * \brief Loads the options as the dialog shows them when created and on Cancel.
 */
TOptionsSettings ReadOptions()
{
    const TWaitCursor hourglass;
    TOptionsSettings o;
    o.Sensibility = ReadIntSetting(Setting::Sensibility);
    o.Delta = ReadIntSetting(Setting::Delta);
    o.Sharpness = ReadIntSetting(Setting::Sharpness);
    o.Auto = ReadBoolSetting(Setting::Auto);
    o.Delay = ReadIntSetting(Setting::Delay);
    o.Pause = ReadBoolSetting(Setting::Pause);
    o.Select = ReadBoolSetting(Setting::Select, false);
    o.Driver = ReadStringSetting(Setting::Driver);
    o.Scheduler = ReadBoolSetting(Setting::Scheduler);
    o.Reconnect = ReadBoolSetting(Setting::Reconnect);
    o.IgnoreLight = ReadBoolSetting(Setting::IgnoreLight);
    o.IgnoreAreas = IgnoreMask::FromText(ReadStringSetting(Setting::IgnoreAreas));

    o.Frequency = ReadIntSetting(Setting::Frequency);
    o.Prefix = CleanPrefix(ReadStringSetting(Setting::Prefix));
    o.Folder = ReadStringSetting(Setting::Folder);
    if (o.Folder.isEmpty() || !QFileInfo(o.Folder).isDir()) {
        o.Folder = DataPaths().CapturesFolder();
        QDir().mkpath(o.Folder);
    }
    o.FolderExists = QFileInfo(o.Folder).isDir();
    o.Date = ReadBoolSetting(Setting::Date);
    o.Quality = ReadIntSetting(Setting::Quality);
    o.KeepDays = ReadIntSetting(Setting::KeepDays);
    o.KeepMB = ReadIntSetting(Setting::KeepMB);
    o.Clip = ReadBoolSetting(Setting::Clip);
    o.ClipBefore = ReadIntSetting(Setting::ClipBefore);
    o.ClipAfter = ReadIntSetting(Setting::ClipAfter);
    o.LastImage = ReadStringSetting(Setting::LastImage);
    if (!o.LastImage.isEmpty() && !QFileInfo(o.LastImage).isFile())
        o.LastImage.clear();

    o.Beep = ReadBoolSetting(Setting::Beep);
    o.Wav = ReadStringSetting(Setting::Wav);
    if (!o.Wav.isEmpty() && !QFileInfo(o.Wav).isFile())
        o.Wav.clear();
    o.Loop = ReadBoolSetting(Setting::Loop);
    o.Log = ReadBoolSetting(Setting::Log);
    o.Notify = ReadBoolSetting(Setting::Notify);
    return o;
}

/*!
 * \brief Saves the options on OK and Apply.
 */
void WriteOptions(const TOptionsSettings& o)
{
    const TWaitCursor hourglass;
    WriteIntSetting(Setting::Sensibility, o.Sensibility);
    WriteIntSetting(Setting::Delta, o.Delta);
    WriteIntSetting(Setting::Sharpness, o.Sharpness);
    WriteBoolSetting(Setting::Auto, o.Auto);
    WriteIntSetting(Setting::Delay, o.Delay);
    WriteBoolSetting(Setting::Pause, o.Pause);
    WriteBoolSetting(Setting::Select, o.Select);
    WriteStringSetting(Setting::Driver, o.Driver);
    WriteBoolSetting(Setting::Scheduler, o.Scheduler);
    WriteBoolSetting(Setting::Reconnect, o.Reconnect);
    WriteBoolSetting(Setting::IgnoreLight, o.IgnoreLight);
    WriteStringSetting(Setting::IgnoreAreas, o.IgnoreAreas.toText());

    WriteIntSetting(Setting::Frequency, o.Frequency);
    WriteStringSetting(Setting::Prefix, o.Prefix);
    WriteStringSetting(Setting::Folder, o.Folder);
    WriteBoolSetting(Setting::Date, o.Date);
    WriteIntSetting(Setting::Quality, o.Quality);
    WriteIntSetting(Setting::KeepDays, o.KeepDays);
    WriteIntSetting(Setting::KeepMB, o.KeepMB);
    WriteBoolSetting(Setting::Clip, o.Clip);
    WriteIntSetting(Setting::ClipBefore, o.ClipBefore);
    WriteIntSetting(Setting::ClipAfter, o.ClipAfter);

    WriteBoolSetting(Setting::Beep, o.Beep);
    WriteStringSetting(Setting::Wav, o.Wav);
    WriteBoolSetting(Setting::Loop, o.Loop);
    WriteBoolSetting(Setting::Log, o.Log);
    WriteBoolSetting(Setting::Notify, o.Notify);
}
