// The living layout: its project block, exact edges at every zoom and export scale, the
// corners, and the edits that keep it (swap, replace, insert, delete, dissolve, re-flow, gap
// drags, cell mode), each undone and redone.
#include "CanvasTestScene.h"

#include "canvas/document/LayoutPlacement.h"
#include "canvas/document/SelectionEdits.h"
#include "canvas/interaction/CanvasKeys.h"
#include "canvas/layout/LayoutGaps.h"
#include "canvas/layout/LivingLayout.h"
#include "canvas/layout/PhotoArrange.h"
#include "canvas/output/BandRenderer.h"
#include "canvas/output/CollageExport.h"
#include "canvas/project/LayoutBlock.h"
#include "canvas/project/ProjectFile.h"
#include "canvas/render/PhotoPicture.h"

#include <QBuffer>
#include <QtEndian>

#include <cmath>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

const QColor kBackground(255, 0, 255);

class LivingLayoutTest : public ::testing::Test {
protected:
    // Photos of several shapes and colours (none magenta, the background's colour), a text on
    // top, a canvas of w x h.
    void Build(int count, int w = 400, int h = 300) {
        scene.doc.width = w;
        scene.doc.height = h;
        scene.doc.backgroundColour = MakeColorref(255, 0, 255);
        const QSize shapes[] = {{120, 80}, {80, 120}, {100, 100}, {160, 60}, {90, 70}, {70, 90}};
        for (int i = 0; i < count; ++i) {
            const QSize s = shapes[i % 6];
            const QColor c = QColor::fromHsv((i * 47) % 360, 200, 120 + (i * 13) % 100);
            const QString path =
                scene.WritePicture(QStringLiteral("p%1.png").arg(i), SolidImage(s.width(), s.height(), c));
            scene.AddPhoto(path, s, 0, 0);
            colours.push_back(c);
        }
        TextRecord text;
        text.x = 3;
        scene.Add(CanvasObject(text));
        scene.doc.RecordSnapshot();
    }

    bool Arrange(LayoutFamily family, int spacing, int margin, bool fill, double corner = 0) {
        ArrangeOptions options;
        options.family = family;
        options.spacing = spacing;
        options.margin = margin;
        options.fill = fill;
        options.cornerRadius = corner;
        std::vector<int> photos;
        for (size_t i = 0; i < scene.doc.objects.size(); ++i)
            if (scene.doc.objects[i].Photo())
                photos.push_back(int(i));
        return ArrangePhotos(scene.doc, photos, options).ok;
    }

    static int BackgroundPixels(const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                if (qRed(p) > 240 && qGreen(p) < 15 && qBlue(p) > 240)
                    ++n;
            }
        return n;
    }

    std::vector<int> Tags() const {
        std::vector<int> tags;
        for (const CanvasObject& o : scene.doc.objects)
            tags.push_back(o.layoutCell);
        return tags;
    }

    QByteArray Encoded() const {
        QByteArray bytes;
        EXPECT_TRUE(EncodeProject(scene.doc, bytes).ok);
        return bytes;
    }

    CanvasScene scene;
    std::vector<QColor> colours;
};

// --- the project block

