#pragma once
// Runs a piece of a test as a user without root's right to write everywhere, so that a folder's
// rights are obeyed. Under root the piece runs in a child process as uid 65534 ("nobody"); what
// it finds is told through its return value and standard error.
#include <QtCore/QDirIterator>
#include <QtCore/QFile>
#include <QtCore/QString>

#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace OrdinaryUser {

constexpr uid_t id = 65534;

// Gives a folder and everything in it to that user, so the piece can work in it.
inline void handOver(const QString& folder)
{
    if (geteuid() != 0)
        return;
    const auto give = [](const QString& path) {
        if (::chown(QFile::encodeName(path).constData(), id, id) != 0)
            qFatal("cannot give %s to uid %d", qPrintable(path), int(id));
    };
    give(folder);
    for (QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();)
        give(it.next());
}

// True when the piece returned true.
inline bool run(const std::function<bool()>& piece)
{
    if (geteuid() != 0)
        return piece();
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(id) != 0 || setuid(id) != 0)
            _exit(2);
        _exit(piece() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace OrdinaryUser
