#pragma once

#include "TAlarmLog.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QThread>

#include <condition_variable>
#include <mutex>

class SoundOutput;

// One alarm sound run on its own thread: logs the request, plays the chosen
// WAV file (or the built-in sound when the file is not usable) once or in a
// loop, waits for the stop request in loop mode, and posts the sound-finished
// event to its notify object.
//
// Created and configured on the main thread, then started; destroyed on the
// main thread after it has ended, which writes the closing lines of the run.
class TSoundThread final : public QThread
{
public:
    // `notify` receives the sound-finished event (none: nullptr). `output` and
    // `log` belong to the creator and outlive the thread.
    TSoundThread(QObject* notify, SoundOutput& output, TAlarmLog& log);
    ~TSoundThread() override;

    // Settings handed over before start.
    void SetTest(bool test) { test_ = test; }
    void SetLog(bool log) { logging_ = log; }
    void SetSoundFile(const QString& file) { soundFile_ = file; }

    // The loop flag may change while the thread runs: clearing it is the stop
    // request, and it wakes the thread's wait at once.
    void SetLoop(bool loop);
    bool Loop() const;
    // Ends the run without posting the sound-finished event.
    void RequestTerminate();

    bool HasBuiltInSound() const { return !builtIn_.isEmpty(); }

    // Whether a sound file is played rather than the built-in sound.
    static bool UsesSoundFile(const QString& file);
    // Whether the file holds a RIFF WAVE sound with samples in it.
    static bool IsPlayableWav(const QString& file);

protected:
    void run() override;

private:
    QPointer<QObject> notify_;
    SoundOutput& output_;
    TAlarmLog& log_;
    bool test_ = false;
    bool logging_ = false;
    QString soundFile_;
    QByteArray builtIn_;

    mutable std::mutex flagsMutex_;
    std::condition_variable flagsChanged_;
    bool loop_ = true;
    bool terminate_ = false;
};
