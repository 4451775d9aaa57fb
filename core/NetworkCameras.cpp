#include "NetworkCameras.h"

#include "DataPaths.h"
#include "ProfileFile.h"

#include <QFileInfo>
#include <QUrl>

namespace {

const QString kSection = QStringLiteral("Cameras");

QString Key(const char* what, int n)
{
    return QString::fromLatin1(what) + QString::number(n);
}

} // namespace

QList<TNetworkCamera> ReadNetworkCameras()
{
    const QString file = DataPaths().Param;
    bool ok = false;
    const int count =
        ReadProfileString(file, kSection, QStringLiteral("Count"), QStringLiteral("0")).toInt(&ok);
    QList<TNetworkCamera> cameras;
    for (int n = 1; ok && n <= std::min(count, kMaxNetworkCameras); ++n) {
        TNetworkCamera c{ReadProfileString(file, kSection, Key("Name", n), QString()).trimmed(),
                         ReadProfileString(file, kSection, Key("Address", n), QString()).trimmed()};
        if (!c.Name.isEmpty() && CameraAddressProblem(c.Address).isEmpty())
            cameras.append(c);
    }
    return cameras;
}

void WriteNetworkCameras(const QList<TNetworkCamera>& cameras)
{
    const QString file = DataPaths().Param;
    const int count = int(std::min<qsizetype>(cameras.size(), kMaxNetworkCameras));
    const int before =
        ReadProfileString(file, kSection, QStringLiteral("Count"), QStringLiteral("0")).toInt();
    WriteProfileString(file, kSection, QStringLiteral("Count"), QString::number(count));
    for (int n = 1; n <= std::max(count, std::min(before, kMaxNetworkCameras)); ++n) {
        // An entry removed leaves no address (and no password) behind.
        const bool kept = n <= count;
        WriteProfileString(file, kSection, Key("Name", n), kept ? cameras[n - 1].Name : QString());
        WriteProfileString(file, kSection, Key("Address", n),
                           kept ? cameras[n - 1].Address : QString());
    }
}

QString CameraAddressProblem(const QString& address)
{
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    if (address.trimmed().isEmpty())
        return QStringLiteral("The camera has no address");
    if (!url.isValid())
        return QStringLiteral("This is not an address");
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("file")) {
        if (!QFileInfo(url.toLocalFile()).isFile())
            return QStringLiteral("No such recording: ") + url.toLocalFile();
        return {};
    }
    static const QStringList kSchemes = {QStringLiteral("rtsp"), QStringLiteral("rtsps"),
                                         QStringLiteral("http"), QStringLiteral("https")};
    if (!kSchemes.contains(scheme))
        return QStringLiteral("The address must begin with rtsp://, rtsps://, http://, https:// "
                              "or file://");
    if (url.host().isEmpty())
        return QStringLiteral("The address names no computer");
    return {};
}

QString AddressWithoutCredentials(const QString& address)
{
    QUrl url(address.trimmed());
    url.setUserInfo(QString());
    return url.toString();
}

QString AddressUser(const QString& address)
{
    return QUrl(address.trimmed()).userName(QUrl::FullyDecoded);
}

QString AddressPassword(const QString& address)
{
    return QUrl(address.trimmed()).password(QUrl::FullyDecoded);
}

QString AddressWithCredentials(const QString& address, const QString& user, const QString& password)
{
    QUrl url(address.trimmed());
    url.setUserName(user, QUrl::DecodedMode);
    url.setPassword(password.isEmpty() ? QString() : password, QUrl::DecodedMode);
    return url.toString();
}

QString HideAddress(QString text, const TNetworkCamera& camera)
{
    const QString full = camera.Address.trimmed();
    const QString bare = AddressWithoutCredentials(full);
    for (const QString& secret : {full, bare, QUrl(full).toString(QUrl::FullyEncoded)}) {
        if (!secret.isEmpty())
            text.replace(secret, camera.Name);
    }
    for (const QString& secret : {AddressUser(full), AddressPassword(full)}) {
        if (secret.size() >= 3)
            text.replace(secret, QStringLiteral("***"));
    }
    return text;
}
