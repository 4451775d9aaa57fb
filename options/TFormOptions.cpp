#include "TFormOptions.h"

#include "OptionsWidgets.h"

#include "AlarmEvents.h"
#include "Clock.h"
#include "DataPaths.h"
#include "EIlxError.h"
#include "GstSoundOutput.h"
#include "GuardedCommand.h"
#include "LumerixEvents.h"
#include "OpenDocument.h"
#include "OptionsRules.h"
#include "OptionsSettings.h"
#include "ShowMessageBox.h"
#include "TAlarmLog.h"
#include "TDirectoryEdit.h"
#include "TFilenameEdit.h"
#include "TFormPeriod.h"
#include "TFormStopAlarm.h"
#include "TMessageEvent.h"
#include "TRadioGroup.h"
#include "TSessionStart.h"
#include "TSoundThread.h"
#include "TWaitCursor.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kClientWidth = 412;
constexpr int kClientHeight = 375;
constexpr int kTagAlarmSoundLog = 1;

} // namespace

using namespace OptionsWidgets;

TFormOptions::TFormOptions(QWidget* parent, QObject* appWindow)
    : QDialog(parent), appWindow_(appWindow ? appWindow : parent)
{
    setObjectName(QStringLiteral("FormOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    setHelp(PageControl, -40000);
    PageControl->addTab(BuildScanPage(), QStringLiteral("Scan"));
    PageControl->addTab(BuildPicturesPage(), QStringLiteral("Pictures"));
    PageControl->addTab(BuildAlarmPage(), QStringLiteral("Alarm"));
    PageControl->addTab(BuildLogPage(), QStringLiteral("Log"));
    // Pages beyond the four first ones hold what the program grew since.
    PageControl->addTab(BuildWatchPage(), QStringLiteral("Watch"));
    PageControl->addTab(BuildCamerasPage(), QStringLiteral("Cameras"));
    layout->addWidget(PageControl, 1);
    layout->addWidget(BuildBottomPanel());

    soundOutput_ = std::make_unique<GstSoundOutput>();
    alarmLog_ = std::make_unique<TAlarmLog>(DataPaths().SoundLog);
    scheduleEditor_ = [](QWidget* owner) {
        TFormPeriod editor(DataPaths().Schedule, owner);
        editor.exec();
    };
    logViewer_ = [this](const QString& path) {
        // The desktop's opener is waited on for its verdict, so an opener that
        // finds no viewer is a failure, not a silent success.
        try {
            OpenDocument(this, path);
            return true;
        } catch (const EIlxError&) {
            return false;
        }
    };

    // The stop window is a convenience: without it a looping alarm can still
    // be stopped from here.
    try {
        stopAlarm_ = std::make_unique<TFormStopAlarm>();
        stopAlarm_->SetTarget(this);
    } catch (const std::exception&) {
        stopAlarm_.reset();
    }

    WatchForHelp(this);
    LoadSettings();
    PostToApp(WM_LumerixUpdate(), 0, 0);
    PageControl->setCurrentIndex(0);
    AutoStartSettled = false;
    AutoStartTick = IlxTickCount();
    soundBusy_ = false;
}

TFormOptions::~TFormOptions()
{
    // Destroying a running thread ends it without the finished event; it
    // must go before the log and the output it borrows.
    soundThread_.reset();
}

// ---------------------------------------------------------------- pages

QWidget* TFormOptions::BuildScanPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheetScan"));
    setHelp(page, -40100);
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(10, 10, 10, 8);
    grid->setVerticalSpacing(5);

    SpinEditLevel = makeSpin("SpinEditLevel", 0, 100, page);
    setHint(SpinEditLevel, QStringLiteral("% senbility for camera"));
    setHelp(SpinEditLevel, 40110);
    SpinEditDelta = makeSpin("SpinEditDelta", 0, 100, page);
    setHint(SpinEditDelta, QStringLiteral("% of difference between 2 pictures"));
    setHelp(SpinEditDelta, 40120);
    grid->addWidget(makeLabel(QStringLiteral("&Sensibility (%):"), SpinEditLevel, page), 0, 0);
    grid->addWidget(SpinEditLevel, 0, 1, Qt::AlignLeft);
    grid->addWidget(makeLabel(QStringLiteral("&Differences:"), SpinEditDelta, page), 0, 2,
                    Qt::AlignRight);
    grid->addWidget(SpinEditDelta, 0, 3, Qt::AlignLeft);

    RadioGroupStep =
        new TRadioGroup(QStringLiteral("&Resolution:"),
                        {QStringLiteral("Auto"), QStringLiteral("1 (slowest, accurate)"),
                         QStringLiteral("1/2"), QStringLiteral("1/4"), QStringLiteral("1/8"),
                         QStringLiteral("1/16 (faster, less accurate)")},
                        2, page);
    RadioGroupStep->setObjectName(QStringLiteral("RadioGroupStep"));
    setHint(RadioGroupStep, QStringLiteral("Interval of points to analyse"));
    setHelp(RadioGroupStep, 40130);
    grid->addWidget(RadioGroupStep, 1, 0, 1, 4);

    CheckBoxAuto = makeCheck("CheckBoxAuto", QStringLiteral("S&tart scan after"), page);
    setHint(CheckBoxAuto, QStringLiteral("Execute scan at startup"));
    setHelp(CheckBoxAuto, 40140);
    SpinEditAuto = makeSpin("SpinEditAuto", 0, 60, page);
    setHint(SpinEditAuto, QStringLiteral("Waiting time"));
    setHelp(SpinEditAuto, 40140);
    SpinEditAuto->setEnabled(false);
    auto* autoRow = new QHBoxLayout;
    autoRow->addWidget(CheckBoxAuto);
    autoRow->addWidget(SpinEditAuto);
    auto* minute = makeLabel(QStringLiteral("minute"), SpinEditAuto, page);
    autoRow->addWidget(minute);
    autoRow->addStretch(1);
    grid->addLayout(autoRow, 2, 0, 1, 4);

    CheckBoxScheduler = makeCheck("CheckBoxScheduler", QStringLiteral("&Use scheduler"), page);
    setHint(CheckBoxScheduler, QStringLiteral("Do scan according scheduler"));
    setHelp(CheckBoxScheduler, 20210);
    BitBtnSchedulerEdit = new QPushButton(QStringLiteral("Edi&t"), page);
    BitBtnSchedulerEdit->setObjectName(QStringLiteral("BitBtnSchedulerEdit"));
    BitBtnSchedulerEdit->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    BitBtnSchedulerEdit->setAutoDefault(false);
    setHelp(BitBtnSchedulerEdit, 20210);
    auto* schedRow = new QHBoxLayout;
    schedRow->addWidget(CheckBoxScheduler);
    schedRow->addWidget(BitBtnSchedulerEdit);
    schedRow->addStretch(1);
    grid->addLayout(schedRow, 3, 0, 1, 4);

    CheckBoxPause =
        makeCheck("CheckBoxPause", QStringLiteral("Set &pause on scanning (faster)"), page);
    setHint(CheckBoxPause, QStringLiteral("Accelerate scanning when paused"));
    setHelp(CheckBoxPause, 40150);
    grid->addWidget(CheckBoxPause, 4, 0, 1, 4);

    CheckBoxSelectDriver = makeCheck("CheckBoxSelectDriver",
                                     QStringLiteral("Select video &driver when start-up"), page);
    setHint(CheckBoxSelectDriver, QStringLiteral("Select video driver"));
    setHelp(CheckBoxSelectDriver, 40160);
    grid->addWidget(CheckBoxSelectDriver, 5, 0, 1, 4);

    LabelPilote = new QLabel(OptionsRules::DriverLabel(QString()), page);
    LabelPilote->setObjectName(QStringLiteral("LabelPilote"));
    LabelPilote->setProperty(kTag, 6000);
    setHint(LabelPilote, QStringLiteral("Current video driver"));
    QPalette navy = LabelPilote->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    LabelPilote->setPalette(navy);
    grid->addWidget(LabelPilote, 6, 0, 1, 4);
    grid->setRowStretch(7, 1);
    grid->setColumnStretch(2, 1);

    for (QSpinBox* spin : {SpinEditLevel, SpinEditDelta, SpinEditAuto})
        connect(spin, &QSpinBox::valueChanged, this, &TFormOptions::AControlChange);
    connect(RadioGroupStep, &TRadioGroup::ItemIndexChanged, this, &TFormOptions::AControlChange);
    // Toggled rather than clicked: a box set from code runs its handler as a
    // user click does, which the main window relies on for "&Use scheduler".
    connect(CheckBoxAuto, &QCheckBox::toggled, this, &TFormOptions::CheckBoxAutoClick);
    connect(CheckBoxScheduler, &QCheckBox::toggled, this, &TFormOptions::CheckBoxSchedulerClick);
    connect(BitBtnSchedulerEdit, &QPushButton::clicked, this,
            Guarded([this] { BitBtnSchedulerEditClick(); }));
    connect(CheckBoxPause, &QCheckBox::toggled, this, &TFormOptions::AControlChange);
    connect(CheckBoxSelectDriver, &QCheckBox::toggled, this, &TFormOptions::AControlChange);
    return page;
}

QWidget* TFormOptions::BuildPicturesPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheetPictures"));
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(10, 10, 10, 8);
    grid->setVerticalSpacing(6);

    RadioGroupFrequence = new TRadioGroup(
        QStringLiteral("&Frequency"),
        {QStringLiteral("Auto delay"), QStringLiteral("2 pictures /sec"),
         QStringLiteral("1 picture /sec"), QStringLiteral("1 picture every 5 sec"),
         QStringLiteral("1 picture every 30 sec"), QStringLiteral("1 picture every 1 min")},
        2, page);
    RadioGroupFrequence->setObjectName(QStringLiteral("RadioGroupFrequence"));
    setHint(RadioGroupFrequence, QStringLiteral("Elapsed time between 2 pictures scanned"));
    setHelp(RadioGroupFrequence, 41110);
    grid->addWidget(RadioGroupFrequence, 0, 0, 1, 4);

    LabeledEditPrefix = new QLineEdit(page);
    LabeledEditPrefix->setObjectName(QStringLiteral("LabeledEditPrefix"));
    LabeledEditPrefix->setMaxLength(OptionsRules::kPrefixMaxLength);
    LabeledEditPrefix->setMaximumWidth(60);
    setHint(LabeledEditPrefix, QStringLiteral("Prefix for picture filename"));
    setHelp(LabeledEditPrefix, 41120);
    grid->addWidget(makeLabel(QStringLiteral("&Picture prefix:"), LabeledEditPrefix, page), 1, 0);
    grid->addWidget(LabeledEditPrefix, 1, 1, Qt::AlignLeft);

    CheckBoxDate = makeCheck("CheckBoxDate", QStringLiteral("Date and &Time on the picture"), page);
    setHint(CheckBoxDate, QStringLiteral("Add date and time on picture"));
    setHelp(CheckBoxDate, 41130);
    grid->addWidget(CheckBoxDate, 1, 2, 1, 2);

    DirectoryEditDirImage = new TDirectoryEdit(page);
    DirectoryEditDirImage->setObjectName(QStringLiteral("DirectoryEditDirImage"));
    setHint(DirectoryEditDirImage, QStringLiteral("Folder for pictures"));
    setHint(DirectoryEditDirImage->Button(), QStringLiteral("Select folder for pictures"));
    setHelp(DirectoryEditDirImage, 41140);
    grid->addWidget(makeLabel(QStringLiteral("Pictures &Folder:"), DirectoryEditDirImage, page), 2,
                    0, 1, 4);
    grid->addWidget(DirectoryEditDirImage, 3, 0, 1, 4);

    TrackBarCompress = new QSlider(Qt::Horizontal, page);
    TrackBarCompress->setObjectName(QStringLiteral("TrackBarCompress"));
    TrackBarCompress->setRange(0, 100);
    TrackBarCompress->setTickPosition(QSlider::TicksBelow);
    TrackBarCompress->setTickInterval(5);
    TrackBarCompress->setPageStep(5);
    setHint(TrackBarCompress, QStringLiteral("Picture quality / jpg compression"));
    setHelp(TrackBarCompress, 41150);
    LabelCompress = makeLabel(OptionsRules::QualityCaption(0), TrackBarCompress, page);
    LabelCompress->setObjectName(QStringLiteral("LabelCompress"));
    LabelCompress->setMinimumWidth(56);
    BitBtnMinus = new QPushButton(page);
    BitBtnMinus->setObjectName(QStringLiteral("BitBtnMinus"));
    BitBtnMinus->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    setHint(BitBtnMinus, QStringLiteral("Less quality, best compression"));
    setHelp(BitBtnMinus, 41150);
    BitBtnPlus = new QPushButton(page);
    BitBtnPlus->setObjectName(QStringLiteral("BitBtnPlus"));
    BitBtnPlus->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    setHint(BitBtnPlus, QStringLiteral("Best quality, less compression"));
    setHelp(BitBtnPlus, 41150);
    for (QPushButton* b : {BitBtnMinus, BitBtnPlus}) {
        b->setFixedSize(26, 26);
        b->setAutoDefault(false);
    }
    auto* quality = new QHBoxLayout;
    quality->addWidget(LabelCompress);
    quality->addWidget(BitBtnMinus);
    quality->addWidget(TrackBarCompress, 1);
    quality->addWidget(BitBtnPlus);
    grid->addLayout(quality, 4, 0, 1, 4);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(3, 1);

    connect(RadioGroupFrequence, &TRadioGroup::ItemIndexChanged, this,
            &TFormOptions::AControlChange);
    connect(LabeledEditPrefix, &QLineEdit::textChanged, this,
            &TFormOptions::LabeledEditPrefixChange);
    connect(CheckBoxDate, &QCheckBox::toggled, this, &TFormOptions::AControlChange);
    DirectoryEditDirImage->OnBeforeDialog = [this] {
        DirectoryEditDirImageBeforeDialog();
    };
    DirectoryEditDirImage->OnAfterDialog = [this](QString& folder, bool& accept) {
        DirectoryEditDirImageAfterDialog(folder, accept);
    };
    connect(DirectoryEditDirImage, &TDirectoryEdit::Changed, this, &TFormOptions::AControlChange);
    connect(TrackBarCompress, &QSlider::valueChanged, this, &TFormOptions::TrackBarCompressChange);
    connect(BitBtnMinus, &QPushButton::clicked, this, &TFormOptions::BitBtnMinusClick);
    connect(BitBtnPlus, &QPushButton::clicked, this, &TFormOptions::BitBtnPlusClick);
    return page;
}

