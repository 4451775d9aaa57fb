#include "NetworkCameras.h"

#include "DataPaths.h"
#include "EIlxError.h"
#include "ProfileFile.h"
#include "TSecretStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QUrl>

#include <algorithm>

namespace {

const QString kSection = QStringLiteral("Cameras");

QString Key(const char* what, int n)
{
    return QString::fromLatin1(what) + QString::number(n);
}

QString Stored(const QString& file, const char* what, int n)
{
    return ReadProfileString(file, kSection, Key(what, n), QString()).trimmed();
}

// The keyring tells the cameras of two copies of the program (a portable
// one and an installed one) apart by their settings file.
QString SettingsId(const QString& file)
{
    return QDir::cleanPath(QFileInfo(file).absoluteFilePath());
}

bool HasPassword(const QString& address)
{
    return !AddressPassword(address).isEmpty();
}

// The user name stays in the file: it is no secret, and the keyring item is
// the password alone.
QString WithoutPassword(const QString& address)
{
    return AddressWithCredentials(AddressWithoutCredentials(address), AddressUser(address),
                                  QString());
}

QString WithPassword(const QString& address, const QString& password)
{
    return AddressWithCredentials(address, AddressUser(address), password);
}

// A keyring item is found by the camera's name: only a name no other entry
// shares can have one.
bool NameOfItsOwn(const QStringList& names, const QString& name)
{
    return names.count(name) == 1;
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
        TNetworkCamera c{Stored(file, "Name", n), Stored(file, "Address", n)};
        // A recording may be on a disk that is not mounted yet: it stays.
        const bool usable =
            CameraAddressProblem(c.Address).isEmpty() || RecordingMissing(c.Address);
        if (!c.Name.isEmpty() && usable)
            cameras.append(c);
    }
    // A password in the file is newer than the keyring's: it was written
    // while no keyring answered.
    const bool wanting = std::any_of(cameras.cbegin(), cameras.cend(), [](const TNetworkCamera& c) {
        return !HasPassword(c.Address);
    });
    if (!wanting)
        return cameras;
    TSecretStore& keyring = SecretStore();
    const TSecretStore::Allowance allowance(keyring);
    const QString id = SettingsId(file);
    // A keyring that stopped answering during the run still had what this
    // run last saw in it.
    const QMap<QString, QString> held = keyring.Passwords(id).value_or(keyring.Known(id));
    for (TNetworkCamera& c : cameras) {
        if (!HasPassword(c.Address) && held.contains(c.Name))
            c.Address = WithPassword(c.Address, held.value(c.Name));
    }
    return cameras;
}

void WriteNetworkCameras(const QList<TNetworkCamera>& all)
{
    const QString file = DataPaths().Param;
    const QString id = SettingsId(file);
    const QList<TNetworkCamera> cameras = all.mid(0, kMaxNetworkCameras);
    QStringList names;
    for (const TNetworkCamera& c : cameras)
        names << c.Name;

    // Into the keyring first, and only what it does not hold already.
    TSecretStore& keyring = SecretStore();
    const TSecretStore::Allowance allowance(keyring);
    const auto held = keyring.Passwords(id);
    QSet<QString> inKeyring;
    for (const TNetworkCamera& c : cameras) {
        const QString password = AddressPassword(c.Address);
        if (!held || password.isEmpty() || !NameOfItsOwn(names, c.Name))
            continue;
        const bool same = held->contains(c.Name) && held->value(c.Name) == password;
        if (!same && !keyring.Store(id, c.Name, password))
            break;
        inKeyring.insert(c.Name);
    }
    // Without a keyring, or with one that gave out on the way, the file
    // keeps every password, and this run reads them back from there alone.
    if (!keyring.Usable()) {
        inKeyring.clear();
        keyring.ForgetKnown(id);
    }

    const auto address = [&](const TNetworkCamera& c) {
        return inKeyring.contains(c.Name) ? WithoutPassword(c.Address) : c.Address;
    };
    const bool secretInFile =
        std::any_of(cameras.cbegin(), cameras.cend(),
                    [&](const TNetworkCamera& c) { return HasPassword(address(c)); });
    const TProfileAccess access =
        secretInFile ? TProfileAccess::OwnerOnly : TProfileAccess::AsBefore;
    const int count = int(cameras.size());
    const int before =
        ReadProfileString(file, kSection, QStringLiteral("Count"), QStringLiteral("0")).toInt();
    WriteProfileString(file, kSection, QStringLiteral("Count"), QString::number(count), access);
    for (int n = 1; n <= std::max(count, std::min(before, kMaxNetworkCameras)); ++n) {
        // An entry removed leaves no address (and no password) behind.
        const bool kept = n <= count;
        WriteProfileString(file, kSection, Key("Name", n), kept ? cameras[n - 1].Name : QString(),
                           access);
        WriteProfileString(file, kSection, Key("Address", n),
                           kept ? address(cameras[n - 1]) : QString(), access);
    }

    // Now that the file has what it needs: no item of a camera removed,
    // renamed or left without a password stays behind.
    if (!held || !keyring.Usable())
        return;
    for (auto it = held->keyBegin(); it != held->keyEnd(); ++it) {
        if (!inKeyring.contains(*it) && !keyring.Remove(id, *it))
            return;
    }
}

