#pragma once

#include <QString>

// Where every data file of the program lives. The program folder is the
// executable's own folder (a portable copy). An installed copy (its help file
// put in the shared data folder, <prefix>/share/ilumerix) or a copy whose
// folder takes no files keeps every data file in the per-user data folder
// instead, and its pictures in the user's Pictures folder. Paths use "/" and
// the program folder has no trailing slash.
struct TDataPaths
{
    QString ProgramFolder;
    QString Ini;      // iLXLE.INI: main-window settings and placement
    QString Param;    // iLXLE_PARAM.DAT: scan, driver and scan-frame settings
    QString Image;    // iLXLE_IMAGE.DAT: picture settings
    QString Alerte;   // iLXLE_ALERTE.DAT: alarm settings
    QString SoundLog; // iLXLE_SOUND.LOG: alarm activity log
    QString DefVid;   // iLXLE_DEF.VID: the driver's own capture format
    QString UserVid;  // iLXLE_USER.VID: the user's capture format
    QString Schedule; // iLXLE_SCHEDULE.DAT: weekly schedule
    QString Ver;      // iLXLE_VER.DAT: reserved, no one uses it
    QString Help;     // iLXLEEN32.hlp: help topics
    // The last grabbed frame, "~ILXTMP.BMP" in a folder of this user's alone:
    // the runtime folder's "ilumerix", else a 0700 "ilumerix-<uid>" in the
    // temp folder. Every use of the frame file goes through this path.
    QString TempFrame;
    // The default pictures folder: program folder + "/Captures" for a
    // portable copy, the user's Pictures folder + "/i-Lumerix" otherwise.
    QString DefaultPictures;
    QString CapturesFolder() const { return DefaultPictures; }
};

// Builds the paths from the executable's folder. Call once at start, after
// the application object exists (its name picks the per-user folder); later
// calls change nothing.
void InitDataPaths();

// The paths built at start (built on first use if InitDataPaths was not called).
const TDataPaths& DataPaths();

// Makes (or checks) the frame file's private folder from XDG_RUNTIME_DIR and
// TMPDIR as they are now; empty when no folder can be had.
QString MakePrivateFrameFolder();

// Makes the per-user data folder, with any missing parents, and closes it to
// everyone but its owner: the settings in it may hold camera passwords. An
// existing folder is closed too; false when it cannot be made or closed.
bool MakeUserDataFolder(const QString& folder);

// The frame file's name in a folder.
QString FrameFilePath(const QString& folder);

// Builds the paths of a portable copy in a given program folder, without
// touching the disk (the frame file is left for InitDataPaths, which makes its
// private folder).
TDataPaths MakeDataPaths(const QString& programFolder);

// The paths of a copy that keeps its data in the per-user folder \a userFolder:
// the help file is \a helpFile and the pictures go to \a picturesFolder +
// "/i-Lumerix".
TDataPaths MakeUserDataPaths(const QString& userFolder, const QString& helpFile,
                             const QString& picturesFolder);

// The help file an installed program in \a exeFolder reads: the shared data
// folder's, when there is one and no help file lies beside the program (a
// portable copy's); empty otherwise.
QString InstalledHelpFile(const QString& exeFolder);

// Test hook: every data file goes to \a folder from now on (the temporary
// frame too, so tests never touch the real temp folder). An empty folder
// goes back to the executable's folder.
void SetDataFolder(const QString& folder);
