// Unattended watching with the demo camera: pulled out from its source dialog
// and plugged back, with and without "Reconnect the camera when it comes back".
#include "Program.h"

#include "DemoScene.h"
#include "GstCaptureDriver.h"
#include "TFormMainLE.h"
#include "TFormOptions.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QStringList kSettingsFiles = {"iLXLE.INI", "iLXLE_PARAM.DAT", "iLXLE_IMAGE.DAT",
                                    "iLXLE_ALERTE.DAT"};

// What a user watching the screen would have seen, sampled every 50 ms.
class Watcher
{
public:
    explicit Watcher(Program& app) : app_(app)
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Sample(); });
        timer_.start(50);
    }

    bool sawLossMessage = false;
    // As the message came up (the camera comes back while it is still up).
    bool videoOffUnderMessage = false;
    bool scanningOffUnderMessage = false;

private:
    void Sample()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->text().startsWith(QStringLiteral("Video error: ")))
            return;
        if (sawLossMessage)
            return;
        sawLossMessage = true;
        videoOffUnderMessage = !app_.VideoOn();
        scanningOffUnderMessage = !app_.Scanning();
    }

    Program& app_;
    QTimer timer_;
};

class Watch : public ::testing::Test
{
protected:
    Watch() : app(Program::Camera::Demo) { app.Store("iLXLE_ALERTE.DAT", "Log", "1"); }

    QByteArray SettingsNow() const
    {
        QByteArray all;
        for (const QString& f : kSettingsFiles)
            all += f.toLatin1() + ':' + app.dir.read(f) + '\n';
        return all;
    }

    QString Log() const { return QString::fromLocal8Bit(app.dir.read("iLXLE_SOUND.LOG")); }

    Program app;
};

} // namespace

TEST_F(Watch, AnUnpluggedCameraComesBackByItselfAndScanningResumes)
{
    app.Store("iLXLE_PARAM.DAT", "Reconnect", "1");
    app.Start();
    ASSERT_TRUE(app.Options().CheckBoxReconnect->isChecked());
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(app.Scanning());
    const QByteArray before = SettingsNow();

    Watcher watcher(app);
    QElapsedTimer clock;
    clock.start();
    app.UnplugDemo(3);
    // Back within 10 s of being plugged back (3 s from now).
    ASSERT_TRUE(WaitFor([&] { return app.VideoOn() && app.Scanning(); }, 3000 + 10000))
        << "still off after " << clock.elapsed() << " ms: " << app.Info().toStdString();
    EXPECT_TRUE(watcher.sawLossMessage) << "the loss was told as described";
    EXPECT_TRUE(watcher.videoOffUnderMessage);
    EXPECT_TRUE(watcher.scanningOffUnderMessage);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the message closed itself";

    const QString log = Log();
    EXPECT_TRUE(log.contains("Camera lost: Demo camera (built-in test scene) - "))
        << log.toStdString();
    EXPECT_TRUE(log.contains("Camera back: Demo camera (built-in test scene) - "));
    EXPECT_EQ(SettingsNow(), before) << "nothing else changed in the settings files";
    EXPECT_TRUE(app.Caption().startsWith("i-Lumerix LE  [Demo camera"));
}

TEST_F(Watch, WithoutTheOptionALostCameraStaysOffAsBefore)
{
    app.Start();
    ASSERT_FALSE(app.Options().CheckBoxReconnect->isChecked()) << "off by default";
    ModalAnswerer message(PressMessageBoxButton(QMessageBox::Ok), 8000, "QMessageBox");
    app.UnplugDemo(1);
    ASSERT_TRUE(WaitFor([&] { return message.answered(); }, 5000));
    EXPECT_TRUE(message.text().startsWith("Video error: "));
    Program::Pause(6500); // past the plug-back and a reconnection try's period
    EXPECT_FALSE(app.VideoOn());
    EXPECT_FALSE(Log().contains("Camera lost")) << "no reconnection, nothing logged";
    // The user brings it back by hand, as described.
    app.Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(app.VideoOn());
}

TEST_F(Watch, TheWatchPageSavesItsOptionsUnderTheirOwnKeys)
{
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Watch"));
    EXPECT_EQ(app.Options().PageControl->currentIndex(), 4) << "the fifth page, after Log";
    app.Click(QStringLiteral("CheckBoxReconnect"), Qt::LeftButton, {}, &app.Options());
    app.Type(app.Options().SpinEditKeepDays, QStringLiteral("30"));
    app.Type(app.Options().SpinEditKeepMB, QStringLiteral("500"));
    app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, &app.Options());
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "Reconnect"), "1");
    EXPECT_EQ(app.Stored("iLXLE_IMAGE.DAT", "KeepDays"), "30");
    EXPECT_EQ(app.Stored("iLXLE_IMAGE.DAT", "KeepMB"), "500");
}

