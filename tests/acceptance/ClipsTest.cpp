// Event clips with the demo camera: the walker's crossings recorded as video
// from a little before the first detection to a little after the last.
#include "ClipProbe.h"
#include "Program.h"
#include "TestCameraServer.h"

#include "DemoScene.h"
#include "DiskSpace.h"
#include "GstCaptureDriver.h"
#include "ModalAnswerer.h"
#include "PictureName.h"
#include "TClipPlayer.h"
#include "TClipRecorder.h"
#include "TFormMainLE.h"
#include "TFormOptions.h"
#include "TFormView.h"
#include "TPictureBox.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QSpinBox>

#include <gtest/gtest.h>

namespace {

class Clips : public ::testing::Test
{
protected:
    explicit Clips() : app(Program::Camera::Demo) {}

    void SetCrossingEvery(int periodMs)
    {
        app.BeforeStart = [periodMs](GstCaptureDriver& driver) {
            driver.demoScene().setMotionPeriodMs(periodMs);
        };
    }
    void StoreClipSettings(bool on, int before, int after)
    {
        app.Store("iLXLE_IMAGE.DAT", "Clip", on ? "1" : "0");
        app.Store("iLXLE_IMAGE.DAT", "ClipBefore", QString::number(before));
        app.Store("iLXLE_IMAGE.DAT", "ClipAfter", QString::number(after));
    }
    QStringList ClipNames() const
    {
        return QDir(app.CapturesFolder())
            .entryList({QStringLiteral("*.mp4")}, QDir::Files, QDir::Name);
    }
    QString Path(const QString& name) const { return app.CapturesFolder() + '/' + name; }
    // Scanning stops, and the clip being written is completed.
    void StopAndSettle()
    {
        if (app.Scanning())
            app.Key(Qt::Key_F5);
        ASSERT_TRUE(WaitFor([&] { return !app.Form().Clips().Recording(); }, 15000));
        ASSERT_TRUE(app.Form().Clips().WaitClosed(15000));
        Program::Pause(100); // the clip's end is told through the event loop
    }
    static qint64 NameMs(const QString& name) { return PictureNameWallClock(name).value_or(-1); }

    Program app;
};

// How different two pictures are: the mean change of a channel, 0..255.
double MeanChange(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return 255;
    qint64 sum = 0;
    qint64 n = 0;
    for (int y = 0; y < a.height(); y += 2) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); x += 2, ++n)
            sum += std::abs(qRed(p[x]) - qRed(q[x])) + std::abs(qGreen(p[x]) - qGreen(q[x])) +
                   std::abs(qBlue(p[x]) - qBlue(q[x]));
    }
    return double(sum) / double(3 * n);
}

} // namespace

