// Photos on the canvas turned upright by their orientation tags, while the photos of projects
// written before keep the stored pixels their geometry was measured on.
#include "canvas/output/CollageExport.h"
#include "canvas/document/PhotoFiles.h"
#include "canvas/render/PhotoPicture.h"
#include "canvas/render/PhotoPrebuild.h"
#include "canvas/project/ProjectFile.h"
#include "canvas/project/UprightListBlock.h"
#include "imaging/decode/PictureMetadata.h"

#include "CanvasTestScene.h"
#include "common/PhonePictures.h"

#include <QtEndian>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

constexpr QSize kUpright(160, 96);

class UprightPhotoTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString log;
        ASSERT_TRUE(
            test::MakeOrientedPictures(pictures.path(), kUpright.width(), kUpright.height(), &log))
            << log.toStdString();
        upright = QImage(pictures.filePath(QStringLiteral("upright.png")));
    }
    QString Oriented(int o) const { return pictures.filePath(QStringLiteral("o%1.jpg").arg(o)); }

    // The same JPEG as o<o>.jpg with its orientation tag rewritten to 1: how the photo looked
    // before tags were applied.
    QString Untagged(int o) {
        QByteArray bytes = test::ReadAll(Oriented(o));
        // Pillow writes the tag big-endian: tag 0x0112, SHORT, one value, then the value.
        const QByteArray entry("\x01\x12\x00\x03\x00\x00\x00\x01\x00", 9);
        const qsizetype at = bytes.indexOf(entry);
        EXPECT_GT(at, 0);
        bytes[at + 9] = 1;
        const QString path = pictures.filePath(QStringLiteral("untagged%1.jpg").arg(o));
        EXPECT_TRUE(test::WriteAll(path, bytes));
        return path;
    }

    QByteArray ExportBytes(CollageDocument& doc, const QString& name) {
        const QString path = out.filePath(name);
        const ExportResult r = ExportCollage(doc, path);
        EXPECT_TRUE(r.ok) << r.error.toStdString();
        return test::ReadAll(path);
    }

    test::ScopedDataDir data;
    QTemporaryDir pictures, out;
    QImage upright;
};

TEST_F(UprightPhotoTest, AddedPhotosAreMeasuredAndDrawnUpright) {
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE(o);
        CollageDocument doc;
        doc.width = 400;
        doc.height = 300;
        const PhotoFilesResult added = AddPhotoFiles(doc, {Oriented(o)}, QPoint(0, 0));
        ASSERT_EQ(added.added, 1);
        const PhotoRecord& r = *doc.objects[0].Photo();
        EXPECT_TRUE(doc.objects[0].upright);
        EXPECT_EQ(QSize(r.pictureWidth, r.pictureHeight), kUpright);
        EXPECT_GT(r.boxWidth, r.boxHeight);
        PhotoRecord record = r;
        const PhotoPictureResult built = BuildPhotoPicture(record, kUpright, true);
        EXPECT_TRUE(test::QuadrantsMatch(built.picture, upright, 12));
        // The crop box is in upright pixels too.
        EXPECT_EQ(QSize(record.cropRight, record.cropBottom), kUpright);
    }
}

TEST_F(UprightPhotoTest, StoredPhotosKeepTheirStoredPixels) {
    PhotoRecord r;
    WriteFixedText(r.path, Oriented(6));
    r.pictureWidth = r.cropRight = kUpright.height();
    r.pictureHeight = r.cropBottom = kUpright.width();
    const PhotoPictureResult built = BuildPhotoPicture(r, QSize(96, 160), false);
    ASSERT_EQ(built.picture.size(), QSize(96, 160));
    EXPECT_TRUE(test::QuadrantsMatch(
        OrientImage(built.picture.convertToFormat(QImage::Format_RGB32), 6), upright, 12));
}

