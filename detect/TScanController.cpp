#include "TScanController.h"

#include "Clock.h"
#include "FrameComparison.h"
#include "ScanTexts.h"
#include "ScanTiming.h"
#include "TScanHost.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <stdexcept>

namespace {

// The detection keeps the timer stopped while the alarm starts and the picture
// is written; whatever happens there, it must run again afterwards.
class TimerRestart final
{
public:
    explicit TimerRestart(std::function<void()> restart) : restart_(std::move(restart)) {}
    ~TimerRestart() { restart_(); }
    TimerRestart(const TimerRestart&) = delete;
    TimerRestart& operator=(const TimerRestart&) = delete;

private:
    std::function<void()> restart_;
};

std::uint8_t percentByte(int value)
{
    return static_cast<std::uint8_t>(std::clamp(value, 0, 100));
}

} // namespace

TScanController::TScanController(TScanHost& host, QObject* parent) : QObject(parent), host_(host)
{
    setObjectName(QStringLiteral("ScanController"));
    timerScan_.setObjectName(QStringLiteral("TimerScan"));
    timerScan_.setInterval(ScanTiming::kStartInterval);
    connect(&timerScan_, &QTimer::timeout, this, [this] { TimerScanTimer(&timerScan_); });
    overlapTicks_.setObjectName(QStringLiteral("TimerScanOverlap"));
    connect(&overlapTicks_, &QTimer::timeout, this, [this] {
        // Ticks only while the scan timer itself is on, as its own would.
        if (timerScan_.isActive())
            TimerScanTimer(&timerScan_);
    });
}

void TScanController::ApplyInitialLook()
{
    scanning_ = true;
    SetScanning(false);
}

/*!
 * \brief One tick of the scan timer: the auto-start, then, while scanning, one
 * cycle of grab, compare and decide, or the overlap path when the previous
 * cycle is still letting messages run.
 */
void TScanController::TimerScanTimer(QObject* sender)
{
    const TScanOptions options = host_.ScanOptions();
    if (!options.AutoStart && !host_.AutoStartSettled()) {
        host_.SetAutoStartSettled();
        host_.ShowInfo(ScanTexts::VideoActive(host_.VideoActive()));
    }
    if (options.AutoStart && !scanning_ && !host_.AutoStartSettled()) {
        QString text;
        if (host_.AutoStartCountdown(text)) {
            host_.SetAutoStartSettled();
            scanReady_ = true;
            RxSpeedButtonAnalyseClick(&timerScan_);
        }
        host_.ShowInfo(text);
    }
    if (!scanning_)
        return;

    if (cycleRunning_ || !scanReady_) {
        timerScan_.stop();
        scanDelay_ = ScanTiming::DelayAfterOverlap(scanDelay_);
        timerScan_.setInterval(baseInterval_ + scanDelay_);
        host_.ShowInfo(ScanTexts::OverlapDelayed(scanDelay_));
        host_.ProcessMessages();
        enableTimerIfVideo();
        return;
    }
    runCycle(sender);
}

