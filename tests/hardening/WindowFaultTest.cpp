// The main window while scanning, when the camera goes away.
#include "GstCaptureDriver.h"
#include "ModalAnswerer.h"
#include "TScanController.h"
#include "TVideoCam.h"
#include "WindowFixture.h"

#include <QMessageBox>
#include <QToolButton>

namespace {

QToolButton* Button(TFormMainLE& form, const char* name)
{
    return form.findChild<QToolButton*>(QString::fromLatin1(name));
}

// --- Camera lost while scanning -------------------------------------------

class CameraLoss : public ::testing::TestWithParam<GstCaptureDriver::DemoFault>
{
protected:
    WindowFixture w;
};

TEST_P(CameraLoss, VideoAndScanningGoOffWithTheVideoErrorAndTheCameraComesBack)
{
    GstCaptureDriver::Options options;
    options.probeCameras = false;
    options.stallMs = 600; // a hung camera is noticed within the test's patience
    auto gst = std::make_unique<GstCaptureDriver>(options);
    GstCaptureDriver* driver = gst.get();
    w.ChooseDriver(QString::fromLatin1(GstCaptureDriver::kDemoCameraName));
    TFormMainLE form(std::move(gst));
    WindowFixture::Start(form);
    TVideoCam* cam = form.VideoCam();
    ASSERT_TRUE(cam->Active());

    Button(form, "RxSpeedButtonAnalyse")->click();
    ASSERT_TRUE(form.Scan().Scanning());
    ASSERT_TRUE(WaitFor([&] { return form.InfoText().startsWith("Scanning: "); }))
        << form.InfoText().toStdString();

    ModalAnswerer answer(PressMessageBoxButton(QMessageBox::Ok), 10000);
    driver->setDemoFailure(2, GetParam());
    ASSERT_TRUE(WaitFor([&] { return answer.answered(); }));
    EXPECT_TRUE(answer.text().startsWith("Video error: ")) << answer.text().toStdString();
    EXPECT_TRUE(answer.text().contains('\n')) << "the driver's own text follows the number";
    EXPECT_EQ(form.InfoText(),
              "Video error  - Check connection, Shutdown and Restart your computer.");

    // Nothing more comes from the dead camera, and the window agrees it is off.
    {
        ModalAnswerer more(PressMessageBoxButton(QMessageBox::Ok), 1500);
        WaitFor([&] { return more.answered(); }, 1500);
        EXPECT_FALSE(more.answered()) << more.text().toStdString();
    }
    EXPECT_FALSE(cam->Active());
    EXPECT_FALSE(cam->isVisible());
    EXPECT_FALSE(form.Scan().Scanning());
    EXPECT_FALSE(form.Scan().TimerScan().isActive());
    const TCommandStates& s = form.CommandStates();
    EXPECT_TRUE(s.ConnectButton && s.ConnectMenu);
    EXPECT_FALSE(s.AnalyseButton) << "no scanning without video";
    EXPECT_TRUE(s.OptionsButton && s.OptionsMenu);
    EXPECT_TRUE(s.Driver);
    EXPECT_EQ(form.windowTitle(), "i-Lumerix LE ");

    // The camera is back: switching the video on shows its pictures again and
    // scanning can run on them.
    driver->setDemoFailure(-1);
    Button(form, "RxSpeedButtonConnect")->click();
    ASSERT_TRUE(cam->Active());
    EXPECT_TRUE(cam->isVisible());
    ASSERT_TRUE(WaitFor([&] { return !cam->GrabImage().isNull(); }));
    const QImage first = cam->GrabImage();
    EXPECT_EQ(first.size(), QSize(cam->VideoWidth(), cam->VideoHeight()));
    EXPECT_TRUE(WaitFor([&] { return cam->GrabImage() != first; })) << "the picture is live";
    Button(form, "RxSpeedButtonAnalyse")->click();
    EXPECT_TRUE(form.Scan().Scanning());
    EXPECT_TRUE(WaitFor([&] { return form.InfoText().startsWith("Scanning: "); }))
        << form.InfoText().toStdString();
    form.close();
}

INSTANTIATE_TEST_SUITE_P(PulledOutOrHung, CameraLoss,
                         ::testing::Values(GstCaptureDriver::DemoFault::Error,
                                           GstCaptureDriver::DemoFault::Freeze),
                         [](const auto& info) {
                             return info.param == GstCaptureDriver::DemoFault::Error ? "PulledOut"
                                                                                     : "Hung";
                         });

} // namespace
