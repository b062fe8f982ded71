// Opens a TCP connection, directly or through a SOCKS 5 proxy, waiting without blocking the window.
#pragma once

#include <QtCore/QString>

#include "net/EventWait.h"
#include "net/SocksSettings.h"

class QTcpSocket;
class Socks5Handshake;

class TcpConnector
{
  public:
    static constexpr quint16 kDefaultSocksPort = 1080;

    TcpConnector(QTcpSocket& socket, EventWait& wait);

    // True when the socket is connected to host:port; the host goes to the proxy by name.
    bool open(const SocksSettings& socks, const QString& host, quint16 port);

    EventWait::Outcome outcome() const { return outcome_; }
    QString error() const { return error_; }

  private:
    bool connectDirect(const QString& host, quint16 port);
    bool negotiate(Socks5Handshake& handshake, QByteArray out);
    bool fail(const QString& text, EventWait::Outcome outcome = EventWait::Outcome::Done);

    QTcpSocket& socket_;
    EventWait& wait_;
    EventWait::Outcome outcome_ = EventWait::Outcome::Done;
    QString error_;
};
