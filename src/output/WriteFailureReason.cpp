#include "output/WriteFailureReason.h"

#include "foundation/PathBytes.h"

#include <QtCore/QFileInfo>

#include <sys/statvfs.h>
#include <unistd.h>

QString WriteFailureReason::describe(const QString& path, qint64 bytes)
{
    const QByteArray folder = PathBytes::toBytes(QFileInfo(path).absolutePath());
    if (::access(folder.constData(), W_OK | X_OK) != 0)
        return QStringLiteral("保存先のフォルダーに書き込む権限がありません。");
    struct statvfs space
    {
    };
    if (::statvfs(folder.constData(), &space) == 0) {
        const qint64 available = qint64(space.f_bavail) * qint64(space.f_frsize);
        if (available == 0 || (bytes > 0 && available < bytes))
            return QStringLiteral("保存先のディスクに空き容量がありません。");
    }
    return {};
}
