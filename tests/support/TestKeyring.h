#pragma once

#include "PrivateSessionBus.h"
#include "ScratchDir.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <atomic>
#include <thread>

// A desktop keyring of the test's own: the Secret Service daemon of the
// desktop on a private session bus, its keyrings in a scratch home, unlocked
// with a test password. While it lives DBUS_SESSION_BUS_ADDRESS names its
// bus, and the program looks for a keyring anew when it starts and ends.
// A daemon that will not start is waited for a few seconds at most.
class TestKeyring
{
public:
    TestKeyring();
    ~TestKeyring();
    TestKeyring(const TestKeyring&) = delete;
    TestKeyring& operator=(const TestKeyring&) = delete;

    bool Running() const { return error_.isEmpty(); }
    // Why it is not running.
    const QString& Error() const { return error_; }

    // What the keyring holds for the program, read by another program: the
    // password of a camera of a settings file (empty when there is none).
    QString Password(const QString& settingsFile, const QString& camera) const;
    // The cameras of the settings file that have an item.
    QStringList Cameras(const QString& settingsFile) const;
    // Puts an item there as an earlier run of the program would have.
    bool Put(const QString& settingsFile, const QString& camera, const QString& password) const;

    // The service stops answering, as a hung one does; runs only a
    // millisecond in every `stoppedMs`, as a slow one does; and answers again.
    void Stall();
    void Slow(int stoppedMs);
    void Resume();

private:
    QByteArray Tool(const QStringList& arguments, const QByteArray& input = {}) const;

    PrivateSessionBus bus_;
    ScratchDir home_;
    QProcess daemon_;
    QString error_;
    bool stalled_ = false;
    std::atomic<bool> slowing_{false};
    std::thread slower_;
};

// No session bus at all, so no keyring answers, while it lives; the program
// looks for a keyring anew when it starts and ends.
class NoKeyring
{
public:
    NoKeyring();
    ~NoKeyring();
    NoKeyring(const NoKeyring&) = delete;
    NoKeyring& operator=(const NoKeyring&) = delete;

private:
    QByteArray bus_;
};
