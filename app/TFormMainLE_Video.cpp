// The main window's video: start-up and closing, the capture format, the
// video commands, the capture component's events and the video layout.
#include "TFormMainLE.h"

#include "DataPaths.h"
#include "EIlxError.h"
#include "FrameComparison.h"
#include "ShowMessageBox.h"
#include "THelpWindow.h"
#include "TIlxApplication.h"
#include "TScanController.h"
#include "TVideoCam.h"
#include "TVideoCamTexts.h"
#include "VideoInfoText.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <utility>

#include "MenuGlyphs.h"

namespace {

// How long a minimised window fitted to the camera waits for the window
// manager to bring it up, to send it down again.
constexpr int kReminimiseMs = 3000;

// Restores the normal cursor however the block ends.
class TBusyCursor final
{
public:
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

// Sets a flag for the span of a block.
class TFlagScope final
{
public:
    // endValue: what the flag becomes when the block ends.
    TFlagScope(bool& flag, bool endValue) : flag_(flag), end_(endValue) { flag_ = true; }
    ~TFlagScope() { flag_ = end_; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
    bool end_;
};

QString LimitText(int w, int h)
{
    return QString::number(w) + QStringLiteral("x") + QString::number(h);
}

} // namespace

void TFormMainLE::CreateVideo(std::unique_ptr<CaptureDriver> driver)
{
    videoCam_ = new TVideoCam(PanelVideo, std::move(driver));
    videoCam_->setObjectName(QStringLiteral("VideoCam"));
    videoCam_->setStatusTip(QStringLiteral("Video view"));
    videoCam_->setProperty("HelpContext", 20020);
    videoCam_->setProperty("Tag", 20020);
    videoCam_->hide();
    videoCam_->OnActivate = [this](TVideoCam*) {
        VideoCamActivate();
    };
    videoCam_->OnDeactivate = [this](TVideoCam*) {
        VideoCamDeactivate();
    };
    videoCam_->OnError = [this](TVideoCam*, int, int id, const QString& text) {
        VideoCamError(id, text);
    };
    videoCam_->OnOpened = [this](TVideoCam*, bool ok, const QString& why) {
        VideoCamOpened(ok, why);
    };
    videoCam_->OnYield = [](TVideoCam*, int) {
        QCoreApplication::processEvents();
    };
    videoCam_->OnMouseEnter = [this](TVideoCam*) {
        videoCam_->setCursor(helpMode_ ? Qt::WhatsThisCursor : Qt::ArrowCursor);
    };
    videoCam_->OnMouseExit = videoCam_->OnMouseEnter;
}

TDriverDialogs TFormMainLE::DriverDialogs() const
{
    if (!videoCam_)
        return {};
    return {videoCam_->HasFormatDialog(), videoCam_->HasSourceDialog(),
            videoCam_->HasDisplayDialog()};
}

bool TFormMainLE::Zoomed() const
{
    return CheckBoxScaleVideo->isChecked();
}

void TFormMainLE::RefreshVideoCommands()
{
    SetVideoDependentCommands(commands_, VideoActive() && !firstActivation_, DriverDialogs(),
                              firstActivation_);
    KeepLocks();
}

void TFormMainLE::SetCaptionForVideo(bool firstActivation)
{
    const QString base = QString::fromLatin1(kBaseCaption);
    const QString name = videoCam_->DriverName();
    if (firstActivation)
        setWindowTitle(base + QStringLiteral("[") + name + QStringLiteral("] -"));
    else if (name.isEmpty())
        setWindowTitle(base + QStringLiteral(" [No video driver selected] -"));
    else
        setWindowTitle(base + QStringLiteral(" [") + name + QStringLiteral("] -"));
}

void TFormMainLE::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!watchingExposure_ && windowHandle()) {
        watchingExposure_ = true;
        windowHandle()->installEventFilter(this);
    }
    // The first activation runs once the window is on screen and the event
    // loop turns, whether or not a window manager hands it the focus.
    if (firstActivation_ && !firstActivationQueued_) {
        firstActivationQueued_ = true;
        QTimer::singleShot(0, this, &TFormMainLE::FirstActivation);
    }
}

