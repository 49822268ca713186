#include "core/text/FixedText.h"
#include "core/Notifier.h"
#include "canvas/document/CollageDocument.h"
#include "common/TestSupport.h"
#include "library/items/FrameLibrary.h"
#include "library/items/MaskLibrary.h"
#include "library/items/PictureList.h"

#include <QSignalSpy>

#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

using namespace mosaiq;
using mosaiq::test::ScopedDataDir;

namespace {

QImage Solid(int w, int h, QColor c = Qt::red) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(c);
    return image;
}

// A library of 29 masks: the keys a mask list position reads.
std::vector<KeyedEntry> MaskEntries(int count) {
    std::vector<KeyedEntry> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back({2, 2, Guid::Create(), QByteArray("not decoded here")});
    return entries;
}

class DocumentTest : public ::testing::Test {
protected:
    ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
    CollageDocument doc;
};

} // namespace

TEST(Records, StoredBytesSitAtTheirOffsets) {
    PhotoRecord photo;
    photo.cropRight = 0x11223344;
    photo.maskKey.bytes[0] = 0xAB;
    photo.boxHeight = 77;
    photo.tuning.gamma = 2.0f;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&photo);
    EXPECT_EQ(bytes[0x028], 0x44); // little-endian int32
    EXPECT_EQ(bytes[0x02B], 0x11);
    EXPECT_EQ(bytes[0x038], 0xAB);
    EXPECT_EQ(bytes[0x174], 77);
    float gamma = 0;
    std::memcpy(&gamma, bytes + 0x2A4 + 24, 4);
    EXPECT_EQ(gamma, 2.0f);

    // Creation defaults that a stored file depends on.
    EXPECT_EQ(photo.frameWindow.left, 0.05f);
    EXPECT_EQ(photo.frameWindow.bottom, 0.95f);
    TuningBlock tuning;
    EXPECT_EQ(tuning.colour, 0.125f);
    EXPECT_EQ(tuning.active, 0);
    ClipartRecord clip;
    EXPECT_EQ(clip.regionIndex, -1);
    EXPECT_EQ(clip.selected, 1);
    StampRecord stamp;
    EXPECT_EQ(stamp.selected, 0);
}

TEST(Records, WindowToCanvasTruncates) {
    CanvasView view{1.5f, 10, 20};
    EXPECT_EQ(view.WindowToCanvas(5, 7), QPoint(10, 18)); // 15/1.5, 27/1.5
    EXPECT_EQ(view.WindowToCanvas(6, 8), QPoint(10, 18)); // 16/1.5 = 10.67
}

TEST(Records, RegionSizeTruncatesAndStaysInRangeForDamagedScales) {
    PhotoRecord photo;
    photo.boxWidth = 101;
    photo.boxHeight = 75;
    photo.regionScale = 0.5f;
    EXPECT_EQ(CanvasObject(photo).RegionSize(), QSize(50, 37));
    // A damaged record's scale is far beyond what an int holds: the size is cut, not wrapped.
    photo.regionScale = 1e30f;
    const QSize huge = CanvasObject(photo).RegionSize();
    EXPECT_GT(huge.width(), 0);
    EXPECT_GT(huge.height(), 0);
    photo.regionScale = std::nanf("");
    EXPECT_EQ(CanvasObject(photo).RegionSize(), QSize(0, 0));
}

TEST_F(DocumentTest, DefaultsOfANewDocument) {
    EXPECT_EQ(doc.width, 1024);
    EXPECT_EQ(doc.height, 768);
    EXPECT_EQ(doc.backgroundColour, 0xFFFFFFu);
    EXPECT_EQ(doc.presetColour, 0x787878u);
    EXPECT_EQ(doc.brush.opacity, 255);
    EXPECT_EQ(doc.brush.size, 50);
    EXPECT_EQ(doc.History().Position(), -1);
    EXPECT_EQ(doc.FirstSelectedIndex(), -1);
}

