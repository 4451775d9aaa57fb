#include "TClipRecorder.h"

#include "TClipWriter.h"

#include <QThreadPool>

#include <chrono>

namespace {

constexpr qint64 kNsPerS = 1'000'000'000;
// Pictures are kept on a beat of this period; one that comes up to a quarter
// of it early still counts, so a camera's jitter never halves the rate.
constexpr qint64 kPicturePeriodNs = kNsPerS / TClipRecorder::kMaxFps;
constexpr qint64 kPictureEarlyNs = kPicturePeriodNs / 4;
// Kept a little longer than asked, so the clip's first picture is never late.
constexpr qint64 kKeepMarginNs = kNsPerS / 2;
// A camera that sends no key frame for long is held to this much.
constexpr std::size_t kMaxKeptUnitBytes = 64u * 1024 * 1024;
constexpr int kCloseTimeoutMs = 15000;

} // namespace

TClipRecorder::TClipRecorder(QObject* parent)
    : QObject(parent), writing_(std::make_unique<QThreadPool>())
{
    // One thread: a clip's start is always done before its end, and before
    // the next clip's.
    writing_->setMaxThreadCount(1);
    eventEnd_.setSingleShot(true);
    connect(&eventEnd_, &QTimer::timeout, this, &TClipRecorder::EndEvent);
}

TClipRecorder::~TClipRecorder()
{
    EndEvent();
    writing_->waitForDone(); // a clip being closed is completed, not cut
}

qint64 TClipRecorder::NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void TClipRecorder::SetSettings(const TClipSettings& settings)
{
    settings_ = settings;
    on_ = settings.On;
    {
        const std::lock_guard lock(mutex_);
        keepNs_ = qint64(settings.SecondsBefore) * kNsPerS + kKeepMarginNs;
        if (!settings.On) {
            pictures_.clear();
            units_.clear();
            unitBytes_ = 0;
        }
    }
    if (!settings.On && Recording())
        EndEvent();
    else if (Recording())
        eventEnd_.setInterval(settings.SecondsAfter * 1000);
}

bool TClipRecorder::Detected(const QString& clipPath)
{
    if (!settings_.On)
        return false;
    eventEnd_.start(settings_.SecondsAfter * 1000);
    if (Recording())
        return true;
    const qint64 from = NowNs() - qint64(settings_.SecondsBefore) * kNsPerS;
    QString why;
    bool started = false;
    {
        const std::lock_guard lock(mutex_);
        writer_ = StartWriter(clipPath, from, &why);
        started = writer_ != nullptr;
    }
    if (started)
        writing_->start([writer = writer_] { writer->Begin(); });
    if (!started) {
        eventEnd_.stop();
        if (!why.isEmpty())
            emit ClipFailed(clipPath, why, false);
        return false;
    }
    eventPath_ = clipPath;
    emit ClipStarted(clipPath);
    return true;
}

std::unique_ptr<TClipWriter> TClipRecorder::StartWriter(const QString& clipPath, qint64 fromNs,
                                                        QString* why)
{
    std::unique_ptr<TClipWriter> writer;
    if (encodedSource_) {
        if (!unitCaps_)
            return nullptr; // nothing kept yet: the next detection tries again
        writer = TClipWriter::ForH264(unitCaps_.get(), clipPath, why);
        if (!writer)
            return nullptr;
        // From the key frame at or before the start asked for, else the first kept.
        std::size_t start = units_.size();
        for (std::size_t i = 0; i < units_.size(); ++i) {
            if (!units_[i].key)
                continue;
            if (units_[i].tNs <= fromNs || start == units_.size())
                start = i;
            if (units_[i].tNs > fromNs)
                break;
        }
        waitKey_ = start == units_.size();
        for (std::size_t i = start; i < units_.size(); ++i)
            writer->PushUnit(units_[i].unit.get(), units_[i].tNs);
    } else {
        if (pictures_.empty())
            return nullptr; // nothing kept yet: the next detection tries again
        writer = TClipWriter::ForPictures(pictures_.back().picture.size(), kMaxFps, clipPath, why);
        if (!writer)
            return nullptr;
        for (const KeptPicture& kept : pictures_) {
            if (kept.tNs >= fromNs)
                writer->PushPicture(kept.picture, kept.tNs);
        }
    }
    const QString path = clipPath;
    writer->SetOnFailure([this, path] {
        QMetaObject::invokeMethod(
            this, [this, path] { WriterFailed(path); }, Qt::QueuedConnection);
    });
    return writer;
}

void TClipRecorder::EndEvent()
{
    eventEnd_.stop();
    std::shared_ptr<TClipWriter> writer;
    {
        const std::lock_guard lock(mutex_);
        writer = std::move(writer_);
        waitKey_ = false;
    }
    eventPath_.clear();
    if (writer)
        Close(std::move(writer));
}

