// Replacing files: a writer killed outright leaves a temporary file, and the next replacement in
// that folder removes it, but only its own, and only when no living writer holds it.
#include "foundation/FileReplacer.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

TEST(FileReplacerTest, ALeftoverOfAKilledSaveIsRemovedByTheNextSaveIntoTheFolder)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("photo.jpg"));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FileReplacer::replace(target, [](const ByteSink& sink) {
            sink("half", 4);
            ::kill(::getpid(), SIGKILL); // kill -9 in the middle of the save
            return true;
        });
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    const QStringList left = filesIn(dir.path());
    ASSERT_EQ(left.size(), 1);
    EXPECT_TRUE(FileReplacer::isTemporaryName(left[0])) << left[0].toStdString();

    // Files that only look alike, and a temporary file a living writer still holds, stay.
    const QStringList others{QStringLiteral("notes.pictorel~draft.txt"), QStringLiteral("photo.jpg.tmp1"),
                             QStringLiteral("mine.pictorel~")};
    for (const QString& name : others) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString held = dir.filePath(QStringLiteral("other.png.pictorel~abc12"));
    const int holder = ::open(QFile::encodeName(held).constData(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);

    EXPECT_EQ(FileReplacer::replace(dir.filePath(QStringLiteral("next.bmp")), QByteArray("BM")), QString());
    QStringList expected = others;
    expected << QStringLiteral("next.bmp") << QStringLiteral("other.png.pictorel~abc12");
    expected.sort();
    EXPECT_EQ(filesIn(dir.path()), expected);
    ::close(holder);
}