// The demo camera's lamp goes off and on every second in an empty room: each
// switch is a detection as described, none once the light is ignored.
TEST_F(Watch, ALampSwitchedIsADetectionUnlessLightChangesAreIgnored)
{
    app.Start();
    ModalScript source({{"TDlgVideoSource", [&](QWidget* dialog) {
                             // Arrow keys: "never" is no number to type.
                             const auto step = [&](const char* name, Qt::Key key, int times) {
                                 auto* spin = dialog->findChild<QSpinBox*>(name);
                                 app.ClickAt(spin, spin->rect().center());
                                 for (int i = 0; i < times; ++i)
                                     QTest::keyClick(dialog->windowHandle(), key);
                             };
                             step("SpinEditPeriod", Qt::Key_PageDown, 10);
                             step("SpinEditLight", Qt::Key_Up, 1);
                             app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, dialog);
                         }}});
    app.Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(source.Done(), 1);
    ASSERT_EQ(app.Demo().demoScene().lightPeriodMs(), 1000);
    ASSERT_EQ(app.Demo().demoScene().motionPeriodMs(), 0);

    app.Key(Qt::Key_F5);
    ASSERT_TRUE(app.Scanning());
    ASSERT_TRUE(WaitFor([&] { return !app.Pictures().isEmpty(); }, 4000))
        << app.Info().toStdString() << "a switched lamp rings the alarm when the light counts";
    app.Key(Qt::Key_F5);

    // "Ignore light changes" on the Watch page, applied while the program runs.
    app.OpenOptionsPage(QStringLiteral("Watch"));
    ASSERT_FALSE(app.Options().CheckBoxIgnoreLight->isChecked()) << "off by default";
    app.Click(QStringLiteral("CheckBoxIgnoreLight"), Qt::LeftButton, {}, &app.Options());
    app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, &app.Options());
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "IgnoreLight"), "1");

    const qsizetype before = app.Pictures().size();
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(app.Scanning());
    Program::Pause(3500); // three switches
    EXPECT_TRUE(app.Scanning());
    EXPECT_EQ(app.Pictures().size(), before) << "no picture for the lamp";
}

// Counts the paint events the video view receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* view) { view->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// A minimised window shows nothing: the live preview stops painting until it
// is restored, and then shows the camera again at once.
TEST_F(Watch, AMinimisedWindowPaintsNoPreviewUntilItIsRestored)
{
    app.Start();
    auto* view = app.Form().findChild<QWidget*>(QStringLiteral("VideoCam"));
    ASSERT_NE(view, nullptr);
    PaintCounter counter(view);
    ASSERT_TRUE(WaitFor([&] { return counter.paints > 3; }, 3000)) << "a live preview paints";

    app.Form().showMinimized(); // as the window manager minimises it
    Program::Pause(300);
    const int minimised = counter.paints;
    Program::Pause(1000);
    EXPECT_EQ(counter.paints, minimised) << "nothing painted while minimised";

    app.Form().showNormal();
    EXPECT_TRUE(WaitFor([&] { return counter.paints > minimised + 3; }, 3000));
}

// A camera slower than the preview (12 frames a second against 24) is painted
// once for each frame it sends, no more; Pause stops the painting and Play
// brings the camera back at once.
TEST_F(Watch, ACameraSlowerThanThePreviewIsPaintedOnceAFrameAndPauseStopsIt)
{
    app.Store("iLXLE.INI", "FramesCapture", "12");
    app.Store("iLXLE.INI", "FramesPreview", "24");
    app.Start();
    auto* view = app.Form().findChild<QWidget*>(QStringLiteral("VideoCam"));
    ASSERT_NE(view, nullptr);
    PaintCounter counter(view);
    ASSERT_TRUE(WaitFor([&] { return counter.paints > 3; }, 3000)) << "a live preview paints";
    const int before = counter.paints;
    Program::Pause(2000);
    const int painted = counter.paints - before;
    EXPECT_GE(painted, 16) << "every frame of the camera's 24 in 2 s is shown";
    EXPECT_LE(painted, 28) << "no frame is painted twice, nor on the preview's own beat";

    app.Key(Qt::Key_Space);
    ASSERT_TRUE(app.Widget(QStringLiteral("ImageFreeze"))->isVisible());
    Program::Pause(200);
    const int paused = counter.paints;
    Program::Pause(800);
    EXPECT_EQ(counter.paints, paused) << "nothing painted under the still";

    app.Key(Qt::Key_Space);
    EXPECT_TRUE(WaitFor([&] { return counter.paints > paused + 2; }, 1000));
}