// Turned on in the options, one crossing of the walker leaves one clip beside
// its first picture: it starts the set seconds before the first detection,
// in the empty room, and ends the set seconds after the last one.
TEST_F(Clips, OneCrossingMakesOneClipFromBeforeTheWalkerToAfterTheLastDetection)
{
    SetCrossingEvery(8000); // the walker crosses at 6 to 8 s, then at 14 s
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Watch"));
    TFormOptions& options = app.Options();
    EXPECT_FALSE(options.SpinEditClipBefore->isEnabled()) << "off by default";
    app.Click(QStringLiteral("CheckBoxClip"), Qt::LeftButton, {}, &options);
    app.Type(options.SpinEditClipBefore, QStringLiteral("2"));
    app.Type(options.SpinEditClipAfter, QStringLiteral("1"));
    app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, &options);
    EXPECT_EQ(app.Stored("iLXLE_IMAGE.DAT", "Clip"), "1");
    app.Key(Qt::Key_F5);

    ASSERT_TRUE(WaitFor([&] { return app.Form().Clips().Recording(); }, 12000));
    EXPECT_TRUE(app.Info().endsWith("- Recording clip")) << app.Info().toStdString();
    ASSERT_TRUE(WaitFor([&] { return !app.Form().Clips().Recording(); }, 8000));
    StopAndSettle();
    EXPECT_FALSE(app.Info().contains("Recording clip")) << app.Info().toStdString();

    const QStringList pictures = app.Pictures();
    ASSERT_GE(pictures.size(), 2);
    ASSERT_EQ(ClipNames(), QStringList{ClipFileName(pictures.first())})
        << "named as the first picture";
    const ClipFacts clip = ProbeClip(Path(ClipNames().first()));
    ASSERT_TRUE(clip.playable) << clip.error.toStdString();
    EXPECT_EQ(clip.codec, "video/x-h264");
    EXPECT_EQ(QSize(clip.width, clip.height), QImage(Path(pictures.first())).size())
        << "the capture size";
    // Before 2 s + the detections + after 1 s, within the budgets: the first
    // picture at most 0.5 s late, the end within 1 s.
    const qint64 detections = NameMs(pictures.last()) - NameMs(pictures.first());
    EXPECT_GE(clip.spanMs(), 2000 + detections + 1000 - 700) << clip.spanMs() << " ms";
    EXPECT_LE(clip.spanMs(), 2000 + detections + 1000 + 1000) << clip.spanMs() << " ms";
    EXPECT_GE(clip.frames, clip.spanMs() * 10 / 1000) << "about 15 pictures a second";
    // The room is empty at both ends; the walker is in between.
    EXPECT_LT(MeanChange(clip.firstFrame, clip.lastFrame), 3.0);

    // The viewer marks the event's first picture and plays its clip there.
    ModalAnswerer viewer([&](QWidget* modal) {
        auto& view = *qobject_cast<TFormView*>(modal);
        const auto* mark = view.findChild<QLabel*>(QStringLiteral("LabelClip"));
        const auto* box = view.findChild<TPictureBox*>(QStringLiteral("Image"));
        EXPECT_EQ(view.CurrentIndex(), 0);
        ASSERT_TRUE(mark && mark->isVisible());
        const QImage picture = box->Picture();
        app.Key(Qt::Key_V);
        EXPECT_TRUE(WaitFor([&] { return box->Picture() != picture; }))
            << "no frame of the clip took the picture's place";
        EXPECT_EQ(view.ClipPlayer().State(), TClipPlayer::TState::Playing);
        view.close();
    });
    app.Key(Qt::Key_F9);
    ASSERT_TRUE(viewer.answered());
}

