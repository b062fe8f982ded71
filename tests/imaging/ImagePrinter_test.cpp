#include "imaging/drawing/ImagePrinter.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr QRgb kKey = qRgb(254, 254, 254);
constexpr QRgb kPen = qRgb(0, 0, 0);
constexpr QRgb kBrush = qRgb(192, 192, 192);

QImage surface(int w = 40, int h = 40)
{
    return PixelProbe::filled(w, h, kKey);
}

// The attribute sets the pen tools use.
ImagePrinter printer(int penWidth, bool fill = true)
{
    ImagePrinter p;
    p.clearProperty();
    p.attributes().penWidth = penWidth;
    p.attributes().penColor = kPen;
    p.attributes().brushColor = kBrush;
    p.attributes().brushStyle = fill ? PrintAttributes::kBrushSolid : PrintAttributes::kBrushNone;
    return p;
}

// The dot tool's rectangle: centre +- width / 2, truncated toward zero.
QRect dotBox(int px, int py, int w)
{
    return QRect(QPoint(int(px - w * 0.5), int(py - w * 0.5)), QPoint(int(px + w * 0.5), int(py + w * 0.5)));
}

QString drawDot(int px, int py, int w, QRect area)
{
    QImage s = surface();
    ImagePrinter p = printer(1);
    p.attributes().brushColor = kPen;
    const QRect box = dotBox(px, py, w);
    EXPECT_TRUE(p.ellipse(s, box.left(), box.top(), box.right(), box.bottom()));
    return PixelProbe::map(s, area, kKey);
}

} // namespace

TEST(ImagePrinterShapesTest, DotsCoverTheGdiPixels)
{
    // Width 3 at (10, 10): box (8, 8, 11, 11), right and bottom excluded -> the five-pixel plus at (9, 9).
    EXPECT_EQ(dotBox(10, 10, 3), QRect(QPoint(8, 8), QPoint(11, 11)));
    EXPECT_EQ(drawDot(10, 10, 3, QRect(7, 7, 5, 5)), QString(".....\n"
                                                             "..#..\n"
                                                             ".###.\n"
                                                             "..#..\n"
                                                             ".....\n"));
    // Width 4: box (8, 8, 12, 12) -> 4 x 4 less its corners.
    EXPECT_EQ(drawDot(10, 10, 4, QRect(7, 7, 6, 6)), QString("......\n"
                                                             "..##..\n"
                                                             ".####.\n"
                                                             ".####.\n"
                                                             "..##..\n"
                                                             "......\n"));
    // Width 1: one pixel, except at the origin where the box truncates to nothing.
    EXPECT_EQ(drawDot(10, 10, 1, QRect(8, 8, 3, 3)), QString("...\n.#.\n...\n"));
    EXPECT_EQ(drawDot(0, 0, 1, QRect(0, 0, 3, 3)), QString("...\n...\n...\n"));
}

TEST(ImagePrinterShapesTest, LargerEllipsesAreSymmetricDiscs)
{
    for (const int size : {5, 6, 9, 16}) {
        QImage s = surface();
        printer(1).ellipse(s, 2, 2, 2 + size, 2 + size);
        const QImage disc = s.copy(2, 2, size, size);
        EXPECT_EQ(disc, disc.mirrored(true, false)) << size;
        EXPECT_EQ(disc, disc.mirrored(false, true)) << size;
        EXPECT_EQ(disc, disc.transformed(QTransform().rotate(90))) << size;
        // The box is touched on every side and nothing lies outside it.
        EXPECT_EQ(PixelProbe::count(s, kKey), 40 * 40 - (size * size - PixelProbe::count(disc, kKey)));
        EXPECT_NE(disc.pixel(size / 2, 0), kKey);
        EXPECT_NE(disc.pixel(0, size / 2), kKey);
        EXPECT_EQ(disc.pixel(0, 0), kKey);
    }
    // The 5 x 5 circle: the familiar shape with cut corners.
    QImage s = surface();
    printer(1).ellipse(s, 0, 0, 5, 5);
    EXPECT_EQ(PixelProbe::map(s, QRect(0, 0, 5, 5), kKey), QString(".###.\n#####\n#####\n#####\n.###.\n"));
}

TEST(ImagePrinterShapesTest, EllipseOutlineAndFillUseTheirColours)
{
    QImage s = surface();
    printer(1).ellipse(s, 0, 0, 9, 9);
    EXPECT_EQ(s.pixel(4, 0), kPen);
    EXPECT_EQ(s.pixel(0, 4), kPen);
    EXPECT_EQ(s.pixel(8, 4), kPen);
    EXPECT_EQ(s.pixel(4, 4), kBrush);
    EXPECT_EQ(s.pixel(9, 4), kKey);
    QImage hollow = surface();
    printer(1, false).ellipse(hollow, 0, 0, 9, 9);
    EXPECT_EQ(hollow.pixel(4, 4), kKey);
    EXPECT_EQ(hollow.pixel(4, 8), kPen);
    EXPECT_EQ(PixelProbe::count(hollow, kBrush), 0);
}

