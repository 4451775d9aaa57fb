// Scanning and the video as a user switches them: F5, the scanning button and
// menu, Escape, Space, Play and Pause, Ctrl+V, and what the window shows.
#include "Program.h"

#include "Clock.h"
#include "PictureDrawing.h"
#include "ScriptedCaptureDriver.h"
#include "TFormMainLE.h"
#include "TScanController.h"
#include "TVideoCam.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class ScanningCommands : public ::testing::Test
{
protected:
    bool Enabled(const char* name) const
    {
        return app.Widget(QString::fromLatin1(name))->isEnabled();
    }
    bool MenuEnabled(const char* name) const
    {
        return app.Action(QString::fromLatin1(name))->isEnabled();
    }
    bool Down(const char* name) const
    {
        return qobject_cast<QToolButton*>(app.Widget(QString::fromLatin1(name)))->isChecked();
    }
    // What scanning locks, and what it leaves, agree with `scanning`.
    void ExpectLocks(bool scanning) const
    {
        EXPECT_EQ(Enabled("RxSpeedButtonConnect"), !scanning);
        EXPECT_EQ(MenuEnabled("MenuItemConnect"), !scanning);
        EXPECT_EQ(Enabled("RxSpeedButtonFrame"), !scanning);
        EXPECT_EQ(Enabled("RxSpeedButtonOptions"), !scanning);
        EXPECT_EQ(MenuEnabled("MenuItemOptions"), !scanning);
        EXPECT_EQ(Enabled("RxSpeedButtonPreview"), !scanning);
        EXPECT_EQ(MenuEnabled("MenuItemSchedulerEdit"), !scanning);
        EXPECT_TRUE(Enabled("RxSpeedButtonAnalyse")) << "scanning can always be switched";
    }

    Program app;
};

} // namespace

TEST_F(ScanningCommands, F5TheButtonAndTheMenuSwitchScanningAndItsLocks)
{
    app.Start();
    app.Key(Qt::Key_F5);
    EXPECT_TRUE(app.Scanning());
    ExpectLocks(true);
    EXPECT_EQ(app.Action(QStringLiteral("MenuItemAnalyse"))->text(), "Deactivate &scanning");

    app.Click(QStringLiteral("RxSpeedButtonAnalyse"));
    EXPECT_FALSE(app.Scanning());
    ExpectLocks(false);
    EXPECT_TRUE(app.Caption().endsWith('.')) << "the heartbeat rests";

    ASSERT_TRUE(app.Menu({"&Video", "Activate &scanning"}));
    EXPECT_TRUE(app.Scanning());
    ASSERT_TRUE(
        WaitFor([&] { return app.Caption().endsWith('o') || app.Caption().endsWith('O'); }, 3000))
        << "each grab beats in the caption: " << app.Caption().toStdString();
    ASSERT_TRUE(app.Detect());
    EXPECT_EQ(app.Form().DetectionCount(), 1);
}

TEST_F(ScanningCommands, EscapeCancelsScanningWithAMessageAndOnlyWhileScanning)
{
    app.Start();
    {
        ModalAnswerer none(PressMessageBoxButton(QMessageBox::Ok), 500);
        app.Key(Qt::Key_Escape);
        Program::Pause(600);
        EXPECT_FALSE(none.answered()) << "nothing to cancel";
    }
    app.Key(Qt::Key_F5);
    ModalAnswerer canceled(PressMessageBoxButton(QMessageBox::Ok));
    app.Key(Qt::Key_Escape);
    ASSERT_TRUE(canceled.answered());
    EXPECT_EQ(canceled.text(), "Scanning canceled");
    EXPECT_FALSE(app.Scanning());
    ExpectLocks(false);
    // Switched on again, it compares again.
    app.Key(Qt::Key_F5);
    EXPECT_TRUE(app.Detect());
}

