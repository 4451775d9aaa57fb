#pragma once

#include <QByteArray>
#include <QString>

// Where the alarm sound goes. Called from the sound thread only.
//  - Played once, Play returns when the sound has ended (or Stop was called
//    from another thread).
//  - Played in a loop, Play returns at once and the sound repeats until Stop.
// A machine without an audio device still keeps the sound's real duration, so
// a run behaves the same with or without speakers.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;

    virtual void PlayFile(const QString& path, bool loop) = 0;
    // A complete RIFF WAVE image in memory; it must outlive the play.
    virtual void PlayMemory(const QByteArray& wav, bool loop) = 0;
    virtual void Stop() = 0;
};
