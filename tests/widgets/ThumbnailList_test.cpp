#include "imaging/codecs/ImageFolder.h"
#include "imaging/codecs/ThumbnailLoader.h"
#include "widgets/ThumbnailList.h"

#include "support/PixelProbe.h"

#include <QtCore/QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

void touch(const QString& path, const QByteArray& bytes = "x")
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(ThumbnailListTest, ListsPictureFilesByExtensionSortedByName)
{
    QTemporaryDir dir;
    for (const char* name : {"b.PNG", "a.jpg", "C.Jpeg", "d.gif", "e.bmp", "notes.txt", "f.tif", "g.jpg.bak", "noext"})
        touch(dir.filePath(QString::fromLatin1(name)));
    QDir(dir.path()).mkdir(QStringLiteral("folder.png"));
    EXPECT_EQ(ImageFolder::list(dir.path()),
              (QStringList{QStringLiteral("a.jpg"), QStringLiteral("b.PNG"), QStringLiteral("C.Jpeg"),
                           QStringLiteral("d.gif"), QStringLiteral("e.bmp")}));
    EXPECT_TRUE(ImageFolder::list(dir.filePath(QStringLiteral("missing"))).isEmpty());
    EXPECT_TRUE(ImageFolder::list(QString()).isEmpty());
}

TEST(ThumbnailListTest, MakesFittedThumbnailsAndSkipsBrokenFiles)
{
    QTemporaryDir dir;
    const QImage wide = PixelProbe::filled(640, 320, qRgb(200, 30, 30));
    ASSERT_TRUE(wide.save(dir.filePath(QStringLiteral("wide.jpg")), "JPEG", 95));
    ASSERT_TRUE(PixelProbe::filled(30, 20, qRgb(0, 0, 255)).save(dir.filePath(QStringLiteral("small.png"))));
    touch(dir.filePath(QStringLiteral("broken.bmp")), "not a picture");
    const QImage thumb = ThumbnailLoader::makeThumbnail(dir.filePath(QStringLiteral("wide.jpg")), 64);
    EXPECT_EQ(thumb.size(), QSize(64, 32));
    EXPECT_NEAR(qRed(thumb.pixel(30, 15)), 200, 6);
    EXPECT_EQ(ThumbnailLoader::makeThumbnail(dir.filePath(QStringLiteral("small.png")), 64).size(), QSize(30, 20));
    EXPECT_TRUE(ThumbnailLoader::makeThumbnail(dir.filePath(QStringLiteral("broken.bmp")), 64).isNull());
    // Through the program's own decoders: a header declaring 20000 x 20000 is refused before decoding.
    QByteArray huge(54, '\0');
    huge[0] = 'B', huge[1] = 'M', huge[10] = 54, huge[14] = 40, huge[26] = 1, huge[28] = 24;
    huge[18] = char(0x20), huge[19] = char(0x4E), huge[22] = char(0x20), huge[23] = char(0x4E); // 20000
    touch(dir.filePath(QStringLiteral("huge.bmp")), huge);
    EXPECT_TRUE(ThumbnailLoader::makeThumbnail(dir.filePath(QStringLiteral("huge.bmp")), 64).isNull());
    QFile::remove(dir.filePath(QStringLiteral("huge.bmp")));

    ThumbnailList list;
    list.setFilePath(dir.path());
    EXPECT_EQ(list.getFiles(),
              (QStringList{QStringLiteral("broken.bmp"), QStringLiteral("small.png"), QStringLiteral("wide.jpg")}));
    EXPECT_EQ(list.count(), 3);
    ASSERT_TRUE(list.waitForThumbnails(30000));
    EXPECT_TRUE(list.item(2)->data(Qt::UserRole).toBool());
    EXPECT_FALSE(list.item(0)->data(Qt::UserRole).toBool());
}

TEST(ThumbnailListTest, ClickSelectsAndAnnouncesTheFile)
{
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("heart.bmp")));
    touch(dir.filePath(QStringLiteral("star.png")));
    ThumbnailList list;
    list.setFilePath(dir.path());
    list.getFiles();
    EXPECT_TRUE(list.selectedFile().isEmpty());
    QStringList announced;
    QObject::connect(&list, &ThumbnailList::fileSelected, [&](const QString& name) { announced.append(name); });
    emit list.itemClicked(list.item(1));
    EXPECT_EQ(list.selectedFile(), QStringLiteral("star.png"));
    EXPECT_EQ(announced, QStringList{QStringLiteral("star.png")});
    // Listing again (or another folder) forgets the selection.
    list.getFiles();
    EXPECT_TRUE(list.selectedFile().isEmpty());
    list.setExtensions({QStringLiteral("png")});
    EXPECT_EQ(list.getFiles(), QStringList{QStringLiteral("star.png")});
    list.waitForThumbnails(30000);
}

// The chosen file's name stays readable: on the highlight, in the highlighted-text colour, as wide
// as the name, and the names of the others stay in the text colour on the list's own ground.
TEST(ThumbnailListTest, TheChosenNameStandsOnTheHighlight)
{
    QTemporaryDir dir;
    for (const char* name : {"cat.png", "film_240x320.png"})
        ASSERT_TRUE(PixelProbe::filled(40, 40, qRgb(0, 160, 0)).save(dir.filePath(QString::fromLatin1(name))));
    ThumbnailList list;
    QPalette palette = list.palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Highlight, QColor(0, 0, 255));
    palette.setColor(QPalette::HighlightedText, QColor(255, 255, 0));
    list.setPalette(palette);
    list.resize(300, 200);
    list.setFilePath(dir.path());
    list.getFiles();
    ASSERT_TRUE(list.waitForThumbnails(30000));
    list.item(0)->setSelected(true);
    list.show();
    const QImage shown = list.viewport()->grab().toImage();

    auto captionOf = [&](int row) {
        const QRect cell = list.visualItemRect(list.item(row));
        return QRect(cell.left(), cell.top() + ThumbnailList::kThumbnailSize + 2, cell.width(),
                     cell.height() - ThumbnailList::kThumbnailSize - 2);
    };
    // Letters are smoothed at their edges: a colour is taken as near it.
    auto count = [&](const QRect& area, QRgb colour, QRect* bounds = nullptr) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QRgb p = shown.rect().contains(x, y) ? shown.pixel(x, y) : qRgb(128, 128, 128);
                if (std::abs(qRed(p) - qRed(colour)) + std::abs(qGreen(p) - qGreen(colour)) +
                        std::abs(qBlue(p) - qBlue(colour)) >
                    120)
                    continue;
                ++n;
                if (bounds)
                    *bounds |= QRect(x, y, 1, 1);
            }
        return n;
    };
    QRect highlight;
    count(captionOf(0), qRgb(0, 0, 255), &highlight);
    EXPECT_GE(highlight.width(), list.fontMetrics().horizontalAdvance(QStringLiteral("cat.png")) - 2);
    EXPECT_GE(highlight.height(), list.fontMetrics().ascent());
    EXPECT_GT(count(highlight, qRgb(255, 255, 0)), 20); // the name's letters on it
    // The other name: dark letters, no highlight.
    EXPECT_EQ(count(captionOf(1), qRgb(0, 0, 255)), 0);
    EXPECT_GT(count(captionOf(1), qRgb(0, 0, 0)), 20);
}
