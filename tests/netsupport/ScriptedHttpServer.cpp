#include "netsupport/ScriptedHttpServer.h"

#include <QtCore/QTimer>
#include <QtNetwork/QTcpSocket>

ScriptedHttpServer::ScriptedHttpServer()
{
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        QTcpSocket* socket = server_.nextPendingConnection();
        socket->setParent(this);
        auto* seen = new QByteArray;
        // The socket itself as the context: it still answers when the server goes first and takes
        // its sockets with it, which a connection held by the server would not.
        connect(socket, &QObject::destroyed, socket, [seen] { delete seen; });
        connect(socket, &QIODevice::readyRead, this, [this, socket, seen] {
            seen->append(socket->readAll());
            const qsizetype end = seen->indexOf("\r\n\r\n");
            if (end >= 0 && respond) {
                const QByteArray request = seen->left(end + 4);
                seen->clear();
                onRequest(socket, request);
            }
        });
    });
}

QString ScriptedHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void ScriptedHttpServer::onRequest(QTcpSocket* socket, const QByteArray& request)
{
    requests.append(request);
    sendPart(socket, respond(request), 0);
}

void ScriptedHttpServer::sendPart(QTcpSocket* socket, Answer answer, int index)
{
    if (index < answer.parts.size()) {
        socket->write(answer.parts[index]);
        QTimer::singleShot(answer.pauseMs, socket,
                           [this, socket, answer, index] { sendPart(socket, answer, index + 1); });
    } else if (answer.close) {
        socket->disconnectFromHost();
    }
}