void TFormMainLE::FirstActivation()
{
    if (!firstActivation_ || videoRequest_ != TVideoRequest::None)
        return;
    {
        TBusyCursor busy;
        SetInfoText(QStringLiteral("Initialization..."));
        videoCam_->hide();
        QCoreApplication::processEvents();
    }
    if (videoCam_->Dispositif() == -1) {
        OnNoCaptureDevice(commands_);
        KeepScheduleUnavailable(commands_, scheduleAvailable_);
        ApplyCommandStates();
        FinishFirstActivation();
        // The camera chosen before is not there (yet): it is waited for as a
        // lost one, and the start-up's work is done when it comes.
        if (options_.Reconnect() && !chosenDriver_.isEmpty())
            StartWaiting(TCameraWait::Cause::MissingAtStart, false, QString());
        return;
    }
    if (!videoCam_->DriverName().isEmpty())
        SetCaptionForVideo(true);
    if (videoCam_->ActivatesAtOnce()) {
        CompleteFirstActivation();
        return;
    }
    // A camera that may keep us waiting opens away from the window, which
    // stays usable meanwhile (the options too); the rest follows its answer.
    OnFirstActivationDone(commands_);
    ApplyCommandStates();
    RequestVideo(TVideoRequest::FirstActivation);
}

void TFormMainLE::CompleteFirstActivation()
{
    {
        TBusyCursor busy;
        bool formatOk = true;
        if (formatSetupPending_) {
            try {
                FormatSetup();
            } catch (const EIlxError& e) {
                formatOk = false;
                formatSetupPending_ = false;
                videoCam_->hide();
                ImageFreeze->hide();
                commands_.ConnectButton = commands_.ConnectMenu = false;
                SetVideoDependentCommands(commands_, false, {}, true);
                ApplyCommandStates();
                QApplication::restoreOverrideCursor();
                ShowMessageBox(this, e.message(), MkWarning, MbOk);
                QApplication::setOverrideCursor(Qt::WaitCursor);
            }
        }
        if (formatOk) {
            try {
                SwitchVideo();
            } catch (const EIlxError& e) {
                HandleApplicationError(e.message(), TErrorSource::Camera);
            }
            QCoreApplication::processEvents();
            firstActivation_ = false;
            RefreshVideoCommands();
            scan_->RxSpeedButtonPauseClick(false);
        }
    }
    FinishFirstActivation();
}

void TFormMainLE::FailFirstActivation(const QString& why)
{
    if (options_.Reconnect() && !chosenDriver_.isEmpty()) {
        // Waited for silently, as a camera lost later would be.
        FinishFirstActivation();
        StartWaiting(TCameraWait::Cause::MissingAtStart, false, why);
        return;
    }
    HandleApplicationError(VideoCamText(TVideoCamText::UnableToActivate, true) +
                               QStringLiteral("\n") + why,
                           TErrorSource::Camera);
    FinishFirstActivation();
}

