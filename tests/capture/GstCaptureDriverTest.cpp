#include "GstCaptureDriver.h"

#include "BmpFile.h"
#include "DemoScene.h"
#include "ModalAnswerer.h"
#include "ScratchDir.h"
#include "TDlgVideoFormat.h"
#include "TDlgVideoSource.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

VideoFormat WithSize(VideoFormat f, int w, int h)
{
    f.header.width = w;
    f.header.height = h;
    return f;
}

GstCaptureDriver::Options TestOptions()
{
    GstCaptureDriver::Options o;
    o.probeCameras = false; // CI has no camera; the demo and the test pattern stand in
    o.testPattern = true;
    return o;
}

constexpr int kPattern = 0;
constexpr int kDemo = 1;

class GstDriver : public ::testing::Test
{
protected:
    void connect(int index)
    {
        ASSERT_TRUE(driver.createSession(320, 240));
        ASSERT_TRUE(driver.connectDriver(index));
    }

    // Counts the preview's frame notifications in `frames`.
    void CountFrames()
    {
        driver.setFrameNotification([this](const CaptureVideoHeader*) {
            ++frames;
            return 1;
        });
    }

    GstCaptureDriver driver{TestOptions()};
    ScratchDir dir;
    int frames = 0;
};

} // namespace

TEST_F(GstDriver, ListsTheDemoCameraLastAndNothingBeyond)
{
    ASSERT_TRUE(driver.driverDescription(kPattern));
    EXPECT_EQ(driver.driverDescription(kPattern)->name, GstCaptureDriver::kTestPatternName);
    ASSERT_TRUE(driver.driverDescription(kDemo));
    EXPECT_EQ(driver.driverDescription(kDemo)->name, "Demo camera (built-in test scene)");
    EXPECT_FALSE(driver.driverDescription(2));
    EXPECT_FALSE(driver.driverDescription(-1));
    EXPECT_FALSE(driver.driverDescription(10));

    GstCaptureDriver plain(GstCaptureDriver::Options{false, false, 1});
    EXPECT_EQ(plain.driverDescription(0)->name, GstCaptureDriver::kDemoCameraName);
    EXPECT_FALSE(plain.driverDescription(1));
}

TEST_F(GstDriver, SessionRulesAndStoredRecords)
{
    EXPECT_FALSE(driver.connectDriver(kDemo)); // no session yet
    EXPECT_FALSE(driver.captureParams());
    EXPECT_EQ(driver.videoFormatSize(), 0);
    ASSERT_TRUE(driver.createSession(320, 240));
    EXPECT_FALSE(driver.createSession(320, 240)); // one capture window only
    EXPECT_FALSE(driver.connectDriver(7));        // nothing there

    auto params = driver.captureParams();
    ASSERT_TRUE(params);
    params->requestMicroSecPerFrame = 41666;
    params->numAudioRequested = 9; // a field the component never writes comes back as written
    ASSERT_TRUE(driver.setCaptureParams(*params));
    EXPECT_EQ(driver.captureParams(), params);
    WaveFormat audio;
    audio.channels = 2;
    driver.setAudioFormat(audio);
    EXPECT_EQ(driver.audioFormat(), audio);

    driver.destroySession();
    EXPECT_FALSE(driver.hasSession());
    EXPECT_FALSE(driver.captureParams());
}

TEST_F(GstDriver, DemoCameraStartsAtItsNativeSizeWithItsCapabilities)
{
    connect(kDemo);
    const auto f = driver.videoFormat();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->header.width, 640);
    EXPECT_EQ(f->header.height, 480);
    EXPECT_EQ(f->header.bitCount, 24);
    EXPECT_EQ(f->header.size, 40u);
    EXPECT_EQ(driver.videoFormatSize(), 40);
    const DriverCaps caps = driver.capabilities();
    EXPECT_TRUE(caps.hasDlgVideoFormat);
    EXPECT_TRUE(caps.hasDlgVideoSource);
    EXPECT_FALSE(caps.hasDlgVideoDisplay);
    EXPECT_FALSE(caps.hasOverlay);
    EXPECT_EQ(driver.offeredSizes(),
              (QList<QSize>{{160, 120}, {176, 144}, {320, 240}, {352, 288}, {640, 480}}));
}

