// A camera's life as someone who leaves the program alone meets it: a camera
// missing at start, one that hangs, one that fails again as it comes back,
// another chosen by hand while one is waited for.
#include "Program.h"
#include "TestCameraServer.h"

#include "GstCaptureDriver.h"
#include "TFormMainLE.h"
#include "TFormOptions.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

namespace {

const QString kDemo = QString::fromLatin1(GstCaptureDriver::kDemoCameraName);

// The window's longest stall allowed: a tenth of the shortest wait on a
// camera (5 s to reach it), so a wait on the camera shows, while a loaded
// build machine running tests side by side does not. An instrumented build
// (every allocation unwinds its stack) is several times slower at everything.
#ifdef __SANITIZE_ADDRESS__
constexpr qint64 kLongestStallMs = 1500;
#else
constexpr qint64 kLongestStallMs = 500;
#endif

class CameraLife : public ::testing::Test
{
protected:
    CameraLife() : app(Program::Camera::Demo) { app.Store("iLXLE_ALERTE.DAT", "Log", "1"); }

    QString Log() const { return QString::fromLocal8Bit(app.dir.read("iLXLE_SOUND.LOG")); }
    // One network camera in the settings, chosen as the driver.
    void UseCamera(const QString& name, const QString& address)
    {
        app.Store("iLXLE_PARAM.DAT", "Count", "1", "Cameras");
        app.Store("iLXLE_PARAM.DAT", "Name1", name, "Cameras");
        app.Store("iLXLE_PARAM.DAT", "Address1", address, "Cameras");
        app.Store("iLXLE_PARAM.DAT", "Driver", name);
    }
    static QList<QMessageBox*> BoxesShown()
    {
        QList<QMessageBox*> shown;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
                shown << box;
        return shown;
    }

    Program app;
};

// The longest time the event loop did not turn, sampled every 10 ms.
class StallMeter
{
public:
    StallMeter()
    {
        QObject::connect(&timer_, &QTimer::timeout,
                         [this] { longest_ = std::max(longest_, clock_.restart()); });
        clock_.start();
        timer_.start(10);
    }
    qint64 LongestMs() const { return longest_; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

} // namespace

// Started with its camera pulled out: the choice is kept, the camera waited
// for and taken when it comes, and the auto-start follows.
TEST_F(CameraLife, ACameraMissingAtStartIsWaitedForAndTakenWhenItComes)
{
    app.Store("iLXLE_PARAM.DAT", "Reconnect", "1");
    app.Store("iLXLE_PARAM.DAT", "Auto", "1");
    app.Store("iLXLE_PARAM.DAT", "Delay", "0");
    app.BeforeStart = [](GstCaptureDriver& driver) {
        driver.unplugDemo(2000);
    };
    app.Start();
    EXPECT_FALSE(app.VideoOn());
    EXPECT_TRUE(app.Info().startsWith("Waiting for the camera \"" + kDemo + "\" since "))
        << app.Info().toStdString();
    EXPECT_TRUE(app.Info().contains("trying again every 5 s"));

    ASSERT_TRUE(WaitFor([&] { return app.VideoOn(); }, 2000 + 5000 + 3000))
        << app.Info().toStdString();
    EXPECT_TRUE(WaitFor([&] { return app.Scanning(); }, 3000)) << "the auto-start took effect";
    EXPECT_FALSE(app.Info().startsWith("Waiting"));
    EXPECT_TRUE(Log().contains("Camera missing at start: " + kDemo + " - ")) << Log().toStdString();
    EXPECT_TRUE(Log().contains("Camera back: " + kDemo + " - "));
    app.Close();
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "Driver"), kDemo);
}

// Without "Reconnect", a start without the camera changes nothing stored:
// the next start finds it.
TEST_F(CameraLife, AStartWithoutTheCameraKeepsItChosen)
{
    app.BeforeStart = [](GstCaptureDriver& driver) {
        driver.unplugDemo(-1);
    };
    app.Start();
    EXPECT_FALSE(app.VideoOn());
    app.OpenOptionsPage(QStringLiteral("Scan"));
    app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, &app.Options());
    app.Close();
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "Driver"), kDemo);
}

