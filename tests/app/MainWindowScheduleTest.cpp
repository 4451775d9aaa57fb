#include "Clock.h"
#include "DataPaths.h"
#include "Horaires.h"
#include "ScratchDir.h"
#include "ScriptedCaptureDriver.h"
#include "TFormMainLE.h"
#include "TScanController.h"
#include "TScheduler.h"
#include "TTimeCells.h"
#include "TVideoCam.h"

#include <QCoreApplication>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

constexpr int kMonday = 2;

// The window over a scratch data folder with the scheduler on, a scripted
// camera and a pinned clock; the schedule wants scanning on Monday until
// 18:00 and nothing else in the week.
class MainWindowSchedule : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetDataFolder(dir.path());
        SetClockSource([this] { return now; });
        dir.write("iLXLE.INI", "[Setup]\r\nStabilite=0\r\n");
        dir.write("iLXLE_PARAM.DAT",
                  "[Setup]\r\nDriver=Cam\r\nSelect=0\r\nPause=0\r\nScheduler=1\r\n");
        dir.write("iLXLE_ALERTE.DAT", "[Setup]\r\nBeep=0\r\nLog=0\r\n");
        TTimeCells cells;
        cells.Fill(false);
        for (int cell = 0; cell < 72; ++cell)
            cells.SetCell(cell, kMonday, true);
        ASSERT_TRUE(SaveSchedule(cells, DataPaths().Schedule));
    }
    void TearDown() override
    {
        SetClockSource({});
        SetDataFolder(QString());
    }

    std::unique_ptr<TFormMainLE> Start()
    {
        auto driver = std::make_unique<ScriptedCaptureDriver>();
        driver->setDriver(0, QStringLiteral("Cam"));
        driver->setFrame(QImage(320, 240, QImage::Format_RGB888));
        auto form = std::make_unique<TFormMainLE>(std::move(driver));
        form->show();
        for (int i = 0; i < 50 && form->FirstActivationPending(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return form;
    }
    QToolButton* SchedulerButton(TFormMainLE& form) const
    {
        return form.findChild<QToolButton*>(QStringLiteral("RxSpeedButtonScheduler"));
    }

    ScratchDir dir;
    // Monday 7 December 2026.
    QDateTime now{QDate(2026, 12, 7), QTime(17, 0)};
};

} // namespace

TEST_F(MainWindowSchedule, ScanningFollowsTheWeekWhileTheSchedulerIsOn)
{
    auto form = Start();
    ASSERT_TRUE(form->VideoCam()->Active());
    ASSERT_TRUE(SchedulerButton(*form)->isChecked());
    ASSERT_NE(form->Scheduler()->Schedule(), nullptr) << "the schedule file did not load";

    form->Scheduler()->TimerSchedulerTimer();
    EXPECT_TRUE(form->Scan().Scanning()) << "Monday 17:00 is a scanning quarter";
    EXPECT_EQ(SchedulerButton(*form)->statusTip(), "Next programmed Stop: Lundi 18:00 (Today)");

    now = QDateTime(QDate(2026, 12, 7), QTime(18, 5));
    form->Scheduler()->TimerSchedulerTimer();
    EXPECT_FALSE(form->Scan().Scanning()) << "18:00 ends Monday's scanning";
    EXPECT_TRUE(SchedulerButton(*form)->statusTip().startsWith("Next programmed Scan: Lundi 00:00"))
        << SchedulerButton(*form)->statusTip().toStdString();

    // Switched off, the scheduler leaves scanning to the user.
    SchedulerButton(*form)->click();
    ASSERT_FALSE(SchedulerButton(*form)->isChecked());
    now = QDateTime(QDate(2026, 12, 14), QTime(9, 0));
    form->Scheduler()->TimerSchedulerTimer();
    EXPECT_FALSE(form->Scan().Scanning());
}
