#include "ui/WebPalette.h"

#include <vector>

namespace mosaiq {

namespace {
constexpr int kGreyLevels[kPaletteGreyCount] = {255, 232, 209, 186, 163, 140,
                                                117, 94,  71,  48,  23,  0};
constexpr int kBandColumns = 18;
constexpr int kBandRows = 6;
constexpr int kBandTop[2] = {0, 42};
} // namespace

int PaletteGreyLevel(int i) {
    return kGreyLevels[i];
}

Colorref WebSafeColour(int band, int column, int row) {
    return MakeColorref(51 * (3 * band + column / 6), 51 * (column % 6), 51 * row);
}

std::vector<PaletteSquare> PaletteSquares() {
    std::vector<PaletteSquare> squares;
    squares.reserve(kPaletteGreyCount + 2 * kBandColumns * kBandRows);
    for (int i = 0; i < kPaletteGreyCount; ++i) {
        const int g = kGreyLevels[i];
        squares.push_back(
            {QRect(0, kPalettePitch * i, kPaletteSquare, kPaletteSquare), MakeColorref(g, g, g)});
    }
    for (int band = 0; band < 2; ++band)
        for (int row = 0; row < kBandRows; ++row)
            for (int column = 0; column < kBandColumns; ++column)
                squares.push_back(
                    {QRect(kPalettePitch * (column + 1), kBandTop[band] + kPalettePitch * row,
                           kPaletteSquare, kPaletteSquare),
                     WebSafeColour(band, column, row)});
    return squares;
}

std::optional<Colorref> PaletteColourAt(int x, int y) {
    if (x % kPalettePitch == 0 || y % kPalettePitch == 0)
        return std::nullopt;
    for (const PaletteSquare& square : PaletteSquares())
        if (square.rect.contains(x, y))
            return square.colour;
    return kPaletteBackground;
}

} // namespace mosaiq
