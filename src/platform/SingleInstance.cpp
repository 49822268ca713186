#include "platform/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

#include <memory>

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

bool SingleInstanceGuard::AskRunningCopyToShow(const QStringList& paths) {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    // One request a line: "show", then "open<TAB>path" for every file (UTF-8).
    QByteArray request(kShowRequest);
    for (const QString& path : paths)
        request += "open\t" + path.toUtf8() + '\n';
    socket.write(request);
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstanceGuard::TryBecomePrimary(const QStringList& paths) {
    if (m_server)
        return true;
    if (AskRunningCopyToShow(paths))
        return false;
    // Nobody answered: any socket file under this name was left behind by a crash.
    QLocalServer::removeServer(m_name);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_name)) {
        // Another copy won the race between our probe and listen(); let it be the one.
        delete server;
        AskRunningCopyToShow(paths);
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstanceGuard::OnNewConnection);
    return true;
}

void SingleInstanceGuard::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // The request is read whole when the other copy hangs up; lines may arrive in pieces.
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [socket, buffer] { *buffer += socket->readAll(); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            socket->deleteLater();
            QStringList paths;
            bool show = false;
            for (const QByteArray& line : buffer->split('\n')) {
                if (line == "show")
                    show = true;
                else if (line.startsWith("open\t"))
                    paths << QString::fromUtf8(line.mid(5));
            }
            if (show)
                Q_EMIT activationRequested();
            if (!paths.isEmpty())
                Q_EMIT filesRequested(paths);
        });
    }
}

} // namespace mosaiq
