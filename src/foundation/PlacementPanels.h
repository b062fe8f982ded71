#pragma once
// The nine placement panels mg0 … mg8 ("左上寄せ" … "右下寄せ"): the placement is held in their
// colours, the chosen panel maroon with the window colour for its caption.
#include "foundation/ColorValue.h"

#include <array>

class PlacementPanels
{
  public:
    static constexpr int Count = 9;
    static constexpr int Centre = 4;

    PlacementPanels() { resetToCentre(); }

    // As every settings load leaves them: "中央" chosen, the others with inactive captions.
    void resetToCentre();
    // A click: all nine plain, then the clicked one chosen.
    void click(int index);
    // The first maroon panel; "中央" when none is.
    int chosen() const;

    qint32 background(int index) const { return panels_.at(index).background; }
    qint32 caption(int index) const { return panels_.at(index).caption; }
    void set(int index, qint32 background, qint32 caption) { panels_.at(index) = {background, caption}; }

    bool operator==(const PlacementPanels&) const = default;

  private:
    struct Panel
    {
        qint32 background;
        qint32 caption;
        bool operator==(const Panel&) const = default;
    };
    std::array<Panel, Count> panels_{};
};
