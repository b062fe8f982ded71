#include "net/EventWait.h"

#include <QtCore/QCoreApplication>
#include <QtNetwork/QAbstractSocket>
#include <QtNetwork/QTcpServer>

EventWait::EventWait(std::chrono::milliseconds limit) : limit_(limit)
{
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        expired_ = true;
        loop_.quit();
    });
}

void EventWait::watch(QAbstractSocket* socket)
{
    connect(socket, &QIODevice::readyRead, this, &EventWait::wake);
    connect(socket, &QIODevice::bytesWritten, this, &EventWait::wake);
    connect(socket, &QAbstractSocket::connected, this, &EventWait::wake);
    connect(socket, &QAbstractSocket::disconnected, this, &EventWait::wake);
    connect(socket, &QAbstractSocket::errorOccurred, this, &EventWait::wake);
    connect(socket, &QAbstractSocket::stateChanged, this, &EventWait::wake);
}

void EventWait::watch(QTcpServer* server)
{
    connect(server, &QTcpServer::newConnection, this, &EventWait::wake);
    connect(server, &QTcpServer::acceptError, this, &EventWait::wake);
}

void EventWait::restart()
{
    if (deadline_.isActive())
        deadline_.start(static_cast<int>(limit_.count()));
}

EventWait::Outcome EventWait::until(const std::function<bool()>& done)
{
    if (done())
        return Outcome::Done;
    if (QCoreApplication::closingDown())
        return Outcome::Aborted;
    done_ = &done;
    expired_ = false;
    satisfied_ = false;
    deadline_.start(static_cast<int>(limit_.count()));
    // A signal may have been queued before the loop runs; look once the loop is up.
    QTimer::singleShot(0, this, &EventWait::wake);
    loop_.exec();
    deadline_.stop();
    done_ = nullptr;
    if (satisfied_ || done())
        return Outcome::Done;
    // The loop also ends when the application quits: every running loop is told to stop.
    return expired_ ? Outcome::TimedOut : Outcome::Aborted;
}

void EventWait::wake()
{
    if (done_ == nullptr || satisfied_)
        return;
    if ((*done_)()) {
        satisfied_ = true;
        loop_.quit();
    }
}
