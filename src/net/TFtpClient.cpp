#include "net/TFtpClient.h"

#include <QtCore/QFile>
#include <QtNetwork/QTcpServer>
#include <QtNetwork/QTcpSocket>

#include "net/FileSender.h"
#include "net/FtpPassiveReply.h"
#include "net/TcpConnector.h"

#include <optional>

using namespace std::chrono_literals;

namespace {
bool isOneOf(int code, std::initializer_list<int> codes)
{
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}
} // namespace

TFtpClient::TFtpClient()
    : hostName_(QStringLiteral("ftp.kestrixnet.example")), port_(21), userName_(QStringLiteral("jex")),
      passWord_(QStringLiteral("zub")), wait_(15s), control_(wait_)
{
}

TFtpClient::~TFtpClient() = default;

bool TFtpClient::settable(QString& field, const QString& value)
{
    syncState();
    if (state_ != State::NotConnected)
        return false;
    field = value;
    return true;
}

bool TFtpClient::SetHostName(const QString& host)
{
    return settable(hostName_, host);
}

bool TFtpClient::SetPort(quint16 port)
{
    syncState();
    if (state_ != State::NotConnected)
        return false;
    port_ = port;
    return true;
}

QString TFtpClient::ControlLocalAddress()
{
    if (!control_.isOpen())
        return {};
    bool ok = false;
    const quint32 ipv4 = control_.socket().localAddress().toIPv4Address(&ok);
    return ok && ipv4 != 0 ? QHostAddress(ipv4).toString() : QString();
}

bool TFtpClient::SetUserName(const QString& user)
{
    return settable(userName_, user);
}

bool TFtpClient::SetPassWord(const QString& password)
{
    return settable(passWord_, password);
}

bool TFtpClient::SetSocksServer(const QString& server)
{
    return settable(socks_.server, server.trimmed());
}

bool TFtpClient::SetSocksPort(const QString& port)
{
    return settable(socks_.port, port);
}

bool TFtpClient::SetSocksUserCode(const QString& user)
{
    return settable(socks_.userCode, user);
}

bool TFtpClient::SetSocksPassword(const QString& password)
{
    return settable(socks_.password, password);
}

template <typename Body> bool TFtpClient::guarded(Body body) noexcept
{
    try {
        return body();
    } catch (const std::exception& error) {
        control_.close();
        return localFailure(QStringLiteral("internal error: ") + QString::fromUtf8(error.what()));
    } catch (...) {
        control_.close();
        return localFailure(QStringLiteral("internal error"));
    }
}

// A server that hung up while the client sat idle leaves it not connected.
void TFtpClient::syncState()
{
    if ((state_ == State::LoggedOut || state_ == State::Ready) && !control_.isOpen()) {
        control_.close();
        state_ = State::NotConnected;
    }
}

bool TFtpClient::Connect()
{
    syncState();
    if (state_ != State::NotConnected)
        return false;
    state_ = State::Connecting;
    const bool ok = guarded([this] { return login(); });
    state_ = ok ? State::Ready : (control_.isOpen() ? State::LoggedOut : State::NotConnected);
    return ok;
}

bool TFtpClient::login()
{
    TcpConnector connector(control_.socket(), wait_);
    if (!connector.open(socks_, hostName_, port_))
        return connectFailed(connector);
    if (!expect({220})) {
        control_.close();
        return false;
    }
    if (!command(QStringLiteral("USER ") + userName_, {331, 230}))
        return false;
    if (lastReply_.code == 230)
        return true;
    return command(QStringLiteral("PASS ") + passWord_, {230});
}

bool TFtpClient::Put()
{
    syncState();
    if (state_ != State::Ready)
        return false;
    state_ = State::Busy;
    const bool ok = guarded([this] { return transfer(); });
    if (state_ == State::Busy)
        state_ = control_.isOpen() ? State::Ready : State::NotConnected;
    return ok;
}

bool TFtpClient::transfer()
{
    QFile file(localFileName_);
    if (!file.open(QIODevice::ReadOnly))
        return localFailure(QStringLiteral("cannot open %1: %2").arg(localFileName_, file.errorString()));
    if (!command(QStringLiteral("TYPE I"), {200}))
        return false;
    std::unique_ptr<QTcpSocket> data;
    std::unique_ptr<QTcpServer> listener;
    if (socks_.enabled())
        data = openPassive();
    else
        listener = listenActive();
    if (!data && !listener)
        return false;
    if (!command(QStringLiteral("STOR ") + hostFileName_, {150, 125}))
        return false;
    if (listener)
        data = acceptActive(*listener);
    if (!data)
        return false;
    if (!sendFile(file, std::move(data)))
        return false;
    file.close();
    return expect({226, 250});
}

bool TFtpClient::sendFile(QFile& file, std::unique_ptr<QTcpSocket> data)
{
    const FileSender::Result result = FileSender(file, *data, wait_).run();
    data.reset();
    switch (result) {
    case FileSender::Result::Sent:
        return true;
    case FileSender::Result::TimedOut:
        return waitFailed(EventWait::Outcome::TimedOut);
    case FileSender::Result::Aborted:
        return waitFailed(EventWait::Outcome::Aborted);
    case FileSender::Result::ReadError:
    case FileSender::Result::Closed:
        break;
    }
    // The transfer broke off; the server's reply about it must not linger for the next command.
    const QString readError = file.errorString();
    expect({});
    if (result == FileSender::Result::ReadError)
        return localFailure(QStringLiteral("cannot read %1: %2").arg(localFileName_, readError));
    return false;
}

