#include "ui/NamedColours.h"

namespace mosaiq {

const std::array<NamedColour, kNamedColourCount>& NamedColours() {
    static const std::array<NamedColour, kNamedColourCount> table = {{
        {MakeColorref(0, 0, 0), "Black"},
        {MakeColorref(165, 42, 0), "Brown"},
        {MakeColorref(0, 64, 64), "Dark Olive Green"},
        {MakeColorref(0, 85, 0), "Dark Green"},
        {MakeColorref(0, 0, 94), "Dark Teal"},
        {MakeColorref(0, 0, 139), "Dark blue"},
        {MakeColorref(75, 0, 130), "Indigo"},
        {MakeColorref(40, 40, 40), "Dark grey"},
        {MakeColorref(139, 0, 0), "Dark red"},
        {MakeColorref(255, 104, 32), "Orange"},
        {MakeColorref(139, 139, 0), "Dark yellow"},
        {MakeColorref(0, 147, 0), "Green"},
        {MakeColorref(56, 142, 142), "Teal"},
        {MakeColorref(0, 0, 255), "Blue"},
        {MakeColorref(123, 123, 192), "Blue-grey"},
        {MakeColorref(102, 102, 102), "Grey - 40"},
        {MakeColorref(255, 0, 0), "Red"},
        {MakeColorref(255, 173, 91), "Light orange"},
        {MakeColorref(50, 205, 50), "Lime"},
        {MakeColorref(60, 179, 113), "Sea green"},
        {MakeColorref(127, 255, 212), "Aqua"},
        {MakeColorref(125, 158, 192), "Light blue"},
        {MakeColorref(128, 0, 128), "Violet"},
        {MakeColorref(127, 127, 127), "Grey - 50"},
        {MakeColorref(255, 192, 203), "Pink"},
        {MakeColorref(255, 215, 0), "Gold"},
        {MakeColorref(255, 255, 0), "Yellow"},
        {MakeColorref(0, 255, 0), "Bright green"},
        {MakeColorref(64, 224, 208), "Turquoise"},
        {MakeColorref(192, 255, 255), "Skyblue"},
        {MakeColorref(72, 0, 72), "Plum"},
        {MakeColorref(192, 192, 192), "Light grey"},
        {MakeColorref(255, 228, 225), "Rose"},
        {MakeColorref(210, 180, 140), "Tan"},
        {MakeColorref(255, 255, 224), "Light yellow"},
        {MakeColorref(152, 251, 152), "Pale green "}, // the trailing blank is part of the name
        {MakeColorref(175, 238, 238), "Pale turquoise"},
        {MakeColorref(104, 131, 139), "Pale blue"},
        {MakeColorref(230, 230, 250), "Lavender"},
        {MakeColorref(255, 255, 255), "White"},
    }};
    return table;
}

int NamedColourIndex(Colorref colour) {
    const auto& table = NamedColours();
    for (int i = 0; i < kNamedColourCount; ++i)
        if (table[std::size_t(i)].colour == colour)
            return i;
    return -1;
}

int InitialPopupSelection(Colorref colour, bool hasAutomatic, bool hasMoreColours) {
    if (colour == kAutomaticColour && hasAutomatic)
        return kPopupAutomatic;
    if (const int index = NamedColourIndex(colour); index >= 0)
        return index;
    return hasMoreColours ? kPopupMoreColours : kPopupNone;
}

} // namespace mosaiq