TEST_F(DocumentTest, PhotoScaleMakesAThirdOfTheCanvas) {
    ASSERT_TRUE(doc.AddPhoto(QStringLiteral("/photos/a.jpg"), 400, 300, 30, 45));
    const PhotoRecord& p = *doc.objects.back().Photo();
    EXPECT_FLOAT_EQ(p.scale, 1792.0f / 2100.0f);
    EXPECT_EQ(p.regionScale, p.scale);
    EXPECT_EQ(p.x, 30);
    EXPECT_EQ(p.y, 45);
    EXPECT_EQ(p.cropRight, 400);
    EXPECT_EQ(p.cropBottom, 300);
    EXPECT_EQ(p.boxWidth, 400);
    EXPECT_EQ(p.sequence, -1);
    EXPECT_EQ(ReadFixedText(p.path), QStringLiteral("/photos/a.jpg"));
    EXPECT_EQ(doc.regionTable.at(size_t(p.regionIndex)), QRect(0, 0, 341, 256));
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(doc.History().Position(), 0);

    // A second photo deselects the first and counts it in its sequence.
    ASSERT_TRUE(doc.AddPhoto(QStringLiteral("/photos/b.jpg"), 100, 100, 0, 0));
    EXPECT_FALSE(doc.objects.front().Selected());
    EXPECT_EQ(doc.objects.back().Photo()->sequence, 0);
    EXPECT_EQ(doc.FirstSelectedIndex(), 1);
}

TEST_F(DocumentTest, PhotoPathThatDoesNotFitIsRefused) {
    EXPECT_FALSE(doc.AddPhoto(QString(260, QLatin1Char('p')), 10, 10, 0, 0));
    EXPECT_TRUE(doc.objects.empty());
    EXPECT_EQ(notifier.messages.size(), 1);
    EXPECT_TRUE(doc.AddPhoto(QString(259, QLatin1Char('p')), 10, 10, 0, 0));
}

TEST_F(DocumentTest, LibraryPicturesByItemCode) {
    std::vector<QImage> cliparts;
    for (int i = 0; i < 1000; ++i)
        cliparts.push_back(Solid(1 + i % 3, 2));
    cliparts[999] = Solid(33, 44);
    ASSERT_TRUE(WritePictureList(data.File(QStringLiteral("clipart.cfg")), cliparts));
    ASSERT_TRUE(WritePictureList(data.File(QStringLiteral("chrome_p.cfg")), {Solid(20, 10)}));
    doc.view = CanvasView{2.0f, 0, 0};

    ASSERT_TRUE(doc.AddLibraryPicture(999, 100, 50));
    const ClipartRecord& c = *doc.objects.back().Clipart();
    EXPECT_EQ(c.width, 33);
    EXPECT_EQ(c.height, 44);
    EXPECT_EQ(c.isPreset, 0);
    EXPECT_EQ(c.x, 50);
    EXPECT_EQ(c.y, 25);

    doc.presetColour = MakeColorref(10, 20, 30);
    ASSERT_TRUE(doc.AddLibraryPicture(1000, 0, 0));
    const ClipartRecord& preset = *doc.objects.back().Clipart();
    EXPECT_EQ(preset.width, 20);
    EXPECT_EQ(preset.isPreset, 1);
    EXPECT_EQ(preset.presetColour, MakeColorref(10, 20, 30));

    // An entry that cannot be read adds nothing and says so.
    EXPECT_FALSE(doc.AddLibraryPicture(1001, 0, 0));
    EXPECT_FALSE(doc.AddLibraryPicture(7000, 0, 0));
    EXPECT_EQ(doc.objects.size(), 2u);
    EXPECT_EQ(notifier.messages.size(), 2);
    EXPECT_EQ(doc.History().Position(), 1);
}

