// The program on a Linux desktop: a detection told to the desktop while the
// window is minimised, through a notification service on a private session bus.
#include "Program.h"

#include "Clock.h"
#include "FakeNotifications.h"
#include "PrivateSessionBus.h"
#include "TDesktopNotifier.h"
#include "TFormMainLE.h"
#include "TFormOptions.h"

#include <QCheckBox>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

class Desktop : public ::testing::Test
{
protected:
    Desktop()
    {
        // The program's ticks run with real time, plus the minutes a test skips.
        base_ = IlxTickCount();
        clock_.start();
        SetTickSource([this] { return base_ + std::uint32_t(clock_.elapsed()) + skipped_; });
    }
    ~Desktop() override { SetTickSource({}); }

    // A quiet minute goes by at once; scanning is off meanwhile so that no
    // scan cycle measures the jump.
    void SkipAQuietMinute()
    {
        ASSERT_FALSE(app.Scanning());
        skipped_ += TDesktopNotifier::kQuietMs + 1000;
    }
    // Restored (the window manager's doing), scanning switched with F5.
    void ScanningWhileShown(bool on)
    {
        app.Form().showNormal();
        if (app.Scanning() != on)
            app.Key(Qt::Key_F5);
        ASSERT_EQ(app.Scanning(), on);
    }
    // Nothing more reaches the service for a while.
    qsizetype NotificationsAfterAWhile(const FakeNotifications& service)
    {
        Program::Pause(400);
        return service.Notifications().size();
    }

    PrivateSessionBus bus; // before anything in the process connects to it
    Program app;

private:
    std::uint32_t base_ = 0;
    QElapsedTimer clock_;
    std::uint32_t skipped_ = 0;
};

TEST_F(Desktop, ADetectionWhileMinimisedIsToldOncePerQuietMinuteAndBringsTheWindowBack)
{
    ASSERT_FALSE(bus.Address().isEmpty()) << bus.Error().toStdString();
    FakeNotifications service(bus.Address());
    ASSERT_TRUE(service.Registered());
    app.Start();

    // Off by default: a minimised window only flashes.
    ScanningWhileShown(true);
    app.Form().showMinimized();
    ASSERT_TRUE(app.Detect());
    EXPECT_EQ(NotificationsAfterAWhile(service), 0) << "the option is off by default";

    ScanningWhileShown(false);
    app.OpenOptionsPage(QStringLiteral("Watch"));
    ASSERT_FALSE(app.Options().CheckBoxNotify->isChecked());
    app.Click(QStringLiteral("CheckBoxNotify"), Qt::LeftButton, {}, &app.Options());
    app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, &app.Options());
    EXPECT_EQ(app.Stored("iLXLE_ALERTE.DAT", "Notify"), "1");

    // A window in sight needs no notification; its detection starts a quiet minute.
    SkipAQuietMinute();
    ScanningWhileShown(true);
    ASSERT_TRUE(app.Detect());
    EXPECT_EQ(NotificationsAfterAWhile(service), 0) << "the window is in sight";
    // Someone moving about steadily: the first detection once the window is
    // minimised is told, however busy the minute before; the next are not.
    app.Form().showMinimized();
    ASSERT_TRUE(app.Detect());
    EXPECT_TRUE(WaitFor([&] { return service.Notifications().size() == 1; }, 3000));
    ASSERT_TRUE(app.Detect());
    EXPECT_EQ(NotificationsAfterAWhile(service), 1) << "within a minute of the last detection";

    // After a quiet minute, minimised: one notification with the time and
    // the picture's thumbnail.
    ScanningWhileShown(false);
    SkipAQuietMinute();
    ScanningWhileShown(true);
    app.Form().showMinimized();
    const QRgb colour = qRgb(200, 40, 40);
    ASSERT_TRUE(app.ShowAndDetect(FlatPicture(320, 240, colour)));
    ASSERT_TRUE(WaitFor([&] { return service.Notifications().size() == 2; }, 3000));
    const FakeNotifications::Shown shown = service.Notifications().last();
    EXPECT_EQ(shown.AppName, "i-Lumerix Light Edition");
    EXPECT_EQ(shown.Summary, "Motion detected");
    EXPECT_TRUE(shown.Body.contains(IlxNow().toString("yyyy-MM-dd"))) << shown.Body.toStdString();
    EXPECT_TRUE(shown.Body.contains(app.Pictures().last())) << shown.Body.toStdString();
    EXPECT_EQ(shown.Hints.value("desktop-entry").toString(), "org.ilumerix.LightEdition");
    EXPECT_TRUE(shown.Actions.contains("default")) << "clicking it does something";
    ASSERT_FALSE(shown.Thumbnail.isNull()) << "no readable image-data";
    EXPECT_EQ(shown.Thumbnail.size(), QSize(160, 120));
    const QColor middle = shown.Thumbnail.pixelColor(80, 60);
    EXPECT_NEAR(middle.red(), 200, 8);
    EXPECT_NEAR(middle.green(), 40, 8);
    EXPECT_NEAR(middle.blue(), 40, 8);

    ASSERT_TRUE(app.Detect());
    EXPECT_EQ(NotificationsAfterAWhile(service), 2) << "a burst makes one notification";

    // Clicked: the window comes back, and the notification goes.
    ASSERT_TRUE(app.Form().isMinimized());
    service.Activate(shown.Id);
    EXPECT_TRUE(WaitFor([&] { return !app.Form().isMinimized() && app.Form().isVisible(); }, 3000));
    EXPECT_TRUE(WaitFor([&] { return service.Closed().contains(shown.Id); }, 3000));
    app.Close();
}

TEST_F(Desktop, WithoutANotificationServiceDetectionGoesOnAsBefore)
{
    ASSERT_FALSE(bus.Address().isEmpty()) << bus.Error().toStdString();
    app.Store("iLXLE_ALERTE.DAT", "Notify", "1");
    app.Start();
    ModalAnswerer anyBox([](QWidget* box) { box->close(); }, 20000);
    ScanningWhileShown(true);
    app.Form().showMinimized();
    ASSERT_TRUE(app.Detect());
    ASSERT_TRUE(app.Detect());
    Program::Pause(500);
    EXPECT_FALSE(anyBox.answered()) << "no message about the missing service";
    EXPECT_TRUE(app.Scanning());
    EXPECT_EQ(app.Pictures().size(), 2);
    app.Close();
}

} // namespace

// No session bus at all: the same.
TEST(DesktopWithoutBus, ADetectionWhileMinimisedGoesOnAsBefore)
{
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/ilx-test-bus");
    Program app;
    app.Store("iLXLE_ALERTE.DAT", "Notify", "1");
    app.Start();
    ModalAnswerer anyBox([](QWidget* box) { box->close(); }, 20000);
    app.Key(Qt::Key_F5);
    app.Form().showMinimized();
    ASSERT_TRUE(app.Detect());
    Program::Pause(300);
    EXPECT_FALSE(anyBox.answered());
    EXPECT_TRUE(app.Scanning());
    app.Close();
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
}
