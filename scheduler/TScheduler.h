#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QTimer;
class QWidget;
class SchedulerHost;
class TTimeCells;

// Whether a scheduler tick must switch scanning, and which way.
enum class ScheduleSwitch
{
    None,
    StartScanning,
    StopScanning
};

// The schedule is enforced: while the scheduler and the video are on, scanning
// is brought in line with the current quarter hour whichever way it differs.
ScheduleSwitch DecideScheduleSwitch(bool schedulerActive, bool videoActive, bool scanning,
                                    bool cellWantsScanning);

// The main window's scheduler: its copy of the weekly schedule, the 10-second
// TimerScheduler and its re-entry guard, and the scheduler commands. Runs on
// the user-interface thread only; the owner supplies the host.
class TScheduler : public QObject
{
    Q_OBJECT

public:
    using EditorOpener = std::function<void(QWidget* owner, const QString& schedulePath)>;

    // timer: the owner's own TimerScheduler to drive, borrowed for the
    // scheduler's lifetime; without one the scheduler makes its own.
    TScheduler(SchedulerHost& host, QString schedulePath, QObject* parent = nullptr,
               QTimer* timer = nullptr);
    ~TScheduler() override;

    // Start-up: the schedule from its file and one tick. When either fails the
    // scheduler goes without a schedule for the run and its commands are greyed.
    bool Setup();
    // The end of the main window's load step: ticks every 10 s from now on.
    void EnableTimer();

    void TimerSchedulerTimer();
    void MenuItemSchedulerActivateClick();
    // Opens the editor modally, then follows the saved file at once.
    void MenuItemSchedulerEditClick(QWidget* owner);
    void RxSpeedButtonSchedulerMouseDown(Qt::MouseButton button, bool editEnabled, QWidget* owner);
    // The schedule message: wParam 1 = the file changed, lParam 1 = scheduler on.
    // Always handled; a failed reload raises EIlxError after the state is set.
    bool HandleScheduleMessage(std::intptr_t wParam, std::intptr_t lParam);

    // Absent when the schedule could not be set up.
    const TTimeCells* Schedule() const { return cells_.get(); }
    const QString& SchedulePath() const { return schedulePath_; }

    // Replaces the modal editor (tests); the default is OpenScheduleEditor.
    void SetEditorOpener(EditorOpener opener) { openEditor_ = std::move(opener); }

    QTimer* TimerScheduler = nullptr;

private:
    SchedulerHost& host_;
    QString schedulePath_;
    std::unique_ptr<TTimeCells> cells_;
    bool ticking_ = false;
    EditorOpener openEditor_;
};
