// Pictures decoded ahead of the bands on worker threads: the bands, and the files every streaming
// writer makes of them, are the same bytes as when the compositor builds each picture itself;
// photos whose files fail to decode are left out exactly as then; a render stopped midway ends
// its workers and leaves the document as a full render would.
#include "CanvasTestScene.h"

#include "canvas/output/BandDecodeAhead.h"
#include "canvas/output/BandRenderer.h"
#include "canvas/output/ScaledExport.h"
#include "imaging/encode/BandWriter.h"
#include "library/items/MaskLibrary.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

QImage NoisePicture(int w, int h, quint32 seed) {
    QRandomGenerator random(seed);
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, 0xFF000000u | (random.generate() & 0xFFFFFFu) | ((x + y) & 0x3F));
    return image;
}

// Sets the worker count for one test and puts the default back.
class Workers {
public:
    explicit Workers(int count) { SetBandDecodeWorkers(count); }
    ~Workers() { SetBandDecodeWorkers(-1); }
};

struct Rendered {
    bool ok = false;
    std::vector<QImage> bands;
    std::vector<std::array<qint32, 4>> crops;
};

class BandDecodeAheadTest : public ::testing::Test {
protected:
    ScopedDataDir data;
    CanvasScene scene;
    CollageDocument& doc = scene.doc;
    QTemporaryDir out;

    // A tall collage of JPEG photos down its height, shown at a quarter of their pixels so they
    // are decoded reduced: turned ones, a masked one, one over many bands, one whose crop lies
    // past the picture, and photos whose files cannot be decoded or are gone.
    void BuildScene() {
        QImage mask(16, 16, QImage::Format_RGB32);
        mask.fill(Qt::black);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x)
                mask.setPixel(x, y, qRgb(255, 255, 255));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        mask.save(&buffer, "PNG");
        ASSERT_TRUE(WriteAll(data.File("mask.cfg"), EncodeKeyedLibrary({{16, 16, Guid(), png}})));

