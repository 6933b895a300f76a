// One running copy of the program per user: the first copy takes a lock file
// and listens on a local socket; a later copy finds the lock taken and asks
// the first, through the socket, to come forward and open what it was given.
//
// The lock is an flock on a file in $XDG_RUNTIME_DIR (else a private folder in
// the temporary directory), so a copy that dies releases it; the socket file
// it leaves behind is removed by the next copy that takes the lock.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QLocalServer;
class QLocalSocket;

namespace trawler::ui {

class SingleInstance : public QObject {
    Q_OBJECT

public:
    // name tells programs (and test runs) apart; it becomes part of file names.
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock and starts listening; false when another copy holds it
    // (or the lock file cannot be made). Calling it again once primary is true.
    bool TryBecomePrimary();
    bool IsPrimary() const { return FLockFd >= 0; }

    // Hands the arguments to the primary copy and waits for its receipt;
    // false when there is no primary copy or it does not answer in time.
    bool SendToPrimary(const QStringList& args, int timeoutMs = 3000);

    QString LockPath() const { return FLockPath; }
    QString ServerPath() const { return FServerPath; }

signals:
    // A later copy asked this one to come forward, with its arguments.
    void activationRequested(const QStringList& args);

private:
    void Accept();
    void Read(QLocalSocket* socket);

    QString FLockPath;
    QString FServerPath;
    int FLockFd = -1;
    std::unique_ptr<QLocalServer> FServer;
};

}  // namespace trawler::ui
