#include "SilentSoundOutput.h"

#include "WavInfo.h"

#include <QFile>

#include <chrono>

void SilentSoundOutput::PlayFile(const QString& path, bool loop)
{
    QFile file(path);
    qint64 duration = 0;
    if (file.open(QIODevice::ReadOnly))
        duration = WavInfo::Parse(file.read(64 * 1024), file.size()).DurationMs();
    Play(QStringLiteral("file:") + path, duration, loop);
}

void SilentSoundOutput::PlayMemory(const QByteArray& wav, bool loop)
{
    Play(QStringLiteral("memory:%1").arg(wav.size()), WavInfo::Parse(wav).DurationMs(), loop);
}

void SilentSoundOutput::Play(const QString& what, qint64 durationMs, bool loop)
{
    std::unique_lock lock(mutex_);
    calls_.append(loop ? what + QStringLiteral(" loop") : what);
    stopping_ = false;
    playing_ = true;
    if (loop)
        return;
    wake_.wait_for(lock, std::chrono::milliseconds(durationMs), [this] { return stopping_; });
    playing_ = false;
}

void SilentSoundOutput::Stop()
{
    {
        const std::lock_guard guard(mutex_);
        calls_.append(QStringLiteral("stop"));
        stopping_ = true;
        playing_ = false;
    }
    wake_.notify_all();
}

QStringList SilentSoundOutput::Calls() const
{
    const std::lock_guard guard(mutex_);
    return calls_;
}

void SilentSoundOutput::Clear()
{
    const std::lock_guard guard(mutex_);
    calls_.clear();
}

bool SilentSoundOutput::Playing() const
{
    const std::lock_guard guard(mutex_);
    return playing_;
}
