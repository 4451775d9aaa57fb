#pragma once

#include "ScratchDir.h"

#include <QByteArray>
#include <QProcess>
#include <QString>

// A D-Bus session bus of the test's own: a dbus-daemon listening in a scratch
// folder, with no service to start on demand, named by
// DBUS_SESSION_BUS_ADDRESS while it lives. Start it before anything in the
// process uses the session bus (the toolkit connects once).
class PrivateSessionBus
{
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // Empty when the daemon could not be started (the reason in Error()).
    const QString& Address() const { return address_; }
    const QString& Error() const { return error_; }

private:
    ScratchDir dir_;
    QProcess daemon_;
    QString address_;
    QString error_;
    QByteArray previous_;
    bool hadPrevious_ = false;
};
