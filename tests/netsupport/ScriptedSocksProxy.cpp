#include "netsupport/ScriptedSocksProxy.h"

#include <QtCore/QTimer>
#include <QtNetwork/QTcpSocket>

struct ScriptedSocksProxy::Session
{
    enum class Phase { Greeting, Auth, Request, Relay, Closed };
    QTcpSocket* client = nullptr;
    QTcpSocket* target = nullptr;
    QByteArray pending;
    Phase phase = Phase::Greeting;
    bool replied = false;
};

ScriptedSocksProxy::ScriptedSocksProxy()
{
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        auto* session = new Session;
        session->client = server_.nextPendingConnection();
        session->client->setParent(this);
        connect(session->client, &QIODevice::readyRead, this, [this, session] { onData(*session); });
        // Held by the socket, so that it also runs when the proxy goes first and takes the socket along.
        connect(session->client, &QObject::destroyed, session->client, [session] { delete session; });
    });
}

void ScriptedSocksProxy::onData(Session& session)
{
    session.pending += session.client->readAll();
    while (session.phase != Session::Phase::Relay && session.phase != Session::Phase::Closed && step(session)) {
    }
    if (session.phase == Session::Phase::Relay && session.target && !session.pending.isEmpty()) {
        session.target->write(session.pending);
        session.pending.clear();
    }
}

bool ScriptedSocksProxy::step(Session& session)
{
    QByteArray& in = session.pending;
    if (session.phase == Session::Phase::Greeting) {
        if (in.size() < 2 || in.size() < 2 + static_cast<unsigned char>(in[1]))
            return false;
        const int length = 2 + static_cast<unsigned char>(in[1]);
        greetings.append(in.left(length));
        in.remove(0, length);
        session.client->write(methodReply);
        const bool proceeds = methodReply.size() == 2 && methodReply[0] == 5;
        session.phase = !proceeds             ? Session::Phase::Closed
                        : methodReply[1] == 2 ? Session::Phase::Auth
                                              : Session::Phase::Request;
        return true;
    }
    return session.phase == Session::Phase::Auth ? takeAuth(session) : takeRequest(session);
}

bool ScriptedSocksProxy::takeAuth(Session& session)
{
    QByteArray& in = session.pending;
    if (in.size() < 2)
        return false;
    const int userLength = static_cast<unsigned char>(in[1]);
    if (in.size() < 3 + userLength)
        return false;
    const int passLength = static_cast<unsigned char>(in[2 + userLength]);
    if (in.size() < 3 + userLength + passLength)
        return false;
    users.append(in.mid(2, userLength));
    passwords.append(in.mid(3 + userLength, passLength));
    in.remove(0, 3 + userLength + passLength);
    session.client->write(authReply);
    session.phase = authReply == QByteArray("\x01\x00", 2) ? Session::Phase::Request : Session::Phase::Closed;
    return true;
}

bool ScriptedSocksProxy::takeRequest(Session& session)
{
    QByteArray& in = session.pending;
    if (in.size() < 5 || in[3] != 3)
        return false;
    const int length = static_cast<unsigned char>(in[4]);
    if (in.size() < 7 + length)
        return false;
    hosts.append(in.mid(5, length));
    const quint16 port = static_cast<quint16>(static_cast<unsigned char>(in[5 + length]) * 256 +
                                              static_cast<unsigned char>(in[6 + length]));
    ports.append(port);
    in.remove(0, 7 + length);
    startRelay(session, port);
    return true;
}

void ScriptedSocksProxy::startRelay(Session& session, quint16 port)
{
    const bool succeeds = connectReply.size() > 1 && connectReply[1] == 0;
    if (!succeeds) {
        session.client->write(connectReply);
        session.phase = Session::Phase::Closed;
        return;
    }
    session.phase = Session::Phase::Relay;
    session.target = new QTcpSocket(session.client);
    Session* s = &session;
    const auto forward = [this, s](const QByteArray& data) {
        s->client->write(s->replied ? data : connectReply + data);
        s->replied = true;
    };
    // The reply waits briefly so it can share one write with the target's first bytes.
    QTimer::singleShot(200, session.client, [s, forward] {
        if (!s->replied)
            forward({});
    });
    connect(session.target, &QIODevice::readyRead, session.client, [s, forward] { forward(s->target->readAll()); });
    connect(session.target, &QAbstractSocket::disconnected, session.client, [s] { s->client->disconnectFromHost(); });
    connect(session.client, &QAbstractSocket::disconnected, session.target, [s] { s->target->disconnectFromHost(); });
    session.target->connectToHost(QHostAddress::LocalHost, port);
}
