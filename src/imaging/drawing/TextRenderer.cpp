#include "imaging/drawing/TextRenderer.h"

#include "imaging/drawing/FontSubstitutes.h"

#include <QtCore/QTextBoundaryFinder>
#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>
#include <QtGui/QTransform>

#include <cmath>

QFont TextRenderer::font(const PrintAttributes& attributes)
{
    FontSubstitutes::install(); // the stored face names are Windows ones; never draw with the wrong face
    QFont f(attributes.fontName);
    f.setPixelSize(std::max(1, int(std::lround(attributes.fontSize * 96.0 / 72.0))));
    f.setBold(attributes.fontBold);
    f.setItalic(attributes.fontItalic);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

QStringList TextRenderer::graphemes(const QString& text)
{
    QStringList parts;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int start = 0;
    while (finder.toNextBoundary() > 0) {
        parts.append(text.mid(start, finder.position() - start));
        start = finder.position();
    }
    return parts;
}

QImage TextRenderer::drawLine(const QFont& font, const QString& text, int padding, QSize& cell)
{
    const QFontMetrics metrics(font);
    cell = QSize(metrics.horizontalAdvance(text), metrics.height());
    QImage image(cell + QSize(2 * padding, 2 * padding), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.setLayoutDirection(Qt::LeftToRight);
    painter.drawText(QPoint(padding, padding + metrics.ascent()), text);
    return image;
}

QImage TextRenderer::drawColumn(const QFont& font, const QStringList& glyphs, int padding, QSize& cell)
{
    const QFontMetrics metrics(font);
    int width = 0;
    for (const QString& g : glyphs)
        width = std::max(width, metrics.horizontalAdvance(g));
    cell = QSize(width, metrics.height() * int(glyphs.size()));
    QImage image(cell + QSize(2 * padding, 2 * padding), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::white);
    for (int i = 0; i < glyphs.size(); ++i) {
        const int x = padding + (width - metrics.horizontalAdvance(glyphs[i])) / 2;
        painter.drawText(QPoint(x, padding + i * metrics.height() + metrics.ascent()), glyphs[i]);
    }
    return image;
}

TextRenderer::Mask TextRenderer::render(const PrintAttributes& attributes)
{
    const QFont f = font(attributes);
    // Room for italic slant and glyphs that reach beyond their advance.
    const int padding = QFontMetrics(f).height() / 2 + 2;
    QStringList glyphs = graphemes(attributes.text);
    if (attributes.textDirection == 1 || attributes.textDirection == 3)
        std::reverse(glyphs.begin(), glyphs.end());
    QSize cell;
    const QImage drawn = attributes.textDirection >= 2 ? drawColumn(f, glyphs, padding, cell)
                                                       : drawLine(f, glyphs.join(QString()), padding, cell);
    if (drawn.isNull())
        return {}; // too large to render
    QImage mask(drawn.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < drawn.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
        uchar* dst = mask.scanLine(y);
        for (int x = 0; x < drawn.width(); ++x)
            dst[x] = qGray(src[x]) >= 128 ? 255 : 0;
    }
    const int quarters = ((attributes.textAngle / 90) % 4 + 4) % 4;
    if (quarters != 0)
        mask = mask.transformed(QTransform().rotate(-90.0 * quarters)).convertToFormat(QImage::Format_Grayscale8);
    // The text position is the top-left corner of the unturned box (first character's top-left for
    // left to right, top to bottom and, reversed, right to left and bottom to top); the box turns
    // about it. It ends up at the turned box's top-left (0), bottom-left (90), bottom-right (180) or
    // top-right (270) corner.
    const QPoint corners[4] = {{0, 0}, {0, -cell.width()}, {-cell.width(), -cell.height()}, {-cell.height(), 0}};
    const QSize turnedCell = quarters % 2 ? cell.transposed() : cell;
    const QPoint boxAt = corners[quarters];
    return {mask, boxAt - QPoint(padding, padding), QRect(boxAt, turnedCell)};
}
