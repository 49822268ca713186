// Subject crops: where a crop of a cell's shape is placed around a picture's subject, the
// subject's rectangles for turned and mirrored photos, the subject cache file and the finder's
// behaviour without its detector files.
#include "imaging/decode/PictureMetadata.h"
#include "imaging/subject/SubjectCache.h"
#include "imaging/subject/SubjectCrop.h"
#include "imaging/subject/SubjectFinder.h"
#include "imaging/subject/SubjectSaliency.h"

#include "common/TestSupport.h"

#include <QDateTime>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zlib.h>

namespace mosaiq {
namespace {

bool Holds(const QRect& crop, const QRectF& r) {
    return r.left() >= crop.left() - 0.5 && r.top() >= crop.top() - 0.5 &&
           r.right() <= crop.left() + crop.width() + 0.5 &&
           r.bottom() <= crop.top() + crop.height() + 0.5;
}

struct PlacementCase {
    const char* name;
    QSize picture;
    double aspect;
    std::vector<QRectF> faces;
    QRectF box;
    // What the crop must hold whole, and what it must not (a face it cannot keep).
    std::vector<QRectF> kept;
    std::vector<QRectF> dropped;
};

TEST(SubjectCrop, PlacesTheLargestCropAroundTheSubject) {
    const std::vector<PlacementCase> cases = {
        {"box fits, at the right edge", {3000, 2000}, 1.0, {}, {2300, 500, 500, 600},
         {{2300, 500, 500, 600}}, {}},
        {"box fits, centred on it", {3000, 2000}, 1.0, {}, {1000, 400, 400, 400},
         {{200, 0, 2000, 2000}}, {}},
        {"box too wide, its face kept", {3000, 1000}, 1.0 / 3.0, {{700, 200, 100, 120}},
         {100, 100, 800, 600}, {{700, 200, 100, 120}}, {}},
        {"faces at both sides of a tall cell: the larger whole", {3000, 1000}, 1.0 / 3.0,
         {{2700, 300, 150, 170}, {100, 300, 120, 130}}, {80, 200, 2800, 400},
         {{2700, 300, 150, 170}}, {{100, 300, 120, 130}}},
        {"faces at the picture's edge", {3000, 1000}, 0.5, {{2940, 100, 60, 80}},
         {2880, 60, 120, 160}, {{2940, 100, 60, 80}}, {}},
        {"portrait in a wide cell keeps the head", {2000, 3000}, 3.0, {{800, 100, 300, 340}},
         {700, 0, 500, 600}, {{800, 100, 300, 340}, {700, 0, 500, 600}}, {}},
        {"two faces that fit together", {4000, 1000}, 1.0, {{500, 200, 150, 150}, {1200, 250, 140, 140}},
         {300, 100, 1200, 700}, {{500, 200, 150, 150}, {1200, 250, 140, 140}}, {}},
        {"nothing found: the centre", {3000, 2000}, 1.0, {}, {1500, 1000, 0, 0},
         {{500, 0, 2000, 2000}}, {}},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.name);
        PictureSubject subject{c.picture, c.faces, c.box};
        const QRect crop = PlaceSubjectCrop(c.picture, &subject, c.aspect, QRect());
        // Always the largest crop of the aspect, inside the picture.
        EXPECT_TRUE(QRect(QPoint(0, 0), c.picture).contains(crop));
        EXPECT_TRUE(crop.width() == c.picture.width() || crop.height() == c.picture.height());
        EXPECT_NEAR(double(crop.width()) / crop.height(), c.aspect, 0.01);
        for (const QRectF& k : c.kept)
            EXPECT_TRUE(Holds(crop, k)) << "crop " << crop.x() << "," << crop.y() << " "
                                        << crop.width() << "x" << crop.height();
        for (const QRectF& d : c.dropped)
            EXPECT_FALSE(Holds(crop, d));
    }
}

TEST(SubjectCrop, WithoutASubjectCentresOnThePresentCrop) {
    EXPECT_EQ(PlaceSubjectCrop({3000, 2000}, nullptr, 1.0, QRect()), QRect(500, 0, 2000, 2000));
    EXPECT_EQ(PlaceSubjectCrop({3000, 2000}, nullptr, 1.0, QRect(2000, 0, 1000, 2000)),
              QRect(1000, 0, 2000, 2000));
    // A subject found on a reduced picture is scaled to the picture the crop refers to.
    PictureSubject reduced{{750, 500}, {}, {600, 100, 100, 100}};
    const QRect crop = PlaceSubjectCrop({3000, 2000}, &reduced, 1.0, QRect());
    EXPECT_TRUE(Holds(crop, QRectF(2400, 400, 400, 400)));
    // Aspects that cannot be met leave the whole picture.
    EXPECT_EQ(PlaceSubjectCrop({300, 200}, &reduced, 0.0, QRect()), QRect(0, 0, 300, 200));
}

// The bounding box of the pure red pixels.
QRect RedBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(255, 0, 0))
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

