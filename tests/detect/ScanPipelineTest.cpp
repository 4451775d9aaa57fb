// The scan cycle over the real capture component (scripted driver, real frame
// file) and the real picture save, in a scratch folder.
#include "BmpFile.h"
#include "FrameComparison.h"
#include "JpegCodec.h"
#include "ModalAnswerer.h"
#include "PictureName.h"
#include "SavePicture.h"
#include "ScratchDir.h"
#include "ScriptedCaptureDriver.h"
#include "TScanController.h"
#include "TScanHost.h"
#include "TVideoCam.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <memory>

namespace {

QImage scene(QRgb colour = qRgb(60, 90, 120))
{
    QImage image(320, 240, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

// A scene with an object in its top-left quarter.
QImage sceneWithObject()
{
    QImage image = scene();
    for (int y = 0; y < 100; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < 140; ++x)
            p[3 * x] = 250;
    }
    return image;
}

class PipelineHost final : public TScanHost
{
public:
    PipelineHost(TVideoCam& cam, const ScratchDir& dir) : cam_(cam), dir_(dir)
    {
        cam_.SetImageFile(dir_.file(QStringLiteral("~ILXTMP.BMP")));
        QDir(dir_.path()).mkdir(QStringLiteral("Captures"));
        pictures.Folder = dir_.file(QStringLiteral("Captures"));
    }

    TScanOptions options;
    TScanArea area;
    TPictureSettings pictures;
    QString info;
    bool red = false;

    bool VideoActive() const override { return cam_.Active(); }
    void GrabFrame() override
    {
        // A grab that cannot write leaves no old frame behind to be read as new.
        QFile::remove(cam_.ImageFile());
        cam_.GrabFrame();
    }
    QImage LoadGrabbedFrame() override { return BmpFile::Load(cam_.ImageFile()); }
    TScanOptions ScanOptions() const override { return options; }
    bool AutoStartSettled() const override { return true; }
    void SetAutoStartSettled() override {}
    bool AutoStartCountdown(QString&) override { return true; }
    bool SoundBusy() const override { return false; }
    void StartSoundAlarm(QObject*, bool, const QString&) override {}
    void HideOptionsWindow() override {}
    TScanArea ScanArea() const override { return area; }
    QString SavePicture(const QImage& frame) override
    {
        pictures.FrameShown = area.Shown;
        pictures.Frame = {area.PX, area.PY, area.PW, area.PH};
        return ::SavePicture(nullptr, frame, pictures);
    }
    void ShowInfo(const QString& text) override { info = text; }
    void SetVideoPanelRed(bool r) override { red = r; }
    void SetHeartbeat(QChar) override {}
    void ShowDetectionCount(int) override {}
    void SetAnalyseLook(const QString&, const QString&, int) override {}
    void SetConnectEnabled(bool) override {}
    void SetScanLocks(bool) override {}
    bool PauseDown() const override { return false; }
    void SetPauseDown(bool) override {}
    void SetVideoDialogsEnabled(bool) override {}
    void ShowFrozen(bool) override {}
    void ShowStill(const QImage&) override {}
    void SetModeVideoCaption(const QString&) override {}
    void RelayoutVideo() override {}
    void RestoreScanFrame() override {}
    // Ticks are driven by the test alone; the timer must not add its own.
    void ProcessMessages() override {}

private:
    TVideoCam& cam_;
    const ScratchDir& dir_;
};

class ScanPipeline : public ::testing::Test
{
protected:
    ScanPipeline()
    {
        auto scripted = std::make_unique<ScriptedCaptureDriver>();
        driver = scripted.get();
        driver->setDriver(0, QStringLiteral("Camera A"));
        driver->setFrame(scene());
        cam = std::make_unique<TVideoCam>(nullptr, std::move(scripted));
        cam->resize(320, 240);
        cam->SetEnglishMessages(true);
        cam->SetDriverName(QStringLiteral("Camera A"));
        cam->SetActive(true);
        cam->SetVideoFormat(320, 240, 24);
        host = std::make_unique<PipelineHost>(*cam, dir);
        host->options.PauseOnScanning = false;
        controller = std::make_unique<TScanController>(*host);
        controller->ApplyInitialLook();
        controller->TimerScan().start();
        controller->SetScanReady(true);
        controller->RxSpeedButtonAnalyseClick(&button);
    }
    ~ScanPipeline() override { RequestComparisonStop(); }

    void tick() { controller->TimerScanTimer(&controller->TimerScan()); }
    QStringList pictures() const
    {
        return QDir(host->pictures.Folder).entryList(QDir::Files | QDir::NoDotAndDotDot);
    }

    ScratchDir dir;
    ScriptedCaptureDriver* driver = nullptr;
    std::unique_ptr<TVideoCam> cam;
    std::unique_ptr<PipelineHost> host;
    std::unique_ptr<TScanController> controller;
    QObject button;
};

} // namespace

TEST_F(ScanPipeline, AStillSceneNeverDetectsAndAnObjectSavesOnePicture)
{
    ASSERT_TRUE(cam->Active());
    ASSERT_EQ(cam->VideoWidth(), 320);
    for (int i = 0; i < 4; ++i)
        tick();
    EXPECT_EQ(controller->DetectionCount(), 0);
    EXPECT_TRUE(pictures().isEmpty());
    EXPECT_TRUE(host->info.startsWith("Scanning: ")) << host->info.toStdString();

    driver->setFrame(sceneWithObject());
    tick();
    EXPECT_EQ(controller->DetectionCount(), 1);
    EXPECT_TRUE(host->red);
    tick();
    EXPECT_EQ(controller->DetectionCount(), 1) << "the object came once and stayed";
    EXPECT_FALSE(host->red);
    const QStringList saved = pictures();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_TRUE(MatchesPictureName(saved[0])) << saved[0].toStdString();
    EXPECT_EQ(controller->LastImage(), host->pictures.Folder + "/" + saved[0]);
    const QImage jpeg = ReadJpegFile(controller->LastImage());
    EXPECT_EQ(jpeg.size(), QSize(320, 240));
    // Far from the stamp, the picture shows the object.
    EXPECT_GT(qRed(jpeg.pixel(70, 60)), 200);
    EXPECT_LT(qRed(jpeg.pixel(250, 150)), 100);
}

TEST_F(ScanPipeline, AScanFrameAwayFromTheObjectSeesNothing)
{
    host->area = TScanArea{true, 55, 55, 40, 40};
    tick();
    driver->setFrame(sceneWithObject());
    tick();
    EXPECT_EQ(controller->DetectionCount(), 0);
    EXPECT_TRUE(pictures().isEmpty());
    host->area = TScanArea{true, 5, 5, 30, 30};
    driver->setFrame(scene());
    tick();
    EXPECT_EQ(controller->DetectionCount(), 1);
}

TEST_F(ScanPipeline, AFrameFileThatCannotBeWrittenFailsTheCycle)
{
    tick();
    driver->failSaveFrame = true;
    tick();
    EXPECT_EQ(host->info, "Scanning - Wait: 200ms");
    EXPECT_EQ(controller->GrabWait(), 200);
    driver->failSaveFrame = false;
    tick();
    EXPECT_TRUE(host->info.startsWith("Scanning: ")) << host->info.toStdString();
    EXPECT_TRUE(host->info.endsWith("- Differences: 0.00%- Freqency: 250ms- Wait: 200ms"));
}

TEST_F(ScanPipeline, AFailedPictureSaveWarnsAndSwitchesScanningOff)
{
    host->pictures.Folder = dir.file("missing/folder");
    tick();
    driver->setFrame(sceneWithObject());
    ModalAnswerer answerer(PressMessageBoxButton(QMessageBox::Ok));
    tick();
    EXPECT_TRUE(answerer.answered());
    EXPECT_TRUE(answerer.text().startsWith("Error: Unable to save picture:"))
        << answerer.text().toStdString();
    EXPECT_EQ(controller->DetectionCount(), 1);
    EXPECT_FALSE(controller->Scanning());
    EXPECT_EQ(controller->LastImage(), "");
}