// A project written before photos were turned, holding a photo stored sideways with tag 6,
// renders exactly as the same project over the untagged picture, before and after a resave.
TEST_F(UprightPhotoTest, OldProjectRendersByteForByteAsBefore) {
    const auto scene = [&](const QString& photo) {
        auto s = std::make_unique<test::CanvasScene>();
        s->doc.width = 300;
        s->doc.height = 240;
        s->AddPhoto(photo, QSize(96, 160), 30, 20);
        // As a project written before photos were turned holds it: no upright list.
        s->doc.objects[0].upright = false;
        return s;
    };
    const auto reload = [&](CollageDocument& doc, const QString& name) {
        const QString path = out.filePath(name);
        EXPECT_TRUE(SaveProject(doc, path).ok);
        auto loaded = std::make_unique<CollageDocument>();
        EXPECT_TRUE(LoadProject(*loaded, path).ok);
        return loaded;
    };
    auto before = scene(Untagged(6));
    const QByteArray expected = ExportBytes(before->doc, QStringLiteral("before.bmp"));

    auto tagged = scene(Oriented(6));
    std::unique_ptr<CollageDocument> opened = reload(tagged->doc, QStringLiteral("old.dcf"));
    ASSERT_EQ(opened->objects.size(), 1u);
    EXPECT_FALSE(opened->objects[0].upright);
    EXPECT_EQ(ExportBytes(*opened, QStringLiteral("opened.bmp")), expected);

    std::unique_ptr<CollageDocument> resaved = reload(*opened, QStringLiteral("resaved.dcf"));
    EXPECT_FALSE(resaved->objects[0].upright);
    EXPECT_EQ(ExportBytes(*resaved, QStringLiteral("resaved.bmp")), expected);
    EXPECT_EQ(test::ReadAll(out.filePath(QStringLiteral("old.dcf"))),
              test::ReadAll(out.filePath(QStringLiteral("resaved.dcf"))));
}

// The editor builds its pictures ahead of the pass and keeps recent ones: both follow each
// photo's mark, so an old project's sideways photo looks in the view as it renders.
TEST_F(UprightPhotoTest, TheViewsPicturesFollowEachPhotosMark) {
    test::CanvasScene scene;
    scene.doc.width = 300;
    scene.doc.height = 240;
    scene.AddPhoto(Oriented(6), QSize(96, 160), 30, 20);
    scene.doc.objects[0].upright = false;
    RecentPhotoPictures recent;
    std::vector<PhotoBuild> builds = StalePhotoBuilds(scene.doc, &recent);
    ASSERT_EQ(builds.size(), 1u);
    RunPhotoBuilds(builds, 1);
    ASSERT_EQ(ApplyPhotoBuilds(builds, &recent), 1);
    const QImage view = scene.doc.objects[0].cache->picture;
    PhotoRecord record = *scene.doc.objects[0].Photo();
    const PhotoPictureResult stored = BuildPhotoPicture(record, view.size(), false);
    ASSERT_EQ(view.size(), stored.picture.size());
    EXPECT_EQ(view, stored.picture);

    // The same photo taken upright is another picture, not the one kept for the stored one.
    scene.doc.objects[0].upright = true;
    scene.doc.objects[0].DropCaches();
    builds = StalePhotoBuilds(scene.doc, &recent);
    ASSERT_EQ(builds.size(), 1u);
    RunPhotoBuilds(builds, 1);
    ApplyPhotoBuilds(builds, &recent);
    EXPECT_NE(scene.doc.objects[0].cache->picture, view);
    EXPECT_EQ(recent.Find(record, view.size(), false), view);
}

TEST_F(UprightPhotoTest, UndoAndRedoKeepEachPhotosMark) {
    test::CanvasScene old;
    old.doc.width = 400;
    old.doc.height = 300;
    old.AddPhoto(Oriented(6), QSize(96, 160), 10, 10);
    old.doc.objects[0].upright = false;
    const QString project = out.filePath(QStringLiteral("old.dcf"));
    ASSERT_TRUE(SaveProject(old.doc, project).ok);
    CollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, project).ok);
    ASSERT_EQ(AddPhotoFiles(doc, {Oriented(8)}, QPoint(0, 0)).added, 1);
    doc.Undo();
    ASSERT_EQ(doc.objects.size(), 1u);
    EXPECT_FALSE(doc.objects[0].upright);
    doc.Redo();
    ASSERT_EQ(doc.objects.size(), 2u);
    EXPECT_FALSE(doc.objects[0].upright);
    EXPECT_TRUE(doc.objects[1].upright);
}

TEST_F(UprightPhotoTest, BackgroundFollowsItsMark) {
    CollageDocument doc;
    doc.backgroundPath = Oriented(8);
    doc.backgroundUpright = true;
    EXPECT_TRUE(doc.ReloadBackground().isEmpty());
    EXPECT_EQ(doc.backgroundPicture.size(), kUpright);
    doc.backgroundUpright = false;
    doc.ReloadBackground();
    EXPECT_EQ(doc.backgroundPicture.size(), kUpright.transposed());
}

