#include "TSoundThread.h"

#include "AlarmEvents.h"
#include "Clock.h"
#include "ScratchDir.h"
#include "SilentSoundOutput.h"
#include "TMessageEvent.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocale>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

// Collects the sound-finished events posted to it.
class Receiver : public QObject
{
public:
    bool event(QEvent* e) override
    {
        if (e->type() != kSoundFinishedEvent)
            return QObject::event(e);
        const auto* m = static_cast<TMessageEvent*>(e);
        finished.append({m->WParam, m->LParam});
        return true;
    }
    QList<std::pair<std::intptr_t, std::intptr_t>> finished;
};

bool waitFor(const std::function<bool()>& condition, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

class SoundThread : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale::c());
        SetClockSource([] { return QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)); });
    }
    void TearDown() override { SetClockSource({}); }

    std::unique_ptr<TSoundThread> start(const QString& file, bool loop, bool test, bool log = true)
    {
        auto thread = std::make_unique<TSoundThread>(&receiver, output, alarmLog);
        thread->SetTest(test);
        thread->SetLog(log);
        thread->SetSoundFile(file);
        thread->SetLoop(loop);
        thread->start();
        return thread;
    }

    QStringList logLines() const
    {
        QStringList lines =
            QString::fromLocal8Bit(dir.read("iLXLE_SOUND.LOG")).split(QStringLiteral("\r\n"));
        lines.removeLast();
        return lines;
    }

    // A short valid WAV: 0.1 s of silence.
    QString writeWav(const QString& name)
    {
        QFile builtIn(QStringLiteral(":/sounds/ALARM.wav"));
        builtIn.open(QIODevice::ReadOnly);
        QByteArray wav = builtIn.readAll().left(44 + 2205);
        qToLittleEndian<quint32>(2205, wav.data() + 40);
        qToLittleEndian<quint32>(wav.size() - 8, wav.data() + 4);
        dir.write(name, wav);
        return dir.file(name);
    }

    ScratchDir dir;
    TAlarmLog alarmLog{dir.file("iLXLE_SOUND.LOG")};
    SilentSoundOutput output;
    Receiver receiver;
};

} // namespace

TEST_F(SoundThread, TheBuiltInSoundIsTheSirenResource)
{
    TSoundThread thread(nullptr, output, alarmLog);
    EXPECT_TRUE(thread.HasBuiltInSound());
    QFile resource(QStringLiteral(":/sounds/ALARM.wav"));
    ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
    EXPECT_EQ(resource.size(), 42461);
}

TEST_F(SoundThread, ATestRunWithAMissingFileLogsAndPlaysTheBuiltInSoundOnce)
{
    const QString missing = dir.file("nothing.wav");
    auto thread = start(missing, false, true);
    ASSERT_TRUE(waitFor([&] { return !receiver.finished.isEmpty(); }));
    EXPECT_EQ(receiver.finished.first(), std::make_pair(std::intptr_t(1), std::intptr_t(1)));
    ASSERT_TRUE(thread->wait(5000));
    thread.reset(); // freeing writes the closing lines

    EXPECT_EQ(output.Calls(), QStringList({"memory:42461", "stop"}));
    EXPECT_EQ(logLines(), QStringList({
                              "Logfile \"Sound Alarm\"",
                              "",
                              "Date: 07 December 2026 14:05:09",
                              "",
                              "# EXECUTE TEST",
                              "Request play sound: " + missing,
                              "Date: 07 December 2026 14:05:09",
                              "WAV file: " + missing + " not defined !",
                              "Default WAV sound will be used",
                              "End of Thread \"Sound Alarm\"",
                              "Date: 07 December 2026 14:05:09",
                          }));
}

TEST_F(SoundThread, AnEmptyNameIsTheDefaultAlarmWithTwoBlanksInTheWarning)
{
    auto thread = start(QString(), false, false);
    ASSERT_TRUE(waitFor([&] { return !receiver.finished.isEmpty(); }));
    EXPECT_EQ(receiver.finished.first().first, 0);
    thread.reset();
    const QStringList lines = logLines();
    EXPECT_TRUE(lines.contains("Request play sound: Default Alarm"));
    EXPECT_TRUE(lines.contains("WAV file:  not defined !"));
}