QWidget* TFormOptions::BuildAlarmPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheetAlarm"));
    setHelp(page, -41200);
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(10, 10, 10, 8);
    grid->setVerticalSpacing(8);
    grid->addWidget(new QLabel(QStringLiteral("Execute on detection:"), page), 0, 0, 1, 3);

    PaintBoxBip = new QWidget(page);
    PaintBoxBip->setObjectName(QStringLiteral("PaintBoxBip"));
    PaintBoxBip->setFixedSize(16, 16);
    PaintBoxBip->setProperty(kTag, 41210);
    PaintBoxBip->installEventFilter(this);
    CheckBoxBip = makeCheck("CheckBoxBip", QStringLiteral("&Alarm"), page);
    setHint(CheckBoxBip, QStringLiteral("Beep"));
    setHelp(CheckBoxBip, 41210);
    auto* bipRow = new QHBoxLayout;
    bipRow->addWidget(PaintBoxBip);
    bipRow->addWidget(CheckBoxBip);
    bipRow->addStretch(1);
    grid->addLayout(bipRow, 1, 0, 1, 3);

    FilenameEditSound = new TFilenameEdit(page);
    FilenameEditSound->setObjectName(QStringLiteral("FilenameEditSound"));
    setHint(FilenameEditSound, QStringLiteral("Sound file to play"));
    setHelp(FilenameEditSound, 41214);
    BitBtnTestSOUND = new QPushButton(QStringLiteral("Pla&y"), page);
    BitBtnTestSOUND->setObjectName(QStringLiteral("BitBtnTestSOUND"));
    BitBtnTestSOUND->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    BitBtnTestSOUND->setAutoDefault(false);
    BitBtnTestSOUND->setMinimumWidth(76);
    setHelp(BitBtnTestSOUND, 41216);
    auto* soundRow = new QHBoxLayout;
    soundRow->setContentsMargins(22, 0, 0, 0);
    soundRow->addWidget(FilenameEditSound, 1);
    soundRow->addWidget(BitBtnTestSOUND);
    grid->addLayout(soundRow, 2, 0, 1, 3);

    CheckBoxSoundLoop = makeCheck("CheckBoxSoundLoop", QStringLiteral("Play in &loop"), page);
    setHint(CheckBoxSoundLoop, QStringLiteral("Alarm repeatedly"));
    setHelp(CheckBoxSoundLoop, 41212);
    auto* loopRow = new QHBoxLayout;
    loopRow->setContentsMargins(22, 0, 0, 0);
    loopRow->addWidget(CheckBoxSoundLoop);
    grid->addLayout(loopRow, 3, 0, 1, 3);
    grid->setRowStretch(4, 1);

    connect(CheckBoxBip, &QCheckBox::toggled, this, &TFormOptions::CheckBoxBipClick);
    connect(FilenameEditSound, &TFilenameEdit::Changed, this,
            &TFormOptions::FilenameEditSoundChange);
    connect(BitBtnTestSOUND, &QPushButton::clicked, this, &TFormOptions::BitBtnTestSOUNDClick);
    connect(CheckBoxSoundLoop, &QCheckBox::toggled, this, &TFormOptions::AControlChange);
    return page;
}

