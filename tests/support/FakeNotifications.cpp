#include "FakeNotifications.h"

#include <QDBusArgument>
#include <QDBusMessage>

namespace {

const QString kConnectionName = QStringLiteral("fake-notifications");
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// The (iiibiiay) structure of the protocol, read field by field.
QImage readImageData(const QVariant& value)
{
    if (!value.canConvert<QDBusArgument>())
        return {};
    const QDBusArgument arg = value.value<QDBusArgument>();
    int width = 0, height = 0, rowStride = 0, bitsPerSample = 0, channels = 0;
    bool hasAlpha = false;
    QByteArray data;
    arg.beginStructure();
    arg >> width >> height >> rowStride >> hasAlpha >> bitsPerSample >> channels >> data;
    arg.endStructure();
    const int expected = channels == (hasAlpha ? 4 : 3) ? channels : 0;
    if (width <= 0 || height <= 0 || bitsPerSample != 8 || expected == 0 ||
        rowStride < width * channels || data.size() < qsizetype(rowStride) * height)
        return {};
    const QImage view(reinterpret_cast<const uchar*>(data.constData()), width, height, rowStride,
                      hasAlpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    return view.copy();
}

} // namespace

FakeNotifications::FakeNotifications(const QString& busAddress)
    : bus_(QDBusConnection::connectToBus(busAddress, kConnectionName))
{
    registered_ = bus_.isConnected() &&
                  bus_.registerObject(kPath, this, QDBusConnection::ExportAllSlots) &&
                  bus_.registerService(kService);
}

FakeNotifications::~FakeNotifications()
{
    bus_.unregisterService(kService);
    bus_.unregisterObject(kPath);
    QDBusConnection::disconnectFromBus(kConnectionName);
}

void FakeNotifications::Activate(uint id)
{
    QDBusMessage invoked =
        QDBusMessage::createSignal(kPath, kService, QStringLiteral("ActionInvoked"));
    invoked << id << QStringLiteral("default");
    bus_.send(invoked);
}

uint FakeNotifications::Notify(const QString& appName, uint, const QString& appIcon,
                               const QString& summary, const QString& body,
                               const QStringList& actions, const QVariantMap& hints, int)
{
    Shown shown;
    shown.Id = nextId_++;
    shown.AppName = appName;
    shown.Icon = appIcon;
    shown.Summary = summary;
    shown.Body = body;
    shown.Actions = actions;
    shown.Hints = hints;
    shown.Thumbnail = readImageData(hints.value(QStringLiteral("image-data")));
    shown_.append(shown);
    return shown.Id;
}

void FakeNotifications::CloseNotification(uint id)
{
    closed_.append(id);
}

QStringList FakeNotifications::GetCapabilities()
{
    return {QStringLiteral("actions"), QStringLiteral("body")};
}