TEST(SubjectCrop, StoredSubjectUndoesEveryOrientation) {
    const QSize storedSize(60, 40);
    const QRect marker(5, 3, 12, 7);
    QImage stored(storedSize, QImage::Format_RGB32);
    stored.fill(Qt::white);
    QPainter(&stored).fillRect(marker, QColor(255, 0, 0));
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const QImage upright = OrientImage(stored, orientation);
        const QRect shown = RedBox(upright);
        ASSERT_FALSE(shown.isEmpty());
        const PictureSubject subject{upright.size(), {QRectF(shown)}, QRectF(shown)};
        const PictureSubject back = StoredSubject(subject, orientation);
        EXPECT_EQ(back.picture, storedSize);
        EXPECT_EQ(back.box, QRectF(marker));
        ASSERT_EQ(back.faces.size(), 1u);
        EXPECT_EQ(back.faces[0], QRectF(marker));
    }
}

SubjectCacheEntry Entry(const QString& path, int faces) {
    SubjectCacheEntry e;
    e.path = path;
    e.size = 123456;
    e.modified = 1700000000123;
    e.orientation = 6;
    e.subject.picture = QSize(4000, 3000);
    for (int i = 0; i < faces; ++i)
        e.subject.faces.push_back(QRectF(100 + i, 200, 50.5, 60.25));
    e.subject.box = QRectF(90, 150, 300, 400);
    return e;
}

TEST(SubjectCache, FileRoundTripsAndRefusesDamage) {
    const std::vector<SubjectCacheEntry> entries = {Entry(QStringLiteral("/p/a.jpg"), 0),
                                                    Entry(QString::fromUtf8("/p/é ü.jpg"), 3)};
    const QByteArray bytes = WriteSubjectCache(entries);
    const auto back = ReadSubjectCache(bytes);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ((*back)[1].path, entries[1].path);
    EXPECT_EQ((*back)[1].size, entries[1].size);
    EXPECT_EQ((*back)[1].modified, entries[1].modified);
    EXPECT_EQ((*back)[1].orientation, 6);
    EXPECT_EQ((*back)[1].subject.faces, entries[1].subject.faces);
    EXPECT_EQ((*back)[1].subject.box, entries[1].subject.box);
    EXPECT_EQ((*back)[0].subject.picture, QSize(4000, 3000));

    // Every damage is refused: a flipped byte anywhere, a short file, another version, a count
    // the bytes cannot hold (with a checksum that matches).
    for (qsizetype i = 0; i < bytes.size(); i += 7) {
        QByteArray damaged = bytes;
        damaged[i] = char(damaged[i] ^ 0x20);
        EXPECT_FALSE(ReadSubjectCache(damaged)) << "byte " << i;
    }
    EXPECT_FALSE(ReadSubjectCache(bytes.left(bytes.size() - 1)));
    EXPECT_FALSE(ReadSubjectCache(QByteArray()));
    // Whole bytes (the checksum made again) of another version, or a count the bytes cannot
    // hold, are not read either.
    const auto resealed = [](QByteArray b, qsizetype at, char value) {
        b[at] = value;
        b.chop(4);
        const auto crc = std::uint32_t(
            crc32(0L, reinterpret_cast<const Bytef*>(b.constData()), uInt(b.size())));
        for (int k = 0; k < 4; ++k)
            b.append(char((crc >> (8 * k)) & 0xff));
        return b;
    };
    EXPECT_TRUE(ReadSubjectCache(resealed(bytes, 20, bytes[20])));
    EXPECT_FALSE(ReadSubjectCache(resealed(bytes, 8, char(2))));
    EXPECT_FALSE(ReadSubjectCache(resealed(bytes, 12, char(3))));
    EXPECT_FALSE(ReadSubjectCache(resealed(bytes, 15, char(0x7f))));

    // The file keeps at most the bound, the first entries given.
    std::vector<SubjectCacheEntry> many;
    for (int i = 0; i < kMaxSubjectCacheEntries + 5; ++i)
        many.push_back(Entry(QStringLiteral("/p/%1.jpg").arg(i), 0));
    const auto bounded = ReadSubjectCache(WriteSubjectCache(many));
    ASSERT_TRUE(bounded);
    EXPECT_EQ(int(bounded->size()), kMaxSubjectCacheEntries);
}