void TScanController::runCycle(QObject* sender)
{
    const qint64 planned = static_cast<qint64>(baseInterval_) + scanDelay_;
    scanReady_ = false;
    host_.SetAutoStartSettled();
    // While the cycle runs, a tick takes the overlap path whatever else sets
    // the cycle ready meanwhile (a format dialog's end), so no cycle ever runs
    // inside another; the ticks that overlap it end with it.
    cycleRunning_ = true;
    const TimerRestart endOfCycle([this] {
        cycleRunning_ = false;
        overlapTicks_.stop();
    });
    if (timerScan_.isActive())
        overlapTicks_.start(timerScan_.interval());

    bool adaptNow = true;
    qint64 x = planned;
    bool measured = false;
    try {
        const std::uint32_t t0 = IlxTickCount();
        host_.GrabFrame();
        bufferIndex_ = 1 - bufferIndex_;
        if (!WaitAfterGrab()) {
            // Scanning or the video went off during the wait: nothing to compare.
            bufferIndex_ = 1 - bufferIndex_;
            host_.ProcessMessages();
            scanReady_ = true;
            return;
        }
        QImage frame = host_.LoadGrabbedFrame();
        if (frame.isNull()) {
            // The newest good frame stays the one the next frame is compared with.
            bufferIndex_ = 1 - bufferIndex_;
            throw std::runtime_error("no grabbed frame");
        }
        buffers_[static_cast<std::size_t>(bufferIndex_)] = std::move(frame);
        failingSince_.reset();
        host_.SetHeartbeat(bufferIndex_ == 0 ? QChar('o') : QChar('O'));

        if (buffers_[0].isNull() || buffers_[1].isNull()) {
            host_.ShowInfo(ScanTexts::BufferNotReady());
            adaptNow = false;
        } else {
            const TScanOptions options = host_.ScanOptions();
            const TScanArea area = host_.ScanArea();
            const double diff = CompareFrames(
                buffers_[1], buffers_[0], StepForResolutionIndex(options.ResolutionIndex),
                percentByte(options.Sensitivity), area.Shown, area.PX, area.PY, area.PW, area.PH,
                options.IgnoreLight, &options.IgnoreAreas);
            if (!IsGateStopped()) {
                if (diff > static_cast<double>(options.Differences))
                    handleDetection(sender);
                else
                    host_.SetVideoPanelRed(false);
            }
            x = ScanTiming::ElapsedTicks(t0, IlxTickCount());
            measured = true;
            // A detection whose picture could not be saved switched scanning
            // off: the line saying so stays.
            if (scanning_)
                host_.ShowInfo(ScanTexts::StatusLine(x, diff, timerScan_.interval(), grabWait_));
        }
    } catch (...) {
        // Absorbed: a failed cycle only slows the next ones down.
        grabWait_ = ScanTiming::GrabWaitAfterFailure(grabWait_);
        const std::uint32_t now = IlxTickCount();
        if (!failingSince_)
            failingSince_ = now;
        const qint64 blind = ScanTiming::ElapsedTicks(*failingSince_, now);
        if (blind >= kBlindAfterMs)
            host_.ShowInfo(ScanTexts::ScanningBlind(grabWait_, blind));
        else if (grabWait_ > 0)
            host_.ShowInfo(ScanTexts::GrabWait(grabWait_));
        if (!measured)
            x = planned;
    }
    if (adaptNow)
        adapt(x);
    host_.ProcessMessages();
    scanReady_ = true;
}

/*!
 * \brief Waits GrabWait between the grab and the load, in slices short enough
 * that the window keeps answering (events run between slices).
 * \return false when scanning or the video was switched off meanwhile.
 */
bool TScanController::WaitAfterGrab()
{
    for (int left = grabWait_; left > 0;) {
        const int slice = std::min(left, ScanTiming::kMaxUiWait);
        host_.Sleep(slice);
        left -= slice;
        host_.ProcessMessages();
        if (!scanning_ || !host_.VideoActive())
            return false;
    }
    return true;
}

void TScanController::adapt(qint64 x)
{
    if (const auto delay = ScanTiming::AdaptedDelay(x, baseInterval_, scanDelay_)) {
        scanDelay_ = *delay;
        timerScan_.setInterval(baseInterval_ + scanDelay_);
    }
}

void TScanController::handleDetection(QObject* sender)
{
    // No tick, overlapping or not, while the alarm starts and the picture is written.
    timerScan_.stop();
    overlapTicks_.stop();
    const TimerRestart restart([this] { enableTimerIfVideo(); });
    SetDetectionCount(detectionCount_ + 1);
    host_.SetVideoPanelRed(true);
    const TScanOptions options = host_.ScanOptions();
    // An alarm that fails to start must not cost the picture: the failure is
    // passed on to the cycle only after the save.
    std::exception_ptr alarmFailure;
    if (options.Alarm && !host_.SoundBusy()) {
        try {
            host_.StartSoundAlarm(sender, options.SoundLoop, options.SoundFile);
        } catch (...) {
            alarmFailure = std::current_exception();
        }
    }
    lastImage_ = host_.SavePicture(buffers_[static_cast<std::size_t>(bufferIndex_)]);
    // A failed save has shown its warning; scanning stops so that a full disk
    // does not bring one warning per detection.
    if (lastImage_.isEmpty())
        SetScanning(false);
    if (alarmFailure)
        std::rethrow_exception(alarmFailure);
}

void TScanController::enableTimerIfVideo()
{
    // The timer runs exactly while the video is active; the video may have been
    // switched off while messages ran.
    if (host_.VideoActive()) {
        timerScan_.start();
        // The overlap ticks follow the scan timer, at its (new) interval.
        if (cycleRunning_)
            overlapTicks_.start(timerScan_.interval());
    }
}

