#pragma once

#include "IgnoreMask.h"

#include <QString>

// The values the options dialog loads and saves: the keys of
// iLXLE_PARAM.DAT (but the scan frame), iLXLE_IMAGE.DAT and iLXLE_ALERTE.DAT.
// The defaults are those of a first start.
struct TOptionsSettings
{
    // iLXLE_PARAM.DAT
    int Sensibility = 85;
    int Delta = 5;
    int Sharpness = 0; // 0 "Auto" .. 5 "1/16"
    bool Auto = false;
    int Delay = 1; // minutes
    bool Pause = true;
    bool Select = false; // the options dialog shows an absent key unchecked
    QString Driver;
    bool Scheduler = false;
    // iLXLE_IMAGE.DAT
    int Frequency = 0; // 0 "Auto delay" .. 5 "1 picture every 1 min"
    QString Prefix = QStringLiteral("ILX");
    QString Folder;
    bool FolderExists = false; // the folder box shows Folder only when true
    bool Date = true;
    int Quality = 90;
    QString LastImage; // read only: the options never write it
    // iLXLE_ALERTE.DAT
    bool Beep = true;
    QString Wav;
    bool Loop = true;
    bool Log = true;
    // The "Watch" page, beyond the first four (0 = no limit).
    bool Reconnect = false;   // iLXLE_PARAM.DAT
    int KeepDays = 0;         // iLXLE_IMAGE.DAT
    int KeepMB = 0;           // iLXLE_IMAGE.DAT
    bool IgnoreLight = false; // iLXLE_PARAM.DAT
    IgnoreMask IgnoreAreas;   // iLXLE_PARAM.DAT: none by default
    bool Notify = false;      // iLXLE_ALERTE.DAT
    bool Clip = false;        // iLXLE_IMAGE.DAT: a video clip of each event
    int ClipBefore = 3;       // iLXLE_IMAGE.DAT: seconds, 0 to 10
    int ClipAfter = 5;        // iLXLE_IMAGE.DAT: seconds, 1 to 60
};

// Reads the three files in the order PARAM, IMAGE, ALERTE with their read
// rules: the prefix cleaned (empty gives "ILX"), a missing pictures folder
// replaced by program folder + "/Captures" and created, a "LastImage" or
// "Wav" naming no existing file read as empty. Shows the hourglass meanwhile.
TOptionsSettings ReadOptions();

// Writes the three files in the order PARAM, IMAGE (all but "LastImage"),
// ALERTE. A failed write raises EIlxError; what was written before stays.
void WriteOptions(const TOptionsSettings& options);

// Drops blanks, "*", "/", ":" and "\" and keeps at most 3 characters; an
// empty result gives "ILX".
QString CleanPrefix(const QString& stored);

// The scan timer's base interval for a "Frequency" index: 250, 500, 1000,
// 5000, 30000 or 60000 ms for 0 to 5, 500 ms for anything else.
int ScanIntervalForFrequency(int frequency);
