#pragma once

// The twelve handles drawn around a selected object, in the object's local coordinates:
// 0 top left, 1 left middle, 2 bottom left, 3 bottom middle, 4 bottom right, 5 right middle,
// 6 top right, 7 top middle (size handles, 8 x 8 squares just outside the box), then the
// rotation handles 8, 9, 10, 11 one step further out beyond the corners 0, 2, 6 and 4.

#include <QRect>
#include <QTransform>

#include <array>
#include <vector>

class QPainter;

namespace mosaiq {

constexpr int kSelectionHandleCount = 12;
constexpr int kFirstRotationHandleIndex = 8;
using HandleTable = std::array<QRect, kSelectionHandleCount>;

// The handles of one decorated object, in its local pixels, the transform that maps them to
// surface pixels and the object's index in the list (-1: whichever is selected first).
struct HandleFrame {
    HandleTable rects{};
    QTransform transform;
    int object = -1;
};
// Every selected object's handles, bottom to top as they were drawn.
using HandleFrames = std::vector<HandleFrame>;

// The handle rectangles around the box with left l, top t, right r and bottom b (r and b
// exclusive, as box edges).
HandleTable SelectionHandleRects(int l, int t, int r, int b);

// Draws the handles under the painter's current transform: size handles as light blue squares,
// rotation handles as green discs, all outlined in black.
void DrawSelectionHandles(QPainter& painter, const HandleTable& handles);

} // namespace mosaiq
