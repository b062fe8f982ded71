#pragma once
// What kind of thing a path names, asked before a file is opened: opening a FIFO for reading blocks
// until a writer comes, and replacing a device node by rename would destroy it.
#include <QtCore/QString>

class FileKind
{
  public:
    // True when the path exists and is not a regular file (a folder, FIFO, device or socket).
    // Symbolic links are followed; the path may hold bytes that are not UTF-8 (PathBytes).
    static bool isSpecial(const QString& path);
};
