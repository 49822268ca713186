// Photo effects on a photo's file and where pasted pictures are placed.
#include "canvas/document/CollageDocument.h"
#include "canvas/document/PastedPlacement.h"
#include "canvas/edits/PhotoEffectJob.h"
#include "common/TestSupport.h"
#include "imaging/PngTestWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include <thread>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {
QImage Gradient(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
    return image;
}
} // namespace

TEST(PhotoEffectJob, ResultIsNamedByItsContentAndWrittenOnce) {
    test::ScopedDataDir data;
    ASSERT_TRUE(Gradient(50, 40).save(data.File(QStringLiteral("a.png"))));
    const QString folder = data.File(QStringLiteral("Effects"));
    PhotoEffectJob first(data.File(QStringLiteral("a.png")), PhotoEffect::Soften, folder);
    const EffectFileResult r1 = first.Run();
    ASSERT_TRUE(r1.ok) << r1.error.toStdString();
    EXPECT_EQ(QFileInfo(r1.path).completeBaseName().size(), 40); // SHA-1 in hex
    PhotoEffectJob again(data.File(QStringLiteral("a.png")), PhotoEffect::Soften, folder);
    EXPECT_EQ(again.Run().path, r1.path);
    PhotoEffectJob other(data.File(QStringLiteral("a.png")), PhotoEffect::Dilate, folder);
    EXPECT_NE(other.Run().path, r1.path);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2);
}

TEST(PhotoEffectJob, APicturePastTheEffectBudgetIsRefusedBeforeItIsDecoded) {
    // A black one-bit picture of 9000 x 9000 pixels (81 megapixels): a few kilobytes of file.
    test::ScopedDataDir data;
    test::PngLayout layout;
    layout.width = layout.height = 9000;
    layout.bitDepth = 1;
    layout.colourType = 0;
    const QByteArray rows = test::Deflated(QByteArray(9000 * (1 + 1125), '\0'));
    const QString big = data.File(QStringLiteral("big.png"));
    ASSERT_TRUE(test::WriteAll(big, test::MakePng(layout, &rows)));
    const QString folder = data.File(QStringLiteral("Effects"));
    PhotoEffectJob job(big, PhotoEffect::Mean, folder);
    const EffectFileResult r = job.Run();
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.cancelled);
    EXPECT_TRUE(r.error.contains(QLatin1String("an effect's picture"))) << r.error.toStdString();
    EXPECT_TRUE(r.error.contains(QLatin1String("9000 x 9000"))) << r.error.toStdString();
    EXPECT_FALSE(QDir(folder).exists());
}

TEST(PhotoEffectJob, CancelStopsWithoutWritingAnything) {
    test::ScopedDataDir data;
    ASSERT_TRUE(Gradient(2000, 1500).save(data.File(QStringLiteral("big.bmp"))));
    const QString folder = data.File(QStringLiteral("Effects"));
    PhotoEffectJob job(data.File(QStringLiteral("big.bmp")), PhotoEffect::Median, folder);
    job.Cancel(); // a cancel that comes before the work starts stops it too
    const EffectFileResult r = job.Run();
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(QDir(folder).exists() && !QDir(folder).isEmpty());

    PhotoEffectJob running(data.File(QStringLiteral("big.bmp")), PhotoEffect::Median, folder);
    EffectFileResult result;
    std::thread worker([&] { result = running.Run(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    running.Cancel();
    worker.join();
    // Either the cancel arrived in time or the effect had already finished: never half a result.
    EXPECT_TRUE(result.cancelled || result.ok);
    EXPECT_EQ(result.ok, QFileInfo::exists(result.path));
}

TEST(PhotoEffectJob, UnreadablePictureIsReported) {
    test::ScopedDataDir data;
    PhotoEffectJob job(data.File(QStringLiteral("missing.jpg")), PhotoEffect::Blur, data.File(QStringLiteral("Effects")));
    const EffectFileResult r = job.Run();
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.cancelled);
    EXPECT_TRUE(r.error.contains(QLatin1String("missing.jpg")));
}

TEST(PhotoEffectJob, SetPhotoPictureIsOneUndoStep) {
    CollageDocument doc;
    ASSERT_TRUE(doc.AddPhoto(QStringLiteral("/photos/a.jpg"), 10, 10, 0, 0));
    const int position = doc.History().Position();
    EXPECT_FALSE(SetPhotoPicture(doc, 1, QStringLiteral("/x.png")));
    EXPECT_FALSE(SetPhotoPicture(doc, 0, QString(300, QLatin1Char('x')))); // does not fit the record
    EXPECT_EQ(doc.History().Position(), position);
    ASSERT_TRUE(SetPhotoPicture(doc, 0, QStringLiteral("/effects/b.png")));
    EXPECT_EQ(doc.History().Position(), position + 1);
    EXPECT_TRUE(doc.modified);
    doc.Undo();
    EXPECT_STREQ(doc.objects[0].Photo()->path, "/photos/a.jpg");
    doc.Redo();
    EXPECT_STREQ(doc.objects[0].Photo()->path, "/effects/b.png");
}

TEST(PastedPlacement, CentreOfTheVisibleCanvas) {
    const QSize canvas(1024, 768);
    CanvasView view; // zoom 1, no scrolling: a large client shows the whole canvas
    EXPECT_EQ(VisibleCanvasCentre(view, QSize(1500, 1000), canvas), QPoint(512, 384));
    // A small client scrolled to the right shows (300, 100)-(700, 400).
    view.scrollX = 300;
    view.scrollY = 100;
    EXPECT_EQ(VisibleCanvasCentre(view, QSize(400, 300), canvas), QPoint(500, 250));
    // Zoom 2: the client shows surface (300, 100)-(700, 400), canvas (150, 50)-(350, 200).
    view.zoom = 2.0f;
    EXPECT_EQ(VisibleCanvasCentre(view, QSize(400, 300), canvas), QPoint(250, 125));
    // Scrolled past the canvas: its own centre.
    view.scrollX = 5000;
    EXPECT_EQ(VisibleCanvasCentre(view, QSize(400, 300), canvas), QPoint(512, 384));
}

TEST(PastedPlacement, CalendarCentredAndUndoable) {
    CollageDocument doc;
    QImage picture(260, 260, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    ASSERT_TRUE(AddPastedPictureCentred(doc, picture, QPoint(512, 384)));
    ASSERT_EQ(doc.objects.size(), 1u);
    EXPECT_EQ(doc.objects[0].Position(), QPoint(382, 254));
    EXPECT_TRUE(doc.CanUndo());
    ASSERT_TRUE(AddPastedPictureCentred(doc, picture, QPoint(10, 10)));
    EXPECT_EQ(doc.objects[1].Position(), QPoint(-120, -120)); // may hang over the edge
    doc.Undo();
    EXPECT_EQ(doc.objects.size(), 1u);
    EXPECT_EQ(doc.pastedPictures.size(), 2u); // the pixels stay for redo
    doc.Redo();
    EXPECT_EQ(doc.objects[1].Clipart()->sourceId, 1);
    EXPECT_FALSE(AddPastedPictureCentred(doc, QImage(), QPoint(0, 0)));
}
