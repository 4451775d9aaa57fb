#pragma once

#include "SoundOutput.h"

#include <condition_variable>
#include <mutex>
#include <thread>

// Plays the alarm through GStreamer: source ! wavparse ! audioconvert !
// audioresample ! autoaudiosink. Every play lasts at least the sound's real
// duration, so a machine whose only sink is a fake one, or none at all, runs
// the alarm exactly as long as one with speakers.
class GstSoundOutput final : public SoundOutput
{
public:
    GstSoundOutput();
    ~GstSoundOutput() override;

    GstSoundOutput(const GstSoundOutput&) = delete;
    GstSoundOutput& operator=(const GstSoundOutput&) = delete;

    void PlayFile(const QString& path, bool loop) override;
    void PlayMemory(const QByteArray& wav, bool loop) override;
    void Stop() override;

private:
    struct Source
    {
        QString path;     // a file, or
        QByteArray image; // a WAV image (shares the caller's data)
        qint64 durationMs = 0;
    };

    void Start(Source source, bool loop);
    // Plays the source once; false when stopped.
    bool PlayOnce(const Source& source);
    bool WaitStopFor(qint64 ms);

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread looper_;
};