void TScanController::RxSpeedButtonAnalyseClick(QObject* sender)
{
    if (sender != nullptr && IsGateStopped())
        ResetComparison();
    const bool on = !scanning_;
    SetScanning(on);
    host_.SetScanLocks(on);
    host_.HideOptionsWindow();
    host_.ProcessMessages();
    host_.SetAutoStartSettled();

    ApplyFrequency(host_.ScanOptions().FrequencyIndex);

    if (!on) {
        host_.SetHeartbeat(QChar('.'));
        if (host_.PauseDown())
            RxSpeedButtonPauseClick(false);
    } else if (host_.ScanOptions().PauseOnScanning || host_.PauseDown()) {
        host_.SetPauseDown(true);
        RxSpeedButtonPauseClick(false);
    }
}

void TScanController::ApplyFrequency(int frequencyIndex)
{
    baseInterval_ = ScanTiming::BaseIntervalForFrequencyIndex(frequencyIndex);
    ResetScanDelay();
}

void TScanController::ResetScanDelay()
{
    scanDelay_ = 0;
    timerScan_.setInterval(baseInterval_);
}

void TScanController::SetScanning(bool value)
{
    if (value == scanning_)
        return;
    scanning_ = value;
    host_.SetConnectEnabled(!value);
    host_.SetAnalyseLook(ScanTexts::AnalyseMenuCaption(value), ScanTexts::AnalyseHint(value),
                         ScanTexts::AnalyseImageIndex(value));
    if (!value) {
        host_.ShowInfo(ScanTexts::ScanningOff());
        host_.SetVideoPanelRed(false);
    }
}

void TScanController::SetDetectionCount(int count)
{
    detectionCount_ = count;
    host_.ShowDetectionCount(count);
}

void TScanController::ClearBuffers()
{
    buffers_[0] = QImage();
    buffers_[1] = QImage();
}

void TScanController::RxSpeedButtonPauseClick(bool fromMenuItem)
{
    if (fromMenuItem)
        host_.SetPauseDown(!host_.PauseDown());
    const bool paused = host_.PauseDown();
    if (paused) {
        host_.SetVideoPanelRed(false);
        host_.SetVideoDialogsEnabled(false);
        host_.SetHeartbeat(QChar('.'));
        host_.ShowInfo(ScanTexts::VideoPaused());
        host_.ProcessMessages();
        FreezePicture();
    } else {
        host_.ShowInfo(ScanTexts::VideoPlaying());
        // Scanning keeps the video on: Connect stays locked until it stops.
        if (!scanning_)
            host_.SetConnectEnabled(true);
        host_.SetVideoDialogsEnabled(true);
    }
    host_.ShowFrozen(paused);
    host_.SetModeVideoCaption(ScanTexts::ModeVideoCaption(!paused));
    host_.RelayoutVideo();
}

void TScanController::FreezePicture()
{
    if (!host_.VideoActive())
        return;
    host_.GrabFrame();
    QImage grabbed = host_.LoadGrabbedFrame();
    const bool fresh = !grabbed.isNull();
    if (fresh)
        still_ = std::move(grabbed);
    if (still_.isNull()) {
        host_.ShowStill(still_);
        return;
    }
    // Labelled on a copy: the still stays the camera's picture, so labels of
    // earlier freezes never show through; "Unavailable" goes above the mode.
    QImage shown = still_;
    QString label = ScanTexts::StillLabel(scanning_);
    if (!fresh)
        label.prepend(ScanTexts::StillUnavailable() + QLatin1Char('\n'));
    host_.DrawPictureLabel(shown, label);
    host_.ShowStill(shown);
}

/*!
 * \brief Counts down the stability delay in tenths of a second while messages
 * run, then clears the information panel and shows the scan frame again.
 */
void TScanController::WaitPictureStability(int seconds)
{
    const qint64 total = static_cast<qint64>(seconds) * 1000;
    const std::uint32_t start = IlxTickCount();
    host_.SetWaitCursor(true);
    bool waitCursor = true;
    for (;;) {
        const qint64 elapsed = ScanTiming::ElapsedTicks(start, IlxTickCount());
        if (elapsed >= total)
            break;
        try {
            host_.ShowInfo(ScanTexts::WaitingStability(total - elapsed));
            host_.Sleep(100);
            host_.ProcessMessages();
        } catch (...) {
            if (waitCursor)
                host_.SetWaitCursor(false);
            waitCursor = false;
        }
    }
    host_.ShowInfo(QString());
    host_.RestoreScanFrame();
    if (waitCursor)
        host_.SetWaitCursor(false);
}