TEST_F(LivingLayoutTest, BlockRoundTripsExactlyAndAProjectWithoutLayoutKeepsItsBytes) {
    Build(5);
    const QByteArray before = Encoded();
    EXPECT_EQ(before.indexOf("MQLY"), -1);
    ASSERT_TRUE(Arrange(LayoutFamily::Tree, 7, 5, true, 9.5));
    scene.doc.layout.SetUserCrop(2, true);
    const QByteArray bytes = Encoded();
    ASSERT_NE(bytes.indexOf("MQLY"), -1);

    QBuffer buffer;
    buffer.setData(bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    CollageDocument parsed;
    const ProjectResult r = ParseProject(buffer, parsed, nullptr);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_TRUE(r.notice.isEmpty());
    EXPECT_TRUE(parsed.layout == scene.doc.layout);
    for (size_t i = 0; i < parsed.objects.size(); ++i)
        EXPECT_EQ(parsed.objects[i].layoutCell, scene.doc.objects[i].layoutCell) << i;
    QByteArray again;
    ASSERT_TRUE(EncodeProject(parsed, again).ok);
    EXPECT_EQ(again, bytes);

    // Dissolved, the project is written as before the layout (the records as placed).
    ASSERT_TRUE(DissolveLayout(scene.doc));
    EXPECT_EQ(Encoded().indexOf("MQLY"), -1);
}

TEST_F(LivingLayoutTest, DamagedBlocksLeaveThePhotosFreeWithANotice) {
    Build(3);
    ASSERT_TRUE(Arrange(LayoutFamily::Rows, 4, 4, true));
    QByteArray good;
    ASSERT_TRUE(EncodeLayoutBlock(scene.doc, good));
    const qsizetype cell0 = kLayoutBlockHeaderSize;
    const auto putDouble = [](QByteArray& b, qsizetype at, double v) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        qToLittleEndian(bits, b.data() + at);
    };
    struct Case {
        const char* name;
        std::uint32_t version;
        std::function<void(QByteArray&)> damage;
    } cases[] = {
        {"version", 2, [](QByteArray&) {}},
        {"short", 1, [](QByteArray& b) { b.truncate(10); }},
        {"count", 1, [](QByteArray& b) { b.chop(4); }},
        {"family", 1, [](QByteArray& b) { qToLittleEndian(std::int32_t(7), b.data()); }},
        {"not a number", 1, [&](QByteArray& b) { putDouble(b, cell0 + 16, std::nan("")); }},
        {"negative size", 1, [&](QByteArray& b) { putDouble(b, cell0 + 24, -3.0); }},
        {"text object", 1,
         [&](QByteArray& b) { qToLittleEndian(std::uint32_t(3), b.data() + cell0 + 32); }},
        {"past the objects", 1,
         [&](QByteArray& b) { qToLittleEndian(std::uint32_t(99), b.data() + cell0 + 32); }},
        {"twice", 1,
         [&](QByteArray& b) {
             const std::uint32_t first = qFromLittleEndian<std::uint32_t>(b.data() + cell0 + 32);
             qToLittleEndian(first, b.data() + cell0 + kLayoutCellSize + 32);
         }},
    };
    for (const Case& c : cases) {
        QByteArray payload = good;
        c.damage(payload);
        CollageDocument doc;
        for (const CanvasObject& o : scene.doc.objects)
            doc.objects.push_back(CanvasObject(o.record));
        QString reason;
        EXPECT_FALSE(ApplyLayoutBlock(c.version, payload, doc, &reason)) << c.name;
        EXPECT_FALSE(reason.isEmpty()) << c.name;
        EXPECT_FALSE(doc.layout.Active()) << c.name;
        for (const CanvasObject& o : doc.objects)
            EXPECT_EQ(o.layoutCell, -1) << c.name;
    }
}

// --- exact edges

TEST_F(LivingLayoutTest, FilledLayoutsShowNoBackgroundAtAnyZoomOrExportScale) {
    for (LayoutFamily family : {LayoutFamily::Rows, LayoutFamily::Grid, LayoutFamily::Tree}) {
        scene.doc.objects.clear();
        Build(family == LayoutFamily::Grid ? 6 : 7, 397, 283);
        ASSERT_TRUE(Arrange(family, 0, 0, true));
        const std::string name = LayoutFamilyName(family).toStdString();
        for (float zoom : {0.25f, 0.33f, 0.5f, 0.75f, 1.0f, 1.3f, 1.5f, 2.0f}) {
            scene.doc.view.zoom = zoom;
            RenderOptions options;
            options.offscreenOnly = true;
            EXPECT_EQ(BackgroundPixels(scene.Render(options)), 0) << name << " zoom " << zoom;
        }
        scene.doc.view.zoom = 1.0f;
        EXPECT_EQ(BackgroundPixels(RenderCollage(scene.doc)), 0) << name << " saved";
        for (double scale : {0.5, 0.7, 1.0, 2.5, 4.0}) {
            EXPECT_EQ(BackgroundPixels(RenderCollageScaled(scene.doc, scale)), 0)
                << name << " scale " << scale;
        }
        // In bands (as render writes large outputs) the same.
        QImage whole(ScaledCanvasSize(scene.doc, 3.0), QImage::Format_ARGB32_Premultiplied);
        ASSERT_TRUE(RenderCollageInBands(scene.doc, 3.0, 37, [&](const QImage& band, int top) {
            QPainter(&whole).drawImage(0, top, band);
            return true;
        }));
        EXPECT_EQ(BackgroundPixels(whole), 0) << name << " bands";
    }
}

