// An FTP server inside the test process whose replies the test sets, for peers that misbehave.
// It stores what arrives on the data connection and records every command line.
#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtCore/QMap>
#include <QtCore/QObject>
#include <QtNetwork/QTcpServer>
#include <QtNetwork/QTcpSocket>

class ScriptedFtpServer : public QObject
{
  public:
    ScriptedFtpServer();

    quint16 port() const { return server_.serverPort(); }

    // Raw text sent on connect and in answer to each command word; empty text means silence.
    QByteArray greeting = "220 ready\r\n";
    QMap<QByteArray, QByteArray> replies;
    QByteArray finalReply = "226 stored\r\n";
    // False: in active mode the server never connects back (its answer to STOR says why).
    bool connectBack = true;
    // Throttles the data connection: at most readChunk bytes every readPauseMs (0: no limit).
    qint64 readChunk = 0;
    int readPauseMs = 0;

    // Drops the data connection once this many bytes arrived (negative: never) and says why.
    qint64 dropAfter = -1;
    QByteArray dropReply = "426 Transfer aborted\r\n";

    QList<QByteArray> commands;
    QByteArray received;
    QByteArray portArgument;
    int dataConnections = 0;
    bool dataClosed = false;

    void closeControl() { control_->disconnectFromHost(); }
    bool controlOpen() const { return control_ && control_->state() == QAbstractSocket::ConnectedState; }

  private:
    void onControl();
    void onCommand(const QByteArray& line);
    void answer(const QByteArray& word);
    void startActiveData();
    void adoptData(QTcpSocket* socket);
    void readData();

    QTcpServer server_;
    QTcpServer passive_;
    QTcpSocket* control_ = nullptr;
    QTcpSocket* data_ = nullptr;
    quint16 activePort_ = 0;
    bool dropped_ = false;
};
