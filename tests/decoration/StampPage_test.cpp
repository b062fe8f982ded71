#include "decoration/DrawingLayers.h"
#include "decoration/FrameCommand.h"
#include "decoration/StampTool.h"
#include "decoration/pages/FramePage.h"
#include "decoration/pages/StampPage.h"
#include "foundation/ProgramOptions.h"
#include "support/ScriptedPrompts.h"
#include "widgets/ImageDisplay.h"
#include "widgets/ThumbnailList.h"
#include "workspace/UndoHistory.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <gtest/gtest.h>

namespace {

class PicturePagesTest : public ::testing::Test
{
  protected:
    QString folder() const { return dir.path() + QLatin1Char('/'); }
    void touch(const QString& name, const QByteArray& bytes = "x")
    {
        QFile file(folder() + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QListWidgetItem* itemNamed(ThumbnailList* list, const QString& name)
    {
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text() == name)
                return list->item(i);
        return nullptr;
    }

    QTemporaryDir dir;
    UndoHistory undo{folder()};
    ScriptedPrompts prompts;
    DrawingLayers layers{undo, prompts};
    ProgramOptions options;
    StampTool tool{layers, prompts, folder()};
    FrameCommand frames{layers, options, folder()};
};

} // namespace

TEST_F(PicturePagesTest, StampPageListsEveryOfferedTypeAndPreviewsThePickedStamp)
{
    QImage star(24, 20, QImage::Format_RGB32);
    star.fill(qRgb(255, 200, 0));
    ASSERT_TRUE(star.save(folder() + QStringLiteral("star.png")));
    for (const char* name :
         {"a.BMP", "b.Tif", "c.pcx", "d.FPX", "e.wmf", "f.EMF", "g.dxf", "h.GIF", "i.jpg", "notes.txt", "j.jpeg"})
        touch(QString::fromLatin1(name));
    StampPage page(tool);
    page.listFiles();
    EXPECT_EQ(page.IkThumbStamp->files(), (QStringList{"a.BMP", "b.Tif", "c.pcx", "d.FPX", "e.wmf", "f.EMF", "g.dxf",
                                                       "h.GIF", "i.jpg", "star.png"}));
    ASSERT_TRUE(page.IkThumbStamp->waitForThumbnails(30000));
    // Files that cannot be decoded keep the neutral placeholder; the star gets its thumbnail.
    EXPECT_FALSE(itemNamed(page.IkThumbStamp, QStringLiteral("d.FPX"))->data(Qt::UserRole).toBool());
    EXPECT_TRUE(itemNamed(page.IkThumbStamp, QStringLiteral("star.png"))->data(Qt::UserRole).toBool());

    emit page.IkThumbStamp->itemClicked(itemNamed(page.IkThumbStamp, QStringLiteral("star.png")));
    EXPECT_EQ(page.edStampName->text(), QStringLiteral("star"));
    EXPECT_EQ(page.IkDispStamp->image().size(), QSize(24, 20));
    EXPECT_EQ(tool.selectedFile(), QStringLiteral("star.png"));

    // An unreadable stamp: the new name, an empty preview, no message.
    emit page.IkThumbStamp->itemClicked(itemNamed(page.IkThumbStamp, QStringLiteral("d.FPX")));
    EXPECT_EQ(page.edStampName->text(), QStringLiteral("d"));
    EXPECT_FALSE(page.IkDispStamp->hasImage());
    EXPECT_EQ(tool.StampSize, QSize(24, 20));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(PicturePagesTest, FramePageShowsThePickedNameAndDrawsOnlyWithASelection)
{
    QImage frame(240, 240, QImage::Format_RGB32);
    frame.fill(qRgb(30, 60, 90));
    ASSERT_TRUE(frame.save(folder() + QStringLiteral("blue.bmp")));
    FramePage page(frames, prompts);
    page.listFiles();
    ASSERT_EQ(page.IkThumbFrames->count(), 1);
    page.btDrawFrame->click();
    ASSERT_EQ(prompts.texts(), QStringList{QStringLiteral("フレームが選択されていません。")});
    EXPECT_FALSE(layers.layer(0).visible);

    emit page.IkThumbFrames->itemClicked(page.IkThumbFrames->item(0));
    EXPECT_EQ(page.edFrameName->text(), QStringLiteral("blue"));
    EXPECT_FALSE(layers.layer(0).visible); // picking draws nothing yet
    page.btDrawFrame->click();
    EXPECT_TRUE(layers.layer(0).visible);
    EXPECT_EQ(layers.layer(0).picture.pixel(100, 100), qRgb(30, 60, 90));
    EXPECT_TRUE(layers.drawingPending());
    page.IkThumbFrames->waitForThumbnails(30000);
}