TEST_F(LivingLayoutTest, GapsAreTheSpacingAndARowHasOneHeight) {
    Build(7, 800, 600);
    const int spacing = 30;
    ASSERT_TRUE(Arrange(LayoutFamily::Rows, spacing, spacing, true));
    const CollageLayout& layout = scene.doc.layout;
    for (double scale : {0.5, 1.0, 1.7, 4.0}) {
        for (size_t a = 0; a < layout.cells.size(); ++a)
            for (size_t b = 0; b < layout.cells.size(); ++b) {
                const QRect ra = ExactCellRect(layout.cells[a], scale);
                const QRect rb = ExactCellRect(layout.cells[b], scale);
                // Side by side in one row: one top, one height, the gap is the spacing.
                if (std::abs(layout.cells[a].top() - layout.cells[b].top()) < 0.5 &&
                    layout.cells[b].left() > layout.cells[a].right() - 0.5 &&
                    layout.cells[b].left() - layout.cells[a].right() < spacing + 1) {
                    EXPECT_EQ(ra.top(), rb.top());
                    EXPECT_EQ(ra.height(), rb.height());
                    const int gap = rb.left() - (ra.left() + ra.width());
                    EXPECT_NEAR(gap, spacing * scale, 1.0) << scale;
                }
            }
    }
    // The photos are drawn where their cells are: the pixel in each cell's middle is its colour.
    RenderOptions options;
    options.offscreenOnly = true;
    const QImage image = scene.Render(options);
    const std::vector<int> members = LayoutMembers(scene.doc);
    for (size_t c = 0; c < members.size(); ++c) {
        const QPoint middle = layout.cells[c].center().toPoint();
        EXPECT_TRUE(PixelIs(image, middle.x(), middle.y(), colours[size_t(members[c])], 3));
    }
}

TEST_F(LivingLayoutTest, RoundedCornersShowTheBackgroundOutsideThem) {
    Build(4);
    ASSERT_TRUE(Arrange(LayoutFamily::Grid, 10, 10, true, 1000));
    // Asked for more than the cells allow: half the shorter side of the smallest cell.
    EXPECT_DOUBLE_EQ(scene.doc.layout.cornerRadius, MaxCornerRadius(scene.doc.layout));
    ApplyLayoutSettings(scene.doc, [&] {
        LayoutSettings s = SettingsOf(scene.doc.layout);
        s.cornerRadius = 20;
        return s;
    }(), 0, true);
    EXPECT_DOUBLE_EQ(scene.doc.layout.cornerRadius, 20.0);
    for (float zoom : {1.0f, 2.0f}) {
        scene.doc.view.zoom = zoom;
        RenderOptions options;
        options.offscreenOnly = true;
        const QImage image = scene.Render(options);
        const std::vector<int> members = LayoutMembers(scene.doc);
        for (size_t c = 0; c < members.size(); ++c) {
            const QRect r = ExactCellRect(scene.doc.layout.cells[c], zoom);
            EXPECT_TRUE(PixelIs(image, r.left() + 1, r.top() + 1, kBackground, 3));
            EXPECT_TRUE(PixelIs(image, r.right() - 1, r.bottom() - 1, kBackground, 3));
            // Along the edge's middle the photo reaches the edge.
            EXPECT_TRUE(PixelIs(image, r.left(), r.center().y(), colours[size_t(members[c])], 3));
            EXPECT_TRUE(PixelIs(image, r.center().x(), r.center().y(),
                                colours[size_t(members[c])], 3));
        }
    }
}

// --- edits, each one step

