#include "TCommandRules.h"

#include <gtest/gtest.h>

namespace {

TCommandStates LoadedWindow()
{
    TCommandStates s;
    SetVideoDependentCommands(s, false, {}, false);
    return s;
}

} // namespace

TEST(CommandRules, VideoOffDisablesEveryVideoCommandButKeepsConnectAndViewer)
{
    TCommandStates s = LoadedWindow();
    SetVideoDependentCommands(s, true, {true, true, true}, false);
    SetVideoDependentCommands(s, false, {true, true, true}, false);
    EXPECT_TRUE(s.ConnectButton);
    EXPECT_TRUE(s.Driver);
    EXPECT_FALSE(s.FormatButton || s.FormatMenu || s.SourceButton || s.SourceMenu ||
                 s.DisplayButton || s.DisplayMenu);
    EXPECT_FALSE(s.PlayPauseMenu || s.PlayButton || s.PauseButton);
    EXPECT_FALSE(s.AnalyseButton || s.AnalyseMenu);
    EXPECT_FALSE(s.SchedulerActivateButton || s.SchedulerActivateMenu);
    EXPECT_FALSE(s.FrameButton || s.FrameMenu);
    EXPECT_TRUE(s.PreviewButton && s.PreviewMenu);
}

TEST(CommandRules, DriverDialogsFollowWhatTheDriverOffers)
{
    TCommandStates s = LoadedWindow();
    OnVideoActivated(s, {true, false, false}, false);
    EXPECT_TRUE(s.FormatButton && s.FormatMenu);
    EXPECT_FALSE(s.SourceButton || s.SourceMenu);
    EXPECT_FALSE(s.DisplayButton || s.DisplayMenu);
    EXPECT_FALSE(s.Driver) << "the driver cannot change under live video";
    EXPECT_TRUE(s.AnalyseButton && s.PlayButton && s.FrameButton);
}

TEST(CommandRules, FirstActivationKeepsVideoCommandsAndViewerOff)
{
    TCommandStates s = LoadedWindow();
    OnVideoActivated(s, {true, true, true}, true);
    EXPECT_FALSE(s.AnalyseButton);
    EXPECT_FALSE(s.FormatButton);
    EXPECT_FALSE(s.PreviewButton || s.PreviewMenu);
    EXPECT_FALSE(s.OptionsButton) << "Options waits for the end of the first activation";
    OnFirstActivationDone(s);
    EXPECT_TRUE(s.OptionsButton && s.OptionsMenu);
}

TEST(CommandRules, NoCaptureDeviceLeavesOnlyTheDriverChoice)
{
    TCommandStates s = LoadedWindow();
    OnNoCaptureDevice(s);
    EXPECT_FALSE(s.ConnectButton || s.ConnectMenu);
    EXPECT_TRUE(s.Driver);
    EXPECT_FALSE(s.AnalyseButton);
}

TEST(CommandRules, ScanningLocksConnectFrameOptionsViewerAndEditor)
{
    TCommandStates s = LoadedWindow();
    OnVideoActivated(s, {true, true, true}, false);
    OnFirstActivationDone(s);
    OnScanningChanged(s, true, false);
    EXPECT_FALSE(s.ConnectButton || s.ConnectMenu);
    EXPECT_FALSE(s.FrameButton || s.FrameMenu || s.ScanFrame);
    EXPECT_FALSE(s.OptionsButton || s.OptionsMenu);
    EXPECT_FALSE(s.PreviewButton || s.PreviewMenu);
    EXPECT_FALSE(s.SchedulerEdit);
    EXPECT_TRUE(s.AnalyseButton) << "scanning must stay switchable off";

    OnScanningChanged(s, false, true);
    EXPECT_TRUE(s.ConnectButton && s.OptionsButton && s.PreviewButton && s.SchedulerEdit);
    EXPECT_FALSE(s.FrameButton) << "zoomed video keeps the frame off";
    OnScanningChanged(s, false, false);
    EXPECT_TRUE(s.FrameButton && s.FrameMenu && s.ScanFrame);
}

TEST(CommandRules, PauseLocksTheDriverDialogsAndPlayRestoresThemByCapability)
{
    TCommandStates s = LoadedWindow();
    OnVideoActivated(s, {true, true, false}, false);
    OnVideoPausedChanged(s, true, {true, true, false});
    EXPECT_FALSE(s.FormatButton || s.SourceButton || s.DisplayButton);
    OnVideoPausedChanged(s, false, {true, true, false});
    EXPECT_TRUE(s.FormatButton && s.SourceMenu);
    EXPECT_FALSE(s.DisplayButton);
}

TEST(CommandRules, ZoomOffGivesTheFrameBackOnlyWhenNotScanning)
{
    TCommandStates s = LoadedWindow();
    OnVideoActivated(s, {}, false);
    OnZoomChanged(s, true, false);
    EXPECT_FALSE(s.FrameButton || s.FrameMenu || s.ScanFrame);
    OnZoomChanged(s, false, true);
    EXPECT_FALSE(s.FrameButton);
    OnZoomChanged(s, false, false);
    EXPECT_TRUE(s.FrameButton && s.FrameMenu && s.ScanFrame);
}

TEST(CommandRules, UnusableScheduleStaysGreyedWhenVideoComesOn)
{
    TCommandStates s = LoadedWindow();
    OnScheduleUnavailable(s);
    OnVideoActivated(s, {}, false);
    KeepScheduleUnavailable(s, false);
    EXPECT_FALSE(s.SchedulerMenu || s.SchedulerActivateButton || s.SchedulerActivateMenu ||
                 s.SchedulerEdit);
    EXPECT_TRUE(s.AnalyseButton);
}
