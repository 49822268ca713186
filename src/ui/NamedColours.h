#pragma once

// The colour picker's table of 40 named colours, in popup order (row × 8 + column), and the
// "automatic" colour that is distinct from every table entry.

#include "core/WinTypes.h"

#include <QString>

#include <array>

namespace mosaiq {

struct NamedColour {
    Colorref colour;
    const char* name; // the tooltip of the popup cell
};

inline constexpr int kNamedColourCount = 40;
inline constexpr int kNamedColourColumns = 8;
inline constexpr int kNamedColourRows = 5;

// A colour value with the high byte set: never equal to a table colour.
inline constexpr Colorref kAutomaticColour = 0xFF000000u;

// Popup item indices besides the cells 0–39.
inline constexpr int kPopupNone = -1;
inline constexpr int kPopupMoreColours = -2;
inline constexpr int kPopupAutomatic = -3;

const std::array<NamedColour, kNamedColourCount>& NamedColours();

// The first table index holding exactly `colour`, or -1.
int NamedColourIndex(Colorref colour);

// The item a popup opened with `colour` shows as selected: the Automatic box for the automatic
// colour (when that box exists), else the first table entry with the colour, else the More
// Colours box (when it exists), else none.
int InitialPopupSelection(Colorref colour, bool hasAutomatic, bool hasMoreColours);

} // namespace mosaiq
