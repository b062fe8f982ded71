#include "net/TNMHTTP.h"

#include <QtCore/QFile>
#include <QtCore/QScopeGuard>
#include <QtNetwork/QHostInfo>
#include <QtNetwork/QTcpSocket>

#include "net/HttpChunkedBody.h"
#include "net/HttpResponseHead.h"
#include "net/NetError.h"

namespace {
constexpr qint64 kBlock = 256 * 1024;

// "100 Continue" and the like come before the real answer; 101 switches to another protocol.
bool isInterim(int status)
{
    return status >= 100 && status < 200 && status != 101;
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

void checkWait(EventWait::Outcome outcome, const QString& timeoutText)
{
    if (outcome == EventWait::Outcome::TimedOut)
        throw NetError(timeoutText, NetError::Cause::TimedOut);
    if (outcome == EventWait::Outcome::Aborted)
        throw NetError(QStringLiteral("Cancelled: the program is closing"));
}
} // namespace

void TNMHTTP::Get(const QString& url)
{
    if (busy_)
        throw NetError(QStringLiteral("A request is already in progress"));
    if (timeOut_ <= 0)
        throw NetError(QStringLiteral("Invalid time-out: %1").arg(timeOut_));
    busy_ = true;
    const auto done = qScopeGuard([this] { busy_ = false; });
    statusCode_ = 0;
    deadline_ = QDeadlineTimer(timeOut_);
    follow(HttpUrl::parse(url));
}

void TNMHTTP::follow(HttpUrl url)
{
    QStringList visited{url.absolute};
    for (int redirects = 0;; ++redirects) {
        const Answer answer = fetch(url);
        // An answer that does not begin "HTTP/1.x NNN" is no HTTP answer: nothing it holds is trusted.
        if (!answer.valid)
            return raise(OnFailure);
        if (answer.status < 300 && answer.status != 101)
            return raise(OnSuccess);
        if (!isRedirect(answer.status) || redirects == kMaxRedirects || answer.location.isEmpty())
            return raise(OnFailure);
        try {
            url = HttpUrl::parse(url.resolve(answer.location));
        } catch (const NetError&) {
            return raise(OnFailure);
        }
        // Going round in a circle would never end.
        if (visited.contains(url.absolute))
            return raise(OnFailure);
        visited.append(url.absolute);
    }
}

TNMHTTP::Answer TNMHTTP::fetch(const HttpUrl& url)
{
    const bool throughProxy = !proxy_.isEmpty();
    EventWait wait{std::chrono::milliseconds(timeOut_)};
    const QHostAddress address = resolve(throughProxy ? proxy_ : url.host, wait);
    QTcpSocket socket;
    // Bounded: the socket stops taking data from the peer until the file has taken it.
    socket.setReadBufferSize(4 * kBlock);
    wait.watch(&socket);
    open(socket, wait, address, throughProxy ? proxyPort_ : url.port);
    socket.write(url.request(throughProxy));
    HttpResponseHead head;
    QByteArray buffer;
    readHead(socket, wait, head, buffer);
    statusCode_ = head.status();
    readBody(socket, wait, head, buffer);
    socket.abort();
    return Answer{head.status(), head.location(), head.statusLineValid()};
}

QHostAddress TNMHTTP::resolve(const QString& host, EventWait& wait)
{
    QHostAddress address;
    if (address.setAddress(host))
        return address;
    std::optional<QHostInfo> found;
    const int id = QHostInfo::lookupHost(host, &wait, [&](const QHostInfo& info) {
        found = info;
        wait.wake();
    });
    const auto outcome = waitUntil(wait, [&] { return found.has_value(); });
    if (outcome != EventWait::Outcome::Done)
        QHostInfo::abortHostLookup(id);
    checkWait(outcome, QStringLiteral("Host Lookup Timed Out"));
    const QList<QHostAddress> addresses = found->addresses();
    if (found->error() != QHostInfo::NoError || addresses.isEmpty())
        throw NetError(QStringLiteral("Null Remote Address"));
    const auto v4 = std::find_if(addresses.begin(), addresses.end(),
                                 [](const QHostAddress& a) { return a.protocol() == QAbstractSocket::IPv4Protocol; });
    return v4 != addresses.end() ? *v4 : addresses.first();
}

void TNMHTTP::open(QTcpSocket& socket, EventWait& wait, const QHostAddress& address, quint16 port)
{
    socket.connectToHost(address, port);
    const auto outcome = waitUntil(wait, [&] {
        return socket.state() == QAbstractSocket::ConnectedState || socket.state() == QAbstractSocket::UnconnectedState;
    });
    if (outcome == EventWait::Outcome::Done && socket.state() == QAbstractSocket::ConnectedState)
        return;
    if (outcome == EventWait::Outcome::Aborted)
        checkWait(outcome, {});
    const QString text = outcome == EventWait::Outcome::TimedOut
                             ? QStringLiteral("Connection Timed Out")
                             : QStringLiteral("Connection Failed: ") + socket.errorString();
    socket.abort();
    raise(OnConnectionFailed);
    throw NetError(text);
}

// Every wait ends at the request's one deadline, so an answer sent a byte at a time cannot stretch it.
EventWait::Outcome TNMHTTP::waitUntil(EventWait& wait, const std::function<bool()>& done)
{
    const qint64 left = deadline_.remainingTime();
    if (left == 0)
        return done() ? EventWait::Outcome::Done : EventWait::Outcome::TimedOut;
    wait.setLimit(std::chrono::milliseconds(left));
    return wait.until(done);
}

void TNMHTTP::readHead(QTcpSocket& socket, EventWait& wait, HttpResponseHead& head, QByteArray& buffer)
{
    for (;;) {
        const auto outcome = waitUntil(
            wait, [&] { return socket.bytesAvailable() > 0 || socket.state() != QAbstractSocket::ConnectedState; });
        checkWait(outcome, QStringLiteral("Timed out waiting for the answer"));
        if (socket.bytesAvailable() == 0) {
            if (!head.started() && buffer.isEmpty())
                throw NetError(QStringLiteral("The connection closed without an answer"), NetError::Cause::CutShort);
            // A head without its empty line may have lost any of its lines: it tells nothing.
            throw NetError(QStringLiteral("The connection closed before the whole header arrived"),
                           NetError::Cause::CutShort);
        }
        buffer.append(socket.read(kBlock));
        for (;;) {
            const HttpResponseHead::Result result = head.feed(buffer);
            if (result == HttpResponseHead::Result::TooLarge)
                throw NetError(QStringLiteral("The answer's header is too large"), NetError::Cause::TooLarge);
            if (result != HttpResponseHead::Result::Complete)
                break;
            if (!isInterim(head.status()))
                return;
            head = HttpResponseHead{};
        }
    }
}

void TNMHTTP::readBody(QTcpSocket& socket, EventWait& wait, const HttpResponseHead& head, QByteArray& buffer)
{
    const QByteArray encoding = head.transferEncoding();
    if (!encoding.isEmpty() && encoding != "identity" && encoding != "chunked")
        throw NetError(QStringLiteral("Unsupported transfer encoding: %1").arg(QString::fromLatin1(encoding)));
    QFile file(body_);
    if (inputFileMode_ && !file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw NetError(QStringLiteral("Cannot write %1: %2").arg(body_, file.errorString()));
    qint64 total = 0;
    const auto store = [&](const char* data, qint64 size) {
        total += size;
        if (maxBodyBytes_ >= 0 && total > maxBodyBytes_)
            throw NetError(QStringLiteral("The answer is larger than %1 bytes").arg(maxBodyBytes_),
                           NetError::Cause::TooLarge);
        if (inputFileMode_ && file.write(data, size) != size)
            throw NetError(QStringLiteral("Cannot write %1: %2").arg(body_, file.errorString()));
    };
    try {
        receiveBody(socket, wait, head, buffer, store);
    } catch (...) {
        if (inputFileMode_)
            file.remove(); // a part of the answer must not pass for the whole
        throw;
    }
}

void TNMHTTP::receiveBody(QTcpSocket& socket, EventWait& wait, const HttpResponseHead& head, QByteArray& buffer,
                          const std::function<void(const char*, qint64)>& store)
{
    const bool chunked = head.transferEncoding() == "chunked";
    HttpChunkedBody chunks;
    // A chunked body ends at its zero chunk; its length header, if any, does not count.
    std::optional<qint64> remaining = chunked ? std::nullopt : head.contentLength();
    const auto take = [&](QByteArray& bytes) {
        if (chunked) {
            const HttpChunkedBody::Result result = chunks.feed(bytes, store);
            if (result == HttpChunkedBody::Result::Malformed)
                throw NetError(QStringLiteral("The answer's chunked body is malformed"));
            return result == HttpChunkedBody::Result::Complete;
        }
        const qint64 size = remaining ? std::min<qint64>(bytes.size(), *remaining) : bytes.size();
        store(bytes.constData(), size);
        bytes.clear();
        if (remaining)
            *remaining -= size;
        return remaining && *remaining == 0;
    };
    bool complete = take(buffer) || (remaining && *remaining == 0);
    while (!complete) {
        const auto outcome = waitUntil(
            wait, [&] { return socket.bytesAvailable() > 0 || socket.state() != QAbstractSocket::ConnectedState; });
        checkWait(outcome, QStringLiteral("Timed out waiting for data"));
        if (socket.bytesAvailable() == 0)
            break;
        QByteArray block = socket.read(remaining ? std::min(kBlock, *remaining) : kBlock);
        complete = take(block);
    }
    if (!complete && (chunked || remaining))
        throw NetError(QStringLiteral("The connection closed before the whole answer arrived"),
                       NetError::Cause::CutShort);
}

void TNMHTTP::raise(const std::function<void()>& event)
{
    if (event)
        event();
}
