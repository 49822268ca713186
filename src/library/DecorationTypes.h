#pragma once

// The decoration families of the preset/brush panel. A family's selector value k (0–5) shows
// item type k + 1 (the picture list LibraryPictureFileName(k + 1)); selector value 6 shows the
// brushes. Choosing a family sets its default decoration colour.

#include "core/WinTypes.h"

#include <QString>

namespace mosaiq {

inline constexpr int kDecorationFamilyCount = 6;
// The selector value that shows the brushes ("brushs") instead of a decoration family.
inline constexpr int kBrushSelector = 6;

// The default colour of selector value 0–5 (chrome, cast, emboss, cloth, glow, neon); a middle
// grey for anything else.
Colorref DecorationDefaultColour(int selector);

// The family's name as the selector lists it (0–5, then 6 for the brushes).
QString DecorationSelectorName(int selector);

} // namespace mosaiq
