#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <optional>

class TScanHost;

// The scan cycle, the scanning command, the play/pause command and the
// stability wait. The main window owns one, drives it from its controls and
// answers it through TScanHost. Owns the scan timer and the two frame buffers.
// User-interface thread only.
class TScanController : public QObject
{
    Q_OBJECT

public:
    explicit TScanController(TScanHost& host, QObject* parent = nullptr);

    QTimer& TimerScan() { return timerScan_; }

    // Applies the "off" look once; the main window calls it while it is created.
    void ApplyInitialLook();

    void TimerScanTimer(QObject* sender);
    void RxSpeedButtonAnalyseClick(QObject* sender);
    void SetScanning(bool value);
    bool Scanning() const { return scanning_; }

    void SetDetectionCount(int count);
    int DetectionCount() const { return detectionCount_; }

    // Set by the video connect command to whether the video is active.
    void SetScanReady(bool ready) { scanReady_ = ready; }
    bool ScanReady() const { return scanReady_; }

    // The two frames are re-created empty around a capture-format change.
    void ClearBuffers();
    const QImage& Buffer(int index) const { return buffers_.at(static_cast<std::size_t>(index)); }
    int BufferIndex() const { return bufferIndex_; }

    // Options command: the base interval from the frequency item, no delay.
    void ApplyFrequency(int frequencyIndex);
    // Video format change: the delay starts again from 0.
    void ResetScanDelay();

    int ScanDelay() const { return scanDelay_; }
    int GrabWait() const { return grabWait_; }
    // Tests start from a wait that failures would take minutes to build.
    void SetGrabWait(int ms) { grabWait_ = ms; }
    int BaseInterval() const { return baseInterval_; }

    const QString& LastImage() const { return lastImage_; }
    void SetLastImage(const QString& name) { lastImage_ = name; }

    // Play/pause: fromMenuItem toggles the group first (a tool button click
    // already has).
    void RxSpeedButtonPauseClick(bool fromMenuItem);
    void FreezePicture();
    const QImage& FrozenStill() const { return still_; }
    void WaitPictureStability(int seconds);

private:
    void runCycle(QObject* sender);
    void handleDetection(QObject* sender);
    void adapt(qint64 x);
    bool WaitAfterGrab();
    void enableTimerIfVideo();

    TScanHost& host_;
    QTimer timerScan_;
    // The scan timer's ticks while a cycle runs. A QTimer never fires inside
    // its own handler, so this one, started with the cycle at the scan
    // timer's interval, brings the ticks that come while the cycle lets
    // messages run, and with them the overlap path.
    QTimer overlapTicks_;
    std::array<QImage, 2> buffers_;
    QImage still_;
    QString lastImage_;
    bool scanning_ = false;
    bool scanReady_ = false;
    bool cycleRunning_ = false;
    int scanDelay_ = 0;
    int grabWait_ = 0;
    int baseInterval_ = 250;
    int bufferIndex_ = 0;
    // Tick of the first failed cycle of the present run of failures.
    std::optional<std::uint32_t> failingSince_;
    // Failed cycles this long in a row: the information line says the scan is blind.
    static constexpr qint64 kBlindAfterMs = 5000;
    int detectionCount_ = 0;
};
