#include "OptionsRules.h"

#include <gtest/gtest.h>

using namespace OptionsRules;

TEST(OptionsRules, APrefixKeepsNoSeparatorNorBlankAndAtMostThreeCharacters)
{
    EXPECT_EQ(TypedPrefix(QStringLiteral("a b")), QStringLiteral("ab"));
    EXPECT_EQ(TypedPrefix(QStringLiteral("ABCDE")), QStringLiteral("ABC"));
    EXPECT_EQ(TypedPrefix(QStringLiteral("I*L/X:Y")), QStringLiteral("ILX"));
    EXPECT_EQ(TypedPrefix(QStringLiteral("\\:/* ")), QString());
    for (const QChar c : QStringLiteral(" */:\\"))
        EXPECT_TRUE(IsPrefixCharRefused(c)) << int(c.unicode());
    for (const QChar c : QStringLiteral("aZ9-_."))
        EXPECT_FALSE(IsPrefixCharRefused(c)) << int(c.unicode());
}

TEST(OptionsRules, TheQualityCaptionPutsThePercentOnItsOwnLine)
{
    EXPECT_EQ(QualityCaption(100), QStringLiteral("&Quality:\n100%"));
    EXPECT_EQ(QualityCaption(0), QStringLiteral("&Quality:\n0%"));
}

TEST(OptionsRules, TheCountdownRunsFromTheDelayDownToZero)
{
    const std::uint32_t origin = 1000;
    EXPECT_EQ(AutoStartRemainingMs(1, origin, origin), 60000);
    EXPECT_EQ(AutoStartText(60000), QStringLiteral("Start scanning in 00:01:00"));
    EXPECT_EQ(AutoStartRemainingMs(1, origin + 1, origin), 59999);
    EXPECT_EQ(AutoStartText(59999), QStringLiteral("Start scanning in 00:00:59"));
    EXPECT_EQ(AutoStartRemainingMs(1, origin + 60000, origin), 0);
    EXPECT_EQ(AutoStartRemainingMs(1, origin + 500000, origin), 0) << "never below zero";
    EXPECT_EQ(AutoStartText(0), QStringLiteral("Start scanning in 00:00:00"));
    EXPECT_EQ(AutoStartRemainingMs(60, origin, origin), 3600000);
    EXPECT_EQ(AutoStartText(3600000), QStringLiteral("Start scanning in 01:00:00"));
    EXPECT_EQ(AutoStartRemainingMs(-2, origin, origin), 120000) << "the delay's magnitude counts";
}

TEST(OptionsRules, TheCountdownSurvivesTheTickCounterWrapping)
{
    const std::uint32_t origin = 0xFFFFF000u; // 4096 ms before the wrap
    EXPECT_EQ(AutoStartRemainingMs(1, origin + 10000u, origin), 50000);
    // A cleared origin (0) makes the delay count as long elapsed.
    EXPECT_EQ(AutoStartRemainingMs(1, 5u * 60 * 60 * 1000, 0), 0);
}

TEST(OptionsRules, LogWarningsNameThePath)
{
    EXPECT_EQ(
        LogNotFoundText(QStringLiteral("/p/iLXLE_SOUND.LOG")),
        QStringLiteral("Logfile: \n/p/iLXLE_SOUND.LOG\nnot found !\nNo logfile was created."));
    EXPECT_EQ(LogOpenFailedText(QStringLiteral("/p/x.LOG")),
              QStringLiteral("Unable to open logfile:\n/p/x.LOG"));
    EXPECT_EQ(DriverLabel(QString()), QStringLiteral("No video driver selected"));
    EXPECT_EQ(DriverLabel(QStringLiteral("Cam")), QStringLiteral("Video driver: Cam"));
}
