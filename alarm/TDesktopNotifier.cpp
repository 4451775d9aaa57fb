#include "TDesktopNotifier.h"

#include "ProductTexts.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kDesktopEntry = QString::fromLatin1(kProductDesktopId);
const QString kDefaultAction = QStringLiteral("default");

constexpr int kThumbWidth = 160;
constexpr int kThumbHeight = 120;

} // namespace

// The "image-data" hint: raw RGB rows, as the notification protocol lays them out.
struct TNotifyImage
{
    int Width = 0;
    int Height = 0;
    int RowStride = 0;
    bool HasAlpha = false;
    int BitsPerSample = 8;
    int Channels = 3;
    QByteArray Data;
};
Q_DECLARE_METATYPE(TNotifyImage)

QDBusArgument& operator<<(QDBusArgument& arg, const TNotifyImage& image)
{
    arg.beginStructure();
    arg << image.Width << image.Height << image.RowStride << image.HasAlpha << image.BitsPerSample
        << image.Channels << image.Data;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, TNotifyImage& image)
{
    arg.beginStructure();
    arg >> image.Width >> image.Height >> image.RowStride >> image.HasAlpha >>
        image.BitsPerSample >> image.Channels >> image.Data;
    arg.endStructure();
    return arg;
}

TDesktopNotifier::TDesktopNotifier(QObject* parent) : QObject(parent)
{
    qDBusRegisterMetaType<TNotifyImage>();
}

bool TDesktopNotifier::FirstAfterQuiet(std::uint32_t tick)
{
    // Unsigned difference: right across the tick counter's wrap.
    const bool first = userLeft_ || !lastDetection_ || tick - *lastDetection_ >= kQuietMs;
    userLeft_ = false;
    lastDetection_ = tick;
    return first;
}

QImage TDesktopNotifier::Thumbnail(const QImage& picture)
{
    if (picture.isNull())
        return {};
    QImage thumb = picture;
    if (picture.width() > kThumbWidth || picture.height() > kThumbHeight)
        thumb = picture.scaled(kThumbWidth, kThumbHeight, Qt::KeepAspectRatio,
                               Qt::SmoothTransformation);
    return thumb.convertToFormat(QImage::Format_RGB888);
}

bool TDesktopNotifier::Listen()
{
    if (listening_)
        return true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                SLOT(ActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                SLOT(NotificationClosed(uint, uint)));
    listening_ = true;
    return true;
}

void TDesktopNotifier::Notify(const QDateTime& when, const QImage& picture,
                              const QString& pictureName)
{
    // No session bus: no desktop to tell, and nothing to say about it.
    if (!Listen())
        return;
    QString body = when.toString(QStringLiteral("hh:mm:ss, yyyy-MM-dd"));
    if (!pictureName.isEmpty())
        body += QLatin1Char('\n') + QFileInfo(pictureName).fileName();
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), kDesktopEntry);
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
    const QImage thumb = Thumbnail(picture);
    if (!thumb.isNull()) {
        TNotifyImage image;
        image.Width = thumb.width();
        image.Height = thumb.height();
        image.RowStride = int(thumb.bytesPerLine());
        image.Data = QByteArray(reinterpret_cast<const char*>(thumb.constBits()),
                                qsizetype(thumb.sizeInBytes()));
        hints.insert(QStringLiteral("image-data"), QVariant::fromValue(image));
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("i-Lumerix Light Edition") << uint(0) << kDesktopEntry
         << QStringLiteral("Motion detected") << body
         << QStringList{kDefaultAction, QStringLiteral("Show")} << hints << int(-1);
    // Asynchronous: a stalled service never holds up the scan. A missing
    // one answers with an error, which is dropped.
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                const QDBusPendingReply<uint> reply = *finished;
                if (!reply.isError())
                    shown_.insert(reply.value());
                finished->deleteLater();
            });
}

void TDesktopNotifier::Withdraw()
{
    if (shown_.isEmpty())
        return;
    for (const uint id : std::as_const(shown_)) {
        QDBusMessage close = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                            QStringLiteral("CloseNotification"));
        close << id;
        QDBusConnection::sessionBus().asyncCall(close);
    }
    shown_.clear();
}

void TDesktopNotifier::ActionInvoked(uint id, const QString& action)
{
    // Every program's notifications come by this signal: only ours count.
    if (!shown_.contains(id) || action != kDefaultAction)
        return;
    emit Activated();
}

void TDesktopNotifier::NotificationClosed(uint id, uint)
{
    shown_.remove(id);
}