TEST_F(SoundThread, ALowerCaseWavFileIsPlayedAndAWaveFileIsNot)
{
    const QString wav = writeWav("alarm.wav");
    auto thread = start(wav, false, false);
    ASSERT_TRUE(waitFor([&] { return !receiver.finished.isEmpty(); }));
    thread.reset();
    EXPECT_EQ(output.Calls().first(), "file:" + wav);
    EXPECT_FALSE(logLines().contains("Default WAV sound will be used"));

    EXPECT_FALSE(TSoundThread::UsesSoundFile(writeWav("alarm.wave")));
    EXPECT_TRUE(TSoundThread::UsesSoundFile(writeWav("ALARM.WAV")));
    EXPECT_FALSE(TSoundThread::UsesSoundFile(dir.path())); // a folder named like a sound
}

TEST_F(SoundThread, AWavNameWithoutASoundInItPlaysTheBuiltInSoundAndSaysSo)
{
    // A picture renamed .wav, an empty file, a header cut before its samples.
    dir.write("picture.wav", QByteArray("\xff\xd8\xff\xe0\x00\x10JFIF\x00", 11));
    dir.write("empty.wav", QByteArray());
    const QByteArray header = QByteArray::fromRawData("RIFF\x24\0\0\0WAVEfmt ", 16);
    dir.write("cut.wav", header);
    for (const char* name : {"picture.wav", "empty.wav", "cut.wav"}) {
        const QString file = dir.file(QString::fromLatin1(name));
        receiver.finished.clear();
        output.Clear();
        auto thread = start(file, false, false);
        ASSERT_TRUE(waitFor([&] { return !receiver.finished.isEmpty(); })) << name;
        thread.reset();
        EXPECT_EQ(output.Calls(), QStringList({"memory:42461", "stop"})) << name;
        EXPECT_TRUE(logLines().contains("WAV file: " + file +
                                        " is not a sound ! Default WAV sound will be used"))
            << name;
    }
}

TEST_F(SoundThread, ALoopPlaysUntilTheStopRequestAndTheLogTakesEventsMeanwhile)
{
    auto thread = start(QString(), true, false);
    ASSERT_TRUE(waitFor([&] { return output.Playing(); }));
    // A looped play returns at once; the run goes on until the stop request.
    QThread::msleep(50);
    EXPECT_TRUE(receiver.finished.isEmpty());
    ASSERT_TRUE(alarmLog.AppendEvent(QStringLiteral("Camera lost: Cam")));
    EXPECT_EQ(logLines().last(), QStringLiteral("Camera lost: Cam")) << "written while it loops";

    thread->SetLoop(false); // the stop request
    ASSERT_TRUE(waitFor([&] { return !receiver.finished.isEmpty(); }));
    EXPECT_EQ(output.Calls(), QStringList({"memory:42461 loop", "stop"}));
    ASSERT_TRUE(thread->wait(5000));
    thread.reset();
    const QStringList lines = logLines();
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.mid(lines.size() - 3, 2),
              QStringList({"Camera lost: Cam", "End of Thread \"Sound Alarm\""}));
}

TEST_F(SoundThread, ASinglePlayLastsTheSoundsRealDuration)
{
    QElapsedTimer timer;
    timer.start();
    auto thread = start(QString(), false, false, false);
    ASSERT_TRUE(waitFor([&] { return !receiver.finished.isEmpty(); }));
    // 42417 samples at 22050 Hz.
    EXPECT_GE(timer.elapsed(), 1900);
}

TEST_F(SoundThread, TerminatingEndsTheRunWithoutTheFinishedEvent)
{
    auto thread = start(QString(), true, false);
    ASSERT_TRUE(waitFor([&] { return output.Playing(); }));
    thread->RequestTerminate();
    ASSERT_TRUE(thread->wait(5000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(receiver.finished.isEmpty());
}

TEST_F(SoundThread, AnUnreadableLogStillEndsTheRunWithTheFinishedEvent)
{
    dir.write("blocked", "not a folder");
    TAlarmLog blocked(dir.file("blocked/log"));
    auto thread = std::make_unique<TSoundThread>(&receiver, output, blocked);
    thread->SetLog(true);
    thread->SetLoop(false);
    thread->start();
    ASSERT_TRUE(waitFor([&] { return !receiver.finished.isEmpty(); }));
    EXPECT_EQ(output.Calls().first(), "memory:42461");
}
