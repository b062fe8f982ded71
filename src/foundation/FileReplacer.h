#pragma once
// Replacing a file so that it is either the old file or the complete new one, never a part: the
// bytes go to a temporary file beside the target, which is renamed over it only when every write
// and the close succeeded. A full disk leaves the old file and no temporary file behind.
#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <functional>

// Takes the next bytes of a file being written; false when they could not be stored.
using ByteSink = std::function<bool(const char* data, qint64 size)>;

class FileReplacer
{
  public:
    // Empty on success, otherwise why the file could not be written; the old file then stays.
    static QString replace(const QString& path, const std::function<bool(const ByteSink&)>& produce);
    static QString replace(const QString& path, const QByteArray& bytes);
};
