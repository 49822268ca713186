#pragma once

// The colour palette's fixed grid: a column of 12 greys and the 216 web-safe colours in two bands
// of 18 columns × 6 rows, each square 6 × 6 pixels on a 7-pixel pitch. Coordinates are the
// palette window's client pixels.

#include "core/WinTypes.h"

#include <QRect>

#include <optional>
#include <vector>

namespace mosaiq {

inline constexpr int kPalettePitch = 7;
inline constexpr int kPaletteSquare = 6;
inline constexpr int kPaletteGreyCount = 12;
inline constexpr int kPaletteGridWidth = 133; // the area where the pick cursor shows
inline constexpr int kPaletteGridHeight = 84;
inline constexpr Colorref kPaletteBackground = MakeColorref(230, 230, 230);
inline constexpr Colorref kPaletteInitialColour = MakeColorref(150, 150, 150);

// Grey level of square i (0–11): 255 down to 0.
int PaletteGreyLevel(int i);

// Web-safe colour of band b (0–1), column c (0–17), row r (0–5).
Colorref WebSafeColour(int band, int column, int row);

// One square of the grid: its rectangle and colour.
struct PaletteSquare {
    QRect rect;
    Colorref colour;
};

// Every square of the grid (12 greys, then band 0 and band 1 row by row).
std::vector<PaletteSquare> PaletteSquares();

// What the palette shows at (x, y): no value on a grid line (x or y a multiple of 7), otherwise
// the colour painted there — a square's colour or the background.
std::optional<Colorref> PaletteColourAt(int x, int y);

} // namespace mosaiq
