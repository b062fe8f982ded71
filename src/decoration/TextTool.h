#pragma once
// The text page's tool: one line of text with an optional shadow, rendered at the pointer on a
// fresh canvas-sized picture that replaces the working layer's picture.
#include "decoration/CanvasTool.h"
#include "decoration/PrintCall.h"
#include "decoration/TextSettings.h"
#include <QtGui/QImage>

#include <functional>

class DrawingLayers;

class TextTool : public CanvasTool
{
  public:
    static constexpr QPoint PreviewPoint{5, 5};

    // settings is read at every event, so the page's controls are always the truth.
    TextTool(DrawingLayers& layers, std::function<TextSettings()> settings);

    void press(QPoint at, Qt::MouseButton button) override;
    void move(QPoint at) override;
    // Places the text and, when there is any, marks the drawing pending.
    void release(QPoint at) override;

    void PlaceText(QPoint at);
    // `text` at `at` as the working layer's picture, left for commit when there is any text. False,
    // with `error`, when the text could not be drawn (too large, say).
    static bool placeText(DrawingLayers& layers, QPoint at, const TextSettings& text,
                          const PrintCallObserver& observer = {}, QString* error = nullptr);

    // The picture a placement at `at` gives the working layer: canvas-sized, on the key colour.
    static QImage placedPicture(QSize canvas, QPoint at, const TextSettings& text,
                                const PrintCallObserver& observer = {}, QString* error = nullptr);
    // The preview: a canvas-sized picture on white, written left to right at PreviewPoint.
    static QImage renderPreview(QSize canvas, const TextSettings& text);

    void setObserver(PrintCallObserver observer) { observer_ = std::move(observer); }

  private:
    // The shadow pass, when the shadow is on, then the text pass.
    static bool drawText(QImage& surface, QPoint at, const TextSettings& text, const PrintCallObserver& observer,
                         QString* error);
    static bool pass(QImage& surface, QPoint at, QRgb color, const TextSettings& text,
                     const PrintCallObserver& observer, QString* error);

    DrawingLayers& layers_;
    std::function<TextSettings()> settings_;
    PrintCallObserver observer_;
};
