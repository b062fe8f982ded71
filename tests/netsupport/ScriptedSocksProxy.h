// A SOCKS 5 proxy inside the test process with scripted answers. After a successful CONNECT it
// relays to 127.0.0.1 at the requested port, whatever host name was asked for, and hands the
// reply over in one write together with the target's first bytes, as a real proxy may.
#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtCore/QObject>
#include <QtNetwork/QTcpServer>

class QTcpSocket;

class ScriptedSocksProxy : public QObject
{
  public:
    ScriptedSocksProxy();

    quint16 port() const { return server_.serverPort(); }

    QByteArray methodReply = QByteArray("\x05\x00", 2);
    QByteArray authReply = QByteArray("\x01\x00", 2);
    QByteArray connectReply = QByteArray("\x05\x00\x00\x01\x7f\x00\x00\x01\x04\x00", 10);

    QList<QByteArray> greetings;
    QList<QByteArray> users;
    QList<QByteArray> passwords;
    QList<QByteArray> hosts;
    QList<quint16> ports;

  private:
    struct Session;
    void onData(Session& session);
    bool step(Session& session);
    bool takeAuth(Session& session);
    bool takeRequest(Session& session);
    void startRelay(Session& session, quint16 port);

    QTcpServer server_;
};
