#include "Clock.h"
#include "EIlxError.h"
#include "Horaires.h"
#include "ScheduleTestSupport.h"
#include "SchedulerHost.h"
#include "SchedulerTexts.h"
#include "ScratchDir.h"
#include "TScheduler.h"
#include "TTimeCells.h"

#include <QDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int Sunday = 1, Monday = 2, Friday = 6, Saturday = 7;

// A main window reduced to what the scheduler reads and switches.
class FakeMainWindow : public SchedulerHost
{
public:
    bool SchedulerActive() const override { return schedulerOn; }
    void SetSchedulerActive(bool on) override
    {
        schedulerOn = on;
        ++stateSets;
    }
    bool VideoActive() const override { return videoOn; }
    bool Scanning() const override { return scanning; }
    void RunScanningCommand(QObject* sender) override
    {
        senders.push_back(sender);
        scanning = !scanning;
        if (duringCommand)
            duringCommand();
    }
    void SetSchedulerHint(const QString& text) override
    {
        hint = text;
        ++hints;
    }
    void DisableSchedulerCommands() override { commandsDisabled = true; }
    void MirrorSchedulerToOptions(bool on) override { optionsBox = on; }

    bool schedulerOn = false;
    bool videoOn = false;
    bool scanning = false;
    bool commandsDisabled = false;
    bool optionsBox = false;
    int stateSets = 0;
    int hints = 0;
    QString hint = QStringLiteral("Activate/deactivate scheduler");
    std::vector<QObject*> senders;
    std::function<void()> duringCommand;
};

class SchedulerTimer : public ::testing::Test
{
protected:
    void SetUp() override { PinNow(WeekMoment(Monday, 17, 0)); }
    void TearDown() override { SetClockSource({}); }

    QString path() const { return dir.file("iLXLE_SCHEDULE.DAT"); }
    void writeSchedule(const TTimeCells& cells) const { ASSERT_TRUE(SaveSchedule(cells, path())); }

    ScratchDir dir;
    FakeMainWindow window;
};

TEST(ScheduleSwitchDecision, EnforcesTheCellOnlyWithSchedulerAndVideoOn)
{
    using S = ScheduleSwitch;
    EXPECT_EQ(DecideScheduleSwitch(true, true, false, true), S::StartScanning);
    EXPECT_EQ(DecideScheduleSwitch(true, true, true, false), S::StopScanning);
    EXPECT_EQ(DecideScheduleSwitch(true, true, true, true), S::None);
    EXPECT_EQ(DecideScheduleSwitch(true, true, false, false), S::None);
    for (bool scanning : {false, true})
        for (bool wanted : {false, true}) {
            EXPECT_EQ(DecideScheduleSwitch(false, true, scanning, wanted), S::None);
            EXPECT_EQ(DecideScheduleSwitch(true, false, scanning, wanted), S::None);
        }
}

TEST_F(SchedulerTimer, HintTellsTheNextProgrammedChangeInFrench)
{
    TTimeCells cells;
    cells.SetCell(72, Monday, false); // Monday 18:00-18:15 off
    const auto hintFor = [&](const TTimeCells& c) {
        writeSchedule(c);
        TScheduler scheduler(window, path());
        EXPECT_TRUE(scheduler.Setup());
        return window.hint;
    };
    EXPECT_EQ(hintFor(cells), "Next programmed Stop: Lundi 18:00 (Today)");
    EXPECT_EQ(hintFor(TTimeCells()), "No stop programmed");
    TTimeCells off;
    off.Fill(false);
    EXPECT_EQ(hintFor(off), "No scan programmed");
    off.SetCell(9, Friday, true);
    EXPECT_EQ(hintFor(off), "Next programmed Scan: Vendredi 02:15");

    // The only differing cell lies earlier today: it is a week ahead, yet "today".
    TTimeCells earlier;
    earlier.SetCell(10, Monday, false);
    EXPECT_EQ(hintFor(earlier), "Next programmed Stop: Lundi 02:30 (Today)");

    // The editor's wording of the same search.
    EXPECT_EQ(NextChangeText(cells, DayNameTable::English),
              "Next programmed Stop: Monday 18:00 (Today)");
}

TEST_F(SchedulerTimer, StartsAndStopsScanningByTheScheduleWhileVideoIsOn)
{
    TTimeCells cells;
    SetSpan(cells, Monday, 72, 95, false); // off from 18:00
    writeSchedule(cells);
    TScheduler scheduler(window, path());
    ASSERT_TRUE(scheduler.Setup());
    window.schedulerOn = true;
    window.videoOn = true;

    scheduler.TimerSchedulerTimer();
    EXPECT_TRUE(window.scanning);
    ASSERT_EQ(window.senders.size(), 1u);
    EXPECT_EQ(window.senders[0], scheduler.TimerScheduler);

    scheduler.TimerSchedulerTimer();
    EXPECT_EQ(window.senders.size(), 1u) << "already in line: nothing to switch";

    PinNow(WeekMoment(Monday, 18, 0, 5));
    scheduler.TimerSchedulerTimer();
    EXPECT_FALSE(window.scanning);
    EXPECT_EQ(window.hint, "Next programmed Scan: Mardi 00:00");

    // Started by hand outside the period: stopped again at the next tick.
    window.scanning = true;
    scheduler.TimerSchedulerTimer();
    EXPECT_FALSE(window.scanning);

    // Stopped by hand inside a period: started again.
    PinNow(WeekMoment(Monday, 17, 59, 59));
    scheduler.TimerSchedulerTimer();
    EXPECT_TRUE(window.scanning);
    window.scanning = false;
    scheduler.TimerSchedulerTimer();
    EXPECT_TRUE(window.scanning);
}

