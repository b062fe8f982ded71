// An HTTP server inside the test process: records each request and sends the answer the test
// scripts, in parts with pauses between them, and closes the connection or keeps it open.
#pragma once

#include <functional>

#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtCore/QObject>
#include <QtNetwork/QTcpServer>

class QTcpSocket;

class ScriptedHttpServer : public QObject
{
  public:
    struct Answer
    {
        QList<QByteArray> parts;
        int pauseMs = 0;
        bool close = true;
    };

    ScriptedHttpServer();

    quint16 port() const { return server_.serverPort(); }
    QString url(const QString& path = QStringLiteral("/file")) const;

    std::function<Answer(const QByteArray& request)> respond;
    QList<QByteArray> requests;

  private:
    void onRequest(QTcpSocket* socket, const QByteArray& request);
    void sendPart(QTcpSocket* socket, Answer answer, int index);

    QTcpServer server_;
};
