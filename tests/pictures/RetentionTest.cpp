// Keeping the pictures folder within its limits on a real folder: only this
// program's pictures go, earlier runs' before this run's, never the newest,
// and a nearly full disk is never filled.
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

#include <unistd.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(12, 0));
constexpr qint64 KB = 1024;
constexpr qint64 MB = 1024 * KB;

// What a JPEG starts with; the rest of a test picture is filler.
QByteArray jpegBytes(qint64 size)
{
    QByteArray bytes(size, 'x');
    bytes.replace(0, 3, QByteArray("\xFF\xD8\xFF", 3));
    return bytes;
}

class Retention : public ::testing::Test
{
protected:
    Retention() { retention.SetOwnPrefixes({QStringLiteral("ILX")}); }

    // A picture of `kb` kilobytes taken at `when`; its bare name.
    QString PictureAt(const QDateTime& when, int kb, const QString& prefix = QStringLiteral("ILX"))
    {
        const QString name = QFileInfo(PictureFileName(dir.path(), prefix, when)).fileName();
        dir.write(name, jpegBytes(kb * KB));
        return name;
    }
    QString Picture(int daysAgo, int kb, const QString& prefix = QStringLiteral("ILX"))
    {
        return PictureAt(kNow.addDays(-daysAgo), kb, prefix);
    }
    // A picture this run saves now (`msec` after kNow).
    QString Save(int kb, int msec = 0)
    {
        const QString name = PictureAt(kNow.addMSecs(msec), kb);
        retention.Added(dir.file(name));
        return name;
    }
    bool Exists(const QString& name) const { return QFileInfo::exists(dir.file(name)); }
    // Someone else's change comes after the folder clock's tick of our own
    // last write: where timestamps are coarse (a few ms), one within the
    // same tick is seen only at the folder's next change.
    static void Later() { std::this_thread::sleep_for(std::chrono::milliseconds(20)); }

    ScratchDir dir;
    TPictureRetention retention;
};

} // namespace

TEST_F(Retention, OnlyThisProgramsPicturesEverGoAndAUsersOwnFilesStay)
{
    const QString oldest = Picture(10, 4);
    const QString recent = Picture(1, 4);
    // Files a user or another program left, each looking more or less like
    // one of our pictures; every one is older than the limit.
    const QString lookalike = Picture(20, 4) + ".bak";
    ASSERT_TRUE(QFile::rename(dir.file(lookalike.chopped(4)), dir.file(lookalike)));
    const QStringList theirs = {
        QStringLiteral("Mum 2019-07-14 12-00-00-000.jpg"), // another prefix
        QStringLiteral("ILX 2019-07-14 12-00-00-000.JPG"), // not the saver's extension
        QStringLiteral("ILXX 2019-07-14 12-00-00-000.jpg"),
        QStringLiteral("ILX 2019-13-45 12-00-00-000.jpg"), // no moment in it
        QStringLiteral("notes.txt"),
    };
    for (const QString& name : theirs)
        dir.write(name, jpegBytes(4 * KB));
    dir.write("ILX 2019-07-14 12-00-00-001.jpg", "x");                   // a 1-byte file
    dir.write("ILX 2019-07-14 12-00-00-002.jpg", QByteArray(4096, 'x')); // not a JPEG
    ASSERT_TRUE(QDir(dir.path()).mkdir("ILX 2019-07-14 12-00-00-003.jpg"));
    ASSERT_TRUE(QFile::link(dir.file("notes.txt"), dir.file("ILX 2019-07-14 12-00-00-004.jpg")));
    const QString readOnly = Picture(30, 4);
    ASSERT_TRUE(QFile::setPermissions(dir.file(readOnly), QFile::ReadOwner | QFile::ReadUser));

    const TRetentionOutcome outcome = retention.Enforce(dir.path(), {7, 0}, kNow);
    EXPECT_EQ(outcome.Deleted, 1) << "older than a week";
    EXPECT_EQ(outcome.Freed, 4 * KB);
    EXPECT_FALSE(Exists(oldest));
    EXPECT_TRUE(Exists(recent));
    for (const QString& kept :
         theirs + QStringList{lookalike, readOnly, "ILX 2019-07-14 12-00-00-001.jpg",
                              "ILX 2019-07-14 12-00-00-002.jpg"})
        EXPECT_TRUE(Exists(kept)) << kept.toStdString();
    EXPECT_TRUE(QFileInfo(dir.file("ILX 2019-07-14 12-00-00-003.jpg")).isDir());
    EXPECT_TRUE(QFileInfo(dir.file("ILX 2019-07-14 12-00-00-004.jpg")).isSymLink());
    EXPECT_EQ(dir.read("notes.txt"), jpegBytes(4 * KB));
}