TEST_F(GstDriver, FormatChangesReachTheSavedFrameAndRefusalsKeepTheOldSize)
{
    connect(kDemo);
    const VideoFormat base = *driver.videoFormat();
    const QString path = dir.file("~ILXTMP.BMP");
    for (const QSize s : {QSize(176, 144), QSize(352, 288), QSize(160, 120)}) {
        ASSERT_TRUE(driver.setVideoFormat(WithSize(base, s.width(), s.height()))) << s.width();
        EXPECT_EQ(driver.videoFormat()->header.width, s.width());
        driver.grabFrameNoStop();
        ASSERT_TRUE(driver.saveFrame(path));
        QString error;
        const QImage frame = BmpFile::Load(path, &error);
        EXPECT_EQ(frame.size(), s) << error.toStdString();
        // Stretched to fill the frame: the wall reaches the top row, no black bars.
        EXPECT_GT(frame.pixelColor(s.width() / 2, 0).lightness(), 100) << s.width();
        EXPECT_EQ(QImage(path).size(), s); // and Qt's own reader agrees
    }

    // A 32-bit format gives 32-bit frame files.
    VideoFormat deep = WithSize(base, 160, 120);
    deep.header.bitCount = 32;
    ASSERT_TRUE(driver.setVideoFormat(deep));
    EXPECT_EQ(driver.videoFormat()->header.bitCount, 32);
    driver.grabFrameNoStop();
    ASSERT_TRUE(driver.saveFrame(path));
    const QByteArray file = dir.read("~ILXTMP.BMP");
    ASSERT_GE(file.size(), 54);
    EXPECT_EQ(qFromLittleEndian<quint16>(file.constData() + 28), 32);
    EXPECT_EQ(BmpFile::Load(path).size(), QSize(160, 120));
    deep.header.bitCount = 24;
    ASSERT_TRUE(driver.setVideoFormat(deep));

    EXPECT_FALSE(driver.setVideoFormat(WithSize(base, 300, 200))); // not offered
    VideoFormat sixteen = WithSize(base, 176, 144);
    sixteen.header.bitCount = 16;
    EXPECT_FALSE(driver.setVideoFormat(sixteen));
    VideoFormat compressed = WithSize(base, 176, 144);
    compressed.header.compression = 0x47504A4D;
    EXPECT_FALSE(driver.setVideoFormat(compressed));
    EXPECT_EQ(driver.videoFormat()->header.width, 160);
    driver.grabFrameNoStop();
    ASSERT_TRUE(driver.saveFrame(path));
    EXPECT_EQ(BmpFile::Load(path).size(), QSize(160, 120));

    EXPECT_FALSE(driver.saveFrame(dir.path() + "/" + QString(300, 'x')));
}

// The program cuts the format to its limits on a connection of its own and
// connects again for the video: the driver must still have that format.
TEST_F(GstDriver, AReconnectedSourceKeepsItsLastAcceptedFormat)
{
    connect(kDemo);
    const VideoFormat base = *driver.videoFormat();
    ASSERT_EQ(base.header.width, 640);
    ASSERT_TRUE(driver.setVideoFormat(WithSize(base, 352, 288)));
    driver.disconnectDriver();
    ASSERT_TRUE(driver.connectDriver(kDemo));
    EXPECT_EQ(driver.videoFormat()->header.width, 352);
    EXPECT_EQ(driver.videoFormat()->header.height, 288);
    driver.grabFrameNoStop();
    const QString path = dir.file("again.bmp");
    ASSERT_TRUE(driver.saveFrame(path));
    EXPECT_EQ(BmpFile::Load(path).size(), QSize(352, 288));
    // Another source keeps its own.
    driver.disconnectDriver();
    ASSERT_TRUE(driver.connectDriver(kPattern));
    EXPECT_EQ(driver.videoFormat()->header.width, 640);
}