// Cancel in the driver dialog while the camera is away: once it is back,
// Connect works again.
TEST_F(CameraLife, CancelInTheDriverDialogWhileTheCameraIsAwayLeavesConnectWorking)
{
    app.Start();
    app.Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_FALSE(app.VideoOn());
    app.Demo().unplugDemo(1500); // the cable pulled while the video is off
    QString said;
    ModalScript cancel({{"TDlgSelectDriver",
                         [&](QWidget* dialog) {
                             EXPECT_EQ(dialog->findChild<QListWidget*>("ListBoxDrivers")->count(),
                                       0);
                             app.Click(QStringLiteral("BitBtnCancel"), Qt::LeftButton, {}, dialog);
                         }},
                        AnswerBoxOk(said)});
    app.Key(Qt::Key_P, Qt::ControlModifier);
    ASSERT_GE(cancel.Done(), 1);
    if (cancel.Done() == 2) {
        EXPECT_TRUE(said.contains("is not connected")) << said.toStdString();
    }
    ASSERT_TRUE(WaitFor([&] { return !app.Demo().demoUnplugged(); }, 3000));

    ModalAnswerer refused(PressMessageBoxButton(QMessageBox::Ok), 3000, "QMessageBox");
    app.Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(WaitFor([&] { return app.VideoOn(); }, 3000));
    EXPECT_FALSE(refused.answered()) << refused.text().toStdString();
}

// A network camera that takes the connection and never answers: the window
// goes on answering while it is tried and tried again, and Ctrl+Q quits.
TEST_F(CameraLife, AHungNetworkCameraNeverHoldsTheWindow)
{
    QTcpServer hung; // listens, and never says a word
    ASSERT_TRUE(hung.listen(QHostAddress::LocalHost));
    UseCamera(QStringLiteral("Attic"),
              QStringLiteral("rtsp://127.0.0.1:%1/live").arg(hung.serverPort()));
    app.Store("iLXLE_PARAM.DAT", "Reconnect", "1");
    // With "Reconnect", a camera that fails at start is waited for in silence.
    ModalAnswerer anyBox(PressMessageBoxButton(QMessageBox::Ok), 30000, "QMessageBox");
    app.Start(false);
    StallMeter meter;

    // The options open at once while the camera is being opened.
    Program::Pause(500);
    QElapsedTimer f3;
    f3.start();
    app.Key(Qt::Key_F3);
    EXPECT_TRUE(WaitFor([&] { return app.Options().isVisible(); }, kLongestStallMs))
        << "F3 took " << f3.elapsed() << " ms";
    app.Click(QStringLiteral("BitBtnCancel"), Qt::LeftButton, {}, &app.Options());

    // The first try fails after its first-picture wait; the wait begins and
    // the next try starts 5 s later.
    EXPECT_TRUE(
        WaitFor([&] { return app.Info().startsWith("Waiting for the camera \"Attic\""); }, 12000))
        << app.Info().toStdString();
    EXPECT_TRUE(app.Info().contains("sends no picture")) << app.Info().toStdString();
    EXPECT_EQ(qobject_cast<QLabel*>(app.Widget(QStringLiteral("PanelInfo")))->toolTip(), app.Info())
        << "a line wider than the window is read whole in its tool tip";
    Program::Pause(6000);
    EXPECT_FALSE(app.VideoOn());
    std::cout << "longest stall of the window: " << meter.LongestMs() << " ms\n";
    EXPECT_LT(meter.LongestMs(), kLongestStallMs);
    EXPECT_FALSE(anyBox.answered()) << anyBox.text().toStdString();

    QElapsedTimer quit;
    quit.start();
    app.Close();
    EXPECT_FALSE(app.Form().isVisible());
    app.Quit();
    EXPECT_LT(quit.elapsed(), 2000) << "Ctrl+Q to the end of the window";
}