TEST_F(ScanningCommands, SpacePausesAndPlaysAndPlayNeverUnlocksConnectWhileScanning)
{
    app.Start();
    app.Key(Qt::Key_Space);
    EXPECT_TRUE(Down("RxSpeedButtonPause"));
    EXPECT_TRUE(app.Widget(QStringLiteral("ImageFreeze"))->isVisible());
    EXPECT_EQ(app.Action(QStringLiteral("MenuItemModeVideo"))->text(), "Video P&lay\tspace");
    EXPECT_FALSE(Enabled("RxSpeedButtonSource")) << "no driver dialog over a still";
    app.Key(Qt::Key_Space);
    EXPECT_TRUE(Down("RxSpeedButtonPlay"));
    EXPECT_TRUE(app.Widget(QStringLiteral("VideoCam"))->isVisible());
    EXPECT_TRUE(Enabled("RxSpeedButtonSource"));

    app.Key(Qt::Key_F5);
    app.Click(QStringLiteral("RxSpeedButtonPause"));
    app.Click(QStringLiteral("RxSpeedButtonPlay"));
    ASSERT_TRUE(app.Scanning());
    EXPECT_FALSE(Enabled("RxSpeedButtonConnect")) << "the video cannot go off under a scan";
    EXPECT_FALSE(MenuEnabled("MenuItemConnect"));
    ASSERT_TRUE(app.Menu({"&File", "Video &Pause\tspace"}));
    ASSERT_TRUE(app.Menu({"&File", "Video P&lay\tspace"}));
    EXPECT_FALSE(Enabled("RxSpeedButtonConnect"));
    app.Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(app.VideoOn()) << "Ctrl+V is locked as well";
}

TEST_F(ScanningCommands, CtrlVSwitchesTheVideoAndItsCommands)
{
    app.Start();
    EXPECT_EQ(app.Caption(), "i-Lumerix LE [Cam] -");
    app.Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_FALSE(app.VideoOn());
    EXPECT_EQ(app.Caption(), "i-Lumerix LE ");
    EXPECT_FALSE(Enabled("RxSpeedButtonAnalyse"));
    EXPECT_TRUE(MenuEnabled("MenuItemPilote"));
    EXPECT_EQ(app.Action(QStringLiteral("MenuItemConnect"))->text(), "&Activate video");

    ASSERT_TRUE(app.Menu({"&Video", "&Activate video"}));
    EXPECT_TRUE(app.VideoOn());
    EXPECT_EQ(app.Caption(), "i-Lumerix LE  [Cam] -");
    EXPECT_FALSE(MenuEnabled("MenuItemPilote"));
    EXPECT_TRUE(Enabled("RxSpeedButtonAnalyse"));
}

TEST_F(ScanningCommands, ZoomKeepsTheFrameLockedThroughStartAndReconnection)
{
    app.Store("iLXLE.INI", "Zoom", "1");
    app.Start();
    EXPECT_FALSE(Enabled("RxSpeedButtonFrame"));
    EXPECT_FALSE(MenuEnabled("MenuItemFrame"));
    app.Key(Qt::Key_V, Qt::ControlModifier);
    app.Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(app.VideoOn());
    EXPECT_FALSE(Enabled("RxSpeedButtonFrame"));
    app.Key(Qt::Key_F7);
    EXPECT_FALSE(app.Widget(QStringLiteral("PanelTransFrame"))->isVisible());
    app.Click(QStringLiteral("CheckBoxScaleVideo"));
    EXPECT_TRUE(Enabled("RxSpeedButtonFrame")) << "Zoom off gives the frame back";
}

TEST_F(ScanningCommands, AFailedPictureSaveSwitchesScanningOffTheWholeWay)
{
    app.Start();
    app.Key(Qt::Key_Space); // the still shows while scanning
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(app.Scanning());
    ASSERT_TRUE(QDir(app.CapturesFolder()).removeRecursively());
    app.dir.write("Captures", "not a folder");
    ModalAnswerer warning(PressMessageBoxButton(QMessageBox::Ok), 8000);
    ASSERT_TRUE(WaitFor([&] { return app.Info().startsWith("Scanning: "); }, 4000));
    QImage changed = app.Picture();
    changed.invertPixels();
    app.SetPicture(changed);
    ASSERT_TRUE(WaitFor([&] { return warning.answered(); }, 5000));
    EXPECT_TRUE(warning.text().startsWith("Error: Unable to save picture:"));
    EXPECT_FALSE(app.Scanning());
    ExpectLocks(false);
    EXPECT_TRUE(app.Caption().endsWith('.')) << app.Caption().toStdString();
    EXPECT_FALSE(app.Info().startsWith("Scanning: ")) << app.Info().toStdString();
    EXPECT_FALSE(app.Form().Scan().FrozenStill().isNull());
}

