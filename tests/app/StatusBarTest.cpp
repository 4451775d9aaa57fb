#include "StatusBarRules.h"
#include "TStatusBarVideo.h"

#include <QApplication>
#include <QFontMetrics>

#include <gtest/gtest.h>

using namespace StatusBarRules;

TEST(StatusBarRules, Panel0TakesTheRestButNeverLessThan48)
{
    EXPECT_EQ(Panel0Width(600), 600 - 50 - 120 - 16);
    EXPECT_EQ(Panel0Width(100), 48);
    EXPECT_EQ(Panel0Width(234), 48);
    EXPECT_EQ(Panel0Width(235), 49);
}

TEST(StatusBarRules, HintFollowsThePanelUnderTheMouse)
{
    const AlarmState armed{false, true};
    const int w0 = 250, w1 = 50, w2 = 120;
    EXPECT_EQ(HintAt(0, w0, w1, w2, 0, armed), "Resizing window");
    EXPECT_EQ(HintAt(1, w0, w1, w2, 0, armed), "Information");
    EXPECT_EQ(HintAt(252, w0, w1, w2, 0, armed), "Information");
    EXPECT_EQ(HintAt(253, w0, w1, w2, 0, armed), "No detection");
    EXPECT_EQ(HintAt(302, w0, w1, w2, 3, armed), "Detection");
    EXPECT_EQ(HintAt(303, w0, w1, w2, 0, armed), "Sound alarm is selected");
    EXPECT_EQ(HintAt(320, w0, w1, w2, 0, armed), "Sound alarm is selected");
    EXPECT_EQ(HintAt(321, w0, w1, w2, 0, armed), "Alarm set");
    EXPECT_EQ(HintAt(422, w0, w1, w2, 0, armed), "Alarm set");
    EXPECT_EQ(HintAt(423, w0, w1, w2, 0, armed), "Resizing window");
}

TEST(StatusBarRules, AlarmHintAndIconTellPlayingBeforeChecked)
{
    EXPECT_EQ(HintAt(305, 250, 50, 120, 0, {true, true}), "Sound alarm is busy");
    EXPECT_EQ(HintAt(305, 250, 50, 120, 0, {true, false}), "Sound alarm is busy");
    EXPECT_EQ(HintAt(305, 250, 50, 120, 0, {false, false}), "Sound alarm is note selected");
    EXPECT_EQ(IconFor({true, false}), IconSoundPlaying);
    EXPECT_EQ(IconFor({false, true}), IconAlarmOn);
    EXPECT_EQ(IconFor({false, false}), IconAlarmOff);
}

TEST(StatusBarRules, ClickZoneIsTheIconInclusive)
{
    EXPECT_FALSE(InAlarmClickZone(301, 250, 50));
    EXPECT_TRUE(InAlarmClickZone(302, 250, 50));
    EXPECT_TRUE(InAlarmClickZone(318, 250, 50));
    EXPECT_FALSE(InAlarmClickZone(319, 250, 50));
}

// The scan frame's hint in the first panel of the narrowest window (260
// pixels): drawn smaller so that it is read whole; a short hint keeps the font.
TEST(StatusBarVideo, ALongHintIsDrawnSmallerToBeReadWhole)
{
    const QString hint = QStringLiteral("Cadrage de l'analyse (Ctrl: Position - Shift: Dimension)");
    const QFont base = QApplication::font();
    const int room = Panel0Width(446) - 5;
    const QFont font = TStatusBarVideo::FittingFont(base, hint, room);
    EXPECT_LE(QFontMetrics(font).horizontalAdvance(hint), room);
    EXPECT_GE(font.pointSizeF(), 6.0);
    EXPECT_EQ(TStatusBarVideo::FittingFont(base, QStringLiteral("Information"), room), base);
}
