#include "net/FileSender.h"

FileSender::FileSender(QFile& file, QTcpSocket& socket, EventWait& wait) : file_(file), socket_(socket), wait_(wait) {}

FileSender::Result FileSender::run()
{
    // A bounded kernel buffer keeps progress honest: what the socket hands on is close to what
    // the server has taken, so the wait for the final reply never has megabytes still to drain.
    socket_.setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, static_cast<int>(kKernelBuffer));
    const auto progress = QObject::connect(&socket_, &QIODevice::bytesWritten, &wait_, &EventWait::restart);
    Result result = stream();
    QObject::disconnect(progress);
    if (result != Result::Sent)
        return result;
    socket_.disconnectFromHost();
    return waitFor([this] { return socket_.state() == QAbstractSocket::UnconnectedState; });
}

FileSender::Result FileSender::stream()
{
    QByteArray block(kBlock, Qt::Uninitialized);
    while (!file_.atEnd()) {
        if (!fill(block))
            return Result::ReadError;
        const Result result = waitFor([this] { return socket_.bytesToWrite() < kHighWater || lost(); });
        if (result != Result::Sent)
            return result;
        if (lost())
            return Result::Closed;
    }
    const Result result = waitFor([this] { return socket_.bytesToWrite() == 0 || lost(); });
    if (result == Result::Sent && socket_.bytesToWrite() > 0)
        return Result::Closed;
    return result;
}

bool FileSender::fill(QByteArray& block)
{
    while (socket_.bytesToWrite() < kHighWater && !file_.atEnd()) {
        const qint64 got = file_.read(block.data(), kBlock);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        socket_.write(block.constData(), got);
    }
    return true;
}

FileSender::Result FileSender::waitFor(const std::function<bool()>& done)
{
    switch (wait_.until(done)) {
    case EventWait::Outcome::TimedOut:
        return Result::TimedOut;
    case EventWait::Outcome::Aborted:
        return Result::Aborted;
    default:
        return Result::Sent;
    }
}
