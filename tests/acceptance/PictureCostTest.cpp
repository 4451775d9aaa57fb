// What a network camera's pictures cost in the real window: each is decoded,
// but scaled and converted only when the preview or the scan uses it.
#include "Program.h"
#include "TestCameraServer.h"

#include "GstCaptureDriver.h"
#include "TFormMainLE.h"

#include <gtest/gtest.h>

namespace {

using Counts = GstCaptureDriver::PictureCounts;

// The counts over `ms` of the event loop.
Counts Over(Program& app, int ms)
{
    const Counts a = app.Demo().pictureCounts();
    Program::Pause(ms);
    const Counts b = app.Demo().pictureCounts();
    return {b.sent - a.sent, b.converted - a.converted, b.grabs - a.grabs};
}

TEST(PictureCost, OnlyThePicturesThePreviewOrTheScanUsesAreConverted)
{
    TestCameraServer server(QStringLiteral("rtsp"), {"0", "640", "480", "25"});
    ASSERT_GT(server.Port(), 0) << "the test server did not start";
    Program app(Program::Camera::Demo);
    app.Store("iLXLE_PARAM.DAT", "Count", "1", "Cameras");
    app.Store("iLXLE_PARAM.DAT", "Name1", "Yard", "Cameras");
    app.Store("iLXLE_PARAM.DAT", "Address1",
              QStringLiteral("rtsp://127.0.0.1:%1/h264").arg(server.Port()), "Cameras");
    app.Store("iLXLE_PARAM.DAT", "Driver", "Yard");
    app.Start();
    ASSERT_TRUE(app.VideoOn()) << app.Info().toStdString();
    Program::Pause(1000);

    // Shown: the preview's 24 a second of the camera's 25.
    Counts c = Over(app, 4000);
    EXPECT_GE(c.sent, 80u);
    EXPECT_GE(c.converted * 10, c.sent * 8);

    // Minimised and scanning: the scan's pictures only, each fresh.
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(app.Scanning());
    app.Form().showMinimized();
    ASSERT_TRUE(WaitFor([&] { return app.Form().isMinimized(); }, 2000));
    Program::Pause(1000);
    c = Over(app, 4000);
    EXPECT_GE(c.sent, 80u) << "decoding goes on";
    EXPECT_GE(c.grabs, 6u);
    EXPECT_LE(c.converted, 2 * c.grabs + 2) << c.grabs << " grabs";
    EXPECT_GE(c.converted * 10, c.grabs * 8) << "each grab has a picture of its own";
    EXPECT_LE(c.converted * 3, c.sent);

    // Minimised, not scanning: none.
    app.Key(Qt::Key_F5);
    ASSERT_FALSE(app.Scanning());
    Program::Pause(1500);
    c = Over(app, 3000);
    EXPECT_GE(c.sent, 60u);
    EXPECT_EQ(c.converted, 0u);
}

} // namespace