TEST_F(GstDriver, SwitchingTheSourcesModeReopensItAtTheNewSize)
{
    connect(kPattern); // modes 320 x 240 and 640 x 480; starts at 640 x 480
    const VideoFormat base = *driver.videoFormat();
    const QString path = dir.file("mode.bmp");
    // 176 (other mode), 320 (same mode, live), 352 (back to the large mode), 640.
    for (const QSize s : {QSize(176, 144), QSize(320, 240), QSize(352, 288), QSize(640, 480)}) {
        ASSERT_TRUE(driver.setVideoFormat(WithSize(base, s.width(), s.height()))) << s.width();
        driver.grabFrameNoStop();
        ASSERT_TRUE(driver.saveFrame(path));
        EXPECT_EQ(BmpFile::Load(path).size(), s);
    }
    EXPECT_EQ(driver.connectedIndex(), kPattern);
}

TEST_F(GstDriver, TestPatternRunsThroughTheSamePipeline)
{
    connect(kPattern);
    EXPECT_FALSE(driver.capabilities().hasDlgVideoSource); // videotestsrc has no picture controls
    ASSERT_TRUE(driver.setVideoFormat(WithSize(*driver.videoFormat(), 352, 288)));
    driver.grabFrameNoStop();
    const QString path = dir.file("pattern.bmp");
    ASSERT_TRUE(driver.saveFrame(path));
    const QImage frame = BmpFile::Load(path);
    ASSERT_EQ(frame.size(), QSize(352, 288));
    EXPECT_NE(frame.pixelColor(0, 0), frame.pixelColor(176, 144)); // a picture, not a blank
}

TEST_F(GstDriver, PreviewDeliversFramesAtThePreviewRateOnTheGuiThread)
{
    int frames = 0;
    bool offThread = false;
    std::uint32_t bytes = 0;
    driver.setFrameNotification([&](const CaptureVideoHeader* h) {
        ++frames;
        offThread |= QThread::currentThread() != qApp->thread();
        bytes = h->bytesUsed;
        return 1;
    });
    connect(kDemo);
    CaptureParams params = *driver.captureParams();
    params.requestMicroSecPerFrame = 1000000 / 30;
    ASSERT_TRUE(driver.setCaptureParams(params));
    ASSERT_TRUE(driver.setVideoFormat(WithSize(*driver.videoFormat(), 320, 240)));
    QCoreApplication::processEvents();
    EXPECT_EQ(frames, 0); // nothing before preview is on
    driver.setPreviewRate(1000 / 24);
    driver.setPreview(true);
    WaitUntil([] { return false; }, 1000);
    // The demo camera sends 30 frames a second; the preview takes one every 41 ms.
    EXPECT_GE(frames, 14);
    EXPECT_LE(frames, 26);
    EXPECT_FALSE(offThread);
    EXPECT_EQ(bytes, 320u * 240u * 4u); // as the view paints them

    driver.setPreview(false);
    QCoreApplication::processEvents();
    const int stopped = frames;
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(frames, stopped);
}

TEST_F(GstDriver, TheDemoDrawsAtTheSessionsSizeAndRate)
{
    CountFrames();
    connect(kDemo);
    CaptureParams params = *driver.captureParams();
    params.requestMicroSecPerFrame = 1000000 / 8;
    ASSERT_TRUE(driver.setCaptureParams(params));
    ASSERT_TRUE(driver.setVideoFormat(WithSize(*driver.videoFormat(), 176, 144)));
    driver.setPreviewRate(1000 / 24);
    driver.setPreview(true);
    WaitUntil([] { return false; }, 300); // frames drawn before the change have gone by
    const int before = frames;
    WaitUntil([] { return false; }, 1000);
    // Eight new frames a second, each shown once, however often the preview looks.
    EXPECT_GE(frames - before, 5);
    EXPECT_LE(frames - before, 10);
    EXPECT_EQ(driver.currentFrame().size(), QSize(176, 144));
}

