#include "TAlarmLog.h"

#include "Clock.h"
#include "ScratchDir.h"

#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

#include <thread>

namespace {

class AlarmLog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale::c());
        SetClockSource([] { return QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)); });
    }
    void TearDown() override { SetClockSource({}); }

    QString path() const { return dir.file("iLXLE_SOUND.LOG"); }
    QByteArray contents() const { return dir.read("iLXLE_SOUND.LOG"); }

    // A file of `count` lines, each `width` characters long plus CR LF.
    void writeLines(int count, int width)
    {
        QByteArray bytes;
        for (int i = 0; i < count; ++i) {
            QByteArray line = QByteArray::number(i).rightJustified(width, '-');
            bytes += line + "\r\n";
        }
        dir.write("iLXLE_SOUND.LOG", bytes);
    }

    ScratchDir dir;
};

} // namespace

TEST_F(AlarmLog, StampNamesTheMonthInFull)
{
    EXPECT_EQ(TAlarmLog::Stamp(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9))),
              QStringLiteral("07 December 2026 14:05:09"));
    EXPECT_EQ(TAlarmLog::Stamp(QDateTime(QDate(2027, 3, 1), QTime(0, 0, 0))),
              QStringLiteral("01 March 2027 00:00:00"));
}

TEST_F(AlarmLog, NewFileStartsWithTheHeadingAndEveryLineEndsWithCrLf)
{
    TAlarmLog log(path());
    ASSERT_TRUE(log.Open(true));
    ASSERT_TRUE(log.Add(QStringLiteral("# EXECUTE TEST")));
    ASSERT_TRUE(log.Close());
    EXPECT_EQ(contents(), QByteArray("Logfile \"Sound Alarm\"\r\n"
                                     "\r\n"
                                     "Date: 07 December 2026 14:05:09\r\n"
                                     "\r\n"
                                     "# EXECUTE TEST\r\n"
                                     "End of Thread \"Sound Alarm\"\r\n"
                                     "Date: 07 December 2026 14:05:09\r\n"));
}

TEST_F(AlarmLog, ExistingFileGetsOneEmptyLineBeforeTheDateLine)
{
    dir.write("iLXLE_SOUND.LOG", "old entry\n"); // an LF-only file reads too
    TAlarmLog log(path());
    ASSERT_TRUE(log.Open(true));
    EXPECT_EQ(contents(), QByteArray("old entry\r\n\r\nDate: 07 December 2026 14:05:09\r\n\r\n"));
}

