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
    // With `visible` (relative to the text position) only the part of the text that lands there
    // is drawn: a long line at a large size costs no more than the surface it is drawn on.
    static Mask render(const PrintAttributes& attributes, const QRect& visible = {});

    // The font the attributes name, at points * 96 / 72 pixels, without antialiasing.
    static QFont font(const PrintAttributes& attributes);

  private:
    static QStringList graphemes(const QString& text);
    static QSize lineCell(const QFont& font, const QString& text);
    static QSize columnCell(const QFont& font, const QStringList& glyphs);
    // The part `window` of the unturned text image (its cell grown by padding on every side).
    static QImage drawLine(const QFont& font, const QString& text, int padding, const QRect& window);
    static QImage drawColumn(const QFont& font, const QStringList& glyphs, int padding, const QRect& window);
};
