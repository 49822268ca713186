// Photo list records measured on the upright picture, and older records brought upright once.
#include "library/photos/PhotoList.h"
#include "library/photos/PhotoThumbnail.h"

#include "common/PhonePictures.h"
#include "common/TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

class UprightRecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString log;
        ASSERT_TRUE(test::MakeOrientedPictures(dir.path(), 160, 96, &log)) << log.toStdString();
        upright = QImage(dir.filePath(QStringLiteral("upright.png")));
    }
    QString Oriented(int o) const { return dir.filePath(QStringLiteral("o%1.jpg").arg(o)); }

    // A record as lists made before pictures were turned hold it: the stored size, a thumbnail
    // of the stored picture, no mark.
    void AddOldRecord(PhotoList& list, int o, std::uint32_t rotation) {
        PreparedPhoto photo = PreparePhoto(Oriented(o));
        ASSERT_TRUE(photo.ok);
        photo.entry.upright = 0;
        if (o >= 5)
            std::swap(photo.entry.width, photo.entry.height);
        photo.entry.rotation = rotation;
        photo.thumbnail = kOldThumbnail;
        ASSERT_EQ(list.AddImportedPhoto(photo), AddPhotoResult::Added);
    }

    const QByteArray kOldThumbnail = QByteArray("not the upright thumbnail");
    QTemporaryDir dir;
    QImage upright;
};

TEST_F(UprightRecordTest, NewRecordsHoldTheUprightSizeAndThumbnail) {
    for (int o : {1, 3, 6, 7}) {
        SCOPED_TRACE(o);
        const PreparedPhoto photo = PreparePhoto(Oriented(o));
        ASSERT_TRUE(photo.ok);
        EXPECT_EQ(photo.entry.upright, kUprightRecordMark);
        EXPECT_EQ(photo.entry.width, 160u);
        EXPECT_EQ(photo.entry.height, 96u);
        // The browser's picture of the stored thumbnail (80 x 80, stretched) is upright.
        const QImage thumb = DecodePhotoThumbnail(photo.thumbnail, 0);
        EXPECT_TRUE(test::QuadrantsMatch(thumb, upright, 24));
    }
}

TEST_F(UprightRecordTest, OldSidewaysRecordIsRemadeOnceKeepingTheUsersRotation) {
    PhotoList list;
    AddOldRecord(list, 6, 3);
    ASSERT_TRUE(list.RemeasureOldRecord(0));
    const PictureFileEntry& e = list.Records()[0];
    EXPECT_EQ(e.upright, kUprightRecordMark);
    EXPECT_EQ(QSize(int(e.width), int(e.height)), QSize(160, 96));
    EXPECT_EQ(e.rotation, 3u);
    EXPECT_NE(list.Thumbnails()[0], kOldThumbnail);
    // Drawn with the user's rotation on top of the upright thumbnail.
    const QImage thumb = DecodePhotoThumbnail(list.Thumbnails()[0], 0);
    EXPECT_TRUE(test::QuadrantsMatch(thumb, upright, 24));
    EXPECT_FALSE(list.RemeasureOldRecord(0));

    // The mark survives the list file.
    PhotoList reread;
    ASSERT_TRUE(reread.LoadFromBytes(list.SaveToBytes()));
    EXPECT_EQ(reread.Records()[0].upright, kUprightRecordMark);
    EXPECT_FALSE(reread.RemeasureOldRecord(0));
}

TEST_F(UprightRecordTest, OldRecordWithoutATagIsOnlyMarked) {
    PhotoList list;
    AddOldRecord(list, 1, 1);
    ASSERT_TRUE(list.RemeasureOldRecord(0));
    EXPECT_EQ(list.Records()[0].upright, kUprightRecordMark);
    EXPECT_EQ(list.Thumbnails()[0], kOldThumbnail);
    EXPECT_EQ(list.Records()[0].rotation, 1u);
}

TEST_F(UprightRecordTest, OldRecordWhoseFileHasGoneStaysAsItIs) {
    PhotoList list;
    AddOldRecord(list, 6, 0);
    ASSERT_TRUE(QFile::remove(Oriented(6)));
    EXPECT_FALSE(list.RemeasureOldRecord(0));
    EXPECT_EQ(list.Records()[0].upright, 0u);
    EXPECT_EQ(list.Records()[0].width, 96u);
    EXPECT_FALSE(list.RemeasureOldRecord(5)); // no such record
}

// A tagged picture whose data is damaged is not decoded again on every paint: it is marked and
// keeps its old record.
TEST_F(UprightRecordTest, OldRecordOfADamagedTaggedPictureIsMarkedOnce) {
    PhotoList list;
    AddOldRecord(list, 6, 2);
    const QByteArray bytes = test::ReadAll(Oriented(6));
    ASSERT_TRUE(test::WriteAll(Oriented(6), bytes.left(bytes.size() / 2)));
    EXPECT_TRUE(list.RemeasureOldRecord(0));
    EXPECT_EQ(list.Records()[0].upright, kUprightRecordMark);
    EXPECT_EQ(list.Records()[0].width, 96u);
    EXPECT_EQ(list.Thumbnails()[0], kOldThumbnail);
    EXPECT_FALSE(list.RemeasureOldRecord(0));
}

} // namespace
} // namespace mosaiq
