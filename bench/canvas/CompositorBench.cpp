// Compositor timings (wall time): a redraw of 50 cached photos (masked, framed, tuned, turned) at
// zoom 1 on 1024 x 768 and on 1920 x 1080, copying prepared pictures and drawing directly side by
// side; building the cache of one 4000 x 3000 JPEG shown 600 pixels wide; exporting a
// 3200 x 3200 collage of 30 turned 800 x 600 photos to JPEG.
//
// Set MOSAIQ_BENCH_CORPUS to a corpus made by make_corpus.sh: the photos are then its 12- and
// 24-megapixel camera-like JPEGs. Otherwise photos with noise are made in a temporary directory.
#include "core/text/FixedText.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/output/CollageExport.h"
#include "canvas/render/Compositor.h"
#include "imaging/decode/PictureDecoder.h"
#include "library/items/FrameLibrary.h"
#include "library/items/MaskLibrary.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace mosaiq;

namespace {

// Everything the benchmarks read, made once: photos, a mask library and a frame library.
struct Fixture {
    QTemporaryDir dir;
    // Photo number i of the corpus (every tenth the 24-megapixel one), or a made one of w x h.
    QString CorpusPhoto(int i, int w, int h) {
        const QString corpus = qEnvironmentVariable("MOSAIQ_BENCH_CORPUS");
        if (corpus.isEmpty())
            return Photo(w, h);
        if (i % 10 == 9)
            return corpus + QStringLiteral("/big/big_6000x4000.jpg");
        return corpus + QStringLiteral("/jpg/photo_%1.jpg").arg(i % 100, 3, 10, QLatin1Char('0'));
    }
    // A made photo of w x h; noisy ones decode like camera pictures, plain ones are gradients and
    // blocks (the export benchmark keeps those, so its figures stay comparable over time).
    QString Photo(int w, int h, bool noisy = true) {
        const QString path =
            dir.filePath(QStringLiteral("photo-%1x%2%3.jpg").arg(w).arg(h).arg(noisy ? "n" : ""));
        if (QFileInfo::exists(path))
            return path;
        QImage image(w, h, QImage::Format_RGB32);
        QPainter p(&image);
        QLinearGradient g(0, 0, w, h);
        g.setColorAt(0, QColor(200, 40, 30));
        g.setColorAt(0.5, QColor(30, 160, 60));
        g.setColorAt(1, QColor(20, 50, 210));
        p.fillRect(image.rect(), g);
        for (int i = 0; i < 40; ++i)
            p.fillRect(QRect((i * 97) % w, (i * 61) % h, w / 20, h / 20),
                       QColor::fromHsv((i * 37) % 360, 200, 220));
        p.end();
        // Noise, so that the picture decodes like a photo and not like flat areas.
        QRandomGenerator random(uint(w * 31 + h));
        for (int y = 0; noisy && y < h; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < w; ++x) {
                const int n = int(random.bounded(32)) - 16;
                line[x] = qRgb(std::clamp(qRed(line[x]) + n, 0, 255),
                               std::clamp(qGreen(line[x]) - n, 0, 255),
                               std::clamp(qBlue(line[x]) + n / 2, 0, 255));
            }
        }
        image.save(path, "JPEG", 90);
        return path;
    }
    Fixture() {
        qputenv("MOSAIQ_DATA_DIR", (dir.path() + QStringLiteral("/")).toUtf8());
        QImage mask(256, 256, QImage::Format_RGB32);
        mask.fill(Qt::white);
        QPainter p(&mask);
        QRadialGradient g(128, 128, 128);
        g.setColorAt(0.7, Qt::black);
        g.setColorAt(1.0, Qt::white);
        p.fillRect(mask.rect(), g);
        p.end();
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        mask.save(&buffer, "PNG");
        WriteBytes(QStringLiteral("mask.cfg"), EncodeKeyedLibrary({{256, 256, Guid(), png}}));
        QImage frame(500, 400, QImage::Format_ARGB32);
        frame.fill(QColor(120, 80, 40));
        for (int y = 40; y < 360; ++y)
            for (int x = 40; x < 460; ++x)
                frame.setPixel(x, y, 0);
        WriteBytes(QStringLiteral("frame.cfg"),
                   EncodeFrameLibrary({{frame, {0.08f, 0.1f, 0.92f, 0.9f}}}));
    }
    void WriteBytes(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
};

Fixture& Files() {
    static Fixture fixture;
    return fixture;
}

PhotoRecord MakePhoto(const QString& path, int w, int h, int x, int y, float scale, float angle) {
    PhotoRecord r;
    WriteFixedText(r.path, path);
    r.pictureWidth = r.boxWidth = r.cropRight = w;
    r.pictureHeight = r.boxHeight = r.cropBottom = h;
    r.scale = r.regionScale = scale;
    r.x = x;
    r.y = y;
    r.angle = angle;
    r.selected = 0;
    return r;
}

void AddObject(CollageDocument& doc, const PhotoRecord& r) {
    doc.objects.emplace_back(r);
    doc.CreateRegion(doc.objects.back());
}

// 50 photos over a canvas of w x h, every one cached; range(0) 1 draws them directly instead of
// copying their prepared pictures, as before they were kept.
void RedrawFiftyCachedPhotos(benchmark::State& state, int w, int h) {
    CollageDocument doc;
    doc.width = w;
    doc.height = h;
    const double stepX = w / 10.8, stepY = h / 5.5;
    const float scale = float(w) / 1024.0f * 0.35f;
    for (int i = 0; i < 50; ++i) {
        const QString path = Files().CorpusPhoto(i, 640, 480);
        const QSize size = QImageReader(path).size();
        PhotoRecord r = MakePhoto(path, size.width(), size.height(), int((i % 10) * stepX),
                                  int((i / 10) * stepY), scale * 640.0f / float(size.width()),
                                  float(i * 7 % 60) - 30.0f);
        r.maskId = (i % 2) ? 1 : 0;
        r.frameId = (i % 2) ? 0 : 1;
        r.frameWindow = {0.08f, 0.1f, 0.92f, 0.9f};
        r.tuning.active = 1;
        r.tuning.contrast = 1.2f;
        r.tuning.saturation = 1.3f;
        r.tuning.hue = 10.0f;
        r.tuning.gamma = 1.1f;
        AddObject(doc, r);
    }
    doc.objects[25].SetSelected(true);
    Compositor compositor;
    QImage surface(w, h, QImage::Format_ARGB32_Premultiplied);
    RenderOptions options;
    options.directDrawing = state.range(0) != 0;
    state.SetLabel(options.directDrawing ? "direct" : "prepared");
    const auto render = [&] {
        QPainter painter(&surface);
        compositor.Render(doc, painter, options);
    };
    render(); // builds the caches
    for (auto _ : state)
        render();
}

void BM_RedrawFiftyCachedPhotos(benchmark::State& state) {
    RedrawFiftyCachedPhotos(state, 1024, 768);
}
BENCHMARK(BM_RedrawFiftyCachedPhotos)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_RedrawFiftyCachedPhotos1920x1080(benchmark::State& state) {
    RedrawFiftyCachedPhotos(state, 1920, 1080);
}
BENCHMARK(BM_RedrawFiftyCachedPhotos1920x1080)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_PhotoCache4000x3000At600(benchmark::State& state) {
    CollageDocument doc;
    AddObject(doc, MakePhoto(Files().CorpusPhoto(0, 4000, 3000), 4000, 3000, 10, 10, 0.15f, 0.0f));
    Compositor compositor;
    QImage surface(1024, 768, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        doc.DropAllCaches();
        QPainter painter(&surface);
        compositor.Render(doc, painter, RenderOptions{});
    }
}
BENCHMARK(BM_PhotoCache4000x3000At600)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The decoding alone, reduced as the cache asks for it, for comparison with the cache build.
void BM_DecodeOnly4000x3000At600(benchmark::State& state) {
    const QString path = Files().CorpusPhoto(0, 4000, 3000);
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodePictureAtLeast(path, QSize(600, 450)));
}
BENCHMARK(BM_DecodeOnly4000x3000At600)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_ExportThirtyTurnedPhotosTo3200Jpeg(benchmark::State& state) {
    CollageDocument doc;
    doc.width = doc.height = 3200;
    const QString path = Files().Photo(800, 600, false);
    for (int i = 0; i < 30; ++i)
        AddObject(doc, MakePhoto(path, 800, 600, (i % 5) * 600, (i / 5) * 500, 1.0f,
                                 float(i * 11 % 90) - 45.0f));
    const QString out = Files().dir.filePath(QStringLiteral("collage.jpg"));
    for (auto _ : state) {
        const ExportResult r = ExportCollage(doc, out);
        if (!r.ok)
            state.SkipWithError(r.error.toUtf8().constData());
    }
}
BENCHMARK(BM_ExportThirtyTurnedPhotosTo3200Jpeg)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
