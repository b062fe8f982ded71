#pragma once
// The pen page's tools: dots, continuous straight lines, rectangles and ellipses. Every stroke
// builds up on the scratch surface, and the whole surface becomes the working layer's picture.
#include "decoration/CanvasTool.h"
#include "decoration/PenSettings.h"
#include "decoration/PrintCall.h"
#include "imaging/drawing/ImagePrinter.h"

#include <QtCore/QRect>
#include <functional>

class DrawingLayers;

class PenTool : public CanvasTool
{
  public:
    // settings is read at every event, so the page's controls are always the truth.
    PenTool(DrawingLayers& layers, std::function<PenSettings()> settings);

    void press(QPoint at, Qt::MouseButton button) override;
    void move(QPoint at) override;
    void release(QPoint at) override;

    // The line mode button was clicked: the next press starts a new line.
    void sbDrawLineClick();

    void DrawDot(QPoint at);
    void DrawSegment(QPoint at);
    void DrawShape(QPoint at, PrintCall::Kind shape);

    // Left, top, right, bottom of a dot of diameter width centred on at; each edge is at +- width / 2
    // in floating point, truncated toward zero.
    static QRect dotBox(QPoint at, int width);

    void setObserver(PrintCallObserver observer) { observer_ = std::move(observer); }

  private:
    enum class AttributeSet { Dot, Segment, Shape };
    void setAttributes(AttributeSet set, const PenSettings& pen);
    void draw(PrintCall::Kind kind, int left, int top, int right, int bottom);

    DrawingLayers& layers_;
    std::function<PenSettings()> settings_;
    ImagePrinter printer_;
    PrintCallObserver observer_;
};
