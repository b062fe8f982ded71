// Streams an open file onto a connected socket in large blocks without holding more than a few
// blocks in memory; every block the socket hands on counts as progress for the wait's deadline.
#pragma once

#include <QtCore/QFile>
#include <QtNetwork/QTcpSocket>

#include "net/EventWait.h"

class FileSender
{
  public:
    static constexpr qint64 kBlock = 256 * 1024;
    static constexpr qint64 kHighWater = 4 * kBlock;
    static constexpr qint64 kKernelBuffer = 2 * kBlock;

    enum class Result { Sent, ReadError, Closed, TimedOut, Aborted };

    FileSender(QFile& file, QTcpSocket& socket, EventWait& wait);

    // Sends the whole file, then closes the connection once every byte has left.
    Result run();

  private:
    Result stream();
    bool fill(QByteArray& block);
    Result waitFor(const std::function<bool()>& done);
    bool lost() const { return socket_.state() != QAbstractSocket::ConnectedState; }

    QFile& file_;
    QTcpSocket& socket_;
    EventWait& wait_;
};