TEST_F(Retention, PicturesOfEveryPrefixTheProgramSavedUnderAreKeptWithinTheLimits)
{
    // Saved as "ILX" last month, as "CAM" since; "AB" was never ours.
    const QString ilx = Picture(30, 4);
    const QString cam = Picture(20, 4, QStringLiteral("CAM"));
    const QString ab = Picture(25, 4, QStringLiteral("AB"));
    const QString today = Picture(0, 4, QStringLiteral("CAM"));
    retention.SetOwnPrefixes({QStringLiteral("CAM")});
    EXPECT_EQ(retention.Enforce(dir.path(), {7, 0}, kNow).Deleted, 1);
    EXPECT_TRUE(Exists(ilx) && Exists(ab));
    EXPECT_FALSE(Exists(cam));
    retention.SetOwnPrefixes({QStringLiteral("ILX"), QStringLiteral("CAM")});
    EXPECT_EQ(retention.Enforce(dir.path(), {7, 0}, kNow).Deleted, 1);
    EXPECT_FALSE(Exists(ilx));
    EXPECT_TRUE(Exists(ab));

    // A save under a prefix adopts it, and its earlier pictures count.
    const QString old = Picture(9, 4, QStringLiteral("AB"));
    const QString saved = PictureAt(kNow, 4, QStringLiteral("AB"));
    retention.Added(dir.file(saved));
    EXPECT_EQ(retention.Enforce(dir.path(), {7, 0}, kNow).Deleted, 2);
    EXPECT_FALSE(Exists(ab) || Exists(old));
    EXPECT_TRUE(Exists(saved));

    // As stored: blank-separated, unusable entries dropped, the latest kept.
    QStringList remembered = ReadPrefixList(QStringLiteral(" ILX  CAM a:b TOOLONG ILX "));
    EXPECT_EQ(remembered, (QStringList{"ILX", "CAM"}));
    EXPECT_FALSE(RememberPrefix(remembered, QStringLiteral("CAM")));
    EXPECT_TRUE(RememberPrefix(remembered, QStringLiteral("A")));
    EXPECT_EQ(PrefixListText(remembered), QStringLiteral("ILX CAM A"));
    for (int i = 0; i < kMaxRememberedPrefixes; ++i)
        RememberPrefix(remembered, QString::number(i));
    EXPECT_EQ(remembered.size(), kMaxRememberedPrefixes);
    EXPECT_EQ(remembered.last(), QString::number(kMaxRememberedPrefixes - 1));
}