TEST_F(LivingLayoutTest, SwapReplaceInsertDeleteAndDissolveUndoAndRedo) {
    Build(5);
    ASSERT_TRUE(Arrange(LayoutFamily::Tree, 6, 6, true));
    CollageDocument& doc = scene.doc;
    const QString extra =
        scene.WritePicture(QStringLiteral("extra.png"), SolidImage(50, 100, Qt::darkGreen));

    struct Step {
        const char* name;
        std::function<bool()> run;
    };
    const Step steps[] = {
        {"swap", [&] { return SwapLayoutCells(doc, 0, 3); }},
        {"replace",
         [&] {
             doc.AddPhoto(extra, 50, 100, 0, 0);
             const QPointF inside = doc.layout.cells[1].center();
             return PlaceDroppedPhoto(doc, int(doc.objects.size()) - 1, inside);
         }},
        {"insert",
         [&] {
             doc.AddPhoto(extra, 50, 100, 0, 0);
             // The margin's corner is no cell: a new cell.
             return PlaceDroppedPhoto(doc, int(doc.objects.size()) - 1, QPointF(1, 1));
         }},
        {"delete",
         [&] {
             for (CanvasObject& o : doc.objects)
                 o.SetSelected(o.layoutCell == 2);
             doc.DeleteSelection();
             return true;
         }},
        {"remove", [&] { return RemoveFromLayout(doc, LayoutMembers(doc)[0]); }},
        {"dissolve", [&] { return DissolveLayout(doc); }},
    };
    for (const Step& step : steps) {
        const int position = doc.History().Position();
        const CollageLayout layout = doc.layout;
        const std::vector<int> tags = Tags();
        const size_t count = doc.objects.size();
        ASSERT_TRUE(step.run()) << step.name;
        EXPECT_EQ(doc.History().Position(), position + 1) << step.name << ": one step";
        const CollageLayout after = doc.layout;
        const std::vector<int> afterTags = Tags();
        // Every cell holds exactly one photo, every photo is in one cell.
        const std::vector<int> members = LayoutMembers(doc);
        for (int m : members)
            EXPECT_GE(m, 0) << step.name;
        EXPECT_EQ(int(std::count_if(afterTags.begin(), afterTags.end(),
                                    [](int t) { return t >= 0; })),
                  doc.layout.CellCount())
            << step.name;
        doc.Undo();
        EXPECT_TRUE(doc.layout == layout) << step.name;
        EXPECT_EQ(Tags(), tags) << step.name;
        EXPECT_EQ(doc.objects.size(), count) << step.name;
        doc.Redo();
        EXPECT_TRUE(doc.layout == after) << step.name;
        EXPECT_EQ(Tags(), afterTags) << step.name;
    }
    EXPECT_FALSE(doc.layout.Active());
}

TEST_F(LivingLayoutTest, SwappedPhotosTakeTheirNewCellsShape) {
    Build(3);
    ASSERT_TRUE(Arrange(LayoutFamily::Rows, 0, 0, true));
    const std::vector<int> before = LayoutMembers(scene.doc);
    ASSERT_TRUE(SwapLayoutCells(scene.doc, 0, 2));
    const std::vector<int> after = LayoutMembers(scene.doc);
    EXPECT_EQ(after[0], before[2]);
    EXPECT_EQ(after[2], before[0]);
    for (int c : {0, 2}) {
        const PhotoRecord& r = *scene.doc.objects[size_t(after[size_t(c)])].Photo();
        const QRectF cell = scene.doc.layout.cells[size_t(c)];
        // Within the whole pixels of a small picture's crop.
        const double w = r.cropRight - r.cropLeft, h = r.cropBottom - r.cropTop;
        const double aspect = cell.width() / cell.height();
        EXPECT_NEAR(w / h, aspect, aspect * (1.0 / w + 1.0 / h));
        EXPECT_EQ(r.x, int(std::lround(cell.left())));
    }
    EXPECT_FALSE(SwapLayoutCells(scene.doc, 1, 1));
    EXPECT_FALSE(SwapLayoutCells(scene.doc, 1, 9));
}

TEST_F(LivingLayoutTest, CanvasSizeReflowsWithoutAStep) {
    Build(5);
    ASSERT_TRUE(Arrange(LayoutFamily::Grid, 8, 8, true));
    const int position = scene.doc.History().Position();
    scene.doc.SetCanvasSize(800, 300);
    EXPECT_EQ(scene.doc.History().Position(), position);
    for (const QRectF& c : scene.doc.layout.cells) {
        EXPECT_GE(c.left(), 8 - 1e-6);
        EXPECT_LE(c.right(), 800 - 8 + 1e-6);
        EXPECT_LE(c.bottom(), 300 - 8 + 1e-6);
    }
    // Undo past a later step comes back to the re-flowed state, not the old canvas's cells.
    const CollageLayout reflowed = scene.doc.layout;
    ASSERT_TRUE(SwapLayoutCells(scene.doc, 0, 1));
    scene.doc.Undo();
    EXPECT_TRUE(scene.doc.layout == reflowed);
}

