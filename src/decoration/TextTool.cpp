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
    placeText(layers_, at, settings_(), observer_);
}

bool TextTool::placeText(DrawingLayers& layers, QPoint at, const TextSettings& text, const PrintCallObserver& observer,
                         QString* error)
{
    QString why;
    layers.ReleaseLayerPicture();
    layers.InstallLayerPicture(placedPicture(layers.canvasSize(), at, text, observer, &why));
    if (!text.text.isEmpty())
        layers.MarkDrawingPending();
    if (error)
        *error = why;
    return why.isEmpty();
}

void TextTool::PlaceText(QPoint at)
{
    layers_.ReleaseLayerPicture();
    layers_.InstallLayerPicture(placedPicture(layers_.canvasSize(), at, settings_(), observer_));
}

QImage TextTool::placedPicture(QSize canvas, QPoint at, const TextSettings& text, const PrintCallObserver& observer,
                               QString* error)
{
    QImage work(canvas, QImage::Format_RGB888);
    work.fill(QColor::fromRgb(LayerKeyColor));
    drawText(work, at, text, observer, error);
    return work;
}

QImage TextTool::renderPreview(QSize canvas, const TextSettings& text)
{
    QImage preview(canvas, QImage::Format_RGB888);
    preview.fill(Qt::white);
    TextSettings leftToRight = text;
    leftToRight.direction = 0; // the preview never shows the direction
    drawText(preview, PreviewPoint, leftToRight, {}, nullptr);
    return preview;
}

bool TextTool::drawText(QImage& surface, QPoint at, const TextSettings& text, const PrintCallObserver& observer,
                        QString* error)
{
    if (text.shadow && !pass(surface, at + text.shadowOffset, text.shadowColor, text, observer, error))
        return false;
    return pass(surface, at, text.textColor, text, observer, error);
}

bool TextTool::pass(QImage& surface, QPoint at, QRgb color, const TextSettings& text, const PrintCallObserver& observer,
                    QString* error)
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
    const bool drawn = printer.textOut(surface, at.x(), at.y(), error);
    if (observer)
        observer({PrintCall::Kind::TextOut, at.x(), at.y(), at.x(), at.y(), a});
    return drawn;
}
