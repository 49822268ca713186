// Align and distribute: turned objects by their bounding boxes, one history step each.
#include "canvas/document/CollageDocument.h"
#include "canvas/interaction/SelectionAlign.h"

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

class SelectionAlignTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A plain picture, one turned by 45 degrees, one turned by 90 degrees and a text.
        Add(100, 60, 0.0f, {40, 300});
        Add(80, 80, 45.0f, {400, 120});
        Add(200, 40, 90.0f, {700, 500});
        TextRecord text;
        text.textWidth = 120;
        text.textHeight = 30;
        text.x = 900;
        text.y = 50;
        doc.objects.emplace_back(text);
        for (CanvasObject& o : doc.objects) {
            o.SetSelected(true);
            doc.CreateRegion(o);
        }
        doc.RecordSnapshot();
    }

    void Add(int w, int h, float angle, QPoint at) {
        ClipartRecord r;
        r.width = w;
        r.height = h;
        r.angle = angle;
        r.x = at.x();
        r.y = at.y();
        doc.objects.emplace_back(r);
    }

    std::vector<QRectF> Bounds() const {
        std::vector<QRectF> b;
        for (const CanvasObject& o : doc.objects)
            b.push_back(ObjectBounds(o));
        return b;
    }

    CollageDocument doc;
};

TEST_F(SelectionAlignTest, TurnedObjectsAreMeasuredByTheBoxAroundThem) {
    const std::vector<QRectF> b = Bounds();
    EXPECT_NEAR(b[0].width(), 100, 0.01);
    EXPECT_NEAR(b[1].width(), 80 * std::sqrt(2.0), 0.01); // a turned square's diagonal
    EXPECT_NEAR(b[2].width(), 40, 0.01);                  // a quarter turn swaps the sides
    EXPECT_NEAR(b[2].height(), 200, 0.01);
    EXPECT_NEAR(b[3].width(), 120, 0.01);
}

struct AlignCase {
    AlignMode mode;
    double (*edge)(const QRectF&);
    bool horizontal;
};

TEST_F(SelectionAlignTest, EveryAlignmentLinesUpTheBoxesAndMovesOnlyAcross) {
    const AlignCase cases[] = {
        {AlignMode::Left, [](const QRectF& r) { return r.left(); }, true},
        {AlignMode::Right, [](const QRectF& r) { return r.right(); }, true},
        {AlignMode::Centre, [](const QRectF& r) { return r.center().x(); }, true},
        {AlignMode::Top, [](const QRectF& r) { return r.top(); }, false},
        {AlignMode::Bottom, [](const QRectF& r) { return r.bottom(); }, false},
        {AlignMode::Middle, [](const QRectF& r) { return r.center().y(); }, false},
    };
    for (const AlignCase& c : cases) {
        doc.Clear(); // the starting positions again for every case
        SetUp();
        const std::vector<QRectF> before = Bounds();
        const int steps = doc.History().Count();
        ASSERT_TRUE(AlignSelection(doc, c.mode)) << int(c.mode);
        EXPECT_EQ(doc.History().Count(), steps + 1);
        EXPECT_TRUE(doc.modified);
        const std::vector<QRectF> after = Bounds();
        for (std::size_t i = 0; i < after.size(); ++i) {
            EXPECT_NEAR(c.edge(after[i]), c.edge(after[0]), 1.0) << int(c.mode) << " " << i;
            // The other axis is untouched.
            if (c.horizontal)
                EXPECT_EQ(after[i].top(), before[i].top());
            else
                EXPECT_EQ(after[i].left(), before[i].left());
        }
        // Aligned once more: nothing moves, no step.
        EXPECT_FALSE(AlignSelection(doc, c.mode));
        EXPECT_EQ(doc.History().Count(), steps + 1);
    }
}

TEST_F(SelectionAlignTest, DistributeLeavesEqualGapsAndTheOutermostInPlace) {
    for (AlignMode mode : {AlignMode::DistributeHorizontally, AlignMode::DistributeVertically}) {
        const bool h = mode == AlignMode::DistributeHorizontally;
        const std::vector<QRectF> before = Bounds();
        ASSERT_TRUE(AlignSelection(doc, mode));
        std::vector<QRectF> after = Bounds();
        std::sort(after.begin(), after.end(), [h](const QRectF& a, const QRectF& b) {
            return h ? a.center().x() < b.center().x() : a.center().y() < b.center().y();
        });
        std::vector<double> gaps;
        for (std::size_t i = 1; i < after.size(); ++i)
            gaps.push_back(h ? after[i].left() - after[i - 1].right()
                             : after[i].top() - after[i - 1].bottom());
        for (double g : gaps)
            EXPECT_NEAR(g, gaps[0], 1.0);
        // The outermost boxes have not moved.
        double lowest = 1e9, highest = -1e9, lowestBefore = 1e9, highestBefore = -1e9;
        for (std::size_t i = 0; i < after.size(); ++i) {
            lowest = std::min(lowest, h ? after[i].left() : after[i].top());
            highest = std::max(highest, h ? after[i].right() : after[i].bottom());
            lowestBefore = std::min(lowestBefore, h ? before[i].left() : before[i].top());
            highestBefore = std::max(highestBefore, h ? before[i].right() : before[i].bottom());
        }
        EXPECT_NEAR(lowest, lowestBefore, 1e-6);
        EXPECT_NEAR(highest, highestBefore, 1e-6);
    }
}

TEST_F(SelectionAlignTest, TooFewSelectedObjectsChangeNothing) {
    for (CanvasObject& o : doc.objects)
        o.SetSelected(false);
    doc.objects[0].SetSelected(true);
    const int steps = doc.History().Count();
    EXPECT_FALSE(AlignSelection(doc, AlignMode::Left));
    doc.objects[2].SetSelected(true);
    EXPECT_FALSE(AlignSelection(doc, AlignMode::DistributeHorizontally)); // needs three
    EXPECT_EQ(doc.History().Count(), steps);
    EXPECT_TRUE(AlignSelection(doc, AlignMode::Top));
    EXPECT_EQ(doc.objects[1].Position(), QPoint(400, 120)); // not selected: stays
    EXPECT_EQ(AlignMinimum(AlignMode::Left), 2);
    EXPECT_EQ(AlignMinimum(AlignMode::DistributeVertically), 3);
}

} // namespace
} // namespace mosaiq
