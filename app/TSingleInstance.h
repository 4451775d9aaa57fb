#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

// One copy of the program per user: a lock file held for the whole run, and a
// user-only local server of the same name through which a later copy asks the
// running one to come to the front.
class TSingleInstance : public QObject
{
    Q_OBJECT

public:
    // folder empty: the user's runtime folder, so two users never meet.
    explicit TSingleInstance(QString name = QStringLiteral("I_LUMERIX"), QString folder = {});
    ~TSingleInstance() override;

    // True when this is the first copy; it then listens for front requests.
    bool Acquire();
    bool IsOwner() const { return owner_; }

    // Second copy: asks the running one to come to the front and waits for its
    // answer. False when nobody answered in time.
    bool RequestFront(int timeoutMs = 3000) const;

    QString LockPath() const;
    QString ServerPath() const;

    // The name as the guard builds it: upper-cased, every character other
    // than A-Z, a-z, 0-9 and "_" replaced by "_".
    static QString GuardName(const QString& text);

signals:
    // Runs on the UI thread of the first copy.
    void FrontRequested();

private:
    void OnNewConnection();

    QString name_;
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
    bool owner_ = false;
};