// A picture named for 2030 (a clock wrong once, a copy from elsewhere) over a
// 1 MB limit: it goes before anything this run saves.
TEST_F(Retention, EarlierPicturesAndFutureNamesGoBeforeThisRunsAndTheNewestStays)
{
    const QString future = PictureAt(QDateTime(QDate(2030, 1, 1), QTime(0, 0)), 1200);
    const QString older = Picture(3, 100);
    EXPECT_EQ(retention.Enforce(dir.path(), {0, MB}, kNow).Deleted, 1);
    EXPECT_FALSE(Exists(older)) << "before this run saved anything, the name's time orders";
    EXPECT_TRUE(Exists(future)) << "and the newest by it stays";
    EXPECT_EQ(retention.Newest(), dir.file(future));

    const QString first = Save(300);
    EXPECT_EQ(retention.Enforce(dir.path(), {0, MB}, kNow).Deleted, 1);
    EXPECT_FALSE(Exists(future));
    EXPECT_TRUE(Exists(first));
    // This run's pictures go in the order they were saved, even when the
    // clock went back between them, and the last saved always stays.
    const QString second = Save(300, 2000);
    const QString third = Save(300, 1000);
    const QString fourth = Save(300, 3000);
    EXPECT_EQ(retention.Enforce(dir.path(), {0, MB}, kNow).Deleted, 1);
    EXPECT_FALSE(Exists(first));
    EXPECT_TRUE(Exists(second) && Exists(third) && Exists(fourth));
    EXPECT_EQ(retention.Enforce(dir.path(), {0, 10 * KB}, kNow).Deleted, 2);
    EXPECT_TRUE(Exists(fourth));
    EXPECT_EQ(retention.Count(), 1);
    EXPECT_EQ(retention.Newest(), dir.file(fourth));
}

TEST_F(Retention, ChangesMadeByOthersAreSeenAtTheNextSave)
{
    const QString a = Picture(3, 10);
    const QString b = Picture(2, 10);
    EXPECT_EQ(retention.Enforce(dir.path(), {0, 25 * KB}, kNow).Deleted, 0);
    EXPECT_EQ(retention.TotalBytes(), 20 * KB);

    // Someone copies an old picture in and deletes b.
    Later();
    const QString copied = Picture(10, 10);
    ASSERT_TRUE(QFile::remove(dir.file(b)));
    retention.NoticeChanges(dir.path()); // as a save does before writing
    const QString c = Save(10);
    EXPECT_EQ(retention.Enforce(dir.path(), {0, 25 * KB}, kNow).Deleted, 1);
    EXPECT_FALSE(Exists(copied)) << "counted, and the oldest";
    EXPECT_TRUE(Exists(a) && Exists(c));
    EXPECT_EQ(retention.TotalBytes(), 20 * KB) << "b no longer counts";

    // A file added between saves, with no save of ours in between.
    Later();
    const QString late = Picture(5, 10);
    EXPECT_EQ(retention.Enforce(dir.path(), {4, 0}, kNow).Deleted, 1);
    EXPECT_FALSE(Exists(late));
    EXPECT_EQ(retention.Enforce(dir.path(), {}, kNow).Deleted, 0) << "no limit deletes nothing";
}

TEST_F(Retention, AFolderThatRefusesDeletionsCostsNoNewerPicture)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "this user (root) deletes whatever the folder's permission bits";
    const QString old = Picture(3, 10);
    const QString saved = Save(10);
    const QString newest = Save(10, 1000);
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_EQ(retention.Enforce(dir.path(), {0, 15 * KB}, kNow).Deleted, 0);
    ASSERT_TRUE(
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    EXPECT_TRUE(Exists(old) && Exists(saved) && Exists(newest));
    EXPECT_EQ(retention.Enforce(dir.path(), {0, 15 * KB}, kNow).Deleted, 2) << "tried again";
    EXPECT_TRUE(Exists(newest));
}

