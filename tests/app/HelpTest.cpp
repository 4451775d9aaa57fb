#include "THelpFile.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

TEST(HelpFile, ShippedFileHoldsEveryTopicTheWindowsAskFor)
{
    THelpFile help;
    ASSERT_TRUE(help.Load(QStringLiteral(ILX_HELP_FILE)));
    for (int n :
         {0,     1000,  6000,  10000, 20020, 20030, 20060, 20070, 20078, 20080, 20090, 20100, 20110,
          20120, 20130, 20140, 20210, 30000, 40000, 40100, 40110, 40120, 40130, 40140, 40150, 40160,
          41110, 41120, 41130, 41140, 41150, 41200, 41210, 41212, 41214, 41216, 41270, 41800})
        EXPECT_TRUE(help.HasTopic(n)) << n;
    EXPECT_EQ(help.TopicTitle(20070), "Activate video");
}

TEST(HelpFile, MissingTopicAndMissingFileAreSaidPolitely)
{
    THelpFile help;
    help.LoadFromText(QStringLiteral("<section id=\"5\"><h2>Five</h2><p>x</p></section>"));
    EXPECT_TRUE(help.TopicHtml(7).contains("no help for this item (topic 7)"));
    EXPECT_TRUE(help.TopicHtml(5).contains("<p>x</p>"));

    ScratchDir dir;
    THelpFile absent;
    EXPECT_FALSE(absent.Load(dir.file("iLXLEEN32.hlp")));
    EXPECT_TRUE(absent.TopicHtml(20070).contains("iLXLEEN32.hlp"));
    EXPECT_TRUE(absent.ContentsHtml().contains("could not be read"));
}

TEST(HelpFile, ContentsLinksEveryNumberedTopic)
{
    THelpFile help;
    help.LoadFromText(QStringLiteral("<section id=\"0\"><h2>Intro</h2></section>"
                                     "<section id=\"20\"><h2>Twenty</h2></section>"
                                     "<section id=\"x\"><h2>Bad</h2></section>"
                                     "<section id=\"-3\"><h2>Minus</h2></section>"));
    const QString c = help.ContentsHtml();
    EXPECT_TRUE(c.contains("href=\"#20\">Twenty"));
    EXPECT_TRUE(c.contains("href=\"#-3\">Minus"));
    EXPECT_FALSE(c.contains("Bad"));
    EXPECT_TRUE(c.startsWith("<h2>Intro</h2>"));
}

TEST(HelpFile, ContextComesFromTheFirstNumberUpTheChainElseTheFallback)
{
    EXPECT_EQ(ResolveHelpContext({0, 0, 20020, 6000}, -10000), 20020);
    EXPECT_EQ(ResolveHelpContext({20070, 6000}, -10000), 20070);
    EXPECT_EQ(ResolveHelpContext({0, 0}, -10000), -10000);
    EXPECT_EQ(ResolveHelpContext({}, 6000), 6000);
    EXPECT_EQ(ResolveHelpContext({-40100}, 6000), -40100);
}