TEST_F(SchedulerTimer, LeavesScanningAloneWithVideoOrSchedulerOffButKeepsTheHint)
{
    TTimeCells cells;
    cells.Fill(false);
    writeSchedule(cells);
    TScheduler scheduler(window, path());
    ASSERT_TRUE(scheduler.Setup());
    window.scanning = true;

    window.schedulerOn = true;
    window.videoOn = false;
    scheduler.TimerSchedulerTimer();
    window.schedulerOn = false;
    window.videoOn = true;
    scheduler.TimerSchedulerTimer();
    EXPECT_TRUE(window.senders.empty());
    EXPECT_TRUE(window.scanning);
    EXPECT_EQ(window.hint, "No scan programmed");

    cells.SetCell(80, Monday, true);
    writeSchedule(cells);
    scheduler.HandleScheduleMessage(1, 0);
    scheduler.TimerSchedulerTimer();
    EXPECT_EQ(window.hint, "Next programmed Scan: Lundi 20:00 (Today)");
    EXPECT_TRUE(window.senders.empty());
}

TEST_F(SchedulerTimer, TickStartedFromInsideTheScanningCommandDoesNothing)
{
    TScheduler scheduler(window, path());
    ASSERT_TRUE(scheduler.Setup());
    window.schedulerOn = true;
    window.videoOn = true;
    int hintsBefore = 0;
    window.duringCommand = [&] {
        hintsBefore = window.hints;
        scheduler.TimerSchedulerTimer();
        EXPECT_EQ(window.hints, hintsBefore) << "a nested tick must return at once";
    };
    scheduler.TimerSchedulerTimer();
    EXPECT_EQ(window.senders.size(), 1u);
    EXPECT_TRUE(window.scanning);

    // The guard is cleared even when the scanning command fails.
    window.scanning = false;
    window.duringCommand = [] {
        throw EIlxError("capture failed");
    };
    EXPECT_THROW(scheduler.TimerSchedulerTimer(), EIlxError);
    window.duringCommand = nullptr;
    window.scanning = false;
    scheduler.TimerSchedulerTimer();
    EXPECT_TRUE(window.scanning);
}

TEST_F(SchedulerTimer, UnreadableScheduleGreysTheCommandsAndNeverSwitches)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("iLXLE_SCHEDULE.DAT"));
    TScheduler scheduler(window, path());
    EXPECT_FALSE(scheduler.Setup());
    EXPECT_EQ(scheduler.Schedule(), nullptr);
    EXPECT_TRUE(window.commandsDisabled);

    window.schedulerOn = true;
    window.videoOn = true;
    scheduler.TimerSchedulerTimer();
    EXPECT_TRUE(window.senders.empty());
    EXPECT_EQ(window.hint, "Activate/deactivate scheduler");
    EXPECT_TRUE(scheduler.HandleScheduleMessage(1, 0));
    EXPECT_FALSE(window.schedulerOn);
}

TEST_F(SchedulerTimer, ShortFileIsWarnedAboutButStillSchedules)
{
    dir.write("iLXLE_SCHEDULE.DAT", QByteArray(96 + 68, '\0')); // off until Monday 17:00
    MessageBoxRecorder boxes;
    TScheduler scheduler(window, path());
    EXPECT_TRUE(scheduler.Setup());
    EXPECT_EQ(boxes.texts(), QStringList{"Invalid File \"Scheduler\" !"});
    EXPECT_FALSE(window.commandsDisabled);
    EXPECT_EQ(window.hint, "Next programmed Stop: Dimanche 00:00");
}

TEST_F(SchedulerTimer, TimerTicksEveryTenSecondsOnceEnabled)
{
    TScheduler scheduler(window, path());
    scheduler.Setup();
    EXPECT_EQ(scheduler.TimerScheduler->interval(), 10000);
    EXPECT_FALSE(scheduler.TimerScheduler->isActive());
    scheduler.EnableTimer();
    EXPECT_TRUE(scheduler.TimerScheduler->isActive());

    window.schedulerOn = true;
    window.videoOn = true;
    emit scheduler.TimerScheduler->timeout({});
    EXPECT_TRUE(window.scanning);

    // A main window's own timer is driven the same way.
    QTimer own;
    own.start(50);
    FakeMainWindow other;
    TScheduler borrowing(other, path(), nullptr, &own);
    EXPECT_EQ(borrowing.TimerScheduler, &own);
    EXPECT_FALSE(own.isActive());
    EXPECT_EQ(own.interval(), 10000);
    other.schedulerOn = other.videoOn = true;
    borrowing.Setup();
    EXPECT_TRUE(other.scanning);
}