TEST_F(ScanningCommands, AnAutoStartWhileTheViewerIsOpenLeavesTheWindowConsistent)
{
    std::uint32_t tick = 1000;
    SetTickSource([&] { return tick; });
    app.Store("iLXLE_PARAM.DAT", "Auto", "1");
    app.Store("iLXLE_PARAM.DAT", "Delay", "1");
    app.Start();
    ASSERT_FALSE(app.Scanning());
    ModalAnswerer viewer([&](QWidget* modal) {
        tick += 61000; // the minute runs out while the user looks at pictures
        EXPECT_TRUE(WaitFor([&] { return app.Scanning(); }, 3000));
        modal->close();
    });
    app.Key(Qt::Key_F9);
    SetTickSource({});
    ASSERT_TRUE(viewer.answered());
    // The scan that started holds its locks; nothing is left half on.
    EXPECT_TRUE(app.Scanning());
    ExpectLocks(true);
    app.Key(Qt::Key_F5);
    EXPECT_FALSE(app.Scanning());
    ExpectLocks(false);
}

// The camera's own error from a command (its format dialog gone since the
// video came on) switches the video off, and the scanning with it.
TEST_F(ScanningCommands, ACameraErrorFromACommandTurnsScanningOffWithTheVideo)
{
    app.Start();
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(app.Scanning());
    DriverCaps caps;
    caps.hasDlgVideoSource = caps.hasDlgVideoDisplay = true;
    app.Scripted().setCaps(caps);
    ModalAnswerer error(PressMessageBoxButton(QMessageBox::Ok));
    app.Click(QStringLiteral("RxSpeedButtonFormat"));
    ASSERT_TRUE(error.answered());
    EXPECT_EQ(error.text(), "The device don't allow to select video format");
    EXPECT_FALSE(app.VideoOn());
    EXPECT_FALSE(app.Scanning()) << "no scan over a video that is off";
    EXPECT_FALSE(app.Form().Scan().TimerScan().isActive());
    EXPECT_TRUE(Enabled("RxSpeedButtonConnect"));
    EXPECT_TRUE(Enabled("RxSpeedButtonOptions"));
    app.Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(app.VideoOn());
    EXPECT_FALSE(app.Scanning());
    ExpectLocks(false);
}

