#pragma once
// Files whose names are bytes that are not UTF-8, which Qt's file functions cannot name.
#include <QtCore/QByteArray>
#include <QtCore/QList>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace RawNames {

// The names in a folder as the file system holds them, sorted.
inline QList<QByteArray> in(const QByteArray& folder)
{
    QList<QByteArray> names;
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir))
        if (qstrcmp(entry->d_name, ".") != 0 && qstrcmp(entry->d_name, "..") != 0)
            names << QByteArray(entry->d_name);
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

inline void write(const QByteArray& path, const QByteArray& bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);
}

// Empties a folder, names of any bytes included, so that a temporary folder can go.
inline void removeContents(const QByteArray& folder)
{
    ::nftw(
        folder.constData(),
        [](const char* path, const struct stat*, int, FTW* at) { return at->level > 0 ? ::remove(path) : 0; }, 16,
        FTW_DEPTH | FTW_PHYS);
}

} // namespace RawNames
