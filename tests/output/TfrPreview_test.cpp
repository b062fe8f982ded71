#include "imaging/codecs/ImageFile.h"
#include "output/pages/TfrPreview.h"

#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollArea>
#include <gtest/gtest.h>

TEST(TfrPreviewTest, ShowsTheFileAsWrittenAndAnswersWithItsButtons)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("send_img.png"));
    QImage picture(240, 320, QImage::Format_RGB888);
    picture.fill(QColor(10, 200, 30));
    ASSERT_TRUE(ImageFile::save(picture, path, FileFormat::Png, EncodeOptions{}, nullptr));

    TfrPreview preview;
    EXPECT_FALSE(preview.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("作成画像のプレビュー"));
    EXPECT_EQ(preview.lbMessage->text(), QStringLiteral("下記の画像を転送してもよろしいですか？"));
    EXPECT_EQ(preview.imageArea->size(), QSize(480, 480));
    EXPECT_TRUE(preview.btOK->isDefault());
    for (bool ok : {true, false}) {
        QImage shown;
        QTimer::singleShot(0, &preview, [&] {
            shown = preview.IkDispPreview->pixmap().toImage();
            (ok ? preview.btOK : preview.btCancel)->click();
        });
        EXPECT_EQ(preview.confirm(path), ok);
        ASSERT_EQ(shown.size(), QSize(240, 320));
        EXPECT_EQ(shown.pixelColor(120, 160), QColor(10, 200, 30));
    }
}
