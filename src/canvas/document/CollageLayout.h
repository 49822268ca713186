#pragma once

// The living layout of a collage: the family and settings it was made with and its cells, each
// holding one photo object. The photos stay ordinary photo records (their box, scale and crop are
// what the cell gives them); an object names its cell through CanvasObject::layoutCell. Pure
// data: canvas/layout/LivingLayout keeps it in step with the photos.

#include <QPointF>
#include <QRectF>

#include <cstdint>
#include <vector>

namespace mosaiq {

struct CollageLayout {
    std::int32_t family = 0; // LayoutFamily: 0 rows, 1 grid, 2 tree
    double spacing = 0.0;    // canvas pixels
    double margin = 0.0;
    double cornerRadius = 0.0;
    bool fill = false;
    std::vector<QRectF> cells; // canvas pixels; empty: the collage has no layout
    // Per cell: its photo's crop was placed by the user (cell mode, the crop tool), so fitting
    // keeps its centre instead of placing it around the subject. Same length as cells.
    std::vector<std::uint8_t> userCrop;

    bool Active() const { return !cells.empty(); }
    int CellCount() const { return int(cells.size()); }
    bool UserCrop(int cell) const {
        return cell >= 0 && size_t(cell) < userCrop.size() && userCrop[size_t(cell)] != 0;
    }
    void SetUserCrop(int cell, bool on) {
        userCrop.resize(cells.size(), 0);
        if (cell >= 0 && size_t(cell) < userCrop.size())
            userCrop[size_t(cell)] = on ? 1 : 0;
    }

    friend bool operator==(const CollageLayout& a, const CollageLayout& b) {
        return a.family == b.family && a.spacing == b.spacing && a.margin == b.margin &&
               a.cornerRadius == b.cornerRadius && a.fill == b.fill && a.cells == b.cells && a.userCrop == b.userCrop;
    }
};

// What the pointer is doing to the layout right now (never stored, never in the history).
struct LayoutGesture {
    int draggedCell = -1;   // a photo dragged out of its cell follows the pointer
    QPointF dragOffset;     // canvas pixels
    int targetCell = -1;    // the cell under the pointer while dragging
    int cellModeCell = -1;  // the cell whose picture is being panned and zoomed
    bool gapDragging = false;

    void Reset() { *this = LayoutGesture(); }
};

} // namespace mosaiq