TEST_F(GstDriver, ACameraSlowerThanThePreviewWakesTheGuiThreadOnlyForItsFrames)
{
    // Counts what the GUI thread is woken for: timers, and work queued to it.
    struct Wakes : QObject
    {
        int timers = 0;
        int queued = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            timers += e->type() == QEvent::Timer;
            queued += e->type() == QEvent::MetaCall;
            return false;
        }
    } wakes;
    CountFrames();
    connect(kDemo);
    CaptureParams params = *driver.captureParams();
    params.requestMicroSecPerFrame = 1000000 / 8;
    ASSERT_TRUE(driver.setCaptureParams(params));
    driver.setPreviewRate(1000 / 24);
    driver.setPreview(true);
    WaitUntil([] { return false; }, 300);
    qApp->installEventFilter(&wakes);
    const int before = frames;
    WaitUntil([] { return false; }, 1000);
    qApp->removeEventFilter(&wakes);
    const int shown = frames - before;
    EXPECT_GE(shown, 5);
    EXPECT_LE(shown, 10);
    // Eight frames a second wake it about eight times, not at the preview's
    // 24 a second.
    EXPECT_LE(wakes.timers, 2);
    EXPECT_LE(wakes.queued, shown + 2);
}

TEST_F(GstDriver, AViewNoOneSeesGetsNoFramesUntilItIsShownAgain)
{
    CountFrames();
    connect(kDemo);
    driver.setPreviewRate(1000 / 24);
    driver.setPreview(true);
    ASSERT_TRUE(WaitUntil([&] { return frames > 2; }, 2000));
    driver.setViewShown(false);
    const int hidden = frames;
    WaitUntil([] { return false; }, 500);
    EXPECT_EQ(frames, hidden);
    driver.setViewShown(true);
    EXPECT_EQ(frames, hidden + 1) << "the newest picture at once";
    ASSERT_TRUE(WaitUntil([&] { return frames > hidden + 3; }, 2000));
}

TEST_F(GstDriver, DemoObjectShowsInGrabbedFrames)
{
    driver.demoScene().setMotionPeriodMs(DemoScene::kMinPeriodMs); // crossing from 1 s to 3 s
    connect(kDemo);
    ASSERT_TRUE(driver.setVideoFormat(WithSize(*driver.videoFormat(), 352, 288)));
    // Grab every 250 ms for 3.2 s and keep the largest change between neighbours.
    QImage previous;
    double most = 0;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 3200) {
        WaitUntil([] { return false; }, 250);
        driver.grabFrameNoStop();
        ASSERT_TRUE(driver.saveFrame(dir.file("g.bmp")));
        const QImage frame = BmpFile::Load(dir.file("g.bmp"));
        if (!previous.isNull()) {
            qint64 changed = 0;
            for (int y = 0; y < frame.height(); ++y)
                for (int x = 0; x < frame.width(); ++x) {
                    const QColor a = frame.pixelColor(x, y), b = previous.pixelColor(x, y);
                    changed +=
                        std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                  std::abs(a.blue() - b.blue())}) > 38;
                }
            most = std::max(most, 100.0 * double(changed) / (352.0 * 288.0));
        }
        previous = frame;
    }
    EXPECT_GT(most, 5.0);
}

TEST_F(GstDriver, CameraFailureMidStreamIsAnErrorNotificationNotACrash)
{
    std::vector<std::pair<int, QString>> errors;
    bool offThread = false;
    driver.setErrorNotification([&](int id, const QString& text) {
        errors.emplace_back(id, text);
        offThread |= QThread::currentThread() != qApp->thread();
        return 1;
    });
    driver.setDemoFailure(20);
    connect(kDemo);
    ASSERT_TRUE(WaitUntil([&] { return !errors.empty(); }, 5000));
    WaitUntil([] { return false; }, 200);
    ASSERT_EQ(errors.size(), 1u); // reported once, not once per streaming thread
    EXPECT_EQ(errors[0].first, GstCaptureDriver::kErrorStream);
    EXPECT_TRUE(errors[0].second.startsWith(GstCaptureDriver::kDemoCameraName))
        << errors[0].second.toStdString();
    EXPECT_FALSE(offThread);

    // A dead camera writes no frame file, refuses formats, and can be dropped.
    driver.grabFrameNoStop();
    EXPECT_FALSE(driver.saveFrame(dir.file("dead.bmp")));
    EXPECT_FALSE(QFile::exists(dir.file("dead.bmp")));
    EXPECT_FALSE(driver.setVideoFormat(WithSize(*driver.videoFormat(), 176, 144)));
    driver.disconnectDriver();

    driver.setDemoFailure(-1);
    ASSERT_TRUE(driver.connectDriver(kDemo)); // and it comes back
    driver.grabFrameNoStop();
    EXPECT_TRUE(driver.saveFrame(dir.file("alive.bmp")));
}

