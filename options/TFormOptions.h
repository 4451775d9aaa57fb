#pragma once

#include "IgnoreMask.h"
#include "NetworkCameras.h"

#include <QDialog>
#include <QEvent>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QWidget;
class SoundOutput;
class TAlarmLog;
class TDirectoryEdit;
class TFilenameEdit;
class TFormStopAlarm;
class TRadioGroup;
class TSoundThread;
struct TOptionsSettings;

// The "Options" window. Created hidden by the main window at start and kept
// for the whole run: its controls are the program's live settings, read by
// the scan cycle, the picture store and the status bar at the moment they
// need them, so an edit takes effect at once; OK and "&Apply" save them,
// "Cancel" reloads them from the settings files.
//
// It also owns the alarm sound: the sound thread, the alarm log it writes to
// and the stop-alarm window. Everything here runs on the user-interface
// thread; the sound thread talks back only through the posted sound-finished
// event.
class TFormOptions final : public QDialog
{
    Q_OBJECT

public:
    // `appWindow` receives "WM_LumerixUpdate" and "WM_LumerixSchedule"; when
    // none is given they go to the parent. The settings are loaded here.
    explicit TFormOptions(QWidget* parent = nullptr, QObject* appWindow = nullptr);
    ~TFormOptions() override;

    // ---- settings held by the controls (read them where needed) ----
    // Page "Scan"
    QSpinBox* SpinEditLevel = nullptr;
    QSpinBox* SpinEditDelta = nullptr;
    TRadioGroup* RadioGroupStep = nullptr;
    QCheckBox* CheckBoxAuto = nullptr;
    QSpinBox* SpinEditAuto = nullptr;
    QCheckBox* CheckBoxScheduler = nullptr;
    QPushButton* BitBtnSchedulerEdit = nullptr;
    QCheckBox* CheckBoxPause = nullptr;
    QCheckBox* CheckBoxSelectDriver = nullptr;
    QLabel* LabelPilote = nullptr;
    // Page "Pictures"
    TRadioGroup* RadioGroupFrequence = nullptr;
    QLineEdit* LabeledEditPrefix = nullptr;
    QCheckBox* CheckBoxDate = nullptr;
    TDirectoryEdit* DirectoryEditDirImage = nullptr;
    QSlider* TrackBarCompress = nullptr;
    QLabel* LabelCompress = nullptr;
    QPushButton* BitBtnMinus = nullptr;
    QPushButton* BitBtnPlus = nullptr;
    // Page "Alarm"
    QWidget* PaintBoxBip = nullptr;
    QCheckBox* CheckBoxBip = nullptr;
    TFilenameEdit* FilenameEditSound = nullptr;
    QPushButton* BitBtnTestSOUND = nullptr;
    QCheckBox* CheckBoxSoundLoop = nullptr;
    // Page "Log"
    QCheckBox* CheckBoxLogFile = nullptr;
    QPushButton* ButtonSOUNDLog = nullptr;
    // Page "Watch" (beyond the first four)
    // Shows and sets the session start entry (no settings key of its own).
    QCheckBox* CheckBoxSession = nullptr;
    QCheckBox* CheckBoxReconnect = nullptr;
    QCheckBox* CheckBoxIgnoreLight = nullptr;
    QPushButton* BitBtnIgnoreAreas = nullptr; // opens the areas' dialog
    QLabel* LabelIgnoreAreas = nullptr;       // how many parts are ignored
    // The areas the comparison leaves out (held here; the dialog edits them).
    const ::IgnoreMask& IgnoreAreas() const { return ignoreAreas_; }
    QCheckBox* CheckBoxNotify = nullptr;
    QSpinBox* SpinEditKeepDays = nullptr;
    QSpinBox* SpinEditKeepMB = nullptr;
    QCheckBox* CheckBoxClip = nullptr;
    QSpinBox* SpinEditClipBefore = nullptr;
    QSpinBox* SpinEditClipAfter = nullptr;
    // Page "Cameras" (beyond the first four)
    QListWidget* ListBoxCameras = nullptr;
    QPushButton* BitBtnCameraAdd = nullptr;
    QPushButton* BitBtnCameraChange = nullptr;
    QPushButton* BitBtnCameraRemove = nullptr;
    // Bottom panel
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnCancel = nullptr;
    QPushButton* BitBtnApply = nullptr;
    QPushButton* BitBtnHelp = nullptr;
    QTabWidget* PageControl = nullptr;

    // ---- state ----
    bool Modified() const { return modified_; }
    bool SoundBusy() const { return soundBusy_; }
    // Set by the scan cycle once the automatic start happened or was given up.
    bool AutoStartSettled = false;
    // Countdown origin: the tick count at creation, 0 once the box is cleared.
    std::uint32_t AutoStartTick = 0;
    // The box was cleared: the delay counts as long elapsed, whatever the
    // tick counter reads (it starts near 0 with the program).
    bool AutoStartGivenUp = false;

    QString DriverName() const { return driverName_; }
    // The main window tells the driver in use; the label follows.
    void SetDriverName(const QString& name);
    // A second copy of the program asked for the front: only while shown.
    void BringToFront();

    // ---- operations ----
    void LoadSettings();
    // Writes every control to the settings files; an unwritable file raises
    // EIlxError and leaves Modified set.
    void SaveSettings();
    // True when scanning may start by itself now; `text` is the countdown.
    bool AutoStartCountdown(QString& text) const;

