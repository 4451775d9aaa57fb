#include "DataPaths.h"
#include "EIlxError.h"
#include "MainWindowSettings.h"
#include "OptionsSettings.h"
#include "ProfileFile.h"
#include "SettingsSchema.h"

#include "ScratchDir.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// Every test gets its own program folder with no settings files in it.
class Settings : public ::testing::Test
{
protected:
    void SetUp() override { SetDataFolder(dir.path()); }
    void TearDown() override { SetDataFolder(QString()); }

    void store(const QString& file, const char* key, const QString& value)
    {
        WriteProfileString(file, "Setup", key, value);
    }

    ScratchDir dir;
};

} // namespace

TEST_F(Settings, FirstStartWithoutFilesGivesTheDefaults)
{
    const TOptionsSettings o = ReadOptions();
    EXPECT_EQ(o.Sensibility, 85);
    EXPECT_EQ(o.Delta, 5);
    EXPECT_EQ(o.Sharpness, 0);
    EXPECT_EQ(o.Frequency, 0);
    EXPECT_EQ(ScanIntervalForFrequency(o.Frequency), 250);
    EXPECT_EQ(o.Prefix, "ILX");
    EXPECT_EQ(o.Folder, dir.path() + "/Captures");
    EXPECT_TRUE(o.FolderExists);
    EXPECT_TRUE(QFileInfo(dir.path() + "/Captures").isDir());
    EXPECT_EQ(o.Quality, 90);
    EXPECT_TRUE(o.Date);
    EXPECT_TRUE(o.Beep);
    EXPECT_TRUE(o.Wav.isEmpty());
    EXPECT_TRUE(o.Loop);
    EXPECT_TRUE(o.Log);
    EXPECT_TRUE(o.Pause);
    EXPECT_FALSE(o.Scheduler);
    EXPECT_FALSE(o.Select) << "the options show an absent Select unchecked";

    const TMainWindowSettings m = ReadMainWindowSettings();
    EXPECT_EQ(m.FramesPreview, 24);
    EXPECT_EQ(m.Stabilite, 3);
    EXPECT_EQ(m.Frame.FramePX, 25);
    EXPECT_EQ(m.Frame.FramePY, 25);
    EXPECT_EQ(m.Frame.FramePW, 50);
    EXPECT_EQ(m.Frame.FramePH, 50);
    EXPECT_FALSE(m.Frame.FrameOn);
    EXPECT_FALSE(m.Scheduler);
    EXPECT_TRUE(m.SelectDriver) << "the first start shows the driver dialog";
    EXPECT_TRUE(m.Driver.isEmpty());

    // Reading never creates a settings file.
    EXPECT_FALSE(QFileInfo::exists(DataPaths().Param));
    EXPECT_FALSE(QFileInfo::exists(DataPaths().Ini));
}

TEST_F(Settings, ScanFrameIsMadeConsistentWhenRead)
{
    const QString param = DataPaths().Param;
    store(param, "FramePX", "80");
    store(param, "FramePW", "50");
    store(param, "FramePY", "10");
    store(param, "FramePH", "0");
    const TScanFrameSettings f = ReadMainWindowSettings().Frame;
    EXPECT_EQ(f.FramePW, 20);
    EXPECT_EQ(f.FramePH, 50);
    store(param, "FramePY", "70");
    EXPECT_EQ(ReadMainWindowSettings().Frame.FramePH, 30) << "0 -> 50, then cut at the edge";
    // A frame at the far edge keeps 1 % inside the picture instead of vanishing.
    store(param, "FramePX", "100");
    store(param, "FramePY", "250");
    const TScanFrameSettings edge = ReadMainWindowSettings().Frame;
    EXPECT_EQ(edge.FramePX, 99);
    EXPECT_EQ(edge.FramePW, 1);
    EXPECT_EQ(edge.FramePY, 99);
    EXPECT_EQ(edge.FramePH, 1);
}

TEST_F(Settings, NumbersAreClampedHexReadAndMalformedOnesDefault)
{
    const QString image = DataPaths().Image;
    const QString param = DataPaths().Param;
    store(image, "Quality", "150");
    store(param, "Sharpness", "9");
    store(image, "Frequency", "0x3");
    store(param, "Delta", "-4");
    store(param, "Sensibility", "12abc");
    store(param, "Delay", "0x");
    const TOptionsSettings o = ReadOptions();
    EXPECT_EQ(o.Quality, 100);
    EXPECT_EQ(o.Sharpness, 5);
    EXPECT_EQ(o.Frequency, 3);
    EXPECT_EQ(o.Delta, 0);
    EXPECT_EQ(o.Sensibility, 85);
    EXPECT_EQ(o.Delay, 1) << "a bare 0x is not a number";

    EXPECT_EQ(ParseProfileInt("0X1f", 0), 31);
    EXPECT_EQ(ParseProfileInt("0xFFFFFFFF", 0), -1);
    EXPECT_EQ(ParseProfileInt("0x123456789", 7), 7);
    EXPECT_EQ(ParseProfileInt("99999999999", 7), 7);
    EXPECT_EQ(ParseProfileInt("0xG", 7), 7);
    EXPECT_EQ(ParseProfileInt("+12", 7), 12);

    store(param, "Pause", "0");
    store(param, "Auto", "0x10");
    store(param, "Scheduler", "yes");
    EXPECT_FALSE(ReadBoolSetting(Setting::Pause));
    EXPECT_TRUE(ReadBoolSetting(Setting::Auto)) << "any non-zero integer is true";
    EXPECT_FALSE(ReadBoolSetting(Setting::Scheduler)) << "malformed reads as the default";
}

