#pragma once

#include "SoundOutput.h"

#include <QStringList>

#include <condition_variable>
#include <mutex>

// A sound output that plays nothing but keeps the sound's real duration and
// records what was asked of it. For tests and for machines where GStreamer
// cannot be used at all.
class SilentSoundOutput final : public SoundOutput
{
public:
    void PlayFile(const QString& path, bool loop) override;
    void PlayMemory(const QByteArray& wav, bool loop) override;
    void Stop() override;

    // What was played, in order: "file:<path>" or "memory:<bytes>", plus
    // " loop" for a looped play; "stop" for each stop.
    QStringList Calls() const;
    void Clear();
    bool Playing() const;

private:
    void Play(const QString& what, qint64 durationMs, bool loop);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    QStringList calls_;
    bool playing_ = false;
    bool stopping_ = false;
};