QWidget* TFormOptions::BuildLogPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheetLog"));
    setHelp(page, 41800);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(10, 10, 10, 8);

    CheckBoxLogFile =
        makeCheck("CheckBoxLogFile", QStringLiteral("&Create a logfile of activities"), page);
    setHint(CheckBoxLogFile, QStringLiteral("Create logfile for connection"));
    setHelp(CheckBoxLogFile, 41270);
    column->addWidget(CheckBoxLogFile);
    column->addSpacing(8);
    column->addWidget(new QLabel(QStringLiteral("View file:"), page));

    auto* frame = new QGroupBox(page);
    frame->setObjectName(QStringLiteral("GroupBoxViewLog"));
    auto* frameRow = new QHBoxLayout(frame);
    ButtonSOUNDLog = new QPushButton(QStringLiteral("&Alarm Sound"), frame);
    ButtonSOUNDLog->setObjectName(QStringLiteral("ButtonSOUNDLog"));
    ButtonSOUNDLog->setProperty(kTag, kTagAlarmSoundLog);
    ButtonSOUNDLog->setAutoDefault(false);
    setHint(ButtonSOUNDLog, QStringLiteral("View logfile"));
    setHelp(ButtonSOUNDLog, 6000);
    frameRow->addWidget(ButtonSOUNDLog);
    frameRow->addStretch(1);
    column->addWidget(frame);
    column->addStretch(1);

    connect(CheckBoxLogFile, &QCheckBox::toggled, this, &TFormOptions::AControlChange);
    connect(ButtonSOUNDLog, &QPushButton::clicked, this,
            Guarded([this] { ButtonViewLogClick(ButtonSOUNDLog); }));
    return page;
}

