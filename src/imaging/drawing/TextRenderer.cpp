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

QSize TextRenderer::lineCell(const QFont& font, const QString& text)
{
    const QFontMetrics metrics(font);
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

QSize TextRenderer::columnCell(const QFont& font, const QStringList& glyphs)
{
    const QFontMetrics metrics(font);
    int width = 0;
    for (const QString& g : glyphs)
        width = std::max(width, metrics.horizontalAdvance(g));
    return QSize(width, metrics.height() * int(glyphs.size()));
}

namespace {

// A black picture of the window's size, with a painter that draws in white at text image coordinates.
QImage blankWindow(const QRect& window)
{
    QImage image(window.size(), QImage::Format_RGB32);
    if (!image.isNull())
        image.fill(Qt::black);
    return image;
}

void prepare(QPainter& painter, const QFont& font, const QRect& window)
{
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.setLayoutDirection(Qt::LeftToRight);
    painter.translate(-window.topLeft());
}

} // namespace

QImage TextRenderer::drawLine(const QFont& font, const QString& text, int padding, const QRect& window)
{
    QImage image = blankWindow(window);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    prepare(painter, font, window);
    painter.drawText(QPoint(padding, padding + QFontMetrics(font).ascent()), text);
    return image;
}

QImage TextRenderer::drawColumn(const QFont& font, const QStringList& glyphs, int padding, const QRect& window)
{
    QImage image = blankWindow(window);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    prepare(painter, font, window);
    const QFontMetrics metrics(font);
    const int width = columnCell(font, glyphs).width();
    // Only the characters whose rows (with room for overhangs) meet the window.
    const int first = std::max(0, (window.top() - 2 * padding) / metrics.height() - 1);
    const int last = std::min(int(glyphs.size()) - 1, window.bottom() / metrics.height() + 1);
    for (int i = first; i <= last; ++i) {
        const int x = padding + (width - metrics.horizontalAdvance(glyphs[i])) / 2;
        painter.drawText(QPoint(x, padding + i * metrics.height() + metrics.ascent()), glyphs[i]);
    }
    return image;
}

TextRenderer::Mask TextRenderer::render(const PrintAttributes& attributes, const QRect& visible)
{
    const QFont f = font(attributes);
    // Room for italic slant and glyphs that reach beyond their advance.
    const int padding = QFontMetrics(f).height() / 2 + 2;
    QStringList glyphs = graphemes(attributes.text);
    if (attributes.textDirection == 1 || attributes.textDirection == 3)
        std::reverse(glyphs.begin(), glyphs.end());
    const bool column = attributes.textDirection >= 2;
    const QString line = column ? QString() : glyphs.join(QString());
    const QSize cell = column ? columnCell(f, glyphs) : lineCell(f, line);
    const QRect whole(QPoint(0, 0), cell + QSize(2 * padding, 2 * padding));
    const int quarters = ((attributes.textAngle / 90) % 4 + 4) % 4;
    // The text position is the top-left corner of the unturned box (first character's top-left for
    // left to right, top to bottom and, reversed, right to left and bottom to top); the box turns
    // about it. It ends up at the turned box's top-left (0), bottom-left (90), bottom-right (180) or
    // top-right (270) corner.
    const QPoint corners[4] = {{0, 0}, {0, -cell.width()}, {-cell.width(), -cell.height()}, {-cell.height(), 0}};
    const QSize turnedCell = quarters % 2 ? cell.transposed() : cell;
    const QPoint boxAt = corners[quarters];
    const QPoint turnedAt = boxAt - QPoint(padding, padding); // where the turned image's top-left lands
    const QTransform turn = QImage::trueMatrix(QTransform().rotate(-90.0 * quarters), whole.width(), whole.height());
    QRect window = whole;
    if (!visible.isNull())
        window = turn.inverted().mapRect(QRectF(visible.translated(-turnedAt))).toAlignedRect() & whole;
    if (window.isEmpty())
        return {QImage(), turnedAt, QRect(boxAt, turnedCell)}; // nothing of it lands where it is drawn
    const QImage drawn = column ? drawColumn(f, glyphs, padding, window) : drawLine(f, line, padding, window);
    if (drawn.isNull())
        return {}; // too large to render
    QImage mask(drawn.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < drawn.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
        uchar* dst = mask.scanLine(y);
        for (int x = 0; x < drawn.width(); ++x)
            dst[x] = qGray(src[x]) >= 128 ? 255 : 0;
    }
    if (quarters != 0)
        mask = mask.transformed(QTransform().rotate(-90.0 * quarters)).convertToFormat(QImage::Format_Grayscale8);
    const QPoint windowAt = turn.mapRect(QRectF(window)).toAlignedRect().topLeft();
    return {mask, turnedAt + windowAt, QRect(boxAt, turnedCell)};
}
