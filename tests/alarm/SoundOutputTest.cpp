#include "GstSoundOutput.h"
#include "WavInfo.h"

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <thread>

namespace {

QByteArray builtInSound()
{
    QFile resource(QStringLiteral(":/sounds/ALARM.wav"));
    resource.open(QIODevice::ReadOnly);
    return resource.readAll();
}

} // namespace

TEST(WavInfo, ReadsTheSirenAsMonoEightBitPcm)
{
    const WavInfo info = WavInfo::Parse(builtInSound());
    ASSERT_TRUE(info.valid);
    EXPECT_EQ(info.format, 1);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.sampleRate, 22050u);
    EXPECT_EQ(info.bitsPerSample, 8);
    EXPECT_EQ(info.dataBytes, 42417u);
    EXPECT_EQ(info.DurationMs(), 1923);
}

TEST(WavInfo, RejectsDamagedImagesWithoutReadingPastThem)
{
    const QByteArray wav = builtInSound();
    EXPECT_FALSE(WavInfo::Parse(QByteArray()).valid);
    EXPECT_FALSE(WavInfo::Parse(wav.left(30)).valid);       // fmt chunk cut
    EXPECT_FALSE(WavInfo::Parse("RIFF\0\0\0\0WAVX").valid); // not WAVE
    QByteArray huge = wav.left(44);
    huge[16] = '\xff'; // fmt chunk claims 4 GB
    huge[17] = '\xff';
    huge[18] = '\xff';
    huge[19] = '\x7f';
    EXPECT_FALSE(WavInfo::Parse(huge).valid);
    // A data chunk cut short plays what is there.
    EXPECT_EQ(WavInfo::Parse(wav.left(44 + 2205)).DurationMs(), 100);
}

TEST(GstSoundOutput, ASinglePlayReturnsAfterTheSoundEvenWithoutSpeakers)
{
    GstSoundOutput output;
    const QByteArray wav = builtInSound();
    QElapsedTimer timer;
    timer.start();
    output.PlayMemory(wav, false);
    EXPECT_GE(timer.elapsed(), 1900);
    EXPECT_LT(timer.elapsed(), 10000);
}

TEST(GstSoundOutput, ALoopReturnsAtOnceAndStopsOnRequest)
{
    GstSoundOutput output;
    const QByteArray wav = builtInSound();
    QElapsedTimer timer;
    timer.start();
    output.PlayMemory(wav, true);
    EXPECT_LT(timer.elapsed(), 1000);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    timer.restart();
    output.Stop();
    EXPECT_LT(timer.elapsed(), 1000);
}

TEST(GstSoundOutput, AStopFromAnotherThreadCutsASinglePlayShort)
{
    GstSoundOutput output;
    const QByteArray wav = builtInSound();
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        output.Stop();
    });
    QElapsedTimer timer;
    timer.start();
    output.PlayMemory(wav, false);
    stopper.join();
    EXPECT_LT(timer.elapsed(), 1500);
}
