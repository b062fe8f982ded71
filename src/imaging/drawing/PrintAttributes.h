// The pen, brush and text settings that ImagePrinter draws with. The defaults are what clearProperty() restores.
#pragma once

#include <QtCore/QString>
#include <QtGui/QRgb>

struct PrintAttributes
{
    static constexpr int kPenSolid = 1;
    static constexpr int kPenNone = 0;
    static constexpr int kBrushSolid = 1;
    static constexpr int kBrushNone = 0;
    static constexpr int kDrawCopyPen = 13; // the pen colour replaces the pixel

    int penWidth = 1;            // pixels
    int penStyle = kPenSolid;    // 1 solid, 0 none
    int drawMode = kDrawCopyPen; // only copy-pen is drawn
    QRgb penColor = 0xff000000;
    int brushStyle = kBrushSolid; // 1 solid fill, 0 outline only
    QRgb brushColor = 0xffffffff;

    QRgb textColor = 0xff000000;
    QString fontName = QStringLiteral("ＭＳ Ｐゴシック");
    int fontSize = 9; // points, at 96 pixels per inch
    bool fontBold = false;
    bool fontItalic = false;
    bool textTransparent = true; // false: the text box is first filled with white
    int textDirection = 0;       // 0 left to right, 1 right to left, 2 top to bottom, 3 bottom to top
    int textAngle = 0;           // 0, 90, 180 or 270 degrees, anticlockwise
    QString text;
};
