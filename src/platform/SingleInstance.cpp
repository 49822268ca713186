#include "platform/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace mosaiq {
namespace {
constexpr int kConnectTimeoutMs = 500;
constexpr char kShowRequest[] = "show\n";
} // namespace

SingleInstanceGuard::SingleInstanceGuard(QObject* parent) : QObject(parent) {
    const QByteArray custom = qgetenv("MOSAIQ_INSTANCE_NAME");
    m_name = custom.isEmpty()
                 ? QStringLiteral("%1-%2").arg(QLatin1String(kSingleInstanceId)).arg(getuid())
                 : QString::fromLocal8Bit(custom);
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

bool SingleInstanceGuard::AskRunningCopyToShow() {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    socket.write(kShowRequest);
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstanceGuard::TryBecomePrimary() {
    if (m_server)
        return true;
    if (AskRunningCopyToShow())
        return false;
    // Nobody answered: any socket file under this name was left behind by a crash.
    QLocalServer::removeServer(m_name);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_name)) {
        // Another copy won the race between our probe and listen(); let it be the one.
        delete server;
        AskRunningCopyToShow();
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstanceGuard::OnNewConnection);
    return true;
}

void SingleInstanceGuard::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().contains("show"))
                Q_EMIT activationRequested();
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

} // namespace mosaiq
