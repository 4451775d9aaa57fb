#include "MainWindowSettings.h"

#include "EIlxError.h"
#include "SettingsSchema.h"

#include <algorithm>
#include <optional>

TScanFrameSettings MakeFrameConsistent(TScanFrameSettings f)
{
    // A frame at the right or bottom edge would be 0 wide or high and never
    // see anything: it keeps at least 1 % inside the picture.
    f.FramePX = std::min(f.FramePX, 99);
    f.FramePY = std::min(f.FramePY, 99);
    if (f.FramePW < 1)
        f.FramePW = 50;
    if (f.FramePH < 1)
        f.FramePH = 50;
    if (f.FramePX + f.FramePW > 100)
        f.FramePW = 100 - f.FramePX;
    if (f.FramePY + f.FramePH > 100)
        f.FramePH = 100 - f.FramePY;
    return f;
}

/*!
 * \brief Reads the main window's settings in the order of its creation:
 *        iLXLE.INI, then iLXLE_PARAM.DAT, then iLXLE_IMAGE.DAT.
 */
TMainWindowSettings ReadMainWindowSettings()
{
    TMainWindowSettings s;
    s.FramesPreview = ReadIntSetting(Setting::FramesPreview);
    s.FramesCapture = ReadIntSetting(Setting::FramesCapture);
    s.Zoom = ReadBoolSetting(Setting::Zoom);
    s.Web = ReadStringSetting(Setting::Web);
    s.Stabilite = ReadIntSetting(Setting::Stabilite);

    TScanFrameSettings f;
    f.FramePX = ReadIntSetting(Setting::FramePX);
    f.FramePY = ReadIntSetting(Setting::FramePY);
    f.FramePW = ReadIntSetting(Setting::FramePW);
    f.FramePH = ReadIntSetting(Setting::FramePH);
    f.FrameOn = ReadBoolSetting(Setting::FrameOn);
    s.Frame = MakeFrameConsistent(f);
    s.Scheduler = ReadBoolSetting(Setting::Scheduler);
    s.Driver = ReadStringSetting(Setting::Driver);
    s.SelectDriver = ReadBoolSetting(Setting::Select, true);

    s.LastImage = ReadStringSetting(Setting::LastImage);
    return s;
}

/*!
 * \brief Saves the main window's settings at close. Every key is tried, so a
 *        settings file that cannot be written costs only its own keys; the
 *        first failure is then raised as EIlxError.
 */
void WriteMainWindowSettings(const TMainWindowSettings& s)
{
    std::optional<EIlxError> failure;
    const auto attempt = [&failure](const auto& write) {
        try {
            write();
        } catch (const EIlxError& e) {
            if (!failure)
                failure = e;
        }
    };
    attempt([&] { WriteBoolSetting(Setting::Zoom, s.Zoom); });
    if (!s.Driver.isEmpty())
        attempt([&] { WriteStringSetting(Setting::Driver, s.Driver); });
    attempt([&] { WriteIntSetting(Setting::FramePX, s.Frame.FramePX); });
    attempt([&] { WriteIntSetting(Setting::FramePY, s.Frame.FramePY); });
    attempt([&] { WriteIntSetting(Setting::FramePW, s.Frame.FramePW); });
    attempt([&] { WriteIntSetting(Setting::FramePH, s.Frame.FramePH); });
    attempt([&] { WriteBoolSetting(Setting::FrameOn, s.Frame.FrameOn); });
    attempt([&] { WriteBoolSetting(Setting::Scheduler, s.Scheduler); });
    attempt([&] { WriteStringSetting(Setting::LastImage, s.LastImage); });
    if (failure)
        throw *failure;
}
