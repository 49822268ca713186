#pragma once

// The decoration families of the preset/brush panel. A family's selector value k (0–5) shows
// item type k + 1 (the picture list LibraryPictureFileName(k + 1)); selector value 6 shows the
// brushes; selector value 7, "Imported", shows item type 7: the decorations resource packs added
// to "decorate_t" (item codes 7000 + index). Choosing a family sets its default decoration colour.

#include "core/WinTypes.h"

#include <QString>

namespace mosaiq {

inline constexpr int kDecorationFamilyCount = 6;
// The selector value that shows the brushes ("brushs") instead of a decoration family.
inline constexpr int kBrushSelector = 6;
// The selector value of the Imported family, and the item type it shows.
inline constexpr int kImportedSelector = 7;
inline constexpr int kImportedDecorationType = 7;
inline constexpr int kDecorationSelectorCount = 8;

// The item type a decoration selector value shows (1–7), or -1 for the brushes and values outside
// the selector.
int DecorationSelectorType(int selector);

// The default colour of selector value 0–5 (chrome, cast, emboss, cloth, glow, neon); a middle
// grey for anything else. The Imported family takes the middle grey: recolouring with it keeps
// every pixel's lightness, so an imported decoration first appears in the greys it was drawn in.
Colorref DecorationDefaultColour(int selector);

// The family's name as the selector lists it (0–5, 6 for the brushes, 7 for "Imported").
QString DecorationSelectorName(int selector);

} // namespace mosaiq
