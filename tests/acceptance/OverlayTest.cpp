// The live picture drawn by the camera's own sink into a window of the view,
// as the X server shows it. Runs on a real X display only (the tests'
// offscreen platform has no native windows); ctest runs it under Xvfb.
#include "Program.h"

#include "DemoScene.h"
#include "GstCaptureDriver.h"
#include "TFormMainLE.h"
#include "TPanelTrans.h"
#include "TScanFrame.h"
#include "TVideoCam.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Mean difference of two pictures of one size, per channel, 0-255.
double MeanDiff(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return 255;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int i = 0; i < x.width(); ++i)
            sum += std::abs(qRed(p[i]) - qRed(q[i])) + std::abs(qGreen(p[i]) - qGreen(q[i])) +
                   std::abs(qBlue(p[i]) - qBlue(q[i]));
    }
    return sum / (3.0 * x.width() * x.height());
}

bool Green(QRgb c)
{
    return qGreen(c) > 200 && qRed(c) < 60 && qBlue(c) < 60;
}

class Overlay : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X display (ctest runs these under Xvfb)";
        app.BeforeStart = [](GstCaptureDriver& demo) {
            demo.demoScene().setMotionPeriodMs(3000);
        };
        app.Start();
        ASSERT_TRUE(app.VideoOn()) << app.Info().toStdString();
        ASSERT_TRUE(WaitFor([&] { return Surface() && Surface()->isVisible(); }, 3000));
        ASSERT_TRUE(app.Demo().drawsPreview());
    }
    QWidget* Surface() const { return app.Widget(QStringLiteral("VideoSurface")); }
    TVideoCam& View() const { return *app.Form().VideoCam(); }
    // What the X server shows of `area` of a widget: the sink's drawing included.
    static QImage Shot(QWidget* widget, QRect area = {})
    {
        Program::Pause(200); // what was sent is on the screen
        if (area.isNull())
            area = widget->rect();
        const QPoint at = widget->mapToGlobal(area.topLeft());
        return widget->screen()
            ->grabWindow(0, at.x(), at.y(), area.width(), area.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    // The camera's newest picture as the view shows it.
    QImage Expected() const
    {
        const QImage frame = app.Demo().currentFrame();
        return View().PreviewScale() ? frame.scaled(View().size()) : frame;
    }

    Program app{Program::Camera::Demo};
};

} // namespace

TEST_F(Overlay, TheSinkDrawsTheLivePictureAndItFollowsTheScene)
{
    const QImage first = Shot(&View());
    EXPECT_LT(MeanDiff(first, Expected()), 12) << "the camera's picture, not black";
    EXPECT_TRUE(WaitFor([&] { return MeanDiff(Shot(&View()), first) > 1.5; }, 5000))
        << "the walker moves on the screen";
}

TEST_F(Overlay, TheScanFrameStaysAboveThePictureAndFollowsADrag)
{
    app.Key(Qt::Key_F7);
    QWidget* frame = app.Form().ScanFrame().PanelTransFrame();
    ASSERT_TRUE(frame->isVisible());
    const QRect before = frame->geometry();
    // Its top edge, a pixel in from the left, as the screen shows it.
    auto edgeIsGreen = [&](QRect at) {
        const QImage shot = Shot(frame->parentWidget(), QRect(at.left() + 20, at.top(), 40, 1));
        int green = 0;
        for (int x = 0; x < shot.width(); ++x)
            green += Green(shot.pixel(x, 0));
        return green > shot.width() * 3 / 4;
    };
    EXPECT_TRUE(edgeIsGreen(before)) << "the frame above the sink's window";

    app.Drag(frame, QPoint(1, 30), QPoint(1 + 30, 30 + 25), Qt::ControlModifier);
    const QRect after = frame->geometry();
    ASSERT_NE(after.topLeft(), before.topLeft());
    EXPECT_TRUE(edgeIsGreen(after)) << "drawn where it went";
    EXPECT_TRUE(WaitFor([&] { return !edgeIsGreen(before); }, 2000))
        << "the picture again where it was";
}

TEST_F(Overlay, ZoomFillsThePanelWithThePicture)
{
    app.Click(QStringLiteral("CheckBoxScaleVideo"));
    ASSERT_TRUE(View().PreviewScale());
    QWidget* panel = app.Widget(QStringLiteral("PanelVideo"));
    ASSERT_TRUE(WaitFor([&] { return View().geometry() == panel->contentsRect(); }, 2000));
    ASSERT_GT(View().width(), app.Demo().currentFrame().width()) << "larger than the picture";
    EXPECT_EQ(Surface()->geometry(), View().rect());
    EXPECT_TRUE(WaitFor([&] { return MeanDiff(Shot(&View()), Expected()) < 12; }, 3000))
        << "the whole panel is the picture, stretched";
}

TEST_F(Overlay, TheStillReplacesThePicture)
{
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(app.Scanning());
    app.Key(Qt::Key_Space);
    auto* still = qobject_cast<QLabel*>(app.Widget(QStringLiteral("ImageFreeze")));
    ASSERT_TRUE(WaitFor([&] { return still->isVisible(); }, 2000));
    EXPECT_FALSE(Surface()->isVisible());
    const QImage shown = Shot(still);
    const QImage stillPicture =
        still->pixmap().toImage().scaled(still->size()).convertToFormat(QImage::Format_RGB32);
    EXPECT_LT(MeanDiff(shown, stillPicture), 12) << "the still, not the live picture";
    Program::Pause(2000); // the walker moves on meanwhile
    EXPECT_LT(MeanDiff(Shot(still), shown), 0.5) << "nothing draws over the still";
}
