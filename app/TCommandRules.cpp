#include "TCommandRules.h"

void SetVideoDependentCommands(TCommandStates& s, bool on, TDriverDialogs dialogs,
                               bool firstActivation)
{
    if (on) {
        s.ConnectButton = true;
        s.FormatButton = s.FormatMenu = dialogs.Format;
        s.SourceButton = s.SourceMenu = dialogs.Source;
        s.DisplayButton = s.DisplayMenu = dialogs.Display;
    } else {
        s.FormatButton = s.FormatMenu = false;
        s.SourceButton = s.SourceMenu = false;
        s.DisplayButton = s.DisplayMenu = false;
    }
    s.PlayPauseMenu = on;
    s.PlayButton = s.PauseButton = on;
    s.AnalyseButton = s.AnalyseMenu = on;
    s.SchedulerActivateButton = s.SchedulerActivateMenu = on;
    s.FrameButton = s.FrameMenu = on;
    s.PreviewButton = s.PreviewMenu = !firstActivation;
}

void OnNoCaptureDevice(TCommandStates& s)
{
    s.ConnectButton = s.ConnectMenu = false;
    s.Driver = true;
    SetVideoDependentCommands(s, false, {}, true);
}

void OnVideoActivated(TCommandStates& s, TDriverDialogs dialogs, bool firstActivation)
{
    s.ConnectButton = s.ConnectMenu = true;
    s.Driver = false;
    SetVideoDependentCommands(s, !firstActivation, dialogs, firstActivation);
}

void OnVideoDeactivated(TCommandStates& s)
{
    s.ConnectButton = s.ConnectMenu = true;
    s.Driver = true;
    s.ScanFrame = false;
    SetVideoDependentCommands(s, false, {}, false);
}

void OnScanningChanged(TCommandStates& s, bool scanning, bool zoomed)
{
    s.ConnectButton = s.ConnectMenu = !scanning;
    const bool idle = !scanning;
    s.FrameButton = s.FrameMenu = idle && !zoomed;
    s.ScanFrame = idle && !zoomed;
    s.OptionsButton = s.OptionsMenu = idle;
    s.PreviewButton = s.PreviewMenu = idle;
    s.SchedulerEdit = idle;
}

void OnVideoPausedChanged(TCommandStates& s, bool paused, TDriverDialogs dialogs)
{
    if (paused) {
        s.FormatButton = s.FormatMenu = false;
        s.SourceButton = s.SourceMenu = false;
        s.DisplayButton = s.DisplayMenu = false;
        return;
    }
    // Connect is the scanning command's to give back: playing while scanning
    // must not offer to switch the video off under the scan.
    s.FormatButton = s.FormatMenu = dialogs.Format;
    s.SourceButton = s.SourceMenu = dialogs.Source;
    s.DisplayButton = s.DisplayMenu = dialogs.Display;
}

void OnZoomChanged(TCommandStates& s, bool zoomed, bool scanning)
{
    if (zoomed) {
        s.FrameButton = s.FrameMenu = false;
        s.ScanFrame = false;
        return;
    }
    s.FrameButton = s.FrameMenu = !scanning;
    s.ScanFrame = !scanning;
}

void KeepScanAndZoomLocks(TCommandStates& s, bool scanning, bool zoomed)
{
    if (scanning)
        OnScanningChanged(s, true, zoomed);
    else if (zoomed)
        OnZoomChanged(s, true, false);
}

void OnScheduleUnavailable(TCommandStates& s)
{
    KeepScheduleUnavailable(s, false);
}

void KeepScheduleUnavailable(TCommandStates& s, bool scheduleAvailable)
{
    if (scheduleAvailable)
        return;
    s.SchedulerMenu = false;
    s.SchedulerActivateButton = s.SchedulerActivateMenu = false;
    s.SchedulerEdit = false;
}

void OnUncaughtError(TCommandStates& s)
{
    s.OptionsButton = s.OptionsMenu = true;
}

void OnFirstActivationDone(TCommandStates& s)
{
    s.OptionsButton = s.OptionsMenu = true;
}
