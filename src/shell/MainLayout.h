#pragma once

// Where every child of the main window goes for a client size, in device-independent pixels.
// Rectangles are built from (left, top, right, bottom) edges as the window's layout table gives
// them; QRect's right() is then right − 1.

#include <QRect>
#include <QSize>

#include <array>

namespace mosaiq {

inline constexpr QSize kMainMinimumSize{800, 570};
inline constexpr int kToolbarButtonCount = 15; // New … Move to Back of all Layers, Arrange
inline constexpr int kTabCount = 5;            // Frame, Mask, Clipart, Tuning, Text

struct MainLayout {
    QRect canvas;
    QRect photoBrowser;
    QRect panelArea; // the frame, mask, clipart, tuning, text and crop panels
    std::array<QRect, kTabCount> tabs;
    std::array<QRect, kToolbarButtonCount> toolbar; // in toolbar order
    QRect zoomIn;
    QRect zoomOut;
    QRect zoomBox;
    QRect presetPanel;
    QRect addToCanvas;
    QRect listPane;
    QRect swatchPanel;
    QRect close;
    QRect maximise;
    QRect minimise;
    QRect importButton;
    QRect removeButton;
    std::array<QRect, 5> menuButtons; // File, panels, Edit, Tools, Help
};

// A rectangle from its four edges (right and bottom exclusive).
constexpr QRect EdgeRect(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

// The layout for a client area of size w × h.
MainLayout ComputeMainLayout(QSize client);

// The area the canvas fills during a preview and the zoom that fits the collage into it: the
// client height over the collage height when the client is relatively wider, else the widths.
float PreviewFitZoom(QSize client, QSize collage);

// Which sizing zone a client point is in (the window has no system border).
enum class FrameZone { None, Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight, Caption };
FrameZone HitFrameZone(QPoint p, QSize client);

// Which toolbar buttons are enabled: sel is the selected object's drawing index (−1 none), n the
// object count, historyPos the history position (−1 before the first snapshot) and historyLast
// the last history index.
struct ToolbarState {
    bool undo = false;
    bool redo = false;
    bool del = false;
    bool crop = false;
    bool moveUp = false;     // Move to Front, Move to Front of all Layers
    bool moveDown = false;   // Move to Back, Move to Back of all Layers
};
ToolbarState ComputeToolbarState(int sel, int n, bool selectedIsPhoto, int historyPos, int historyLast);

// The zoom steps of the zoom box: 25 % to 200 %.
inline constexpr std::array<float, 8> kZoomSteps{0.25f, 0.5f, 0.75f, 1.0f, 1.25f, 1.5f, 1.75f, 2.0f};

} // namespace mosaiq
