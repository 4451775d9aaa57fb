#include "PrivateSessionBus.h"

namespace {

// A session bus that lets every client own any name and talk to any other;
// no service folder, so nothing is ever started on demand.
QByteArray busConfig(const QString& socket)
{
    return QByteArrayLiteral(
               "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
               "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig>\n"
               "  <type>session</type>\n"
               "  <listen>unix:path=") +
           socket.toUtf8() +
           QByteArrayLiteral("</listen>\n"
                             "  <auth>EXTERNAL</auth>\n"
                             "  <policy context=\"default\">\n"
                             "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                             "    <allow eavesdrop=\"true\"/>\n"
                             "    <allow own=\"*\"/>\n"
                             "  </policy>\n"
                             "</busconfig>\n");
}

} // namespace

PrivateSessionBus::PrivateSessionBus()
{
    dir_.write(QStringLiteral("bus.conf"), busConfig(dir_.file(QStringLiteral("bus"))));
    daemon_.setProgram(QStringLiteral("dbus-daemon"));
    daemon_.setArguments({QStringLiteral("--config-file=") + dir_.file(QStringLiteral("bus.conf")),
                          QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    daemon_.start();
    if (!daemon_.waitForStarted(5000)) {
        error_ = QStringLiteral("dbus-daemon did not start: ") + daemon_.errorString();
        return;
    }
    while (!daemon_.canReadLine() && daemon_.waitForReadyRead(5000)) {
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    if (address_.isEmpty()) {
        error_ = QStringLiteral("dbus-daemon gave no address: ") +
                 QString::fromUtf8(daemon_.readAllStandardError());
        return;
    }
    hadPrevious_ = qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS");
    previous_ = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", address_.toUtf8());
}

PrivateSessionBus::~PrivateSessionBus()
{
    if (!address_.isEmpty()) {
        if (hadPrevious_)
            qputenv("DBUS_SESSION_BUS_ADDRESS", previous_);
        else
            qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.terminate();
        if (!daemon_.waitForFinished(3000)) {
            daemon_.kill();
            daemon_.waitForFinished(3000);
        }
    }
}
