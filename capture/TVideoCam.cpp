#include "TVideoCam.h"
#include "TVideoSurface.h"

#include "EIlxError.h"
#include "TDlgSelectDriver.h"
#include "VideoFormatFile.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

QPointer<TVideoCam> TVideoCam::instance_;
int TVideoCam::lastHandle_ = 0;

namespace {

struct PresentDriver
{
    int index;
    QString name;
};

std::vector<PresentDriver> ProbeDrivers(CaptureDriver& driver)
{
    std::vector<PresentDriver> present;
    for (int index = 0; index < CaptureDriver::kMaxDrivers; ++index)
        if (const auto description = driver.driverDescription(index))
            present.push_back({index, description->name.left(DriverDescription::kMaxName)});
    return present;
}

bool IsStandardDepth(unsigned short bits)
{
    constexpr std::array<unsigned short, 6> depths{1, 4, 8, 16, 24, 32};
    return std::find(depths.begin(), depths.end(), bits) != depths.end();
}

} // namespace

TVideoCam::TVideoCam(QWidget* owner, std::unique_ptr<CaptureDriver> driver)
    : QWidget(owner), driver_(std::move(driver)), audioOptions_([this] { ApplyAudioFormat(); })
{
    Q_ASSERT(driver_);
    setObjectName(QStringLiteral("VideoCam"));
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Overlay mode sends no frame notifications, so the view repaints itself.
    connect(&overlayRepaint_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    if (TVideoSurface::Supported()) {
        surface_ = new TVideoSurface(this);
        // Uncovered: the sink draws its last picture again.
        surface_->OnExposed = [this] {
            if (HasCaptureWindow()) {
                const qreal ratio = surface_->devicePixelRatioF();
                driver_->setVideoWindowSize(qRound(surface_->width() * ratio),
                                            qRound(surface_->height() * ratio));
            }
        };
    }
    instance_ = this;
    driver_->setOpenNotification([](const OpenResult& result) {
        if (TVideoCam* cam = Instance())
            cam->RouteOpened(result);
    });
}

TVideoCam::~TVideoCam()
{
    driver_->setOpenNotification({});
    if (opening_)
        driver_->cancelOpen();
    if (active_)
        CloseDriver();
}

TVideoCam* TVideoCam::Instance()
{
    return instance_.data();
}

QString TVideoCam::Text(TVideoCamText which) const
{
    return VideoCamText(which, englishMessages_);
}

// ---------------------------------------------------------------- driver choice

void TVideoCam::SetDriverName(const QString& value)
{
    if (value == driverName_)
        return;
    driverName_ = QStringLiteral("(none)");
    dispositif_ = -1;
    for (const PresentDriver& present : ProbeDrivers(*driver_)) {
        if (present.name != value)
            continue;
        // Later matches win, so two drivers of one name settle on the higher index.
        if (active_)
            CloseDriver();
        driverName_ = value;
        dispositif_ = present.index;
    }
}

void TVideoCam::SetNetworkCameras(const QList<TNetworkCamera>& cameras)
{
    driver_->setNetworkCameras(cameras);
}

int TVideoCam::FindDriverIndex()
{
    // The same camera may come back under another index (another device
    // path): its name tells it, and the name is kept whatever happens.
    driver_->refreshDrivers();
    int found = -1;
    for (const PresentDriver& present : ProbeDrivers(*driver_)) {
        if (present.name == driverName_)
            found = present.index;
    }
    return found;
}

bool TVideoCam::FindDriverAgain()
{
    if (active_ || driverName_.isEmpty())
        return active_;
    dispositif_ = FindDriverIndex();
    return dispositif_ >= 0;
}

bool TVideoCam::BeginOpen()
{
    if (active_)
        return true;
    if (!FindDriverAgain())
        return false;
    opening_ = true;
    GiveSurface();
    driver_->openDriver(dispositif_);
    return true;
}

void TVideoCam::CancelOpen()
{
    if (!opening_)
        return;
    opening_ = false;
    driver_->cancelOpen();
}

bool TVideoCam::ActivatesAtOnce()
{
    if (active_)
        return true;
    const int found = driverName_.isEmpty() ? dispositif_ : FindDriverIndex();
    return found < 0 || driver_->connectsAtOnce(found);
}

void TVideoCam::RouteOpened(const OpenResult& result)
{
    // An answer for an open that was dropped, or for another driver, is stale.
    if (!opening_ || result.index != dispositif_)
        return;
    opening_ = false;
    if (OnOpened)
        OnOpened(this, result.ok(), OpenFailureText(result, driverName_, englishMessages_));
}

void TVideoCam::SetDispositif(int value)
{
    if (value == dispositif_)
        return;
    if (value == -1) {
        driverName_ = QStringLiteral("(none)");
        dispositif_ = -1;
        return;
    }
    for (const PresentDriver& present : ProbeDrivers(*driver_)) {
        if (present.index != value)
            continue;
        if (active_)
            CloseDriver();
        dispositif_ = value;
        driverName_ = present.name;
        return;
    }
}

bool TVideoCam::SelectDriver()
{
    TDlgSelectDriver dialog(this, englishMessages_);
    QStringList names;
    for (const PresentDriver& present : ProbeDrivers(*driver_))
        names << present.name;
    dialog.SetDrivers(names, dispositif_);
    const int result = dialog.exec();
    if (result != QDialog::Accepted || dialog.SelectedPosition() < 0)
        return false;
    driverName_ = dialog.SelectedName();
    dispositif_ = dialog.SelectedPosition();
    return true;
}

// ---------------------------------------------------------------- activation

void TVideoCam::SetActive(bool value)
{
    if (value != active_ && (driverName_.isEmpty() || dispositif_ == -1)) {
        update();
        throw EIlxError(
            Text(value ? TVideoCamText::NotSelectedActivate : TVideoCamText::NotSelectedDeactivate),
            TErrorSource::Camera);
    }
    if (value == active_)
        return;
    if (value)
        Activate();
    else
        Deactivate();
}

void TVideoCam::Activate()
{
    active_ = true;
    failure_ = OpenResult{};
    try {
        OpenDriver();
        DoActivate();
    } catch (...) {
        // Whatever failed after the connection was made, a half-open driver
        // would keep the camera busy while the view says it is off.
        CloseDriver();
        UpdateSurface();
        update();
        const OpenResult why = failure_.ok() ? driver_->lastOpenResult() : failure_;
        const QString reason =
            why.ok() ? QString() : OpenFailureText(why, driverName_, englishMessages_);
        throw EIlxError(reason.isEmpty()
                            ? Text(TVideoCamText::UnableToActivate)
                            : Text(TVideoCamText::UnableToActivate) + QStringLiteral("\n") + reason,
                        TErrorSource::Camera);
    }
}

void TVideoCam::Deactivate()
{
    active_ = false;
    CloseDriver();
    UpdateSurface();
    update();
    DoDeactivate();
}

void TVideoCam::OpenDriver()
{
    GiveSurface();
    if (!driver_->createSession(width(), height()))
        throw EIlxError(Text(TVideoCamText::UnableToConnect), TErrorSource::Camera);
    handle_ = ++lastHandle_;
    connected_ = false;
    // An open under way is taken by the connect below, not told of twice.
    opening_ = false;
    // The list is read again at every connect: the camera may have gone, or
    // come back under another index, since the driver was chosen.
    if (dispositif_ >= 0 && !driverName_.isEmpty()) {
        const int found = FindDriverIndex();
        if (found < 0) {
            failure_ = OpenResult{dispositif_, OpenFailure::Absent, {}};
            Disconnect();
            throw EIlxError(Text(TVideoCamText::UnableToConnect), TErrorSource::Camera);
        }
        dispositif_ = found;
    }
    if (dispositif_ >= 0)
        connected_ = ConnectTo(dispositif_);
    if (!connected_) {
        Disconnect();
        throw EIlxError(Text(TVideoCamText::UnableToConnect), TErrorSource::Camera);
    }
    ReadVideoFormat();
    const DriverCaps caps = driver_->capabilities();
    hasSourceDialog_ = caps.hasDlgVideoSource != 0;
    hasFormatDialog_ = caps.hasDlgVideoFormat != 0;
    hasDisplayDialog_ = caps.hasDlgVideoDisplay != 0;

    driver_->setScale(previewScale_);
    ApplyFramesCapture();
    ApplyAudioCapture();
    ApplyYield();
    ApplyTimeActivated();
    ApplySecond();
    ApplyAudioFormat();
    StartDisplayMode();
}

bool TVideoCam::ConnectTo(int index)
{
    InstallNotifications();
    if (!driver_->connectDriver(index)) {
        driver_->destroySession();
        handle_ = 0;
        throw EIlxError(Text(TVideoCamText::DriverRefused), TErrorSource::Camera);
    }
    auto params = driver_->captureParams();
    if (!params)
        return true;
    params->keyAbort = 27; // Escape
    params->abortLeftMouse = 0;
    params->abortRightMouse = 0;
    params->mciControl = 0;
    return driver_->setCaptureParams(*params);
}

void TVideoCam::CloseDriver()
{
    if (!overlay_)
        RemoveNotifications();
    Disconnect();
    active_ = false;
}

void TVideoCam::Disconnect()
{
    overlayRepaint_.stop();
    if (!HasCaptureWindow())
        return;
    driver_->setStatusNotification({});
    driver_->disconnectDriver();
    driver_->destroySession();
    handle_ = 0;
    connected_ = false;
    capturing_ = false;
    overlayShown_ = false;
    UpdateSurface();
}

// ---------------------------------------------------------------- notifications

void TVideoCam::InstallNotifications()
{
    if (notificationsInstalled_)
        return;
    // Routed through Instance: the program has one capture window, and a
    // destroyed component must never be reached from a late notification.
    driver_->setYieldNotification([] {
        if (TVideoCam* cam = Instance())
            cam->DoYield();
        return 1;
    });
    driver_->setVideoStreamNotification([](const CaptureVideoHeader* header) {
        if (TVideoCam* cam = Instance())
            cam->DoVideoStream(header);
        return 1;
    });
    driver_->setFrameNotification([](const CaptureVideoHeader* header) {
        if (TVideoCam* cam = Instance()) {
            // Painted now rather than at the next turn of the event loop,
            // which would cost the GUI thread a second wake every frame.
            if (!cam->SurfaceShown())
                cam->repaint();
            cam->DoFrame(header);
        }
        return 1;
    });
    driver_->setErrorNotification([](int id, const QString& text) {
        TVideoCam* cam = Instance();
        return cam ? cam->RouteError(id, text) : 1;
    });
    driver_->setStatusNotification([](int id, const QString& text) {
        TVideoCam* cam = Instance();
        return cam ? cam->RouteStatus(id, text) : 0;
    });
    driver_->setWaveStreamNotification([](const CaptureWaveHeader* header) {
        if (TVideoCam* cam = Instance())
            cam->DoWaveStream(header);
        return 1;
    });
    driver_->setControlNotification([](int state) {
        if (TVideoCam* cam = Instance())
            cam->DoControl(state);
        return 1;
    });
    notificationsInstalled_ = true;
}

void TVideoCam::RemoveNotifications()
{
    if (!notificationsInstalled_)
        return;
    driver_->setFrameNotification({});
    driver_->setYieldNotification({});
    driver_->setVideoStreamNotification({});
    driver_->setErrorNotification({});
    driver_->setStatusNotification({});
    driver_->setWaveStreamNotification({});
    driver_->setControlNotification({});
    notificationsInstalled_ = false;
}

int TVideoCam::RouteError(int id, const QString& text)
{
    UpdateSurface(); // a lost camera's last picture is not left on show
    if (id != 0)
        DoError(id, text);
    return 1;
}

int TVideoCam::RouteStatus(int id, const QString& text)
{
    if (id == CaptureDriver::kStatusCaptureBegins)
        capturing_ = true;
    else if (id == CaptureDriver::kStatusCaptureEnds)
        capturing_ = false;
    DoStatus(id, text);
    return 0;
}

void TVideoCam::StartDisplayMode()
{
    if (overlay_) {
        driver_->setOverlay(true);
        overlayShown_ = true;
        RemoveNotifications();
        overlayRepaint_.start(1000 / framesPreview_);
        return;
    }
    overlayRepaint_.stop();
    if (overlayShown_) {
        driver_->setOverlay(false);
        overlayShown_ = false;
    }
    InstallNotifications();
    driver_->setPreviewRate(1000 / framesPreview_);
    driver_->setPreview(true);
    UpdateSurface();
}

void TVideoCam::DoActivate()
{
    if (OnActivate)
        OnActivate(this);
}

void TVideoCam::DoDeactivate()
{
    if (OnDeactivate)
        OnDeactivate(this);
}

void TVideoCam::DoFrame(const CaptureVideoHeader* lpVHdr)
{
    if (OnFrame)
        OnFrame(this, handle_, lpVHdr);
}

void TVideoCam::DoVideoStream(const CaptureVideoHeader* lpVHdr)
{
    if (OnVideoStream)
        OnVideoStream(this, handle_, lpVHdr);
}

void TVideoCam::DoWaveStream(const CaptureWaveHeader* lpWHdr)
{
    if (OnWaveStream)
        OnWaveStream(this, handle_, lpWHdr);
}

void TVideoCam::DoError(int id, const QString& lpsz)
{
    if (OnError)
        OnError(this, handle_, id, lpsz);
}

void TVideoCam::DoStatus(int id, const QString& lpsz)
{
    if (OnStatus)
        OnStatus(this, handle_, id, lpsz);
}

void TVideoCam::DoControl(int nState)
{
    if (OnControl)
        OnControl(this, handle_, nState);
}

void TVideoCam::DoYield()
{
    if (OnYield)
        OnYield(this, handle_);
}

// ---------------------------------------------------------------- settings

void TVideoCam::SetOverlay(bool value)
{
    if (!HasCaptureWindow())
        return;
    hasOverlay_ = driver_->capabilities().hasOverlay != 0;
    overlay_ = value && hasOverlay_;
    StartDisplayMode();
}

void TVideoCam::SetFramesPreview(int value)
{
    // A divisor: a rate below one frame a second would end the preview.
    framesPreview_ = std::max(1, value);
}

void TVideoCam::SetFramesCapture(int value)
{
    framesCapture_ = std::max(1, value);
    ApplyFramesCapture();
}

void TVideoCam::SetAudioCapture(bool value)
{
    audioCapture_ = value;
    ApplyAudioCapture();
}

void TVideoCam::SetYield(bool value)
{
    yield_ = value;
    ApplyYield();
}

void TVideoCam::SetPreviewScale(bool value)
{
    previewScale_ = value;
    if (HasCaptureWindow()) {
        UpdateSurface();
        driver_->setScale(value);
        update();
    }
}

void TVideoCam::SetTimeActivated(bool value)
{
    timeActivated_ = value;
    ApplyTimeActivated();
}

void TVideoCam::SetSecond(int value)
{
    second_ = std::clamp(value, 0, 65535);
    ApplySecond();
}

bool TVideoCam::UpdateCaptureParams(const std::function<void(CaptureParams&)>& change)
{
    if (!HasCaptureWindow())
        return false;
    auto params = driver_->captureParams();
    if (!params)
        return false;
    change(*params);
    return driver_->setCaptureParams(*params);
}

void TVideoCam::ApplyFramesCapture()
{
    const auto period = static_cast<std::uint32_t>(1000000 / framesCapture_);
    UpdateCaptureParams([period](CaptureParams& p) { p.requestMicroSecPerFrame = period; });
}

void TVideoCam::ApplyAudioCapture()
{
    const std::uint32_t on = audioCapture_ ? 1 : 0;
    UpdateCaptureParams([on](CaptureParams& p) { p.captureAudio = on; });
}

void TVideoCam::ApplyYield()
{
    const std::uint32_t on = yield_ ? 1 : 0;
    UpdateCaptureParams([on](CaptureParams& p) { p.yield = on; });
}

void TVideoCam::ApplyTimeActivated()
{
    const std::uint32_t on = timeActivated_ ? 1 : 0;
    UpdateCaptureParams([on](CaptureParams& p) { p.limitEnabled = on; });
}

void TVideoCam::ApplySecond()
{
    const auto seconds = static_cast<std::uint32_t>(second_);
    UpdateCaptureParams([seconds](CaptureParams& p) { p.timeLimit = seconds; });
}

void TVideoCam::ApplyAudioFormat()
{
    if (!HasCaptureWindow())
        return;
    WaveFormat format = driver_->audioFormat().value_or(WaveFormat{});
    audioOptions_.ApplyTo(format);
    driver_->setAudioFormat(format);
}

// ---------------------------------------------------------------- format

std::optional<VideoFormat> TVideoCam::ReadVideoFormat()
{
    if (driver_->videoFormatSize() == 0)
        return std::nullopt;
    auto format = driver_->videoFormat();
    if (format) {
        videoWidth_ = format->header.width;
        videoHeight_ = format->header.height;
        videoBitCount_ = format->header.bitCount;
        UpdateSurface();
    }
    return format;
}

int TVideoCam::VideoWidth()
{
    if (!HasCaptureWindow())
        return 0;
    ReadVideoFormat();
    return videoWidth_;
}

int TVideoCam::VideoHeight()
{
    if (!HasCaptureWindow())
        return 0;
    ReadVideoFormat();
    return videoHeight_;
}

unsigned short TVideoCam::VideoBitCount()
{
    if (!HasCaptureWindow())
        return 0;
    ReadVideoFormat();
    return videoBitCount_;
}

bool TVideoCam::SetVideoFormat(int Width, int Height, unsigned short BitCount)
{
    if (!HasCaptureWindow() || !active_)
        return false;
    auto format = ReadVideoFormat();
    if (!format)
        return false;
    BitmapInfoHeader& header = format->header;
    header.width = Width;
    header.height = Height;
    if (IsStandardDepth(BitCount))
        header.bitCount = BitCount;
    header.planes = 1;
    header.compression = 0;
    header.sizeImage = 0;
    header.clrUsed = 0;
    header.clrImportant = 0;
    if (!driver_->setVideoFormat(*format))
        throw EIlxError(VideoFormatNotValidText(Width, Height, BitCount, englishMessages_),
                        TErrorSource::Camera);
    videoWidth_ = header.width;
    videoHeight_ = header.height;
    videoBitCount_ = header.bitCount;
    update();
    return true;
}

bool TVideoCam::SaveVideoFormat(const QString& FileName)
{
    if (!HasCaptureWindow() || !active_)
        return false;
    const auto format = ReadVideoFormat();
    if (!format)
        return false;
    WriteVideoFormatFile(FileName, format->header);
    return true;
}

bool TVideoCam::LoadVideoFormat(const QString& FileName)
{
    if (!HasCaptureWindow() || !active_)
        return false;
    auto format = ReadVideoFormat();
    if (!format)
        return false;
    const BitmapInfoHeader stored = ReadVideoFormatFile(FileName);
    // A format no driver could take is refused here, as the driver would.
    if (!PlausibleVideoFormat(stored))
        return false;
    format->header = stored;
    if (!driver_->setVideoFormat(*format))
        return false;
    ReadVideoFormat();
    update();
    return true;
}

// ---------------------------------------------------------------- grabbing

void TVideoCam::GrabFrame()
{
    if (!HasCaptureWindow())
        return;
    driver_->grabFrameNoStop();
    // The driver refuses longer paths; a cut path would write some other file.
    driver_->saveFrame(imageFile_);
}

QImage TVideoCam::GrabImage()
{
    if (!HasCaptureWindow())
        return {};
    driver_->grabFrameNoStop();
    return driver_->currentFrame();
}

// ---------------------------------------------------------------- dialogs

void TVideoCam::ShowFormatDialog()
{
    if (!HasCaptureWindow())
        return;
    if (driver_->capabilities().hasDlgVideoFormat == 0)
        throw EIlxError(Text(TVideoCamText::NoFormatDialog), TErrorSource::Camera);
    driver_->showFormatDialog(this);
    if (HasCaptureWindow())
        ReadVideoFormat();
    update();
}

void TVideoCam::ShowSourceDialog()
{
    if (!HasCaptureWindow())
        return;
    if (driver_->capabilities().hasDlgVideoSource == 0)
        throw EIlxError(Text(TVideoCamText::NoSourceDialog), TErrorSource::Camera);
    driver_->showSourceDialog(this);
}

void TVideoCam::ShowDisplayDialog()
{
    if (!HasCaptureWindow())
        return;
    if (driver_->capabilities().hasDlgVideoDisplay == 0)
        throw EIlxError(Text(TVideoCamText::NoDisplayDialog), TErrorSource::Camera);
    driver_->showDisplayDialog(this);
}

// ---------------------------------------------------------------- view

void TVideoCam::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // Under the driver's own window only black shows, where it does not reach.
    const QImage frame = HasCaptureWindow() && !SurfaceShown() ? driver_->currentFrame() : QImage();
    if (frame.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    if (previewScale_) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), frame);
        return;
    }
    // Black only where the picture does not reach.
    painter.drawImage(QPoint(0, 0), frame);
    if (frame.width() < width())
        painter.fillRect(frame.width(), 0, width() - frame.width(), height(), Qt::black);
    if (frame.height() < height())
        painter.fillRect(0, frame.height(), std::min(frame.width(), width()),
                         height() - frame.height(), Qt::black);
}