QWidget* TFormOptions::BuildBottomPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("PanelBottom"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 2, 0, 0);
    BitBtnOK = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                               QStringLiteral("OK"), panel);
    BitBtnOK->setObjectName(QStringLiteral("BitBtnOK"));
    setHint(BitBtnOK, QStringLiteral("Validate change"));
    BitBtnOK->setDefault(true);
    BitBtnCancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                   QStringLiteral("Cancel"), panel);
    BitBtnCancel->setObjectName(QStringLiteral("BitBtnCancel"));
    BitBtnApply = new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton),
                                  QStringLiteral("&Apply"), panel);
    BitBtnApply->setObjectName(QStringLiteral("BitBtnApply"));
    BitBtnApply->setEnabled(false);
    BitBtnHelp = new QPushButton(style()->standardIcon(QStyle::SP_DialogHelpButton),
                                 QStringLiteral("Help"), panel);
    BitBtnHelp->setObjectName(QStringLiteral("BitBtnHelp"));
    for (QPushButton* b : {BitBtnCancel, BitBtnApply, BitBtnHelp}) {
        setHint(b, QStringLiteral("Cancel change"));
        b->setAutoDefault(false);
    }
    row->addStretch(1);
    for (QPushButton* b : {BitBtnOK, BitBtnCancel, BitBtnApply, BitBtnHelp})
        row->addWidget(b);

    connect(BitBtnOK, &QPushButton::clicked, this, Guarded([this] { BitBtnOKClick(); }));
    connect(BitBtnCancel, &QPushButton::clicked, this, Guarded([this] { BitBtnCancelClick(); }));
    connect(BitBtnApply, &QPushButton::clicked, this, Guarded([this] { BitBtnApplyClick(); }));
    connect(BitBtnHelp, &QPushButton::clicked, this, &TFormOptions::BitBtnHelpClick);
    return panel;
}

