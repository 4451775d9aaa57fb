#include "CaptureDriver.h"

#include <QTimer>

CaptureDriver::~CaptureDriver() = default;

void CaptureDriver::notificationChanged(const char*, bool) {}

void CaptureDriver::setErrorNotification(ErrorNotification n)
{
    onError_ = std::move(n);
    notificationChanged("error", bool(onError_));
}

void CaptureDriver::setStatusNotification(StatusNotification n)
{
    onStatus_ = std::move(n);
    notificationChanged("status", bool(onStatus_));
}

void CaptureDriver::setYieldNotification(YieldNotification n)
{
    onYield_ = std::move(n);
    notificationChanged("yield", bool(onYield_));
}

void CaptureDriver::setFrameNotification(FrameNotification n)
{
    onFrame_ = std::move(n);
    notificationChanged("frame", bool(onFrame_));
}

void CaptureDriver::setVideoStreamNotification(FrameNotification n)
{
    onVideoStream_ = std::move(n);
    notificationChanged("videostream", bool(onVideoStream_));
}

void CaptureDriver::setWaveStreamNotification(WaveNotification n)
{
    onWaveStream_ = std::move(n);
    notificationChanged("wavestream", bool(onWaveStream_));
}

void CaptureDriver::setControlNotification(ControlNotification n)
{
    onControl_ = std::move(n);
    notificationChanged("control", bool(onControl_));
}

namespace {

// Copy first: the notification may replace or remove itself while it runs.
template <typename F, typename... A> int Deliver(const F& installed, int absent, A&&... args)
{
    if (!installed)
        return absent;
    const F keep = installed;
    return keep(std::forward<A>(args)...);
}

} // namespace

int CaptureDriver::notifyError(int id, const QString& text)
{
    return Deliver(onError_, 1, id, text);
}

int CaptureDriver::notifyStatus(int id, const QString& text)
{
    return Deliver(onStatus_, 0, id, text);
}

int CaptureDriver::notifyYield()
{
    return Deliver(onYield_, 1);
}

int CaptureDriver::notifyFrame(const CaptureVideoHeader& header)
{
    return Deliver(onFrame_, 1, &header);
}

int CaptureDriver::notifyVideoStream(const CaptureVideoHeader& header)
{
    return Deliver(onVideoStream_, 1, &header);
}

int CaptureDriver::notifyWaveStream(const CaptureWaveHeader& header)
{
    return Deliver(onWaveStream_, 1, &header);
}

int CaptureDriver::notifyControl(int state)
{
    return Deliver(onControl_, 1, state);
}

void CaptureDriver::setClipRecorder(std::shared_ptr<TClipRecorder>) {}

void CaptureDriver::setNetworkCameras(const QList<TNetworkCamera>&)
{
    // No network support by default.
}

void CaptureDriver::setVideoWindow(quintptr) {}

void CaptureDriver::setVideoWindowSize(int, int) {}

bool CaptureDriver::drawsPreview() const
{
    return false;
}

void CaptureDriver::setViewShown(bool)
{
    // Previews at the same rate, seen or not, by default.
}

void CaptureDriver::openDriver(int index)
{
    // Nothing to wait for: the answer is the list's, given from the event loop.
    const OpenResult result{
        index, driverDescription(index) ? OpenFailure::None : OpenFailure::Absent, {}};
    QTimer::singleShot(0, [alive = std::weak_ptr<bool>(alive_), this, result] {
        if (!alive.expired())
            notifyOpened(result);
    });
}

void CaptureDriver::cancelOpen() {}

bool CaptureDriver::connectsAtOnce(int) const
{
    return true;
}

void CaptureDriver::refreshDrivers() {}

void CaptureDriver::notifyOpened(const OpenResult& result)
{
    lastOpen_ = result;
    if (onOpened_) {
        const OpenNotification keep = onOpened_;
        keep(result);
    }
}