TEST_F(DocumentTest, MaskListPositionsAndCustomKeys) {
    const std::vector<KeyedEntry> masks = MaskEntries(29);
    ASSERT_TRUE(test::WriteAll(data.File(QStringLiteral("mask.cfg")), EncodeKeyedLibrary(masks)));
    ASSERT_TRUE(doc.AddPhoto(QStringLiteral("a.jpg"), 400, 300, 0, 0));

    ASSERT_TRUE(doc.ApplyMask(27));
    EXPECT_EQ(doc.objects[0].Photo()->maskId, 28);
    EXPECT_EQ(doc.objects[0].Photo()->customMask, 0);

    ASSERT_TRUE(doc.ApplyMask(28));
    EXPECT_EQ(doc.objects[0].Photo()->maskId, 29);
    EXPECT_EQ(doc.objects[0].Photo()->customMask, 1);
    EXPECT_EQ(doc.objects[0].Photo()->maskKey, masks[28].key);

    // A list position past the library changes nothing.
    EXPECT_FALSE(doc.ApplyMask(40));
    EXPECT_EQ(doc.objects[0].Photo()->maskId, 29);

    // A built-in mask clears the custom flag and keeps the key; a frame keeps both.
    ASSERT_TRUE(doc.ApplyMask(2));
    EXPECT_EQ(doc.objects[0].Photo()->customMask, 0);
    EXPECT_EQ(doc.objects[0].Photo()->maskKey, masks[28].key);
    ASSERT_TRUE(doc.ApplyMask(28));
    ASSERT_TRUE(test::WriteAll(
        data.File(QStringLiteral("frame.cfg")),
        EncodeFrameLibrary({{Solid(100, 100), FrameWindow{0.1f, 0.1f, 0.9f, 0.9f}}})));
    ASSERT_TRUE(doc.ApplyFrame(0));
    EXPECT_EQ(doc.objects[0].Photo()->maskId, 0);
    EXPECT_EQ(doc.objects[0].Photo()->customMask, 1);
    EXPECT_EQ(doc.objects[0].Photo()->maskKey, masks[28].key);
}

TEST_F(DocumentTest, FrameEnlargesTheBoxAndAMaskKeepsIt) {
    QImage frame = Solid(100, 100);
    ASSERT_TRUE(test::WriteAll(data.File(QStringLiteral("frame.cfg")),
                               EncodeFrameLibrary({{frame, FrameWindow{0.1f, 0.25f, 0.9f, 0.75f}}})));
    ASSERT_TRUE(test::WriteAll(data.File(QStringLiteral("mask.cfg")),
                               EncodeKeyedLibrary(MaskEntries(28))));
    ASSERT_TRUE(doc.AddPhoto(QStringLiteral("a.jpg"), 400, 300, 0, 0));
    ASSERT_TRUE(doc.ApplyMask(3));

    ASSERT_TRUE(doc.ApplyFrame(0));
    PhotoRecord& p = *doc.objects[0].Photo();
    EXPECT_EQ(p.frameId, 1);
    EXPECT_EQ(p.maskId, 0);
    EXPECT_EQ(p.boxWidth, 500);  // trunc(400 / 0.8)
    EXPECT_EQ(p.boxHeight, 600); // trunc(300 / 0.5)
    EXPECT_FLOAT_EQ(p.frameWindow.top, 0.25f);
    const QRect region = doc.regionTable.at(size_t(p.regionIndex));
    EXPECT_EQ(region.width(), int(500 * p.regionScale));

    ASSERT_TRUE(doc.ApplyMask(2));
    EXPECT_EQ(p.frameId, 0);
    EXPECT_EQ(p.maskId, 3);
    EXPECT_EQ(p.boxWidth, 500);
    EXPECT_EQ(doc.History().Position(), 3);

    EXPECT_FALSE(doc.ApplyFrame(5)); // no such frame entry
    EXPECT_EQ(p.frameId, 0);
}