void TClipRecorder::WriterFailed(const QString& clipPath)
{
    // The event goes on without its clip: its detections start no new one.
    std::shared_ptr<TClipWriter> writer;
    {
        const std::lock_guard lock(mutex_);
        if (writer_ && writer_->ClipPath() == clipPath)
            writer = std::move(writer_);
    }
    if (writer)
        Close(std::move(writer));
}

void TClipRecorder::Close(std::shared_ptr<TClipWriter> closing)
{
    const QString path = closing->ClipPath();
    writing_->start([this, closing, path]() mutable {
        const TClipOutcome outcome = closing->Finish(kCloseTimeoutMs);
        closing.reset();
        QMetaObject::invokeMethod(
            this,
            [this, path, outcome] {
                if (outcome.failed)
                    emit ClipFailed(path, outcome.why, outcome.kept);
                else
                    emit ClipFinished(path);
            },
            Qt::QueuedConnection);
    });
}

bool TClipRecorder::WaitClosed(int timeoutMs)
{
    return writing_->waitForDone(timeoutMs);
}

QStringList TClipRecorder::WriterElements() const
{
    const std::lock_guard lock(mutex_);
    return writer_ ? writer_->ElementNames() : QStringList();
}

void TClipRecorder::NewSource()
{
    {
        const std::lock_guard lock(mutex_);
        pictures_.clear();
        units_.clear();
        unitCaps_.reset();
        unitBytes_ = 0;
        encodedSource_ = false;
    }
    // The clip of a camera that went away ends with what it recorded.
    if (Recording())
        EndEvent();
}

void TClipRecorder::Prune(qint64 nowNs)
{
    const qint64 cutoff = nowNs - keepNs_;
    while (!pictures_.empty() && pictures_.front().tNs < cutoff)
        pictures_.pop_front();
    // A stream is kept from the last key frame at or before the cutoff.
    for (;;) {
        std::size_t next = 1;
        while (next < units_.size() && !units_[next].key)
            ++next;
        const bool overBudget = unitBytes_ > kMaxKeptUnitBytes && !units_.empty();
        if (!overBudget && (next >= units_.size() || units_[next].tNs > cutoff))
            break;
        const std::size_t drop =
            overBudget ? std::max<std::size_t>(1, std::min(next, units_.size())) : next;
        for (std::size_t i = 0; i < drop; ++i) {
            unitBytes_ -= gst_buffer_get_size(units_.front().unit.get());
            units_.pop_front();
        }
    }
}

void TClipRecorder::PushPicture(const QImage& picture)
{
    if (!Wanted())
        return;
    const qint64 now = NowNs();
    const std::lock_guard lock(mutex_);
    if (encodedSource_)
        return;
    if (now < pictureDueNs_ - kPictureEarlyNs)
        return;
    pictureDueNs_ = now > pictureDueNs_ + kPicturePeriodNs ? now + kPicturePeriodNs
                                                           : pictureDueNs_ + kPicturePeriodNs;
    if (!pictures_.empty() && pictures_.back().picture.size() != picture.size())
        pictures_.clear(); // another format: the old pictures fit no clip of the new one
    pictures_.push_back(KeptPicture{picture, now});
    Prune(now);
    if (writer_ && !writer_->PushPicture(picture, now) &&
        writer_->PictureSize() != picture.size()) {
        // The format changed under the clip: it ends with what it has.
        QMetaObject::invokeMethod(
            this, [this, ended = std::move(writer_)] { Close(ended); }, Qt::QueuedConnection);
    }
}

void TClipRecorder::PushUnit(GstBuffer* unit, GstCaps* caps)
{
    if (!Wanted() || !unit || !caps)
        return;
    const qint64 now = NowNs();
    const bool key = !GST_BUFFER_FLAG_IS_SET(unit, GST_BUFFER_FLAG_DELTA_UNIT);
    const std::lock_guard lock(mutex_);
    if (!encodedSource_) {
        encodedSource_ = true;
        pictures_.clear();
    }
    if (caps != unitCaps_.get() && !(unitCaps_ && gst_caps_is_equal(caps, unitCaps_.get()))) {
        // A new stream: what was kept cannot be joined to it, nor can a clip.
        units_.clear();
        unitBytes_ = 0;
        unitCaps_.reset(gst_caps_ref(caps));
        if (writer_)
            QMetaObject::invokeMethod(
                this, [this, ended = std::move(writer_)] { Close(ended); }, Qt::QueuedConnection);
    }
    units_.push_back(KeptUnit{GstBufferRef(gst_buffer_ref(unit)), now, key});
    unitBytes_ += gst_buffer_get_size(unit);
    Prune(now);
    if (!writer_ || (waitKey_ && !key))
        return;
    waitKey_ = false;
    writer_->PushUnit(unit, now);
}