TEST_F(ScanningCommands, HelpModeExplainsAClickEvenBeforeTheWindowIsActive)
{
    app.Start();
    app.Click(QStringLiteral("RxSpeedButtonHelp"));
    ASSERT_TRUE(app.Form().HelpMode());
    app.Key(Qt::Key_F1); // the help window comes up and takes the activation
    // The press arrives before the window system activates the main window.
    QWidget* connect = app.Widget(QStringLiteral("RxSpeedButtonConnect"));
    const QPoint at = connect->mapTo(&app.Form(), connect->rect().center());
    QTest::mouseClick(app.Form().windowHandle(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(app.VideoOn()) << "the click was taken as help, not as the command";
    app.Click(QStringLiteral("RxSpeedButtonHelp"));
}

TEST_F(ScanningCommands, AGrabThatWritesNoFrameIsAFailedCycleNotAnOldPicture)
{
    app.Start();
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(WaitFor([&] { return app.Info().startsWith("Scanning: "); }, 4000));
    app.Scripted().failSaveFrame = true;
    EXPECT_TRUE(WaitFor([&] { return app.Info().startsWith("Scanning - Wait: "); }, 3000))
        << app.Info().toStdString();
    app.Scripted().failSaveFrame = false;
    EXPECT_TRUE(WaitFor([&] { return app.Info().startsWith("Scanning: "); }, 4000));
    EXPECT_TRUE(app.Info().contains("- Wait: ")) << "the wait it built up stays";
}

TEST_F(ScanningCommands, TheScanningButtonAnswersAtOnceHoweverLongTheGrabWaitHasGrown)
{
    app.Start();
    app.Scripted().failSaveFrame = true;
    app.Form().Scan().SetGrabWait(3000); // what minutes of failing grabs build up
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(app.Scanning());
    // The user clicks while a cycle waits for its frame.
    QElapsedTimer clock;
    qint64 clickedAt = -1;
    clock.start();
    QTimer::singleShot(700, [&] {
        clickedAt = clock.elapsed();
        app.Click(QStringLiteral("RxSpeedButtonAnalyse"));
    });
    ASSERT_TRUE(WaitFor([&] { return clickedAt >= 0; }, 6000));
    EXPECT_LT(clickedAt, 700 + 300) << "the click waited for the grab wait to end";
    EXPECT_FALSE(app.Scanning());
}

TEST_F(ScanningCommands, ABlindScanSaysSoInPlainWordsUntilFramesComeAgain)
{
    std::uint32_t tick = 5000;
    SetTickSource([&] { return tick; });
    app.Start();
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(WaitFor([&] { return app.Info().startsWith("Scanning: "); }, 4000));
    app.Scripted().failSaveFrame = true;
    ASSERT_TRUE(WaitFor([&] { return app.Info().startsWith("Scanning - Wait: "); }, 3000));
    EXPECT_FALSE(app.Info().contains("No picture")) << "a moment's failure is not blindness";
    tick += 6000;
    EXPECT_TRUE(WaitFor(
        [&] { return app.Info().startsWith("No picture for 6 s: nothing is watched"); }, 4000))
        << app.Info().toStdString();
    auto* line = qobject_cast<QLabel*>(app.Widget(QStringLiteral("PanelInfo")));
    EXPECT_LE(line->fontMetrics().horizontalAdvance(app.Info()),
              line->contentsRect().width() - 2 * line->indent())
        << "read whole in the narrowest window";
    app.Scripted().failSaveFrame = false;
    EXPECT_TRUE(WaitFor([&] { return app.Info().startsWith("Scanning: "); }, 5000))
        << app.Info().toStdString();
    SetTickSource({});
}

// A camera whose grab takes longer than the scan period: each tick that comes
// while the cycle still runs says so and grows the delay, and the next cycles
// run at the longer period.
TEST_F(ScanningCommands, ACycleSlowerThanThePeriodIsDelayedAndThePeriodGrows)
{
    app.Start();
    app.Scripted().grabMs = 600;
    QStringList lines;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (lines.isEmpty() || lines.last() != app.Info())
            lines << app.Info();
    });
    watch.start(10);
    app.Key(Qt::Key_F5);
    EXPECT_TRUE(
        WaitFor([&] { return lines.contains("Scanning in progress... delayed:500ms"); }, 8000))
        << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.contains("Scanning in progress... delayed:250ms"));
    EXPECT_GE(app.Form().Scan().TimerScan().interval(), 750);
    EXPECT_TRUE(WaitFor(
        [&] {
            return std::any_of(lines.begin(), lines.end(),
                               [](const QString& l) { return l.contains("- Freqency: 750ms"); });
        },
        3000))
        << lines.join('\n').toStdString();
    app.Key(Qt::Key_F5);
}

// Paused, and the next still cannot be grabbed: the last still shows
// "Unavailable" above "PAUSE", both readable, with no label of before.
TEST_F(ScanningCommands, AStillThatCannotBeGrabbedSaysSoAboveItsMode)
{
    app.Start();
    app.Key(Qt::Key_Space);
    const QImage still = app.Form().Scan().FrozenStill();
    ASSERT_FALSE(still.isNull());
    app.Scripted().failSaveFrame = true;
    app.Key(Qt::Key_F5);
    app.Key(Qt::Key_F5); // scanning off while paused: the still is taken again
    QImage expected = still;
    DrawPictureLabel(expected, QStringLiteral("Unavailable\nPAUSE"));
    const auto* view = qobject_cast<QLabel*>(app.Widget(QStringLiteral("ImageFreeze")));
    EXPECT_EQ(view->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              expected.convertToFormat(QImage::Format_RGB32));
}
