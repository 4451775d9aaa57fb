#pragma once

// The enabling rules of the main window's commands, kept apart from the
// widgets so each event's effect can be checked without a display. The window
// holds one TCommandStates, lets these functions change it, and copies it onto
// its buttons and menu items.
struct TCommandStates
{
    bool ConnectButton = true;
    bool ConnectMenu = true;
    bool Driver = true;
    bool FormatButton = false;
    bool FormatMenu = false;
    bool SourceButton = false;
    bool SourceMenu = false;
    bool DisplayButton = false;
    bool DisplayMenu = false;
    bool PlayPauseMenu = false;
    bool PlayButton = false;
    bool PauseButton = false;
    bool AnalyseButton = false;
    bool AnalyseMenu = false;
    bool SchedulerActivateButton = false;
    bool SchedulerActivateMenu = false;
    bool SchedulerEdit = true;
    bool SchedulerMenu = true;
    bool FrameButton = false;
    bool FrameMenu = false;
    bool ScanFrame = false;
    bool OptionsButton = false;
    bool OptionsMenu = false;
    bool PreviewButton = true;
    bool PreviewMenu = true;
    bool Web = false;

    bool operator==(const TCommandStates&) const = default;
};

// What the capture driver offers; the dialog commands follow it.
struct TDriverDialogs
{
    bool Format = false;
    bool Source = false;
    bool Display = false;
};

// The one place that switches the commands needing live video.
void SetVideoDependentCommands(TCommandStates& s, bool on, TDriverDialogs dialogs,
                               bool firstActivation);

// Events of the enabling table; each changes only the commands it names.
void OnNoCaptureDevice(TCommandStates& s);
void OnVideoActivated(TCommandStates& s, TDriverDialogs dialogs, bool firstActivation);
void OnVideoDeactivated(TCommandStates& s);
void OnScanningChanged(TCommandStates& s, bool scanning, bool zoomed);
void OnVideoPausedChanged(TCommandStates& s, bool paused, TDriverDialogs dialogs);
void OnZoomChanged(TCommandStates& s, bool zoomed, bool scanning);
void OnScheduleUnavailable(TCommandStates& s);
void OnUncaughtError(TCommandStates& s);
void OnFirstActivationDone(TCommandStates& s);

// What scanning and Zoom lock stays locked when the video commands are
// switched on again around them.
void KeepScanAndZoomLocks(TCommandStates& s, bool scanning, bool zoomed);

// The schedule, once unusable, stays unusable: the rules re-applied later must
// not bring its commands back.
void KeepScheduleUnavailable(TCommandStates& s, bool scheduleAvailable);