// ---------------------------------------------------------------- settings

void TFormOptions::LoadSettings()
{
    const TWaitCursor hourglass;
    loading_ = true;
    const TOptionsSettings s = ReadOptions();

    SpinEditLevel->setValue(std::clamp(s.Sensibility, 0, 100));
    SpinEditDelta->setValue(std::clamp(s.Delta, 0, 100));
    RadioGroupStep->SetItemIndex(std::clamp(s.Sharpness, 0, 5));
    CheckBoxAuto->setChecked(s.Auto);
    SpinEditAuto->setValue(std::clamp(s.Delay, 0, 60));
    SpinEditAuto->setEnabled(CheckBoxAuto->isChecked());
    CheckBoxPause->setChecked(s.Pause);
    CheckBoxSelectDriver->setChecked(s.Select);
    SetDriverName(s.Driver);
    CheckBoxScheduler->setChecked(s.Scheduler);

    RadioGroupFrequence->SetItemIndex(std::clamp(s.Frequency, 0, 5));
    LabeledEditPrefix->setText(s.Prefix);
    CheckBoxDate->setChecked(s.Date);
    if (s.FolderExists) {
        DirectoryEditDirImage->SetText(s.Folder);
        DirectoryEditDirImage->InitialDir = s.Folder;
    } else {
        DirectoryEditDirImage->SetText(QString());
        DirectoryEditDirImage->InitialDir = DataPaths().ProgramFolder;
    }
    TrackBarCompress->setValue(std::clamp(s.Quality, 0, 100));
    LabelCompress->setText(OptionsRules::QualityCaption(TrackBarCompress->value()));

    CheckBoxBip->setChecked(s.Beep);
    if (!s.Wav.isEmpty() && QFileInfo(s.Wav).isFile()) {
        FilenameEditSound->SetText(s.Wav);
        const QString folder = QFileInfo(s.Wav).absolutePath();
        FilenameEditSound->InitialDir =
            QFileInfo(folder).isDir() ? folder : DataPaths().ProgramFolder;
    } else {
        FilenameEditSound->SetText(QString());
        FilenameEditSound->InitialDir = DataPaths().ProgramFolder;
    }
    CheckBoxSoundLoop->setChecked(s.Loop);
    CheckBoxLogFile->setChecked(s.Log);
    LoadWatchPage(s);
    SetNetworkCameras(ReadNetworkCameras());
    UpdateSoundControls();

    loading_ = false;
    PostToApp(WM_LumerixUpdate(), 0, 0);
    SetModified(false);
}

