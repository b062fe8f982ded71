#include "decoration/PenTool.h"

#include "decoration/DrawingLayers.h"

PenTool::PenTool(DrawingLayers& layers, std::function<PenSettings()> settings)
    : layers_(layers), settings_(std::move(settings))
{
}

void PenTool::press(QPoint at, Qt::MouseButton button)
{
    switch (settings_().mode) {
    case PenMode::Dot:
        DrawDot(at);
        return;
    case PenMode::Line:
        if (button == Qt::RightButton) {
            layers_.LineInProgress = false;
        } else if (!layers_.LineInProgress) {
            layers_.LastPoint = at;
            layers_.LineInProgress = true;
        } else {
            DrawSegment(at);
        }
        return;
    case PenMode::Rectangle:
    case PenMode::Ellipse:
        layers_.LastPoint = at;
        return;
    }
}

void PenTool::move(QPoint at)
{
    const PenMode mode = settings_().mode;
    if (mode == PenMode::Dot)
        DrawDot(at);
    else if (mode == PenMode::Line && layers_.LineInProgress)
        DrawSegment(at);
}

void PenTool::release(QPoint at)
{
    const PenMode mode = settings_().mode;
    if (mode == PenMode::Rectangle)
        DrawShape(at, PrintCall::Kind::Rectangle);
    else if (mode == PenMode::Ellipse)
        DrawShape(at, PrintCall::Kind::Ellipse);
}

void PenTool::sbDrawLineClick()
{
    layers_.LineInProgress = false;
}

QRect PenTool::dotBox(QPoint at, int width)
{
    const double half = width * 0.5;
    const auto edge = [](double v) { return int(v); }; // truncates toward zero, also below 0
    return QRect(QPoint(edge(at.x() - half), edge(at.y() - half)), QPoint(edge(at.x() + half), edge(at.y() + half)));
}

void PenTool::DrawDot(QPoint at)
{
    const PenSettings pen = settings_();
    layers_.ReleaseLayerPicture();
    setAttributes(AttributeSet::Dot, pen);
    const QRect box = dotBox(at, pen.lineWidth);
    // QRect's right and bottom are the corner coordinates themselves here, not one short of them.
    draw(PrintCall::Kind::Ellipse, box.left(), box.top(), box.right(), box.bottom());
    layers_.InstallLayerPicture(layers_.ScratchSurface());
    layers_.MarkDrawingPending();
}

void PenTool::DrawSegment(QPoint at)
{
    layers_.ReleaseLayerPicture();
    setAttributes(AttributeSet::Segment, settings_());
    // A 1-pixel segment leaves out its end point, which the next segment starts on; a wider one is
    // every pixel within half the width of the segment, so a freehand trail has round joints.
    draw(PrintCall::Kind::Line, layers_.LastPoint.x(), layers_.LastPoint.y(), at.x(), at.y());
    layers_.InstallLayerPicture(layers_.ScratchSurface());
    layers_.MarkDrawingPending();
    layers_.LastPoint = at;
}

void PenTool::DrawShape(QPoint at, PrintCall::Kind shape)
{
    layers_.ReleaseLayerPicture();
    setAttributes(AttributeSet::Shape, settings_());
    // Corners go in as pressed and released; the primitive sorts them itself.
    draw(shape, layers_.LastPoint.x(), layers_.LastPoint.y(), at.x(), at.y());
    layers_.InstallLayerPicture(layers_.ScratchSurface());
    if (at != layers_.LastPoint)
        layers_.MarkDrawingPending();
}

void PenTool::setAttributes(AttributeSet set, const PenSettings& pen)
{
    printer_.clearProperty();
    PrintAttributes& a = printer_.attributes();
    a.penStyle = PrintAttributes::kPenSolid;
    a.drawMode = PrintAttributes::kDrawCopyPen;
    a.textTransparent = true;
    a.penColor = pen.lineColor;
    a.penWidth = set == AttributeSet::Dot ? 1 : pen.lineWidth;
    a.brushColor = set == AttributeSet::Shape ? pen.fillColor : pen.lineColor;
    a.brushStyle = set != AttributeSet::Shape || pen.fill ? PrintAttributes::kBrushSolid : PrintAttributes::kBrushNone;
}

void PenTool::draw(PrintCall::Kind kind, int left, int top, int right, int bottom)
{
    QImage& surface = layers_.ScratchSurface();
    switch (kind) {
    case PrintCall::Kind::Line:
        printer_.line(surface, left, top, right, bottom);
        break;
    case PrintCall::Kind::Rectangle:
        printer_.rectangle(surface, left, top, right, bottom);
        break;
    case PrintCall::Kind::Ellipse:
        printer_.ellipse(surface, left, top, right, bottom);
        break;
    case PrintCall::Kind::TextOut:
        break;
    }
    if (observer_)
        observer_({kind, left, top, right, bottom, printer_.attributes()});
}
