// Photos from picture files, missing photos and the background picture.
#include "core/text/FixedText.h"
#include "core/Notifier.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/document/PhotoFiles.h"
#include "canvas/render/PhotoPicture.h"
#include "canvas/document/PhotoRelink.h"
#include "common/TestSupport.h"
#include "imaging/magick/ImageLibrary.h"
#include "imaging/files/PictureType.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace mosaiq;
using test::ReadAll;
using test::WriteAll;

namespace {

class PhotoFilesTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
    QTemporaryDir dir;

    QString Write(const QString& name, int w, int h, int type) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(QColor(30, 120, 200));
        const QString path = dir.filePath(name);
        if (type == kPictureJpeg || type == kPicturePng)
            EXPECT_TRUE(image.save(path));
        else
            EXPECT_TRUE(WriteAll(path, EncodePicture(image, type)));
        return path;
    }

    static const PhotoRecord& PhotoAt(const CollageDocument& doc, size_t i) {
        return *doc.objects.at(i).Photo();
    }
};

} // namespace

TEST_F(PhotoFilesTest, EveryDecoderGivesThePicturesOwnSize) {
    CollageDocument doc;
    const QStringList paths = {Write(QStringLiteral("a.pcx"), 320, 200, kPicturePcx),
                               Write(QStringLiteral("b.tga"), 1024, 768, kPictureTga),
                               Write(QStringLiteral("c.jpg"), 640, 480, kPictureJpeg)};
    const PhotoFilesResult result = AddPhotoFiles(doc, paths, QPoint(20, 20));
    EXPECT_EQ(result.added, 3) << result.refused.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(doc.objects.size(), 3u);
    EXPECT_EQ(PhotoAt(doc, 0).pictureWidth, 320);
    EXPECT_EQ(PhotoAt(doc, 0).pictureHeight, 200);
    EXPECT_EQ(PhotoAt(doc, 1).pictureWidth, 1024);
    EXPECT_EQ(PhotoAt(doc, 1).pictureHeight, 768);
    EXPECT_EQ(PhotoAt(doc, 2).pictureWidth, 640);
    EXPECT_EQ(doc.History().Count(), 1); // one addition, one step
}

TEST_F(PhotoFilesTest, EachNewPhotoLeavesThePreviousOneVisible) {
    CollageDocument doc; // 1024 x 768
    QStringList paths;
    for (int i = 0; i < 6; ++i)
        paths << Write(QStringLiteral("p%1.png").arg(i), 400, 300, kPicturePng);
    ASSERT_EQ(AddPhotoFiles(doc, paths, QPoint(20, 20)).added, 6);
    for (size_t i = 1; i < doc.objects.size(); ++i) {
        const PhotoRecord& a = PhotoAt(doc, i - 1);
        const PhotoRecord& b = PhotoAt(doc, i);
        const QRect boxA(a.x, a.y, int(float(a.boxWidth) * a.scale),
                         int(float(a.boxHeight) * a.scale));
        const QRect boxB(b.x, b.y, int(float(b.boxWidth) * b.scale),
                         int(float(b.boxHeight) * b.scale));
        EXPECT_FALSE(boxB.contains(boxA)) << "photo " << i << " hides photo " << i - 1;
        EXPECT_NE(boxA.topLeft(), boxB.topLeft());
    }
    // The first row fits side by side without overlapping.
    EXPECT_EQ(PhotoAt(doc, 0).x, 20);
    EXPECT_GT(PhotoAt(doc, 1).x, PhotoAt(doc, 0).x + int(400 * PhotoAt(doc, 0).scale));
}

TEST_F(PhotoFilesTest, TruncatedAndMissingPicturesAreRefusedByName) {
    const QString good = Write(QStringLiteral("good.jpg"), 200, 150, kPictureJpeg);
    QByteArray jpeg = ReadAll(good);
    const QString truncated = dir.filePath(QStringLiteral("truncated.jpg"));
    ASSERT_TRUE(WriteAll(truncated, jpeg.left(jpeg.size() / 2)));
    CollageDocument doc;
    const PhotoFilesResult result = AddPhotoFiles(
        doc, {truncated, dir.filePath(QStringLiteral("gone.png")), good}, QPoint(0, 0));
    EXPECT_EQ(result.added, 1);
    ASSERT_EQ(result.refused.size(), 2);
    EXPECT_TRUE(result.refused[0].contains(QStringLiteral("truncated.jpg")));
    EXPECT_TRUE(result.refused[1].contains(QStringLiteral("gone.png")));
    ASSERT_EQ(doc.objects.size(), 1u);
    EXPECT_EQ(ReadFixedText(PhotoAt(doc, 0).path), good);
}

