#include "TFormMainLE.h"

#include "DataPaths.h"
#include "EIlxError.h"
#include "GstCaptureDriver.h"
#include "GuardedCommand.h"
#include "LumerixEvents.h"
#include "MenuGlyphs.h"
#include "NetworkCameras.h"
#include "ShowMessageBox.h"
#include "TFormOptions.h"
#include "THelpWindow.h"
#include "TMessageEvent.h"
#include "TScanController.h"
#include "TScheduler.h"
#include "TStatusBarVideo.h"
#include "TVideoCam.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusTipEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include <optional>

namespace {

// How long closing the program waits for an event's clip to be completed.
constexpr int kClipCloseWaitMs = 5000;

constexpr int kToolBarHeight = 29;
constexpr int kInfoHeight = 18;
constexpr int kButtonSize = 25;

// Beside the executable (a build or portable copy), else where an installed
// copy keeps its shared files.
QString HelpFilePath()
{
    const QString dir = QCoreApplication::applicationDirPath();
    const QString beside = dir + QStringLiteral("/iLXLEEN32.hlp");
    if (QFileInfo::exists(beside))
        return beside;
    const QString shared = dir + QStringLiteral("/../share/ilumerix/iLXLEEN32.hlp");
    return QFileInfo::exists(shared) ? QFileInfo(shared).canonicalFilePath() : beside;
}

} // namespace

TFormMainLE::TFormMainLE(std::unique_ptr<CaptureDriver> driver, QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FormMainLE"));
    setWindowTitle(QString::fromLatin1(kBaseCaption));
    // The program's icon is the application's: the About box and every
    // dialog show it.
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(ProgramIcon());
    setWindowIcon(QApplication::windowIcon());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);

    TimerFlash.setObjectName(QStringLiteral("TimerFlash"));
    TimerFlash.setInterval(500);
    connect(&TimerFlash, &QTimer::timeout, this, &TFormMainLE::TimerFlashTimer);

    // The design: panels, tool bar, menus, status bar, the capture component.
    CreatePanels();
    CreateToolBar();
    CreateMenus();
    CreateStatusBar();
    CreateVideo(std::move(driver));
    CreateClips();
    CreateScanFrame();
    CreateReconnection();
    SetHelpContexts();
    scan_ = std::make_unique<TScanController>(static_cast<TScanHost&>(*this), this);
    ConnectCommands();

    // Once the design is loaded: no detection, video commands off.
    scan_->SetDetectionCount(0);
    SetVideoDependentCommands(commands_, false, {}, false);
    ApplyCommandStates();

    // Creation proper.
    qApp->installEventFilter(this);
    helpWindow_ = new THelpWindow(this);
    helpWindow_->SetHelpFile(HelpFilePath());
    CreateOptions();
    formatSetupPending_ = true;
    CreateSchedule();
    LoadSettings();
    KeepPicturesWithinLimits();
    scan_->ClearBuffers();

    videoCam_->SetEnglishMessages(true);
    videoCam_->SetActive(false);
    commands_.PlayPauseMenu = commands_.PlayButton = commands_.PauseButton = false;
    commands_.AnalyseButton = commands_.AnalyseMenu = false;
    commands_.FrameButton = commands_.FrameMenu = false;
    commands_.FormatButton = commands_.FormatMenu = false;
    commands_.SourceButton = commands_.SourceMenu = false;
    commands_.DisplayButton = commands_.DisplayMenu = false;
    ApplyCommandStates();
    scan_->ApplyInitialLook();
    scan_->TimerScan().setInterval(250);
    videoCam_->SetImageFile(DataPaths().TempFrame);

    // The stored choice stands while its camera is away ("(none)" is only
    // the component's word for that); the driver dialog alone changes it.
    chosenDriver_ = settings_.Driver;
    videoCam_->SetDriverName(settings_.Driver);
    if (videoCam_->DriverName().isEmpty() || settings_.SelectDriver) {
        if (videoCam_->SelectDriver())
            chosenDriver_ = videoCam_->DriverName();
    }
    UpdateOptionsDriverLabel();
    firstActivation_ = true;
    if (scheduler_)
        scheduler_->EnableTimer();

    // The designed size and place are for a first start only: a stored
    // placement keeps the size and place the user gave the window.
    setMinimumSize(446, 200);
    if (!placementRestored_) {
        resize(446, 252);
        CentreOnScreen();
    }
}