TEST(ImagePrinterShapesTest, RectangleExcludesRightAndBottomAndSortsCorners)
{
    QImage s = surface();
    printer(1).rectangle(s, 2, 2, 7, 6);
    EXPECT_EQ(PixelProbe::map(s, QRect(1, 1, 8, 7), kKey), QString("........\n"
                                                                   ".#####..\n"
                                                                   ".#####..\n"
                                                                   ".#####..\n"
                                                                   ".#####..\n"
                                                                   "........\n"
                                                                   "........\n"));
    EXPECT_EQ(s.pixel(2, 2), kPen);
    EXPECT_EQ(s.pixel(6, 5), kPen);
    EXPECT_EQ(s.pixel(3, 3), kBrush);
    EXPECT_EQ(PixelProbe::count(s, kBrush), 3 * 2);
    QImage reversed = surface();
    printer(1).rectangle(reversed, 7, 6, 2, 2);
    EXPECT_EQ(reversed, s);
    QImage hollow = surface();
    printer(1, false).rectangle(hollow, 2, 2, 7, 6);
    EXPECT_EQ(hollow.pixel(3, 3), kKey);
    EXPECT_EQ(PixelProbe::count(hollow, kPen), 14);
}

TEST(ImagePrinterShapesTest, WidePenIsCentredOnTheOutline)
{
    QImage s = surface();
    printer(3).rectangle(s, 10, 10, 21, 21);
    // Border pixels 10 and 20; a 3-pixel pen covers 9..11 and 19..21.
    for (const int x : {9, 10, 11, 19, 20, 21})
        EXPECT_EQ(s.pixel(x, 15), kPen) << x;
    for (const int x : {8, 22})
        EXPECT_EQ(s.pixel(x, 15), kKey) << x;
    EXPECT_EQ(s.pixel(12, 15), kBrush);
    EXPECT_EQ(s.pixel(18, 15), kBrush);
    QImage even = surface();
    printer(2, false).rectangle(even, 10, 10, 21, 21);
    // An even pen leans outwards: 9..10 and 20..21.
    EXPECT_EQ(PixelProbe::map(even, QRect(8, 15, 15, 1), kKey), QString(".##.........##.\n"));
}

TEST(ImagePrinterShapesTest, DegenerateShapesDrawNothing)
{
    QImage s = surface();
    printer(1).rectangle(s, 5, 5, 5, 5);
    printer(1).ellipse(s, 5, 5, 5, 9);
    printer(1).line(s, 5, 5, 5, 5);
    EXPECT_EQ(PixelProbe::count(s, kKey), 40 * 40);
}

TEST(ImagePrinterShapesTest, ThinLineLeavesOutItsLastPoint)
{
    QImage s = surface();
    printer(1).line(s, 0, 0, 5, 0);
    EXPECT_EQ(PixelProbe::map(s, QRect(0, 0, 7, 1), kKey), QString("#####..\n"));
    QImage diagonal = surface();
    printer(1).line(diagonal, 3, 3, 0, 0);
    EXPECT_EQ(PixelProbe::map(diagonal, QRect(0, 0, 4, 4), kKey), QString("....\n.#..\n..#.\n...#\n"));
    QImage steep = surface();
    printer(1).line(steep, 0, 0, 2, 6);
    EXPECT_EQ(PixelProbe::count(steep, kPen), 6); // one pixel per row, the end row left out
}

TEST(ImagePrinterShapesTest, WideLineHasRoundEnds)
{
    QImage s = surface();
    printer(3).line(s, 10, 10, 20, 10);
    EXPECT_EQ(PixelProbe::map(s, QRect(8, 8, 15, 5), kKey), QString("...............\n"
                                                                    ".#############.\n"
                                                                    ".#############.\n"
                                                                    ".#############.\n"
                                                                    "...............\n"));
    QImage thick = surface();
    printer(7).line(thick, 20, 20, 20, 20);
    // A zero-length wide stroke is a round blob, not a square.
    EXPECT_EQ(thick.pixel(20, 17), kPen);
    EXPECT_EQ(thick.pixel(17, 17), kKey);
}

TEST(ImagePrinterShapesTest, NothingIsEverBlended)
{
    QImage s = surface(120, 120);
    ImagePrinter p = printer(5);
    p.ellipse(s, 3, 7, 97, 61);
    p.rectangle(s, 50, 50, 15, 110);
    p.attributes().penWidth = 9;
    p.line(s, 0, 119, 117, 3);
    p.attributes().penWidth = 1;
    p.line(s, 5, 100, 100, 77);
    p.attributes().textColor = qRgb(255, 0, 0);
    p.attributes().fontSize = 20;
    p.attributes().fontItalic = true;
    p.attributes().text = QStringLiteral("Aa漢字");
    ASSERT_TRUE(p.textOut(s, 10, 60));
    EXPECT_EQ(PixelProbe::colors(s), std::set<QRgb>({kKey & 0xffffff, kPen & 0xffffff, kBrush & 0xffffff, 0xff0000}))
        << PixelProbe::keep(s, "blend").toStdString();
}

