#pragma once

#include <QList>
#include <QString>

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

// The list kept in iLXLE_PARAM.DAT, section "Cameras": "Count", then "Name<n>"
// and "Address<n>" for n from 1. Entries without a name or a valid address
// are left out on reading.
QList<TNetworkCamera> ReadNetworkCameras();
// Writes the list and clears the keys of entries it no longer has. A failed
// write raises EIlxError.
void WriteNetworkCameras(const QList<TNetworkCamera>& cameras);

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