TEST_F(LivingLayoutTest, FreeEditsLeaveLaidOutPhotosAlone) {
    Build(3);
    ASSERT_TRUE(Arrange(LayoutFamily::Rows, 4, 4, true));
    // Resizing the crop of a laid-out photo keeps its cell's shape around the new centre.
    CanvasObject& first = scene.doc.objects[size_t(LayoutMembers(scene.doc)[0])];
    for (CanvasObject& o : scene.doc.objects)
        o.SetSelected(&o == &first);
    scene.doc.SetCrop(10, 10, 40, 70);
    const PhotoRecord& r = *first.Photo();
    const QRectF cell = scene.doc.layout.cells[0];
    EXPECT_NEAR(double(r.cropRight - r.cropLeft) / (r.cropBottom - r.cropTop),
                cell.width() / cell.height(), 0.05);
    // Around the new crop's centre, as far as the picture allows.
    const double half = (r.cropRight - r.cropLeft) / 2.0;
    EXPECT_NEAR((r.cropLeft + r.cropRight) / 2.0, std::clamp(25.0, half, r.pictureWidth - half),
                1.0);
    EXPECT_NEAR((r.cropTop + r.cropBottom) / 2.0, 40.0, 1.0);
    EXPECT_NEAR((r.cropRight - r.cropLeft) * (r.cropBottom - r.cropTop), 30 * 60, 80);
    EXPECT_TRUE(scene.doc.layout.UserCrop(0));
}

TEST_F(LivingLayoutTest, KeyEditsLeaveLaidOutPhotosInTheirCells) {
    Build(3);
    ASSERT_TRUE(Arrange(LayoutFamily::Grid, 4, 4, true));
    const std::vector<int> members = LayoutMembers(scene.doc);
    for (size_t i = 0; i < scene.doc.objects.size(); ++i)
        scene.doc.objects[i].SetSelected(std::count(members.begin(), members.end(), int(i)) > 0);
    std::vector<PhotoRecord> before;
    for (int i : members)
        before.push_back(*scene.doc.objects[size_t(i)].Photo());
    // Nudges, key scaling and key turning: none moves, sizes or turns a photo of the layout.
    EXPECT_FALSE(NudgeSelection(scene.doc, 5, 0));
    EXPECT_FALSE(ScaleSelection(scene.doc, 2));
    EXPECT_FALSE(TurnSelection(scene.doc, 3));
    for (size_t k = 0; k < members.size(); ++k) {
        const PhotoRecord& now = *scene.doc.objects[size_t(members[k])].Photo();
        const PhotoRecord& was = before[k];
        EXPECT_EQ(now.x, was.x);
        EXPECT_EQ(now.y, was.y);
        EXPECT_EQ(now.scale, was.scale);
        EXPECT_EQ(now.angle, was.angle);
    }
}

// --- gaps and cell mode

TEST_F(LivingLayoutTest, GapDragsMoveSharedEdgesAndStopAtTheSmallestCell) {
    Build(2, 400, 200);
    ASSERT_TRUE(Arrange(LayoutFamily::Grid, 10, 10, true));
    const CollageLayout& layout = scene.doc.layout;
    ASSERT_EQ(layout.CellCount(), 2);
    const QRectF a = layout.cells[0], b = layout.cells[1];
    ASSERT_LT(a.right(), b.left()); // side by side
    const QPointF inGap((a.right() + b.left()) / 2, a.center().y());
    const std::optional<LayoutGap> gap = GapAt(layout, inGap, 2.0);
    ASSERT_TRUE(gap.has_value());
    EXPECT_TRUE(gap->vertical);
    EXPECT_FALSE(GapAt(layout, a.center(), 2.0).has_value());

    std::vector<QRectF> cells;
    struct Drag {
        double by, applied;
    } drags[] = {{30, 30}, {-25, -25}, {1000, b.width() - kMinCellSide},
                 {-1000, -(a.width() - kMinCellSide)}};
    for (const Drag& d : drags) {
        EXPECT_DOUBLE_EQ(MoveGap(layout.cells, *gap, d.by, kMinCellSide, cells), d.applied);
        EXPECT_DOUBLE_EQ(cells[0].right() + 10, cells[1].left()); // the spacing stays
        EXPECT_GE(cells[0].width(), kMinCellSide - 1e-9);
        EXPECT_GE(cells[1].width(), kMinCellSide - 1e-9);
        EXPECT_DOUBLE_EQ(cells[0].left(), a.left());
        EXPECT_DOUBLE_EQ(cells[1].right(), b.right());
    }
}

