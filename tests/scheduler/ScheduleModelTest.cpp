#include "Clock.h"
#include "EIlxError.h"
#include "Horaires.h"
#include "ScheduleTestSupport.h"
#include "TTimeCells.h"
#include "TimeTexts.h"

#include <gtest/gtest.h>

namespace {

constexpr int Sunday = 1, Monday = 2, Tuesday = 3, Saturday = 7;

class ScheduleQueries : public ::testing::Test
{
protected:
    void TearDown() override { SetClockSource({}); }

    struct Change
    {
        bool found = false;
        QTime start;
        int dayIndex = -1;
    };
    Change nextChange() const
    {
        Change c;
        c.found = FindNextChange(cells, c.start, c.dayIndex);
        return c;
    }
    int currentCell(bool* flag = nullptr) const
    {
        int k = -1, w = -1;
        bool f = false;
        GetCurrentCell(cells, k, w, f);
        if (flag)
            *flag = f;
        return k;
    }

    TTimeCells cells;
};

TEST_F(ScheduleQueries, FreshScheduleWantsScanningAlwaysAndNeverChanges)
{
    for (int w = Sunday; w <= Saturday; ++w) {
        PinNow(WeekMoment(w, (w * 5) % 24, 59, 59));
        bool flag = false;
        currentCell(&flag);
        EXPECT_TRUE(flag);
        EXPECT_FALSE(nextChange().found);
    }
}

TEST_F(ScheduleQueries, CurrentCellFollowsTheQuarterHourBoundaryAndWeekday)
{
    PinNow(WeekMoment(Monday, 10, 15, 0));
    int k = -1, w = -1;
    bool flag = false;
    GetCurrentCell(cells, k, w, flag);
    EXPECT_EQ(k, 41);
    EXPECT_EQ(w, Monday);

    PinNow(WeekMoment(Monday, 10, 14, 59));
    EXPECT_EQ(currentCell(), 40);

    PinNow(WeekMoment(Sunday, 0, 0, 0));
    GetCurrentCell(cells, k, w, flag);
    EXPECT_EQ(k, 0);
    EXPECT_EQ(w, Sunday);

    PinNow(WeekMoment(Saturday, 23, 59, 59));
    GetCurrentCell(cells, k, w, flag);
    EXPECT_EQ(k, 95);
    EXPECT_EQ(w, Saturday);

    cells.SetCell(95, Saturday, false);
    EXPECT_EQ(currentCell(&flag), 95);
    EXPECT_FALSE(flag);
}

TEST_F(ScheduleQueries, OnlyCellEarlierTodayIsFoundAWeekAhead)
{
    cells.Fill(false);
    cells.SetCell(32, Monday, true);
    PinNow(WeekMoment(Monday, 9, 0));
    const Change c = nextChange();
    ASSERT_TRUE(c.found);
    EXPECT_EQ(c.start, QTime(8, 0));
    EXPECT_EQ(c.dayIndex, 1);
}

TEST_F(ScheduleQueries, SearchWrapsFromSaturdayNightToSunday)
{
    cells.SetCell(0, Sunday, false);
    PinNow(WeekMoment(Saturday, 23, 50));
    const Change c = nextChange();
    ASSERT_TRUE(c.found);
    EXPECT_EQ(c.start, QTime(0, 0));
    EXPECT_EQ(c.dayIndex, 0);
}

TEST_F(ScheduleQueries, ChangeIsLookedForFromTheCurrentFlag)
{
    SetSpan(cells, Tuesday, 72, 75, false); // 18:00-19:00 off
    PinNow(WeekMoment(Tuesday, 17, 0));
    Change c = nextChange();
    ASSERT_TRUE(c.found);
    EXPECT_EQ(c.start, QTime(18, 0));
    EXPECT_EQ(c.dayIndex, 2);

    PinNow(WeekMoment(Tuesday, 18, 5));
    bool flag = true;
    currentCell(&flag);
    EXPECT_FALSE(flag);
    c = nextChange();
    ASSERT_TRUE(c.found);
    EXPECT_EQ(c.start, QTime(19, 0));
    EXPECT_EQ(c.dayIndex, 2);
}

TEST_F(ScheduleQueries, SearchStartsAtTheQuarterHourAfterTheCurrentOne)
{
    // The current cell alone is off: the very next quarter hour is the change.
    cells.SetCell(40, Tuesday, false);
    PinNow(WeekMoment(Tuesday, 10, 0));
    const Change c = nextChange();
    ASSERT_TRUE(c.found);
    EXPECT_EQ(c.start, QTime(10, 15));
    EXPECT_EQ(c.dayIndex, 2);
}

TEST(ScheduleCells, CellAndPositionAddressTheSameFlagsAndRangeIsChecked)
{
    TTimeCells cells;
    cells.Fill(false);
    cells.SetCell(5, Tuesday, true);
    EXPECT_TRUE(cells.AtPosition(2 * 96 + 5));
    cells.SetAtPosition(671, true);
    EXPECT_TRUE(cells.Cell(95, Saturday));
    EXPECT_THROW(cells.Cell(96, Monday), EIlxError);
    EXPECT_THROW(cells.Cell(0, 0), EIlxError);
    EXPECT_THROW(cells.SetCell(-1, 8, true), EIlxError);
    EXPECT_THROW(cells.AtPosition(672), EIlxError);
}

TEST(TimeTexts, DayNamesAreFixedTablesWithRangeCheck)
{
    EXPECT_EQ(FrenchDayName(0), "Dimanche");
    EXPECT_EQ(FrenchDayName(1), "Lundi");
    EXPECT_EQ(FrenchDayName(6), "Samedi");
    EXPECT_EQ(EnglishDayName(0), "Sunday");
    EXPECT_EQ(EnglishDayName(3), "Wednesday");
    EXPECT_EQ(EnglishDayName(6), "Saturday");
    EXPECT_THROW(FrenchDayName(7), EIlxError);
    EXPECT_THROW(EnglishDayName(-1), EIlxError);
}

TEST(TimeTexts, SecondsConvertWithinOneDayOnly)
{
    EXPECT_EQ(SecondsToTime(0), QTime(0, 0));
    EXPECT_EQ(SecondsToTime(36900), QTime(10, 15));
    EXPECT_EQ(SecondsToTime(86399), QTime(23, 59, 59));
    EXPECT_THROW(SecondsToTime(86400), EIlxError);
    EXPECT_THROW(SecondsToTime(-1), EIlxError);
    EXPECT_EQ(TimeToSeconds(QTime(23, 59, 59)), 86399);
    EXPECT_EQ(TimeToSeconds(QDateTime(QDate(2026, 1, 1), QTime(1, 2, 3))), 3723);
}

TEST(TimeTexts, BoundaryTextsAndCountdown)
{
    EXPECT_EQ(CellTimeText(36900), "10:15");
    EXPECT_EQ(CellTimeText(0), "00:00");
    EXPECT_EQ(CellTimeText(86400), "24:00");
    EXPECT_THROW(CellTimeText(86401), EIlxError);
    EXPECT_EQ(MillisecondsToTimeText(3723999), "01:02:03");
    EXPECT_EQ(MillisecondsToTimeText(999), "00:00:00");
}

} // namespace
