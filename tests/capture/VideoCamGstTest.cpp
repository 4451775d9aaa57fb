#include "GstCaptureDriver.h"
#include "ScratchDir.h"
#include "VideoCamFixture.h"
#include "WaitFor.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>

namespace {

// The component over the real GStreamer pipeline, without the machine's cameras.
class VideoCamGst : public ::testing::Test
{
protected:
    VideoCamGst()
    {
        GstCaptureDriver::Options options;
        options.probeCameras = false;
        options.testPattern = true;
        auto gst = std::make_unique<GstCaptureDriver>(options);
        driver = gst.get();
        cam = std::make_unique<TVideoCam>(nullptr, std::move(gst));
        cam->resize(352, 288);
        cam->SetEnglishMessages(true);
        cam->SetFramesPreview(24);
    }

    void Connect(const char* name)
    {
        cam->SetDriverName(QString::fromLatin1(name));
        ASSERT_NE(cam->Dispositif(), -1) << name;
        cam->SetActive(true);
    }

    std::unique_ptr<TVideoCam> cam;
    GstCaptureDriver* driver = nullptr;
};

} // namespace

TEST_F(VideoCamGst, DemoCameraConnectsAndTakesTheProgramsSizes)
{
    Connect(GstCaptureDriver::kDemoCameraName);
    EXPECT_TRUE(cam->Active());
    EXPECT_EQ(cam->VideoWidth(), 640);
    EXPECT_EQ(cam->VideoHeight(), 480);
    EXPECT_EQ(cam->VideoBitCount(), 24);
    EXPECT_TRUE(cam->HasFormatDialog());
    EXPECT_TRUE(cam->HasSourceDialog());
    EXPECT_FALSE(cam->HasDisplayDialog());

    ASSERT_TRUE(cam->SetVideoFormat(176, 144, 0));
    EXPECT_EQ(cam->VideoWidth(), 176);
    EXPECT_EQ(cam->VideoHeight(), 144);
    EXPECT_EQ(cam->VideoBitCount(), 24);
    ASSERT_TRUE(cam->SetVideoFormat(352, 288, 0));
    EXPECT_EQ(cam->VideoWidth(), 352);
    EXPECT_EQ(cam->VideoHeight(), 288);

    EXPECT_EQ(ErrorOf([&] { cam->SetVideoFormat(5000, 3, 12); }),
              "Video format not valid:\nWidth: 5000\nHeight: 3\nBit per pixel: 12");
    EXPECT_EQ(cam->VideoWidth(), 352);
    EXPECT_EQ(ErrorOf([&] { cam->ShowDisplayDialog(); }),
              "The device don't allow to select video display");
}

TEST_F(VideoCamGst, FormatFileBringsBackTheSavedSize)
{
    ScratchDir dir;
    Connect(GstCaptureDriver::kDemoCameraName);
    ASSERT_TRUE(cam->SetVideoFormat(176, 144, 0));
    ASSERT_TRUE(cam->SaveVideoFormat(dir.file("iLXLE_USER.VID")));
    EXPECT_EQ(QFile(dir.file("iLXLE_USER.VID")).size(), 40);
    ASSERT_TRUE(cam->SetVideoFormat(320, 240, 0));
    ASSERT_TRUE(cam->LoadVideoFormat(dir.file("iLXLE_USER.VID")));
    EXPECT_EQ(cam->VideoWidth(), 176);
    EXPECT_EQ(cam->VideoHeight(), 144);
}

TEST_F(VideoCamGst, GrabbedFramesLoadAtTheFormatSize)
{
    ScratchDir dir;
    cam->SetImageFile(dir.file("~ILXTMP.BMP"));
    for (const char* name :
         {GstCaptureDriver::kDemoCameraName, GstCaptureDriver::kTestPatternName}) {
        Connect(name);
        ASSERT_TRUE(cam->SetVideoFormat(352, 288, 0));
        QFile::remove(cam->ImageFile());
        // The first frame at a new size may take a moment to come through.
        ASSERT_TRUE(WaitFor([&] {
            cam->GrabFrame();
            return QFile::exists(cam->ImageFile());
        })) << name;
        const QImage frame(cam->ImageFile());
        ASSERT_FALSE(frame.isNull()) << name;
        EXPECT_EQ(frame.size(), QSize(352, 288)) << name;
        EXPECT_EQ(cam->GrabImage().size(), QSize(352, 288)) << name;
        cam->SetActive(false);
    }
}

namespace {

// Share of sample points (every 8th pixel) inside area that are not black.
double LitShare(const QImage& image, const QRect& area)
{
    int lit = 0;
    int all = 0;
    for (int y = area.top(); y <= area.bottom(); y += 8)
        for (int x = area.left(); x <= area.right(); x += 8, ++all)
            lit += qGray(image.pixel(x, y)) > 24;
    return all ? double(lit) / all : 0.0;
}

} // namespace

TEST_F(VideoCamGst, PreviewFramesArriveAndAreShown)
{
    int frames = 0;
    cam->OnFrame = [&](TVideoCam*, int, const CaptureVideoHeader* header) {
        if (header && header->data)
            ++frames;
    };
    Connect(GstCaptureDriver::kDemoCameraName);
    ASSERT_TRUE(WaitFor([&] { return frames >= 5; })) << frames;

    // Stretched, the camera's picture fills the whole view.
    const QImage stretched = cam->grab().toImage();
    EXPECT_GT(LitShare(stretched, cam->rect()), 0.9);

    // At its own size, the picture sits top-left and the rest stays black.
    cam->SetPreviewScale(false);
    ASSERT_TRUE(cam->SetVideoFormat(176, 144, 0));
    ASSERT_TRUE(WaitFor([&] { return cam->GrabImage().size() == QSize(176, 144); }));
    const QImage native = cam->grab().toImage();
    EXPECT_GT(LitShare(native, QRect(0, 0, 176, 144)), 0.9);
    EXPECT_EQ(LitShare(native, QRect(184, 0, 160, 288)), 0.0);
    EXPECT_EQ(LitShare(native, QRect(0, 152, 352, 128)), 0.0);
}

TEST_F(VideoCamGst, CameraPulledOutMidStreamIsAnErrorEventNotACrash)
{
    int errors = 0;
    int lastId = 0;
    cam->OnError = [&](TVideoCam*, int, int id, const QString& text) {
        EXPECT_FALSE(text.isEmpty());
        lastId = id;
        ++errors;
    };
    Connect(GstCaptureDriver::kDemoCameraName);
    driver->setDemoFailure(3);
    ASSERT_TRUE(WaitFor([&] { return errors > 0; }));
    EXPECT_NE(lastId, 0);
    // The component stays usable: the program switches it off and on again.
    cam->SetActive(false);
    driver->setDemoFailure(-1); // the camera is plugged back in
    cam->SetActive(true);
    EXPECT_TRUE(cam->Active());
}
