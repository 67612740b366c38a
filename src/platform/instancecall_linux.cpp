#include "instancecall.h"

#include "runtimefolder.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace {

constexpr int kCallTimeoutMs = 2000;
const char kShowRequest[] = "show\n";
constexpr qint64 kLongestRequest = 64;

QString socketPath(const QString &folder, const QString &key)
{
    return folder + QLatin1Char('/') + key + QStringLiteral(".socket");
}

} // namespace

// A local socket in the user's runtime folder, which nobody else can enter.
struct InstanceCallListener::Channel {
    QLocalServer server;
};

InstanceCallListener::InstanceCallListener(const QString &instanceKey, QObject *parent)
    : QObject(parent)
    , key(instanceKey)
{
}

InstanceCallListener::~InstanceCallListener() = default;

bool InstanceCallListener::listen()
{
    const QString folder = userRuntimeFolder(&failure);
    if (folder.isEmpty())
        return false;
    auto opened = std::make_unique<Channel>();
    opened->server.setSocketOptions(QLocalServer::UserAccessOption);
    const QString path = socketPath(folder, key);
    // Only the holder of the single-instance mark gets here: a socket file already there was left
    // by a copy that is gone, and would keep the server from listening.
    QLocalServer::removeServer(path);
    if (!opened->server.listen(path)) {
        failure = path + QStringLiteral(": ") + opened->server.errorString();
        return false;
    }
    QLocalServer *server = &opened->server;
    connect(server, &QLocalServer::newConnection, this, [this, server] {
        while (QLocalSocket *caller = server->nextPendingConnection()) {
            connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
            connect(caller, &QLocalSocket::readyRead, this, [this, caller] {
                // A caller that says something else, or too much, is hung up on.
                if (!caller->canReadLine() && caller->bytesAvailable() < kLongestRequest)
                    return;
                if (caller->readLine(kLongestRequest) == kShowRequest)
                    emit sigShowRequested();
                caller->disconnectFromServer();
            });
        }
    });
    channel = std::move(opened);
    return true;
}

bool askRunningCopyToShow(const QString &key)
{
    QString failure;
    const QString folder = userRuntimeFolder(&failure);
    if (folder.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(socketPath(folder, key));
    if (!socket.waitForConnected(kCallTimeoutMs))
        return false;
    socket.write(kShowRequest);
    if (!socket.waitForBytesWritten(kCallTimeoutMs))
        return false;
    // The running copy hangs up once it has read the request.
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kCallTimeoutMs);
    return true;
}
