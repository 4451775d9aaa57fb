#include "TSoundThread.h"

#include "AlarmEvents.h"
#include "Clock.h"
#include "SoundOutput.h"
#include "TMessageEvent.h"
#include "WavInfo.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray loadBuiltInSound()
{
    QFile resource(QStringLiteral(":/sounds/ALARM.wav"));
    if (!resource.open(QIODevice::ReadOnly))
        return {};
    return resource.readAll();
}

} // namespace

TSoundThread::TSoundThread(QObject* notify, SoundOutput& output, TAlarmLog& log)
    : notify_(notify), output_(output), log_(log), builtIn_(loadBuiltInSound())
{}

TSoundThread::~TSoundThread()
{
    RequestTerminate();
    wait();
    // The closing lines are written on the main thread, after the run ended;
    // a thread that never started has no run to close.
    if (!log_.Close())
        QApplication::beep();
}

void TSoundThread::SetLoop(bool loop)
{
    {
        const std::lock_guard guard(flagsMutex_);
        loop_ = loop;
    }
    flagsChanged_.notify_all();
}

bool TSoundThread::Loop() const
{
    const std::lock_guard guard(flagsMutex_);
    return loop_;
}

void TSoundThread::RequestTerminate()
{
    {
        const std::lock_guard guard(flagsMutex_);
        terminate_ = true;
    }
    flagsChanged_.notify_all();
    // A single play blocks the thread inside the output: stop it too.
    if (isRunning())
        output_.Stop();
}

bool TSoundThread::UsesSoundFile(const QString& file)
{
    if (file.isEmpty())
        return false;
    const QFileInfo info(file);
    return info.suffix().toUpper() == QLatin1String("WAV") && info.isFile();
}

bool TSoundThread::IsPlayableWav(const QString& file)
{
    QFile sound(file);
    if (!sound.open(QIODevice::ReadOnly))
        return false;
    // The chunks before the samples are small; 64 KB reach the data chunk.
    constexpr qint64 kHeadBytes = 64 * 1024;
    const WavInfo info = WavInfo::Parse(sound.read(kHeadBytes), sound.size());
    return info.valid && info.channels > 0 && info.sampleRate > 0 && info.DurationMs() > 0;
}

// Runs on the sound thread.
void TSoundThread::run()
{
    // A log that cannot be read or written is not a reason to keep silent:
    // the sound still plays and the run still ends with the finished event.
    if (log_.Open(logging_)) {
        log_.Add(test_ ? QStringLiteral("# EXECUTE TEST") : QString());
        log_.Add(QStringLiteral("Request play sound: ") +
                 (soundFile_.isEmpty() ? QStringLiteral("Default Alarm") : soundFile_));
        log_.Add(QStringLiteral("Date: ") + TAlarmLog::Stamp(IlxNow()));
    }

    const bool loop = Loop();
    bool useFile = UsesSoundFile(soundFile_);
    if (!useFile) {
        log_.Add(QStringLiteral("WAV file: ") + soundFile_ + QStringLiteral(" not defined !"));
        log_.Add(QStringLiteral("Default WAV sound will be used"));
    } else if (!IsPlayableWav(soundFile_)) {
        // Named .wav but no sound in it (a renamed picture, an empty file):
        // the alarm must still be heard.
        useFile = false;
        log_.Add(QStringLiteral("WAV file: ") + soundFile_ +
                 QStringLiteral(" is not a sound ! Default WAV sound will be used"));
    }

    // No lock is held while the sound plays: the log stays open to the
    // camera's events for as long as a loop lasts.
    if (useFile)
        output_.PlayFile(soundFile_, loop);
    else if (!builtIn_.isEmpty())
        output_.PlayMemory(builtIn_, loop);

    bool terminated = false;
    {
        std::unique_lock flags(flagsMutex_);
        flagsChanged_.wait(flags, [this] { return !loop_ || terminate_; });
        terminated = terminate_;
    }
    output_.Stop();

    if (!terminated && notify_)
        QCoreApplication::postEvent(notify_.data(),
                                    new TMessageEvent(kSoundFinishedEvent, test_ ? 1 : 0, 1));
}
