#include "cli/ArgumentPaths.h"

#include <fcntl.h>

QStringList ArgumentPaths::decode(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        const QString text = QString::fromUtf8(raw);
        // O_PATH: no read is started, so even a FIFO does not block; the descriptor lives until exit.
        const int fd = text.toUtf8() == raw ? -1 : ::open(raw.constData(), O_PATH | O_CLOEXEC);
        arguments << (fd < 0 ? text : QStringLiteral("/proc/self/fd/%1").arg(fd));
    }
    return arguments;
}
