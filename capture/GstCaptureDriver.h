#pragma once

#include "CaptureDriver.h"

#include <QList>
#include <QSize>

#include <cstdint>
#include <memory>

class DemoScene;

// The real capture back end, over GStreamer. Drivers are the cameras the
// device monitor reports ("Video/Source", ordered by device path), then the
// user's network cameras, then the built-in demo camera last. A session runs one pipeline
//   source ! [decodebin !] videoscale ! w x h ! videoconvert ! appsink
// whose sink keeps only the newest frame; with a video window, a second sink
// (ximagesink) draws the same converted frames into it. Only the frames the
// preview or the grabs use pass the decoder's output (FrameGate); the demo
// camera draws no others. Streaming threads never call back
// into the program: frames and bus errors are queued to the GUI thread and
// delivered there as notifications. Pipelines are started and stopped on
// worker threads, so a camera that hangs never holds the GUI thread; a camera
// opened ahead (openDriver) is taken by the next connect at once.
class GstCaptureDriver final : public CaptureDriver
{
public:
    struct Options
    {
        bool probeCameras = true; // ask the device monitor for cameras
        bool testPattern = false; // add a videotestsrc "camera" before the demo camera
        std::uint32_t demoSeed = 1;
        int stallMs = 5000; // no frame for this long is a lost camera
    };

    static constexpr const char* kDemoCameraName = "Demo camera (built-in test scene)";
    static constexpr const char* kTestPatternName = "Test pattern (videotestsrc)";

    // Error ids of the error notification.
    static constexpr int kErrorStream = 1;      // the pipeline reported an error
    static constexpr int kErrorEndOfStream = 2; // the camera stopped sending
    static constexpr int kErrorNoPicture = 3;   // no frame for Options::stallMs

    GstCaptureDriver();
    explicit GstCaptureDriver(const Options& options);
    ~GstCaptureDriver() override;

    // The demo camera's scene; its period and noise may change at any time.
    DemoScene& demoScene();
    // Test switch: after `frames` more frames the demo camera fails like a
    // camera that is pulled out (Error) or one that hangs silently (Freeze);
    // -1 = never. It stays failed until it is connected again.
    enum class DemoFault
    {
        Error,
        Freeze
    };
    void setDemoFailure(int frames, DemoFault fault = DemoFault::Error);
    // The demo camera pulled out: gone from the driver list, its running
    // picture lost; back in the list after `forMs` (never by itself when -1).
    void unplugDemo(int forMs);
    void plugDemoBack();
    bool demoUnplugged() const;

    // What the connected camera's pictures cost so far: how many it sent, how
    // many of those reached the sink scaled and converted, and how many grabs
    // asked for one.
    struct PictureCounts
    {
        std::uint64_t sent = 0;
        std::uint64_t converted = 0;
        std::uint64_t grabs = 0;
    };
    PictureCounts pictureCounts() const;

    // Frame sizes the connected source offers, smallest first.
    QList<QSize> offeredSizes() const;
    int connectedIndex() const;

    std::optional<DriverDescription> driverDescription(int index) override;
    bool createSession(int width, int height) override;
    void destroySession() override;
    bool hasSession() const override;
    void setSessionGeometry(int width, int height) override;
    bool connectDriver(int index) override;
    void disconnectDriver() override;
    DriverCaps capabilities() const override;
    std::optional<CaptureParams> captureParams() const override;
    bool setCaptureParams(const CaptureParams& params) override;
    int videoFormatSize() const override;
    std::optional<VideoFormat> videoFormat() const override;
    bool setVideoFormat(const VideoFormat& format) override;
    std::optional<WaveFormat> audioFormat() const override;
    void setAudioFormat(const WaveFormat& format) override;
    void setPreviewRate(int milliseconds) override;
    void setPreview(bool on) override;
    void setOverlay(bool on) override;
    void setScale(bool stretch) override;
    bool scale() const override;
    QImage currentFrame() const override;
    void grabFrameNoStop() override;
    bool saveFrame(const QString& path) override;
    void showFormatDialog(QWidget* parent) override;
    void showSourceDialog(QWidget* parent) override;
    void showDisplayDialog(QWidget* parent) override;
    void openDriver(int index) override;
    void cancelOpen() override;
    bool connectsAtOnce(int index) const override;
    void refreshDrivers() override;
    void setNetworkCameras(const QList<TNetworkCamera>& cameras) override;
    void setClipRecorder(std::shared_ptr<TClipRecorder> recorder) override;
    void setViewShown(bool shown) override;
    void setVideoWindow(quintptr window) override;
    void setVideoWindowSize(int width, int height) override;
    bool drawsPreview() const override;

private:
    struct Run;
    struct Opening;
    struct Impl;
    std::unique_ptr<Impl> d_;
};
