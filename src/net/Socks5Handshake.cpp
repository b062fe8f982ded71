#include "net/Socks5Handshake.h"

namespace {
constexpr char kVersion = 5;
constexpr char kAuthVersion = 1;
constexpr qsizetype kMaxName = 255;
constexpr qsizetype kReplyHead = 5; // version, code, reserved, address type, first address byte

void appendName(QByteArray& out, const QByteArray& name)
{
    out.append(static_cast<char>(name.size()));
    out.append(name);
}
} // namespace

Socks5Handshake::Socks5Handshake(QByteArray userCode, QByteArray password, QByteArray host, quint16 port)
    : userCode_(std::move(userCode)), password_(std::move(password)), host_(std::move(host)), port_(port)
{
}

QByteArray Socks5Handshake::begin()
{
    // A length byte holds at most 255: longer names are refused before anything is sent.
    if (userCode_.size() > kMaxName || password_.size() > kMaxName)
        return fail(QStringLiteral("socks user or password longer than 255 bytes"));
    if (host_.isEmpty() || host_.size() > kMaxName)
        return fail(QStringLiteral("socks target host name empty or longer than 255 bytes"));
    step_ = Step::Method;
    // A proxy can only choose user/password if it is offered; offer it when there is a user.
    if (!userCode_.isEmpty())
        return QByteArray("\x05\x02\x00\x02", 4);
    return QByteArray("\x05\x01\x00", 3);
}

qsizetype Socks5Handshake::wanted() const
{
    switch (step_) {
    case Step::Method:
    case Step::Auth:
        return 2;
    case Step::ReplyHead:
        return kReplyHead;
    case Step::ReplyRest:
        return rest_;
    default:
        return 0;
    }
}

QByteArray Socks5Handshake::advance(const QByteArray& bytes)
{
    if (bytes.size() != wanted())
        return fail(QStringLiteral("socks internal error"));
    switch (step_) {
    case Step::Method:
        return onMethod(bytes);
    case Step::Auth:
        return onAuth(bytes);
    case Step::ReplyHead:
        onReplyHead(bytes);
        return {};
    case Step::ReplyRest:
        step_ = Step::Done;
        return {};
    default:
        return {};
    }
}

QByteArray Socks5Handshake::onMethod(const QByteArray& bytes)
{
    if (bytes[0] != kVersion)
        return fail(QStringLiteral("socks version error"));
    if (bytes[1] == 0)
        return connectRequest();
    if (bytes[1] != 2)
        return fail(QStringLiteral("authentification method not acceptable"));
    step_ = Step::Auth;
    QByteArray out(1, kAuthVersion);
    appendName(out, userCode_);
    appendName(out, password_);
    return out;
}

QByteArray Socks5Handshake::onAuth(const QByteArray& bytes)
{
    if (bytes[0] != kAuthVersion)
        return fail(QStringLiteral("socks version error"));
    if (bytes[1] != 0)
        return fail(QStringLiteral("socks authentication failed"));
    return connectRequest();
}

QByteArray Socks5Handshake::connectRequest()
{
    step_ = Step::ReplyHead;
    QByteArray out("\x05\x01\x00\x03", 4);
    appendName(out, host_);
    out.append(static_cast<char>(port_ >> 8));
    out.append(static_cast<char>(port_ & 0xff));
    return out;
}

void Socks5Handshake::onReplyHead(const QByteArray& bytes)
{
    if (bytes[0] != kVersion) {
        fail(QStringLiteral("socks version error"));
        return;
    }
    const int code = static_cast<unsigned char>(bytes[1]);
    if (code != 0) {
        fail(replyText(code));
        return;
    }
    // The rest after the five bytes read: the remaining address bytes and the two port bytes.
    const int addressType = static_cast<unsigned char>(bytes[3]);
    const int first = static_cast<unsigned char>(bytes[4]);
    if (addressType == 1) {
        rest_ = 3 + 2;
    } else if (addressType == 3 && first > 0) {
        rest_ = first + 2;
    } else if (addressType == 4) {
        rest_ = 15 + 2;
    } else {
        fail(QStringLiteral("socks reply with an unknown address type"));
        return;
    }
    step_ = Step::ReplyRest;
}

QByteArray Socks5Handshake::fail(const QString& text)
{
    step_ = Step::Failed;
    error_ = text;
    return {};
}

QString Socks5Handshake::replyText(int code)
{
    switch (code) {
    case 1:
        return QStringLiteral("general SOCKS server failure");
    case 2:
        return QStringLiteral("connection not allowed by ruleset");
    case 3:
        return QStringLiteral("Network unreachable");
    case 4:
        return QStringLiteral("Host unreachable");
    case 5:
        return QStringLiteral("Connection refused");
    case 6:
        return QStringLiteral("TTL expired");
    case 7:
        return QStringLiteral("Command not supported");
    case 8:
        return QStringLiteral("Address type not supported");
    default:
        return QStringLiteral("unassigned error");
    }
}
