#include "ScanTiming.h"
#include "ScanTexts.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace ScanTiming;

TEST(ScanTiming, BaseIntervalFollowsTheFrequencyItem)
{
    const int expected[] = {250, 500, 1000, 5000, 30000, 60000};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(BaseIntervalForFrequencyIndex(i), expected[i]);
    EXPECT_EQ(BaseIntervalForFrequencyIndex(-1), 500);
    EXPECT_EQ(BaseIntervalForFrequencyIndex(6), 500);
}

TEST(ScanTiming, OverlapsGrowTheDelayUpTo3000ThenStartAgain)
{
    int delay = 0;
    for (int i = 0; i < 12; ++i)
        delay = DelayAfterOverlap(delay);
    EXPECT_EQ(delay, 3000);
    EXPECT_EQ(DelayAfterOverlap(delay), 0);
}

TEST(ScanTiming, FastCyclesShrinkTheDelayToMultiplesOfTen)
{
    // One and a half, ties to even.
    EXPECT_EQ(OneAndAHalf(33), 50);
    EXPECT_EQ(OneAndAHalf(1), 2);
    EXPECT_EQ(OneAndAHalf(3), 4);
    EXPECT_EQ(OneAndAHalf(5), 8);
    EXPECT_EQ(OneAndAHalf(7), 10);
    EXPECT_EQ(OneAndAHalf(400), 600);

    // 5 s base, a 100 ms cycle: the delay is (still) 0 and the period stays 5000.
    EXPECT_EQ(AdaptedDelay(100, 5000, 0), 0);
    // Auto delay and a 400 ms cycle: no change without a delay...
    EXPECT_FALSE(AdaptedDelay(400, 250, 0).has_value());
    // ... and 750 -> 350 (a 600 ms period) after overlaps.
    EXPECT_EQ(AdaptedDelay(400, 250, 750), 350);
    EXPECT_EQ(AdaptedDelay(33, 250, 0), 0);
    // 177 ms -> 266, 16 over the base, rounded down to 10.
    EXPECT_EQ(AdaptedDelay(177, 250, 1000), 10);
    // Exactly the period: no change.
    EXPECT_FALSE(AdaptedDelay(400, 500, 100).has_value());
}

TEST(ScanTiming, FailuresLengthenTheWaitAndTicksSurviveTheWrap)
{
    EXPECT_EQ(GrabWaitAfterFailure(0), 200);
    EXPECT_EQ(GrabWaitAfterFailure(200), 400);
    EXPECT_EQ(GrabWaitAfterFailure(2800), 3000);
    EXPECT_EQ(GrabWaitAfterFailure(3000), 3000) << "at its ceiling";
    EXPECT_EQ(GrabWaitAfterFailure(2147483600), 2147483600) << "never lowered";
    EXPECT_EQ(ElapsedTicks(0xFFFFFF00u, 0x100u), 512);
    EXPECT_EQ(ElapsedTicks(1000, 1140), 140);
}

TEST(ScanTexts, StatusLinesReadLetterForLetter)
{
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(ScanTexts::StatusLine(140, 0.0, 250, 0),
              "Scanning: 140ms- Differences: 0.00%- Freqency: 250ms");
    EXPECT_EQ(ScanTexts::StatusLine(12, 30.25, 600, 400),
              "Scanning: 12ms- Differences: 30.25%- Freqency: 600ms- Wait: 400ms");
    EXPECT_EQ(ScanTexts::StatusLine(1, 2.0 / 3, 250, 0),
              "Scanning: 1ms- Differences: 0.67%- Freqency: 250ms");
    EXPECT_EQ(ScanTexts::OverlapDelayed(750), "Scanning in progress... delayed:750ms");
    EXPECT_EQ(ScanTexts::BufferNotReady(), "Scanning - Buffer");
    EXPECT_EQ(ScanTexts::GrabWait(200), "Scanning - Wait: 200ms");
    EXPECT_EQ(ScanTexts::WaitingStability(3000), "Waiting picture stability 30");
    EXPECT_EQ(ScanTexts::WaitingStability(99), "Waiting picture stability 0");

    // The decimal separator is the locale's.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(ScanTexts::StatusLine(140, 30.25, 250, 0),
              "Scanning: 140ms- Differences: 30,25%- Freqency: 250ms");
    QLocale::setDefault(QLocale::c());
}