void TFormOptions::SaveSettings()
{
    const TWaitCursor hourglass;
    TOptionsSettings s;
    s.Sensibility = SpinEditLevel->value();
    s.Delta = SpinEditDelta->value();
    s.Sharpness = std::max(RadioGroupStep->ItemIndex(), 0);
    s.Auto = CheckBoxAuto->isChecked();
    s.Delay = SpinEditAuto->value();
    s.Pause = CheckBoxPause->isChecked();
    s.Select = CheckBoxSelectDriver->isChecked();
    s.Driver = driverName_;
    s.Scheduler = CheckBoxScheduler->isChecked();
    s.Frequency = std::max(RadioGroupFrequence->ItemIndex(), 0);
    s.Prefix = LabeledEditPrefix->text();
    s.Folder = DirectoryEditDirImage->Text();
    s.Date = CheckBoxDate->isChecked();
    s.Quality = TrackBarCompress->value();
    s.Beep = CheckBoxBip->isChecked();
    s.Wav = FilenameEditSound->Text();
    s.Loop = CheckBoxSoundLoop->isChecked();
    s.Log = CheckBoxLogFile->isChecked();
    SaveWatchPage(s);
    // A failed write raises; the options then stay marked as modified. The
    // session entry goes first: when it fails, nothing is saved.
    SaveSessionStart();
    WriteOptions(s);
    WriteNetworkCameras(networkCameras_);
    SetModified(false);
    if (OnSettingsSaved)
        OnSettingsSaved();
}