void TVideoCam::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    GiveSurface();
    window()->installEventFilter(this); // installed again, it is still there once
    UpdateViewShown();
}

void TVideoCam::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    UpdateViewShown();
}

bool TVideoCam::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == surface_ && event->type() == QEvent::WinIdChange && surface_->internalWinId())
        driver_->setVideoWindow(surface_->internalWinId());
    if (watched == window() && event->type() == QEvent::WindowStateChange)
        UpdateViewShown();
    return QWidget::eventFilter(watched, event);
}

void TVideoCam::UpdateViewShown()
{
    driver_->setViewShown(isVisible() && !window()->isMinimized());
}

void TVideoCam::GiveSurface()
{
    if (!surface_ || surfaceGiven_)
        return;
    // Before the first camera opens, shown or not yet: a pipeline draws into
    // the window it was given when built. A window made again (the main
    // window's own recreated) is passed on as it changes.
    surface_->installEventFilter(this);
    driver_->setVideoWindow(surface_->winId());
    surfaceGiven_ = true;
}

bool TVideoCam::SurfaceShown() const
{
    return surface_ && !surface_->isHidden();
}

void TVideoCam::UpdateSurface()
{
    if (!surface_)
        return;
    const bool drawn =
        HasCaptureWindow() && connected_ && !overlayShown_ && driver_->drawsPreview();
    const bool shownNow = drawn && !SurfaceShown();
    if (drawn != SurfaceShown()) {
        surface_->setVisible(drawn);
        update();
    }
    if (!drawn)
        return;
    // Stretched it fills the view; else the picture at its own size from the top left.
    const QSize picture(videoWidth_, videoHeight_);
    const QRect place = previewScale_ || picture.isEmpty()
                            ? rect()
                            : QRect(QPoint(0, 0), picture.boundedTo(size()));
    // Shown first: a hidden window takes its new size only when it is shown.
    if (surface_->Place(place) || shownNow) {
        surface_->SyncWithServer();
        // Drawn again at the new size, in the window's own pixels.
        const qreal ratio = surface_->devicePixelRatioF();
        driver_->setVideoWindowSize(qRound(place.width() * ratio), qRound(place.height() * ratio));
    }
}

void TVideoCam::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    UpdateSurface(); // first: the driver reads the window's new size
    if (HasCaptureWindow())
        driver_->setSessionGeometry(width(), height());
    if (OnResize)
        OnResize(this);
}

void TVideoCam::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TVideoCam::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (OnMouseExit)
        OnMouseExit(this);
}

void TVideoCam::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        leftPressed_ = true;
    if (OnMouseDown)
        OnMouseDown(this, event);
}

void TVideoCam::mouseMoveEvent(QMouseEvent* event)
{
    if (OnMouseMove)
        OnMouseMove(this, event);
}

void TVideoCam::mouseReleaseEvent(QMouseEvent* event)
{
    if (OnMouseUp)
        OnMouseUp(this, event);
    // A click is a left press and release over the view.
    const bool click =
        event->button() == Qt::LeftButton && leftPressed_ && rect().contains(event->pos());
    if (event->button() == Qt::LeftButton)
        leftPressed_ = false;
    if (click && OnClick)
        OnClick(this);
}

void TVideoCam::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (OnMouseDown)
        OnMouseDown(this, event);
    if (event->button() == Qt::LeftButton && OnDblClick)
        OnDblClick(this);
}
