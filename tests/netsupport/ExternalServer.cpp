#include "netsupport/ExternalServer.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>
#include <QtCore/QThread>
#include <QtNetwork/QTcpServer>
#include <QtNetwork/QTcpSocket>

ExternalServer::~ExternalServer()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

bool ExternalServer::installed(const QString& program)
{
    return QFileInfo(program).isExecutable();
}

quint16 ExternalServer::freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool ExternalServer::startOnFreePort(const QString& program, const std::function<QStringList(quint16)>& arguments)
{
    process_.setProcessChannelMode(QProcess::MergedChannels);
    for (int attempt = 0; attempt < 5; ++attempt) {
        port_ = freePort();
        process_.start(program, arguments(port_));
        if (process_.waitForStarted(5000) && waitUntilListening())
            return true;
        process_.kill();
        process_.waitForFinished(3000);
    }
    return false;
}

bool ExternalServer::startAndReadPort(const QString& program, const QStringList& arguments)
{
    process_.start(program, arguments);
    if (!process_.waitForStarted(5000))
        return false;
    static const QRegularExpression number(QStringLiteral("port (\\d+)|^(\\d+)\\s*$"));
    QByteArray seen;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000 && process_.state() == QProcess::Running) {
        process_.waitForReadyRead(200);
        seen += process_.readAllStandardOutput();
        for (const QByteArray& line : seen.split('\n')) {
            const auto match = number.match(QString::fromUtf8(line).trimmed());
            if (match.hasMatch()) {
                port_ = static_cast<quint16>((match.captured(1) + match.captured(2)).toUInt());
                return waitUntilListening();
            }
        }
    }
    return false;
}

bool ExternalServer::waitUntilListening()
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000 && process_.state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port_);
        if (probe.waitForConnected(500)) {
            probe.abort();
            // Someone else may own the port: ours then gives up at once for want of it.
            return !process_.waitForFinished(100);
        }
        QThread::msleep(50);
    }
    return false;
}
