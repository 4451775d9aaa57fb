#include "Clock.h"
#include "EIlxError.h"
#include "FrameComparison.h"
#include "TScanController.h"
#include "TScanHost.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include <algorithm>
#include <deque>
#include <functional>
#include <vector>

namespace {

QImage scene(QRgb colour = qRgb(40, 80, 120))
{
    QImage image(320, 240, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

// A scene where `changed` of the 10 x 10 automatic sample points differ.
QImage sceneWithChangedPoints(int changed)
{
    QImage image = scene();
    for (int i = 0; i < changed; ++i) {
        uchar* p = image.scanLine((i / 10) * 24) + 3 * ((i % 10) * 32);
        p[0] = 255;
    }
    return image;
}

// The main window as the controller sees it, with a pinned tick counter that
// only moves when the fake grabs (the cycle's duration) or sleeps.
struct FakeHost : TScanHost
{
    std::uint32_t now = 1000;
    std::uint32_t grabTakes = 140;
    bool videoActive = true;
    std::deque<QImage> frames;
    bool grabThrows = false;
    TScanOptions options;
    TScanArea area;
    bool settled = false;
    bool countdownDone = false;
    QString countdownText = "Start scanning in 00:00:42";
    bool soundBusy = false;
    bool alarmThrows = false;
    std::vector<QObject*> alarms;
    std::vector<QImage> saved;
    QString saveName = "ILX 2026-12-08 08-00-00-000.jpg";
    std::vector<QString> info;
    bool red = false;
    QChar heartbeat;
    int shownCount = -1;
    QString analyseCaption, analyseHint;
    int analyseImage = -1;
    bool connectEnabled = true;
    bool locked = false;
    int optionsHidden = 0;
    bool pauseDown = false;
    bool dialogsEnabled = true;
    bool frozen = false;
    QImage still;
    QString modeCaption;
    std::vector<QString> labels;
    int restoredFrame = 0;
    std::vector<int> sleeps;
    int waitCursorDepth = 0;
    int cursorRestores = 0;
    std::function<void()> onProcess;
    int grabs = 0;
    int failShowInfoOnce = -1; // index of the ShowInfo call that throws

    bool VideoActive() const override { return videoActive; }
    void GrabFrame() override
    {
        ++grabs;
        now += grabTakes;
        if (grabThrows)
            throw EIlxError("grab failed");
    }
    QImage LoadGrabbedFrame() override
    {
        if (frames.empty())
            return QImage();
        QImage f = frames.front();
        if (frames.size() > 1)
            frames.pop_front();
        return f;
    }
    TScanOptions ScanOptions() const override { return options; }
    bool AutoStartSettled() const override { return settled; }
    void SetAutoStartSettled() override { settled = true; }
    bool AutoStartCountdown(QString& text) override
    {
        text = countdownText;
        return countdownDone;
    }
    bool SoundBusy() const override { return soundBusy; }
    void StartSoundAlarm(QObject* sender, bool, const QString&) override
    {
        if (alarmThrows)
            throw EIlxError("no sound");
        alarms.push_back(sender);
    }
    void HideOptionsWindow() override { ++optionsHidden; }
    TScanArea ScanArea() const override { return area; }
    QString SavePicture(const QImage& frame) override
    {
        saved.push_back(frame);
        return saveName;
    }
    void ShowInfo(const QString& text) override
    {
        if (failShowInfoOnce == static_cast<int>(info.size())) {
            failShowInfoOnce = -1;
            throw EIlxError("panel");
        }
        info.push_back(text);
    }
    void SetVideoPanelRed(bool r) override { red = r; }
    void SetHeartbeat(QChar c) override { heartbeat = c; }
    void ShowDetectionCount(int count) override { shownCount = count; }
    void SetAnalyseLook(const QString& caption, const QString& hint, int image) override
    {
        analyseCaption = caption;
        analyseHint = hint;
        analyseImage = image;
    }
    void SetConnectEnabled(bool enabled) override { connectEnabled = enabled; }
    void SetScanLocks(bool scanning) override { locked = scanning; }
    bool PauseDown() const override { return pauseDown; }
    void SetPauseDown(bool down) override { pauseDown = down; }
    void SetVideoDialogsEnabled(bool enabled) override { dialogsEnabled = enabled; }
    void ShowFrozen(bool f) override { frozen = f; }
    void ShowStill(const QImage& s) override { still = s; }
    void SetModeVideoCaption(const QString& caption) override { modeCaption = caption; }
    void RelayoutVideo() override {}
    void DrawPictureLabel(QImage&, const QString& text) override { labels.push_back(text); }
    void RestoreScanFrame() override { ++restoredFrame; }
    void ProcessMessages() override
    {
        if (auto once = std::exchange(onProcess, nullptr))
            once();
    }
    void Sleep(int ms) override
    {
        sleeps.push_back(ms);
        now += static_cast<std::uint32_t>(ms);
    }
    void SetWaitCursor(bool wait) override
    {
        waitCursorDepth += wait ? 1 : -1;
        cursorRestores += wait ? 0 : 1;
    }
};

class ScanCycle : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale::c());
        SetTickSource([this] { return host.now; });
        host.options.PauseOnScanning = false;
        controller.ApplyInitialLook();
        controller.TimerScan().start();
        controller.SetScanReady(true);
    }
    void TearDown() override
    {
        SetTickSource({});
        RequestComparisonStop();
    }