void TFormOptions::SetDriverName(const QString& name)
{
    driverName_ = name;
    LabelPilote->setText(OptionsRules::DriverLabel(name));
}

bool TFormOptions::AutoStartCountdown(QString& text) const
{
    if (!CheckBoxAuto->isChecked()) {
        text.clear();
        return true;
    }
    const qint64 remaining =
        AutoStartGivenUp ? 0
                         : OptionsRules::AutoStartRemainingMs(SpinEditAuto->value(), IlxTickCount(),
                                                              AutoStartTick);
    text = OptionsRules::AutoStartText(remaining);
    return remaining == 0;
}

void TFormOptions::SetModified(bool modified)
{
    modified_ = modified;
    BitBtnApply->setEnabled(modified);
}

void TFormOptions::PostToApp(QEvent::Type type, std::intptr_t wParam, std::intptr_t lParam)
{
    if (appWindow_)
        QCoreApplication::postEvent(appWindow_.data(), new TMessageEvent(type, wParam, lParam));
}

// ---------------------------------------------------------------- handlers

void TFormOptions::AControlChange()
{
    SetModified(true);
}

void TFormOptions::CheckBoxAutoClick()
{
    SpinEditAuto->setEnabled(CheckBoxAuto->isChecked());
    if (!CheckBoxAuto->isChecked()) {
        AutoStartTick = 0;
        AutoStartGivenUp = true;
    }
    AControlChange();
}

void TFormOptions::CheckBoxSchedulerClick()
{
    PostToApp(WM_LumerixSchedule(), 0, CheckBoxScheduler->isChecked() ? 1 : 0);
    AControlChange();
}

void TFormOptions::BitBtnSchedulerEditClick()
{
    if (scheduleEditor_)
        scheduleEditor_(this);
    PostToApp(WM_LumerixSchedule(), 1, CheckBoxScheduler->isChecked() ? 1 : 0);
}

void TFormOptions::LabeledEditPrefixChange()
{
    // A paste bypasses the key filter: keep only what a typed prefix may hold,
    // so no picture name ever gets a separator or a blank from here.
    const QString text = LabeledEditPrefix->text();
    const QString kept = OptionsRules::TypedPrefix(text);
    if (kept != text) {
        LabeledEditPrefix->setText(kept);
        return; // the change above runs this handler again
    }
    AControlChange();
}

void TFormOptions::LabeledEditPrefixExit()
{
    if (LabeledEditPrefix->text().isEmpty())
        LabeledEditPrefix->setText(QString::fromLatin1(OptionsRules::kDefaultPrefix));
}

void TFormOptions::TrackBarCompressChange()
{
    LabelCompress->setText(OptionsRules::QualityCaption(TrackBarCompress->value()));
    AControlChange();
}

void TFormOptions::BitBtnMinusClick()
{
    TrackBarCompress->setValue(TrackBarCompress->value() - 1);
    TrackBarCompressChange();
}

