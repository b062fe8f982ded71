#include "netsupport/ScriptedFtpServer.h"

#include <QtCore/QTimer>

ScriptedFtpServer::ScriptedFtpServer()
{
    replies = {{"USER", "331 password please\r\n"}, {"PASS", "230 logged in\r\n"}, {"TYPE", "200 type set\r\n"},
               {"PORT", "200 port ok\r\n"},         {"STOR", "150 send it\r\n"},   {"QUIT", "221 bye\r\n"}};
    server_.listen(QHostAddress::LocalHost, 0);
    passive_.listen(QHostAddress::LocalHost, 0);
    const quint16 pasv = passive_.serverPort();
    replies["PASV"] =
        QStringLiteral("227 Entering Passive Mode (127,0,0,1,%1,%2)\r\n").arg(pasv >> 8).arg(pasv & 0xff).toLatin1();
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        control_ = server_.nextPendingConnection();
        connect(control_, &QIODevice::readyRead, this, &ScriptedFtpServer::onControl);
        if (!greeting.isEmpty())
            control_->write(greeting);
    });
    connect(&passive_, &QTcpServer::newConnection, this, [this] { adoptData(passive_.nextPendingConnection()); });
}

void ScriptedFtpServer::onControl()
{
    while (control_->canReadLine())
        onCommand(control_->readLine().trimmed());
}

void ScriptedFtpServer::onCommand(const QByteArray& line)
{
    commands.append(line);
    const QByteArray word = line.split(' ').first().toUpper();
    if (word == "PORT") {
        portArgument = line.mid(5);
        const QList<QByteArray> numbers = portArgument.split(',');
        if (numbers.size() == 6)
            activePort_ = static_cast<quint16>(numbers[4].toUInt() * 256 + numbers[5].toUInt());
    }
    if (word == "STOR" && replies.value("STOR").startsWith('1') && activePort_ != 0 && connectBack)
        startActiveData();
    answer(word);
}

void ScriptedFtpServer::answer(const QByteArray& word)
{
    const QByteArray reply = replies.value(word, "502 not implemented\r\n");
    if (!reply.isEmpty())
        control_->write(reply);
}

void ScriptedFtpServer::startActiveData()
{
    auto* socket = new QTcpSocket(this);
    socket->connectToHost(QHostAddress::LocalHost, activePort_);
    adoptData(socket);
}

void ScriptedFtpServer::adoptData(QTcpSocket* socket)
{
    ++dataConnections;
    data_ = socket;
    data_->setParent(this);
    if (readChunk > 0) {
        data_->setReadBufferSize(readChunk);
        connect(data_, &QAbstractSocket::connected, this, [this] {
            data_->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, static_cast<int>(readChunk));
        });
        auto* pace = new QTimer(data_);
        connect(pace, &QTimer::timeout, this, &ScriptedFtpServer::readData);
        pace->start(readPauseMs);
    } else {
        connect(data_, &QIODevice::readyRead, this, &ScriptedFtpServer::readData);
    }
    if (readChunk > 0 && data_->state() == QAbstractSocket::ConnectedState)
        data_->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, static_cast<int>(readChunk));
    connect(data_, &QAbstractSocket::disconnected, this, [this] {
        received += data_->readAll();
        dataClosed = true;
        if (controlOpen() && !finalReply.isEmpty() && !dropped_)
            control_->write(finalReply);
    });
}

void ScriptedFtpServer::readData()
{
    received += readChunk > 0 ? data_->read(readChunk) : data_->readAll();
    if (dropAfter >= 0 && received.size() >= dropAfter && !dropped_) {
        dropped_ = true;
        data_->abort();
        control_->write(dropReply);
    }
}
