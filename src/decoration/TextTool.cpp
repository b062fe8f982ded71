#include "decoration/TextTool.h"

#include "decoration/DrawingLayers.h"
#include "imaging/drawing/ImagePrinter.h"
#include "imaging/drawing/LayerKeyColor.h"

TextTool::TextTool(DrawingLayers& layers, std::function<TextSettings()> settings)
    : layers_(layers), settings_(std::move(settings))
{
}

void TextTool::press(QPoint at, Qt::MouseButton)
{
    PlaceText(at);
}

void TextTool::move(QPoint at)
{
    PlaceText(at);
}

void TextTool::release(QPoint at)
{
    PlaceText(at);
    if (!settings_().text.isEmpty())
        layers_.MarkDrawingPending();
}

void TextTool::PlaceText(QPoint at)
{
    layers_.ReleaseLayerPicture();
    layers_.InstallLayerPicture(placedPicture(layers_.canvasSize(), at, settings_(), observer_));
}

QImage TextTool::placedPicture(QSize canvas, QPoint at, const TextSettings& text, const PrintCallObserver& observer)
{
    QImage work(canvas, QImage::Format_RGB888);
    work.fill(QColor::fromRgb(LayerKeyColor));
    drawText(work, at, text, observer);
    return work;
}

QImage TextTool::renderPreview(QSize canvas, const TextSettings& text)
{
    QImage preview(canvas, QImage::Format_RGB888);
    preview.fill(Qt::white);
    TextSettings leftToRight = text;
    leftToRight.direction = 0; // the preview never shows the direction
    drawText(preview, PreviewPoint, leftToRight, {});
    return preview;
}

void TextTool::drawText(QImage& surface, QPoint at, const TextSettings& text, const PrintCallObserver& observer)
{
    if (text.shadow)
        pass(surface, at + text.shadowOffset, text.shadowColor, text, observer);
    pass(surface, at, text.textColor, text, observer);
}

void TextTool::pass(QImage& surface, QPoint at, QRgb color, const TextSettings& text, const PrintCallObserver& observer)
{
    ImagePrinter printer;
    printer.clearProperty();
    PrintAttributes& a = printer.attributes();
    a.fontName = text.font.name;
    a.textColor = color;
    a.fontSize = text.font.size;
    a.fontBold = text.font.bold;
    a.fontItalic = text.font.italic;
    if (text.direction)
        a.textDirection = *text.direction;
    if (text.angle)
        a.textAngle = *text.angle;
    a.textTransparent = true;
    a.text = text.text;
    printer.textOut(surface, at.x(), at.y());
    if (observer)
        observer({PrintCall::Kind::TextOut, at.x(), at.y(), at.x(), at.y(), a});
}
