#include "MainWindowSettings.h"

#include "SettingsSchema.h"

TScanFrameSettings MakeFrameConsistent(TScanFrameSettings f)
{
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
 * \brief Saves the main window's settings at close. A failed write raises
 *        EIlxError; the keys written before it stay written.
 */
void WriteMainWindowSettings(const TMainWindowSettings& s)
{
    WriteBoolSetting(Setting::Zoom, s.Zoom);
    if (!s.Driver.isEmpty())
        WriteStringSetting(Setting::Driver, s.Driver);
    WriteIntSetting(Setting::FramePX, s.Frame.FramePX);
    WriteIntSetting(Setting::FramePY, s.Frame.FramePY);
    WriteIntSetting(Setting::FramePW, s.Frame.FramePW);
    WriteIntSetting(Setting::FramePH, s.Frame.FramePH);
    WriteBoolSetting(Setting::FrameOn, s.Frame.FrameOn);
    WriteBoolSetting(Setting::Scheduler, s.Scheduler);
    WriteStringSetting(Setting::LastImage, s.LastImage);
}
