#pragma once
// Replacing a file so that it is either the old file or the complete new one, never a part: the
// bytes go to a temporary file beside the target, which is renamed over it only when every write
// and the close succeeded. A full disk leaves the old file and no temporary file behind. A writer
// killed outright leaves its temporary file; the next replacement in that folder removes it.
// Paths may hold bytes that are not UTF-8 (PathBytes); the file gets exactly those bytes as its name.
#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <functional>
#include <optional>
#include <sys/types.h>

// Takes the next bytes of a file being written; false when they could not be stored.
using ByteSink = std::function<bool(const char* data, qint64 size)>;

class FileReplacer
{
  public:
    // Empty on success, otherwise why the file could not be written; the old file then stays.
    // The new file gets `mode` exactly, or else 0666 less the umask.
    static QString replace(const QString& path, const std::function<bool(const ByteSink&)>& produce,
                           std::optional<mode_t> mode = std::nullopt);
    static QString replace(const QString& path, const QByteArray& bytes, std::optional<mode_t> mode = std::nullopt);

    // Whether a file name is that of one of our temporary files.
    static bool isTemporaryName(const QString& fileName);
    // Removes the temporary files in the folder that no running writer holds; returns how many.
    static int removeLeftovers(const QString& folder);
};
