#include "TSingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace {

const QByteArray kRequest = QByteArrayLiteral("WM_Lumerix\n");
const QByteArray kAnswer = QByteArrayLiteral("front\n");

QString DefaultFolder()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath() + QStringLiteral("/i-lumerix-%1").arg(getuid());
    QDir().mkpath(dir);
    return dir;
}

} // namespace

TSingleInstance::TSingleInstance(QString name, QString folder)
    : name_(std::move(name)), folder_(folder.isEmpty() ? DefaultFolder() : std::move(folder))
{
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &TSingleInstance::OnNewConnection);
}

TSingleInstance::~TSingleInstance()
{
    server_.close();
    if (lock_)
        lock_->unlock();
}

QString TSingleInstance::GuardName(const QString& text)
{
    QString out = text.toUpper();
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        const bool keep = (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') ||
                          (u >= u'a' && u <= u'z') || u == u'_';
        if (!keep)
            c = QLatin1Char('_');
    }
    return out;
}

QString TSingleInstance::LockPath() const
{
    return folder_ + QLatin1Char('/') + name_ + QStringLiteral(".lock");
}

QString TSingleInstance::ServerPath() const
{
    return folder_ + QLatin1Char('/') + name_;
}

bool TSingleInstance::Acquire()
{
    if (owner_)
        return true;
    lock_ = std::make_unique<QLockFile>(LockPath());
    // Never stale by age: a copy may run for months. A lock left by a copy
    // that died is still taken over, because its process is gone.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        lock_.reset();
        return false;
    }
    // We hold the lock, so a socket left behind is a dead copy's.
    QLocalServer::removeServer(ServerPath());
    server_.listen(ServerPath());
    owner_ = true;
    return true;
}

bool TSingleInstance::RequestFront(int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(ServerPath());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kRequest);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    QByteArray answer;
    while (!answer.contains('\n')) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
        answer += socket.readAll();
    }
    return answer == kAnswer;
}

void TSingleInstance::OnNewConnection()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // Only the one known request is honoured; anything else is dropped.
            if (socket->bytesAvailable() > kRequest.size() * 4) {
                socket->abort();
                return;
            }
            if (!socket->canReadLine())
                return;
            const QByteArray line = socket->readLine();
            if (line != kRequest) {
                socket->abort();
                return;
            }
            emit FrontRequested();
            socket->write(kAnswer);
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}
