#include "imaging/magick/PictureFile.h"
#include "imaging/files/PictureType.h"

#include "common/TestSupport.h"

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

TEST(PictureType, ExtensionTable) {
    const struct {
        const char* extension;
        int code;
    } cases[] = {{"bmp", 1},   {"gif", 2},  {"jpg", 3},   {"jpeg", 3},  {"JPG", 3},   {"png", 4},
                 {"ico", 5},   {"tif", 6},  {"tiff", 6},  {"tga", 7},   {"pcx", 8},   {"wbmp", 9},
                 {"wmf", 10},  {"emf", 10}, {"jp2", 11},  {"j2k", 11},  {"jpc", 12},  {"j2c", 12},
                 {"pgx", 13},  {"pnm", 14}, {"pgm", 14},  {"ppm", 14},  {"ras", 15},  {"xyz", 0},
                 {"", 0},      {"jpgx", 0}, {".jpg", 0},  {"webp", 16}, {"WebP", 16}, {"heic", 17},
                 {"HEIF", 17}, {"hif", 17}, {"avif", 18}, {"heics", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(PictureTypeFromExtension(QString::fromLatin1(c.extension)), c.code)
            << c.extension;
}

TEST(PictureType, ExtensionOfPaths) {
    EXPECT_EQ(PictureTypeFromExtension(PictureExtension(QStringLiteral("/p/photo.JPG"))), 3);
    EXPECT_EQ(PictureTypeFromExtension(PictureExtension(QStringLiteral("/p/photo.jpg"))), 3);
    EXPECT_EQ(PictureTypeFromExtension(PictureExtension(QStringLiteral("scan.tif"))), 6);
    EXPECT_EQ(PictureTypeFromExtension(PictureExtension(QStringLiteral("scan.tiff"))), 6);
    EXPECT_EQ(PictureTypeFromExtension(PictureExtension(QStringLiteral("a.pgm"))), 14);
    EXPECT_EQ(PictureTypeFromExtension(PictureExtension(QStringLiteral("a.xyz"))), 0);
    EXPECT_EQ(PictureExtension(QStringLiteral("photo.final.png")), QStringLiteral("png"));
    EXPECT_EQ(PictureExtension(QStringLiteral("/dir.with.dot/noname")), QString());
    EXPECT_EQ(PictureExtension(QStringLiteral("trailing.")), QString());
}

TEST(PictureType, NameWithoutDotFailsBeforeReading) {
    test::ScopedDataDir dir;
    const QString path = dir.File(QStringLiteral("picture"));
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(path, "PNG"));
    CPictureFile file;
    EXPECT_FALSE(file.Load(path));
    EXPECT_EQ(file.Picture(), nullptr);
    EXPECT_TRUE(file.ErrorString().contains(QStringLiteral("no extension")));
}

} // namespace
} // namespace mosaiq
