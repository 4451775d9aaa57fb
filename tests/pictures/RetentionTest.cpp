// Keeping the pictures folder within its limits on a real folder: only this
// program's pictures go, oldest first, and a nearly full disk is never filled.
#include "DiskSpace.h"
#include "ModalAnswerer.h"
#include "PictureName.h"
#include "SavePicture.h"
#include "ScratchDir.h"
#include "TPictureRetention.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(12, 0));

class Retention : public ::testing::Test
{
protected:
    // A picture of `kb` kilobytes taken `daysAgo` days (and `msec` ms) before kNow.
    QString Picture(int daysAgo, int kb, const QString& prefix = QStringLiteral("ILX"),
                    int msec = 0)
    {
        const QString path =
            PictureFileName(dir.path(), prefix, kNow.addDays(-daysAgo).addMSecs(msec));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(kb * 1024, 'x'));
        return QFileInfo(path).fileName();
    }
    bool Exists(const QString& name) const { return QFileInfo::exists(dir.file(name)); }

    ScratchDir dir;
    TPictureRetention retention;
};

} // namespace

TEST_F(Retention, OnlyThisProgramsPicturesEverGoTheOldestFirst)
{
    const QString oldest = Picture(10, 4);
    const QString old = Picture(9, 4, QStringLiteral("AB"));
    const QString recent = Picture(1, 4);
    // Things that only look like pictures, or are not the program's to delete.
    const QString lookalike =
        QFileInfo(PictureFileName(dir.path(), "ILX", kNow.addDays(-20))).fileName();
    dir.write(lookalike + ".bak", QByteArray(4096, 'x'));
    dir.write("ILXX 2026-11-01 10-00-00-000.jpg", QByteArray(4096, 'x'));
    dir.write("ILX 2026-13-45 10-00-00-000.jpg", QByteArray(4096, 'x')); // no moment in it
    dir.write("notes.txt", "mine");
    ASSERT_TRUE(QDir(dir.path()).mkdir("ILX 2026-11-01 10-00-00-001.jpg"));
    ASSERT_TRUE(QFile::link(dir.file("notes.txt"), dir.file("ILX 2026-11-01 10-00-00-002.jpg")));
    const QString readOnly = Picture(30, 4);
    ASSERT_TRUE(QFile::setPermissions(dir.file(readOnly), QFile::ReadOwner | QFile::ReadUser));

    EXPECT_EQ(retention.Enforce(dir.path(), {7, 0}, kNow), 2) << "older than a week";
    EXPECT_FALSE(Exists(oldest));
    EXPECT_FALSE(Exists(old));
    EXPECT_TRUE(Exists(recent));
    for (const QString& kept :
         {lookalike + ".bak", QStringLiteral("ILXX 2026-11-01 10-00-00-000.jpg"),
          QStringLiteral("ILX 2026-13-45 10-00-00-000.jpg"), QStringLiteral("notes.txt"), readOnly})
        EXPECT_TRUE(Exists(kept)) << kept.toStdString();
    EXPECT_TRUE(QFileInfo(dir.file("ILX 2026-11-01 10-00-00-001.jpg")).isDir());
    EXPECT_TRUE(QFileInfo(dir.file("ILX 2026-11-01 10-00-00-002.jpg")).isSymLink());
    EXPECT_EQ(dir.read("notes.txt"), "mine");
}

TEST_F(Retention, ASizeLimitTakesTheOldestUntilItHoldsAndKeepsTheNewest)
{
    const QString a = Picture(3, 40);
    const QString b = Picture(2, 40);
    const QString c = Picture(1, 40);
    EXPECT_EQ(retention.Enforce(dir.path(), {0, 100 * 1024}, kNow), 1);
    EXPECT_FALSE(Exists(a));
    EXPECT_TRUE(Exists(b) && Exists(c));
    EXPECT_EQ(retention.TotalBytes(), 80 * 1024);

    // Saves are counted as they come, without reading the folder again.
    const QString d = Picture(0, 40);
    retention.Added(dir.file(d));
    EXPECT_EQ(retention.TotalBytes(), 120 * 1024);
    EXPECT_EQ(retention.Enforce(dir.path(), {0, 100 * 1024}, kNow), 1);
    EXPECT_FALSE(Exists(b));

    // A picture alone over the limit is the one just taken: it stays.
    EXPECT_EQ(retention.Enforce(dir.path(), {0, 10 * 1024}, kNow), 1);
    EXPECT_TRUE(Exists(d));
    EXPECT_EQ(retention.Count(), 1);
}

