// Shows the demo camera's live preview in a real top-level window and saves
// screenshots of the screen at intervals, so a person can see the picture
// and the object crossing it (run under xvfb-run on a machine without a display).
//   capture_preview_shot <folder> [shots] [interval-ms]

#include "GstCaptureDriver.h"
#include "TVideoCam.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QTextStream>

#include <memory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString folder = args.value(1, QStringLiteral("."));
    const int shots = args.value(2, QStringLiteral("8")).toInt();
    const int interval = args.value(3, QStringLiteral("500")).toInt();
    QDir().mkpath(folder);

    GstCaptureDriver::Options options;
    options.probeCameras = false;
    TVideoCam cam(nullptr, std::make_unique<GstCaptureDriver>(options));
    cam.setWindowTitle(QStringLiteral("i-Lumerix LE preview"));
    cam.resize(352, 288);
    cam.SetEnglishMessages(true);
    cam.SetFramesPreview(24);
    int frames = 0;
    cam.OnFrame = [&](TVideoCam*, int, const CaptureVideoHeader*) {
        ++frames;
    };
    cam.show();
    QTextStream out(stdout);
    try {
        cam.SetDriverName(QString::fromLatin1(GstCaptureDriver::kDemoCameraName));
        cam.SetActive(true);
        cam.SetVideoFormat(352, 288, 0);
    } catch (const std::exception& e) {
        out << "cannot start the demo camera: " << e.what() << Qt::endl;
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    for (int shot = 0; shot < shots; ++shot) {
        while (clock.elapsed() < qint64(shot + 1) * interval)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
        const QString file = QDir(folder).filePath(QStringLiteral("preview-%1.png").arg(shot));
        screen.save(file);
        out << file << " after " << clock.elapsed() << " ms, " << frames << " frames" << Qt::endl;
    }
    cam.SetActive(false);
    return 0;
}
