#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// The desktop's keyring: a Secret Service on the session bus, reached through
// libsecret. It keeps the network cameras' passwords of one settings file,
// one item for each camera, found by the program's id, the settings file's
// path and the camera's name.
//
// The window waits on it, so every wait is short and bounded: the keyring is
// used only when its name already has an owner on the session bus (nothing is
// started on demand, nothing prompts), and the first call that fails or does
// not answer in time leaves the keyring unused for the rest of the run, so a
// password is never dropped on the strength of a half-read keyring.
// User-interface thread only.
class TSecretStore final
{
public:
    // Time allowed to reach the service (bus, owner, session), to each call
    // after, and to all the calls of one errand together (see Allowance).
    static constexpr int kReachMs = 1000;
    static constexpr int kCallMs = 2000;
    static constexpr int kErrandMs = 3000;

    // While one lives, the store's calls share kErrandMs: a keyring that
    // answers, but slowly, costs one short wait, not one for each camera.
    class Allowance final
    {
    public:
        explicit Allowance(TSecretStore& store);
        ~Allowance();
        Allowance(const Allowance&) = delete;
        Allowance& operator=(const Allowance&) = delete;

    private:
        TSecretStore& store_;
        bool outer_;
    };

    TSecretStore();
    ~TSecretStore();
    TSecretStore(const TSecretStore&) = delete;
    TSecretStore& operator=(const TSecretStore&) = delete;

    // Whether the keyring answers; the first call looks for it.
    bool Usable();

    // Every password the keyring holds for `settingsFile`, by camera name;
    // nothing when it cannot tell them all (a locked item, no answer).
    std::optional<QMap<QString, QString>> Passwords(const QString& settingsFile);
    // Keeps `password` as the camera's, replacing any it had.
    bool Store(const QString& settingsFile, const QString& camera, const QString& password);
    // Removes the camera's item.
    bool Remove(const QString& settingsFile, const QString& camera);
    // The passwords of `settingsFile` as this run last found or left them in
    // the keyring, for when it no longer answers.
    QMap<QString, QString> Known(const QString& settingsFile) const;
    // The settings file now holds every password of its own: what the
    // keyring had stands for nothing any more.
    void ForgetKnown(const QString& settingsFile);

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// The program's keyring, looked for on first use.
TSecretStore& SecretStore();
// Test hook: the next use looks for a keyring on the session bus again.
void ForgetSecretStore();