TFormMainLE::~TFormMainLE()
{
    qApp->removeEventFilter(this);
    // An event's clip is completed, not left to the next start to recover;
    // the camera lets the recorder go before it does.
    videoCam_->Driver().setClipRecorder(nullptr);
    clips_->EndEvent();
    clips_->WaitClosed(kClipCloseWaitMs);
}

void TFormMainLE::CreatePanels()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* toolBar = new QFrame(central);
    toolBar->setObjectName(QStringLiteral("PanelButton"));
    toolBar->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    toolBar->setFixedHeight(kToolBarHeight);
    PanelButton = toolBar;
    layout->addWidget(toolBar);

    PanelInfo = new QLabel(central);
    PanelInfo->setObjectName(QStringLiteral("PanelInfo"));
    PanelInfo->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelInfo->setFixedHeight(kInfoHeight);
    PanelInfo->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    PanelInfo->setIndent(3);
    layout->addWidget(PanelInfo);

    PanelVideo = new QFrame(central);
    PanelVideo->setObjectName(QStringLiteral("PanelVideo"));
    PanelVideo->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelVideo->setAutoFillBackground(true);
    QPalette black = PanelVideo->palette();
    black.setColor(QPalette::Window, Qt::black);
    PanelVideo->setPalette(black);
    layout->addWidget(PanelVideo, 1);

    ImageFreeze = new QLabel(PanelVideo);
    ImageFreeze->setObjectName(QStringLiteral("ImageFreeze"));
    ImageFreeze->setStatusTip(QStringLiteral("Picture freeze"));
    ImageFreeze->hide();

    setCentralWidget(central);
}

QToolButton* TFormMainLE::AddSpeedButton(const char* name, int x, int glyph, const QString& hint,
                                         int helpTag)
{
    auto* b = new QToolButton(PanelButton);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(x, 2, kButtonSize, kButtonSize);
    b->setAutoRaise(true);
    b->setIcon(MenuGlyph(glyph));
    b->setIconSize(QSize(20, 20));
    b->setFocusPolicy(Qt::NoFocus);
    b->setStatusTip(hint);
    b->setProperty("HelpContext", helpTag);
    return b;
}

void TFormMainLE::CreateToolBar()
{
    RxSpeedButtonPlay =
        AddSpeedButton("RxSpeedButtonPlay", 4, GlyphPlay, QStringLiteral("Play"), 20030);
    RxSpeedButtonPause =
        AddSpeedButton("RxSpeedButtonPause", 29, GlyphPause, QStringLiteral("Pause"), 20030);
    RxSpeedButtonConnect = AddSpeedButton("RxSpeedButtonConnect", 58, GlyphConnect,
                                          QStringLiteral("Activate/deactivate video"), 20070);
    RxSpeedButtonAnalyse = AddSpeedButton("RxSpeedButtonAnalyse", 83, GlyphScanOff,
                                          QStringLiteral("Activate/deactivate scanning"), 20110);
    RxSpeedButtonFrame =
        AddSpeedButton("RxSpeedButtonFrame", 108, GlyphFrame, QStringLiteral("Scan frame"), 20078);
    RxSpeedButtonScheduler = AddSpeedButton("RxSpeedButtonScheduler", 133, GlyphScheduler,
                                            QStringLiteral("Activate/deactivate scheduler"), 20210);
    RxSpeedButtonOptions =
        AddSpeedButton("RxSpeedButtonOptions", 162, GlyphOptions, QStringLiteral("Option"), 30000);
    RxSpeedButtonFormat = AddSpeedButton("RxSpeedButtonFormat", 191, GlyphFormat,
                                         QStringLiteral("Select video format"), 20080);
    RxSpeedButtonSource = AddSpeedButton("RxSpeedButtonSource", 216, GlyphSource,
                                         QStringLiteral("Setup video source"), 20090);
    RxSpeedButtonDisplay = AddSpeedButton("RxSpeedButtonDisplay", 241, GlyphDisplay,
                                          QStringLiteral("Setup video display"), 20100);
    RxSpeedButtonPreview = AddSpeedButton("RxSpeedButtonPreview", 270, GlyphPreview,
                                          QStringLiteral("View catch"), 20130);
    RxSpeedButtonHelp =
        AddSpeedButton("RxSpeedButtonHelp", 299, GlyphHelp, QStringLiteral("Help context"), 0);

    // Play and Pause: exactly one down, Play at start.
    for (QToolButton* b : {RxSpeedButtonPlay, RxSpeedButtonPause})
        b->setCheckable(true);
    auto* group = new QButtonGroup(this);
    group->setObjectName(QStringLiteral("PlayPauseGroup"));
    group->setExclusive(true);
    group->addButton(RxSpeedButtonPlay);
    group->addButton(RxSpeedButtonPause);
    RxSpeedButtonPlay->setChecked(true);
    for (QToolButton* b : {RxSpeedButtonFrame, RxSpeedButtonScheduler, RxSpeedButtonHelp})
        b->setCheckable(true);

    CheckBoxScaleVideo = new QCheckBox(QStringLiteral("&Zoom"), PanelButton);
    CheckBoxScaleVideo->setObjectName(QStringLiteral("CheckBoxScaleVideo"));
    CheckBoxScaleVideo->setStatusTip(QStringLiteral("Expand"));
    CheckBoxScaleVideo->setFocusPolicy(Qt::ClickFocus);
    CheckBoxScaleVideo->setProperty("HelpContext", 20140);
    CheckBoxScaleVideo->adjustSize();
}

