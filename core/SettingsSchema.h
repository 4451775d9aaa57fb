#pragma once

#include <QString>

#include <span>

// The one table of every stored setting: which file, section, key, type,
// default and range. Readers and writers go through it instead of repeating
// key names.
enum class SettingsFileId
{
    Ini,    // iLXLE.INI
    Param,  // iLXLE_PARAM.DAT
    Image,  // iLXLE_IMAGE.DAT
    Alerte, // iLXLE_ALERTE.DAT
};

enum class SettingType
{
    Integer,
    Boolean,
    String,
};

enum class Setting
{
    // iLXLE.INI, "Application": the main window's placement
    Flags,
    ShowCmd,
    PixelsPerInch,
    MinMaxPos,
    NormPos,
    // iLXLE.INI, "Setup"
    FramesPreview,
    FramesCapture,
    Zoom,
    Web,
    Stabilite,
    // iLXLE_PARAM.DAT
    Sensibility,
    Delta,
    Sharpness,
    Auto,
    Delay,
    Pause,
    Select,
    Driver,
    Scheduler,
    FramePX,
    FramePY,
    FramePW,
    FramePH,
    FrameOn,
    // iLXLE_IMAGE.DAT
    Frequency,
    Prefix,
    Folder,
    Date,
    Quality,
    LastImage,
    // iLXLE_ALERTE.DAT
    Beep,
    Wav,
    Loop,
    Log,
    // Beyond the first four options pages: the "Watch" page.
    Reconnect,   // iLXLE_PARAM.DAT
    KeepDays,    // iLXLE_IMAGE.DAT
    KeepMB,      // iLXLE_IMAGE.DAT
    IgnoreLight, // iLXLE_PARAM.DAT
    Notify,      // iLXLE_ALERTE.DAT
    Clip,        // iLXLE_IMAGE.DAT: a video clip of each event
    ClipBefore,  // iLXLE_IMAGE.DAT: seconds kept from before the first detection
    ClipAfter,   // iLXLE_IMAGE.DAT: seconds recorded after the last detection

    // iLXLE_IMAGE.DAT, kept by the main window: the prefixes pictures were
    // saved under, so that their pictures stay within the limits.
    PicturePrefixes,

    // iLXLE_PARAM.DAT: the areas the comparison leaves out (IgnoreMask's text).
    IgnoreAreas,
};

struct SettingDef
{
    Setting id;
    SettingsFileId file;
    const char* section;
    const char* key;
    SettingType type;
    int intDefault;          // integers and booleans
    const char* textDefault; // strings
    bool clamped;
    int min;
    int max;
};

std::span<const SettingDef> SettingsTable();
const SettingDef& Def(Setting setting);
// The settings file's path under the current data paths.
QString SettingsFilePath(SettingsFileId file);

// Reads an integer as stored: decimal, or hexadecimal after "0x"/"0X" when
// there is more than the lead-in; anything else gives \a defaultValue.
int ParseProfileInt(const QString& text, int defaultValue);

// Typed access by the table. Integers are clamped to their range; booleans
// read as integers, non-zero meaning true, and are written "1" / "0".
int ReadIntSetting(Setting setting);
int ReadIntSetting(Setting setting, int defaultValue);
bool ReadBoolSetting(Setting setting);
bool ReadBoolSetting(Setting setting, bool defaultValue);
QString ReadStringSetting(Setting setting);
void WriteIntSetting(Setting setting, int value);
void WriteBoolSetting(Setting setting, bool value);
void WriteStringSetting(Setting setting, const QString& value);
