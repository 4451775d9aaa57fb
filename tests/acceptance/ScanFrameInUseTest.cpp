// The scan frame as a user places it: F7, the frame button and menu, Ctrl+drag
// to move, Shift+drag on its corner to resize, and what scanning then watches.
#include "Program.h"

#include "JpegCodec.h"
#include "TFormMainLE.h"
#include "TPanelTrans.h"
#include "TScanController.h"
#include "TScanFrame.h"
#include "TVideoCam.h"

#include <QAction>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

constexpr QRgb kGrey = 0xff5a5a5a;

class ScanFrameInUse : public ::testing::Test
{
protected:
    QWidget* Frame() const { return app.Form().ScanFrame().PanelTransFrame(); }
    QRect View() const { return app.Form().VideoCam()->geometry(); }
    // The frame relative to the video view, in pixels.
    QRect FrameInView() const { return Frame()->geometry().translated(-View().topLeft()); }

    // The picture with a white patch over one part of it.
    static QImage Patch(const QRect& where)
    {
        QImage picture = FlatPicture(320, 240, kGrey);
        for (int y = where.top(); y <= where.bottom(); ++y)
            for (int x = where.left(); x <= where.right(); ++x)
                picture.setPixel(x, y, qRgb(255, 255, 255));
        return picture;
    }

    // Scans two cycles of the still picture, then shows the patch.
    void ScanThenShowThePatch(const QRect& where = QRect(0, 0, 80, 60))
    {
        app.Key(Qt::Key_F5);
        ASSERT_TRUE(app.Scanning());
        ASSERT_TRUE(WaitFor([&] { return app.Info().startsWith("Scanning: "); }, 5000))
            << app.Info().toStdString();
        app.SetPicture(Patch(where));
    }

    Program app;
};

} // namespace

TEST_F(ScanFrameInUse, F7ButtonAndMenuShowTheFrameOverTheVideoAndCloseSavesIt)
{
    app.Start();
    EXPECT_FALSE(Frame()->isVisible());
    app.Key(Qt::Key_F7);
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_TRUE(app.Action(QStringLiteral("MenuItemFrame"))->isChecked());
    EXPECT_EQ(FrameInView(), QRect(80, 60, 160, 120)) << "25, 25, 50, 50 percent of 320 x 240";

    app.Click(QStringLiteral("RxSpeedButtonFrame"));
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_FALSE(app.Action(QStringLiteral("MenuItemFrame"))->isChecked());

    ASSERT_TRUE(app.Menu({"&Video", "A&ctivate frame"}));
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_TRUE(qobject_cast<QToolButton*>(app.Widget("RxSpeedButtonFrame"))->isChecked());
    app.Close();
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "FrameOn"), "1");
}

TEST_F(ScanFrameInUse, AMovedFrameIsWhatScanningWatchesAndWhatPicturesOutline)
{
    app.SetPicture(FlatPicture(320, 240, kGrey));
    app.Start();
    app.Key(Qt::Key_F7);
    ASSERT_TRUE(Frame()->isVisible());

    // Ctrl held, the frame is taken by its outline and pulled past the view's
    // top-left corner: it stops there.
    app.Drag(Frame(), QPoint(1, 30), QPoint(1 - 200, 30 - 200), Qt::ControlModifier);
    EXPECT_EQ(FrameInView(), QRect(0, 0, 160, 120));

    // The change lies inside the moved frame only: seen at once, no restart.
    ScanThenShowThePatch();
    ASSERT_TRUE(WaitFor([&] { return !app.Pictures().isEmpty(); }, 5000))
        << "the change inside the moved frame was not detected: " << app.Info().toStdString();

    // The outline drawn into the picture is the moved frame's.
    const QImage saved = ReadJpegFile(app.CapturesFolder() + "/" + app.Pictures().first());
    ASSERT_FALSE(saved.isNull());
    EXPECT_GT(qGray(saved.pixel(120, 0)), 140) << "inverted grey on the new top edge";
    EXPECT_LT(qGray(saved.pixel(120, 60)), 115) << "inside the new frame, untouched";
    EXPECT_LT(qGray(saved.pixel(200, 60)), 115) << "where the old top edge ran, untouched";

    app.Close();
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "FramePX"), "0");
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "FramePY"), "0");
}

TEST_F(ScanFrameInUse, AFrameResizedAwayFromAChangeNoLongerSeesIt)
{
    app.SetPicture(FlatPicture(320, 240, kGrey));
    app.Start();
    app.Key(Qt::Key_F7);
    // Shift held on the bottom-right corner: shrunk to its 16 x 16 least, and
    // kept there when it snaps to whole percents of the view (5 % and 7 %).
    const QPoint corner(Frame()->width() - 2, Frame()->height() - 2);
    app.Drag(Frame(), corner, corner - QPoint(400, 400), Qt::ShiftModifier);
    EXPECT_EQ(FrameInView(), QRect(80, 60, 16, 16));

    // The change lies where the frame was, no longer where it is.
    ScanThenShowThePatch(QRect(160, 120, 80, 60));
    Program::Pause(1500);
    EXPECT_TRUE(app.Pictures().isEmpty()) << app.Info().toStdString();

    app.Close();
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "FramePW"), "5");
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "FramePH"), "7");
}

TEST_F(ScanFrameInUse, AChangeOutsideTheShownFrameIsNotADetection)
{
    app.SetPicture(FlatPicture(320, 240, kGrey));
    app.Store("iLXLE_PARAM.DAT", "FrameOn", "1");
    app.Start();
    ASSERT_TRUE(Frame()->isVisible()) << "a frame left on shows once the video is live";
    ScanThenShowThePatch();
    Program::Pause(1500);
    EXPECT_TRUE(app.Pictures().isEmpty()) << "the patch lies outside 25, 25, 50, 50";
}

TEST_F(ScanFrameInUse, AStoredFrameAtTheFarEdgeStillWatchesItsStrip)
{
    app.Store("iLXLE_PARAM.DAT", "FramePX", "100");
    app.Store("iLXLE_PARAM.DAT", "FramePY", "100");
    app.Store("iLXLE_PARAM.DAT", "FrameOn", "1");
    app.Start();
    ASSERT_TRUE(Frame()->isVisible());
    EXPECT_GT(Frame()->width(), 0);
    EXPECT_GT(Frame()->height(), 0);
    EXPECT_TRUE(View().contains(Frame()->geometry())) << "inside the picture";
    app.Close();
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "FramePX"), "99");
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "FramePW"), "1");
}
