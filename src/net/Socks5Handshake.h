// The client side of a SOCKS 5 CONNECT (RFC 1928, user/password of RFC 1929) as a byte exchange.
// The caller sends what begin() and advance() return and feeds back exactly wanted() bytes each
// time, so bytes after the proxy's reply stay unread and belong to the tunnel.
#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

class Socks5Handshake
{
  public:
    Socks5Handshake(QByteArray userCode, QByteArray password, QByteArray host, quint16 port);

    // The greeting, or nothing when the names cannot be sent (then failed() is true).
    QByteArray begin();
    // How many bytes the next step needs; 0 when finished or failed.
    qsizetype wanted() const;
    // Consumes the wanted bytes and returns what to send next (often nothing).
    QByteArray advance(const QByteArray& bytes);

    bool done() const { return step_ == Step::Done; }
    bool failed() const { return step_ == Step::Failed; }
    QString error() const { return error_; }

    static QString replyText(int code);

  private:
    enum class Step { Start, Method, Auth, ReplyHead, ReplyRest, Done, Failed };

    QByteArray onMethod(const QByteArray& bytes);
    QByteArray onAuth(const QByteArray& bytes);
    QByteArray connectRequest();
    void onReplyHead(const QByteArray& bytes);
    QByteArray fail(const QString& text);

    QByteArray userCode_;
    QByteArray password_;
    QByteArray host_;
    quint16 port_;
    Step step_ = Step::Start;
    qsizetype rest_ = 0;
    QString error_;
};