TEST_F(GstDriver, ACameraThatGoesQuietIsReportedLost)
{
    GstCaptureDriver::Options o = TestOptions();
    o.stallMs = 400;
    GstCaptureDriver quiet(o);
    std::vector<int> ids;
    quiet.setErrorNotification([&](int id, const QString&) {
        ids.push_back(id);
        return 1;
    });
    quiet.setDemoFailure(10, GstCaptureDriver::DemoFault::Freeze);
    ASSERT_TRUE(quiet.createSession(320, 240));
    ASSERT_TRUE(quiet.connectDriver(kDemo));
    // Frames come for a third of a second, then nothing and no error from the stream.
    ASSERT_TRUE(WaitUntil([&] { return !ids.empty(); }, 3000));
    WaitUntil([] { return false; }, 500);
    EXPECT_EQ(ids, std::vector<int>{GstCaptureDriver::kErrorNoPicture});
    quiet.grabFrameNoStop();
    EXPECT_FALSE(quiet.saveFrame(dir.file("quiet.bmp")));
    quiet.destroySession(); // the hung source is released without waiting for it
}

TEST_F(GstDriver, FormatDialogAppliesTheChosenSize)
{
    connect(kDemo);
    ModalAnswerer answer([](QWidget* modal) {
        auto* dlg = qobject_cast<QDialog*>(modal);
        auto* list = modal->findChild<QListWidget*>("ListBoxSizes");
        ASSERT_TRUE(dlg && list);
        EXPECT_EQ(list->currentItem()->text(), "640 x 480"); // starts on the current size
        list->setCurrentRow(1);
        modal->findChild<QPushButton*>("BitBtnOK")->click();
    });
    driver.showFormatDialog(nullptr);
    ASSERT_TRUE(answer.answered());
    EXPECT_EQ(driver.videoFormat()->header.width, 176);
    EXPECT_EQ(driver.videoFormat()->header.height, 144);
    driver.grabFrameNoStop();
    EXPECT_TRUE(driver.saveFrame(dir.file("f.bmp")));
    EXPECT_EQ(BmpFile::Load(dir.file("f.bmp")).size(), QSize(176, 144));
}

TEST_F(GstDriver, DemoSourceDialogSetsPeriodAndNoiseAndCancelPutsThemBack)
{
    connect(kDemo);
    ModalAnswerer ok([](QWidget* modal) {
        modal->findChild<QSpinBox*>("SpinEditPeriod")->setValue(10);
        modal->findChild<QSpinBox*>("SpinEditNoise")->setValue(12);
        modal->findChild<QPushButton*>("BitBtnOK")->click();
    });
    driver.showSourceDialog(nullptr);
    ASSERT_TRUE(ok.answered());
    EXPECT_EQ(driver.demoScene().motionPeriodMs(), 10000);
    EXPECT_EQ(driver.demoScene().noise(), 12);

    ModalAnswerer cancel([](QWidget* modal) {
        modal->findChild<QSpinBox*>("SpinEditPeriod")->setValue(0);
        modal->findChild<QSpinBox*>("SpinEditNoise")->setValue(40);
        modal->findChild<QPushButton*>("BitBtnCancel")->click();
    });
    driver.showSourceDialog(nullptr);
    ASSERT_TRUE(cancel.answered());
    EXPECT_EQ(driver.demoScene().motionPeriodMs(), 10000);
    EXPECT_EQ(driver.demoScene().noise(), 12);
}

TEST_F(GstDriver, TearingDownWhileStreamingIsSafe)
{
    driver.setFrameNotification([](const CaptureVideoHeader*) { return 1; });
    for (int i = 0; i < 3; ++i) {
        connect(kDemo);
        driver.setPreviewRate(10);
        driver.setPreview(true);
        WaitUntil([] { return false; }, 50);
        driver.destroySession();
    }
    connect(kPattern);
    // The fixture's driver is destroyed with its pipeline still playing.
}

