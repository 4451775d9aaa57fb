#pragma once

#include "CaptureRecords.h"
#include "NetworkCameras.h"

#include <QImage>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

// A driver's entry in the list of capture drivers.
struct DriverDescription
{
    QString name;    // at most kMaxName characters
    QString version; // at most kMaxVersion characters

    static constexpr int kMaxName = 80;
    static constexpr int kMaxVersion = 100;
};

// The capture back end the capture component drives. One object serves the
// whole program; it holds at most one capture session (the "capture window")
// connected to at most one driver. Every call is made on the GUI thread and
// every notification is delivered on the GUI thread, from within the event
// loop, never from inside another call of this interface unless that call
// says so.
//
// Results follow what the component relies on: a bool answers "accepted" /
// "present" / "filled"; calls whose result the component ignores return void.
class CaptureDriver
{
public:
    static constexpr int kMaxDrivers = 10; // indexes 0..9
    static constexpr int kMaxPathLength = 255;

    // Notification signatures; the answer is the back end's "go on" value.
    using ErrorNotification = std::function<int(int id, const QString& text)>;
    using StatusNotification = std::function<int(int id, const QString& text)>;
    using YieldNotification = std::function<int()>;
    using FrameNotification = std::function<int(const CaptureVideoHeader* header)>;
    using WaveNotification = std::function<int(const CaptureWaveHeader* header)>;
    using ControlNotification = std::function<int(int state)>;

    // Status ids around a stream capture.
    static constexpr int kStatusCaptureBegins = 300;
    static constexpr int kStatusCaptureEnds = 301;

    CaptureDriver() = default;
    CaptureDriver(const CaptureDriver&) = delete;
    CaptureDriver& operator=(const CaptureDriver&) = delete;
    virtual ~CaptureDriver();

    // The driver at index 0..9, or nothing when none is present there.
    virtual std::optional<DriverDescription> driverDescription(int index) = 0;

    // Session ("capture window") of the given view size. False = not created.
    virtual bool createSession(int width, int height) = 0;
    virtual void destroySession() = 0;
    virtual bool hasSession() const = 0;
    // The view was moved or resized; the picture is to fill width x height.
    virtual void setSessionGeometry(int width, int height) = 0;

    // True = connected. Needs a session.
    virtual bool connectDriver(int index) = 0;
    virtual void disconnectDriver() = 0;

    // Capabilities of the connected driver (all zero when none).
    virtual DriverCaps capabilities() const = 0;

    virtual std::optional<CaptureParams> captureParams() const = 0;
    virtual bool setCaptureParams(const CaptureParams& params) = 0;

    // Size in bytes of the current format; 0 = none.
    virtual int videoFormatSize() const = 0;
    virtual std::optional<VideoFormat> videoFormat() const = 0;
    // True = accepted; a refused format leaves the current one in place.
    virtual bool setVideoFormat(const VideoFormat& format) = 0;

    virtual std::optional<WaveFormat> audioFormat() const = 0;
    virtual void setAudioFormat(const WaveFormat& format) = 0;

    // Preview: a frame notification at most every `milliseconds`.
    virtual void setPreviewRate(int milliseconds) = 0;
    virtual void setPreview(bool on) = 0;
    virtual void setOverlay(bool on) = 0;
    // Stretch the picture to the view (true) or show it at its own size.
    virtual void setScale(bool stretch) = 0;
    virtual bool scale() const = 0;

    // The frame the view should show now (null when there is none).
    virtual QImage currentFrame() const = 0;

    // Grab one frame while the preview goes on, then write it to a BMP file.
    virtual void grabFrameNoStop() = 0;
    // True = written. Paths longer than kMaxPathLength are refused.
    virtual bool saveFrame(const QString& path) = 0;

    // The driver's own dialogs, modal; nothing happens without a session or
    // when the capability is absent.
    virtual void showFormatDialog(QWidget* parent) = 0;
    virtual void showSourceDialog(QWidget* parent) = 0;
    virtual void showDisplayDialog(QWidget* parent) = 0;

    // The user's network cameras, listed after the local cameras and before
    // any built-in source; the list is read again when next asked while no
    // driver is connected. A back end without network support ignores it.
    virtual void setNetworkCameras(const QList<TNetworkCamera>& cameras);

    // Whether anyone can see the view (false while it or its window is
    // hidden or minimised): a back end may then stop its preview work.
    virtual void setViewShown(bool shown);

    // Installing a notification replaces the previous one; an empty function
    // removes it.
    void setErrorNotification(ErrorNotification n);
    void setStatusNotification(StatusNotification n);
    void setYieldNotification(YieldNotification n);
    void setFrameNotification(FrameNotification n);
    void setVideoStreamNotification(FrameNotification n);
    void setWaveStreamNotification(WaveNotification n);
    void setControlNotification(ControlNotification n);

    bool hasErrorNotification() const { return bool(onError_); }
    bool hasStatusNotification() const { return bool(onStatus_); }
    bool hasYieldNotification() const { return bool(onYield_); }
    bool hasFrameNotification() const { return bool(onFrame_); }

protected:
    // Told after every install ("error", "status", "yield", "frame",
    // "videostream", "wavestream", "control") or removal of a notification.
    virtual void notificationChanged(const char* which, bool installed);

    // Implementations call these on the GUI thread. Each answers what the
    // installed notification answered, or the "go on" value when none is
    // installed. The notification may re-enter the driver (even destroy the
    // session), so callers must not hold references across the call.
    int notifyError(int id, const QString& text);
    int notifyStatus(int id, const QString& text);
    int notifyYield();
    int notifyFrame(const CaptureVideoHeader& header);
    int notifyVideoStream(const CaptureVideoHeader& header);
    int notifyWaveStream(const CaptureWaveHeader& header);
    int notifyControl(int state);

private:
    ErrorNotification onError_;
    StatusNotification onStatus_;
    YieldNotification onYield_;
    FrameNotification onFrame_;
    FrameNotification onVideoStream_;
    WaveNotification onWaveStream_;
    ControlNotification onControl_;
};