TEST_F(Settings, PrefixIsCleanedAndFallsBackToILX)
{
    store(DataPaths().Image, "Prefix", "A:*B");
    EXPECT_EQ(ReadOptions().Prefix, "AB");
    store(DataPaths().Image, "Prefix", "");
    EXPECT_EQ(ReadOptions().Prefix, "ILX");
    EXPECT_EQ(CleanPrefix(" /\\ "), "ILX");
    EXPECT_EQ(CleanPrefix("ABCD"), "ABC");
}

TEST_F(Settings, FilesThatNoLongerExistReadAsEmptyButAFolderIsKept)
{
    const QString image = DataPaths().Image;
    const QString pictures = dir.path() + "/mine";
    QDir().mkpath(pictures);
    dir.write("ring.wav", "RIFF");
    dir.write("last.jpg", "x");
    store(image, "Folder", pictures);
    store(image, "LastImage", dir.file("last.jpg"));
    store(DataPaths().Alerte, "Wav", dir.file("ring.wav"));
    TOptionsSettings o = ReadOptions();
    EXPECT_EQ(o.Folder, pictures);
    EXPECT_EQ(o.LastImage, dir.file("last.jpg"));
    EXPECT_EQ(o.Wav, dir.file("ring.wav"));

    QFile::remove(dir.file("ring.wav"));
    QFile::remove(dir.file("last.jpg"));
    QDir(pictures).removeRecursively();
    o = ReadOptions();
    EXPECT_TRUE(o.Wav.isEmpty());
    EXPECT_TRUE(o.LastImage.isEmpty());
    EXPECT_EQ(o.Folder, dir.path() + "/Captures");
    // The main window keeps its own copy as stored.
    EXPECT_EQ(ReadMainWindowSettings().LastImage, dir.file("last.jpg"));
}

TEST_F(Settings, OptionsSavedAreTheOnesReadAfterARestart)
{
    TOptionsSettings o = ReadOptions();
    o.Delta = 17;
    o.Sensibility = 40;
    o.Sharpness = 3;
    o.Auto = true;
    o.Delay = 12;
    o.Pause = false;
    o.Select = true;
    o.Driver = "Demo camera";
    o.Frequency = 4;
    o.Prefix = "CAM";
    o.Date = false;
    o.Quality = 55;
    o.Beep = false;
    o.Loop = false;
    o.Log = false;
    WriteOptions(o);
    const TOptionsSettings r = ReadOptions();
    EXPECT_EQ(r.Delta, 17);
    EXPECT_EQ(r.Sensibility, 40);
    EXPECT_EQ(r.Sharpness, 3);
    EXPECT_TRUE(r.Auto);
    EXPECT_EQ(r.Delay, 12);
    EXPECT_FALSE(r.Pause);
    EXPECT_TRUE(r.Select);
    EXPECT_EQ(r.Driver, "Demo camera");
    EXPECT_EQ(r.Frequency, 4);
    EXPECT_EQ(r.Prefix, "CAM");
    EXPECT_FALSE(r.Date);
    EXPECT_EQ(r.Quality, 55);
    EXPECT_FALSE(r.Beep);
    EXPECT_FALSE(r.Loop);
    EXPECT_FALSE(r.Log);
    // The options never write the frame keys nor the last picture.
    EXPECT_EQ(ReadProfileString(DataPaths().Param, "Setup", "FramePX", "none"), "none");
    EXPECT_EQ(ReadProfileString(DataPaths().Image, "Setup", "LastImage", "none"), "none");
}

TEST_F(Settings, MainWindowCloseKeepsTheDriverWhenNoneWasChosen)
{
    store(DataPaths().Param, "Driver", "USB camera");
    TMainWindowSettings m = ReadMainWindowSettings();
    m.Driver.clear();
    m.Frame = {10, 20, 30, 40, true};
    m.Scheduler = true;
    m.Zoom = true;
    WriteMainWindowSettings(m);
    const TMainWindowSettings r = ReadMainWindowSettings();
    EXPECT_EQ(r.Driver, "USB camera");
    EXPECT_EQ(r.Frame.FramePX, 10);
    EXPECT_EQ(r.Frame.FramePH, 40);
    EXPECT_TRUE(r.Frame.FrameOn);
    EXPECT_TRUE(r.Scheduler);
    EXPECT_TRUE(r.Zoom);
    // Settings the main window only reads are never written by it.
    EXPECT_EQ(ReadProfileString(DataPaths().Ini, "Setup", "Stabilite", "none"), "none");
    EXPECT_EQ(ReadProfileString(DataPaths().Param, "Setup", "Select", "none"), "none");
}

