#include "TPictureFolder.h"

#include "Clock.h"
#include "ScratchDir.h"

#include <QDir>
#include <QLocale>

#include <gtest/gtest.h>

namespace {

class PictureFolder : public ::testing::Test
{
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    void add(const QString& name, int bytes = 10) const { dir.write(name, QByteArray(bytes, 'x')); }

    ScratchDir dir;
};

} // namespace

TEST_F(PictureFolder, ListsOnlyNamesOfThePictureShapeSortedIgnoringCase)
{
    add(QStringLiteral("ILX 2026-12-07 10-00-00-000.jpg"), 1000);
    add(QStringLiteral("abc 2026-12-07 09-00-00-000.jpg"), 2000);
    add(QStringLiteral("ILX 2026-12-06 23-59-59-999.JPG"), 48);
    add(QStringLiteral("AB 2026-12-07 10-00-00-000.jpg"), 5000);   // two-character prefix
    add(QStringLiteral("ABCD 2026-12-07 10-00-00-000.jpg"), 5000); // four: no picture name
    add(QStringLiteral("ILX 2026-12-07 10-00-00-000.png"), 5000);
    add(QStringLiteral("ILX 2026-12-07 10-00-00-000.jpg~"), 5000);
    add(QStringLiteral(".IL 2026-12-07 10-00-00-000.jpg"), 100); // hidden still counts
    QDir(dir.path()).mkdir(QStringLiteral("DIR 2026-12-07 10-00-00-000.jpg"));

    TPictureFolder folder;
    folder.List(dir.path() + QStringLiteral("/"));
    EXPECT_EQ(folder.Folder(), dir.path());
    EXPECT_EQ(folder.Names(), (QStringList{QStringLiteral(".IL 2026-12-07 10-00-00-000.jpg"),
                                           QStringLiteral("AB 2026-12-07 10-00-00-000.jpg"),
                                           QStringLiteral("abc 2026-12-07 09-00-00-000.jpg"),
                                           QStringLiteral("ILX 2026-12-06 23-59-59-999.JPG"),
                                           QStringLiteral("ILX 2026-12-07 10-00-00-000.jpg")}));
    EXPECT_EQ(folder.TotalSize(), 8148);
    EXPECT_EQ(folder.TotalText(), QStringLiteral("8.0 Ko total"));
    EXPECT_EQ(folder.PathOf(QStringLiteral("x")), dir.path() + QStringLiteral("/x"));

    // A deletion takes the name out but the total describes the folder as listed.
    EXPECT_TRUE(folder.Remove(QStringLiteral("abc 2026-12-07 09-00-00-000.jpg")));
    EXPECT_FALSE(folder.Remove(QStringLiteral("abc 2026-12-07 09-00-00-000.jpg")));
    EXPECT_EQ(folder.Names().size(), 4);
    EXPECT_EQ(folder.TotalSize(), 8148);
}

TEST_F(PictureFolder, MissingFolderListsNothing)
{
    TPictureFolder folder;
    folder.List(dir.file(QStringLiteral("nowhere")));
    EXPECT_TRUE(folder.Names().isEmpty());
    EXPECT_EQ(folder.TotalText(), QStringLiteral("0.0 Ko total"));
    int today = -1;
    EXPECT_EQ(folder.DayItems(QDate(2026, 12, 7), &today), QStringList{kAllDays});
    EXPECT_EQ(today, 0);
}

TEST_F(PictureFolder, DayListCollapsesRunsKeepsInterleavedDaysAndFindsToday)
{
    add(QStringLiteral("AAA 2026-12-06 10-00-00-000.jpg"));
    add(QStringLiteral("AAA 2026-12-06 11-00-00-000.jpg"));
    add(QStringLiteral("AAA 2026-12-07 08-00-00-000.jpg"));
    add(QStringLiteral("BBB 2026-12-06 12-00-00-000.jpg"));
    add(QStringLiteral("BBB 2026-02-30 12-00-00-000.jpg")); // no such day
    add(QStringLiteral("CCC 2026-xx-07 12-00-00-000.jpg"));
    TPictureFolder folder;
    folder.List(dir.path());
    int today = -1;
    const QStringList items = folder.DayItems(QDate(2026, 12, 7), &today);
    EXPECT_EQ(items, (QStringList{kAllDays, QStringLiteral("Sunday, December 6, 2026"),
                                  QStringLiteral("Monday, December 7, 2026"), kDateError,
                                  QStringLiteral("Sunday, December 6, 2026"), kDateError}));
    EXPECT_EQ(today, 2);
    folder.DayItems(QDate(2030, 1, 1), &today);
    EXPECT_EQ(today, 0);

    EXPECT_EQ(folder.NamesOfDay(0, kAllDays).size(), 6);
    EXPECT_EQ(folder.NamesOfDay(1, QStringLiteral("Sunday, December 6, 2026")),
              (QStringList{QStringLiteral("AAA 2026-12-06 10-00-00-000.jpg"),
                           QStringLiteral("AAA 2026-12-06 11-00-00-000.jpg"),
                           QStringLiteral("BBB 2026-12-06 12-00-00-000.jpg")}));
    EXPECT_EQ(folder.NamesOfDay(3, kDateError),
              (QStringList{QStringLiteral("BBB 2026-02-30 12-00-00-000.jpg"),
                           QStringLiteral("CCC 2026-xx-07 12-00-00-000.jpg")}));
}

TEST_F(PictureFolder, PictureTextReadsTheCaptureMoment)
{
    EXPECT_EQ(PictureText(QStringLiteral("ILX 2026-12-07 14-03-59-042.jpg")),
              QStringLiteral("Monday 7 December 2026 14:03:59.042"));
    EXPECT_EQ(PictureDayText(QStringLiteral("ILX 2026-12-07 14-03-59-042.jpg")),
              QStringLiteral("Monday, December 7, 2026"));
    EXPECT_EQ(PictureText(QStringLiteral("ILX 2026-12-07 24-03-59-042.jpg")), kDateError);
    EXPECT_EQ(PictureDayText(QStringLiteral("ILX 2026-12-32 14-03-59-042.jpg")), kDateError);
    // The first letter is upper-cased in languages that write day names small.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(PictureDayText(QStringLiteral("ILX 2026-12-07 14-03-59-042.jpg")),
              QStringLiteral("Lundi, décembre 7, 2026"));
    EXPECT_EQ(KiloText(1536), QStringLiteral("1.5 Ko"));
}
