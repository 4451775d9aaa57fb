#pragma once

#include "CaptureDriver.h"

#include <QStringList>

#include <functional>
#include <map>

// A capture driver whose drivers, frames, failures and capabilities are chosen
// by the test. It keeps a log of the calls it received, in order, so tests can
// check what the component asked and when. Notifications are raised only when
// the test calls emit*(), synchronously, as a real back end raises them from
// its event loop.
class ScriptedCaptureDriver : public CaptureDriver
{
public:
    ScriptedCaptureDriver();
    ~ScriptedCaptureDriver() override;

    // --- set up by the test
    void setDriver(int index, const QString& name, const QString& version = {});
    void removeDriver(int index);
    void setCaps(const DriverCaps& caps) { caps_ = caps; }
    // The format a connection starts with (default 320 x 240, 24 bits).
    void setInitialFormat(const VideoFormat& format) { initialFormat_ = format; }
    // Decides which formats setVideoFormat accepts (default: all).
    void setFormatFilter(std::function<bool(const VideoFormat&)> accept);
    // The picture the camera sees; grabs and preview frames take it, scaled to
    // the current format's size.
    void setFrame(const QImage& frame) { frame_ = frame; }

    bool failCreateSession = false;
    bool refuseConnect = false;
    bool failReadParams = false;
    bool failWriteParams = false;
    bool failReadFormat = false; // format size answers 0
    bool failSaveFrame = false;
    int grabMs = 0; // how long a grab takes: a slow camera

    // --- raise notifications as the back end would
    int emitError(int id, const QString& text) { return notifyError(id, text); }
    int emitStatus(int id, const QString& text) { return notifyStatus(id, text); }
    int emitYield() { return notifyYield(); }
    int emitControl(int state) { return notifyControl(state); }
    // A preview frame: raised only while preview is on and overlay off.
    // Answers the notification's answer, or -1 when none was raised.
    int emitFrame();

    // --- what the component did
    const QStringList& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    std::optional<CaptureParams> writtenParams() const { return writtenParams_; }
    WaveFormat currentAudioFormat() const { return audio_; }
    bool previewOn() const { return preview_; }
    bool overlayOn() const { return overlay_; }
    int previewRate() const { return previewRate_; }
    int connectedIndex() const { return connected_; }
    QImage grabbedFrame() const { return grabbed_; }

    // --- CaptureDriver
    std::optional<DriverDescription> driverDescription(int index) override;
    bool createSession(int width, int height) override;
    void destroySession() override;
    bool hasSession() const override { return session_; }
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
    bool scale() const override { return scale_; }
    QImage currentFrame() const override;
    void grabFrameNoStop() override;
    bool saveFrame(const QString& path) override;
    void showFormatDialog(QWidget* parent) override;
    void showSourceDialog(QWidget* parent) override;
    void showDisplayDialog(QWidget* parent) override;

protected:
    void notificationChanged(const char* which, bool installed) override;

private:
    void log(const QString& call) const { calls_.append(call); }
    QImage frameAtFormatSize() const;

    std::map<int, DriverDescription> drivers_;
    DriverCaps caps_;
    VideoFormat initialFormat_;
    VideoFormat format_;
    std::function<bool(const VideoFormat&)> accept_;
    QImage frame_;
    QImage grabbed_;
    CaptureParams params_;
    std::optional<CaptureParams> writtenParams_;
    WaveFormat audio_;
    mutable QStringList calls_;
    bool session_ = false;
    int connected_ = -1;
    bool preview_ = false;
    bool overlay_ = false;
    bool scale_ = false;
    int previewRate_ = 0;
    std::uint32_t frameTime_ = 0;
    QByteArray frameBytes_;
};