// Another camera chosen by hand while the lost one is waited for: the wait
// ends, and the timer never connects the new one by itself.
TEST_F(CameraLife, ACameraChosenByHandEndsTheWaitForTheLostOne)
{
    app.TestPattern = true;
    app.Store("iLXLE_PARAM.DAT", "Reconnect", "1");
    app.Start();
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(app.Scanning());
    ModalAnswerer loss(PressMessageBoxButton(QMessageBox::Ok), 5000, "QMessageBox");
    app.Demo().unplugDemo(1500);
    ASSERT_TRUE(WaitFor([&] { return loss.answered(); }, 5000));
    EXPECT_TRUE(app.Info().startsWith("Waiting for the camera")) << app.Info().toStdString();

    ModalScript choose(
        {{"TDlgSelectDriver", [&](QWidget* d) {
              auto* list = d->findChild<QListWidget*>("ListBoxDrivers");
              const auto found =
                  list->findItems(GstCaptureDriver::kTestPatternName, Qt::MatchExactly);
              ASSERT_EQ(found.size(), 1);
              app.ClickAt(list->viewport(), list->visualItemRect(found.first()).center());
              app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, d);
          }}});
    app.Key(Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(choose.Done(), 1);
    EXPECT_FALSE(app.Info().startsWith("Waiting")) << app.Info().toStdString();
    Program::Pause(7000); // past the demo's return and a try's period
    EXPECT_FALSE(app.VideoOn()) << "nothing connected by itself";
    EXPECT_FALSE(app.Scanning());
    EXPECT_FALSE(Log().contains("Camera back")) << Log().toStdString();

    app.Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(WaitFor([&] { return app.VideoOn(); }, 5000));
    EXPECT_TRUE(app.Caption().contains(GstCaptureDriver::kTestPatternName));
    app.Close();
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "Driver"), GstCaptureDriver::kTestPatternName);
}

// A camera that fails again while it comes back: one loss message, not a
// pile of them, and Ctrl+Q on it still quits. Everything while a message is
// up happens from a timer, as the message holds the test's own wait.
TEST_F(CameraLife, OneLossMessageAtATimeAndCtrlQQuitsFromIt)
{
    app.Store("iLXLE_PARAM.DAT", "Reconnect", "1");
    app.Store("iLXLE.INI", "Stabilite", "2");
    app.Start();
    int mostShown = 0;
    bool failsAgain = false;
    bool cameBack = false;
    bool quitPressed = false;
    QElapsedTimer sinceQuit;
    QTimer script;
    QObject::connect(&script, &QTimer::timeout, [&] {
        const QList<QMessageBox*> boxes = BoxesShown();
        mostShown = std::max(mostShown, int(boxes.size()));
        if (!failsAgain && !boxes.isEmpty()) {
            // Back at the next try, and lost again within its stability wait.
            app.Demo().setDemoFailure(15);
            failsAgain = true;
        }
        cameBack = cameBack || (failsAgain && app.VideoOn());
        if (cameBack && !app.VideoOn() && !quitPressed && !boxes.isEmpty()) {
            quitPressed = true;
            QTest::keyClick(boxes.last(), Qt::Key_Q, Qt::ControlModifier);
            sinceQuit.start();
        } else if (quitPressed && sinceQuit.elapsed() > 3000) {
            for (QMessageBox* box : boxes) // left up: the test's own wait is under them
                box->done(QMessageBox::Ok);
        }
    });
    script.start(50);
    app.Demo().unplugDemo(1000);
    EXPECT_TRUE(WaitFor([&] { return !app.Form().isVisible(); }, 15000));
    EXPECT_TRUE(cameBack) << app.Info().toStdString();
    EXPECT_TRUE(quitPressed);
    EXPECT_EQ(mostShown, 1);
}

// A stability wait longer than the tries' period: scanning still comes back
// with the camera (the wait lets the tries' timer run).
TEST_F(CameraLife, ScanningComesBackAfterAStabilityWaitLongerThanATry)
{
    app.Store("iLXLE_PARAM.DAT", "Reconnect", "1");
    app.Store("iLXLE.INI", "Stabilite", "7");
    app.Store("iLXLE_PARAM.DAT", "Auto", "1");
    app.Store("iLXLE_PARAM.DAT", "Delay", "0");
    app.Start();
    ASSERT_TRUE(WaitFor([&] { return app.Scanning(); }, 3000));
    ModalAnswerer loss(PressMessageBoxButton(QMessageBox::Ok), 5000, "QMessageBox");
    app.Demo().unplugDemo(1000);
    ASSERT_TRUE(WaitFor([&] { return loss.answered(); }, 5000));
    EXPECT_TRUE(WaitFor([&] { return app.VideoOn() && app.Scanning(); }, 5000 + 7000 + 3000))
        << app.Info().toStdString();
    EXPECT_TRUE(Log().contains("Camera back: " + kDemo));
}
