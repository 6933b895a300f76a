#include "ui/platform/single_instance.h"

#include "ui/platform/activation_request.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace trawler::ui {
namespace {

constexpr char kReceipt = '1';
constexpr int kRequestTimeoutMs = 5000;

// $XDG_RUNTIME_DIR when it is a folder, else a private folder of this user in
// the temporary directory (made 0700, and refused when it is someone else's or
// not a plain folder, so no other user can plant the lock or the socket).
QString RuntimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists()) return runtime;
    const QString folder = QDir::tempPath() + "/trawler-" + QString::number(getuid());
    const QByteArray path = QFile::encodeName(folder);
    mkdir(path.constData(), 0700);
    struct stat info {};
    if (lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid()) return {};
    chmod(path.constData(), 0700);
    return folder;
}

}  // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent) {
    const QString folder = RuntimeFolder();
    if (folder.isEmpty()) return;
    const QString base = folder + "/" + name + "-" + QString::number(getuid());
    FLockPath = base + ".lock";
    FServerPath = base + ".socket";
}

SingleInstance::~SingleInstance() {
    if (FServer) FServer->close();  // removes the socket file
    if (FLockFd >= 0) close(FLockFd);  // releases the lock
}

bool SingleInstance::TryBecomePrimary() {
    if (FLockFd >= 0) return true;
    if (FLockPath.isEmpty()) return false;
    const QByteArray path = QFile::encodeName(FLockPath);
    const int fd = open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    FLockFd = fd;
    // Holding the lock, any socket file left is a dead copy's.
    QLocalServer::removeServer(FServerPath);
    FServer = std::make_unique<QLocalServer>();
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(FServer.get(), &QLocalServer::newConnection, this, &SingleInstance::Accept);
    FServer->listen(FServerPath);  // without it this copy is still the only one
    return true;
}

bool SingleInstance::SendToPrimary(const QStringList& args, int timeoutMs) {
    if (FServerPath.isEmpty() || IsPrimary()) return false;
    std::vector<std::string> texts;
    for (const QString& arg : args) texts.push_back(arg.toStdString());
    const std::string request = EncodeActivation(texts);
    if (request.size() > kMaxActivationBytes) return false;
    QLocalSocket socket;
    socket.connectToServer(FServerPath);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(request.data(), static_cast<qint64>(request.size()));
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    if (!socket.waitForReadyRead(timeoutMs)) return false;
    const QByteArray answer = socket.read(1);
    socket.disconnectFromServer();
    return answer.size() == 1 && answer[0] == kReceipt;
}

void SingleInstance::Accept() {
    while (QLocalSocket* socket = FServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A copy that connects and never finishes its request is dropped.
        QTimer::singleShot(kRequestTimeoutMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        if (socket->bytesAvailable() > 0) Read(socket);
    }
}

void SingleInstance::Read(QLocalSocket* socket) {
    // The request so far lives on the socket itself, so nothing outlives it.
    constexpr auto kMax = static_cast<qint64>(kMaxActivationBytes);
    QByteArray data = socket->property("request").toByteArray();
    data += socket->read(kMax + 1 - data.size());
    const std::string_view view(data.constData(), static_cast<std::size_t>(data.size()));
    const std::size_t size = ActivationSize(view);
    if (view.size() > kMaxActivationBytes || size > kMaxActivationBytes) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    if (size == 0 || view.size() < size) {
        socket->setProperty("request", data);
        return;
    }
    socket->setProperty("request", QVariant());
    const auto args = DecodeActivation(view.substr(0, size));
    if (!args) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    QStringList texts;
    for (const std::string& arg : *args) texts << QString::fromStdString(arg);
    socket->write(&kReceipt, 1);
    socket->flush();
    socket->disconnectFromServer();
    emit activationRequested(texts);
}

}  // namespace trawler::ui
