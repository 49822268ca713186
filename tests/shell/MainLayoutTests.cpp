// The main window's layout table, sizing zones, preview fit and toolbar rule, without a window.
#include "shell/MainLayout.h"

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

// Rectangles are compared as (left, top, right, bottom) edges, as the table gives them.
struct Edges {
    int l, t, r, b;
    bool operator==(const Edges&) const = default;
};
Edges E(QRect r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}
std::ostream& operator<<(std::ostream& os, const Edges& e) {
    return os << "(" << e.l << ", " << e.t << ", " << e.r << ", " << e.b << ")";
}

class LayoutTable : public ::testing::TestWithParam<QSize> {};

TEST_P(LayoutTable, EveryChildSitsWhereTheTableSays) {
    const int w = GetParam().width();
    const int h = GetParam().height();
    const MainLayout l = ComputeMainLayout(GetParam());
    EXPECT_EQ(E(l.canvas), (Edges{159, 208, w - 137, h - 4}));
    EXPECT_EQ(E(l.photoBrowser), (Edges{4, 61, 158, h - 4}));
    EXPECT_EQ(E(l.panelArea), (Edges{159, 58, w - 4, 181}));
    EXPECT_EQ(E(l.tabs[0]), (Edges{187, 34, 289, 56}));
    EXPECT_EQ(E(l.tabs[1]), (Edges{294, 34, 396, 56}));
    EXPECT_EQ(E(l.tabs[4]), (Edges{615, 34, 717, 56}));
    // New, Open, Save As, Save Collage | Setting, Preview | Undo, Redo | Delete …
    const int lefts[kToolbarButtonCount] = {165, 189, 213, 237, 267, 291, 321, 345,
                                            375, 399, 423, 447, 471, 495, 525};
    for (int i = 0; i < kToolbarButtonCount; ++i)
        EXPECT_EQ(E(l.toolbar[size_t(i)]), (Edges{lefts[i], 184, lefts[i] + 22, 205})) << i;
    EXPECT_EQ(E(l.zoomIn), (Edges{w - 249, 184, w - 227, 205}));
    EXPECT_EQ(E(l.zoomOut), (Edges{w - 225, 184, w - 203, 205}));
    EXPECT_EQ(E(l.zoomBox), (Edges{w - 200, 184, w - 145, 204}));
    EXPECT_EQ(E(l.presetPanel), (Edges{w - 136, 182, w - 4, h - 225}));
    EXPECT_EQ(E(l.addToCanvas), (Edges{w - 131, h - 220, w - 9, h - 200}));
    EXPECT_EQ(E(l.listPane), (Edges{w - 136, h - 195, w - 4, h - 105}));
    EXPECT_EQ(E(l.swatchPanel), (Edges{w - 136, h - 104, w - 4, h - 4}));
    EXPECT_EQ(E(l.close), (Edges{w - 43, 8, w - 19, 22}));
    EXPECT_EQ(E(l.maximise), (Edges{w - 69, 8, w - 45, 22}));
    EXPECT_EQ(E(l.minimise), (Edges{w - 95, 8, w - 71, 22}));
    EXPECT_EQ(E(l.importButton), (Edges{4, 34, 79, 57}));
    EXPECT_EQ(E(l.removeButton), (Edges{81, 34, 156, 57}));
    EXPECT_EQ(E(l.menuButtons[0]), (Edges{20, 6, 60, 26}));
    EXPECT_EQ(E(l.menuButtons[4]), (Edges{255, 6, 295, 26}));
    // Tools sits between Edit and Help without overlapping either.
    EXPECT_GE(l.menuButtons[3].left(), l.menuButtons[2].left() + l.menuButtons[2].width());
    EXPECT_LE(l.menuButtons[3].left() + l.menuButtons[3].width(), l.menuButtons[4].left());
}

INSTANTIATE_TEST_SUITE_P(Sizes, LayoutTable, ::testing::Values(QSize(1024, 768), QSize(1920, 1080)));

TEST(FrameZones, EdgesCornersAndCaption) {
    const QSize s(1000, 700);
    EXPECT_EQ(HitFrameZone({2, 300}, s), FrameZone::Left);
    EXPECT_EQ(HitFrameZone({997, 300}, s), FrameZone::Right);
    EXPECT_EQ(HitFrameZone({500, 2}, s), FrameZone::Top);
    EXPECT_EQ(HitFrameZone({500, 695}, s), FrameZone::Bottom);
    EXPECT_EQ(HitFrameZone({3, 3}, s), FrameZone::TopLeft);
    EXPECT_EQ(HitFrameZone({996, 3}, s), FrameZone::TopRight);
    EXPECT_EQ(HitFrameZone({7, 694}, s), FrameZone::BottomLeft);
    EXPECT_EQ(HitFrameZone({995, 695}, s), FrameZone::BottomRight);
    EXPECT_EQ(HitFrameZone({500, 15}, s), FrameZone::Caption);
    EXPECT_EQ(HitFrameZone({500, 300}, s), FrameZone::None);
    // Between the 5-pixel edge and the 13-pixel caption inset nothing happens.
    EXPECT_EQ(HitFrameZone({10, 15}, s), FrameZone::None);
}

TEST(PreviewFit, TheTighterSideDecides) {
    // A relatively wider client fits the height; a relatively taller one fits the width.
    EXPECT_FLOAT_EQ(PreviewFitZoom({1000, 400}, {500, 500}), 0.8f);
    EXPECT_FLOAT_EQ(PreviewFitZoom({400, 1000}, {500, 500}), 0.8f);
    EXPECT_FLOAT_EQ(PreviewFitZoom({1600, 900}, {3200, 1200}), 0.5f);
    EXPECT_FLOAT_EQ(PreviewFitZoom({0, 0}, {500, 500}), 1.0f);
}

TEST(ToolbarRule, NothingOneAndSeveralObjectsAndHistoryEnds) {
    // Nothing selected: only the history decides.
    ToolbarState s = ComputeToolbarState(-1, 3, false, -1, -1);
    EXPECT_FALSE(s.undo || s.redo || s.del || s.crop || s.moveUp || s.moveDown);
    // One object, selected: Delete only; the four ordering buttons stay off.
    s = ComputeToolbarState(0, 1, false, 0, 0);
    EXPECT_TRUE(s.del && s.undo);
    EXPECT_FALSE(s.moveUp || s.moveDown || s.redo || s.crop);
    // Several objects: the bottom one can go up, the top one down, a middle one both.
    EXPECT_TRUE(ComputeToolbarState(0, 3, true, 1, 2).moveUp);
    EXPECT_FALSE(ComputeToolbarState(0, 3, true, 1, 2).moveDown);
    EXPECT_TRUE(ComputeToolbarState(2, 3, true, 1, 2).moveDown);
    EXPECT_FALSE(ComputeToolbarState(2, 3, true, 1, 2).moveUp);
    s = ComputeToolbarState(1, 3, true, 1, 2);
    EXPECT_TRUE(s.moveUp && s.moveDown && s.crop && s.redo && s.undo);
    // At the end of the history Redo is off; before the first snapshot Undo is off.
    EXPECT_FALSE(ComputeToolbarState(1, 3, true, 2, 2).redo);
    EXPECT_FALSE(ComputeToolbarState(1, 3, true, -1, 2).undo);
}

} // namespace
} // namespace mosaiq
