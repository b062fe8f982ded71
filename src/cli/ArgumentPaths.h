#pragma once
// The command line as text. An argument that is not valid UTF-8 cannot pass through a QString and
// back to the same bytes, so when it names an existing file or folder it is opened once and passed
// on as /proc/self/fd/N, which reaches exactly that file.
#include <QtCore/QStringList>

class ArgumentPaths
{
  public:
    static QStringList decode(int argc, char** argv);
};
