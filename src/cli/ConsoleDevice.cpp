#include "cli/ConsoleDevice.h"

#include "foundation/PathBytes.h"

#include <QtCore/QtEndian>

#include <cerrno>
#include <unistd.h>

ConsoleDevice::ConsoleDevice(int fd) : fd_(fd)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

void ConsoleDevice::attach(QTextStream& stream)
{
    stream.setDevice(this);
    stream.setEncoding(QStringConverter::Utf16LE);
    stream.setGenerateByteOrderMark(false);
}

qint64 ConsoleDevice::writeData(const char* data, qint64 size)
{
    pending_.append(data, size);
    QString text(pending_.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(qFromLittleEndian<char16_t>(pending_.constData() + 2 * i));
    qsizetype kept = pending_.size() % 2;
    if (!text.isEmpty() && text.back().isHighSurrogate()) {
        text.chop(1);
        kept += 2;
    }
    pending_ = pending_.right(kept);
    return writeAll(PathBytes::toBytes(text)) ? size : -1;
}

bool ConsoleDevice::writeAll(const QByteArray& bytes)
{
    const char* at = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, at, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += n, left -= n;
    }
    return true;
}