// A picture with one bright disc on a plain grey ground.
QImage DiscPicture(QSize size, QPoint centre, int radius) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(110, 115, 120));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 215, 40));
    p.drawEllipse(centre, radius, radius);
    return image;
}

TEST(SubjectFinder, BrightObjectOnAPlainGroundIsTheSubject) {
    const QImage picture = DiscPicture({1200, 800}, {950, 220}, 120);
    const std::optional<QRectF> region = SalientRegion(picture);
    ASSERT_TRUE(region);
    EXPECT_TRUE(region->contains(QPointF(950, 220)));
    EXPECT_TRUE(region->adjusted(-20, -20, 20, 20).contains(QRectF(830, 100, 240, 240)))
        << region->x() << "," << region->y() << " " << region->width() << "x" << region->height();
    EXPECT_LT(region->width(), 600);
    // A plain picture has no salient region.
    QImage plain(800, 600, QImage::Format_RGB32);
    plain.fill(QColor(90, 140, 200));
    EXPECT_FALSE(SalientRegion(plain));
}

class SubjectFiles : public ::testing::Test {
protected:
    void TearDown() override {
        SetSubjectDetectorFolder(QStringLiteral("/usr/share/opencv4"));
        ForgetSubjectCache();
    }
    QString Save(const QImage& image, const QString& name) {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }
    test::ScopedDataDir m_data;
    QTemporaryDir m_dir;
};

TEST_F(SubjectFiles, StaleEntryIsFoundAgainAndDamagedCacheRebuilt) {
    ForgetSubjectCache();
    const QString path = Save(DiscPicture({1200, 800}, {200, 200}, 120), QStringLiteral("a.png"));
    const auto left = SubjectOfPhoto(path, true);
    ASSERT_TRUE(left);
    EXPECT_LT(left->box.center().x(), 600);
    const QString cacheFile = m_data.File(QString::fromLatin1(kSubjectCacheFile));
    ASSERT_TRUE(QFile::exists(cacheFile));
    const auto cached = ReadSubjectCache(test::ReadAll(cacheFile));
    ASSERT_TRUE(cached);
    ASSERT_EQ(cached->size(), 1u);
    EXPECT_EQ(cached->front().path, path);

    // The same file with other pixels and another time: looked at again.
    Save(DiscPicture({1200, 800}, {1000, 600}, 120), QStringLiteral("a.png"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                 QFileDevice::FileModificationTime));
    file.close();
    const auto right = SubjectOfPhoto(path, true);
    ASSERT_TRUE(right);
    EXPECT_GT(right->box.center().x(), 600);

    // A damaged file is not trusted: the subject is found again and the file written anew.
    ForgetSubjectCache();
    ASSERT_TRUE(test::WriteAll(cacheFile, QByteArray("MQSUBJ\r\n garbage of no use")));
    EXPECT_FALSE(LookUpSubject(path, true, SubjectLookup::CacheOnly));
    const auto again = SubjectOfPhoto(path, true);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->box, right->box);
    const auto rebuilt = ReadSubjectCache(test::ReadAll(cacheFile));
    ASSERT_TRUE(rebuilt);
    EXPECT_EQ(rebuilt->size(), 1u);
    // Read back from the file alone.
    ForgetSubjectCache();
    EXPECT_TRUE(LookUpSubject(path, true, SubjectLookup::CacheOnly));
}

TEST_F(SubjectFiles, MissingDetectorsGiveNoSubjectAndCentredCrops) {
    ForgetSubjectCache();
    const QString path = Save(DiscPicture({1200, 800}, {200, 200}, 120), QStringLiteral("b.png"));
    QTemporaryDir empty;
    SetSubjectDetectorFolder(empty.path());
    EXPECT_FALSE(SubjectDetectorsAvailable());
    const auto subject = SubjectOfPhoto(path, true);
    EXPECT_FALSE(subject);
    EXPECT_EQ(PlaceSubjectCrop({1200, 800}, subject ? &*subject : nullptr, 1.0, QRect()),
              QRect(200, 0, 800, 800));
    // Nothing was cached: with the detectors back the subject is found.
    SetSubjectDetectorFolder(QStringLiteral("/usr/share/opencv4"));
    EXPECT_TRUE(SubjectDetectorsAvailable());
    const auto found = SubjectOfPhoto(path, true);
    ASSERT_TRUE(found);
    EXPECT_LT(found->box.center().x(), 600);
}

} // namespace
} // namespace mosaiq
