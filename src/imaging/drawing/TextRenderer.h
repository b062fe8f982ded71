// Renders one line of text as a two-level mask: set pixels are text, all others background.
#pragma once

#include "imaging/drawing/PrintAttributes.h"

#include <QtGui/QFont>
#include <QtGui/QImage>

class TextRenderer
{
  public:
    struct Mask
    {
        QImage image;  // Format_Grayscale8, 255 = text, 0 = background
        QPoint origin; // where the mask's top-left lands relative to the text position
        QRect cell;    // the text's own box (without overhangs), relative to the text position
    };

    // Never antialiased; the layout follows textDirection, then the whole block turns by textAngle.
    // The text box turns about the text position, which is the unturned box's top-left corner.
    static Mask render(const PrintAttributes& attributes);

    // The font the attributes name, at points * 96 / 72 pixels, without antialiasing.
    static QFont font(const PrintAttributes& attributes);

  private:
    static QStringList graphemes(const QString& text);
    static QImage drawLine(const QFont& font, const QString& text, int padding, QSize& cell);
    static QImage drawColumn(const QFont& font, const QStringList& glyphs, int padding, QSize& cell);
};
