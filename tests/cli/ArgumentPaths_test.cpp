#include "RawNames.h"
#include "cli/ArgumentPaths.h"
#include "cli/ConsoleDevice.h"
#include "foundation/PathBytes.h"

#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTemporaryFile>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

TEST(ArgumentPathsTest, EveryArgumentKeepsItsBytesAndUtf8StaysPlainText)
{
    struct Case
    {
        QByteArray bytes;
        bool utf8;
    };
    const Case cases[] = {
        {"photo.jpg", true},
        {"写真/夏.jpg", true},
        {"\xf0\x9f\x93\xb7.png", true},              // a character beyond the first plane: a surrogate pair
        {"\xef\xbf\xbd.jpg", true},                  // U+FFFD written out is a name of its own
        {"caf\xe9.jpg", false},                      // Latin-1
        {"\x83\x74\x83\x40\x83\x43\x83\x8b", false}, // Shift_JIS
        {"\xed\xa0\x80\xed\xb2\x80", false},         // surrogates written as UTF-8
        {"\xc0\xaf\xe0\x80\xaf", false},             // overlong forms
        {"\xe3\x81", false},                         // cut off at the end
        {"\xf4\x90\x80\x80\xf5\xff", false},         // beyond U+10FFFF
        {"\xf0\x9f\x93\xb7\xe9\xf0\x9f\x93\xb7", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        QByteArray argument = c.bytes;
        char* argv[] = {argument.data()};
        const QString text = ArgumentPaths::decode(1, argv).first();
        EXPECT_EQ(PathBytes::toBytes(text), c.bytes);
        EXPECT_EQ(PathBytes::holdsRawBytes(text), !c.utf8);
        if (c.utf8) {
            EXPECT_EQ(text, QString::fromUtf8(c.bytes));
        }
    }
}

TEST(ArgumentPathsTest, TheConsoleWritesTextAsUtf8AndNamesAsTheirBytes)
{
    QTemporaryFile file; // not a pipe: nothing reads while the stream writes
    ASSERT_TRUE(file.open());
    {
        ConsoleDevice device(file.handle());
        QTextStream stream;
        device.attach(stream);
        const QString name = PathBytes::fromBytes("r\xe9sum\xe9 \xf0\x9f\x93\xb7.jpg");
        stream << "写真 " << name << ": 12 bytes\n" << Qt::flush;
        // A long message crosses the stream's buffer: pairs and bytes split between writes stay whole.
        stream << QString(20000, QLatin1Char('x')) + name + QString(20000, QChar(0x5199)) << Qt::flush;
    }
    ASSERT_TRUE(file.seek(0));
    const QByteArray written = file.readAll();
    const QByteArray name = "r\xe9sum\xe9 \xf0\x9f\x93\xb7.jpg";
    EXPECT_EQ(written, "\xe5\x86\x99\xe7\x9c\x9f " + name + ": 12 bytes\n" + QByteArray(20000, 'x') + name +
                           QString(20000, QChar(0x5199)).toUtf8());
}

TEST(ArgumentPathsTest, FoldersAreMadeAndFilesReadByTheirBytes)
{
    QTemporaryDir dir;
    const QString root = PathBytes::fromBytes(QFile::encodeName(dir.path()));
    const QString folder = ArgumentPaths::join(root, PathBytes::fromBytes("d\xe9j\xe0/\xe9t\xe9/"));
    ASSERT_TRUE(ArgumentPaths::makeFolders(folder));
    EXPECT_TRUE(ArgumentPaths::isFolder(folder));
    EXPECT_TRUE(ArgumentPaths::makeFolders(folder)); // already there
    const QByteArray fileBytes = QFile::encodeName(dir.path()) + "/d\xe9j\xe0/\xe9t\xe9/caf\xe9.txt";
    RawNames::write(fileBytes, "bytes");
    const QString file = PathBytes::fromBytes(fileBytes);
    EXPECT_FALSE(ArgumentPaths::makeFolders(ArgumentPaths::join(file, QStringLiteral("below"))));
    EXPECT_EQ(ArgumentPaths::baseName(file), PathBytes::fromBytes("caf\xe9"));
    EXPECT_EQ(ArgumentPaths::baseName(QStringLiteral("a/b.c.jpg")), QStringLiteral("b.c"));

    const ReadablePath readable(file);
    QFile opened(readable.path());
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly)) << readable.path().toStdString();
    EXPECT_EQ(opened.readAll(), "bytes");
    EXPECT_EQ(PathBytes::toBytes(readable.named(
                  QStringLiteral("cannot read %1\n%2").arg(readable.path(), QFileInfo(readable.path()).fileName()))),
              "cannot read " + fileBytes + "\ncaf\xe9.txt");
    // Details from deeper down name the descriptor; they are shown with the name given.
    const QString detail = readable.path() + QStringLiteral(": bad; /proc/self/fd/99999 and ") + readable.path();
    EXPECT_EQ(PathBytes::toBytes(ReadablePath::namedAsGiven(detail)),
              fileBytes + ": bad; /proc/self/fd/99999 and " + fileBytes);
    const ReadablePath missing(ArgumentPaths::join(folder, PathBytes::fromBytes("gone\xe9.txt")));
    EXPECT_FALSE(QFile::exists(missing.path()));
    RawNames::removeContents(QFile::encodeName(dir.path()));
}
