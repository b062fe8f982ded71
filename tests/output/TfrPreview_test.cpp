#include "imaging/codecs/ImageFile.h"
#include "output/pages/TfrPreview.h"

#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QScreen>
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

namespace {

// Four quadrants of their own colour, large enough that a reduction keeps each corner's colour.
QImage quadrants(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    const int midX = size.width() / 2, midY = size.height() / 2;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y,
                             y < midY ? (x < midX ? qRgb(220, 0, 0) : qRgb(0, 200, 0))
                                      : (x < midX ? qRgb(0, 0, 230) : qRgb(240, 240, 0)));
    picture.setPixel(0, 0, qRgb(17, 34, 51)); // one odd pixel, seen only when shown one to one
    return picture;
}

} // namespace

// A picture that fits the area is shown pixel for pixel, centred; a larger one whole, reduced with its
// proportions kept and centred, inside a dialog that stays on the screen.
TEST(TfrPreviewTest, ShowsTheWholePictureInTheArea)
{
    struct Case
    {
        QSize picture;
        QSize shown;
    };
    const Case cases[] = {
        {{240, 320}, {240, 320}}, {{480, 480}, {480, 480}}, {{1080, 2400}, {216, 480}}, {{2400, 1080}, {480, 216}}};
    QTemporaryDir folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.picture.width() << " x " << c.picture.height());
        const QString path = folder.filePath(QStringLiteral("send_img.png"));
        const QImage picture = quadrants(c.picture);
        ASSERT_TRUE(ImageFile::save(picture, path, FileFormat::Png, EncodeOptions{}, nullptr));
        TfrPreview preview;
        QImage shown, area;
        bool onScreen = false;
        QTimer::singleShot(0, &preview, [&] {
            shown = preview.IkDispPreview->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
            area = preview.imageArea->grab().toImage().convertToFormat(QImage::Format_RGB32);
            onScreen = preview.screen()->availableGeometry().contains(preview.frameGeometry());
            preview.btCancel->click();
        });
        EXPECT_FALSE(preview.confirm(path));
        EXPECT_TRUE(onScreen);
        ASSERT_EQ(shown.size(), c.shown);
        if (c.shown == c.picture) {
            EXPECT_EQ(shown, picture);
        }
        const QPoint at((480 - c.shown.width()) / 2, (480 - c.shown.height()) / 2);
        ASSERT_EQ(area.size(), QSize(480, 480));
        EXPECT_EQ(area.copy(QRect(at, c.shown)), shown);
        const int right = c.shown.width() - 1, bottom = c.shown.height() - 1;
        EXPECT_EQ(shown.pixel(right, 0), qRgb(0, 200, 0));
        EXPECT_EQ(shown.pixel(0, bottom), qRgb(0, 0, 230));
        EXPECT_EQ(shown.pixel(right, bottom), qRgb(240, 240, 0));
        EXPECT_EQ(shown.pixel(c.shown.width() / 4, c.shown.height() / 4), qRgb(220, 0, 0));
    }
}
