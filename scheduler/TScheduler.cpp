#include "TScheduler.h"

#include "EIlxError.h"
#include "Horaires.h"
#include "SchedulerHost.h"
#include "SchedulerTexts.h"
#include "TFormPeriod.h"
#include "TTimeCells.h"

#include <QTimer>

#include <exception>

namespace {

constexpr int kTickInterval = 10000;

// Clears a re-entry flag however the guarded step ends.
class FlagGuard final
{
public:
    explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& flag_;
};

} // namespace

ScheduleSwitch DecideScheduleSwitch(bool schedulerActive, bool videoActive, bool scanning,
                                    bool cellWantsScanning)
{
    if (!schedulerActive || !videoActive || scanning == cellWantsScanning)
        return ScheduleSwitch::None;
    return cellWantsScanning ? ScheduleSwitch::StartScanning : ScheduleSwitch::StopScanning;
}

TScheduler::TScheduler(SchedulerHost& host, QString schedulePath, QObject* parent, QTimer* timer)
    : QObject(parent), host_(host), schedulePath_(std::move(schedulePath)),
      openEditor_(&OpenScheduleEditor)
{
    setObjectName(QStringLiteral("Scheduler"));
    TimerScheduler = timer ? timer : new QTimer(this);
    TimerScheduler->setObjectName(QStringLiteral("TimerScheduler"));
    // Ticks only once the owner's load step is over.
    TimerScheduler->stop();
    TimerScheduler->setInterval(kTickInterval);
    connect(TimerScheduler, &QTimer::timeout, this, &TScheduler::TimerSchedulerTimer);
}

TScheduler::~TScheduler() = default;

bool TScheduler::Setup()
{
    ticking_ = false;
    try {
        cells_ = std::make_unique<TTimeCells>();
        LoadSchedule(*cells_, schedulePath_);
        TimerSchedulerTimer();
        return true;
    } catch (const std::exception&) {
        // No message beyond the file's own: the scheduler just stays out of the run.
        cells_.reset();
        host_.DisableSchedulerCommands();
        return false;
    }
}

void TScheduler::EnableTimer()
{
    TimerScheduler->start();
}

void TScheduler::TimerSchedulerTimer()
{
    // The scanning command lets pending events run, which can bring the
    // next tick in here before this one is done.
    if (ticking_)
        return;
    const FlagGuard guard(ticking_);
    if (!cells_)
        return;

    int timeCell = 0;
    int weekday = 0;
    bool wanted = false;
    GetCurrentCell(*cells_, timeCell, weekday, wanted);

    const bool active = host_.SchedulerActive();
    const bool video = host_.VideoActive();
    if (DecideScheduleSwitch(active, video, host_.Scanning(), wanted) ==
        ScheduleSwitch::StartScanning)
        host_.RunScanningCommand(TimerScheduler);
    if (DecideScheduleSwitch(active, video, host_.Scanning(), wanted) ==
        ScheduleSwitch::StopScanning)
        host_.RunScanningCommand(TimerScheduler);

    QString hint;
    try {
        hint = NextChangeText(*cells_, DayNameTable::French);
    } catch (const std::exception&) {
        hint = QStringLiteral("Date Error");
    }
    host_.SetSchedulerHint(hint);
}

void TScheduler::MenuItemSchedulerActivateClick()
{
    // Scanning follows the new state at the next tick, not at once.
    const bool on = !host_.SchedulerActive();
    host_.SetSchedulerActive(on);
    host_.MirrorSchedulerToOptions(on);
}

void TScheduler::MenuItemSchedulerEditClick(QWidget* owner)
{
    openEditor_(owner, schedulePath_);
    if (cells_)
        LoadSchedule(*cells_, schedulePath_);
    TimerSchedulerTimer();
}

void TScheduler::RxSpeedButtonSchedulerMouseDown(Qt::MouseButton button, bool editEnabled,
                                                 QWidget* owner)
{
    if (button == Qt::RightButton && editEnabled)
        MenuItemSchedulerEditClick(owner);
}

bool TScheduler::HandleScheduleMessage(std::intptr_t wParam, std::intptr_t lParam)
{
    // The on/off state the user chose holds even when the file cannot be read again.
    std::exception_ptr reloadError;
    if (wParam == 1 && cells_) {
        try {
            LoadSchedule(*cells_, schedulePath_);
        } catch (...) {
            reloadError = std::current_exception();
        }
    }
    host_.SetSchedulerActive(lParam == 1);
    if (reloadError)
        std::rethrow_exception(reloadError);
    return true;
}