    // The scanning command from its tool button.
    void startScanning() { controller.RxSpeedButtonAnalyseClick(&button); }
    void tick() { controller.TimerScanTimer(&controller.TimerScan()); }

    FakeHost host;
    TScanController controller{host};
    QObject button;
};

} // namespace

TEST_F(ScanCycle, FirstCycleFillsTheBufferThenAStillSceneNeverDetects)
{
    EXPECT_EQ(host.analyseCaption, "Activate &scanning");
    host.frames = {scene()};
    startScanning();
    EXPECT_EQ(host.analyseCaption, "Deactivate &scanning");
    EXPECT_EQ(host.analyseImage, 6);
    EXPECT_FALSE(host.connectEnabled);
    EXPECT_TRUE(host.locked);

    tick();
    EXPECT_EQ(host.info.back(), "Scanning - Buffer");
    EXPECT_EQ(host.heartbeat, QChar('O'));
    for (int i = 0; i < 5; ++i) {
        tick();
        EXPECT_EQ(host.info.back(), "Scanning: 140ms- Differences: 0.00%- Freqency: 250ms");
    }
    EXPECT_EQ(host.heartbeat, QChar('o')) << "six grabs end in buffer 0";
    EXPECT_EQ(controller.DetectionCount(), 0);
    EXPECT_TRUE(host.saved.empty());
    EXPECT_TRUE(controller.ScanReady());
    EXPECT_EQ(controller.TimerScan().interval(), 250);
}

TEST_F(ScanCycle, OneChangedFrameDetectsOnceAndSavesTheNewestFrame)
{
    host.options.SoundFile = "/tmp/x.wav";
    const QImage moved = scene(qRgb(200, 80, 120));
    host.frames = {scene(), moved, scene(), scene()};
    startScanning();
    tick();
    tick();
    EXPECT_EQ(controller.DetectionCount(), 1);
    EXPECT_EQ(host.shownCount, 1);
    EXPECT_TRUE(host.red);
    ASSERT_EQ(host.saved.size(), 1u);
    EXPECT_EQ(host.saved[0], moved);
    EXPECT_EQ(controller.LastImage(), host.saveName);
    ASSERT_EQ(host.alarms.size(), 1u);
    EXPECT_EQ(host.alarms[0], &controller.TimerScan()) << "the alarm gets the tick's sender";
    EXPECT_TRUE(controller.TimerScan().isActive());
    EXPECT_EQ(host.info.back(), "Scanning: 140ms- Differences: 100.00%- Freqency: 250ms");

    tick(); // moved -> still: the change back is a detection too
    EXPECT_EQ(controller.DetectionCount(), 2);
    tick(); // still -> still
    EXPECT_EQ(controller.DetectionCount(), 2);
    EXPECT_FALSE(host.red);
}

