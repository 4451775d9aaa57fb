// Shows the demo camera's live preview in a real window for a few seconds and
// saves a screenshot of the screen while the object crosses:
//   xvfb-run -s "-screen 0 640x480x24" capture_preview_window <png>
#include "DemoScene.h"
#include "GstCaptureDriver.h"
#include "TVideoCam.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString shot = app.arguments().value(1, QStringLiteral("preview.png"));

    auto driver = std::make_unique<GstCaptureDriver>(GstCaptureDriver::Options{false, false, 1});
    driver->demoScene().setMotionPeriodMs(DemoScene::kMinPeriodMs); // crossing from 1 s to 3 s
    QMainWindow window;
    auto* cam = new TVideoCam(&window, std::move(driver));
    window.setCentralWidget(cam);
    window.resize(352, 288);
    window.show();

    cam->SetEnglishMessages(true);
    cam->SetFramesPreview(24);
    cam->SetPreviewScale(true);
    cam->SetDriverName(QString::fromLatin1(GstCaptureDriver::kDemoCameraName));
    try {
        cam->SetActive(true);
        cam->SetVideoFormat(352, 288, 0);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    int status = 1;
    QTimer::singleShot(2000, &app, [&] {
        const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
        status = screen.save(shot) ? 0 : 1;
        std::printf("screen %dx%d saved to %s\n", screen.width(), screen.height(),
                    qPrintable(shot));
        app.quit();
    });
    app.exec();
    cam->SetActive(false);
    return status;
}