    // The alarm sound. Start does nothing while a sound plays; a failure after
    // the thread exists shows "Error create thread..." and returns to idle.
    void StartSoundAlarm(QObject* sender, bool test, bool loop, const QString& soundFile);
    void RequestSoundStop();
    void ReleaseSoundAlarm();
    void SetSoundBusy(bool busy);
    TFormStopAlarm* StopAlarmWindow() const { return stopAlarm_.get(); }
    bool SoundThreadRunning() const { return soundThread_ != nullptr; }

    // The user's network cameras as the page holds them now (saved or not).
    const QList<TNetworkCamera>& NetworkCameras() const { return networkCameras_; }
    void SetNetworkCameras(const QList<TNetworkCamera>& cameras);
    // Told whenever the list changes, loading included.
    std::function<void(const QList<TNetworkCamera>&)> OnNetworkCamerasChanged;
    // The names of every other video driver (the demo camera, the local
    // cameras), which a network camera's name must not take.
    std::function<QStringList()> OtherDriverNames;
    // The camera's picture as it is now, to paint the areas to ignore over.
    std::function<QImage()> LivePicture;
    // Told once OK or "&Apply" wrote the settings: what follows the settings
    // as saved rather than every keystroke (typing 100 passes through 1).
    std::function<void()> OnSettingsSaved;

    // One dated line of the alarm log for an event outside the sound runs (a
    // camera lost or back), written at once even while a sound plays;
    // nothing while logging is off.
    void LogEvent(const QString& line);

    // Where the sound goes (tests give a silent output). Only while idle.
    void SetSoundOutput(std::unique_ptr<SoundOutput> output);

    // ---- collaborators the main window provides ----
    // A help request: `topic` >= 0 as a pop-up at `globalPos`, a negative one
    // opens topic -topic in the help window; Contents opens the contents,
    // Quit closes the help window.
    enum class HelpAction
    {
        Popup,
        Topic,
        Contents,
        Quit
    };
    using HelpHandler = std::function<void(HelpAction action, int topic, QPoint globalPos)>;
    void SetHelpHandler(HelpHandler handler) { helpHandler_ = std::move(handler); }
    // Opens the schedule editor modally (by default the schedule file's editor).
    using ScheduleEditor = std::function<void(QWidget* owner)>;
    void SetScheduleEditor(ScheduleEditor editor) { scheduleEditor_ = std::move(editor); }
    // Starts the text viewer on the log; false when it cannot be started.
    using LogViewer = std::function<bool(const QString& path)>;
    void SetLogViewer(LogViewer viewer) { logViewer_ = std::move(viewer); }

    // The help number of a control: its own, a label's buddy's, else up the
    // parents; 6000 when none is found.
    static int HelpContextOf(const QWidget* control);
    void ShowHelpAt(QWidget* control, QPoint globalPos);

    // ---- handlers ----
    void AControlChange();
    void CheckBoxAutoClick();
    void CheckBoxSchedulerClick();
    void BitBtnSchedulerEditClick();
    void LabeledEditPrefixChange();
    void LabeledEditPrefixExit();
    void TrackBarCompressChange();
    void BitBtnMinusClick();
    void BitBtnPlusClick();
    void DirectoryEditDirImageBeforeDialog();
    void DirectoryEditDirImageAfterDialog(QString& folder, bool& accept);
    void CheckBoxBipClick();
    void FilenameEditSoundChange();
    void BitBtnTestSOUNDClick();
    void ButtonViewLogClick(QPushButton* sender);
    void BitBtnOKClick();
    void BitBtnApplyClick();
    void BitBtnCancelClick();
    void BitBtnHelpClick();
    // The close box: stops a playing sound and hides without saving.
    bool FormCloseQuery();

    void reject() override;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    QWidget* BuildScanPage();
    QWidget* BuildPicturesPage();
    QWidget* BuildAlarmPage();
    QWidget* BuildLogPage();
    QWidget* BuildWatchPage();
    QWidget* BuildCamerasPage();
    void BitBtnCameraAddClick();
    void BitBtnCameraChangeClick();
    void BitBtnCameraRemoveClick();
    void UpdateCameraButtons();
    void EditNetworkCamera(int row);
    void LoadWatchPage(const TOptionsSettings& s);
    void SaveWatchPage(TOptionsSettings& s) const;
    // Writes or removes the session start entry when the box differs from it.
    void SaveSessionStart() const;
    void setIgnoreAreas(const ::IgnoreMask& areas);
    QWidget* BuildBottomPanel();
    void WatchForHelp(QWidget* root);
    void SetModified(bool modified);
    // "Pla&y", the sound file field and "Play in &loop" follow "&Alarm" (idle).
    void UpdateSoundControls();
    void RestoreSoundControls();
    void PostToApp(QEvent::Type type, std::intptr_t wParam, std::intptr_t lParam);
    void PaintBell(QWidget* box);

    QPointer<QObject> appWindow_;
    bool modified_ = false;
    bool loading_ = false;
    bool placed_ = false;
    bool soundBusy_ = false;
    QString driverName_;

    std::unique_ptr<SoundOutput> soundOutput_;
    // Every writer of the alarm log goes through this one; the sound thread
    // borrows it, so it is declared before the thread and outlives it.
    std::unique_ptr<TAlarmLog> alarmLog_;
    std::unique_ptr<TSoundThread> soundThread_;
    QList<TNetworkCamera> networkCameras_;
    ::IgnoreMask ignoreAreas_;
    std::unique_ptr<TFormStopAlarm> stopAlarm_;

    HelpHandler helpHandler_;
    ScheduleEditor scheduleEditor_;
    LogViewer logViewer_;
};
