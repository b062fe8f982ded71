#pragma once
// The 484 x 484 panel around the main display: a 2-pixel silver border, a 480 x 480 view with a
// grey diagonal-cross hatch, the workspace display placed in it, and the two guide lines.
#include <QtWidgets/QFrame>

class ImageDisplay;

class MainPanel : public QFrame
{
    Q_OBJECT
  public:
    static constexpr int OuterSize = 484;
    static constexpr int ViewSize = 480;

    explicit MainPanel(ImageDisplay* display, QWidget* parent = nullptr);

    // Sizes the display to the canvas and centres it by the panel's outer size, so it sits two
    // pixels right of and below the exact middle of the view. A canvas larger than the view is
    // shown whole instead, reduced to fit the view and centred in it, with the guide lines through
    // its middle.
    void ResizeDisplay(int width, int height);

    // Both guide lines shown or hidden, in that colour.
    void showGuides(bool visible, const QColor& color);

    QWidget* view() const { return view_; }
    ImageDisplay* display() const { return display_; }
    QWidget* GridV;
    QWidget* GridH;

  private:
    QWidget* view_;
    ImageDisplay* display_;
};