TEST_F(Retention, ANearlyFullDiskTakesTheOldPicturesFirstAndOtherwiseRefusesTheSave)
{
    const QString old = Picture(10, 64);
    const QString recent = Picture(1, 4);
    // A 200 MB volume keeps 20 MB free; 32 KB short of it.
    int asked = 0;
    SetDiskSpaceSource([&](const QString&) {
        ++asked;
        return TDiskSpace{20 * MB - 32 * KB, 200 * MB};
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
        const QStringList lines = warning.text().split('\n');
        ASSERT_EQ(lines.size(), 3) << warning.text().toStdString();
        EXPECT_EQ(lines[0], "Error: Unable to save picture:");
        EXPECT_TRUE(MatchesPictureName(QFileInfo(lines[1]).fileName()));
        EXPECT_EQ(lines[2], "Only 20 MB is free on the disk of the pictures folder, and a tenth "
                            "of this 200 MB disk (20 MB) is kept free.");
        EXPECT_TRUE(Exists(old));
    }
    // A week's limit: the old picture goes, its room counts, the save is made.
    settings.Keep = {7, 0};
    asked = 0;
    ModalAnswerer none(PressMessageBoxButton(QMessageBox::Ok), 3000);
    const QString saved = SavePicture(nullptr, frame, settings);
    EXPECT_FALSE(none.answered()) << none.text().toStdString();
    EXPECT_FALSE(saved.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(saved));
    EXPECT_FALSE(Exists(old));
    EXPECT_EQ(asked, 1) << "the disk is asked once a save";
    SetDiskSpaceSource({});
}

TEST(DiskSpace, AHundredMegabytesAreKeptFreeOrATenthOfASmallVolume)
{
    constexpr qint64 GB = 1024 * MB;
    const struct
    {
        TDiskSpace space;
        bool shortOfRoom;
    } cases[] = {
        {{99 * MB, 1000 * MB}, true},   {{101 * MB, 1000 * MB}, false},
        {{20 * GB, 2048 * GB}, false}, // a 2 TB disk with 20 GB free has room
        {{101 * MB, 2048 * GB}, false}, {{99 * MB, 2048 * GB}, true},
        {{3 * MB, 20 * MB}, false},                        // a 20 MB volume keeps 2 MB back
        {{1 * MB, 20 * MB}, true},      {{-1, -1}, false}, // unknown is never short
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpaceIsShort(c.space), c.shortOfRoom) << c.space.Free << " of " << c.space.Total;
    EXPECT_EQ(SpaceShortText({42 * MB, 2048 * GB}),
              "Only 42 MB is free on the disk of the pictures folder, and 100 MB is kept free.");

    const TDiskSpace here = DiskSpaceOf(QDir::tempPath());
    EXPECT_GT(here.Total, 0);
    EXPECT_GE(here.Free, 0);
    EXPECT_LE(here.Free, here.Total);
    EXPECT_EQ(DiskSpaceOf(QDir::tempPath() + "/no such folder").Total, -1);
}

// An event's clip counts with its picture and goes with it; one whose
// picture is gone counts on its own; a clip that is not an MP4 stays.
TEST_F(Retention, AClipCountsAndGoesWithItsPicture)
{
    const auto clipOf = [this](const QString& picture, qint64 kb) {
        QByteArray bytes(kb * KB, 'x');
        bytes.replace(4, 4, "ftyp");
        dir.write(ClipFileName(picture), bytes);
        return ClipFileName(picture);
    };
    const QString old = Picture(10, 4);
    const QString oldClip = clipOf(old, 100);
    const QString orphanClip = clipOf(Picture(9, 4), 50);
    QFile::remove(dir.file(orphanClip.chopped(4) + ".jpg"));
    const QString notMp4 = ClipFileName(Picture(8, 4));
    dir.write(notMp4, QByteArray(8 * KB, 'x'));
    const QString recent = Save(4);
    retention.AddedClip(dir.file(clipOf(recent, 20)));

    // 4 + 100, 50, 4 + 8, 4 + 20: 190 KB; 60 KB left means the old event
    // and the lone clip go, the newest event stays whole.
    TRetentionOutcome outcome = retention.Enforce(dir.path(), {0, 60 * KB}, kNow);
    EXPECT_EQ(outcome.Deleted, 2) << "an event is one deletion";
    EXPECT_EQ(outcome.Freed, (4 + 100 + 50) * KB);
    EXPECT_FALSE(Exists(old));
    EXPECT_FALSE(Exists(oldClip));
    EXPECT_FALSE(Exists(orphanClip));
    EXPECT_TRUE(Exists(notMp4)) << "not an MP4: not ours";
    EXPECT_TRUE(Exists(recent));
    EXPECT_TRUE(Exists(ClipFileName(recent)));
    EXPECT_EQ(retention.TotalBytes(), (4 + 8 + 4 + 20) * KB);
}
