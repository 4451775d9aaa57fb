// The alarm log while nobody is there: a camera lost and found again during a
// looping alarm is written down when it happens, not when someone comes to
// press STOP.
#include "Program.h"

#include "SilentSoundOutput.h"
#include "TFormMainLE.h"
#include "TFormOptions.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

constexpr char kLost[] = "Camera lost: Demo camera (built-in test scene) - ";
constexpr char kBack[] = "Camera back: Demo camera (built-in test scene) - ";

class AlarmLog : public ::testing::Test
{
protected:
    AlarmLog() : app(Program::Camera::Demo)
    {
        app.Store("iLXLE_ALERTE.DAT", "Beep", "1");
        app.Store("iLXLE_ALERTE.DAT", "Loop", "1");
        app.Store("iLXLE_ALERTE.DAT", "Log", "1");
        app.Store("iLXLE_PARAM.DAT", "Reconnect", "1");
    }

    QString Log() const { return QString::fromLocal8Bit(app.dir.read("iLXLE_SOUND.LOG")); }

    QWidget* StopWindow() const
    {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("FormStopAlarm") && top->isVisible())
                return top;
        return nullptr;
    }

    Program app;
};

} // namespace

TEST_F(AlarmLog, ACameraLostAndBackDuringALoopingAlarmIsLoggedAtOnceAndKeptAfterStop)
{
    app.Start();
    auto output = std::make_unique<SilentSoundOutput>();
    SilentSoundOutput* sound = output.get();
    app.Options().SetSoundOutput(std::move(output));

    // The demo camera's walker rings the alarm within one motion period.
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(app.Scanning());
    ASSERT_TRUE(WaitFor([&] { return StopWindow() != nullptr; }, 15000))
        << "no looping alarm: " << app.Info().toStdString();
    ASSERT_TRUE(WaitFor([&] { return sound->Playing(); }, 3000));
    ASSERT_TRUE(Log().contains("Request play sound: Default Alarm")) << Log().toStdString();

    app.UnplugDemo(3);
    ASSERT_TRUE(WaitFor([&] { return Log().contains(kLost); }, 8000))
        << "the loss is not in the log while the alarm loops:\n"
        << Log().toStdString();
    EXPECT_NE(StopWindow(), nullptr) << "nobody has stopped the alarm yet";
    EXPECT_TRUE(sound->Playing());

    ASSERT_TRUE(WaitFor([&] { return app.VideoOn() && app.Scanning(); }, 3000 + 10000))
        << app.Info().toStdString();
    ASSERT_TRUE(WaitFor([&] { return Log().contains(kBack); }, 3000)) << Log().toStdString();
    EXPECT_NE(StopWindow(), nullptr);

    QWidget* stop = StopWindow();
    ASSERT_NE(stop, nullptr);
    app.ClickAt(stop, stop->rect().center());
    ASSERT_TRUE(WaitFor([&] { return !stop->isVisible() && !sound->Playing(); }, 3000));
    app.Key(Qt::Key_F5); // no second alarm while the log is read

    // The run's closing lines came after the two events and kept them.
    const QString log = Log();
    const qsizetype request = log.indexOf("Request play sound: Default Alarm");
    const qsizetype lost = log.indexOf(kLost);
    const qsizetype back = log.indexOf(kBack);
    const qsizetype end = log.indexOf("End of Thread \"Sound Alarm\"\r\nDate: ", request);
    EXPECT_GE(request, 0) << log.toStdString();
    EXPECT_GT(lost, request) << log.toStdString();
    EXPECT_GT(back, lost) << log.toStdString();
    EXPECT_GT(end, back) << log.toStdString();
}
