#include "imaging/drawing/ImagePrinter.h"
#include "imaging/drawing/TextRenderer.h"

#include "support/PixelProbe.h"

#include <QtGui/QFontInfo>
#include <gtest/gtest.h>

namespace {

constexpr QRgb kKey = qRgb(254, 254, 254);

PrintAttributes textAttributes(const QString& text, int direction = 0, int angle = 0)
{
    PrintAttributes a;
    a.text = text;
    a.fontSize = 16;
    a.textDirection = direction;
    a.textAngle = angle;
    return a;
}

// The box holding every set pixel of a mask.
QRect inkBox(const QImage& mask)
{
    QRect box;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            if (mask.constScanLine(y)[x])
                box |= QRect(x, y, 1, 1);
    return box;
}

QImage ink(const QImage& mask)
{
    return mask.copy(inkBox(mask));
}

// The renderer installs the face-name substitutions itself.
class TextRendererTest : public testing::Test
{
};

} // namespace

TEST_F(TextRendererTest, JapaneseFaceNameResolvesToAnInstalledJapaneseFont)
{
    const QFont font = TextRenderer::font(textAttributes(QStringLiteral("あ")));
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("IPAPGothic"));
    PrintAttributes mincho = textAttributes(QStringLiteral("あ"));
    mincho.fontName = QStringLiteral("ＭＳ 明朝");
    EXPECT_EQ(QFontInfo(TextRenderer::font(mincho)).family(), QStringLiteral("IPAMincho"));
    // Real glyphs: distinct kana give distinct shapes with plenty of ink (a missing-glyph box would repeat).
    const QImage a = ink(TextRenderer::render(textAttributes(QStringLiteral("あ"))).image);
    const QImage i = ink(TextRenderer::render(textAttributes(QStringLiteral("い"))).image);
    const QImage ka = ink(TextRenderer::render(textAttributes(QStringLiteral("か"))).image);
    EXPECT_GT(PixelProbe::count(a, qRgb(255, 255, 255)), 20);
    EXPECT_NE(a, i);
    EXPECT_NE(a, ka);
    EXPECT_NE(i.size(), a.size());
}

