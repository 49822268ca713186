// Photo pictures built ahead of the drawing pass on several threads, and the pictures kept for
// the view to find again.
#include "CanvasTestScene.h"

#include "canvas/render/PhotoPrebuild.h"

#include <gtest/gtest.h>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

class PhotoPrebuildTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            const QString path = scene.WritePicture(QStringLiteral("p%1.png").arg(i),
                                                    SolidImage(80, 60, QColor(40 * i, 90, 200)));
            scene.AddPhoto(path, {80, 60}, 10 + 90 * i, 10);
        }
    }
    ScopedDataDir data;
    CanvasScene scene;
    CollageDocument& doc = scene.doc;
};

TEST_F(PhotoPrebuildTest, EveryStalePhotoIsBuiltOnThreadsAndPlaced) {
    std::vector<PhotoBuild> builds = StalePhotoBuilds(doc);
    ASSERT_EQ(builds.size(), 3u);
    RunPhotoBuilds(builds, 2);
    EXPECT_EQ(ApplyPhotoBuilds(builds), 3);
    for (const CanvasObject& o : doc.objects) {
        ASSERT_TRUE(o.cache);
        EXPECT_EQ(o.cache->builtFor, QSize(80, 60));
        EXPECT_EQ(o.cache->picture.size(), QSize(80, 60));
    }
    EXPECT_TRUE(StalePhotoBuilds(doc).empty()); // nothing left to build

    // A new zoom makes them stale again; only those in the visible part are listed.
    doc.view.zoom = 0.5f;
    EXPECT_EQ(StalePhotoBuilds(doc, nullptr, QRect(0, 0, 60, 60)).size(), 2u);
}

TEST_F(PhotoPrebuildTest, APictureForADroppedCacheIsNotPlaced) {
    std::vector<PhotoBuild> builds = StalePhotoBuilds(doc);
    RunPhotoBuilds(builds, 1);
    doc.objects[1].DropCaches(); // the object changed while the pictures were made
    EXPECT_EQ(ApplyPhotoBuilds(builds), 2);
    EXPECT_FALSE(doc.objects[1].cache);
}

TEST_F(PhotoPrebuildTest, ACancelledRunBuildsNothingMore) {
    std::vector<PhotoBuild> builds = StalePhotoBuilds(doc);
    std::atomic<bool> cancel{true};
    RunPhotoBuilds(builds, 2, &cancel);
    for (const PhotoBuild& b : builds)
        EXPECT_TRUE(b.picture.isNull());
}

TEST_F(PhotoPrebuildTest, RecentPicturesAreFoundByWhatTheyWereMadeFrom) {
    RecentPhotoPictures recent(6000); // room for one 80 x 60 picture
    PhotoRecord& r = *doc.objects[0].Photo();
    const QImage picture = SolidImage(80, 60, Qt::red);
    recent.Keep(r, {80, 60}, true, picture);
    EXPECT_EQ(recent.Find(r, {80, 60}, true).cacheKey(), picture.cacheKey());
    EXPECT_TRUE(recent.Find(r, {40, 30}, true).isNull());
    PhotoRecord cropped = r;
    cropped.cropLeft = 5;
    EXPECT_TRUE(recent.Find(cropped, {80, 60}, true).isNull());

    // Over the budget the least recent goes first.
    recent.Keep(cropped, {80, 60}, true, SolidImage(80, 60, Qt::blue));
    EXPECT_EQ(recent.Count(), 1);
    EXPECT_TRUE(recent.Find(r, {80, 60}, true).isNull());
    EXPECT_FALSE(recent.Find(cropped, {80, 60}, true).isNull());

    // Found in recent: placed at once, not listed for building.
    std::vector<PhotoBuild> builds = StalePhotoBuilds(doc);
    RunPhotoBuilds(builds, 1);
    RecentPhotoPictures kept;
    ApplyPhotoBuilds(builds, &kept);
    const qint64 key = doc.objects[2].cache->picture.cacheKey();
    doc.DropAllCaches();
    EXPECT_TRUE(StalePhotoBuilds(doc, &kept).empty());
    EXPECT_EQ(doc.objects[2].cache->picture.cacheKey(), key);
}

} // namespace
