#include "EIlxError.h"
#include "Horaires.h"
#include "ScheduleTestSupport.h"
#include "ScratchDir.h"
#include "TTimeCells.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

constexpr int Sunday = 1, Monday = 2, Saturday = 7;
const QString kInvalid = QStringLiteral("Invalid File \"Scheduler\" !");

QByteArray pattern(int size)
{
    // Alternating zeros and ones, so both flag values land in every day.
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i % 3 == 0 ? 1 : 0);
    return bytes;
}

TEST(ScheduleFile, SaveWritesExactly672BytesSundayFirstAndLoadsBack)
{
    ScratchDir dir;
    TTimeCells saved;
    saved.Fill(false);
    saved.SetCell(0, Sunday, true);
    saved.SetCell(32, Monday, true);
    saved.SetCell(95, Saturday, true);
    ASSERT_TRUE(SaveSchedule(saved, dir.file("iLXLE_SCHEDULE.DAT")));

    const QByteArray bytes = dir.read("iLXLE_SCHEDULE.DAT");
    ASSERT_EQ(bytes.size(), 672);
    EXPECT_EQ(bytes.count('\1'), 3);
    EXPECT_EQ(bytes.count('\0'), 669);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[96 + 32], 1);
    EXPECT_EQ(bytes[671], 1);

    TTimeCells loaded;
    MessageBoxRecorder boxes;
    LoadSchedule(loaded, dir.file("iLXLE_SCHEDULE.DAT"));
    EXPECT_TRUE(loaded == saved);
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST(ScheduleFile, SaveReplacesALongerOldFileWhole)
{
    ScratchDir dir;
    dir.write("s.dat", QByteArray(1000, '\7'));
    TTimeCells cells;
    ASSERT_TRUE(SaveSchedule(cells, dir.file("s.dat")));
    EXPECT_EQ(dir.read("s.dat"), QByteArray(672, '\1'));
}

TEST(ScheduleFile, MissingFileLeavesTheCellsAsTheyWere)
{
    ScratchDir dir;
    TTimeCells cells;
    cells.SetCell(7, Monday, false);
    TTimeCells before;
    before.SetCell(7, Monday, false);
    MessageBoxRecorder boxes;
    LoadSchedule(cells, dir.file("none.dat"));
    EXPECT_TRUE(cells == before);
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST(ScheduleFile, ShortFileWarnsOnceAndKeepsWhatWasRead)
{
    ScratchDir dir;
    dir.write("s.dat", pattern(100));
    TTimeCells cells; // all true
    MessageBoxRecorder boxes;
    LoadSchedule(cells, dir.file("s.dat"));
    EXPECT_EQ(boxes.texts(), QStringList{kInvalid});

    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(cells.AtPosition(i), i % 3 == 0) << "position " << i;
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(cells.Cell(k, Monday), (96 + k) % 3 == 0);
    for (int i = 100; i < 672; ++i)
        EXPECT_TRUE(cells.AtPosition(i)) << "position " << i;
}

TEST(ScheduleFile, EmptyFileWarnsAndChangesNothing)
{
    ScratchDir dir;
    dir.write("s.dat", QByteArray());
    TTimeCells cells;
    MessageBoxRecorder boxes;
    LoadSchedule(cells, dir.file("s.dat"));
    EXPECT_EQ(boxes.texts(), QStringList{kInvalid});
    EXPECT_TRUE(cells == TTimeCells());
}

TEST(ScheduleFile, LongFileUsesTheFirstWeekWithoutWarning)
{
    ScratchDir dir;
    QByteArray bytes = pattern(672);
    bytes.append(QByteArray(28, '\0'));
    dir.write("s.dat", bytes);
    TTimeCells cells;
    MessageBoxRecorder boxes;
    LoadSchedule(cells, dir.file("s.dat"));
    EXPECT_TRUE(boxes.texts().isEmpty());
    for (int i = 0; i < 672; ++i)
        ASSERT_EQ(cells.AtPosition(i), i % 3 == 0) << "position " << i;
}

TEST(ScheduleFile, ParseKeepsAShortReadAndIgnoresBytesPastTheWeek)
{
    TTimeCells cells;
    EXPECT_FALSE(ParseSchedule(QByteArray(10, '\0'), cells));
    EXPECT_FALSE(cells.AtPosition(9));
    EXPECT_TRUE(cells.AtPosition(10));
    EXPECT_TRUE(ParseSchedule(QByteArray(672, '\0') + QByteArray(50, '\1'), cells));
    EXPECT_FALSE(cells.AtPosition(671));
}

TEST(ScheduleFile, AnyNonzeroByteMeansScan)
{
    ScratchDir dir;
    QByteArray bytes(672, '\0');
    bytes[1] = 2;
    bytes[2] = static_cast<char>(0xFF);
    bytes[3] = '1'; // an ASCII digit is still nonzero
    dir.write("s.dat", bytes);
    TTimeCells cells;
    LoadSchedule(cells, dir.file("s.dat"));
    EXPECT_FALSE(cells.AtPosition(0));
    EXPECT_TRUE(cells.AtPosition(1));
    EXPECT_TRUE(cells.AtPosition(2));
    EXPECT_TRUE(cells.AtPosition(3));
    EXPECT_FALSE(cells.AtPosition(4));
}

TEST(ScheduleFile, UnopenableFileRaisesAndTouchesNothing)
{
    ScratchDir dir;
    // A folder where the file should be exists but cannot be read as a file.
    ASSERT_TRUE(QDir(dir.path()).mkdir("s.dat"));
    TTimeCells cells;
    cells.SetCell(3, Monday, false);
    TTimeCells before;
    before.SetCell(3, Monday, false);
    MessageBoxRecorder boxes;
    EXPECT_THROW(LoadSchedule(cells, dir.file("s.dat")), EIlxError);
    EXPECT_TRUE(cells == before);
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST(ScheduleFile, UncreatableFileRaisesAndWritesNothing)
{
    ScratchDir dir;
    const QString path = dir.file("missing/folder/s.dat");
    TTimeCells cells;
    EXPECT_THROW(SaveSchedule(cells, path), EIlxError);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 0);
}

} // namespace