// The upright list: written only when it lists any photo, read back onto the same objects, and
// an older project gains it only for the photos added to it.
TEST_F(UprightPhotoTest, UprightListRoundTripsAndIsWrittenOnlyWhenNeeded) {
    CollageDocument empty;
    const QString emptyPath = out.filePath(QStringLiteral("empty.dcf"));
    ASSERT_TRUE(SaveProject(empty, emptyPath).ok);
    EXPECT_EQ(test::ReadAll(emptyPath).size(), 280);

    test::CanvasScene scene;
    scene.doc.width = 400;
    scene.doc.height = 300;
    scene.AddPhoto(Oriented(6), QSize(96, 160), 10, 10);
    scene.doc.objects[0].upright = false; // from an older project
    TextRecord text;
    scene.Add(CanvasObject(text));
    scene.AddPhoto(Oriented(8), kUpright, 50, 50);
    scene.doc.objects[2].upright = true; // added since
    scene.doc.backgroundPath = Oriented(3);
    scene.doc.backgroundUpright = true;
    const QString path = out.filePath(QStringLiteral("mixed.dcf"));
    ASSERT_TRUE(SaveProject(scene.doc, path).ok);
    const QByteArray bytes = test::ReadAll(path);
    // "UPRT", version 1, length 12: two entries, object 2 and the background.
    const QByteArray block("UPRT\x01\0\0\0\x0c\0\0\0\x02\0\0\0\x02\0\0\0\xff\xff\xff\xff", 24);
    EXPECT_TRUE(bytes.endsWith(block));

    CollageDocument loaded;
    ASSERT_TRUE(LoadProject(loaded, path).ok);
    ASSERT_EQ(loaded.objects.size(), 3u);
    EXPECT_FALSE(loaded.objects[0].upright);
    EXPECT_TRUE(loaded.objects[2].upright);
    EXPECT_TRUE(loaded.backgroundUpright);
    EXPECT_EQ(loaded.backgroundPicture.size(), kUpright);
    const QString again = out.filePath(QStringLiteral("again.dcf"));
    ASSERT_TRUE(SaveProject(loaded, again).ok);
    EXPECT_EQ(test::ReadAll(again), bytes);

    // Without any upright photo the project has no block at all.
    scene.doc.objects[2].upright = false;
    scene.doc.backgroundUpright = false;
    ASSERT_TRUE(SaveProject(scene.doc, path).ok);
    EXPECT_FALSE(test::ReadAll(path).contains("UPRT"));
}

TEST_F(UprightPhotoTest, DamagedUprightListsFailTheLoad) {
    test::CanvasScene scene;
    scene.AddPhoto(Oriented(6), kUpright, 10, 10);
    scene.doc.objects[0].upright = true;
    TextRecord text;
    scene.Add(CanvasObject(text));
    const QString path = out.filePath(QStringLiteral("base.dcf"));
    ASSERT_TRUE(SaveProject(scene.doc, path).ok);
    const QByteArray good = test::ReadAll(path);
    ASSERT_TRUE(good.endsWith(QByteArray("UPRT\x01\0\0\0\x08\0\0\0\x01\0\0\0\0\0\0\0", 20)));
    const QByteArray base = good.left(good.size() - 20);
    const auto block = [&](quint32 version, QList<quint32> words) -> QByteArray {
        QByteArray payload;
        for (quint32 w : words) {
            char b[4];
            qToLittleEndian(w, b);
            payload.append(b, 4);
        }
        char header[8];
        qToLittleEndian(version, header);
        qToLittleEndian(quint32(payload.size()), header + 4);
        return base + QByteArray("UPRT") + QByteArray(header, 8) + payload;
    };
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"version 2", block(2, {1, 0})},
        {"count too large", block(1, {2, 0})},
        {"no count", block(1, {})},
        {"past the objects", block(1, {1, 2})},
        {"names the text", block(1, {1, 1})},
        {"twice", block(1, {2, 0, 0})},
        {"background without one", block(1, {1, kUprightBackground})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString damaged = out.filePath(QStringLiteral("damaged.dcf"));
        ASSERT_TRUE(test::WriteAll(damaged, c.bytes));
        CollageDocument doc;
        const ProjectResult r = LoadProject(doc, damaged);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.error.contains(QStringLiteral("upright"))) << r.error.toStdString();
    }
    ASSERT_TRUE(test::WriteAll(path, block(1, {1, 0})));
    CollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, path).ok);
    EXPECT_TRUE(doc.objects[0].upright);
}

} // namespace
} // namespace mosaiq
