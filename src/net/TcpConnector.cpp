#include "net/TcpConnector.h"

#include <QtNetwork/QTcpSocket>

#include "net/Socks5Handshake.h"

TcpConnector::TcpConnector(QTcpSocket& socket, EventWait& wait) : socket_(socket), wait_(wait) {}

bool TcpConnector::open(const SocksSettings& socks, const QString& host, quint16 port)
{
    if (!socks.enabled())
        return connectDirect(host, port);
    quint16 proxyPort = kDefaultSocksPort;
    const QString portText = socks.port.trimmed();
    if (!portText.isEmpty()) {
        bool ok = false;
        const uint value = portText.toUInt(&ok);
        if (!ok || value == 0 || value > 0xffff)
            return fail(QStringLiteral("socks port is not a port number: ") + portText);
        proxyPort = static_cast<quint16>(value);
    }
    Socks5Handshake handshake(socks.userCode.toUtf8(), socks.password.toUtf8(), host.toUtf8(), port);
    // Names the proxy cannot be sent are refused before any connection is made.
    const QByteArray greeting = handshake.begin();
    if (handshake.failed())
        return fail(handshake.error());
    return connectDirect(socks.server.trimmed(), proxyPort) && negotiate(handshake, greeting);
}

bool TcpConnector::connectDirect(const QString& host, quint16 port)
{
    // IPv4 only: the address announced in PORT must be a four-byte one.
    socket_.connectToHost(host, port, QIODevice::ReadWrite, QAbstractSocket::IPv4Protocol);
    const auto outcome = wait_.until([this] {
        return socket_.state() == QAbstractSocket::ConnectedState ||
               socket_.state() == QAbstractSocket::UnconnectedState;
    });
    if (outcome != EventWait::Outcome::Done) {
        socket_.abort();
        return fail(QStringLiteral("connection to %1 timed out").arg(host), outcome);
    }
    if (socket_.state() != QAbstractSocket::ConnectedState)
        return fail(QStringLiteral("cannot connect to %1: %2").arg(host, socket_.errorString()));
    return true;
}

bool TcpConnector::negotiate(Socks5Handshake& handshake, QByteArray out)
{
    while (!handshake.failed() && !handshake.done()) {
        if (!out.isEmpty())
            socket_.write(out);
        const qsizetype want = handshake.wanted();
        const auto outcome = wait_.until(
            [&] { return socket_.bytesAvailable() >= want || socket_.state() != QAbstractSocket::ConnectedState; });
        if (outcome != EventWait::Outcome::Done) {
            socket_.abort();
            return fail(QStringLiteral("socks proxy timed out"), outcome);
        }
        if (socket_.bytesAvailable() < want) {
            socket_.abort();
            return fail(QStringLiteral("socks proxy closed the connection"));
        }
        out = handshake.advance(socket_.read(want));
    }
    if (handshake.failed()) {
        socket_.abort();
        return fail(handshake.error());
    }
    return true;
}

bool TcpConnector::fail(const QString& text, EventWait::Outcome outcome)
{
    error_ = text;
    outcome_ = outcome;
    return false;
}