void SecureNetworkCameraPasswords()
{
    const QString file = DataPaths().Param;
    // Every address key the section may hold, those past "Count" included.
    struct Entry
    {
        int n;
        QString name;
        QString address;
    };
    QList<Entry> entries;
    bool secret = false;
    for (int n = 1; n <= kMaxNetworkCameras; ++n) {
        entries.append({n, Stored(file, "Name", n), Stored(file, "Address", n)});
        secret = secret || HasPassword(entries.last().address);
    }
    if (!secret)
        return;
    // Nothing to report when this fails: the file is then someone else's.
    MakeProfileOwnerOnly(file);

    const QString id = SettingsId(file);
    const TSecretStore::Allowance allowance(SecretStore());
    const auto held = SecretStore().Passwords(id);
    if (!held)
        return;
    const int count =
        ReadProfileString(file, kSection, QStringLiteral("Count"), QStringLiteral("0")).toInt();
    QStringList names;
    for (const Entry& e : entries) {
        if (e.n <= count)
            names << e.name;
    }
    for (const Entry& e : entries) {
        const QString password = AddressPassword(e.address);
        if (e.n > count || e.name.isEmpty() || password.isEmpty() || !NameOfItsOwn(names, e.name))
            continue;
        const bool same = held->contains(e.name) && held->value(e.name) == password;
        if (!same && !SecretStore().Store(id, e.name, password))
            return;
        try {
            WriteProfileString(file, kSection, Key("Address", e.n), WithoutPassword(e.address));
        } catch (const EIlxError&) {
            return; // the file keeps it, closed to others
        }
    }
}

bool RecordingMissing(const QString& address)
{
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    return url.isValid() && url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) == 0 &&
           !QFileInfo(url.toLocalFile()).isFile();
}

QString CameraListText(const TNetworkCamera& camera)
{
    return RecordingMissing(camera.Address) ? camera.Name + QStringLiteral(" (recording missing)")
                                            : camera.Name;
}

QStringList NamesOfOtherDrivers(const QStringList& drivers, const QList<TNetworkCamera>& cameras)
{
    // The network cameras' entries come after the local cameras', so each
    // camera's entry is the last one of its name not yet accounted for.
    QStringList unclaimed;
    for (const TNetworkCamera& c : cameras)
        unclaimed << c.Name.left(kMaxCameraName);
    QStringList others;
    for (auto it = drivers.crbegin(); it != drivers.crend(); ++it) {
        if (!unclaimed.removeOne(*it))
            others.prepend(*it);
    }
    return others;
}

QString CameraNameProblem(const QString& name, const QStringList& otherDrivers,
                          const QList<TNetworkCamera>& cameras, int row)
{
    const QString wanted = name.trimmed();
    for (int i = 0; i < cameras.size(); ++i) {
        if (i != row && cameras[i].Name.compare(wanted, Qt::CaseInsensitive) == 0)
            return QStringLiteral("Another camera already has this name");
    }
    for (const QString& driver : otherDrivers) {
        if (driver.compare(wanted, Qt::CaseInsensitive) == 0)
            return QStringLiteral("\"%1\" is the name of another video driver: give the camera "
                                  "a name of its own")
                .arg(driver);
    }
    return {};
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