TEST_F(ScanCycle, DifferencesEqualToTheThresholdAreNoDetection)
{
    host.options.Differences = 5;
    host.frames = {scene(), sceneWithChangedPoints(5), sceneWithChangedPoints(11)};
    startScanning();
    tick();
    tick();
    EXPECT_EQ(host.info.back(), "Scanning: 140ms- Differences: 5.00%- Freqency: 250ms");
    EXPECT_EQ(controller.DetectionCount(), 0);
    tick();
    EXPECT_EQ(controller.DetectionCount(), 1) << "6 of 100 points changed";
}

TEST_F(ScanCycle, AlarmOnlyWhenWantedAndNotAlreadySounding)
{
    host.frames = {scene(), scene(qRgb(0, 0, 0)), scene(), scene(qRgb(0, 0, 0))};
    startScanning();
    tick();
    host.soundBusy = true;
    tick();
    EXPECT_EQ(controller.DetectionCount(), 1);
    EXPECT_EQ(host.saved.size(), 1u);
    EXPECT_TRUE(host.alarms.empty());
    host.soundBusy = false;
    host.options.Alarm = false;
    tick();
    EXPECT_EQ(controller.DetectionCount(), 2);
    EXPECT_TRUE(host.alarms.empty());
}

TEST_F(ScanCycle, FailingAlarmOrSaveNeverLeavesTheTimerStopped)
{
    host.frames = {scene(), scene(qRgb(0, 0, 0))};
    host.alarmThrows = true;
    startScanning();
    tick();
    tick();
    EXPECT_EQ(controller.DetectionCount(), 1);
    EXPECT_EQ(host.saved.size(), 1u) << "the picture is kept although the alarm failed";
    EXPECT_TRUE(controller.TimerScan().isActive());
    EXPECT_EQ(controller.GrabWait(), 200);

    // A failed save has warned; scanning goes off and no last picture is named.
    host.alarmThrows = false;
    controller.SetLastImage("earlier.jpg");
    host.saveName.clear();
    host.frames = {scene()};
    tick();
    EXPECT_EQ(controller.DetectionCount(), 2);
    EXPECT_EQ(controller.LastImage(), "");
    EXPECT_FALSE(controller.Scanning());
    EXPECT_TRUE(host.connectEnabled);
    EXPECT_NE(std::find(host.info.begin(), host.info.end(), "Scanning stopped"), host.info.end());
    EXPECT_TRUE(controller.TimerScan().isActive()) << "the timer runs while the video is active";
}

TEST_F(ScanCycle, FailedCyclesLengthenTheGrabWait)
{
    host.frames = {scene()};
    startScanning();
    host.grabThrows = true;
    tick();
    EXPECT_EQ(host.info.back(), "Scanning - Wait: 200ms");
    EXPECT_TRUE(controller.ScanReady());
    tick();
    EXPECT_EQ(host.info.back(), "Scanning - Wait: 400ms");

    // A missing frame file is a failure too.
    host.grabThrows = false;
    host.frames.clear();
    tick();
    EXPECT_EQ(controller.GrabWait(), 600);

    host.frames = {scene()};
    tick();
    const std::size_t before = host.sleeps.size();
    tick();
    // The wait is slept between grab and load, in slices the window answers between.
    const std::vector<int> slices(host.sleeps.begin() + std::ptrdiff_t(before), host.sleeps.end());
    EXPECT_EQ(std::accumulate(slices.begin(), slices.end(), 0), 600);
    EXPECT_EQ(*std::max_element(slices.begin(), slices.end()), 100);
    EXPECT_EQ(host.info.back(),
              "Scanning: 740ms- Differences: 0.00%- Freqency: 250ms- Wait: 600ms");
    EXPECT_EQ(controller.GrabWait(), 600) << "never lowered";
}

