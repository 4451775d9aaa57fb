#include "SettingsSchema.h"

#include "DataPaths.h"
#include "EIlxError.h"
#include "ProfileFile.h"

#include <algorithm>
#include <array>
#include <climits>

namespace {

using F = SettingsFileId;
using T = SettingType;
using S = Setting;

constexpr const char* kSetup = "Setup";
constexpr const char* kApplication = "Application";

// clang-format off
constexpr std::array kTable{
    SettingDef{S::Flags,         F::Ini,    kApplication, "Flags",         T::Integer, 0,  "",    false, 0, 0},
    SettingDef{S::ShowCmd,       F::Ini,    kApplication, "ShowCmd",       T::Integer, 1,  "",    false, 0, 0},
    SettingDef{S::PixelsPerInch, F::Ini,    kApplication, "PixelsPerInch", T::Integer, 96, "",    false, 0, 0},
    SettingDef{S::MinMaxPos,     F::Ini,    kApplication, "MinMaxPos",     T::String,  0,  "",    false, 0, 0},
    SettingDef{S::NormPos,       F::Ini,    kApplication, "NormPos",       T::String,  0,  "",    false, 0, 0},

    SettingDef{S::FramesPreview, F::Ini,    kSetup, "FramesPreview", T::Integer, 24, "",    true,  12, 36},
    SettingDef{S::FramesCapture, F::Ini,    kSetup, "FramesCapture", T::Integer, 24, "",    true,  12, 36},
    SettingDef{S::Zoom,          F::Ini,    kSetup, "Zoom",          T::Boolean, 0,  "",    false, 0, 0},
    SettingDef{S::Web,           F::Ini,    kSetup, "Web",           T::String,  0,  "",    false, 0, 0},
    SettingDef{S::Stabilite,     F::Ini,    kSetup, "Stabilite",     T::Integer, 3,  "",    true,  0, 30},

    SettingDef{S::Sensibility,   F::Param,  kSetup, "Sensibility",   T::Integer, 85, "",    true,  0, 100},
    SettingDef{S::Delta,         F::Param,  kSetup, "Delta",         T::Integer, 5,  "",    true,  0, 100},
    SettingDef{S::Sharpness,     F::Param,  kSetup, "Sharpness",     T::Integer, 0,  "",    true,  0, 5},
    SettingDef{S::Auto,          F::Param,  kSetup, "Auto",          T::Boolean, 0,  "",    false, 0, 0},
    SettingDef{S::Delay,         F::Param,  kSetup, "Delay",         T::Integer, 1,  "",    true,  0, 60},
    SettingDef{S::Pause,         F::Param,  kSetup, "Pause",         T::Boolean, 1,  "",    false, 0, 0},
    // Two defaults: the options dialog shows an absent key unchecked, the
    // main window's start-up treats it as "show the driver dialog".
    SettingDef{S::Select,        F::Param,  kSetup, "Select",        T::Boolean, 0,  "",    false, 0, 0},
    SettingDef{S::Driver,        F::Param,  kSetup, "Driver",        T::String,  0,  "",    false, 0, 0},
    SettingDef{S::Scheduler,     F::Param,  kSetup, "Scheduler",     T::Boolean, 0,  "",    false, 0, 0},
    SettingDef{S::FramePX,       F::Param,  kSetup, "FramePX",       T::Integer, 25, "",    true,  0, 100},
    SettingDef{S::FramePY,       F::Param,  kSetup, "FramePY",       T::Integer, 25, "",    true,  0, 100},
    SettingDef{S::FramePW,       F::Param,  kSetup, "FramePW",       T::Integer, 50, "",    true,  0, 100},
    SettingDef{S::FramePH,       F::Param,  kSetup, "FramePH",       T::Integer, 50, "",    true,  0, 100},
    SettingDef{S::FrameOn,       F::Param,  kSetup, "FrameOn",       T::Boolean, 0,  "",    false, 0, 0},

    SettingDef{S::Frequency,     F::Image,  kSetup, "Frequency",     T::Integer, 0,  "",    true,  0, 5},
    SettingDef{S::Prefix,        F::Image,  kSetup, "Prefix",        T::String,  0,  "ILX", false, 0, 0},
    SettingDef{S::Folder,        F::Image,  kSetup, "Folder",        T::String,  0,  "",    false, 0, 0},
    SettingDef{S::Date,          F::Image,  kSetup, "Date",          T::Boolean, 1,  "",    false, 0, 0},
    SettingDef{S::Quality,       F::Image,  kSetup, "Quality",       T::Integer, 90, "",    true,  0, 100},
    SettingDef{S::LastImage,     F::Image,  kSetup, "LastImage",     T::String,  0,  "",    false, 0, 0},

    SettingDef{S::Beep,          F::Alerte, kSetup, "Beep",          T::Boolean, 1,  "",    false, 0, 0},
    SettingDef{S::Wav,           F::Alerte, kSetup, "Wav",           T::String,  0,  "",    false, 0, 0},
    SettingDef{S::Loop,          F::Alerte, kSetup, "Loop",          T::Boolean, 1,  "",    false, 0, 0},
    SettingDef{S::Log,           F::Alerte, kSetup, "Log",           T::Boolean, 1,  "",    false, 0, 0},

    // Each default keeps the program as it was without these options.
    SettingDef{S::Reconnect,     F::Param,  kSetup, "Reconnect",     T::Boolean, 0,  "",    false, 0, 0},
    SettingDef{S::KeepDays,      F::Image,  kSetup, "KeepDays",      T::Integer, 0,  "",    true,  0, 36500},
    SettingDef{S::KeepMB,        F::Image,  kSetup, "KeepMB",        T::Integer, 0,  "",    true,  0, 100000000},
    SettingDef{S::IgnoreLight,   F::Param,  kSetup, "IgnoreLight",   T::Boolean, 0,  "",    false, 0, 0},
    SettingDef{S::Notify,        F::Alerte, kSetup, "Notify",        T::Boolean, 0,  "",    false, 0, 0},
    SettingDef{S::Clip,          F::Image,  kSetup, "Clip",          T::Boolean, 0,  "",    false, 0, 0},
    SettingDef{S::ClipBefore,    F::Image,  kSetup, "ClipBefore",    T::Integer, 3,  "",    true,  0, 10},
    SettingDef{S::ClipAfter,     F::Image,  kSetup, "ClipAfter",     T::Integer, 5,  "",    true,  1, 60},
    SettingDef{S::PicturePrefixes, F::Image, kSetup, "PicturePrefixes", T::String, 0,  "",    false, 0, 0},
    SettingDef{S::IgnoreAreas,   F::Param,  kSetup, "IgnoreAreas",   T::String,  0,  "",    false, 0, 0},
};
// clang-format on

constexpr bool tableFollowsEnum()
{
    for (size_t i = 0; i < kTable.size(); ++i)
        if (static_cast<size_t>(kTable[i].id) != i)
            return false;
    return true;
}
static_assert(tableFollowsEnum(), "the settings table must list every Setting in enum order");
static_assert(kTable.size() == static_cast<size_t>(Setting::IgnoreAreas) + 1);

QString readRaw(const SettingDef& d, const QString& fallback)
{
    return ReadProfileString(SettingsFilePath(d.file), QString::fromLatin1(d.section),
                             QString::fromLatin1(d.key), fallback);
}

void writeRaw(const SettingDef& d, const QString& value)
{
    WriteProfileString(SettingsFilePath(d.file), QString::fromLatin1(d.section),
                       QString::fromLatin1(d.key), value);
}

bool isxdigitChar(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

std::span<const SettingDef> SettingsTable()
{
    return kTable;
}

const SettingDef& Def(Setting setting)
{
    return kTable[static_cast<size_t>(setting)];
}

QString SettingsFilePath(SettingsFileId file)
{
    const TDataPaths& p = DataPaths();
    switch (file) {
    case SettingsFileId::Ini:
        return p.Ini;
    case SettingsFileId::Param:
        return p.Param;
    case SettingsFileId::Image:
        return p.Image;
    case SettingsFileId::Alerte:
        return p.Alerte;
    }
    return p.Ini;
}

int ParseProfileInt(const QString& text, int defaultValue)
{
    const QString t = text.trimmed();
    if (t.size() > 2 && t[0] == QLatin1Char('0') &&
        (t[1] == QLatin1Char('x') || t[1] == QLatin1Char('X'))) {
        const QStringView digits = QStringView(t).mid(2);
        if (digits.size() > 8 || !std::all_of(digits.begin(), digits.end(),
                                              [](QChar c) { return isxdigitChar(c.unicode()); }))
            return defaultValue;
        // Eight hex digits cover the 32-bit pattern, as the stored files expect.
        return static_cast<int>(digits.toUInt(nullptr, 16));
    }
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok, 10);
    if (!ok || v < INT_MIN || v > INT_MAX)
        return defaultValue;
    return static_cast<int>(v);
}

int ReadIntSetting(Setting setting)
{
    return ReadIntSetting(setting, Def(setting).intDefault);
}

int ReadIntSetting(Setting setting, int defaultValue)
{
    const SettingDef& d = Def(setting);
    const QString raw = readRaw(d, QString());
    int v = raw.isEmpty() ? defaultValue : ParseProfileInt(raw, defaultValue);
    if (d.clamped)
        v = std::clamp(v, d.min, d.max);
    return v;
}

bool ReadBoolSetting(Setting setting)
{
    return ReadBoolSetting(setting, Def(setting).intDefault != 0);
}

bool ReadBoolSetting(Setting setting, bool defaultValue)
{
    const QString raw = readRaw(Def(setting), QString());
    return ParseProfileInt(raw, defaultValue ? 1 : 0) != 0;
}

QString ReadStringSetting(Setting setting)
{
    const SettingDef& d = Def(setting);
    return readRaw(d, QString::fromLatin1(d.textDefault));
}

void WriteIntSetting(Setting setting, int value)
{
    writeRaw(Def(setting), QString::number(value));
}

void WriteBoolSetting(Setting setting, bool value)
{
    writeRaw(Def(setting), value ? QStringLiteral("1") : QStringLiteral("0"));
}

void WriteStringSetting(Setting setting, const QString& value)
{
    writeRaw(Def(setting), value);
}