TEST_F(DocumentTest, OperationsOnAMissingSelectionTellTheUser) {
    EXPECT_FALSE(doc.ApplyFrame(0));
    EXPECT_FALSE(doc.ApplyMask(0));
    doc.mouseTool = 3;
    QSignalSpy focus(&doc, &CollageDocument::focusRequested);
    EXPECT_FALSE(doc.ApplyTuning({}));
    ASSERT_EQ(notifier.messages.size(), 3);
    EXPECT_EQ(notifier.messages[0], QStringLiteral("Please select a photo on the canvas."));
    EXPECT_EQ(notifier.messages[1], QStringLiteral("Please select a photo on the canvas."));
    EXPECT_EQ(notifier.messages[2], QStringLiteral("Please select a photo or clipart on the canvas."));
    EXPECT_EQ(doc.mouseTool, 0);
    EXPECT_EQ(focus.count(), 1);
    EXPECT_EQ(doc.History().Position(), -1);
}

TEST_F(DocumentTest, TuningReachesSelectedPhotosAndCliparts) {
    ASSERT_TRUE(doc.AddPhoto(QStringLiteral("a.jpg"), 40, 30, 0, 0));
    TuningValues values;
    values.contrast = 1.5f;
    values.hue = 30.0f;
    ASSERT_TRUE(doc.ApplyTuning(values));
    const TuningBlock& t = doc.objects[0].Photo()->tuning;
    EXPECT_EQ(t.active, 1);
    EXPECT_EQ(t.contrast, 1.5f);
    EXPECT_EQ(t.hue, 30.0f);
    values.reset = true;
    ASSERT_TRUE(doc.ApplyTuning(values));
    EXPECT_EQ(doc.objects[0].Photo()->tuning.active, 0);
}

TEST_F(DocumentTest, CropSetsTheBoxAndCanvasSizeRoundsDown) {
    ASSERT_TRUE(doc.AddPhoto(QStringLiteral("a.jpg"), 400, 300, 0, 0));
    doc.SetCrop(10, 20, 110, 70);
    const PhotoRecord& p = *doc.objects[0].Photo();
    EXPECT_EQ(p.boxWidth, 100);
    EXPECT_EQ(p.boxHeight, 50);
    EXPECT_EQ(p.pictureWidth, 400);
    EXPECT_EQ(doc.History().Position(), 1);

    doc.SetCanvasSize(1023, 771);
    EXPECT_EQ(doc.width, 1020);
    EXPECT_EQ(doc.height, 768);
}

TEST_F(DocumentTest, PastedPictureAndBrushStamp) {
    doc.AddPastedPicture(Solid(8, 6), 300, 200, QRect(100, 100, 400, 300), QSize(800, 600));
    ASSERT_EQ(doc.objects.size(), 1u);
    const ClipartRecord& c = *doc.objects[0].Clipart();
    EXPECT_EQ(c.pasted, 1);
    EXPECT_EQ(c.sourceId, 0);
    EXPECT_EQ(c.x, 0); // (300 - 200 - 100) * 800 / 400
    EXPECT_EQ(c.y, -100); // (200 - 150 - 100) * 600 / 300
    EXPECT_EQ(doc.lastAddedIndex, 0);
    EXPECT_EQ(doc.History().Position(), -1); // pasting records nothing by itself

    doc.brushPictures.push_back(Solid(20, 10, Qt::white));
    doc.brush.size = 40;
    doc.brush.opacity = 51;
    doc.modified = false;
    doc.AddBrushStamp(100, 100);
    const StampRecord& s = *doc.objects[1].Stamp();
    EXPECT_EQ(s.scale, 2.0f);
    EXPECT_FLOAT_EQ(s.opacity, 0.2f);
    EXPECT_EQ(s.x, 80); // 100 - 20 * 2 * 0.5
    EXPECT_EQ(s.y, 90);
    EXPECT_EQ(s.selected, 0);
    EXPECT_FALSE(doc.modified);
    EXPECT_FALSE(doc.objects[0].Selected());
}