TEST_F(TextRendererTest, PointSizeBecomesPixelsAtNinetySixDpi)
{
    PrintAttributes a = textAttributes(QStringLiteral("x"));
    a.fontSize = 9;
    EXPECT_EQ(TextRenderer::font(a).pixelSize(), 12);
    a.fontSize = 24;
    a.fontBold = true;
    a.fontItalic = true;
    const QFont big = TextRenderer::font(a);
    EXPECT_EQ(big.pixelSize(), 32);
    EXPECT_TRUE(big.bold());
    EXPECT_TRUE(big.italic());
    EXPECT_EQ(big.styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
}

TEST_F(TextRendererTest, MaskHoldsOnlyTwoLevels)
{
    PrintAttributes a = textAttributes(QStringLiteral("Wg漢"));
    a.fontItalic = true;
    const QImage mask = TextRenderer::render(a).image;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            ASSERT_TRUE(mask.constScanLine(y)[x] == 0 || mask.constScanLine(y)[x] == 255);
}

TEST_F(TextRendererTest, DirectionsLayTheCharactersOut)
{
    const QImage across = ink(TextRenderer::render(textAttributes(QStringLiteral("ABC"), 0)).image);
    const QImage down = ink(TextRenderer::render(textAttributes(QStringLiteral("ABC"), 2)).image);
    EXPECT_GT(across.width(), 2 * across.height());
    EXPECT_GT(down.height(), 2 * down.width());
    // Right to left is the reversed string written across; bottom to top the reversed column.
    EXPECT_EQ(ink(TextRenderer::render(textAttributes(QStringLiteral("ABC"), 1)).image),
              ink(TextRenderer::render(textAttributes(QStringLiteral("CBA"), 0)).image));
    EXPECT_EQ(ink(TextRenderer::render(textAttributes(QStringLiteral("ABC"), 3)).image),
              ink(TextRenderer::render(textAttributes(QStringLiteral("CBA"), 2)).image));
}

TEST_F(TextRendererTest, AngleTurnsTheWholeBlockAnticlockwise)
{
    const QImage flat = ink(TextRenderer::render(textAttributes(QStringLiteral("Pictorel"), 0, 0)).image);
    for (const int angle : {90, 180, 270}) {
        const QImage turned = ink(TextRenderer::render(textAttributes(QStringLiteral("Pictorel"), 0, angle)).image);
        EXPECT_EQ(turned, flat.transformed(QTransform().rotate(-angle)).convertToFormat(QImage::Format_Grayscale8))
            << angle;
    }
}

TEST_F(TextRendererTest, TextOutPutsTheTopLeftAtThePoint)
{
    QImage s = PixelProbe::filled(200, 100, kKey);
    ImagePrinter p;
    p.attributes() = textAttributes(QStringLiteral("Hello"));
    p.attributes().textColor = qRgb(0, 0, 255);
    ASSERT_TRUE(p.textOut(s, 50, 30));
    const QRect box = PixelProbe::bounds(s, kKey);
    EXPECT_GE(box.left(), 50);
    EXPECT_LT(box.left(), 54);
    EXPECT_GE(box.top(), 30);
    EXPECT_LT(box.top(), 40);
    EXPECT_EQ(PixelProbe::colors(s), std::set<QRgb>({kKey & 0xffffff, 0x0000ff}));
    // An empty text draws nothing and is no error.
    QImage blank = PixelProbe::filled(50, 50, kKey);
    p.attributes().text.clear();
    EXPECT_TRUE(p.textOut(blank, 5, 5));
    EXPECT_EQ(PixelProbe::count(blank, kKey), 2500);
}

TEST_F(TextRendererTest, OpaqueTextFillsItsBoxWhite)
{
    QImage s = PixelProbe::filled(200, 100, kKey);
    ImagePrinter p;
    p.attributes() = textAttributes(QStringLiteral("Hi"));
    p.attributes().textTransparent = false;
    ASSERT_TRUE(p.textOut(s, 10, 10));
    EXPECT_EQ(s.pixel(10, 10), qRgb(255, 255, 255));
    EXPECT_EQ(s.pixel(9, 10), kKey);
}

TEST_F(TextRendererTest, AnglesTurnTheTextAboutItsPoint)
{
    // Which side of the point the ink lies on, for each angle: the box turns about its top-left.
    struct Case
    {
        int angle;
        bool right;
        bool below;
    };
    const Case cases[] = {{0, true, true}, {90, true, false}, {180, false, false}, {270, false, true}};
    for (const Case& c : cases) {
        QImage s = PixelProbe::filled(300, 300, kKey);
        ImagePrinter p;
        p.attributes() = textAttributes(QStringLiteral("Pictorel"), 0, c.angle);
        ASSERT_TRUE(p.textOut(s, 150, 150));
        const QRect ink = PixelProbe::bounds(s, kKey);
        EXPECT_EQ(ink.left() >= 148, c.right) << c.angle;
        EXPECT_EQ(ink.top() >= 148, c.below) << c.angle;
        EXPECT_EQ(c.right ? ink.left() < 160 : ink.right() < 152, true) << c.angle << " stays next to the point";
    }
}

// Drawing only what lands on the surface gives the surface the same pixels as drawing it whole.
TEST_F(TextRendererTest, OnlyWhatLandsOnTheSurfaceIsDrawnAndItIsTheSame)
{
    const QPoint far(300, 300);
    for (int direction = 0; direction < 4; ++direction)
        for (int angle : {0, 90, 180, 270})
            for (const QPoint at : {QPoint(-30, 10), QPoint(40, -12), QPoint(70, 45), QPoint(5, 5)}) {
                ImagePrinter printer;
                printer.attributes() = textAttributes(QStringLiteral("Pictorel 漢字g"), direction, angle);
                printer.attributes().fontItalic = true;
                QImage whole(800, 800, QImage::Format_RGB32);
                whole.fill(kKey);
                ASSERT_TRUE(printer.textOut(whole, far.x() + at.x(), far.y() + at.y()));
                QImage part(90, 60, QImage::Format_RGB32);
                part.fill(kKey);
                ASSERT_TRUE(printer.textOut(part, at.x(), at.y()));
                EXPECT_EQ(part, whole.copy(QRect(far, part.size())))
                    << "direction " << direction << " angle " << angle << " at " << at.x() << "," << at.y();
            }
}

TEST_F(TextRendererTest, ALongLineAtALargeSizeIsDrawnWithinTheSurface)
{
    // 2000 characters at 200 points once rendered a line half a million pixels long first.
    ImagePrinter printer;
    printer.attributes() = textAttributes(QString(2000, QLatin1Char('W')), 0, 90);
    printer.attributes().fontSize = 200;
    QImage surface(240, 320, QImage::Format_RGB32);
    surface.fill(kKey);
    ASSERT_TRUE(printer.textOut(surface, 20, 300));
    EXPECT_NE(surface.pixel(120, 160), kKey);
    QImage untouched = surface;
    untouched.fill(kKey);
    ASSERT_TRUE(printer.textOut(untouched, 5000, 5000)); // nothing of it lands there
    EXPECT_EQ(untouched.pixel(0, 0), kKey);
}