TEST_F(PhotoFilesTest, RelinkingFindsPhotosByNameInOneUndoStep) {
    CollageDocument doc;
    QTemporaryDir moved;
    const QString a = Write(QStringLiteral("a.png"), 40, 30, kPicturePng);
    const QString b = Write(QStringLiteral("B.PNG"), 40, 30, kPicturePng);
    const QString c = Write(QStringLiteral("c.png"), 40, 30, kPicturePng);
    ASSERT_EQ(AddPhotoFiles(doc, {a, b, c}, QPoint(0, 0)).added, 3);
    // The Windows-style stored path of b: only its file name counts.
    WriteFixedText(doc.objects[1].Photo()->path, QStringLiteral("C:\\Users\\me\\Pictures\\b.png"));
    ASSERT_TRUE(QDir().mkpath(moved.filePath(QStringLiteral("sub"))));
    ASSERT_TRUE(QFile::rename(a, moved.filePath(QStringLiteral("sub/a.png"))));
    ASSERT_TRUE(QFile::rename(b, moved.filePath(QStringLiteral("B.PNG"))));
    ASSERT_TRUE(QFile::remove(c));
    doc.modified = false;
    const int historyBefore = doc.History().Count();

    ASSERT_EQ(FindMissingPhotos(doc).size(), 3u);
    const RelinkResult result = RelinkMissingPhotos(doc, moved.path());
    EXPECT_EQ(result.relinked, 2);
    ASSERT_EQ(result.notFound.size(), 1);
    EXPECT_EQ(result.notFound[0], c);
    EXPECT_EQ(ReadFixedText(PhotoAt(doc, 0).path), moved.filePath(QStringLiteral("sub/a.png")));
    EXPECT_EQ(ReadFixedText(PhotoAt(doc, 1).path), moved.filePath(QStringLiteral("B.PNG")));
    EXPECT_EQ(ReadFixedText(PhotoAt(doc, 2).path), c);
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(doc.History().Count(), historyBefore + 1);
    doc.Undo();
    EXPECT_EQ(ReadFixedText(PhotoAt(doc, 0).path), a);

    EXPECT_EQ(StoredFileName(QStringLiteral("C:\\x\\y.jpg")), QStringLiteral("y.jpg"));
    EXPECT_EQ(StoredFileName(QStringLiteral("/x/y.jpg")), QStringLiteral("y.jpg"));
    EXPECT_EQ(StoredFileName(QStringLiteral("y.jpg")), QStringLiteral("y.jpg"));
}

TEST_F(PhotoFilesTest, BackgroundPictureIsReadByBothDecoders) {
    CollageDocument doc;
    doc.backgroundPath = Write(QStringLiteral("back.tga"), 300, 200, kPictureTga);
    EXPECT_TRUE(doc.ReloadBackground().isEmpty());
    EXPECT_EQ(doc.backgroundPicture.size(), QSize(300, 200));

    const QString damaged = dir.filePath(QStringLiteral("damaged.png"));
    ASSERT_TRUE(WriteAll(damaged, QByteArray("\x89PNG\r\n\x1a\n not really", 20)));
    doc.backgroundPath = damaged;
    EXPECT_FALSE(doc.ReloadBackground().isEmpty());
    EXPECT_TRUE(doc.backgroundPicture.isNull());

    doc.backgroundPath = dir.filePath(QStringLiteral("missing.png"));
    EXPECT_TRUE(doc.ReloadBackground().isEmpty()); // a missing file is no error
    EXPECT_TRUE(doc.backgroundPicture.isNull());
}

// A palette PNG with a transparency chunk keeps its partial alpha when the photo is shown at half
// its size (80 % opaque red over white is (255, 51, 51) at every scale).
TEST_F(PhotoFilesTest, PalettePhotoKeepsPartialAlphaWhenScaledDown) {
    QImage palette(1600, 1600, QImage::Format_Indexed8);
    palette.setColorTable({qRgba(0, 0, 0, 0), qRgba(255, 0, 0, 204)});
    palette.fill(1);
    const QString path = dir.filePath(QStringLiteral("red.png"));
    ASSERT_TRUE(palette.save(path));
    PhotoRecord record;
    WriteFixedText(record.path, path);
    record.cropRight = record.pictureWidth = record.boxWidth = 1600;
    record.cropBottom = record.pictureHeight = record.boxHeight = 1600;
    for (const QSize displayed : {QSize(1600, 1600), QSize(800, 800)}) {
        const PhotoPictureResult built = BuildPhotoPicture(record, displayed);
        ASSERT_FALSE(built.picture.isNull()) << built.error.toStdString();
        EXPECT_NEAR(qAlpha(built.picture.pixel(100, 100)), 204, 1) << displayed.width();
        QImage over(built.picture.size(), QImage::Format_RGB32);
        over.fill(Qt::white);
        QPainter(&over).drawImage(0, 0, built.picture);
        const QRgb pixel = over.pixel(100, 100);
        EXPECT_NEAR(qGreen(pixel), 51, 2) << displayed.width();
        EXPECT_NEAR(qBlue(pixel), 51, 2) << displayed.width();
    }
}
