#include "TClipPlayer.h"

#include "ScratchDir.h"
#include "TestClip.h"
#include "WaitFor.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

using TState = TClipPlayer::TState;

// What the player said, in the order it said it.
struct Heard
{
    int frames = 0;
    int ended = 0;
    QStringList failures;
    QImage last;
};

class ClipPlayer : public ::testing::Test
{
protected:
    void listen(TClipPlayer& player)
    {
        QObject::connect(&player, &TClipPlayer::FrameReady, [this](const QImage& frame) {
            ++heard.frames;
            heard.last = frame;
        });
        QObject::connect(&player, &TClipPlayer::Ended, [this] { ++heard.ended; });
        QObject::connect(&player, &TClipPlayer::Failed,
                         [this](const QString& why) { heard.failures << why; });
    }
    QString clip(int frames)
    {
        const QString path = dir.file(QStringLiteral("ILX 2026-12-07 08-00-00-000.mp4"));
        EXPECT_EQ(MakeTestClip(path, frames), QString());
        return path;
    }

    ScratchDir dir;
    Heard heard;
};

} // namespace

TEST_F(ClipPlayer, PlaysAtTheClipsPaceHoldsStillWhenPausedAndPlaysAgainAfterTheEnd)
{
    const QString path = clip(30); // two seconds
    TClipPlayer player;
    listen(player);
    QElapsedTimer clock;
    clock.start();
    player.Play(path);
    EXPECT_EQ(player.State(), TState::Playing);
    ASSERT_TRUE(WaitFor([&] { return heard.frames > 0; }))
        << heard.failures.join(' ').toStdString();
    EXPECT_EQ(heard.last.size(), QSize(176, 144));

    player.Pause();
    EXPECT_EQ(player.State(), TState::Paused);
    const int atPause = heard.frames;
    QTest::qWait(500);
    // One frame may have been on its way when the pause came.
    EXPECT_LE(heard.frames, atPause + 1) << "frames went on during the pause";
    EXPECT_EQ(heard.ended, 0);

    player.Resume();
    ASSERT_TRUE(WaitFor([&] { return heard.ended == 1; }, 20000)) << heard.frames << " frames";
    EXPECT_EQ(player.State(), TState::Ended);
    // Frames follow the clip's clock rather than the decoder's speed.
    EXPECT_GE(clock.elapsed(), 1800);
    EXPECT_GE(heard.frames, 10);
    EXPECT_TRUE(heard.failures.isEmpty()) << heard.failures.join(' ').toStdString();

    const int firstTime = heard.frames;
    player.Resume();
    EXPECT_EQ(player.State(), TState::Playing);
    ASSERT_TRUE(WaitFor([&] { return heard.ended == 2; }, 20000));
    EXPECT_GE(heard.frames, firstTime + 10) << "the second playing showed the clip again";
    // Let go while it plays: the pipeline goes down with it, quietly.
    player.Play(path);
}

TEST_F(ClipPlayer, ADamagedOrMissingClipIsReportedAndPlayingStops)
{
    const QByteArray good = [&] {
        const QString path = clip(15);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        file.remove();
        return bytes;
    }();
    ASSERT_GT(good.size(), 1000);
    const struct
    {
        const char* what;
        std::function<void(const QString&)> make;
    } cases[] = {
        {"not a clip",
         [&](const QString& p) {
             dir.write(p, "this is no video at all");
         }},
        {"cut in half",
         [&](const QString& p) {
             dir.write(p, good.left(good.size() / 2));
         }},
        {"empty",
         [&](const QString& p) {
             dir.write(p, QByteArray());
         }},
        {"missing",
         [](const QString&) {
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString name = QStringLiteral("ILX %1.mp4").arg(QLatin1String(c.what));
        c.make(name);
        heard = {};
        TClipPlayer player;
        listen(player);
        player.Play(dir.file(name));
        ASSERT_TRUE(WaitFor([&] { return !heard.failures.isEmpty(); }, 15000));
        EXPECT_EQ(player.State(), TState::Stopped);
        EXPECT_FALSE(heard.failures.first().isEmpty());
        EXPECT_EQ(heard.frames, 0);
        EXPECT_EQ(heard.ended, 0);
    }
}