TEST_F(DocumentTest, DeleteAndZOrderMoves) {
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(doc.AddPhoto(QStringLiteral("p%1.jpg").arg(i), 10 + i, 10, 0, 0));
    const int recorded = doc.History().Position();

    // The topmost object moved to the top records nothing.
    doc.MoveToTop();
    EXPECT_EQ(doc.History().Position(), recorded);

    doc.MoveToBottom();
    EXPECT_EQ(doc.objects[0].Photo()->pictureWidth, 12);
    EXPECT_EQ(doc.History().Position(), recorded + 1);
    doc.MoveDown(); // already at the bottom
    EXPECT_EQ(doc.History().Position(), recorded + 1);
    doc.MoveUp();
    EXPECT_EQ(doc.objects[1].Photo()->pictureWidth, 12);
    doc.MoveToTop();
    EXPECT_EQ(doc.objects[2].Photo()->pictureWidth, 12);

    const size_t regions = doc.regionTable.size();
    doc.DeleteSelection();
    EXPECT_EQ(doc.objects.size(), 2u);
    EXPECT_EQ(doc.regionTable.size(), regions); // entries are not reused
    const int afterDelete = doc.History().Position();
    doc.DeleteSelection(); // nothing selected now
    EXPECT_EQ(doc.objects.size(), 2u);
    EXPECT_EQ(doc.History().Position(), afterDelete);
}

TEST_F(DocumentTest, PresetColourRecolioursSelectedPresetsOnly) {
    ASSERT_TRUE(WritePictureList(data.File(QStringLiteral("clipart.cfg")), {Solid(5, 5)}));
    ASSERT_TRUE(WritePictureList(data.File(QStringLiteral("glow_p.cfg")), {Solid(5, 5)}));
    ASSERT_TRUE(doc.AddLibraryPicture(0, 0, 0));
    ASSERT_TRUE(doc.AddLibraryPicture(5000, 0, 0));
    const int before = doc.History().Position();
    doc.SetPresetColour(MakeColorref(255, 0, 0));
    EXPECT_EQ(doc.presetColour, MakeColorref(255, 0, 0));
    EXPECT_EQ(doc.objects[1].Clipart()->presetColour, MakeColorref(255, 0, 0));
    EXPECT_EQ(doc.History().Position(), before + 1);
    doc.objects[0].SetSelected(true);
    doc.objects[1].SetSelected(false);
    doc.SetPresetColour(MakeColorref(0, 255, 0));
    EXPECT_EQ(doc.History().Position(), before + 1); // a plain clipart is no preset
}

TEST_F(DocumentTest, TextIsMeasuredAndPlacedByItsHalfSize) {
    doc.textTemplate.font.lfHeight = 40;
    WriteFixedText(doc.textTemplate.font.lfFaceName, QStringLiteral("Arial"));
    doc.textTemplate.font.lfWeight = 700; // not copied: new texts take height and face only
    WriteFixedText(doc.textTemplate.text, QStringLiteral("Hello, world"));
    doc.textTemplate.style = 3;
    doc.textTemplate.transparency = 0.25f;
    QSignalSpy entry(&doc, &CollageDocument::textEntryRequested);
    doc.AddText();
    ASSERT_EQ(doc.objects.size(), 1u);
    const TextRecord& t = *doc.objects[0].Text();
    EXPECT_GT(t.textWidth, t.textHeight);
    EXPECT_GT(t.textHeight, 0);
    EXPECT_EQ(t.x, t.textWidth / 2);
    EXPECT_EQ(t.y, t.textHeight / 2);
    EXPECT_EQ(t.font.lfWeight, 0);
    EXPECT_EQ(t.style, 3);
    EXPECT_EQ(t.transparency, 0.25f);
    EXPECT_EQ(doc.History().Position(), 0);
    ASSERT_EQ(entry.count(), 1);
    EXPECT_EQ(entry.at(0).at(0).toString(), QStringLiteral("Hello, world"));

    // The template's look reaches the selected text without a snapshot.
    doc.textTemplate.style = 6;
    doc.textTemplate.firstColour = MakeColorref(1, 2, 3);
    doc.ApplyTextTemplateToSelection();
    EXPECT_EQ(doc.objects[0].Text()->style, 6);
    EXPECT_EQ(doc.objects[0].Text()->firstColour, MakeColorref(1, 2, 3));
    EXPECT_EQ(doc.History().Position(), 0);
}
