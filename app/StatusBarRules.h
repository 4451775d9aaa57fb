#pragma once

#include <QString>

// Display-free rules of the main window's status bar: panel widths, the hint
// under the mouse and the alarm icon, so they can be checked without drawing.
namespace StatusBarRules {

constexpr int kPanel0Width = 250;
constexpr int kPanel1Width = 50;
constexpr int kPanel2Width = 120;
constexpr int kPanel3Width = 50;
// The first pixels of panel 2 hold the alarm icon, for hints and clicks.
constexpr int kIconZone = 18;

enum AlarmIcon
{
    IconAlarmOn = 1,
    IconAlarmOff = 2,
    IconSoundPlaying = 3
};

struct AlarmState
{
    bool SoundPlaying = false;
    bool AlarmChecked = false;
};

// Panel 0 takes what panels 1 and 2 leave, but never less than 48 pixels.
int Panel0Width(int barWidth, int w1 = kPanel1Width, int w2 = kPanel2Width);

// The hint shown in panel 0 while the mouse is at x over the bar.
QString HintAt(int x, int w0, int w1, int w2, int detections, AlarmState alarm);

// Whether a press at x lands on the alarm icon (which toggles the alarm).
bool InAlarmClickZone(int x, int w0, int w1);

AlarmIcon IconFor(AlarmState alarm);

} // namespace StatusBarRules