void TFormMainLE::FinishFirstActivation()
{
    SetInfoText(QString());
    OnFirstActivationDone(commands_);
    ApplyCommandStates();
    firstActivation_ = false;
    RefreshVideoCommands();
    // Wayland shows every new window: one started to watch goes down once it
    // is up (elsewhere it started minimised, and stays so).
    if (std::exchange(minimiseAtStart_, false) &&
        QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        showMinimized();
}

void TFormMainLE::FormatSetup()
{
    TFlagScope pending(formatSetupPending_, false);
    struct Deactivate
    {
        TVideoCam* cam;
        ~Deactivate()
        {
            try {
                cam->SetActive(false);
            } catch (const EIlxError&) {
                // Already reported by the set-up itself.
            }
        }
    };
    videoCam_->SetActive(true);
    Deactivate off{videoCam_};
    videoCam_->SaveVideoFormat(DataPaths().DefVid);
    bool result = true;
    if (QFile::exists(DataPaths().UserVid))
        result = videoCam_->LoadVideoFormat(DataPaths().UserVid);
    if (videoCam_->VideoWidth() > kMaxVideoWidth || videoCam_->VideoHeight() > kMaxVideoHeight) {
        if (!videoCam_->SetVideoFormat(kMaxVideoWidth, kMaxVideoHeight, 0)) {
            ShowMessageBox(this,
                           QStringLiteral("Unable to set the video format\nMax video size:\n") +
                               LimitText(kMaxVideoWidth, kMaxVideoHeight),
                           MkWarning, MbOk);
            result = false;
        }
    }
    if (videoCam_->VideoWidth() < kMinVideoWidth || videoCam_->VideoHeight() < kMinVideoHeight) {
        if (!videoCam_->SetVideoFormat(kMinVideoWidth, kMinVideoHeight, 0)) {
            ShowMessageBox(this,
                           QStringLiteral("Unable to set the video format\nvMin video size:\n") +
                               LimitText(kMinVideoWidth, kMinVideoHeight),
                           MkWarning, MbOk);
            result = false;
        }
    }
    if (!result)
        RunFormatDialogUntilWithinLimits();
}

void TFormMainLE::FormatRestore()
{
    TFlagScope pending(formatSetupPending_, false);
    videoCam_->SetActive(true);
    videoCam_->SaveVideoFormat(DataPaths().UserVid);
    if (QFile::exists(DataPaths().DefVid))
        videoCam_->LoadVideoFormat(DataPaths().DefVid);
    videoCam_->SetActive(false);
}

void TFormMainLE::RunFormatDialogUntilWithinLimits()
{
    videoCam_->ShowFormatDialog();
    int w = videoCam_->VideoWidth();
    int h = videoCam_->VideoHeight();
    while (w < kMinVideoWidth || w > kMaxVideoWidth || h < kMinVideoHeight || h > kMaxVideoHeight) {
        if (w <= kMaxVideoWidth && h <= kMaxVideoHeight)
            ShowMessageBox(this,
                           QStringLiteral("Video format too small !\nMin: ") +
                               LimitText(kMinVideoWidth, kMinVideoHeight),
                           MkWarning, MbOk);
        else
            ShowMessageBox(this,
                           QStringLiteral("Video format too big !\nMax: ") +
                               LimitText(kMaxVideoWidth, kMaxVideoHeight),
                           MkWarning, MbOk);
        videoCam_->ShowFormatDialog();
        w = videoCam_->VideoWidth();
        h = videoCam_->VideoHeight();
    }
}

void TFormMainLE::closeEvent(QCloseEvent* event)
{
    QString settingsFailure;
    ImageFreeze->hide();
    videoCam_->hide();
    SetVideoDependentCommands(commands_, false, {}, false);
    ApplyCommandStates();
    {
        TBusyCursor busy;
        TimerFlash.stop();
        CancelVideoRequest();
        TimerReconnect.stop();
        wait_.Stop();
        flashOn_ = false;
        helpWindow_->close();
        scan_->SetScanReady(false);
        scan_->TimerScan().stop();
        scan_->ClearBuffers();
        // A settings file that cannot be written is reported once the close
        // is done: the driver's format and the frame file are not left behind.
        try {
            SaveSettings();
        } catch (const EIlxError& e) {
            settingsFailure = e.message();
        }
        // A camera that is off and would keep the close waiting (a network
        // camera, a device) is not opened just to put its format back.
        try {
            if (videoCam_->Active() || videoCam_->ActivatesAtOnce())
                FormatRestore();
        } catch (const EIlxError&) {
            // The driver may already be gone; closing goes on regardless.
        }
        try {
            if (videoCam_->Active())
                videoCam_->SetActive(false);
        } catch (const EIlxError&) {
        }
        if (QFile::exists(DataPaths().TempFrame))
            QFile::remove(DataPaths().TempFrame);
    }
    if (!settingsFailure.isEmpty()) {
        if (TIlxApplication* app = TIlxApplication::Instance())
            app->HandleError(settingsFailure);
        else
            ShowMessageBox(this, settingsFailure, MkError, MbOk);
    }
    event->accept();
    QMainWindow::closeEvent(event);
}

void TFormMainLE::MenuItemConnectClick()
{
    SetVideoPanelRed(false);
    if (videoCam_->Opening()) {
        if (videoRequest_ == TVideoRequest::Connect) {
            // Pressed again while its camera opens: the user gives up on it.
            CancelVideoRequest();
            SetInfoText(QString());
        } else if (videoRequest_ == TVideoRequest::DriverChosen) {
            activeAfterRequest_ = true; // on, once the chosen camera answers
        }
        return;
    }
    if (videoCam_->DriverName().isEmpty() || videoCam_->Dispositif() == -1) {
        if (videoCam_->SelectDriver())
            chosenDriver_ = videoCam_->DriverName();
        UpdateOptionsDriverLabel();
        if (videoCam_->DriverName().isEmpty() || videoCam_->Dispositif() == -1)
            return;
    }
    if (videoCam_->Active() || videoCam_->ActivatesAtOnce()) {
        SwitchVideo();
        return;
    }
    RequestVideo(TVideoRequest::Connect);
}

void TFormMainLE::SwitchVideo()
{
    if (!videoCam_->Active() && PendingFormatSetup())
        return;
    videoCam_->SetActive(!videoCam_->Active());
    const bool active = videoCam_->Active();
    SetInfoText(active ? QStringLiteral("Video is active") : QStringLiteral("Video is not active"));
    scan_->SetScanReady(active);
    SetVideoDependentCommands(commands_, false, {}, firstActivation_);
    ApplyCommandStates();
    if (active) {
        scan_->WaitPictureStability(settings_.Stabilite);
        SetVideoDependentCommands(commands_, !firstActivation_, DriverDialogs(), firstActivation_);
        KeepLocks();
    }
    if (VideoActive())
        scan_->TimerScan().start();
    else
        scan_->TimerScan().stop();
    SetInfoText(QString());
}

bool TFormMainLE::PendingFormatSetup()
{
    // A camera missing at start meets the start-up's format set-up at its
    // first connect; a failure there is the set-up's own message.
    if (!formatSetupPending_ || firstActivation_)
        return false;
    try {
        FormatSetup();
    } catch (const EIlxError& e) {
        formatSetupPending_ = false;
        ShowMessageBox(this, e.message(), MkWarning, MbOk);
        return true;
    }
    return false;
}

void TFormMainLE::RequestVideo(TVideoRequest why)
{
    videoRequest_ = why;
    if (!videoCam_->BeginOpen()) {
        // Gone from the list: the answer is known at once (a camera waited
        // for is known to be away; nothing more to say).
        VideoCamOpened(false, why == TVideoRequest::Reconnect
                                  ? QString()
                                  : OpenFailureText(OpenResult{-1, OpenFailure::Absent, {}},
                                                    videoCam_->DriverName(), true));
        return;
    }
    if (why != TVideoRequest::Reconnect)
        SetInfoText(
            QStringLiteral("Connecting to the camera \"%1\"...").arg(videoCam_->DriverName()));
}

void TFormMainLE::CancelVideoRequest()
{
    const TVideoRequest request = std::exchange(videoRequest_, TVideoRequest::None);
    videoCam_->CancelOpen();
    // The start-up's camera given up on: the start-up is over all the same.
    if (request == TVideoRequest::FirstActivation)
        FinishFirstActivation();
}

void TFormMainLE::VideoCamOpened(bool ok, const QString& why)
{
    const TVideoRequest request = std::exchange(videoRequest_, TVideoRequest::None);
    // Raised from the event loop: no error may leave here.
    try {
        switch (request) {
        case TVideoRequest::None:
            return;
        case TVideoRequest::FirstActivation:
            ok ? CompleteFirstActivation() : FailFirstActivation(why);
            return;
        case TVideoRequest::Connect:
        case TVideoRequest::DriverChosen:
            if (!ok)
                HandleApplicationError(VideoCamText(TVideoCamText::UnableToActivate, true) +
                                           QStringLiteral("\n") + why,
                                       TErrorSource::Camera);
            else if (request == TVideoRequest::Connect)
                SwitchVideo();
            else
                CompleteDriverChoice();
            return;
        case TVideoRequest::Reconnect:
            if (ok) {
                CameraBack();
            } else {
                wait_.SetLastTry(why);
                ShowWaiting();
            }
            return;
        }
    } catch (const EIlxError& e) {
        HandleApplicationError(e.message(), TErrorSource::Camera);
    }
}

void TFormMainLE::MenuItemPiloteClick()
{
    const bool wasActive = videoCam_->Active();
    if (videoCam_->SelectDriver() && videoCam_->DriverName() != chosenDriver_) {
        // Another camera by the user's hand: the one waited for is given up.
        chosenDriver_ = videoCam_->DriverName();
        CancelVideoRequest();
        StopWaiting();
        if (wasActive)
            SwitchVideoOff();
    }
    UpdateOptionsDriverLabel();
    const bool device = videoCam_->Dispositif() >= 0;
    commands_.ConnectButton = commands_.ConnectMenu = device;
    ApplyCommandStates();
    if (!device)
        return;
    activeAfterRequest_ = wasActive;
    if (videoCam_->Active() || videoCam_->ActivatesAtOnce())
        CompleteDriverChoice();
    else
        RequestVideo(TVideoRequest::DriverChosen);
}

void TFormMainLE::CompleteDriverChoice()
{
    FormatSetup();
    // Back as it was, the whole way (the scan timer too).
    if (activeAfterRequest_ && !videoCam_->Active())
        SwitchVideo();
}

void TFormMainLE::StopComparisonAndWait()
{
    scan_->SetScanReady(false);
    RequestComparisonStop();
    while (!IsGateStopped())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void TFormMainLE::MenuItemFormatClick()
{
    if (!VideoActive())
        return;
    StopComparisonAndWait();
    scan_->ClearBuffers();
    RunFormatDialogUntilWithinLimits();
    relayoutNeeded_ = true;
    CheckBoxScaleVideoClick();
    SetVideoInfoHints();
    scan_->ClearBuffers();
    ResetComparison();
    // A new size costs a new time per cycle: the delay is measured again.
    scan_->ResetScanDelay();
    scan_->SetScanReady(VideoActive());
}

void TFormMainLE::MenuItemSourceClick()
{
    StopComparisonAndWait();
    scan_->ClearBuffers();
    videoCam_->ShowSourceDialog();
    scan_->ClearBuffers();
    ResetComparison();
    scan_->SetScanReady(VideoActive());
}

void TFormMainLE::MenuItemDisplayClick()
{
    StopComparisonAndWait();
    videoCam_->ShowDisplayDialog();
    scan_->ClearBuffers();
    ResetComparison();
    scan_->SetScanReady(VideoActive());
}

void TFormMainLE::VideoCamActivate()
{
    if (formatSetupPending_)
        return;
    SetInfoText(QString());
    if (!videoCam_->Active())
        return;
    SetCaptionForVideo(firstActivation_);
    ImageFreeze->setVisible(RxSpeedButtonPause->isChecked());
    videoCam_->setVisible(RxSpeedButtonPlay->isChecked());
    RxSpeedButtonConnect->setIcon(MenuGlyph(GlyphDisconnect));
    SetHint(RxSpeedButtonConnect, QStringLiteral("Disconnect video"));
    MenuItemConnect->setText(QStringLiteral("&Disable video"));
    OnVideoActivated(commands_, DriverDialogs(), firstActivation_);
    KeepLocks();
    relayoutNeeded_ = true;
    CheckBoxScaleVideoClick();
    SetVideoInfoHints();
}

void TFormMainLE::VideoCamDeactivate()
{
    if (formatSetupPending_ || videoCam_->Active())
        return;
    setWindowTitle(QString::fromLatin1(kBaseCaption));
    videoCam_->hide();
    RxSpeedButtonConnect->setIcon(MenuGlyph(GlyphConnect));
    SetHint(RxSpeedButtonConnect, QStringLiteral("Connect video"));
    MenuItemConnect->setText(QStringLiteral("&Activate video"));
    if (scanFrame_)
        scanFrame_->ShowFrame(false);
    OnVideoDeactivated(commands_);
    ApplyCommandStates();
}

void TFormMainLE::VideoCamError(int id, const QString& text)
{
    // A camera that reports an error sends no more pictures. Scanning left on
    // would compare the last picture with itself and never see anything, so
    // scanning and the video go off before the user is told; the Connect
    // command brings the camera back once it works again.
    const bool wasActive = VideoActive();
    const bool wasScanning = scan_->Scanning();
    SwitchVideoOff();
    const QString message =
        QStringLiteral("Video error: ") + QString::number(id) + QStringLiteral("\n") + text;
    // With "Reconnect", the camera is tried again while the message is up;
    // the message closes itself when the camera is back.
    if (wasActive && options_.Reconnect())
        StartWaiting(TCameraWait::Cause::Lost, wasScanning, QString());
    else
        SetInfoText(
            QStringLiteral("Video error  - Check connection, Shutdown and Restart your computer."));
    if (lossBox_ && lossBox_->isVisible()) {
        // One message at a time: a camera lost again while it is up says so there.
        lossBox_->setText(message);
        return;
    }
    ShowMessageBox(this, message, MkError, MbOk, &lossBox_);
}

void TFormMainLE::KeepLocks()
{
    KeepScanAndZoomLocks(commands_, scan_->Scanning(), Zoomed());
    KeepScheduleUnavailable(commands_, scheduleAvailable_);
    ApplyCommandStates();
}

void TFormMainLE::SwitchVideoOff()
{
    if (!videoCam_ || !videoCam_->Active())
        return;
    // Scanning goes off first, the whole way: left on, it would keep its
    // locks and its timer over a video that sends nothing.
    if (scan_->Scanning())
        scan_->RxSpeedButtonAnalyseClick(nullptr);
    scan_->SetScanReady(false);
    scan_->TimerScan().stop();
    try {
        videoCam_->SetActive(false);
    } catch (const EIlxError&) {
        // A failing driver may fail to close as well; the caller's message says why.
    }
}

void TFormMainLE::SetVideoInfoHints()
{
    const int w = videoCam_->VideoWidth();
    const int h = videoCam_->VideoHeight();
    const int b = videoCam_->VideoBitCount();
    SetHint(videoCam_, VideoInfoText(QStringLiteral("Video:"), w, h, b));
    SetHint(PanelVideo, VideoInfoText(QStringLiteral("Video:"), w, h, b));
    SetHint(ImageFreeze, VideoInfoText(QStringLiteral("Picture:"), w, h, b));
}

void TFormMainLE::QueueFormResize()
{
    // Laid out once the resize is over: the layout lets events run, which must
    // not happen inside the resize itself.
    if (resizeQueued_)
        return;
    resizeQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        resizeQueued_ = false;
        FormResize();
    });
}

