#include "PictureName.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kExample(QDate(2024, 5, 17), QTime(14, 3, 59, 42));

} // namespace

TEST(PictureName, NameHoldsPrefixDateTimeAndMillisecondsLetterForLetter)
{
    const QString path = PictureFileName(QStringLiteral("/pics"), QStringLiteral("ILX"), kExample);
    EXPECT_EQ(path, QStringLiteral("/pics/ILX 2024-05-17 14-03-59-042.jpg"));
    EXPECT_EQ(path.mid(6).size(), 31);
    EXPECT_EQ(PictureFileName(QStringLiteral("/pics"), QStringLiteral("A"), kExample),
              QStringLiteral("/pics/A 2024-05-17 14-03-59-042.jpg"));
    // A folder given with its trailing separator gets no second one.
    EXPECT_EQ(PictureFileName(QStringLiteral("/pics/"), QStringLiteral("ILX"), kExample),
              QStringLiteral("/pics/ILX 2024-05-17 14-03-59-042.jpg"));
}

TEST(PictureName, SmallFieldsKeepTheirLeadingZeros)
{
    const QDateTime t(QDate(2026, 1, 2), QTime(3, 4, 5, 7));
    EXPECT_EQ(PictureFileName(QStringLiteral("/p"), QStringLiteral("ILX"), t),
              QStringLiteral("/p/ILX 2026-01-02 03-04-05-007.jpg"));
    EXPECT_EQ(StampTimeText(t), QStringLiteral("03:04:05:007"));
    EXPECT_EQ(StampDateText(t), QStringLiteral("02-01-26"));
}

TEST(PictureName, StampLinesDescribeTheGivenInstant)
{
    EXPECT_EQ(StampDateText(kExample), QStringLiteral("17-05-24"));
    EXPECT_EQ(StampTimeText(kExample), QStringLiteral("14:03:59:042"));
    const QDateTime lastMs(QDate(2024, 12, 31), QTime(23, 59, 59, 999));
    EXPECT_EQ(StampDateText(lastMs), QStringLiteral("31-12-24"));
    EXPECT_EQ(StampTimeText(lastMs), QStringLiteral("23:59:59:999"));
    EXPECT_EQ(PictureFileName(QStringLiteral("/p"), QStringLiteral("ILX"), lastMs),
              QStringLiteral("/p/ILX 2024-12-31 23-59-59-999.jpg"));
}

TEST(PictureName, ListingPatternTakesEveryPrefixTheOptionsAccept)
{
    EXPECT_TRUE(MatchesPictureName(QStringLiteral("ILX 2024-05-17 14-03-59-042.jpg")));
    EXPECT_TRUE(MatchesPictureName(QStringLiteral("abc 2024-05-17 14-03-59-042.JPG")));
    // Wildcards take any character, so a name with a bad date is still listed.
    EXPECT_TRUE(MatchesPictureName(QStringLiteral("ILX 2024-13-99 xx-03-59-042.jpg")));
    // One- and two-character prefixes are pictures too; four is too many, none too few.
    EXPECT_TRUE(MatchesPictureName(QStringLiteral("AB 2024-05-17 14-03-59-042.jpg")));
    EXPECT_TRUE(MatchesPictureName(QStringLiteral("A 2024-05-17 14-03-59-042.jpg")));
    EXPECT_FALSE(MatchesPictureName(QStringLiteral("ABCD 2024-05-17 14-03-59-042.jpg")));
    EXPECT_FALSE(MatchesPictureName(QStringLiteral(" 2024-05-17 14-03-59-042.jpg")));
    EXPECT_FALSE(MatchesPictureName(QStringLiteral("AB2024-05-17 14-03-59-042.jpg.")));
    EXPECT_FALSE(MatchesPictureName(QStringLiteral("ILX 2024-05-17 14-03-59-042.jpeg")));
    EXPECT_FALSE(MatchesPictureName(QStringLiteral("ILX 2024_05-17 14-03-59-042.jpg")));
    EXPECT_FALSE(MatchesPictureName(QStringLiteral("ILX 2024-05-17 14-03-59-042.jpg.tmp")));
    EXPECT_FALSE(MatchesPictureName(QString()));
}

TEST(PictureName, ParserReadsBackWhatTheNameWasMadeFrom)
{
    const QString path = PictureFileName(QStringLiteral("/p"), QStringLiteral("ILX"), kExample);
    const QString name = path.mid(3);
    ASSERT_TRUE(MatchesPictureName(name));
    EXPECT_EQ(PictureNameTime(name), kExample);
    EXPECT_EQ(PictureNameDate(name), kExample.date());
    // The fields follow a shorter prefix.
    const QString shortName =
        PictureFileName(QStringLiteral("/p"), QStringLiteral("A"), kExample).mid(3);
    ASSERT_TRUE(MatchesPictureName(shortName));
    EXPECT_EQ(PictureNameTime(shortName), kExample);
}

TEST(PictureName, ParserRejectsNamesThatMakeNoValidMoment)
{
    // 30 February, month 13, letters in the year, a too-short name.
    EXPECT_FALSE(PictureNameDate(QStringLiteral("ILX 2024-02-30 14-03-59-042.jpg")));
    EXPECT_FALSE(PictureNameDate(QStringLiteral("ILX 2024-13-01 14-03-59-042.jpg")));
    EXPECT_FALSE(PictureNameDate(QStringLiteral("ILX 2O24-05-17 14-03-59-042.jpg")));
    EXPECT_FALSE(PictureNameDate(QStringLiteral("ILX 2024-05-1")));
    EXPECT_FALSE(PictureNameDate(QStringLiteral("ILX +024-05-17 14-03-59-042.jpg")));
    // A valid day with an impossible hour still has a day but no moment.
    const QString badHour = QStringLiteral("ILX 2024-05-17 25-03-59-042.jpg");
    EXPECT_EQ(PictureNameDate(badHour), QDate(2024, 5, 17));
    EXPECT_FALSE(PictureNameTime(badHour));
    EXPECT_TRUE(PictureNameTime(QStringLiteral("ILX 2024-02-29 23-59-59-999.jpg")));
}