        doc.width = 240;
        doc.height = 640;
        doc.backgroundColour = MakeColorref(20, 90, 160);
        for (int i = 0; i < 9; ++i) {
            const QString path = scene.WritePicture(QStringLiteral("p%1.jpg").arg(i),
                                                    NoisePicture(320, 240, quint32(i + 1)));
            PhotoRecord& r = scene.AddPhoto(path, {320, 240}, 10 + (i % 2) * 100, 10 + i * 66);
            r.scale = 0.36f;
            r.angle = i % 3 == 0 ? float(7 * i + 5) : 0.0f;
            if (i == 4)
                r.maskId = 1;
            if (i == 6)
                r.cropRight = 9000; // clamped when the picture is built
        }
        PhotoRecord& tall =
            scene.AddPhoto(scene.WritePicture(QStringLiteral("tall.jpg"), NoisePicture(200, 600, 40)),
                           {200, 600}, 150, 20);
        tall.scale = 0.9f;
        tall.angle = -4.0f;
        // Bytes that are no picture, a JPEG cut short, and a file that is gone.
        const QString garbage = out.filePath(QStringLiteral("garbage.jpg"));
        ASSERT_TRUE(WriteAll(garbage, QByteArray(4000, 'x')));
        QFile whole(scene.WritePicture(QStringLiteral("whole.jpg"), NoisePicture(320, 240, 77)));
        ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
        const QString cut = out.filePath(QStringLiteral("cut.jpg"));
        ASSERT_TRUE(WriteAll(cut, whole.readAll().left(700)));
        scene.AddPhoto(garbage, {320, 240}, 20, 300).scale = 0.3f;
        scene.AddPhoto(cut, {320, 240}, 120, 420).scale = 0.3f;
        scene.AddPhoto(scene.MissingPath(), {320, 240}, 20, 520).scale = 0.3f;
    }

    Rendered Render(int workers, double scale, int bandRows, int stopAfter = -1) {
        const Workers set(workers);
        Rendered r;
        r.ok = RenderCollageInBands(doc, scale, bandRows, [&](const QImage& band, int) {
            r.bands.push_back(band.copy());
            return stopAfter < 0 || int(r.bands.size()) < stopAfter;
        });
        for (const CanvasObject& o : doc.objects)
            if (const PhotoRecord* p = o.Photo())
                r.crops.push_back({p->cropLeft, p->cropTop, p->cropRight, p->cropBottom});
        return r;
    }

    QByteArray Written(const QString& extension, const std::vector<QImage>& bands, int height) {
        const QString path = out.filePath(QStringLiteral("w.") + extension);
        const std::unique_ptr<BandWriter> writer = MakeBandWriter(extension);
        EXPECT_TRUE(writer && writer->Begin(path, QSize(bands.front().width(), height), 300));
        for (const QImage& band : bands)
            EXPECT_TRUE(writer->WriteBand(band));
        EXPECT_TRUE(writer->Finish()) << writer->ErrorString().toStdString();
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(BandDecodeAheadTest, BandsAndEveryWritersFileAreTheSameBytesOnAnyNumberOfWorkers) {
    BuildScene();
    const QSize size = ScaledCanvasSize(doc, 2.0);
    const PhotoRecord before = *doc.objects[6].Photo();
    const Rendered alone = Render(0, 2.0, 48);
    ASSERT_TRUE(alone.ok);
    ASSERT_EQ(int(alone.bands.size()), (size.height() + 47) / 48);
    EXPECT_NE(doc.objects[6].Photo()->cropRight, before.cropRight); // clamped by the build
    *doc.objects[6].Photo() = before;
    for (int workers : {1, 3}) {
        const Rendered ahead = Render(workers, 2.0, 48);
        ASSERT_TRUE(ahead.ok);
        ASSERT_EQ(ahead.bands.size(), alone.bands.size());
        for (std::size_t b = 0; b < alone.bands.size(); ++b)
            ASSERT_TRUE(ahead.bands[b] == alone.bands[b]) << workers << " workers, band " << b;
        EXPECT_EQ(ahead.crops, alone.crops);
        for (const char* ext : {"jpg", "png", "tif", "bmp"}) {
            const QString e = QString::fromLatin1(ext);
            EXPECT_EQ(Written(e, ahead.bands, size.height()),
                      Written(e, alone.bands, size.height()))
                << ext;
        }
        *doc.objects[6].Photo() = before;
    }
    // The whole export, streamed and rendered in one piece, by extension.
    ExportSettings settings;
    settings.scale = 2.0;
    for (const char* ext : {"jpg", "pcx"}) {
        QByteArray files[2];
        for (int k = 0; k < 2; ++k) {
            const Workers set(k == 0 ? 0 : 2);
            const QString path = out.filePath(QStringLiteral("e%1.%2").arg(k).arg(ext));
            ASSERT_TRUE(ExportCollageScaled(doc, path, settings).ok) << ext;
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            files[k] = file.readAll();
        }
        EXPECT_FALSE(files[0].isEmpty());
        EXPECT_EQ(files[0], files[1]) << ext;
    }
}

TEST_F(BandDecodeAheadTest, PhotosThatFailToDecodeAreLeftOutAsWithoutWorkers) {
    BuildScene();
    // Only the photos that cannot be drawn, in bands of their own rows.
    doc.objects.erase(doc.objects.begin(), doc.objects.begin() + 10);
    ASSERT_EQ(doc.objects.size(), 3u);
    const Rendered alone = Render(0, 2.0, 16);
    const Rendered ahead = Render(2, 2.0, 16);
    ASSERT_TRUE(alone.ok);
    ASSERT_TRUE(ahead.ok);
    ASSERT_EQ(ahead.bands.size(), alone.bands.size());
    for (std::size_t b = 0; b < alone.bands.size(); ++b)
        EXPECT_TRUE(ahead.bands[b] == alone.bands[b]) << "band " << b;
    // The garbage file's photo is absent: its place shows the background.
    const int row = 2 * 330, band = row / 16;
    EXPECT_TRUE(PixelIs(ahead.bands[std::size_t(band)], 2 * 60, row - band * 16,
                        QColor(20, 90, 160), 0));
}

TEST_F(BandDecodeAheadTest, AStoppedRenderEndsItsWorkersAndTheNextRenderIsWhole) {
    BuildScene();
    const Rendered alone = Render(0, 2.0, 32);
    ASSERT_TRUE(alone.ok);
    for (int stop : {1, 3, 12}) {
        const Rendered stopped = Render(3, 2.0, 32, stop);
        EXPECT_FALSE(stopped.ok);
        ASSERT_EQ(int(stopped.bands.size()), stop);
        for (int b = 0; b < stop; ++b)
            EXPECT_TRUE(stopped.bands[std::size_t(b)] == alone.bands[std::size_t(b)]);
    }
    const Rendered again = Render(3, 2.0, 32);
    ASSERT_TRUE(again.ok);
    ASSERT_EQ(again.bands.size(), alone.bands.size());
    for (std::size_t b = 0; b < alone.bands.size(); ++b)
        EXPECT_TRUE(again.bands[b] == alone.bands[b]) << "band " << b;
}

} // namespace
