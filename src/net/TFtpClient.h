// Uploads one file to an FTP server, optionally through a SOCKS 5 proxy. Each call blocks in a
// nested event loop, so the window stays alive, and returns false on any failure; it never throws.
#pragma once

#include <chrono>
#include <initializer_list>
#include <memory>

#include <QtCore/QString>

#include "net/EventWait.h"
#include "net/FtpControlChannel.h"
#include "net/FtpReply.h"
#include "net/SocksSettings.h"

class QFile;
class QTcpServer;
class QTcpSocket;
class TcpConnector;

class TFtpClient
{
  public:
    enum class State { NotConnected, Connecting, LoggedOut, Ready, Busy, Closing };

    TFtpClient();
    ~TFtpClient();
    TFtpClient(const TFtpClient&) = delete;
    TFtpClient& operator=(const TFtpClient&) = delete;

    // Connection settings; they can only change while the client is not connected.
    QString HostName() const { return hostName_; }
    bool SetHostName(const QString& host);
    quint16 Port() const { return port_; }
    bool SetPort(quint16 port);
    QString UserName() const { return userName_; }
    bool SetUserName(const QString& user);
    QString PassWord() const { return passWord_; }
    bool SetPassWord(const QString& password);
    std::chrono::milliseconds Timeout() const { return wait_.limit(); }
    void SetTimeout(std::chrono::milliseconds limit) { wait_.setLimit(limit); }

    QString SocksServer() const { return socks_.server; }
    bool SetSocksServer(const QString& server);
    QString SocksPort() const { return socks_.port; }
    bool SetSocksPort(const QString& port);
    QString SocksUserCode() const { return socks_.userCode; }
    bool SetSocksUserCode(const QString& user);
    QString SocksPassword() const { return socks_.password; }
    bool SetSocksPassword(const QString& password);

    QString LocalFileName() const { return localFileName_; }
    void SetLocalFileName(const QString& path) { localFileName_ = path; }
    QString HostFileName() const { return hostFileName_; }
    void SetHostFileName(const QString& name) { hostFileName_ = name; }

    bool Connect();
    bool Put();
    bool Quit();

    // The local IPv4 address of the open control connection, dotted; empty when there is none.
    QString ControlLocalAddress();

    State state() const { return state_; }
    // The last reply of the server, "426 Timeout", or code 0 with the text of a local failure.
    FtpReply LastReply() const { return lastReply_; }

  private:
    template <typename Body> bool guarded(Body body) noexcept;
    void syncState();
    bool settable(QString& field, const QString& value);

    bool login();
    bool transfer();
    bool sendFile(QFile& file, std::unique_ptr<QTcpSocket> data);
    std::unique_ptr<QTcpSocket> openPassive();
    std::unique_ptr<QTcpServer> listenActive();
    std::unique_ptr<QTcpSocket> acceptActive(QTcpServer& listener);

    bool command(const QString& text, std::initializer_list<int> accepted);
    bool expect(std::initializer_list<int> accepted);
    bool waitFailed(EventWait::Outcome outcome);
    bool connectFailed(const TcpConnector& connector);
    bool localFailure(const QString& text);
    bool lostConnection(const QString& text);

    QString hostName_;
    quint16 port_;
    QString userName_;
    QString passWord_;
    SocksSettings socks_;
    QString localFileName_;
    QString hostFileName_;

    EventWait wait_;
    FtpControlChannel control_;
    State state_ = State::NotConnected;
    FtpReply lastReply_;
};