// One event while detections come closer together than the time after the
// last; two when the room is quiet for longer. Off, nothing but pictures.
TEST_F(Clips, CrossingsMakeOneClipPerEvent)
{
    struct Case
    {
        const char* what;
        bool on;
        int periodMs; // the walker crosses in the last 2 s of each period
        int afterS;
        int expected;
    };
    const Case cases[] = {
        {"crossings 2 s apart, 3 s after", true, 4000, 3, 1},
        {"crossings 3 s apart, 1 s after", true, 5000, 1, 2},
        {"clips off", false, 5000, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Program run(Program::Camera::Demo);
        run.BeforeStart = [&](GstCaptureDriver& driver) {
            driver.demoScene().setMotionPeriodMs(c.periodMs);
        };
        run.Store("iLXLE_IMAGE.DAT", "Clip", c.on ? "1" : "0");
        run.Store("iLXLE_IMAGE.DAT", "ClipBefore", "1");
        run.Store("iLXLE_IMAGE.DAT", "ClipAfter", QString::number(c.afterS));
        QElapsedTimer clock; // about the demo's own time: it started with the window
        clock.start();
        run.Start();
        run.Key(Qt::Key_F5);
        // Two crossings seen whole, then scanning stops.
        Program::Pause(int(std::max<qint64>(0, 2 * c.periodMs + 500 - clock.elapsed())));
        ASSERT_FALSE(run.Pictures().isEmpty());
        if (run.Scanning())
            run.Key(Qt::Key_F5);
        ASSERT_TRUE(WaitFor([&] { return !run.Form().Clips().Recording(); }, 15000));
        ASSERT_TRUE(run.Form().Clips().WaitClosed(15000));
        Program::Pause(100);
        const QStringList clips =
            QDir(run.CapturesFolder()).entryList({QStringLiteral("*.mp4")}, QDir::Files);
        EXPECT_EQ(clips.size(), c.expected) << clips.join(", ").toStdString();
        for (const QString& name : clips) {
            EXPECT_TRUE(run.Pictures().contains(name.chopped(4) + ".jpg")) << name.toStdString();
            EXPECT_TRUE(ProbeClip(run.CapturesFolder() + '/' + name).playable);
        }
        EXPECT_TRUE(run.Form().Clips().WriterElements().isEmpty());
    }
}

// A network camera that sends H.264 is recorded as it sends it: its own
// stream at its own size, packed into the clip with no encoder running.
TEST_F(Clips, AnRtspH264CameraIsRecordedFromItsOwnStream)
{
    TestCameraServer server(QStringLiteral("rtsp"), {"0", "800", "600", "15"});
    ASSERT_GT(server.Port(), 0) << "the test server did not start";
    app.Store("iLXLE_PARAM.DAT", "Count", "1", "Cameras");
    app.Store("iLXLE_PARAM.DAT", "Name1", "Yard", "Cameras");
    app.Store("iLXLE_PARAM.DAT", "Address1",
              QStringLiteral("rtsp://127.0.0.1:%1/h264").arg(server.Port()), "Cameras");
    app.Store("iLXLE_PARAM.DAT", "Driver", "Yard");
    StoreClipSettings(true, 1, 3);
    app.Start();
    ASSERT_TRUE(app.VideoOn()) << app.Info().toStdString();
    Program::Pause(2500); // a key frame from before the second ahead is kept by now
    app.Key(Qt::Key_F5);

    ASSERT_TRUE(WaitFor([&] { return app.Form().Clips().Recording(); }, 20000));
    const QStringList elements = app.Form().Clips().WriterElements();
    EXPECT_TRUE(elements.contains("mp4mux")) << elements.join(' ').toStdString();
    EXPECT_FALSE(elements.join(' ').contains("enc")) << elements.join(' ').toStdString();
    Program::Pause(2500); // the moving pattern keeps detecting until scanning stops
    StopAndSettle();

    const QStringList pictures = app.Pictures();
    ASSERT_FALSE(pictures.isEmpty());
    ASSERT_EQ(ClipNames(), QStringList{ClipFileName(pictures.first())});
    const ClipFacts clip = ProbeClip(Path(ClipNames().first()));
    ASSERT_TRUE(clip.playable) << clip.error.toStdString();
    EXPECT_EQ(clip.codec, "video/x-h264");
    EXPECT_EQ(QSize(clip.width, clip.height), QSize(800, 600)) << "the camera's own size";
    EXPECT_NE(QImage(Path(pictures.first())).size(), QSize(800, 600))
        << "the pictures are at the size shown";
    // From the key frame at or before 1 s ahead of the first detection (one
    // every 25 pictures at 15 a second) to 3 s after the last.
    const qint64 detections = NameMs(pictures.last()) - NameMs(pictures.first());
    EXPECT_GE(clip.spanMs(), 1000 + detections + 3000 - 500) << clip.spanMs() << " ms";
    EXPECT_LE(clip.spanMs(), 1000 + detections + 3000 + 1000 + 25 * 1000 / 15)
        << clip.spanMs() << " ms";
}

// A disk about to fill while a clip is written: the clip ends whole, before
// the disk's last bytes, with the picture save's own warning.
TEST_F(Clips, ADiskAboutToFillEndsTheClipWholeWithTheSaveWarning)
{
    constexpr qint64 MB = 1024 * 1024;
    qint64 free = 15000 * MB;
    SetDiskSpaceSource([&](const QString&) { return TDiskSpace{free, 2000000 * MB}; });
    SetCrossingEvery(4000);
    StoreClipSettings(true, 1, 30);
    app.Start();
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(WaitFor([&] { return app.Form().Clips().Recording(); }, 10000));
    const QString clip = app.Form().Clips().RecordingPath();
    app.Key(Qt::Key_F5);
    Program::Pause(1000);

    ModalAnswerer warning(PressMessageBoxButton(QMessageBox::Ok), 8000);
    free = 50 * MB;
    ASSERT_TRUE(WaitFor([&] { return warning.answered(); }, 5000)) << "within a second or two";
    SetDiskSpaceSource({});
    EXPECT_TRUE(warning.text().startsWith("Error: Unable to save picture:\n" + clip + "\n"))
        << warning.text().toStdString();
    EXPECT_TRUE(warning.text().contains("50")) << "says what is free";
    EXPECT_FALSE(app.Form().Clips().Recording());
    StopAndSettle();
    const ClipFacts facts = ProbeClip(clip);
    ASSERT_TRUE(facts.playable) << facts.error.toStdString();
    EXPECT_GE(facts.spanMs(), 1500);
}
