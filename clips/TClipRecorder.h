#pragma once

#include "GstHandles.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>

class QThreadPool;
class TClipWriter;

// The user's choice for event clips.
struct TClipSettings
{
    bool On = false;
    int SecondsBefore = 3; // 0 to 10
    int SecondsAfter = 5;  // 1 to 60
};

// Event clips. While clips are on, the last seconds of the camera are kept
// in memory: the pictures as the program has them, or a network camera's own
// H.264 from a key frame on. A detection starts an event, whose clip begins
// that many seconds earlier and goes on until the set time has passed
// without another detection. Nothing is written while nothing happens.
//
// The camera's streaming threads push; everything else is the GUI thread's.
// Writing never waits on the GUI thread: a clip is closed on a worker.
class TClipRecorder : public QObject
{
    Q_OBJECT

public:
    // Pictures are kept and encoded at most this often: the camera's own rate
    // up to it.
    static constexpr int kMaxFps = 15;

    explicit TClipRecorder(QObject* parent = nullptr);
    ~TClipRecorder() override;

    // --- GUI thread
    // Off drops what is kept and ends a running event's clip.
    void SetSettings(const TClipSettings& settings);
    const TClipSettings& Settings() const { return settings_; }
    // A detection: starts an event whose clip is `clipPath`, or extends the
    // running one (the path is then not used). False when clips are off,
    // nothing is kept yet, or the clip could not be started (ClipFailed
    // then says why).
    bool Detected(const QString& clipPath);
    bool Recording() const { return !eventPath_.isEmpty(); }
    const QString& RecordingPath() const { return eventPath_; }
    // Ends the running event now.
    void EndEvent();
    // Waits up to `timeoutMs` for clips being closed; true when none is left.
    bool WaitClosed(int timeoutMs);
    // The elements writing the running clip (empty when none), by factory name.
    QStringList WriterElements() const;

    // --- the camera's streaming threads
    // Another camera, or the same one opened again: what was kept is its
    // predecessor's. (Also from the GUI thread.)
    void NewSource();
    // A picture as the program shows it (32-bit, blue first in memory).
    void PushPicture(const QImage& picture);
    // One access unit of the camera's H.264 stream, borrowed; `caps` are the
    // stream's. A camera that sends these is recorded from them only.
    void PushUnit(GstBuffer* unit, GstCaps* caps);
    bool Wanted() const { return on_.load(std::memory_order_relaxed); }
    // Whether pictures are kept: on, and the camera sends no stream of its own.
    bool WantsPictures() const
    {
        return Wanted() && !encodedSource_.load(std::memory_order_relaxed);
    }

signals:
    void ClipStarted(const QString& clipPath);
    // The clip lies complete under its name.
    void ClipFinished(const QString& clipPath);
    // Writing failed; `kept` tells whether what was recorded lies under the name.
    void ClipFailed(const QString& clipPath, const QString& why, bool kept);

private:
    struct KeptPicture
    {
        QImage picture;
        qint64 tNs = 0;
    };
    struct KeptUnit
    {
        GstBufferRef unit;
        qint64 tNs = 0;
        bool key = false;
    };

    static qint64 NowNs();
    void Prune(qint64 nowNs);
    std::unique_ptr<TClipWriter> StartWriter(const QString& clipPath, qint64 fromNs, QString* why);
    void Close(std::shared_ptr<TClipWriter> closing);
    void WriterFailed(const QString& clipPath);

    TClipSettings settings_;
    QString eventPath_; // the running event's clip; empty when none
    QTimer eventEnd_;   // the set time after the last detection
    // One writer's start and end at a time, in order, away from this thread.
    std::unique_ptr<QThreadPool> writing_;

    std::atomic<bool> on_{false};
    // Guards what the streaming threads share with the GUI thread.
    mutable std::mutex mutex_;
    qint64 keepNs_ = 0; // how far back is kept
    std::deque<KeptPicture> pictures_;
    std::deque<KeptUnit> units_;
    GstCapsRef unitCaps_;
    // The camera's own stream is kept, not its pictures (written under the
    // lock, read without it by the camera's threads).
    std::atomic<bool> encodedSource_{false};
    std::size_t unitBytes_ = 0;
    qint64 pictureDueNs_ = 0; // when the next picture is wanted
    std::shared_ptr<TClipWriter> writer_;
    qint64 lastPushedNs_ = -1; // the writer's last picture
    bool waitKey_ = false;     // the stream's writer waits for a key frame
};