TEST_F(ScanCycle, OverlappingTickDelaysAndTheNextCycleShrinksItBack)
{
    host.frames = {scene()};
    startScanning();
    tick();
    // The tick that arrives while the cycle lets messages run.
    host.onProcess = [this] {
        tick();
    };
    tick();
    EXPECT_EQ(host.info.back(), "Scanning in progress... delayed:250ms");
    EXPECT_EQ(controller.ScanDelay(), 250);
    EXPECT_EQ(controller.TimerScan().interval(), 500);
    EXPECT_TRUE(controller.TimerScan().isActive());
    // 140 ms * 1.5 = 210 < 500: the delay falls back to 0.
    tick();
    EXPECT_EQ(controller.ScanDelay(), 0);
    EXPECT_EQ(controller.TimerScan().interval(), 250);

    // Video switched off while the overlap let messages run: the timer stays off.
    tick();
    host.onProcess = [this] {
        host.onProcess = [this] {
            host.videoActive = false;
            controller.TimerScan().stop();
        };
        tick();
    };
    tick();
    EXPECT_FALSE(controller.TimerScan().isActive());

    // A command that makes the scan ready while a cycle lets messages run (a
    // format dialog's end): the tick then still overlaps, no cycle inside.
    host.videoActive = true;
    controller.TimerScan().start();
    tick();
    const int grabs = host.grabs;
    host.onProcess = [this] {
        controller.SetScanReady(true);
        tick();
    };
    tick();
    EXPECT_EQ(host.grabs, grabs + 1) << "one cycle, one grab";
    EXPECT_TRUE(host.info.back().startsWith("Scanning in progress... delayed:"));
}

TEST_F(ScanCycle, NewFrequencyOrFormatDropsTheGainedDelay)
{
    host.frames = {scene()};
    startScanning();
    tick();
    host.onProcess = [this] {
        tick();
    };
    tick();
    ASSERT_EQ(controller.TimerScan().interval(), 500);
    controller.ResetScanDelay();
    EXPECT_EQ(controller.ScanDelay(), 0);
    EXPECT_EQ(controller.TimerScan().interval(), 250);
    host.onProcess = [this] {
        tick();
    };
    tick();
    controller.ApplyFrequency(4);
    EXPECT_EQ(controller.ScanDelay(), 0);
    EXPECT_EQ(controller.BaseInterval(), 30000);
    EXPECT_EQ(controller.TimerScan().interval(), 30000);
    EXPECT_TRUE(controller.TimerScan().isActive());
}

TEST_F(ScanCycle, SlowCyclesKeepTheBaseIntervalAndFiveSecondFrequency)
{
    host.options.FrequencyIndex = 3;
    host.frames = {scene()};
    host.grabTakes = 100;
    startScanning();
    EXPECT_EQ(controller.TimerScan().interval(), 5000);
    tick();
    tick();
    EXPECT_EQ(controller.TimerScan().interval(), 5000);
    EXPECT_EQ(host.info.back(), "Scanning: 100ms- Differences: 0.00%- Freqency: 5000ms");
}

TEST_F(ScanCycle, AutoStartCountsDownThenStartsScanning)
{
    host.options.AutoStart = true;
    host.frames = {scene()};
    tick();
    EXPECT_FALSE(controller.Scanning());
    EXPECT_EQ(host.info.back(), "Start scanning in 00:00:42");
    host.countdownDone = true;
    host.countdownText.clear();
    RequestComparisonStop(); // as after Escape: the auto-start must reopen the gate
    tick();
    EXPECT_TRUE(controller.Scanning());
    EXPECT_TRUE(host.settled);
    EXPECT_FALSE(IsGateStopped());
    EXPECT_EQ(host.info.back(), "Scanning - Buffer") << "the same tick runs the first cycle";
}

TEST_F(ScanCycle, WithoutAutoStartTheFirstTickSaysWhetherVideoIsActive)
{
    tick();
    ASSERT_EQ(host.info.size(), 2u); // the "off" look, then the video state
    EXPECT_EQ(host.info.back(), "Video is active");
    tick();
    EXPECT_EQ(host.info.size(), 2u) << "said once";
}

