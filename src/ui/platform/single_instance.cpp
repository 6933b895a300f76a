#include "ui/platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QtEndian>

namespace trawler::ui {
namespace {

constexpr qsizetype kHeaderBytes = 4;
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

QByteArray EncodeActivation(const QStringList& args) {
    QByteArray body;
    for (const QString& arg : args) {
        body += arg.toUtf8();
        body += '\0';
    }
    QByteArray data(kHeaderBytes, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(body.size()), data.data());
    return data + body;
}

qsizetype ActivationSize(const QByteArray& data) {
    if (data.size() < kHeaderBytes) return 0;
    return kHeaderBytes + static_cast<qsizetype>(qFromBigEndian<quint32>(data.constData()));
}

std::optional<QStringList> DecodeActivation(const QByteArray& data) {
    if (data.size() < kHeaderBytes || data.size() > SingleInstance::kMaxRequestBytes) return std::nullopt;
    if (ActivationSize(data) != data.size()) return std::nullopt;
    const QByteArray body = data.mid(kHeaderBytes);
    if (!body.isEmpty() && !body.endsWith('\0')) return std::nullopt;
    QStringList args;
    qsizetype start = 0;
    while (start < body.size()) {
        const qsizetype end = body.indexOf('\0', start);
        args << QString::fromUtf8(body.constData() + start, end - start);
        start = end + 1;
    }
    return args;
}

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
    const QByteArray request = EncodeActivation(args);
    if (request.size() > kMaxRequestBytes) return false;
    QLocalSocket socket;
    socket.connectToServer(FServerPath);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(request);
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
    QByteArray data = socket->property("request").toByteArray();
    data += socket->read(kMaxRequestBytes + 1 - data.size());
    const qsizetype size = ActivationSize(data);
    if (data.size() > kMaxRequestBytes || size > kMaxRequestBytes) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    if (size == 0 || data.size() < size) {
        socket->setProperty("request", data);
        return;
    }
    socket->setProperty("request", QVariant());
    const std::optional<QStringList> args = DecodeActivation(data.left(size));
    if (!args) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    socket->write(&kReceipt, 1);
    socket->flush();
    socket->disconnectFromServer();
    emit activationRequested(*args);
}

}  // namespace trawler::ui
