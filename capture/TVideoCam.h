#pragma once

#include "CaptureDriver.h"
#include "TAudioFormat.h"
#include "TVideoCamTexts.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QMouseEvent;
class TVideoSurface;

// The capture component: the view that shows the live picture of a capture
// driver, and everything the program asks of the camera (driver choice,
// connection, preview, format and its files, frame grabbing, the driver's
// dialogs). It drives the camera only through its CaptureDriver, which it
// owns. Failures raise EIlxError with the component's own texts (French by
// default, English after SetEnglishMessages(true)); it never shows a message.
// GUI thread only.
class TVideoCam : public QWidget
{
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(TVideoCam* Sender)>;
    using TOnFrameVideoEvent =
        std::function<void(TVideoCam* Sender, int HndPreview, const CaptureVideoHeader* lpVHdr)>;
    using TOnWaveStreamEvent =
        std::function<void(TVideoCam* Sender, int HndPreview, const CaptureWaveHeader* lpWHdr)>;
    using TOnStatusErrorEvent =
        std::function<void(TVideoCam* Sender, int HndPreview, int id, const QString& lpsz)>;
    using TOnControlEvent = std::function<void(TVideoCam* Sender, int HndPreview, int nState)>;
    using TOnYieldEvent = std::function<void(TVideoCam* Sender, int HndPreview)>;
    using TMouseEvent = std::function<void(TVideoCam* Sender, QMouseEvent* event)>;
    // ok, or why not in words for the user.
    using TOpenedEvent = std::function<void(TVideoCam* Sender, bool ok, const QString& why)>;

    TVideoCam(QWidget* owner, std::unique_ptr<CaptureDriver> driver);
    ~TVideoCam() override;

    // The most recently constructed component; null once it is destroyed.
    static TVideoCam* Instance();

    CaptureDriver& Driver() const { return *driver_; }

    // Connection.
    bool Active() const { return active_; }
    void SetActive(bool value);
    const QString& DriverName() const { return driverName_; }
    void SetDriverName(const QString& value);
    int Dispositif() const { return dispositif_; }
    // The user's network cameras join the driver list from the next probe on.
    void SetNetworkCameras(const QList<TNetworkCamera>& cameras);
    // While inactive: looks for the driver of DriverName again among those
    // present now and takes its index (-1, and false, when it is gone).
    bool FindDriverAgain();
    void SetDispositif(int value);
    // The present drivers' names in index order, in a modal list; the choice
    // becomes DriverName and Dispositif. The connection is not touched.
    // True when a driver was chosen with OK.
    bool SelectDriver();

    // Opening without waiting: the driver of DriverName is looked for in the
    // list read afresh and opened by the back end away from the GUI thread;
    // OnOpened tells the outcome from the event loop, after which
    // SetActive(true) takes the open camera at once. False, with nothing
    // started, when no present driver has the name (Dispositif is then -1).
    bool BeginOpen();
    // Drops an open under way; OnOpened is not raised for it.
    void CancelOpen();
    bool Opening() const { return opening_; }
    // Whether SetActive(true) would answer without waiting on the camera
    // (looked for afresh by name; one that is gone answers at once).
    bool ActivatesAtOnce();

    // Preview and stream-capture settings.
    const QString& VideoFile() const { return videoFile_; }
    void SetVideoFile(const QString& value) { videoFile_ = value; }
    const QString& ImageFile() const { return imageFile_; }
    void SetImageFile(const QString& value) { imageFile_ = value; }
    bool Overlay() const { return overlay_; }
    void SetOverlay(bool value);
    int FramesPreview() const { return framesPreview_; }
    void SetFramesPreview(int value);
    int FramesCapture() const { return framesCapture_; }
    void SetFramesCapture(int value);
    bool AudioCapture() const { return audioCapture_; }
    void SetAudioCapture(bool value);
    bool Yield() const { return yield_; }
    void SetYield(bool value);
    bool PreviewScale() const { return previewScale_; }
    void SetPreviewScale(bool value);
    bool TimeActivated() const { return timeActivated_; }
    void SetTimeActivated(bool value);
    int Second() const { return second_; }
    void SetSecond(int value);
    TAudioFormat& AudioOptions() { return audioOptions_; }
    const TAudioFormat& AudioOptions() const { return audioOptions_; }

    bool EnglishMessages() const { return englishMessages_; }
    void SetEnglishMessages(bool value) { englishMessages_ = value; }