TEST_F(Retention, NoLimitDeletesNothingAndPicturesDeletedElsewhereStopCounting)
{
    const QString a = Picture(400, 10);
    EXPECT_EQ(retention.Enforce(dir.path(), {}, kNow), 0);
    EXPECT_TRUE(Exists(a));

    const QString b = Picture(2, 10);
    const QString c = Picture(1, 10);
    EXPECT_EQ(retention.Enforce(dir.path(), {0, 25 * 1024}, kNow), 1); // a goes
    // The viewer deletes one; the next count reads the folder again.
    ASSERT_TRUE(QFile::remove(dir.file(b)));
    retention.Invalidate();
    const QString d = Picture(0, 10);
    retention.Added(dir.file(d));
    EXPECT_EQ(retention.Enforce(dir.path(), {0, 25 * 1024}, kNow), 0) << "c and d fit";
    EXPECT_TRUE(Exists(c) && Exists(d));
}

TEST_F(Retention, ANearlyFullDiskTakesTheOldPicturesFirstAndOtherwiseRefusesTheSave)
{
    const QString old = Picture(10, 4);
    // A 10 GB disk, short of room (under 100 MB) while the old picture is there.
    SetDiskSpaceSource([&](const QString&) {
        const qint64 total = 10LL * 1024 * 1024 * 1024;
        return TDiskSpace{Exists(old) ? 50LL * 1024 * 1024 : 500LL * 1024 * 1024, total};
    });
    QImage frame(64, 48, QImage::Format_RGB888);
    frame.fill(Qt::gray);
    TPictureSettings settings;
    settings.Folder = dir.path();
    settings.Retention = &retention;

    {
        // No limit: nothing may go, so the save is refused as a failed save.
        ModalAnswerer warning(PressMessageBoxButton(QMessageBox::Ok));
        EXPECT_TRUE(SavePicture(nullptr, frame, settings).isEmpty());
        ASSERT_TRUE(warning.answered());
        EXPECT_TRUE(warning.text().startsWith("Error: Unable to save picture:\n"));
        EXPECT_TRUE(warning.text().endsWith("\nThe disk is almost full"));
        EXPECT_TRUE(Exists(old));
    }
    // A week's limit: the old picture goes and the save is made.
    settings.Keep = {7, 0};
    const QString saved = SavePicture(nullptr, frame, settings);
    EXPECT_FALSE(saved.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(saved));
    EXPECT_FALSE(Exists(old));
    SetDiskSpaceSource({});
}

TEST(DiskSpace, ShortMeansUnderTheLargerOf100MBAndOnePercentButATenthOfASmallVolume)
{
    constexpr qint64 MB = 1024 * 1024;
    EXPECT_TRUE(SpaceIsShort({99 * MB, 1000 * MB}));
    EXPECT_FALSE(SpaceIsShort({101 * MB, 1000 * MB}));
    EXPECT_TRUE(SpaceIsShort({900 * MB, 100000 * MB})) << "1 % of 100 GB is 1000 MB";
    EXPECT_FALSE(SpaceIsShort({3 * MB, 20 * MB})) << "a 20 MB volume keeps 2 MB back";
    EXPECT_TRUE(SpaceIsShort({1 * MB, 20 * MB}));
    EXPECT_FALSE(SpaceIsShort({-1, -1})) << "unknown is never short";
    const TDiskSpace here = DiskSpaceOf(QDir::tempPath());
    EXPECT_GT(here.Total, 0);
    EXPECT_GE(here.Free, 0);
}