void TFormMainLE::FormResize()
{
    // Zoomed, the view follows the panel; not zoomed, it is centred again.
    CheckBoxScaleVideoClick();
    PlaceZoomBox();
}

void TFormMainLE::CheckBoxScaleVideoClick()
{
    if (!VideoActive() || layingOut_)
        return;
    TFlagScope guard(layingOut_, false);
    // A window the user brought up meanwhile is left up.
    if (minimiseAtStart_ && isMinimized())
        reminimise_.setRemainingTime(kReminimiseMs);
    const int bevel = PanelVideo->frameWidth();
    const bool zoom = Zoomed();
    const bool scanning = scan_->Scanning();
    OnZoomChanged(commands_, zoom, scanning);
    ApplyCommandStates();
    if (scanFrame_)
        scanFrame_->SetLocked(zoom || scanning);
    if (zoom) {
        setMinimumSize(446, 200);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        const QRect inside = PanelVideo->contentsRect();
        videoCam_->setGeometry(inside);
        ImageFreeze->setGeometry(inside);
        relayoutNeeded_ = true;
    } else {
        QCoreApplication::processEvents();
        QSize view = videoCam_->size();
        if (relayoutNeeded_) {
            const QSize screen = this->screen() ? this->screen()->size() : QSize(1920, 1080);
            view = QSize(std::min(videoCam_->VideoWidth(), screen.width()),
                         std::min(videoCam_->VideoHeight(), screen.height()));
            relayoutNeeded_ = false;
        }
        const int extraW = width() - PanelVideo->width();
        const int extraH = height() - PanelVideo->height();
        int minW = std::max(446, view.width() + 2 * bevel);
        int minH = std::max(200, extraH + view.height() + 2 * bevel);
        setMinimumSize(minW, minH);
        if (PanelVideo->width() < view.width() + 2 * bevel ||
            PanelVideo->height() < view.height() + 2 * bevel)
            resize(std::max(width(), view.width() + 2 * bevel + extraW),
                   std::max(height(), view.height() + 2 * bevel + extraH));
        const int left = (PanelVideo->width() - 2 * bevel - view.width()) / 2 + bevel;
        const int top = bevel + (PanelVideo->height() - 2 * bevel - view.height()) / 2;
        videoCam_->setGeometry(left, top, view.width(), view.height());
        ImageFreeze->setGeometry(videoCam_->geometry());
    }
    videoCam_->SetPreviewScale(zoom);
    ImageFreeze->setScaledContents(zoom);
    if (scanFrame_)
        scanFrame_->PlaceFrame();
}
