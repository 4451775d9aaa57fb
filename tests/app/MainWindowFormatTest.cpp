// Start-up brings the capture format within the program's limits, and
// closing leaves the driver with the format it had before the program came.
#include "DataPaths.h"
#include "GstCaptureDriver.h"
#include "ModalAnswerer.h"
#include "ScratchDir.h"
#include "ScriptedCaptureDriver.h"
#include "TFormMainLE.h"
#include "TVideoCam.h"
#include "VideoFormatFile.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

BitmapInfoHeader Header(int w, int h)
{
    BitmapInfoHeader header;
    header.width = w;
    header.height = h;
    header.bitCount = 24;
    header.sizeImage = static_cast<std::uint32_t>(w * h * 3);
    return header;
}

QSize StoredSize(const QString& path)
{
    const BitmapInfoHeader header = ReadVideoFormatFile(path);
    return {header.width, header.height};
}

QSize CamSize(TVideoCam& cam)
{
    return {cam.VideoWidth(), cam.VideoHeight()};
}

// A scripted camera that, like a real driver, comes back from a new
// connection with the last format it accepted.
class KeepingDriver final : public ScriptedCaptureDriver
{
public:
    bool connectDriver(int index) override
    {
        if (!ScriptedCaptureDriver::connectDriver(index))
            return false;
        if (kept_)
            ScriptedCaptureDriver::setVideoFormat(*kept_);
        return true;
    }
    bool setVideoFormat(const VideoFormat& format) override
    {
        if (!ScriptedCaptureDriver::setVideoFormat(format))
            return false;
        kept_ = format;
        return true;
    }

private:
    std::optional<VideoFormat> kept_;
};

// Every data file in a scratch folder, the given driver chosen, no
// stability wait; no message box is expected, and one that comes is answered
// and recorded rather than left hanging.
class MainWindowFormat : public ::testing::Test
{
protected:
    void SetUp() override { SetDataFolder(dir.path()); }
    void TearDown() override { SetDataFolder(QString()); }

    void Choose(const QString& driverName)
    {
        dir.write("iLXLE.INI", "[Setup]\r\nStabilite=0\r\n");
        dir.write("iLXLE_PARAM.DAT",
                  "[Setup]\r\nDriver=" + driverName.toUtf8() + "\r\nSelect=0\r\n");
        dir.write("iLXLE_ALERTE.DAT", "[Setup]\r\nBeep=0\r\nLog=0\r\n");
    }

    static std::unique_ptr<GstCaptureDriver> Demo()
    {
        GstCaptureDriver::Options options;
        options.probeCameras = false; // the demo camera alone, at index 0
        return std::make_unique<GstCaptureDriver>(options);
    }

    void Start(TFormMainLE& form)
    {
        ModalAnswerer box(PressMessageBoxButton(QMessageBox::Ok), 3000);
        form.show();
        for (int i = 0; i < 200 && form.FirstActivationPending(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        unexpectedBox = box.answered() ? box.text() : QString();
    }

    ScratchDir dir;
    QString unexpectedBox;
};

} // namespace

TEST_F(MainWindowFormat, AStoredFormatOverTheMaximumIsCutToItAndTheCameraRunsAtThatSize)
{
    Choose(GstCaptureDriver::kDemoCameraName);
    WriteVideoFormatFile(DataPaths().UserVid, Header(640, 480));
    auto driver = Demo();
    GstCaptureDriver* gst = driver.get();
    TFormMainLE form(std::move(driver));
    Start(form);
    ASSERT_FALSE(form.FirstActivationPending());
    EXPECT_TRUE(unexpectedBox.isEmpty()) << unexpectedBox.toStdString();
    ASSERT_TRUE(form.VideoCam()->Active());
    EXPECT_EQ(CamSize(*form.VideoCam()), QSize(352, 288));
    // The driver itself, not only the component's copy, has the cut format,
    // and the frames it delivers have that size.
    ASSERT_TRUE(gst->videoFormat());
    EXPECT_EQ(gst->videoFormat()->header.width, 352);
    EXPECT_EQ(gst->videoFormat()->header.height, 288);
    EXPECT_EQ(form.VideoCam()->GrabImage().size(), QSize(352, 288));
    EXPECT_EQ(StoredSize(DataPaths().DefVid), QSize(640, 480)) << "the camera's own format";
}

TEST_F(MainWindowFormat, AStoredFormatUnderTheMinimumIsRaisedToIt)
{
    Choose(QStringLiteral("Scripted camera"));
    WriteVideoFormatFile(DataPaths().UserVid, Header(64, 24));
    auto driver = std::make_unique<KeepingDriver>();
    driver->setDriver(0, QStringLiteral("Scripted camera"));
    TFormMainLE form(std::move(driver));
    Start(form);
    ASSERT_FALSE(form.FirstActivationPending());
    EXPECT_TRUE(unexpectedBox.isEmpty()) << unexpectedBox.toStdString();
    ASSERT_TRUE(form.VideoCam()->Active());
    EXPECT_EQ(CamSize(*form.VideoCam()), QSize(80, 30));
    EXPECT_EQ(StoredSize(DataPaths().DefVid), QSize(320, 240));
}

// A stored format no driver could take (width 0) is refused without a word,
// and the format dialog asks for one: the size picked there is used.
TEST_F(MainWindowFormat, AStoredFormatNoDriverCouldTakeOpensTheFormatDialog)
{
    Choose(GstCaptureDriver::kDemoCameraName);
    WriteVideoFormatFile(DataPaths().UserVid, Header(0, 240));
    TFormMainLE form(Demo());
    ModalAnswerer pick(
        [](QWidget* dialog) {
            auto* sizes = dialog->findChild<QListWidget*>(QStringLiteral("ListBoxSizes"));
            const QList<QListWidgetItem*> item = sizes->findItems("320 x 240", Qt::MatchExactly);
            ASSERT_EQ(item.size(), 1);
            QTest::mouseClick(sizes->viewport(), Qt::LeftButton, {},
                              sizes->visualItemRect(item[0]).center());
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("BitBtnOK")),
                              Qt::LeftButton);
        },
        5000, "TDlgVideoFormat");
    Start(form);
    EXPECT_TRUE(pick.answered()) << "the format dialog opened";
    EXPECT_TRUE(unexpectedBox.isEmpty()) << unexpectedBox.toStdString();
    ASSERT_TRUE(form.VideoCam()->Active());
    EXPECT_EQ(CamSize(*form.VideoCam()), QSize(320, 240));
}

TEST_F(MainWindowFormat, TheUsersFormatIsKeptForNextTimeAndTheCamerasOwnIsPutBackOnClosing)
{
    Choose(GstCaptureDriver::kDemoCameraName);
    WriteVideoFormatFile(DataPaths().UserVid, Header(176, 144));
    TFormMainLE form(Demo());
    Start(form);
    ASSERT_TRUE(form.VideoCam()->Active());
    EXPECT_TRUE(unexpectedBox.isEmpty()) << unexpectedBox.toStdString();
    EXPECT_EQ(CamSize(*form.VideoCam()), QSize(176, 144)) << "a format within the limits is used";

    form.close();
    EXPECT_FALSE(form.VideoCam()->Active());
    EXPECT_EQ(StoredSize(DataPaths().UserVid), QSize(176, 144));
    EXPECT_EQ(StoredSize(DataPaths().DefVid), QSize(640, 480));
    // The next connection, by anyone, finds the camera as it was before.
    form.VideoCam()->SetActive(true);
    EXPECT_EQ(CamSize(*form.VideoCam()), QSize(640, 480));
    form.VideoCam()->SetActive(false);
}
