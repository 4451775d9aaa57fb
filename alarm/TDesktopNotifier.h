#pragma once

#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>

#include <cstdint>
#include <optional>

// Tells the desktop about a detection while no one looks at the main window:
// one notification through the desktop's notification service
// (org.freedesktop.Notifications on the session bus) with the time and a
// thumbnail of the picture. Nothing waits for the service, and without one
// nothing happens. Activating the notification asks for the main window.
class TDesktopNotifier final : public QObject
{
    Q_OBJECT

public:
    // A burst of detections makes one notification: the next needs this long
    // without any detection.
    static constexpr std::uint32_t kQuietMs = 60000;

    explicit TDesktopNotifier(QObject* parent = nullptr);

    // Counts a detection at tick \a tick (milliseconds, wrapping at 2^32):
    // true when it is the first after a quiet minute (or the first at all),
    // or the first since the user left the window.
    bool FirstAfterQuiet(std::uint32_t tick);

    // The user has left the window (minimised or hidden): the next detection
    // is told, however busy the minute before was.
    void UserLeft() { userLeft_ = true; }

    // Sends one notification of a detection at \a when with \a picture's
    // thumbnail and \a pictureName (may be empty: no picture was saved).
    void Notify(const QDateTime& when, const QImage& picture, const QString& pictureName);

    // Takes back the notifications still shown (the user came back).
    void Withdraw();

    // The notification's thumbnail: at most 160 x 120, in proportion.
    static QImage Thumbnail(const QImage& picture);

signals:
    // The user activated one of this program's notifications.
    void Activated();

private slots:
    void ActionInvoked(uint id, const QString& action);
    void NotificationClosed(uint id, uint reason);

private:
    bool Listen();

    std::optional<std::uint32_t> lastDetection_;
    bool userLeft_ = false;
    QSet<uint> shown_; // ids the service gave our notifications still shown
    bool listening_ = false;
};