TEST_F(LivingLayoutTest, CellModeZoomStaysBetweenCoverAndItsLimitsAndPanStaysInside) {
    scene.doc.width = 400;
    scene.doc.height = 300;
    const QString path =
        scene.WritePicture(QStringLiteral("big.png"), SolidImage(4000, 3000, Qt::darkBlue));
    scene.AddPhoto(path, QSize(4000, 3000), 0, 0);
    scene.AddPhoto(path, QSize(4000, 3000), 0, 0);
    ASSERT_TRUE(Arrange(LayoutFamily::Rows, 0, 0, true));
    CollageDocument& doc = scene.doc;
    const auto crop = [&]() -> const PhotoRecord& {
        return *doc.objects[size_t(LayoutMembers(doc)[0])].Photo();
    };
    const int widest = crop().cropRight - crop().cropLeft;
    const QRectF cell = doc.layout.cells[0];
    // Closer and closer: at most 8x the covering crop.
    for (int i = 0; i < 30; ++i)
        ZoomCellPicture(doc, 0, 1.25, cell.center(), 1.0f);
    EXPECT_NEAR(crop().cropRight - crop().cropLeft, widest / 8.0, 1.0);
    // At zoom 4 one picture pixel per screen pixel comes first.
    for (int i = 0; i < 30; ++i)
        ZoomCellPicture(doc, 0, 1.0 / 1.25, cell.center(), 1.0f);
    EXPECT_EQ(crop().cropRight - crop().cropLeft, widest);
    for (int i = 0; i < 30; ++i)
        ZoomCellPicture(doc, 0, 1.25, cell.center(), 4.0f);
    EXPECT_NEAR(crop().cropRight - crop().cropLeft,
                std::max(widest / 8.0, cell.width() * 4.0), 1.0);
    // Panning far stays inside the picture.
    for (int i = 0; i < 50; ++i)
        PanCellPicture(doc, 0, 500, 500, 1.0f);
    EXPECT_EQ(crop().cropLeft, 0);
    EXPECT_EQ(crop().cropTop, 0);
    for (int i = 0; i < 50; ++i)
        PanCellPicture(doc, 0, -500, -500, 1.0f);
    EXPECT_EQ(crop().cropRight, 4000);
    EXPECT_EQ(crop().cropBottom, 3000);
    EXPECT_TRUE(doc.layout.UserCrop(0));
}

} // namespace

namespace {

// Pictures are cut from the last decodes of their files only while the file is unchanged.
TEST(RecentPhotoDecodes, AFileChangedOnDiskIsReadAgain) {
    CanvasScene scene;
    const QString path = scene.WritePicture(QStringLiteral("swap.png"), SolidImage(64, 48, Qt::red));
    PhotoRecord& r = scene.AddPhoto(path, QSize(64, 48), 0, 0);
    const QImage first = BuildPhotoPicture(r, QSize(32, 24), false).picture;
    ASSERT_FALSE(first.isNull());
    EXPECT_TRUE(PixelIs(first, 5, 5, Qt::red));
    // Another picture under the same name (a larger one, so the file's size differs too).
    ASSERT_TRUE(SolidImage(80, 60, Qt::blue).save(path));
    r.pictureWidth = r.cropRight = r.boxWidth = 80;
    r.pictureHeight = r.cropBottom = r.boxHeight = 60;
    const QImage second = BuildPhotoPicture(r, QSize(32, 24), false).picture;
    ASSERT_FALSE(second.isNull());
    EXPECT_TRUE(PixelIs(second, 5, 5, Qt::blue));
    // Cut again from memory: another crop of the same file.
    r.cropLeft = 40;
    const QImage third = BuildPhotoPicture(r, QSize(16, 24), false).picture;
    EXPECT_TRUE(PixelIs(third, 5, 5, Qt::blue));
}

} // namespace
