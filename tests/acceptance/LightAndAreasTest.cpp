// Fewer false alarms with the demo camera: its lamp in a corner of the room,
// and areas of the picture painted out on the Watch page.
#include "Program.h"

#include "DemoScene.h"
#include "GstCaptureDriver.h"
#include "IgnoreMask.h"
#include "TDlgIgnoreAreas.h"
#include "TFormOptions.h"
#include "TIgnoreAreasEditor.h"

#include <QCheckBox>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class LightAndAreas : public ::testing::Test
{
protected:
    LightAndAreas() : app(Program::Camera::Demo) {}

    // Sets the demo camera from its source dialog (Ctrl+S): the walker's
    // period and the lamp's (seconds, 0 = never), and the lamp's place.
    void SetSource(int walkerSeconds, int lampSeconds, bool corner)
    {
        ModalScript source({{"TDlgVideoSource", [&](QWidget* dialog) {
                                 // Arrow keys: "never" is no number to type.
                                 const auto set = [&](const char* name, int value) {
                                     auto* spin = dialog->findChild<QSpinBox*>(name);
                                     app.ClickAt(spin, spin->rect().center());
                                     for (int i = 0; i < 10 + value; ++i)
                                         QTest::keyClick(dialog->windowHandle(),
                                                         i < 10 ? Qt::Key_PageDown : Qt::Key_Up);
                                 };
                                 set("SpinEditPeriod", walkerSeconds);
                                 set("SpinEditLight", lampSeconds);
                                 auto* box = dialog->findChild<QCheckBox*>("CheckBoxLampCorner");
                                 if (box->isChecked() != corner)
                                     app.ClickAt(box, QPoint(8, box->height() / 2));
                                 app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, dialog);
                             }}});
        app.Key(Qt::Key_S, Qt::ControlModifier);
        ASSERT_EQ(source.Done(), 1);
        const DemoScene& scene = app.Demo().demoScene();
        ASSERT_EQ(scene.lampInCorner(), corner);
        ASSERT_EQ(scene.lightPeriodMs(), lampSeconds * 1000);
    }

    // New pictures while scanning for `ms`.
    qsizetype PicturesWhileScanning(int ms)
    {
        const qsizetype before = app.Pictures().size();
        app.Key(Qt::Key_F5);
        EXPECT_TRUE(app.Scanning());
        Program::Pause(ms);
        app.Key(Qt::Key_F5);
        return app.Pictures().size() - before;
    }

    Program app;
};

} // namespace

// The lamp in a corner lights the room near it nearly twice as brightly: each
// switch is a detection until light changes are ignored; then none is, and the
// walker crossing while the lamp keeps switching is still caught.
TEST_F(LightAndAreas, ACornerLampIsIgnoredAndTheWalkerStillCaught)
{
    app.Start();
    SetSource(0, 1, true);
    EXPECT_GT(PicturesWhileScanning(2500), 0) << "the corner lamp counts while light counts";

    app.OpenOptionsPage(QStringLiteral("Watch"));
    app.Click(QStringLiteral("CheckBoxIgnoreLight"), Qt::LeftButton, {}, &app.Options());
    app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, &app.Options());
    EXPECT_EQ(PicturesWhileScanning(3500), 0) << "three switches, no picture";

    SetSource(3, 1, true);
    EXPECT_GT(PicturesWhileScanning(4000), 0) << "the walker crosses in the switching light";
}

// Cells painted over the walker's path ("Areas to ignore..." on the Watch
// page) stop its pictures; the cells given back detect again. The areas are
// kept in the settings.
TEST_F(LightAndAreas, APaintedAreaStopsThePicturesOfWhatMovesInIt)
{
    app.Start();
    SetSource(3, 0, false);
    // Drags along rows of cells in the areas' dialog, from the left edge to
    // `share` of the width, then OK.
    const auto paint = [&](int firstRow, double share) {
        app.OpenOptionsPage(QStringLiteral("Watch"));
        ModalScript areas({{"TDlgIgnoreAreas", [&](QWidget* dialog) {
                                auto* editor = static_cast<TDlgIgnoreAreas*>(dialog)->Editor;
                                const int right = int(editor->width() * share) - 3;
                                for (int row = firstRow; row < IgnoreMask::kRows; ++row) {
                                    const int y =
                                        (2 * row + 1) * editor->height() / (2 * IgnoreMask::kRows);
                                    app.Drag(editor, QPoint(2, y), QPoint(right, y), {});
                                }
                                app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, dialog);
                            }}});
        app.Click(QStringLiteral("BitBtnIgnoreAreas"), Qt::LeftButton, {}, &app.Options());
        ASSERT_EQ(areas.Done(), 1);
        app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, &app.Options());
    };
    ASSERT_TRUE(app.Options().IgnoreAreas().empty()) << "none at first";
    // The walker walks in the lower two thirds of the room.
    paint(4, 1.0);
    EXPECT_EQ(app.Options().IgnoreAreas().count(), 8 * IgnoreMask::kColumns);
    EXPECT_EQ(IgnoreMask::FromText(app.Stored("iLXLE_PARAM.DAT", "IgnoreAreas")),
              app.Options().IgnoreAreas());
    EXPECT_EQ(PicturesWhileScanning(6500), 0) << "two crossings behind the painted area";

    // Dragging from an ignored cell gives cells back: the left half.
    paint(4, 0.5);
    EXPECT_EQ(app.Options().IgnoreAreas().count(), 8 * IgnoreMask::kColumns / 2);
    EXPECT_GT(PicturesWhileScanning(4000), 0) << "the walker caught in the half given back";
}