    // Capabilities as read when the driver was last opened.
    bool HasSourceDialog() const { return hasSourceDialog_; }
    bool HasFormatDialog() const { return hasFormatDialog_; }
    bool HasDisplayDialog() const { return hasDisplayDialog_; }
    bool HasOverlay() const { return hasOverlay_; }
    bool Connected() const { return connected_; }
    bool Capturing() const { return capturing_; }
    // The capture window's handle for the events; 0 when there is none.
    int HndPreview() const { return handle_; }

    // The current format, read from the driver; 0 without a capture window.
    int VideoWidth();
    int VideoHeight();
    unsigned short VideoBitCount();
    bool SetVideoFormat(int Width, int Height, unsigned short BitCount);
    bool SaveVideoFormat(const QString& FileName);
    bool LoadVideoFormat(const QString& FileName);

    // Writes the current frame to ImageFile as a BMP; without a capture
    // window an older file stays as it was.
    void GrabFrame();
    // The same frame straight into memory (null without a capture window),
    // for callers that need no file.
    QImage GrabImage();

    void ShowFormatDialog();
    void ShowSourceDialog();
    void ShowDisplayDialog();

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TOnFrameVideoEvent OnFrame;
    TOnFrameVideoEvent OnVideoStream;
    TOnWaveStreamEvent OnWaveStream;
    TOnStatusErrorEvent OnError;
    TOnStatusErrorEvent OnStatus;
    TOnControlEvent OnControl;
    TOnYieldEvent OnYield;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;
    TOpenedEvent OnOpened;

protected:
    // One per notification; each raises the event of the same name.
    virtual void DoActivate();
    virtual void DoDeactivate();
    virtual void DoFrame(const CaptureVideoHeader* lpVHdr);
    virtual void DoVideoStream(const CaptureVideoHeader* lpVHdr);
    virtual void DoWaveStream(const CaptureWaveHeader* lpWHdr);
    virtual void DoError(int id, const QString& lpsz);
    virtual void DoStatus(int id, const QString& lpsz);
    virtual void DoControl(int nState);
    virtual void DoYield();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Tells the driver whether the view can be seen at all.
    void UpdateViewShown();
    // The driver's window over the view is shown exactly while the driver
    // draws the live picture into it, at the size the picture is shown.
    void UpdateSurface();
    void GiveSurface();
    bool SurfaceShown() const;
    bool HasCaptureWindow() const { return handle_ != 0; }
    QString Text(TVideoCamText which) const;
    void Activate();
    void Deactivate();
    void OpenDriver();
    void CloseDriver();
    void Disconnect();
    bool ConnectTo(int index);
    void InstallNotifications();
    void RemoveNotifications();
    void StartDisplayMode();
    std::optional<VideoFormat> ReadVideoFormat();
    // Reads, changes and writes back the stream-capture parameters while a
    // capture window exists; false when they could not be read or written.
    bool UpdateCaptureParams(const std::function<void(CaptureParams&)>& change);
    void ApplyAudioFormat();
    void ApplyFramesCapture();
    void ApplyAudioCapture();
    void ApplyYield();
    void ApplyTimeActivated();
    void ApplySecond();

    int RouteError(int id, const QString& text);
    void RouteOpened(const OpenResult& result);
    // The driver of DriverName in a list read afresh; -1 when it is gone.
    int FindDriverIndex();
    int RouteStatus(int id, const QString& text);

    static QPointer<TVideoCam> instance_;
    static int lastHandle_;

    std::unique_ptr<CaptureDriver> driver_;
    TAudioFormat audioOptions_;
    QTimer overlayRepaint_;
    TVideoSurface* surface_ = nullptr; // a child; null where the platform has none
    bool surfaceGiven_ = false;        // the driver has its window

    bool active_ = false;
    QString driverName_;
    int dispositif_ = -1;
    QString videoFile_ = QStringLiteral("Video.avi");
    QString imageFile_ = QStringLiteral("Image.bmp");
    bool overlay_ = false;
    int framesPreview_ = 15;
    int framesCapture_ = 15;
    bool audioCapture_ = false;
    bool yield_ = true;
    bool previewScale_ = true;
    bool timeActivated_ = false;
    int second_ = 0;
    bool englishMessages_ = false;

    bool hasSourceDialog_ = false;
    bool hasFormatDialog_ = false;
    bool hasDisplayDialog_ = false;
    bool hasOverlay_ = false;
    int videoWidth_ = 0;
    int videoHeight_ = 0;
    unsigned short videoBitCount_ = 0;
    bool connected_ = false;
    bool capturing_ = false;
    bool notificationsInstalled_ = false;
    bool overlayShown_ = false;
    int handle_ = 0;
    bool leftPressed_ = false;
    bool opening_ = false;
    OpenResult failure_; // why the last activation failed, when the component knows
};
