#pragma once

#include <QDateTime>
#include <QString>

// A camera the program waits for with "Reconnect" on: lost while it was
// watched, or not there when the program started. The window tries it again
// every few seconds and shows InfoText() on its information line meanwhile.
// Display-free.
class TCameraWait
{
public:
    enum class Cause
    {
        Lost,          // it stopped sending pictures
        MissingAtStart // it was not there, or did not answer, at start
    };

    static constexpr int kIntervalMs = 5000;

    // Begins waiting for `camera` (none was being waited for).
    void Start(const QString& camera, Cause cause, const QDateTime& since, bool wasScanning);
    // The camera was lost again before it was found: scanning comes back if
    // it was on at all.
    void AlsoScanning(bool wasScanning) { scanningBefore_ = scanningBefore_ || wasScanning; }
    void Stop();

    bool Active() const { return active_; }
    const QString& Camera() const { return camera_; }
    bool ScanningBefore() const { return scanningBefore_; }
    // Why the last try failed, in words for the user (empty: not there).
    void SetLastTry(const QString& why) { lastTry_ = why; }

    // The information line while waiting, with the time of day of `now`.
    QString InfoText(const QDateTime& now) const;
    // The alarm log's line for the start and the end of the wait.
    QString StartLine(const QString& stamp) const;
    QString BackLine(const QString& stamp) const;

private:
    bool active_ = false;
    QString camera_;
    Cause cause_ = Cause::Lost;
    QDateTime since_;
    bool scanningBefore_ = false;
    QString lastTry_;
};