TEST_F(AlarmLog, LoggingOffWritesNothing)
{
    TAlarmLog log(path());
    ASSERT_TRUE(log.Open(false));
    ASSERT_TRUE(log.Add(QStringLiteral("line")));
    ASSERT_TRUE(log.Close());
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(AlarmLog, LoggingOffStillTrimsALargeFileAtOpen)
{
    writeLines(60, 700); // 60 lines, about 42 KB
    TAlarmLog log(path());
    ASSERT_TRUE(log.Open(false));
    const QList<QByteArray> lines = contents().split('\n');
    // 9 lines stay (plus the empty piece after the last CR LF); nothing of the run is added.
    ASSERT_EQ(lines.size(), 10);
    EXPECT_TRUE(lines.first().endsWith("51\r"));
}

TEST_F(AlarmLog, SixtyLinesOverTheSizeLoseTheFirstFiftyOneAtTheNextWrite)
{
    writeLines(60, 665); // 60 x 667 = 40020 bytes
    ASSERT_EQ(QFile(path()).size(), 40020);
    TAlarmLog log(path());
    ASSERT_TRUE(log.Open(true));
    const QStringList lines = log.Lines().value();
    ASSERT_GE(lines.size(), 9);
    EXPECT_TRUE(lines.first().endsWith(QLatin1String("51")));
    EXPECT_LE(QFile(path()).size(), TAlarmLog::kTrimSize);
}

TEST_F(AlarmLog, FiftyFiveLinesAreNeverTrimmedHoweverLarge)
{
    writeLines(50, 2000); // 100 KB
    TAlarmLog log(path());
    ASSERT_TRUE(log.Open(true)); // 50 + 3 lines
    ASSERT_TRUE(log.Add(QStringLiteral("a")));
    ASSERT_TRUE(log.Add(QStringLiteral("b"))); // 55 lines
    EXPECT_EQ(log.Lines()->size(), 55);
    EXPECT_TRUE(log.Lines()->first().endsWith(QLatin1String("-0")));
    ASSERT_TRUE(log.Add(QStringLiteral("c"))); // 56: now trimmed
    EXPECT_EQ(log.Lines()->size(), 5);
}

TEST_F(AlarmLog, AFailedWriteDiscardsTheListAndTheRunWritesNothingMore)
{
    // A file standing where the log's folder should be makes every write fail.
    dir.write("blocked", "not a folder");
    TAlarmLog log(dir.file("blocked/iLXLE_SOUND.LOG"));
    EXPECT_FALSE(log.Open(true));
    EXPECT_FALSE(log.HasLines());
    EXPECT_TRUE(log.Add(QStringLiteral("ignored")));
    EXPECT_FALSE(log.HasLines());
    EXPECT_EQ(dir.read("blocked"), QByteArray("not a folder"));
}

TEST_F(AlarmLog, AHugeDamagedLogIsReadByItsTailAndTrimmed)
{
    QByteArray bytes(6 * 1024 * 1024, 'x');
    for (qsizetype i = 100; i < bytes.size(); i += 1000)
        bytes[i] = '\n';
    dir.write("iLXLE_SOUND.LOG", bytes);
    TAlarmLog log(path());
    ASSERT_TRUE(log.Open(true));
    EXPECT_LE(QFile(path()).size(), TAlarmLog::kTrimSize + 2000);
    EXPECT_TRUE(log.Lines()->last().isEmpty());
}

TEST_F(AlarmLog, AnEventDuringALoggingRunJoinsItsLinesAndSurvivesItsLaterWrites)
{
    TAlarmLog log(path());
    ASSERT_TRUE(log.Open(true));
    ASSERT_TRUE(log.Add(QStringLiteral("Request play sound: Default Alarm")));
    ASSERT_TRUE(log.AppendEvent(QStringLiteral("Camera lost: Cam")));
    EXPECT_TRUE(contents().endsWith("Camera lost: Cam\r\n")) << "written at once";
    ASSERT_TRUE(log.Add(QStringLiteral("Default WAV sound will be used")));
    ASSERT_TRUE(log.AppendEvent(QStringLiteral("Camera back: Cam")));
    ASSERT_TRUE(log.Close());
    EXPECT_EQ(contents(), QByteArray("Logfile \"Sound Alarm\"\r\n"
                                     "\r\n"
                                     "Date: 07 December 2026 14:05:09\r\n"
                                     "\r\n"
                                     "Request play sound: Default Alarm\r\n"
                                     "Camera lost: Cam\r\n"
                                     "Default WAV sound will be used\r\n"
                                     "Camera back: Cam\r\n"
                                     "End of Thread \"Sound Alarm\"\r\n"
                                     "Date: 07 December 2026 14:05:09\r\n"));
}

// Outside a logging run the event is appended to the file as it stands on
// disk: no run's heading, no blank line, nothing of a finished run's list.
TEST_F(AlarmLog, AnEventOutsideALoggingRunIsAppendedToTheFileAsItStands)
{
    {
        TAlarmLog log(path());
        ASSERT_TRUE(log.AppendEvent(QStringLiteral("Camera lost: Cam")));
        EXPECT_EQ(contents(), QByteArray("Logfile \"Sound Alarm\"\r\n\r\nCamera lost: Cam\r\n"))
            << "a new file starts with its heading";
    }
    {
        dir.write("iLXLE_SOUND.LOG", "old entry\r\n");
        TAlarmLog log(path());
        ASSERT_TRUE(log.Open(false));
        ASSERT_TRUE(log.AppendEvent(QStringLiteral("Camera lost: Cam")));
        ASSERT_TRUE(log.Close());
        EXPECT_EQ(contents(), QByteArray("old entry\r\nCamera lost: Cam\r\n"))
            << "a run that does not log leaves the file to the event";
    }
    {
        TAlarmLog log(path());
        ASSERT_TRUE(log.Open(true));
        ASSERT_TRUE(log.Close());
        EXPECT_FALSE(log.HasLines()) << "the run's list goes with its end";
        dir.write("iLXLE_SOUND.LOG", "edited by hand\r\n");
        ASSERT_TRUE(log.AppendEvent(QStringLiteral("Camera back: Cam")));
        EXPECT_EQ(contents(), QByteArray("edited by hand\r\nCamera back: Cam\r\n"));
    }
    {
        writeLines(60, 665); // over the size: trimmed as a run's line would be
        TAlarmLog log(path());
        ASSERT_TRUE(log.AppendEvent(QStringLiteral("Camera lost: Cam")));
        const QList<QByteArray> lines = contents().split('\n');
        ASSERT_EQ(lines.size(), 11); // 9 old lines, the event, the piece after the last CR LF
        EXPECT_TRUE(lines.first().endsWith("51\r"));
        EXPECT_EQ(lines[9], QByteArray("Camera lost: Cam\r"));
    }
}

// A sound run on its own thread and events on another, as the program has
// them: every line of both reaches the file, each writer's in its order.
TEST_F(AlarmLog, ARunAndEventsWritingAtOnceLoseNoLine)
{
    constexpr int kLines = 200;
    TAlarmLog log(path());
    std::thread run([&] {
        log.Open(true);
        for (int i = 0; i < kLines; ++i)
            log.Add(QStringLiteral("run %1").arg(i));
    });
    for (int i = 0; i < kLines; ++i)
        log.AppendEvent(QStringLiteral("event %1").arg(i));
    run.join();
    ASSERT_TRUE(log.Close());

    const QStringList lines = QString::fromLocal8Bit(contents()).split(QStringLiteral("\r\n"));
    int nextRun = 0;
    int nextEvent = 0;
    int written = 0;
    for (const QString& line : lines) {
        if (line == QStringLiteral("run %1").arg(nextRun))
            ++nextRun;
        else if (line == QStringLiteral("event %1").arg(nextEvent))
            ++nextEvent;
        written +=
            line.startsWith(QLatin1String("run ")) || line.startsWith(QLatin1String("event "));
    }
    EXPECT_EQ(nextRun, kLines);
    EXPECT_EQ(nextEvent, kLines);
    EXPECT_EQ(written, 2 * kLines) << "no line twice";
}