TEST_F(ScanCycle, OnlyACommandWithASenderReopensTheGate)
{
    host.frames = {scene(), scene(qRgb(0, 0, 0))};
    RequestComparisonStop();
    controller.RxSpeedButtonAnalyseClick(nullptr);
    EXPECT_TRUE(controller.Scanning());
    EXPECT_TRUE(IsGateStopped());
    tick();
    tick();
    EXPECT_EQ(controller.DetectionCount(), 0) << "a stopped gate decides nothing";
    EXPECT_EQ(host.info.back(), "Scanning: 140ms- Differences: 0.00%- Freqency: 250ms");
    controller.RxSpeedButtonAnalyseClick(nullptr);
    EXPECT_FALSE(controller.Scanning());
    EXPECT_EQ(host.info.back(), "Scanning stopped");
    startScanning();
    EXPECT_FALSE(IsGateStopped());
}

TEST_F(ScanCycle, PauseOnScanningFreezesAStillAndStoppingRelabelsIt)
{
    host.options.PauseOnScanning = true;
    host.frames = {scene()};
    startScanning();
    EXPECT_TRUE(host.pauseDown);
    EXPECT_TRUE(host.frozen);
    EXPECT_FALSE(host.dialogsEnabled);
    EXPECT_EQ(host.modeCaption, "Video P&lay\tspace");
    EXPECT_EQ(host.labels, std::vector<QString>{"SCANNING"});
    EXPECT_EQ(host.still, scene());

    host.frames.clear(); // the next still is missing
    controller.RxSpeedButtonAnalyseClick(&button);
    EXPECT_EQ(host.heartbeat, QChar('.'));
    EXPECT_TRUE(host.frozen) << "stopping leaves the view frozen";
    EXPECT_EQ(host.labels, (std::vector<QString>{"SCANNING", "Unavailable\nPAUSE"}));

    // Space twice (the menu item) returns to live video.
    controller.RxSpeedButtonPauseClick(true);
    EXPECT_FALSE(host.pauseDown);
    EXPECT_FALSE(host.frozen);
    EXPECT_TRUE(host.dialogsEnabled);
    EXPECT_EQ(host.info.back(), "Video playing");
    EXPECT_EQ(host.modeCaption, "Video &Pause\tspace");
    controller.RxSpeedButtonPauseClick(true);
    EXPECT_TRUE(host.frozen);
    EXPECT_EQ(host.info.back(), "Video paused");
}

TEST_F(ScanCycle, FreezeWithoutAnyStillDrawsNoLabel)
{
    controller.RxSpeedButtonPauseClick(true);
    EXPECT_TRUE(host.frozen);
    EXPECT_TRUE(host.labels.empty());
    EXPECT_TRUE(host.still.isNull());
}

TEST_F(ScanCycle, StabilityWaitCountsDownInTenths)
{
    host.info.clear();
    controller.WaitPictureStability(3);
    ASSERT_EQ(host.info.size(), 31u);
    EXPECT_EQ(host.info.front(), "Waiting picture stability 30");
    EXPECT_EQ(host.info[1], "Waiting picture stability 29");
    EXPECT_EQ(host.info[29], "Waiting picture stability 1");
    EXPECT_EQ(host.info.back(), "");
    EXPECT_EQ(host.restoredFrame, 1);
    EXPECT_EQ(host.waitCursorDepth, 0);

    host.info.clear();
    controller.WaitPictureStability(0);
    EXPECT_EQ(host.info, std::vector<QString>{QString()});
    EXPECT_EQ(host.waitCursorDepth, 0);

    // A failing round restores the cursor once and the countdown goes on.
    host.info.clear();
    host.cursorRestores = 0;
    host.failShowInfoOnce = 2;
    controller.WaitPictureStability(1);
    EXPECT_EQ(host.info.back(), "");
    EXPECT_EQ(host.info.size(), 11u) << "ten rounds shown and the cleared panel";
    EXPECT_EQ(host.cursorRestores, 1);
    EXPECT_EQ(host.waitCursorDepth, 0);
}
