#include "Clock.h"

#include <gtest/gtest.h>

TEST(Clock, PinnedSourcesAreUsedAndRealOnesComeBack)
{
    const QDateTime pinned(QDate(2026, 12, 7), QTime(17, 0));
    SetClockSource([&] { return pinned; });
    SetTickSource([] { return 0xFFFFFFF0u; });
    EXPECT_EQ(IlxNow(), pinned);
    EXPECT_EQ(IlxTickCount(), 0xFFFFFFF0u);

    SetClockSource({});
    SetTickSource({});
    EXPECT_NE(IlxNow(), pinned);
    const std::uint32_t a = IlxTickCount();
    const std::uint32_t b = IlxTickCount();
    EXPECT_GE(b, a);
}
