// Writes what the demo camera shows through the real pipeline as PNG files:
// one while the scene is still and one while the object crosses.
//   capture_demo_snapshot <folder> [width height]
#include "DemoScene.h"
#include "GstCaptureDriver.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>

namespace {

void RunFor(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QDir out(args.value(1, QStringLiteral(".")));
    const int w = args.value(2, QStringLiteral("352")).toInt();
    const int h = args.value(3, QStringLiteral("288")).toInt();

    GstCaptureDriver driver(GstCaptureDriver::Options{false, false, 1});
    driver.demoScene().setMotionPeriodMs(DemoScene::kMinPeriodMs); // crossing from 1 s to 3 s
    if (!driver.createSession(w, h) || !driver.connectDriver(0)) {
        std::fprintf(stderr, "demo camera did not start\n");
        return 1;
    }
    VideoFormat f = *driver.videoFormat();
    f.header.width = w;
    f.header.height = h;
    if (!driver.setVideoFormat(f)) {
        std::fprintf(stderr, "size %d x %d refused\n", w, h);
        return 1;
    }
    RunFor(500);
    driver.grabFrameNoStop();
    driver.currentFrame().save(out.filePath(QStringLiteral("demo-still.png")));
    RunFor(1500); // the object is halfway across
    driver.currentFrame().save(out.filePath(QStringLiteral("demo-moving.png")));
    std::printf("wrote %s and %s\n", qPrintable(out.filePath(QStringLiteral("demo-still.png"))),
                qPrintable(out.filePath(QStringLiteral("demo-moving.png"))));
    return 0;
}
