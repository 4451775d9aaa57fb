#include "TestKeyring.h"

#include "TSecretStore.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QThread>

#include <csignal>
#include <sys/types.h>

namespace {

const QString kBusName = QStringLiteral("org.freedesktop.secrets");
const QString kProbe = QStringLiteral("ilx-test-keyring-probe");
constexpr int kStartMs = 10000;

QStringList ProgramAttributes(const QString& settingsFile)
{
    return {QStringLiteral("application"), QStringLiteral("org.ilumerix.LightEdition"),
            QStringLiteral("settings"), QDir::cleanPath(settingsFile)};
}

} // namespace

TestKeyring::TestKeyring()
{
    ForgetSecretStore();
    if (bus_.Address().isEmpty()) {
        error_ = bus_.Error();
        return;
    }
    for (const char* sub : {"home", "data", "config", "cache", "run"})
        QDir(home_.path()).mkdir(QString::fromLatin1(sub));
    QFile::setPermissions(home_.file(QStringLiteral("run")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home_.file(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home_.file(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.file(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home_.file(QStringLiteral("cache")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_.file(QStringLiteral("run")));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus_.Address());
    // No display: nothing may ever prompt.
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    daemon_.setProcessEnvironment(env);
    daemon_.setProgram(QStringLiteral("gnome-keyring-daemon"));
    daemon_.setArguments({QStringLiteral("--foreground"), QStringLiteral("--unlock"),
                          QStringLiteral("--components=secrets")});
    daemon_.start();
    if (!daemon_.waitForStarted(5000)) {
        error_ = QStringLiteral("gnome-keyring-daemon did not start: ") + daemon_.errorString();
        return;
    }
    // The login keyring is made and unlocked with the password read here.
    daemon_.write("ilx-test-password");
    daemon_.waitForBytesWritten(2000);
    daemon_.closeWriteChannel();

    QDBusConnection probe = QDBusConnection::connectToBus(bus_.Address(), kProbe);
    const QDeadlineTimer deadline(kStartMs);
    bool owned = false;
    while (!owned && !deadline.hasExpired() && daemon_.state() == QProcess::Running) {
        owned = probe.isConnected() && probe.interface()->isServiceRegistered(kBusName);
        if (!owned)
            QThread::msleep(50);
    }
    QDBusConnection::disconnectFromBus(kProbe);
    if (!owned) {
        daemon_.kill();
        daemon_.waitForFinished(3000);
        error_ = QStringLiteral("gnome-keyring-daemon did not take the keyring's name: ") +
                 QString::fromLocal8Bit(daemon_.readAllStandardError());
    }
    ForgetSecretStore();
}

TestKeyring::~TestKeyring()
{
    ForgetSecretStore();
    Resume();
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.terminate();
        if (!daemon_.waitForFinished(3000)) {
            daemon_.kill();
            daemon_.waitForFinished(3000);
        }
    }
}

QByteArray TestKeyring::Tool(const QStringList& arguments, const QByteArray& input) const
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus_.Address());
    env.remove(QStringLiteral("DISPLAY"));
    tool.setProcessEnvironment(env);
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral("secret-tool"), arguments);
    if (!tool.waitForStarted(5000))
        return {};
    tool.write(input);
    tool.closeWriteChannel();
    if (!tool.waitForFinished(5000)) {
        tool.kill();
        tool.waitForFinished(1000);
        return {};
    }
    return tool.readAll();
}

QString TestKeyring::Password(const QString& settingsFile, const QString& camera) const
{
    QByteArray secret =
        Tool(QStringList{QStringLiteral("lookup")} + ProgramAttributes(settingsFile) +
             QStringList{QStringLiteral("camera"), camera});
    if (secret.endsWith('\n'))
        secret.chop(1);
    return QString::fromUtf8(secret);
}

QStringList TestKeyring::Cameras(const QString& settingsFile) const
{
    const QByteArray listing = Tool(QStringList{QStringLiteral("search"), QStringLiteral("--all")} +
                                    ProgramAttributes(settingsFile));
    QStringList cameras;
    for (const QByteArray& line : listing.split('\n')) {
        if (line.startsWith("attribute.camera = "))
            cameras << QString::fromUtf8(line.mid(19));
    }
    cameras.sort();
    return cameras;
}

bool TestKeyring::Put(const QString& settingsFile, const QString& camera,
                      const QString& password) const
{
    Tool(QStringList{QStringLiteral("store"), QStringLiteral("--label=") + camera} +
             ProgramAttributes(settingsFile) +
             QStringList{QStringLiteral("camera"), camera, QStringLiteral("xdg:schema"),
                         QStringLiteral("org.ilumerix.LightEdition.NetworkCamera")},
         password.toUtf8());
    return Password(settingsFile, camera) == password;
}

void TestKeyring::Stall()
{
    if (daemon_.state() == QProcess::Running && !stalled_) {
        ::kill(pid_t(daemon_.processId()), SIGSTOP);
        stalled_ = true;
    }
}

void TestKeyring::Slow(int stoppedMs)
{
    if (daemon_.state() != QProcess::Running || slowing_)
        return;
    slowing_ = true;
    stalled_ = true;
    const auto pid = pid_t(daemon_.processId());
    slower_ = std::thread([this, pid, stoppedMs] {
        while (slowing_) {
            ::kill(pid, SIGSTOP);
            QThread::msleep(stoppedMs);
            ::kill(pid, SIGCONT);
            QThread::msleep(1);
        }
    });
}

void TestKeyring::Resume()
{
    if (slower_.joinable()) {
        slowing_ = false;
        slower_.join();
    }
    if (stalled_) {
        ::kill(pid_t(daemon_.processId()), SIGCONT);
        stalled_ = false;
    }
}

NoKeyring::NoKeyring() : bus_(qgetenv("DBUS_SESSION_BUS_ADDRESS"))
{
    ForgetSecretStore();
    // A bus address that leads nowhere: the program finds no keyring at once.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/ilx-no-bus");
}

NoKeyring::~NoKeyring()
{
    ForgetSecretStore();
    if (bus_.isEmpty())
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    else
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus_);
}