bool TFtpClient::Quit()
{
    syncState();
    if (state_ != State::LoggedOut && state_ != State::Ready)
        return false;
    state_ = State::Closing;
    const bool ok = guarded([this] { return command(QStringLiteral("QUIT"), {221}); });
    control_.close();
    state_ = State::NotConnected;
    return ok;
}

std::unique_ptr<QTcpSocket> TFtpClient::openPassive()
{
    if (!command(QStringLiteral("PASV"), {227}))
        return nullptr;
    const std::optional<quint16> port = FtpPassiveReply::port(lastReply_.text);
    if (!port) {
        localFailure(QStringLiteral("unusable passive reply: ") + lastReply_.text);
        return nullptr;
    }
    auto data = std::make_unique<QTcpSocket>();
    wait_.watch(data.get());
    TcpConnector connector(*data, wait_);
    if (!connector.open(socks_, hostName_, *port)) {
        connectFailed(connector);
        return nullptr;
    }
    return data;
}

std::unique_ptr<QTcpServer> TFtpClient::listenActive()
{
    const QHostAddress local = control_.socket().localAddress();
    bool ok = false;
    const quint32 address = local.toIPv4Address(&ok);
    auto listener = std::make_unique<QTcpServer>();
    // Listen only where the server is told to connect, not on every interface.
    if (!ok || !listener->listen(QHostAddress(address), 0)) {
        localFailure(QStringLiteral("cannot listen for the data connection"));
        return nullptr;
    }
    listener->setMaxPendingConnections(1);
    wait_.watch(listener.get());
    const quint16 port = listener->serverPort();
    const QString text = QStringLiteral("PORT %1,%2,%3,%4,%5,%6")
                             .arg(address >> 24)
                             .arg((address >> 16) & 0xff)
                             .arg((address >> 8) & 0xff)
                             .arg(address & 0xff)
                             .arg(port >> 8)
                             .arg(port & 0xff);
    if (!command(text, {200, 227}))
        return nullptr;
    return listener;
}

std::unique_ptr<QTcpSocket> TFtpClient::acceptActive(QTcpServer& listener)
{
    // Only the server itself may connect: anyone else would be handed the file.
    const QHostAddress server = control_.socket().peerAddress();
    std::unique_ptr<QTcpSocket> data;
    // A server that cannot connect back says so on the control connection ("425") instead.
    std::optional<FtpReply> refusal;
    const auto outcome = wait_.until([&] {
        while (!data && listener.hasPendingConnections()) {
            std::unique_ptr<QTcpSocket> candidate(listener.nextPendingConnection());
            candidate->setParent(nullptr);
            if (candidate->peerAddress().isEqual(server, QHostAddress::TolerantConversion))
                data = std::move(candidate);
            else
                candidate->abort();
        }
        if (FtpReply reply; !data && !refusal && control_.pollReply(reply))
            refusal = reply;
        return data != nullptr || refusal || !control_.isOpen();
    });
    if (outcome != EventWait::Outcome::Done) {
        waitFailed(outcome);
        return nullptr;
    }
    if (refusal) {
        lastReply_ = *refusal;
        return nullptr;
    }
    if (!data) {
        lostConnection(QStringLiteral("500 Connection closed"));
        return nullptr;
    }
    wait_.watch(data.get());
    return data;
}

bool TFtpClient::command(const QString& text, std::initializer_list<int> accepted)
{
    // A line break inside a name would smuggle a second command onto the connection.
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) || text.contains(QChar(0)))
        return localFailure(QStringLiteral("refused to send a command with a line break"));
    control_.send(text.toUtf8());
    return expect(accepted);
}

bool TFtpClient::expect(std::initializer_list<int> accepted)
{
    FtpReply reply;
    switch (control_.readReply(reply)) {
    case FtpControlChannel::Result::Reply:
        lastReply_ = reply;
        return isOneOf(reply.code, accepted);
    case FtpControlChannel::Result::TimedOut:
        return waitFailed(EventWait::Outcome::TimedOut);
    case FtpControlChannel::Result::Aborted:
        return waitFailed(EventWait::Outcome::Aborted);
    case FtpControlChannel::Result::Overflow:
        return lostConnection(QStringLiteral("500 Reply line too long"));
    case FtpControlChannel::Result::Closed:
        break;
    }
    return lostConnection(QStringLiteral("500 Connection closed"));
}

bool TFtpClient::waitFailed(EventWait::Outcome outcome)
{
    control_.close();
    state_ = State::NotConnected;
    if (outcome == EventWait::Outcome::Aborted)
        return localFailure(QStringLiteral("cancelled: the program is closing"));
    lastReply_ = FtpReply{426, QStringLiteral("426 Timeout")};
    return false;
}

bool TFtpClient::connectFailed(const TcpConnector& connector)
{
    if (connector.outcome() != EventWait::Outcome::Done)
        return waitFailed(connector.outcome());
    return localFailure(connector.error());
}

bool TFtpClient::localFailure(const QString& text)
{
    lastReply_ = FtpReply{0, text};
    return false;
}

bool TFtpClient::lostConnection(const QString& text)
{
    control_.close();
    state_ = State::NotConnected;
    lastReply_ = FtpReply{500, text};
    return false;
}
