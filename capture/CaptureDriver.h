#pragma once

#include "CaptureRecords.h"
#include "NetworkCameras.h"

#include <QImage>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QWidget;
class TClipRecorder;

// A driver's entry in the list of capture drivers.
struct DriverDescription
{
    QString name;    // at most kMaxName characters
    QString version; // at most kMaxVersion characters

    static constexpr int kMaxName = 80;
    static constexpr int kMaxVersion = 100;
};

// Why a camera could not be opened, as far as the back end can tell.
enum class OpenFailure
{
    None,        // opened: its first picture has come
    Absent,      // not in the driver list (unplugged, a recording that is gone)
    Refused,     // it answered, and refused the user name or password
    Unreachable, // nothing answers at its address
    NoPicture,   // it was reached but sent no picture in time
    Failed       // anything else; the detail says what
};

// The outcome of opening driver `index`.
struct OpenResult
{
    int index = -1;
    OpenFailure failure = OpenFailure::None;
    QString detail; // the back end's own words for Failed; names no address

    bool ok() const { return failure == OpenFailure::None; }
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
    using OpenNotification = std::function<void(const OpenResult& result)>;

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

    // Starts opening driver `index` without waiting for it: whatever waits on
    // the device or the network (starting its source, its first picture)
    // happens away from the GUI thread. The outcome comes as the open
    // notification, from the event loop, never from within this call; after a
    // success, connectDriver(index) takes the open camera at once. A new open
    // or cancelOpen drops one still under way, which then tells nothing. The
    // base class opens nothing ahead: it answers from the driver list alone.
    virtual void openDriver(int index);
    virtual void cancelOpen();
    // Whether connectDriver(index) answers without waiting on a device or
    // the network (a camera opened ahead, or one that never waits).
    virtual bool connectsAtOnce(int index) const;
    // The driver list is read again at the next driverDescription(0).
    virtual void refreshDrivers();

    // True = connected. Needs a session. Takes a camera opened ahead; any
    // other is opened here, waiting for its first picture.
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

    // Event clips: the connected camera's pictures (or a network camera's own
    // H.264) are handed to `recorder` from the streaming threads, from the
    // next camera opened on; null stops that at once. The caller owns the
    // recorder (the driver only borrows it for each push). A back end
    // without clips ignores it.
    virtual void setClipRecorder(std::shared_ptr<TClipRecorder> recorder);

    // A native window the back end may draw the preview into itself, with no
    // copy through the toolkit, from the next camera opened on (0 = none).
    // The view then paints only what the back end does not draw.
    virtual void setVideoWindow(quintptr window);
    // The size, in the window's own pixels, the preview is drawn at there
    // (the window's size: the view's, or the picture's when not stretched).
    virtual void setVideoWindowSize(int width, int height);
    // Whether the connected camera's preview is drawn into that window; the
    // preview's frame notifications then stop, as there is nothing to paint.
    virtual bool drawsPreview() const;

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
    void setOpenNotification(OpenNotification n) { onOpened_ = std::move(n); }
    // The outcome of the last open, ahead or within connectDriver.
    const OpenResult& lastOpenResult() const { return lastOpen_; }

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
    // Records the outcome; the notification, if any, is told.
    void notifyOpened(const OpenResult& result);
    void setLastOpenResult(const OpenResult& result) { lastOpen_ = result; }

private:
    ErrorNotification onError_;
    StatusNotification onStatus_;
    YieldNotification onYield_;
    FrameNotification onFrame_;
    FrameNotification onVideoStream_;
    WaveNotification onWaveStream_;
    ControlNotification onControl_;
    OpenNotification onOpened_;
    OpenResult lastOpen_;
    // Outlived by nothing queued: an answer posted for a driver that is gone is dropped.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
