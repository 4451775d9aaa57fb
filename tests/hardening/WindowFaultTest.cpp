// The main window while scanning, when the camera goes away or the pictures
// can no longer be written.
#include "GstCaptureDriver.h"
#include "JpegCodec.h"
#include "ModalAnswerer.h"
#include "PictureName.h"
#include "ScriptedCaptureDriver.h"
#include "TScanController.h"
#include "TVideoCam.h"
#include "WindowFixture.h"

#include <QFile>
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

// --- Pictures that cannot be written --------------------------------------

QImage Scene(bool object)
{
    QImage image(320, 240, QImage::Format_RGB888);
    image.fill(qRgb(60, 90, 120));
    if (object)
        for (int y = 0; y < 120; ++y) {
            uchar* p = image.scanLine(y);
            for (int x = 0; x < 160; ++x)
                p[3 * x] = 250;
        }
    return image;
}

enum class SaveFault
{
    FolderUnplugged, // moved away, a file in its place: fails for root too
    ReadOnlyFolder,  // permission bits: root writes through them
    DiskFull,
};

class PictureSaveFailure : public ::testing::TestWithParam<SaveFault>
{
protected:
    ~PictureSaveFailure() override
    {
        SetJpegFileSpaceForTest(-1);
        QFile::setPermissions(w.Captures(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Puts the fault in place; false when this user cannot be stopped by it.
    bool Break(SaveFault fault)
    {
        switch (fault) {
        case SaveFault::FolderUnplugged:
            // Like a removable disk pulled out and its mount point reused.
            kept = w.dir.file(QStringLiteral("Unplugged"));
            if (!QDir().rename(w.Captures(), kept))
                return false;
            w.dir.write(QStringLiteral("Captures"), "not a folder");
            return true;
        case SaveFault::ReadOnlyFolder: {
            QFile::setPermissions(w.Captures(), QFile::ReadOwner | QFile::ExeOwner);
            QFile probe(w.Captures() + QStringLiteral("/probe"));
            if (!probe.open(QIODevice::WriteOnly))
                return true;
            probe.close();
            probe.remove();
            return false;
        }
        case SaveFault::DiskFull:
            SetJpegFileSpaceForTest(1000);
            return true;
        }
        return false;
    }

    QStringList Files() const { return QDir(kept).entryList(QDir::Files | QDir::Hidden); }

    WindowFixture w;
    QString kept = w.Captures(); // where the earlier pictures are
};

TEST_P(PictureSaveFailure, WarnsStopsScanningAndLeavesEarlierPicturesAlone)
{
    auto scripted = std::make_unique<ScriptedCaptureDriver>();
    ScriptedCaptureDriver* driver = scripted.get();
    driver->setDriver(0, QStringLiteral("Cam"));
    driver->setInitialFormat(Format(320, 240));
    driver->setFrame(Scene(false));
    w.ChooseDriver(QStringLiteral("Cam"));
    TFormMainLE form(std::move(scripted));
    WindowFixture::Start(form);
    ASSERT_TRUE(form.VideoCam()->Active());
    Button(form, "RxSpeedButtonAnalyse")->click();
    ASSERT_TRUE(WaitFor([&] { return form.InfoText().startsWith("Scanning: "); }));

    // One picture saved before the fault.
    driver->setFrame(Scene(true));
    ASSERT_TRUE(WaitFor([&] { return form.DetectionCount() == 1; }));
    const QStringList before = Files();
    ASSERT_EQ(before.size(), 1);
    ASSERT_TRUE(MatchesPictureName(before[0])) << before[0].toStdString();
    QFile earlierFile(kept + QStringLiteral("/") + before[0]);
    ASSERT_TRUE(earlierFile.open(QIODevice::ReadOnly));
    const QByteArray earlierBytes = earlierFile.readAll();
    earlierFile.close();

    if (!Break(GetParam()))
        GTEST_SKIP() << "this user (root) writes into a folder whatever its permission bits";

    ModalAnswerer answer(PressMessageBoxButton(QMessageBox::Ok), 10000);
    driver->setFrame(Scene(false));
    ASSERT_TRUE(WaitFor([&] { return answer.answered(); }));
    EXPECT_EQ(form.DetectionCount(), 2);
    const QString prefix =
        QStringLiteral("Error: Unable to save picture:\n") + w.Captures() + QStringLiteral("/ILX ");
    EXPECT_TRUE(answer.text().startsWith(prefix) && answer.text().endsWith(".jpg"))
        << answer.text().toStdString();
    EXPECT_TRUE(MatchesPictureName(answer.text().section('/', -1)));

    EXPECT_FALSE(form.Scan().Scanning());
    EXPECT_TRUE(form.Scan().LastImage().isEmpty());
    EXPECT_TRUE(form.CommandStates().OptionsButton) << "the user can pick another folder";
    EXPECT_TRUE(form.CommandStates().ConnectButton);
    EXPECT_TRUE(form.VideoCam()->Active()) << "only scanning stops, the video stays on";
    {
        ModalAnswerer more(PressMessageBoxButton(QMessageBox::Ok), 800);
        driver->setFrame(Scene(true));
        WaitFor([&] { return more.answered(); }, 800);
        EXPECT_FALSE(more.answered()) << "one warning, not one per detection";
    }

    EXPECT_EQ(Files(), before) << "nothing but the earlier picture, whole or partial";
    QFile again(kept + QStringLiteral("/") + before[0]);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    const QByteArray bytes = again.readAll();
    EXPECT_EQ(bytes, earlierBytes);
    EXPECT_NO_THROW(DecodeJpeg(bytes));
    form.close();
}

INSTANTIATE_TEST_SUITE_P(Faults, PictureSaveFailure,
                         ::testing::Values(SaveFault::FolderUnplugged, SaveFault::ReadOnlyFolder,
                                           SaveFault::DiskFull),
                         [](const auto& info) {
                             switch (info.param) {
                             case SaveFault::FolderUnplugged:
                                 return "FolderUnplugged";
                             case SaveFault::ReadOnlyFolder:
                                 return "ReadOnlyFolder";
                             case SaveFault::DiskFull:
                                 return "DiskFull";
                             }
                             return "";
                         });

} // namespace
