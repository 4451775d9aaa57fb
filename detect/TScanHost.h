#pragma once

#include "IgnoreMask.h"

#include <QImage>
#include <QString>

class QObject;

// The user's settings the scan cycle reads at every tick (the options window's
// controls are their live holder).
struct TScanOptions
{
    int Sensitivity = 85;        // SpinEditLevel
    int Differences = 5;         // SpinEditDelta
    int ResolutionIndex = 0;     // RadioGroupStep.ItemIndex
    int FrequencyIndex = 0;      // RadioGroupFrequence.ItemIndex
    bool AutoStart = false;      // CheckBoxAuto
    bool PauseOnScanning = true; // CheckBoxPause
    bool Alarm = true;           // CheckBoxBip
    QString SoundFile;           // FilenameEditSound
    bool SoundLoop = true;       // CheckBoxSoundLoop
    bool IgnoreLight = false;    // CheckBoxIgnoreLight
    IgnoreMask IgnoreAreas;      // IgnoreAreasEditor
};

// Where the comparison looks: the scan frame's percentages and whether the
// frame is shown.
struct TScanArea
{
    bool Shown = false;
    int PX = 25;
    int PY = 25;
    int PW = 50;
    int PH = 50;
};

// What the scan controller needs from the main window that owns it: the
// capture component, the options window, the picture save, the alarm and the
// controls it writes. The main window implements it; tests use a fake.
// Every call is made on the user-interface thread.
class TScanHost
{
public:
    virtual ~TScanHost() = default;

    // Capture component.
    virtual bool VideoActive() const = 0;
    // Grabs the current frame into the component's image file; throws EIlxError.
    virtual void GrabFrame() = 0;
    // The last grabbed frame (from the image file); a null image when it is
    // missing or unreadable.
    virtual QImage LoadGrabbedFrame() = 0;

    // Options window.
    virtual TScanOptions ScanOptions() const = 0;
    virtual bool AutoStartSettled() const = 0;
    virtual void SetAutoStartSettled() = 0;
    // Whether the auto-start delay has run out, and the countdown text.
    virtual bool AutoStartCountdown(QString& text) = 0;
    virtual bool SoundBusy() const = 0;
    virtual void StartSoundAlarm(QObject* sender, bool loop, const QString& file) = 0;
    virtual void HideOptionsWindow() = 0;

    // Scan frame.
    virtual TScanArea ScanArea() const = 0;

    // Picture save: writes the newest frame as a picture and returns its file
    // name; on failure it shows its warning and returns "" (the controller
    // then switches scanning off).
    virtual QString SavePicture(const QImage& frame) = 0;

    // Main window controls.
    virtual void ShowInfo(const QString& text) = 0; // PanelInfo
    virtual void SetVideoPanelRed(bool red) = 0;    // PanelVideo red / black
    virtual void SetHeartbeat(QChar c) = 0;         // caption's last character
    virtual void ShowDetectionCount(int count) = 0; // StatusBarVideo panel 1
    // The scanning command's look: MenuItemAnalyse caption and hint, the
    // button's hint and its ImageListMenu image.
    virtual void SetAnalyseLook(const QString& menuCaption, const QString& hint,
                                int imageIndex) = 0;
    virtual void SetConnectEnabled(bool enabled) = 0; // RxSpeedButtonConnect, MenuItemConnect
    // Frame button and menu item, the scan frame and its grip, options and
    // viewer commands, MenuItemSchedulerEdit: all enabled exactly while not scanning.
    virtual void SetScanLocks(bool scanning) = 0;

    // Play/pause group and the frozen still.
    virtual bool PauseDown() const = 0;
    virtual void SetPauseDown(bool down) = 0; // Pause down, else Play down
    // Format, source and display commands: disabled, or enabled as the driver offers.
    virtual void SetVideoDialogsEnabled(bool enabled) = 0;
    virtual void ShowFrozen(bool frozen) = 0; // ImageFreeze visible, VideoCam hidden
    virtual void ShowStill(const QImage& still) = 0;
    virtual void SetModeVideoCaption(const QString& caption) = 0;
    virtual void RelayoutVideo() = 0;
    // Labels the frozen still (default: the pictures' centred caption).
    virtual void DrawPictureLabel(QImage& picture, const QString& text);
    // Called when the stability wait ends, to show the scan frame again.
    virtual void RestoreScanFrame() = 0;

    // Waiting; tests override these to keep time pinned.
    virtual void ProcessMessages();
    virtual void Sleep(int ms);
    virtual void SetWaitCursor(bool wait);
};
