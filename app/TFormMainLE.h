#pragma once

#include "EIlxError.h"
#include "MainWindowSettings.h"
#include "SchedulerHost.h"
#include "TCameraWait.h"
#include "TCommandRules.h"
#include "TDesktopNotifier.h"
#include "TOptionsLink.h"
#include "TPictureRetention.h"
#include "TScanFrame.h"
#include "TScanHost.h"

#include <cstdint>

#include <QDeadlineTimer>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <memory>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QMessageBox;
class QToolButton;
class CaptureDriver;
class TAboutBox;
class TFormOptions;
class TScanController;
class TScheduler;
class TStatusBarVideo;
class THelpWindow;
class TVideoCam;

// The main window: live video or its still, the menu, the tool bar, the
// information line and the status bar. It lives for the whole run and owns
// every long-lived part of the program.
class TFormMainLE : public QMainWindow,
                    private TScanHost,
                    private SchedulerHost,
                    private TScanFrameHost
{
    Q_OBJECT

public:
    // The event clips' recorder (tests look at what it writes).
    TClipRecorder& Clips() { return *clips_; }
    // The window owns the capture driver through its capture component.
    explicit TFormMainLE(std::unique_ptr<CaptureDriver> driver, QWidget* parent = nullptr);
    ~TFormMainLE() override;

    // The format limits the program works within.
    static constexpr int kMinVideoWidth = 80;
    static constexpr int kMinVideoHeight = 30;
    static constexpr int kMaxVideoWidth = 352;
    static constexpr int kMaxVideoHeight = 288;

    // The designed caption; the driver name and the heartbeat follow it.
    static constexpr const char* kBaseCaption = "i-Lumerix LE ";

    // State shown to the user; tests read it through these.
    const TCommandStates& CommandStates() const { return commands_; }
    QString InfoText() const;
    void SetInfoText(const QString& text);
    int DetectionCount() const { return detectionCount_; }
    void SetDetectionCount(int count);
    bool HelpMode() const { return helpMode_; }
    THelpWindow* HelpWindow() const { return helpWindow_; }
    int FlashToggles() const { return flashToggles_; }
    TStatusBarVideo* StatusBar() const { return statusBar_; }
    TVideoCam* VideoCam() const { return videoCam_; }
    TFormOptions* Options() const { return options_.Window(); }
    TScanController& Scan() const { return *scan_; }
    TScheduler* Scheduler() const { return scheduler_.get(); }
    TScanFrame& ScanFrame() const { return *scanFrame_; }
    bool FirstActivationPending() const { return firstActivation_; }

    // The one-time start-up work; runs at the first activation.
    void FirstActivation();
    // Fixes the capture format within the limits, remembering the driver's own.
    void FormatSetup();
    // Puts the driver's own format back, keeping the user's for next time.
    void FormatRestore();

    // The help number of a widget: its own, else its parents', else the
    // window's fallback.
    int HelpContextOf(const QWidget* widget) const;

    // The application's error handler: what the user sees when an error
    // escapes a command.
    // An error that reached the application: one of the camera switches the
    // video (and so the scanning) off; any other is only reported, the watch
    // going on.
    void HandleApplicationError(const QString& message, TErrorSource source);

    // The running copy was asked to come to the front by a second copy.
    void BringToFront();
    // Shows the window at start. Started by the desktop session with scanning
    // set to start by itself, the window comes up minimised: the watch goes
    // on without a window in the way.
    void ShowAtStart(bool bySession);

    // Command handlers, shared by a menu item and its tool-bar button.
    void RxSpeedButtonHelpClick();
    void PopupWhatsThisClick();
    void MenuItemAideClick();
    void MenuItemAboutClick();
    void MenuItemWebClick();
    void TimerFlashTimer();
    void MenuItemConnectClick();
    void MenuItemPiloteClick();
    void MenuItemFormatClick();
    void MenuItemSourceClick();
    void MenuItemDisplayClick();
    void MenuItemOptionsClick();
    void MenuItemPreviewClick();
    void MenuItemFrameClick();
    void CheckBoxScaleVideoClick();
    void VideoCamActivate();
    void VideoCamDeactivate();
    void VideoCamError(int id, const QString& text);
    // The camera opened away from the window answered.
    void VideoCamOpened(bool ok, const QString& why);
    // The camera the user chose in the driver dialog (the stored "Driver"),
    // kept while it is away; empty when none was ever chosen.
    const QString& ChosenDriver() const { return chosenDriver_; }
    const TCameraWait& CameraWait() const { return wait_; }
    void SetVideoInfoHints();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Follows the window in and out of the user's sight: the flash and the
    // desktop notifications start when it leaves and stop when it is back.
    void UpdateAway();
    void CreateToolBar();
    void CreateMenus();
    void CreatePanels();
    void UpdateInfoToolTip();
    void CreateStatusBar();
    void CreateVideo(std::unique_ptr<CaptureDriver> driver);
    void CreateOptions();
    void CreateSchedule();
    void CreateScanFrame();
    void UpdateOptionsDriverLabel();
    void RunFormatDialogUntilWithinLimits();
    void HandleScheduleMessage(std::intptr_t wParam, std::intptr_t lParam);
    void SetPanelHint(const QString& text);
    // A control's hint; shown at once when the pointer is over the control.
    void SetHint(QWidget* control, const QString& text);
    void LoadSettings();
    void SaveSettings();
    void ConnectCommands();
    void SetCaptionForVideo(bool firstActivation);
    void StopComparisonAndWait();
    // Scanning off, then the video off, for an error or a lost camera.
    void SwitchVideoOff();
    TDriverDialogs DriverDialogs() const;
    bool Zoomed() const;
    void RefreshVideoCommands();
    // After the video commands are switched: scanning's, Zoom's and a missing
    // schedule's locks hold, and the controls show the result.
    void KeepLocks();
    void SetHelpContexts();
    void ApplyCommandStates();
    void PlaceZoomBox();
    // What a camera being opened is for, once it answers.
    enum class TVideoRequest
    {
        None,
        FirstActivation,
        Connect,
        Reconnect,
        DriverChosen
    };
    // Opens the component's camera without waiting for it; `why` goes on
    // when it answers (VideoCamOpened).
    void RequestVideo(TVideoRequest why);
    void CancelVideoRequest();
    // The connect command's work once the camera can be taken at once: the
    // video inverted, the stability wait, the scan timer.
    void SwitchVideo();
    void CompleteFirstActivation();
    void FailFirstActivation(const QString& why);
    void FinishFirstActivation();
    void CompleteDriverChoice();
    // The format set-up the start-up did not get to run, before the first connect.
    bool PendingFormatSetup();
    // A lost or missing camera tried again every 5 s while "Reconnect" is on.
    void CreateReconnection();
    void StartWaiting(TCameraWait::Cause cause, bool wasScanning, const QString& why);
    void StopWaiting();
    void ShowWaiting();
    void TimerReconnectTimer();
    void CameraBack();
    // Ctrl+Q while the loss message is up still quits.
    bool QuitFromLossMessage(QObject* watched, QEvent* event);
    bool MenuItemHelp(QMenu* menu, const QKeyEvent* key);
    // The pictures' limits of the "Watch" page, and keeping the folder within them.
    TRetentionLimits KeepLimits() const;
    void KeepPicturesWithinLimits();
    // The limits as the options were last saved, enforced at once.
    void ApplyKeepLimits();
    // The prefixes whose pictures are the program's: every one it saved under
    // (remembered across runs) and the one it saves under now.
    void SetOwnPicturePrefixes();
    void RememberPicturePrefix(const QString& prefix);
    // After deletions: the last picture never names a file that is gone.
    void KeepLastImage();
    // Event clips: the recorder given to the camera, its settings as last
    // saved, a clip started by a saved picture, and what a clip's end tells.
    void CreateClips();
    void RecoverClips();
    void ApplyClipSettings();
    void ClipDetection(const QString& pictureName);
    void ClipStarted(const QString& clipPath);
    void ClipEnded(const QString& clipPath, const QString& why, bool failed);
    void WatchClipSpace();
    // A detection told to the desktop while the window is minimised or hidden.
    void NotifyDesktop(const QImage& frame, const QString& pictureName);
    // The window's resize handler: the video is laid out again.
    void FormResize();
    void QueueFormResize();
    void CentreOnScreen();

    QToolButton* AddSpeedButton(const char* name, int x, int glyph, const QString& hint,
                                int helpTag);
    QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption, const QString& hint,
                         const QKeySequence& shortcut = {});

    // Context help by mouse press; true when the press was taken.
    bool HelpClick(QWidget* pressed, const QPoint& globalPos, Qt::MouseButton button);
    void ShowHelpNumber(int context, const QPoint& globalPos);
    bool HandleKey(QKeyEvent* key);
    bool HandleLumerixEvent(QEvent* event);

    // TScanHost: what the scan cycle asks of the window.
    bool VideoActive() const override;
    void GrabFrame() override;
    QImage LoadGrabbedFrame() override;
    TScanOptions ScanOptions() const override;
    bool AutoStartSettled() const override;
    void SetAutoStartSettled() override;
    bool AutoStartCountdown(QString& text) override;
    bool SoundBusy() const override;
    void StartSoundAlarm(QObject* sender, bool loop, const QString& file) override;
    void HideOptionsWindow() override;
    TScanArea ScanArea() const override;
    QString SavePicture(const QImage& frame) override;
    void ShowInfo(const QString& text) override;
    void SetVideoPanelRed(bool red) override;
    void SetHeartbeat(QChar c) override;
    void ShowDetectionCount(int count) override;
    void SetAnalyseLook(const QString& menuCaption, const QString& hint, int imageIndex) override;
    void SetConnectEnabled(bool enabled) override;
    void SetScanLocks(bool scanning) override;
    bool PauseDown() const override;
    void SetPauseDown(bool down) override;
    void SetVideoDialogsEnabled(bool enabled) override;
    void ShowFrozen(bool frozen) override;
    void ShowStill(const QImage& still) override;
    void SetModeVideoCaption(const QString& caption) override;
    void RelayoutVideo() override;
    void DrawPictureLabel(QImage& picture, const QString& text) override;
    void RestoreScanFrame() override;

    // SchedulerHost: what the scheduler timer asks of the window.
    bool SchedulerActive() const override;
    void SetSchedulerActive(bool on) override;
    bool Scanning() const override;
    void RunScanningCommand(QObject* sender) override;
    void SetSchedulerHint(const QString& text) override;
    void DisableSchedulerCommands() override;
    void MirrorSchedulerToOptions(bool on) override;

    // TScanFrameHost: where the scan frame goes.
    QRect VideoViewRect() const override;
    bool VideoViewVisible() const override;
    QRect FreezeRect() const override;
    void ShowStatusHint(const QString& text) override;

    // Layout
    QWidget* PanelButton = nullptr;
    QLabel* PanelInfo = nullptr;
    QFrame* PanelVideo = nullptr;
    QLabel* ImageFreeze = nullptr;
    TStatusBarVideo* statusBar_ = nullptr;
    QCheckBox* CheckBoxScaleVideo = nullptr;

    QToolButton* RxSpeedButtonPlay = nullptr;
    QToolButton* RxSpeedButtonPause = nullptr;
    QToolButton* RxSpeedButtonConnect = nullptr;
    QToolButton* RxSpeedButtonAnalyse = nullptr;
    QToolButton* RxSpeedButtonFrame = nullptr;
    QToolButton* RxSpeedButtonScheduler = nullptr;
    QToolButton* RxSpeedButtonOptions = nullptr;
    QToolButton* RxSpeedButtonFormat = nullptr;
    QToolButton* RxSpeedButtonSource = nullptr;
    QToolButton* RxSpeedButtonDisplay = nullptr;
    QToolButton* RxSpeedButtonPreview = nullptr;
    QToolButton* RxSpeedButtonHelp = nullptr;

    QMenu* MenuItemFichier = nullptr;
    QMenu* MenuItemVideo = nullptr;
    QMenu* MenuItemScheduler = nullptr;
    QMenu* N4 = nullptr;
    QAction* MenuItemModeVideo = nullptr;
    QAction* MenuItemPreview = nullptr;
    QAction* MenuItemFermer = nullptr;
    QAction* MenuItemConnect = nullptr;
    QAction* MenuItemAnalyse = nullptr;
    QAction* MenuItemFrame = nullptr;
    QAction* MenuItemSchedulerActivate = nullptr;
    QAction* MenuItemSchedulerEdit = nullptr;
    QAction* MenuItemOptions = nullptr;
    QAction* MenuItemPilote = nullptr;
    QAction* MenuItemFormat = nullptr;
    QAction* MenuItemSource = nullptr;
    QAction* MenuItemDisplay = nullptr;
    QAction* MenuItemAide = nullptr;
    QAction* MenuItemWhatsThis = nullptr;
    QAction* MenuItemAbout = nullptr;
    QAction* MenuItemWeb = nullptr;
    QMenu* WhatsThisPopupmenu = nullptr;
    QAction* PopupWhatsThis = nullptr;

    QTimer TimerFlash;
    QTimer TimerReconnect;
    QPointer<QMessageBox> lossBox_; // the camera-loss message while it is up
    TCameraWait wait_;
    QString chosenDriver_;
    TVideoRequest videoRequest_ = TVideoRequest::None;
    bool activeAfterRequest_ = false; // the driver command's video state to come back to
    TPictureRetention retention_;
    TRetentionLimits keepLimits_; // as last saved, not as being typed
    QStringList picturePrefixes_; // remembered in "PicturePrefixes"
    TDesktopNotifier notifier_;
    // Lent to the camera's streams, which push into it from their threads.
    std::shared_ptr<TClipRecorder> clips_;
    QTimer clipSpaceWatch_; // while a clip is written: the disk keeps its floor
    QString infoText_;      // the information line without the clip's mention
    static constexpr const char* kClipInfo = "- Recording clip";

    THelpWindow* helpWindow_ = nullptr;

    TVideoCam* videoCam_ = nullptr; // child of PanelVideo
    TOptionsLink options_;
    std::unique_ptr<TScanController> scan_;
    std::unique_ptr<TScanFrame> scanFrame_;
    std::unique_ptr<TScheduler> scheduler_;
    TMainWindowSettings settings_;
    TCommandStates commands_;
    QString webAddress_;
    bool firstActivation_ = false;
    // Started by the session to watch, until the first activation is over.
    bool minimiseAtStart_ = false;
    // Fitting a minimised X11 window to the camera's picture brings it back
    // up once the window manager answers; until then it goes down again.
    QDeadlineTimer reminimise_;
    bool firstActivationQueued_ = false;
    bool formatSetupPending_ = false;
    bool relayoutNeeded_ = false;
    bool scheduleAvailable_ = true;
    // The scheduler's on/off state; its button and menu check mark show it.
    bool schedulerActive_ = false;
    bool autoStartSettled_ = false;
    bool layingOut_ = false;
    bool resizeQueued_ = false;
    bool placementRestored_ = false;
    int detectionCount_ = 0;
    bool helpMode_ = false;
    int popupTag_ = 0;
    bool flashOn_ = false;
    // The window is out of the user's sight: minimised, or (where the window
    // system never tells a window it is minimised, as Wayland) no longer
    // shown on any screen.
    bool away_ = false;
    bool watchingExposure_ = false;
    int flashToggles_ = 0;
};