QAction* TFormMainLE::AddMenuItem(QMenu* menu, const char* name, const QString& caption,
                                  const QString& hint, const QKeySequence& shortcut)
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    a->setStatusTip(hint);
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    return a;
}

void TFormMainLE::CreateMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));

    MenuItemFichier = bar->addMenu(QStringLiteral("&File"));
    MenuItemFichier->setObjectName(QStringLiteral("MenuItemFichier"));
    MenuItemModeVideo =
        AddMenuItem(MenuItemFichier, "MenuItemModeVideo", QStringLiteral("&Play/pause"),
                    QStringLiteral("Play/pause mode"));
    MenuItemPreview =
        AddMenuItem(MenuItemFichier, "MenuItemPreview", QStringLiteral("View pictures &catched"),
                    QStringLiteral("View pictures catched"), QKeySequence(Qt::Key_F9));
    MenuItemFichier->addSeparator();
    MenuItemFermer =
        AddMenuItem(MenuItemFichier, "MenuItemFermer", QStringLiteral("&Close"),
                    QStringLiteral("Quit i-Lumerix"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(MenuItemFermer, &QAction::triggered, this, &QWidget::close);

    MenuItemVideo = bar->addMenu(QStringLiteral("&Video"));
    MenuItemVideo->setObjectName(QStringLiteral("MenuItemVideo"));
    MenuItemConnect =
        AddMenuItem(MenuItemVideo, "MenuItemConnect", QStringLiteral("&Activate video"),
                    QStringLiteral("Connection"), QKeySequence(Qt::CTRL | Qt::Key_V));
    MenuItemAnalyse =
        AddMenuItem(MenuItemVideo, "MenuItemAnalyse", QStringLiteral("Activate sca&nning"),
                    QStringLiteral("Enable/disable video"), QKeySequence(Qt::Key_F5));
    MenuItemFrame = AddMenuItem(MenuItemVideo, "MenuItemFrame", QStringLiteral("A&ctivate frame"),
                                QStringLiteral("Frame for scanning"), QKeySequence(Qt::Key_F7));
    MenuItemFrame->setCheckable(true);
    MenuItemScheduler = MenuItemVideo->addMenu(QStringLiteral("Sc&heduler"));
    MenuItemScheduler->setObjectName(QStringLiteral("MenuItemScheduler"));
    MenuItemScheduler->menuAction()->setStatusTip(QStringLiteral("Scheduler"));
    MenuItemSchedulerActivate =
        AddMenuItem(MenuItemScheduler, "MenuItemSchedulerActivate", QStringLiteral("Ac&tivate"),
                    QStringLiteral("Activate / disactivate scheduler"), QKeySequence(Qt::Key_F4));
    MenuItemSchedulerActivate->setCheckable(true);
    MenuItemSchedulerActivate->setProperty("HelpContext", 20210);
    MenuItemSchedulerEdit =
        AddMenuItem(MenuItemScheduler, "MenuItemSchedulerEdit", QStringLiteral("&Edit"),
                    QStringLiteral("Edit scheduler"), QKeySequence(Qt::CTRL | Qt::Key_F4));
    MenuItemSchedulerEdit->setProperty("HelpContext", 20210);
    MenuItemVideo->addSeparator();
    MenuItemOptions = AddMenuItem(MenuItemVideo, "MenuItemOptions", QStringLiteral("&Option..."),
                                  QStringLiteral("Setup options"), QKeySequence(Qt::Key_F3));
    MenuItemOptions->setProperty("HelpContext", 40000);
    MenuItemVideo->addSeparator();
    MenuItemPilote =
        AddMenuItem(MenuItemVideo, "MenuItemPilote", QStringLiteral("&Driver..."),
                    QStringLiteral("Select video driver"), QKeySequence(Qt::CTRL | Qt::Key_P));
    MenuItemPilote->setProperty("HelpContext", 20060);
    MenuItemFormat =
        AddMenuItem(MenuItemVideo, "MenuItemFormat", QStringLiteral("Fo&rmat..."),
                    QStringLiteral("Select video format"), QKeySequence(Qt::CTRL | Qt::Key_F));
    MenuItemSource =
        AddMenuItem(MenuItemVideo, "MenuItemSource", QStringLiteral("&Source..."),
                    QStringLiteral("Setup video source"), QKeySequence(Qt::CTRL | Qt::Key_S));
    MenuItemDisplay =
        AddMenuItem(MenuItemVideo, "MenuItemDisplay", QStringLiteral("&Display..."),
                    QStringLiteral("Setup video display"), QKeySequence(Qt::CTRL | Qt::Key_A));

    N4 = bar->addMenu(QStringLiteral("?"));
    N4->setObjectName(QStringLiteral("N4"));
    MenuItemAide = AddMenuItem(N4, "MenuItemAide", QStringLiteral("&Help"),
                               QStringLiteral("Show help"), QKeySequence(Qt::Key_F1));
    MenuItemWhatsThis = AddMenuItem(N4, "MenuItemWhatsThis", QStringLiteral("&What is it ?"),
                                    QStringLiteral("Help context"));
    MenuItemWhatsThis->setCheckable(true);
    N4->addSeparator();
    MenuItemAbout = AddMenuItem(N4, "MenuItemAbout", QStringLiteral("&About..."),
                                QStringLiteral("Copyright information"), QKeySequence(Qt::Key_F2));
    MenuItemWeb = AddMenuItem(N4, "MenuItemWeb", QStringLiteral("Web &site - Home page..."),
                              QStringLiteral("i-Lumerix web site"));

    WhatsThisPopupmenu = new QMenu(this);
    WhatsThisPopupmenu->setObjectName(QStringLiteral("WhatsThisPopupmenu"));
    PopupWhatsThis = WhatsThisPopupmenu->addAction(QStringLiteral("What is it ?"));
    PopupWhatsThis->setObjectName(QStringLiteral("PopupWhatsThis"));
    connect(PopupWhatsThis, &QAction::triggered, this, &TFormMainLE::PopupWhatsThisClick);
}

void TFormMainLE::CreateStatusBar()
{
    statusBar_ = new TStatusBarVideo(centralWidget());
    statusBar_->setProperty("HelpContext", 20120);
    statusBar_->DetectionCount = [this] {
        return detectionCount_;
    };
    statusBar_->HasOptions = [] {
        return false;
    };
    centralWidget()->layout()->addWidget(statusBar_);
}

void TFormMainLE::SetHelpContexts()
{
    PanelButton->setProperty("HelpContext", 6000);
    PanelInfo->setProperty("HelpContext", 20120);
    PanelVideo->setProperty("HelpContext", 20020);
    ImageFreeze->setProperty("HelpContext", 20020);
}

void TFormMainLE::ApplyCommandStates()
{
    const TCommandStates& s = commands_;
    RxSpeedButtonConnect->setEnabled(s.ConnectButton);
    MenuItemConnect->setEnabled(s.ConnectMenu);
    MenuItemPilote->setEnabled(s.Driver);
    RxSpeedButtonFormat->setEnabled(s.FormatButton);
    MenuItemFormat->setEnabled(s.FormatMenu);
    RxSpeedButtonSource->setEnabled(s.SourceButton);
    MenuItemSource->setEnabled(s.SourceMenu);
    RxSpeedButtonDisplay->setEnabled(s.DisplayButton);
    MenuItemDisplay->setEnabled(s.DisplayMenu);
    MenuItemModeVideo->setEnabled(s.PlayPauseMenu);
    RxSpeedButtonPlay->setEnabled(s.PlayButton);
    RxSpeedButtonPause->setEnabled(s.PauseButton);
    RxSpeedButtonAnalyse->setEnabled(s.AnalyseButton);
    MenuItemAnalyse->setEnabled(s.AnalyseMenu);
    RxSpeedButtonScheduler->setEnabled(s.SchedulerActivateButton);
    MenuItemSchedulerActivate->setEnabled(s.SchedulerActivateMenu);
    MenuItemSchedulerEdit->setEnabled(s.SchedulerEdit);
    MenuItemScheduler->menuAction()->setEnabled(s.SchedulerMenu);
    RxSpeedButtonFrame->setEnabled(s.FrameButton);
    MenuItemFrame->setEnabled(s.FrameMenu);
    RxSpeedButtonOptions->setEnabled(s.OptionsButton);
    MenuItemOptions->setEnabled(s.OptionsMenu);
    RxSpeedButtonPreview->setEnabled(s.PreviewButton);
    MenuItemPreview->setEnabled(s.PreviewMenu);
    MenuItemWeb->setEnabled(s.Web);
}

QString TFormMainLE::InfoText() const
{
    return PanelInfo->text();
}

void TFormMainLE::SetInfoText(const QString& text)
{
    infoText_ = text;
    // A clip being written is said at the end of whatever the line says.
    PanelInfo->setText(clips_ && clips_->Recording() ? text + QLatin1String(kClipInfo) : text);
    UpdateInfoToolTip();
}

void TFormMainLE::UpdateInfoToolTip()
{
    // A line wider than the window is read whole in its tool tip.
    const QString text = PanelInfo->text();
    const int room = PanelInfo->contentsRect().width() - 2 * PanelInfo->indent();
    PanelInfo->setToolTip(PanelInfo->fontMetrics().horizontalAdvance(text) > room ? text
                                                                                  : QString());
}

void TFormMainLE::SetDetectionCount(int count)
{
    scan_->SetDetectionCount(count);
}

void TFormMainLE::HandleApplicationError(const QString& message, TErrorSource source)
{
    if (source != TErrorSource::Camera) {
        ShowMessageBox(this, message, MkError, MbOk);
        return;
    }
    SetInfoText(QString());
    SwitchVideoOff();
    OnUncaughtError(commands_);
    ApplyCommandStates();
    ShowMessageBox(this, message, MkError, MbOk);
}

bool TFormMainLE::event(QEvent* event)
{
    if (HandleLumerixEvent(event))
        return true;
    if (event->type() == QEvent::StatusTip) {
        // Hints go to the first status panel, never to tool tips.
        statusBar_->SetPanelText(0, static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TFormMainLE::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    PlaceZoomBox();
    UpdateInfoToolTip();
}

void TFormMainLE::PlaceZoomBox()
{
    // The Zoom box keeps 4 pixels from the tool bar's right edge.
    CheckBoxScaleVideo->move(PanelButton->width() - 4 - CheckBoxScaleVideo->width(),
                             (kToolBarHeight - CheckBoxScaleVideo->height()) / 2);
}

void TFormMainLE::CentreOnScreen()
{
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFormMainLE::ShowAtStart(bool bySession)
{
    minimiseAtStart_ = bySession && options_.AutoStart();
    if (minimiseAtStart_)
        setWindowState(windowState() | Qt::WindowMinimized);
    show();
}

void TFormMainLE::BringToFront()
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
    // The options window, while shown, comes to the front too.
    options_.BringToFront();
}

void TFormMainLE::ConnectCommands()
{
    // A menu item and its button share one handler.
    // An error a command raises is reported at the command's edge.
    const auto both = [this](QAction* item, QToolButton* button, auto handler) {
        if (item)
            connect(item, &QAction::triggered, this, Guarded(handler));
        if (button)
            connect(button, &QToolButton::clicked, this, Guarded(handler));
    };
    both(MenuItemConnect, RxSpeedButtonConnect, [this] { MenuItemConnectClick(); });
    both(MenuItemAnalyse, nullptr, [this] { scan_->RxSpeedButtonAnalyseClick(MenuItemAnalyse); });
    both(nullptr, RxSpeedButtonAnalyse,
         [this] { scan_->RxSpeedButtonAnalyseClick(RxSpeedButtonAnalyse); });
    both(MenuItemFrame, nullptr, [this] {
        RxSpeedButtonFrame->setChecked(!RxSpeedButtonFrame->isChecked());
        MenuItemFrameClick();
    });
    both(nullptr, RxSpeedButtonFrame, [this] { MenuItemFrameClick(); });
    both(MenuItemOptions, RxSpeedButtonOptions, [this] { MenuItemOptionsClick(); });
    both(MenuItemPilote, nullptr, [this] { MenuItemPiloteClick(); });
    both(MenuItemFormat, RxSpeedButtonFormat, [this] { MenuItemFormatClick(); });
    both(MenuItemSource, RxSpeedButtonSource, [this] { MenuItemSourceClick(); });
    both(MenuItemDisplay, RxSpeedButtonDisplay, [this] { MenuItemDisplayClick(); });
    both(MenuItemPreview, RxSpeedButtonPreview, [this] { MenuItemPreviewClick(); });
    both(MenuItemModeVideo, nullptr, [this] { scan_->RxSpeedButtonPauseClick(true); });
    both(nullptr, RxSpeedButtonPlay, [this] { scan_->RxSpeedButtonPauseClick(false); });
    both(nullptr, RxSpeedButtonPause, [this] { scan_->RxSpeedButtonPauseClick(false); });
    both(MenuItemSchedulerActivate, RxSpeedButtonScheduler,
         [this] { scheduler_->MenuItemSchedulerActivateClick(); });
    both(MenuItemSchedulerEdit, nullptr, [this] { scheduler_->MenuItemSchedulerEditClick(this); });
    both(MenuItemWhatsThis, RxSpeedButtonHelp, [this] { RxSpeedButtonHelpClick(); });
    both(MenuItemAide, nullptr, [this] { MenuItemAideClick(); });
    both(MenuItemAbout, nullptr, [this] { MenuItemAboutClick(); });
    both(MenuItemWeb, nullptr, [this] { MenuItemWebClick(); });
    connect(CheckBoxScaleVideo, &QCheckBox::clicked, this,
            Guarded([this] { CheckBoxScaleVideoClick(); }));
}

void TFormMainLE::CreateOptions()
{
    // Before anything reads them: passwords an earlier run left in the
    // settings file are closed to others, or moved into the keyring.
    SecureNetworkCameraPasswords();
    options_.Create(this, helpWindow_, DataPaths().Schedule);
    // The user's network cameras join the driver list, and follow its edits.
    if (TFormOptions* window = options_.Window()) {
        window->OnNetworkCamerasChanged = [this](const QList<TNetworkCamera>& cameras) {
            videoCam_->SetNetworkCameras(cameras);
        };
        // The areas to ignore are painted over the camera's picture as it is.
        window->LivePicture = [this] {
            return videoCam_->GrabImage();
        };
        // A driver is found again by its name, so a network camera's must be
        // no other driver's; the demo camera keeps its name while unplugged.
        window->OtherDriverNames = [this, window] {
            QStringList drivers;
            for (int i = 0; i < CaptureDriver::kMaxDrivers; ++i) {
                if (const auto driver = videoCam_->Driver().driverDescription(i))
                    drivers << driver->name;
            }
            QStringList others = NamesOfOtherDrivers(drivers, window->NetworkCameras());
            const QString demo = QString::fromLatin1(GstCaptureDriver::kDemoCameraName);
            if (!others.contains(demo))
                others << demo;
            return others;
        };
        videoCam_->SetNetworkCameras(window->NetworkCameras());
    } else {
        videoCam_->SetNetworkCameras(ReadNetworkCameras());
    }
    statusBar_->HasOptions = [this] {
        return options_.Exists();
    };
    statusBar_->AlarmState = [this] {
        return StatusBarRules::AlarmState{options_.SoundBusy(), options_.AlarmChecked()};
    };
    statusBar_->AlarmIconClicked = [this] {
        options_.ToggleAlarm();
    };
}

void TFormMainLE::UpdateOptionsDriverLabel()
{
    options_.SetDriverName(chosenDriver_);
}

void TFormMainLE::LoadSettings()
{
    placementRestored_ = !ReadWindowPlacement().NormalRect.isEmpty();
    RestoreWindowPlacement(*this);
    settings_ = ReadMainWindowSettings();
    videoCam_->SetFramesPreview(settings_.FramesPreview);
    videoCam_->SetFramesCapture(settings_.FramesCapture);
    CheckBoxScaleVideo->setChecked(settings_.Zoom);
    webAddress_ = settings_.Web;
    commands_.Web = !webAddress_.isEmpty();
    RxSpeedButtonFrame->setChecked(settings_.Frame.FrameOn);
    MenuItemFrame->setChecked(settings_.Frame.FrameOn);
    if (scanFrame_)
        scanFrame_->SetPercents(
            ScanFrameGeometry::Percents{settings_.Frame.FramePX, settings_.Frame.FramePY,
                                        settings_.Frame.FramePW, settings_.Frame.FramePH});
    SetSchedulerActive(settings_.Scheduler);
    scan_->SetLastImage(settings_.LastImage);
    ApplyCommandStates();
}

void TFormMainLE::SaveSettings()
{
    // A placement that cannot be written must not cost the other settings.
    std::optional<EIlxError> failure;
    try {
        StoreWindowPlacement(*this);
    } catch (const EIlxError& e) {
        failure = e;
    }
    TMainWindowSettings s = settings_;
    s.Zoom = CheckBoxScaleVideo->isChecked();
    s.Driver = chosenDriver_;
    if (scanFrame_) {
        const auto p = scanFrame_->Percents();
        s.Frame.FramePX = p.PX;
        s.Frame.FramePY = p.PY;
        s.Frame.FramePW = p.PW;
        s.Frame.FramePH = p.PH;
    }
    s.Frame.FrameOn = RxSpeedButtonFrame->isChecked();
    s.Scheduler = schedulerActive_;
    s.LastImage = scan_->LastImage();
    try {
        WriteMainWindowSettings(s);
    } catch (const EIlxError& e) {
        if (!failure)
            failure = e;
    }
    if (failure)
        throw *failure;
}

void TFormMainLE::SetPanelHint(const QString& text)
{
    statusBar_->SetPanelText(0, text);
}

void TFormMainLE::SetHint(QWidget* control, const QString& text)
{
    control->setStatusTip(text);
    // The pointer may rest on the control that changed it (the scanning
    // button just clicked): the hint shown must not stay the old one.
    if (control->underMouse() && control->isVisible())
        SetPanelHint(text);
}

bool TFormMainLE::HandleLumerixEvent(QEvent* event)
{
    if (event->type() == WM_LumerixUpdate()) {
        statusBar_->update();
        QCoreApplication::processEvents();
        return true;
    }
    if (event->type() == WM_LumerixSchedule()) {
        const auto* m = static_cast<TMessageEvent*>(event);
        HandleScheduleMessage(m->WParam, m->LParam);
        QCoreApplication::processEvents();
        return true;
    }
    if (event->type() == WM_Lumerix()) {
        BringToFront();
        return true;
    }
    return false;
}

void TFormMainLE::MenuItemOptionsClick()
{
    options_.Show();
    // The options' frequency choice becomes the scan timer's interval, and the
    // delay the scan cycle had built up is dropped.
    scan_->ApplyFrequency(ScanOptions().FrequencyIndex);
}