TEST(ImagePrinterShapesTest, RefusesSurfacesAndModesItCannotDraw)
{
    QImage indexed(10, 10, QImage::Format_Indexed8);
    QString error;
    EXPECT_FALSE(printer(1).rectangle(indexed, 0, 0, 5, 5, &error));
    EXPECT_FALSE(error.isEmpty());
    QImage none;
    EXPECT_FALSE(printer(1).line(none, 0, 0, 5, 5));
    QImage s = surface();
    ImagePrinter xorPen = printer(1);
    xorPen.attributes().drawMode = 7;
    EXPECT_FALSE(xorPen.ellipse(s, 0, 0, 5, 5));
    EXPECT_EQ(PixelProbe::count(s, kKey), 40 * 40);
}

TEST(ImagePrinterPictureTest, ImageOutPlacesKeepsProportionsOrStretches)
{
    QImage stamp = PixelProbe::filled(20, 10, qRgb(255, 0, 0));
    stamp.setPixel(0, 0, qRgb(0, 255, 0));
    QImage s = surface(60, 60);
    ASSERT_TRUE(ImagePrinter::imageOut(s, stamp, 5, 7, 25, 17, true));
    EXPECT_EQ(s.copy(5, 7, 20, 10), stamp.convertToFormat(s.format()));
    EXPECT_EQ(s.pixel(25, 7), kKey);

    QImage fitted = surface(60, 60);
    ImagePrinter::imageOut(fitted, stamp, 40, 40, 0, 0, true); // reversed corners
    // 20 x 10 into 40 x 40 -> 40 x 20, centred vertically at rows 10..29.
    EXPECT_EQ(fitted.pixel(20, 9), kKey);
    EXPECT_EQ(fitted.pixel(20, 10), qRgb(255, 0, 0));
    EXPECT_EQ(fitted.pixel(20, 29), qRgb(255, 0, 0));
    EXPECT_EQ(fitted.pixel(20, 30), kKey);
    EXPECT_EQ(fitted.pixel(1, 11), qRgb(0, 255, 0));

    QImage stretched = surface(60, 60);
    ImagePrinter::imageOut(stretched, stamp, 0, 0, 40, 40, false);
    EXPECT_EQ(PixelProbe::count(stretched, kKey), 60 * 60 - 40 * 40);
    // Nearest-pixel scaling adds no colours, so key areas stay exactly the key.
    QImage keyed = PixelProbe::filled(7, 7, kKey);
    keyed.setPixel(3, 3, qRgb(0, 0, 255));
    QImage big = PixelProbe::filled(50, 50, qRgb(0, 0, 0));
    ImagePrinter::imageOut(big, keyed, 0, 0, 50, 50, false);
    EXPECT_EQ(PixelProbe::colors(big), std::set<QRgb>({kKey & 0xffffff, 0x0000ff}));
}

TEST(ImagePrinterPictureTest, GetImageFromHdcCopiesTheTopLeft)
{
    QImage s(30, 20, QImage::Format_RGB32);
    s.fill(Qt::blue);
    s.setPixel(4, 3, qRgb(1, 2, 3));
    const QImage grabbed = ImagePrinter::getImageFromHdc(s, 10, 5, 24);
    ASSERT_EQ(grabbed.format(), QImage::Format_RGB888);
    ASSERT_EQ(grabbed.size(), QSize(10, 5));
    EXPECT_EQ(grabbed.pixel(4, 3), qRgb(1, 2, 3));
    QString error;
    EXPECT_TRUE(ImagePrinter::getImageFromHdc(s, 31, 5, 24, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(ImagePrinter::getImageFromHdc(s, 10, 5, 8).isNull());
    EXPECT_TRUE(ImagePrinter::getImageFromHdc(s, 0, 5, 24).isNull());
}

TEST(ImagePrinterShapesTest, ShapesFarOffTheSurfaceAreClippedQuickly)
{
    QImage s = surface();
    ImagePrinter p = printer(50);
    // Huge shapes only cost what lies on the surface; absurd coordinates are refused.
    EXPECT_TRUE(p.ellipse(s, -500000, -500000, 500000, 500000));
    EXPECT_EQ(PixelProbe::colors(s), std::set<QRgb>({kBrush & 0xffffff}));
    EXPECT_TRUE(p.line(s, -900000, 20, 900000, 20));
    EXPECT_EQ(s.pixel(0, 20), kPen);
    QString error;
    EXPECT_FALSE(p.rectangle(s, INT_MIN, 0, INT_MAX, 10, &error));
    EXPECT_FALSE(error.isEmpty());
    p.attributes().fontSize = 5000;
    p.attributes().text = QStringLiteral("x");
    EXPECT_FALSE(p.textOut(s, 0, 0));
}