void TFormOptions::BitBtnPlusClick()
{
    TrackBarCompress->setValue(TrackBarCompress->value() + 1);
    TrackBarCompressChange();
}

void TFormOptions::DirectoryEditDirImageBeforeDialog()
{
    QString folder = DirectoryEditDirImage->Text();
    if (folder.isEmpty())
        return;
    if (folder.endsWith(u'/') && folder.size() > 1)
        folder.chop(1);
    if (QFileInfo(folder).isDir()) {
        DirectoryEditDirImage->SetText(folder);
        DirectoryEditDirImage->InitialDir = folder;
    }
}

void TFormOptions::DirectoryEditDirImageAfterDialog(QString& folder, bool& accept)
{
    if (!accept || folder.isEmpty())
        return;
    QString chosen = folder;
    if (chosen.endsWith(u'/') && chosen.size() > 1)
        chosen.chop(1);
    if (QFileInfo(chosen).isDir()) {
        folder = chosen;
        DirectoryEditDirImage->InitialDir = chosen;
    } else {
        accept = false;
    }
}

void TFormOptions::CheckBoxBipClick()
{
    PostToApp(WM_LumerixUpdate(), 0, 0);
    UpdateSoundControls();
    AControlChange();
}

void TFormOptions::FilenameEditSoundChange()
{
    AControlChange();
}

void TFormOptions::ButtonViewLogClick(QPushButton* sender)
{
    if (!sender || sender->property(kTag).toInt() != kTagAlarmSoundLog)
        return;
    const QString path = DataPaths().SoundLog;
    if (!QFileInfo(path).isFile()) {
        QApplication::beep();
        ShowMessageBox(this, OptionsRules::LogNotFoundText(QDir::toNativeSeparators(path)),
                       MkWarning, MbOk);
        return;
    }
    if (!logViewer_ || !logViewer_(path))
        ShowMessageBox(this, OptionsRules::LogOpenFailedText(QDir::toNativeSeparators(path)),
                       MkWarning, MbOk);
}

void TFormOptions::BitBtnOKClick()
{
    if (modified_)
        SaveSettings();
    hide();
}

void TFormOptions::BitBtnApplyClick()
{
    SaveSettings();
}

void TFormOptions::BitBtnCancelClick()
{
    hide();
    QCoreApplication::processEvents();
    LoadSettings();
}

void TFormOptions::BitBtnHelpClick()
{
    if (helpHandler_)
        helpHandler_(HelpAction::Contents, 0, QPoint());
}

void TFormOptions::reject()
{
    // Escape is the Cancel button.
    BitBtnCancelClick();
}

void TFormOptions::closeEvent(QCloseEvent* e)
{
    // The close box hides without saving or reloading: the edits stay in
    // effect. The base class would treat it as Cancel.
    FormCloseQuery();
    if (helpHandler_)
        helpHandler_(HelpAction::Quit, 0, QPoint());
    hide();
    e->accept();
}

// ---------------------------------------------------------------- events

bool TFormOptions::event(QEvent* e)
{
    if (e->type() == WM_Lumerix()) {
        BringToFront();
        return true;
    }
    if (e->type() == kSoundFinishedEvent) {
        ReleaseSoundAlarm();
        return true;
    }
    if (e->type() == kStopRequestEvent) {
        if (soundThread_)
            RequestSoundStop();
        return true;
    }
    return QDialog::event(e);
}

void TFormOptions::showEvent(QShowEvent* e)
{
    // Centred on the screen the first time, wherever the user moves it later.
    if (!placed_) {
        placed_ = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    // Unless edited, the session box shows the entry as it is now.
    if (!modified_) {
        const QSignalBlocker quiet(CheckBoxSession);
        CheckBoxSession->setChecked(TSessionStart::ForThisCopy().IsOn());
    }
    QDialog::showEvent(e);
}

void TFormOptions::BringToFront()
{
    if (!isVisible())
        return;
    if (QWidget* top = parentWidget(); top && top->isMinimized())
        top->showNormal();
    raise();
    activateWindow();
}