TEST_F(SchedulerTimer, ActivateInvertsTheStateAndTheOptionsBoxFollows)
{
    TScheduler scheduler(window, path());
    scheduler.Setup();
    scheduler.MenuItemSchedulerActivateClick();
    EXPECT_TRUE(window.schedulerOn);
    EXPECT_TRUE(window.optionsBox);
    window.videoOn = true;
    EXPECT_TRUE(window.senders.empty()) << "scanning follows at the next tick only";
    scheduler.MenuItemSchedulerActivateClick();
    EXPECT_FALSE(window.schedulerOn);
    EXPECT_FALSE(window.optionsBox);
}

TEST_F(SchedulerTimer, EditorClosingReloadsTheScheduleAndTicksAtOnce)
{
    TScheduler scheduler(window, path());
    ASSERT_TRUE(scheduler.Setup());
    window.schedulerOn = true;
    window.videoOn = true;
    window.scanning = true;
    QString hintWhileOpen;
    std::size_t switchesWhileOpen = 99;
    scheduler.SetEditorOpener([&](QWidget*, const QString& file) {
        TTimeCells edited;
        edited.Fill(false);
        ASSERT_TRUE(SaveSchedule(edited, file));
        // Saved with Apply while open: the main copy still runs on the old one.
        scheduler.TimerSchedulerTimer();
        hintWhileOpen = window.hint;
        switchesWhileOpen = window.senders.size();
    });
    scheduler.RxSpeedButtonSchedulerMouseDown(Qt::RightButton, true, nullptr);
    EXPECT_EQ(hintWhileOpen, "No stop programmed");
    EXPECT_EQ(switchesWhileOpen, 0u) << "no switch while the editor was open";
    EXPECT_EQ(window.hint, "No scan programmed");
    EXPECT_FALSE(window.scanning);
    EXPECT_EQ(window.senders.size(), 1u);
    EXPECT_FALSE(scheduler.Schedule()->Cell(68, Monday));
}

TEST_F(SchedulerTimer, OnlyARightPressWithEditEnabledOpensTheEditor)
{
    TScheduler scheduler(window, path());
    scheduler.Setup();
    int opened = 0;
    scheduler.SetEditorOpener([&](QWidget*, const QString&) { ++opened; });
    scheduler.RxSpeedButtonSchedulerMouseDown(Qt::LeftButton, true, nullptr);
    scheduler.RxSpeedButtonSchedulerMouseDown(Qt::RightButton, false, nullptr);
    EXPECT_EQ(opened, 0);
    scheduler.RxSpeedButtonSchedulerMouseDown(Qt::RightButton, true, nullptr);
    EXPECT_EQ(opened, 1);
}

TEST_F(SchedulerTimer, ScheduleMessageReloadsOnRequestAndSetsTheState)
{
    TScheduler scheduler(window, path());
    ASSERT_TRUE(scheduler.Setup());
    TTimeCells edited;
    edited.SetCell(0, Sunday, false);
    writeSchedule(edited);
    const int hintsBefore = window.hints;

    EXPECT_TRUE(scheduler.HandleScheduleMessage(0, 1));
    EXPECT_TRUE(window.schedulerOn);
    EXPECT_TRUE(scheduler.Schedule()->Cell(0, Sunday)) << "wParam 0 does not reload";

    EXPECT_TRUE(scheduler.HandleScheduleMessage(1, 0));
    EXPECT_FALSE(window.schedulerOn);
    EXPECT_FALSE(scheduler.Schedule()->Cell(0, Sunday));
    EXPECT_EQ(window.hints, hintsBefore) << "the message runs no tick";
}

TEST_F(SchedulerTimer, FailedReloadKeepsTheScheduleAndStillSetsTheState)
{
    TTimeCells cells;
    cells.SetCell(5, Saturday, false);
    writeSchedule(cells);
    TScheduler scheduler(window, path());
    ASSERT_TRUE(scheduler.Setup());
    ASSERT_TRUE(QFile::remove(path()));
    ASSERT_TRUE(QDir(dir.path()).mkdir("iLXLE_SCHEDULE.DAT"));

    EXPECT_THROW(scheduler.HandleScheduleMessage(1, 1), EIlxError);
    EXPECT_TRUE(window.schedulerOn);
    EXPECT_TRUE(*scheduler.Schedule() == cells);

    scheduler.SetEditorOpener([](QWidget*, const QString&) {});
    EXPECT_THROW(scheduler.MenuItemSchedulerEditClick(nullptr), EIlxError);
    EXPECT_TRUE(*scheduler.Schedule() == cells);
}

} // namespace
