#include "app/instance_channel.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDataStream>
#include <QLocalSocket>

namespace velmora {

namespace {

// What the first copy answers once it has taken a request.
constexpr char kTaken[] = "taken\n";

QString pathText(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// The socket's name, one per user and user folder; it lives in the
// temporary folder, as a user folder's path may be too long for a socket.
QString serverNameFor(const std::filesystem::path& userFolder) {
    const QByteArray digest = QCryptographicHash::hash(pathText(userFolder).toUtf8(),
                                                       QCryptographicHash::Sha256);
    return QStringLiteral("velmora-%1-%2")
        .arg(::getuid())
        .arg(QString::fromLatin1(digest.toHex().left(16)));
}

}  // namespace

InstanceChannel::InstanceChannel(const std::filesystem::path& userFolder, QObject* parent)
    : QObject(parent),
      lock_(pathText(userFolder / "velmora.lock")),
      serverName_(serverNameFor(userFolder)) {
    lock_.setStaleLockTime(0);  // a crashed run's lock is stale by its process, not its age
    // Only this user may hand the window anything.
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            readRequest(socket);
        }
    });
}

bool InstanceChannel::claim() {
    if (!lock_.tryLock(0)) return false;
    // The lock is ours, so a socket of that name is a dead run's.
    QLocalServer::removeServer(serverName_);
    server_.listen(serverName_);  // without it a later start cannot reach us, nothing worse
    return true;
}

void InstanceChannel::readRequest(QLocalSocket* socket) {
    QDataStream in(socket);
    in.startTransaction();
    QStringList paths;
    in >> paths;
    if (!in.commitTransaction()) return;  // the rest is still on its way
    socket->write(kTaken);
    socket->flush();
    emit pathsReceived(paths);
}

bool InstanceChannel::handOver(const QStringList& paths, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(timeoutMs)) return false;
    QByteArray request;
    QDataStream out(&request, QIODevice::WriteOnly);
    out << paths;
    socket.write(request);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs)) return false;
    }
    return socket.readLine() == kTaken;
}

}  // namespace velmora