TEST_F(Settings, AFailedWriteStopsThereAndKeepsWhatWasWritten)
{
    // iLXLE_IMAGE.DAT cannot be written: PARAM is saved, ALERTE is not reached.
    QDir(dir.path()).mkdir(QFileInfo(DataPaths().Image).fileName());
    TOptionsSettings o;
    o.Delta = 33;
    o.Beep = false;
    try {
        WriteOptions(o);
        FAIL() << "no error raised";
    } catch (const EIlxError& e) {
        EXPECT_EQ(e.message(), "Ne peut écrire dans " + DataPaths().Image);
    }
    EXPECT_EQ(ReadIntSetting(Setting::Delta), 33);
    EXPECT_FALSE(QFileInfo::exists(DataPaths().Alerte));
}

TEST(SettingsTable, EveryKeyIsListedOnceWithASaneRange)
{
    for (const SettingDef& a : SettingsTable()) {
        if (a.clamped) {
            EXPECT_LE(a.min, a.intDefault) << a.key;
            EXPECT_GE(a.max, a.intDefault) << a.key;
        }
        for (const SettingDef& b : SettingsTable()) {
            if (&a != &b && a.file == b.file) {
                EXPECT_FALSE(QByteArray(a.key).compare(b.key, Qt::CaseInsensitive) == 0 &&
                             QByteArray(a.section) == b.section)
                    << a.key;
            }
        }
    }
}

TEST(DataPaths, AreBuiltFromTheProgramFolder)
{
    const TDataPaths p = MakeDataPaths("/opt/ilx/");
    EXPECT_EQ(p.ProgramFolder, "/opt/ilx");
    EXPECT_EQ(p.Ini, "/opt/ilx/iLXLE.INI");
    EXPECT_EQ(p.Param, "/opt/ilx/iLXLE_PARAM.DAT");
    EXPECT_EQ(p.Image, "/opt/ilx/iLXLE_IMAGE.DAT");
    EXPECT_EQ(p.Alerte, "/opt/ilx/iLXLE_ALERTE.DAT");
    EXPECT_EQ(p.SoundLog, "/opt/ilx/iLXLE_SOUND.LOG");
    EXPECT_EQ(p.DefVid, "/opt/ilx/iLXLE_DEF.VID");
    EXPECT_EQ(p.UserVid, "/opt/ilx/iLXLE_USER.VID");
    EXPECT_EQ(p.Schedule, "/opt/ilx/iLXLE_SCHEDULE.DAT");
    EXPECT_EQ(p.Help, "/opt/ilx/iLXLEEN32.hlp");
    EXPECT_EQ(p.CapturesFolder(), "/opt/ilx/Captures");
    EXPECT_TRUE(p.TempFrame.isEmpty()) << "its private folder is made at start, not here";
}

TEST(DataPaths, AnInstalledCopyKeepsItsDataPerUserAndItsPicturesInThePicturesFolder)
{
    const TDataPaths p =
        MakeUserDataPaths("/home/ann/.local/share/i-Lumerix/ilumerix",
                          "/usr/bin/../share/ilumerix/iLXLEEN32.hlp", "/home/ann/Bilder/");
    EXPECT_EQ(p.ProgramFolder, "/home/ann/.local/share/i-Lumerix/ilumerix");
    EXPECT_EQ(p.Param, "/home/ann/.local/share/i-Lumerix/ilumerix/iLXLE_PARAM.DAT");
    EXPECT_EQ(p.Help, "/usr/share/ilumerix/iLXLEEN32.hlp");
    EXPECT_EQ(p.CapturesFolder(), "/home/ann/Bilder/i-Lumerix");
}

TEST(DataPaths, TheSharedHelpFileMarksAnInstalledCopyUnlessOneLiesBesideTheProgram)
{
    ScratchDir dir;
    const QString bin = dir.file("bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_TRUE(InstalledHelpFile(bin).isEmpty()) << "no help anywhere: not an installed layout";

    ASSERT_TRUE(QDir().mkpath(dir.file("share/ilumerix")));
    dir.write("share/ilumerix/iLXLEEN32.hlp", "topics");
    EXPECT_EQ(InstalledHelpFile(bin), dir.file("share/ilumerix/iLXLEEN32.hlp"));

    dir.write("bin/iLXLEEN32.hlp", "topics");
    EXPECT_TRUE(InstalledHelpFile(bin).isEmpty()) << "a copy with its own help file is portable";
}
