#pragma once

#include "GstHandles.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

// How a clip ended.
struct TClipOutcome
{
    bool kept = false;   // a playable clip lies under its name
    bool failed = false; // writing failed (a full disk, a folder gone); `why` says how
    QString why;
};

// One clip being written: a pipeline from an application source to a
// fragmented MP4 under the clip's temporary name. Pictures are encoded to
// H.264; a camera's own H.264 is only packed, never decoded. It is built
// where it is asked for; Begin and Finish change the pipeline's state and
// belong on a worker. Pushes come from one thread at a time.
class TClipWriter
{
public:
    // Pictures of `size` as the program shows them (32-bit, blue first in memory).
    static std::unique_ptr<TClipWriter> ForPictures(QSize size, int fps, const QString& clipPath,
                                                    QString* why);
    // Access units of the H.264 stream `caps` describes.
    static std::unique_ptr<TClipWriter> ForH264(GstCaps* caps, const QString& clipPath,
                                                QString* why);
    ~TClipWriter();
    TClipWriter(const TClipWriter&) = delete;
    TClipWriter& operator=(const TClipWriter&) = delete;

    const QString& ClipPath() const { return clipPath_; }
    QSize PictureSize() const { return size_; }
    // The caps an H.264 clip was started with (null for pictures).
    GstCaps* StreamCaps() const { return streamCaps_.get(); }
    bool Failed() const { return failed_.load(); }

    // Starts writing. It may wait on the disk: a worker's job, done before
    // Finish. What was pushed before is written first.
    void Begin();

    // A picture seen at `tNs` (steady clock); false once writing failed.
    bool PushPicture(const QImage& picture, qint64 tNs);
    // An access unit seen at `tNs`; the first must be a key frame. Borrowed.
    bool PushUnit(GstBuffer* unit, qint64 tNs);

    // Told, on a streaming thread, the first time writing fails.
    void SetOnFailure(std::function<void()> failed) { onFailure_ = std::move(failed); }

    // Ends the clip: the stream is closed, the file completed and given the
    // clip's name. Blocks up to `timeoutMs` for the file to be written; what
    // could not be completed is cut back to its last complete second.
    TClipOutcome Finish(int timeoutMs);

    // The factory names of the pipeline's elements, for checking what runs.
    QStringList ElementNames() const;

private:
    TClipWriter(const QString& clipPath, QSize size);
    bool Start(const QByteArray& description, GstCaps* sourceCaps, QString* why);
    static GstBusSyncReply OnBusMessage(GstBus*, GstMessage* message, gpointer user);

    QString clipPath_;
    QString tempPath_;
    QSize size_;
    GstCapsRef streamCaps_;
    GstRef<GstElement> pipeline_;
    GstElement* source_ = nullptr; // borrowed from the pipeline
    std::function<void()> onFailure_;

    std::mutex mutex_; // guards what the bus handler and Finish share
    std::condition_variable done_;
    bool ended_ = false; // the end of the stream reached the file
    QString error_;
    std::atomic<bool> failed_{false};

    // The pushing thread's own: timestamps start at the first push.
    qint64 firstNs_ = -1;
    qint64 lastPts_ = -1;
    GstClockTime firstStreamTime_ = GST_CLOCK_TIME_NONE;
};
