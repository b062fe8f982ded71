#pragma once
// The transparent drawing layers over the canvas. Layers 0 .. CurrentLayer-1 are committed and
// CurrentLayer takes new drawing; index 30 is only touched for a moment while a save or send runs
// with layer 29 as the working layer. Every layer picture is canvas-sized, 24-bit, on
// LayerKeyColor, which the display shows see-through.
#include <QtCore/QObject>
#include <QtGui/QImage>

#include <array>

class Prompts;
class UndoHistory;

class DrawingLayers : public QObject
{
    Q_OBJECT
  public:
    static constexpr int EntryCount = 31;
    static constexpr int DrawingLayerLimit = 30;
    static constexpr int MinimumScratchSide = 480;

    struct Layer
    {
        QImage picture; // null: the layer has none
        bool visible = false;
    };

    DrawingLayers(UndoHistory& undo, Prompts& prompts, QObject* parent = nullptr);

    int CurrentLayer() const { return current_; }
    const Layer& layer(int index) const { return layers_.at(size_t(index)); }
    QImage& ScratchSurface();
    QSize canvasSize() const { return canvas_; }
    bool LineInProgress = false;
    // The last vertex of the continuous line, or where a rectangle, ellipse or stamp drag was pressed.
    QPoint LastPoint;
    bool drawingPending() const { return pending_; }

    // The canvas changed size: the scratch surface covers it (at least 480 x 480) and is cleared.
    void setCanvasSize(QSize canvas);
    // Fills the scratch surface with the key colour over the canvas rectangle.
    void clearScratchSurface();
    // The state after start-up: layer 0 is the working layer and hidden.
    void reset();

    // For the tools.
    void ReleaseLayerPicture();
    void InstallLayerPicture(const QImage& surface);
    void MarkDrawingPending();

    // The user's commands and what other features ask.
    void CommitDrawing();
    void ClearDrawing();
    void UndoCommit();
    void DiscardAllLayers();
    // Loading: with committed layers everything goes; otherwise only the scratch surface is cleared.
    void resetForLoading();
    // Saving and sending: the working layer's drawing is replaced by an empty, committed layer that
    // the caller takes back with Undo. The layer limit is not checked.
    void commitEmptyLayer();

    // The committed layers laid over the picture in index order, key colour see-through.
    QImage flattenOnto(const QImage& workspaceImage) const;

  signals:
    void layerChanged(int index, const QImage& picture, bool visible);
    void drawingControlsEnabled(bool enabled);

  private:
    void setPending(bool pending);
    void hideAndEmpty(int index);
    void announce(int index);
    void commitWorkingLayer();

    UndoHistory& undo_;
    Prompts& prompts_;
    std::array<Layer, EntryCount> layers_;
    int current_ = 0;
    bool pending_ = false;
    QSize canvas_{MinimumScratchSide, MinimumScratchSide};
    QImage scratch_;
};
