#pragma once
// The command line as text, with every file name's bytes kept (PathBytes): an argument that is
// not UTF-8 names exactly the file it named. Qt's file functions cannot take such a name, so the
// tool reaches those files through the functions below, which use the bytes.
#include <QtCore/QStringList>

class ArgumentPaths
{
  public:
    static QStringList decode(int argc, char** argv);

    // Whether the name is that of a folder, or of anything at all (symbolic links followed).
    static bool isFolder(const QString& path);
    static bool exists(const QString& path);
    // Makes the folder and the folders above it that are missing; false when one cannot be made.
    static bool makeFolders(const QString& path);
    // Folder and name joined with one '/'.
    static QString join(const QString& folder, const QString& name);
    // The name's last part without its last extension: "a/caf\xe9.x.jpg" gives "caf\xe9.x".
    static QString baseName(const QString& path);
};

// A file to read by a name Qt's file functions take: the name itself when it is UTF-8, otherwise
// /proc/self/fd/N of the file, opened once without being read (so even a FIFO does not block) and
// held while this object lives. A name that opens nothing is kept, and is then simply not found.
class ReadablePath
{
  public:
    explicit ReadablePath(const QString& given);
    ~ReadablePath();
    ReadablePath(const ReadablePath&) = delete;
    ReadablePath& operator=(const ReadablePath&) = delete;

    const QString& given() const { return given_; }
    const QString& path() const { return path_; }
    // A message about path() made to name the file as given.
    QString named(QString message) const;
    // A text with the descriptor names of every ReadablePath alive replaced by the names given.
    static QString namedAsGiven(const QString& text);

  private:
    QString given_;
    QString path_;
    int fd_ = -1;
};
