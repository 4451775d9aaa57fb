#pragma once

#include <QDBusConnection>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// A desktop's notification service, as small as a test needs: it owns
// org.freedesktop.Notifications on a bus of its own connection, records each
// notification (the thumbnail read from its "image-data"), and activates one
// as a user's click on it would.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Shown
    {
        uint Id = 0;
        QString AppName;
        QString Icon;
        QString Summary;
        QString Body;
        QStringList Actions;
        QVariantMap Hints;
        QImage Thumbnail; // null when no valid "image-data" came
    };

    explicit FakeNotifications(const QString& busAddress);
    ~FakeNotifications() override;

    // The name was taken on the bus.
    bool Registered() const { return registered_; }
    const QList<Shown>& Notifications() const { return shown_; }
    const QList<uint>& Closed() const { return closed_; }
    // What the service sends when the user clicks notification \a id.
    void Activate(uint id);

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout);
    void CloseNotification(uint id);
    QStringList GetCapabilities();

private:
    QDBusConnection bus_;
    bool registered_ = false;
    uint nextId_ = 1;
    QList<Shown> shown_;
    QList<uint> closed_;
};
