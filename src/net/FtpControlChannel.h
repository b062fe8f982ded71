// The control connection of an FTP session: commands out, replies in, at most one line buffer of
// unread text held per line.
#pragma once

#include <QtCore/QByteArray>
#include <QtNetwork/QTcpSocket>

#include "net/EventWait.h"
#include "net/FtpReplyAssembler.h"

class FtpControlChannel
{
  public:
    static constexpr qsizetype kLineLimit = 4096;

    enum class Result { Reply, TimedOut, Aborted, Closed, Overflow };

    explicit FtpControlChannel(EventWait& wait);

    QTcpSocket& socket() { return socket_; }
    bool isOpen() const { return socket_.state() == QAbstractSocket::ConnectedState; }
    void close();

    void send(const QByteArray& command);
    // Waits for the next complete reply.
    Result readReply(FtpReply& reply);
    // Takes a complete reply that has already arrived, without waiting; false when there is none.
    bool pollReply(FtpReply& reply) { return takeReply(reply); }

  private:
    bool takeReply(FtpReply& reply);

    EventWait& wait_;
    QTcpSocket socket_;
    FtpReplyAssembler replies_;
    bool overflow_ = false;
};
