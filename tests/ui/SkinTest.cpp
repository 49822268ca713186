// The skin: every artwork the controls and windows ask for by id exists, has its size, is sharp at
// a higher device pixel ratio, and disabled icons are grey copies of their twins.
#include "ui/widgets/Skin.h"

#include <QImage>

#include <gtest/gtest.h>

#include <set>

namespace mosaiq {
namespace {

// Counts pixels that are not fully transparent.
int Painted(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0;
    return count;
}

bool IsGrey(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) > 0 && (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p)))
                return false;
        }
    return true;
}

TEST(Skin, EveryBitmapIdIsThereWithItsSize) {
    const std::pair<int, QSize> bitmaps[] = {
        {129, {25, 22}},   {131, {114, 20}}, {132, {1018, 14}}, {133, {20, 562}}, {134, {20, 563}},
        {135, {1018, 30}}, {136, {18, 17}},  {137, {18, 17}},   {138, {18, 17}},  {141, {102, 22}},
        {156, {16, 13}},   {158, {17, 10}},  {159, {17, 10}},   {160, {17, 4}},   {161, {17, 1}},
        {162, {17, 16}},   {163, {17, 16}},  {170, {130, 13}},  {181, {16, 15}},  {189, {151, 128}},
        {192, {102, 22}},  {193, {118, 20}}, {194, {118, 20}},  {195, {118, 20}}, {196, {25, 22}},
        {197, {25, 22}},   {204, {118, 20}}, {205, {118, 20}},  {206, {118, 20}}, {217, {18, 17}},
        {218, {18, 17}},   {219, {18, 17}},  {220, {18, 17}},   {221, {18, 17}},  {222, {18, 17}},
        {223, {25, 22}},   {254, {118, 20}}, {255, {118, 20}},  {256, {118, 20}}, {261, {70, 20}},
        {262, {580, 30}},  {263, {300, 27}}, {348, {20, 20}}};
    for (const auto& [id, size] : bitmaps) {
        const QPixmap pixmap = SkinBitmap(id, 1.0);
        ASSERT_FALSE(pixmap.isNull()) << "bitmap " << id;
        EXPECT_EQ(pixmap.size(), size) << "bitmap " << id;
        EXPECT_GT(Painted(pixmap.toImage()), 0) << "bitmap " << id;
    }
    EXPECT_TRUE(SkinBitmap(999, 1.0).isNull());
}

TEST(Skin, StatesOfOneFamilyDiffer) {
    const int families[][3] = {{206, 205, 204}, {195, 194, 193}, {255, 254, 256}, {129, 197, 196},
                               {136, 217, 218}, {137, 219, 220}, {138, 221, 222}, {141, 192, 141}};
    for (const auto& f : families) {
        EXPECT_NE(SkinBitmap(f[0], 1.0).toImage(), SkinBitmap(f[1], 1.0).toImage()) << f[0];
        if (f[2] != f[0]) {
            EXPECT_NE(SkinBitmap(f[1], 1.0).toImage(), SkinBitmap(f[2], 1.0).toImage()) << f[1];
        }
    }
}

TEST(Skin, HighDensityDrawsMorePixelsAtTheSameLogicalSize) {
    const QPixmap normal = SkinBitmap(136, 1.0);
    const QPixmap dense = SkinBitmap(136, 2.0);
    EXPECT_EQ(dense.size(), normal.size() * 2);
    EXPECT_EQ(dense.deviceIndependentSize(), QSizeF(normal.size()));
    EXPECT_EQ(SkinIconPixmap(205, 2.0).size(), QSize(32, 32));
    EXPECT_EQ(SkinCursorPixmap(181, 2.0).size(), QSize(64, 64));
}

TEST(Skin, IconsAndTheirDisabledTwins) {
    const int icons[] = {128, 186, 187, 190, 194, 195, 196, 198, 199, 200, 201,
                         205, 206, 208, 209, 239, 418, 420, 421, 423, 424, 425};
    for (int id : icons) {
        const QImage image = SkinIconPixmap(id, 1.0).toImage();
        ASSERT_FALSE(image.isNull()) << "icon " << id;
        const int side = (id == 128 || id == 190) ? 32 : 16;
        EXPECT_EQ(image.size(), QSize(side, side)) << "icon " << id;
        EXPECT_GT(Painted(image), side * side / 8) << "icon " << id << " is nearly empty";
        EXPECT_FALSE(IsGrey(image)) << "icon " << id << " should have colour";
        EXPECT_FALSE(SkinIcon(id).isNull());
    }
    const std::pair<int, int> twins[] = {{245, 196}, {290, 205}, {291, 206}, {292, 201},
                                         {293, 200}, {294, 198}, {295, 199}, {422, 239}};
    for (const auto& [disabled, enabled] : twins) {
        const QImage grey = SkinIconPixmap(disabled, 1.0).toImage();
        ASSERT_FALSE(grey.isNull()) << "icon " << disabled;
        EXPECT_TRUE(IsGrey(grey)) << "icon " << disabled;
        EXPECT_EQ(Painted(grey), Painted(SkinIconPixmap(enabled, 1.0).toImage()));
    }
}

TEST(Skin, IdsArePerKind) {
    ASSERT_NE(FindSkinItem(SkinKind::Bitmap, 194), nullptr);
    ASSERT_NE(FindSkinItem(SkinKind::Icon, 194), nullptr);
    EXPECT_NE(FindSkinItem(SkinKind::Bitmap, 194)->role, FindSkinItem(SkinKind::Icon, 194)->role);
    EXPECT_NE(FindSkinItem(SkinKind::Bitmap, 181)->role, FindSkinItem(SkinKind::Cursor, 181)->role);
    std::set<std::pair<int, int>> keys;
    for (const SkinItem& item : SkinItems())
        EXPECT_TRUE(keys.insert({int(item.kind), item.id}).second) << "duplicate id " << item.id;
}

TEST(Skin, CursorsHaveTheirHotSpots) {
    for (int id = 176; id <= 181; ++id) {
        const QCursor cursor = SkinCursor(id);
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor) << "cursor " << id;
        EXPECT_GT(Painted(SkinCursorPixmap(id, 1.0).toImage()), 40) << "cursor " << id;
        EXPECT_TRUE(QRect(0, 0, 32, 32).contains(cursor.hotSpot())) << "cursor " << id;
    }
    EXPECT_EQ(SkinCursor(181).hotSpot(), QPoint(16, 16)); // rotate: its centre
    EXPECT_EQ(SkinCursor(42).shape(), Qt::ArrowCursor);
}

} // namespace
} // namespace mosaiq
