#include "foundation/PlacementPanels.h"

void PlacementPanels::resetToCentre()
{
    panels_.fill({ColorValue::ButtonFace, ColorValue::InactiveCaption});
    panels_[Centre] = {ColorValue::Maroon, ColorValue::Window};
}

void PlacementPanels::click(int index)
{
    panels_.fill({ColorValue::ButtonFace, ColorValue::WindowText});
    panels_.at(index) = {ColorValue::Maroon, ColorValue::Window};
}

int PlacementPanels::chosen() const
{
    for (int i = 0; i < Count; ++i)
        if (panels_[i].background == ColorValue::Maroon)
            return i;
    return Centre;
}
