#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A camera reached over the network: a name the user chose and its address
// (rtsp://, rtsps://, http://, https:// or file://). The address may hold a
// user name and password; only the name is ever shown, logged or reported.
struct TNetworkCamera
{
    QString Name;
    QString Address;

    bool operator==(const TNetworkCamera&) const = default;
};

// How many network cameras the driver list has room for, beside a local
// camera and the demo camera within its ten drivers.
inline constexpr int kMaxNetworkCameras = 8;
// The driver list shows this many characters of a name.
inline constexpr int kMaxCameraName = 80;

// The list kept in iLXLE_PARAM.DAT, section "Cameras": "Count", then "Name<n>"
// and "Address<n>" for n from 1. Entries without a name or a valid address
// are left out on reading; a recording whose file is missing stays.
//
// Passwords: when the desktop's keyring answers, it holds them and the file
// holds the addresses without; otherwise the file holds them, readable by
// its owner alone. Reading puts each camera's password back into its address.
QList<TNetworkCamera> ReadNetworkCameras();
// Writes the list and clears the keys of entries it no longer has; the
// keyring keeps no password of a camera the list no longer has. A password
// leaves one place only once the other holds it. A failed write raises
// EIlxError.
void WriteNetworkCameras(const QList<TNetworkCamera>& cameras);
// At start: a settings file holding a password is closed to everyone but its
// owner, and its passwords move into the keyring when one answers.
void SecureNetworkCameraPasswords();

// A recording (file://) whose file is not there.
bool RecordingMissing(const QString& address);
// A camera as the Cameras page lists it: its name, marked when its recording
// is missing.
QString CameraListText(const TNetworkCamera& camera);
// The driver list's names without the entries of the network cameras, whose
// entries follow every local camera's.
QStringList NamesOfOtherDrivers(const QStringList& drivers, const QList<TNetworkCamera>& cameras);
// Why `name` cannot be the name of the camera at `row` of `cameras` (-1 for a
// new one), in words for the user; empty when it can. A name is how the
// camera is found again, so it must be no other driver's.
QString CameraNameProblem(const QString& name, const QStringList& otherDrivers,
                          const QList<TNetworkCamera>& cameras, int row);

// Why an address cannot be a camera's, in words for the user; empty when it
// can. A file address must name an existing file.
QString CameraAddressProblem(const QString& address);
// The address without its user name and password, and those two apart.
QString AddressWithoutCredentials(const QString& address);
QString AddressUser(const QString& address);
QString AddressPassword(const QString& address);
// The address with the user name and password put in (either may be empty).
QString AddressWithCredentials(const QString& address, const QString& user,
                               const QString& password);
// `text` with the address, and anything of its user name and password, put
// out of sight: a library's message may quote what it was given.
QString HideAddress(QString text, const TNetworkCamera& camera);
