#include "workspace/ClipboardPicture.h"

#include <QtCore/QMimeData>
#include <gtest/gtest.h>

#include <webp/encode.h>

namespace {

QByteArray losslessWebp(const QImage& rgb)
{
    uint8_t* encoded = nullptr;
    const size_t size =
        WebPEncodeLosslessRGB(rgb.constBits(), rgb.width(), rgb.height(), int(rgb.bytesPerLine()), &encoded);
    QByteArray bytes(reinterpret_cast<const char*>(encoded), qsizetype(size));
    WebPFree(encoded);
    return bytes;
}

} // namespace

TEST(ClipboardPicture, ReadsTheFilesBytesFirstAndQtsPictureOtherwise)
{
    QImage photo(5, 3, QImage::Format_RGB888);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            photo.setPixel(x, y, qRgb(x * 50, y * 80, 90));
    QMimeData webp;
    webp.setData(QStringLiteral("image/webp"), losslessWebp(photo));
    EXPECT_EQ(ClipboardPicture::read(&webp).convertToFormat(QImage::Format_RGB888), photo);

    // Damaged bytes are passed over for the picture the copying program also offered.
    QMimeData both;
    both.setData(QStringLiteral("image/webp"), QByteArray("RIFF\x10\0\0\0WEBPVP8 ", 16));
    QImage offered(2, 2, QImage::Format_RGB32);
    offered.fill(Qt::yellow);
    both.setImageData(offered);
    EXPECT_EQ(ClipboardPicture::read(&both).size(), QSize(2, 2));

    QMimeData text;
    text.setText(QStringLiteral("no picture"));
    EXPECT_TRUE(ClipboardPicture::read(&text).isNull());
    EXPECT_TRUE(ClipboardPicture::read(nullptr).isNull());
}