TEST_F(GstDriver, ConnectingAgainAndAgainLeavesNothingBehind)
{
    // Each pipeline a connection builds owns a bus and sockets; a pipeline
    // kept alive by one message never released would show as descriptors.
    const auto openDescriptors = [] {
        return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot).size();
    };
    // A camera let go is stopped away from the caller, and one closed in good
    // health keeps running a moment for a connect right after: both are
    // over within a few seconds.
    // The workers that start and stop pipelines stay, with a descriptor
    // each: a first round brings them.
    const auto settled = [&] {
        WaitUntil([] { return false; }, 2600);
    };
    const auto round = [&] {
        for (int i = 0; i < 4; ++i) {
            ASSERT_TRUE(driver.connectDriver(i % 2 ? kPattern : kDemo));
            driver.disconnectDriver();
        }
    };
    ASSERT_TRUE(driver.createSession(320, 240));
    round();
    settled();
    const qsizetype before = openDescriptors();
    round();
    EXPECT_TRUE(WaitUntil([&] { return openDescriptors() == before; }, 5000))
        << openDescriptors() << " descriptors open, " << before << " before: " << [] {
               QStringList targets;
               for (const QFileInfo& fd : QDir(QStringLiteral("/proc/self/fd"))
                                              .entryInfoList(QDir::NoDotAndDotDot | QDir::System))
                   targets << fd.symLinkTarget();
               return targets.join(' ').toStdString();
           }();
}

TEST_F(GstDriver, AnUnpluggedDemoCameraLeavesTheListAndComesBack)
{
    connect(kDemo);
    std::optional<std::pair<int, QString>> error;
    driver.setErrorNotification([&](int id, const QString& text) {
        error = std::make_pair(id, text);
        return 1;
    });
    driver.unplugDemo(300);
    ASSERT_TRUE(WaitUntil([&] { return error.has_value(); }, 3000))
        << "the running picture is lost";
    EXPECT_TRUE(error->second.startsWith("Demo camera (built-in test scene): "));
    driver.disconnectDriver();
    ASSERT_TRUE(driver.driverDescription(0).has_value()); // the list is read from its start
    EXPECT_FALSE(driver.driverDescription(kDemo).has_value()) << "gone from the list";
    EXPECT_FALSE(driver.connectDriver(kPattern + 1));
    ASSERT_TRUE(WaitUntil([&] { return !driver.demoUnplugged(); }, 3000));
    ASSERT_TRUE(driver.driverDescription(0).has_value());
    ASSERT_TRUE(driver.driverDescription(kDemo).has_value()) << "plugged back";
    EXPECT_TRUE(driver.connectDriver(kDemo));
}

// Opening ahead: the outcome comes from the event loop, never from within
// the call; the connect then takes the camera without opening it again, and
// a camera that is not there is told at once.
TEST_F(GstDriver, OpeningAheadTellsFromTheEventLoopAndTheConnectTakesTheCamera)
{
    std::vector<OpenResult> told;
    driver.setOpenNotification([&](const OpenResult& result) { told.push_back(result); });
    driver.openDriver(kPattern);
    EXPECT_TRUE(told.empty()) << "never from within the call";
    ASSERT_TRUE(WaitUntil([&] { return !told.empty(); }, 5000));
    EXPECT_EQ(told.front().index, kPattern);
    EXPECT_TRUE(told.front().ok());
    ASSERT_TRUE(driver.createSession(320, 240));
    QElapsedTimer taken;
    taken.start();
    ASSERT_TRUE(driver.connectDriver(kPattern));
    EXPECT_LT(taken.elapsed(), 50) << "taken as it was opened";
    driver.disconnectDriver();

    // Dropped before it answers: nothing is told.
    told.clear();
    driver.openDriver(kDemo);
    driver.cancelOpen();
    WaitUntil([] { return false; }, 500);
    EXPECT_TRUE(told.empty());

    driver.unplugDemo(-1);
    ASSERT_TRUE(driver.driverDescription(0).has_value()); // the list is read from its start
    ASSERT_FALSE(driver.driverDescription(kDemo).has_value());
    driver.openDriver(kDemo);
    ASSERT_TRUE(WaitUntil([&] { return !told.empty(); }, 1000));
    EXPECT_EQ(told.front().failure, OpenFailure::Absent);
}
