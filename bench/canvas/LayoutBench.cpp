// The living layout: re-flowing 100 cells; with 50 photos of 12 MP on a 2400 x 1800 canvas shown
// at zoom 0.5, a swap until its result is drawn, a replace by a photo not shown before, one step
// of a gap drag and one step of a pan in cell mode, each until the view's pass is drawn.
#include "BenchPhotos.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/layout/LayoutGaps.h"
#include "canvas/layout/LivingLayout.h"
#include "canvas/layout/PhotoArrange.h"
#include "canvas/render/Compositor.h"
#include "canvas/render/PhotoPrebuild.h"
#include "core/text/FixedText.h"

#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace mosaiq;

constexpr int kPhotos = 50;
constexpr int kFreshPhotos = 5; // never shown before a replace
constexpr int kCanvasWidth = 2400;
constexpr int kCanvasHeight = 1800;

// Photos of 4000 x 3000 (or the corpus's), written once per run.
const QStringList& TwelveMegapixelPhotos() {
    static QTemporaryDir dir;
    static QStringList paths = [] {
        QStringList corpus = bench::CorpusJpegs(kPhotos + kFreshPhotos);
        if (corpus.size() == kPhotos + kFreshPhotos)
            return corpus;
        QStringList made;
        QRandomGenerator random(7);
        for (int i = 0; i < kPhotos + kFreshPhotos; ++i) {
            const QString path = dir.filePath(QStringLiteral("p%1.jpg").arg(i));
            bench::BlockedGradient(4000, 3000, i, random).save(path, "JPG", 85);
            made << path;
        }
        return made;
    }();
    return paths;
}

void AddRecord(CollageDocument& doc, const QString& path, QSize size) {
    PhotoRecord r;
    WriteFixedText(r.path, path);
    r.pictureWidth = r.boxWidth = r.cropRight = size.width();
    r.pictureHeight = r.boxHeight = r.cropBottom = size.height();
    doc.objects.emplace_back(r);
    doc.objects.back().upright = true;
    doc.CreateRegion(doc.objects.back());
}

struct Scene {
    CollageDocument doc;
    Compositor compositor;
    QImage surface;

    explicit Scene(int photos) {
        doc.width = kCanvasWidth;
        doc.height = kCanvasHeight;
        doc.view.zoom = 0.5f;
        const QStringList& paths = TwelveMegapixelPhotos();
        for (int i = 0; i < photos; ++i)
            AddRecord(doc, paths[i], QSize(4000, 3000));
        std::vector<int> indices;
        for (int i = 0; i < photos; ++i)
            indices.push_back(i);
        ArrangeOptions options;
        options.family = LayoutFamily::Tree;
        options.spacing = 8;
        options.margin = 8;
        options.fill = true;
        ArrangePhotos(doc, indices, options);
        surface = QImage(int(kCanvasWidth * 0.5f), int(kCanvasHeight * 0.5f),
                         QImage::Format_ARGB32_Premultiplied);
        Draw(false);
    }

    // What the view does for a pass: stale pictures built on the workers, then one pass.
    void Draw(bool dragging) {
        if (!dragging) {
            std::vector<PhotoBuild> builds = StalePhotoBuilds(doc, nullptr, surface.rect());
            RunPhotoBuilds(builds, 2);
            ApplyPhotoBuilds(builds);
        }
        QPainter painter(&surface);
        RenderOptions options;
        options.fastTransformedCaches = dragging;
        compositor.Render(doc, painter, options);
    }
};

void BM_ReflowHundredCells(benchmark::State& state) {
    CollageDocument doc;
    doc.width = 3000;
    doc.height = 2000;
    for (int i = 0; i < 100; ++i)
        AddRecord(doc, QStringLiteral("/nowhere/p%1.jpg").arg(i),
                  i % 3 ? QSize(4000, 3000) : QSize(3000, 4000));
    std::vector<int> indices(100);
    for (int i = 0; i < 100; ++i)
        indices[size_t(i)] = i;
    ArrangeOptions options;
    options.fill = true;
    ArrangePhotos(doc, indices, options);
    LayoutSettings settings = SettingsOf(doc.layout);
    for (auto _ : state) {
        settings.spacing = settings.spacing == 12 ? 13 : 12;
        benchmark::DoNotOptimize(ReflowLayout(doc, settings));
    }
}
BENCHMARK(BM_ReflowHundredCells)->Unit(benchmark::kMillisecond);

void BM_SwapShown(benchmark::State& state) {
    Scene scene(kPhotos);
    int a = 0;
    for (auto _ : state) {
        SwapLayoutCells(scene.doc, a % kPhotos, (a + 7) % kPhotos);
        scene.Draw(false);
        ++a;
    }
}
BENCHMARK(BM_SwapShown)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void BM_ReplaceByANewPhotoShown(benchmark::State& state) {
    Scene scene(kPhotos);
    int k = 0;
    for (auto _ : state) {
        scene.doc.AddPhoto(TwelveMegapixelPhotos()[kPhotos + k % kFreshPhotos], 4000, 3000, 0, 0);
        PlaceDroppedPhoto(scene.doc, int(scene.doc.objects.size()) - 1,
                          scene.doc.layout.cells[size_t(k++ % kPhotos)].center());
        scene.Draw(false);
    }
}
BENCHMARK(BM_ReplaceByANewPhotoShown)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(kFreshPhotos);

void BM_GapDragStep(benchmark::State& state) {
    Scene scene(kPhotos);
    const CollageLayout& layout = scene.doc.layout;
    // The first gap right of the first cell.
    const QRectF first = layout.cells[0];
    const std::optional<LayoutGap> gap =
        GapAt(layout, QPointF(first.right() + layout.spacing / 2, first.center().y()), 4.0);
    if (!gap) {
        state.SkipWithError("no gap");
        return;
    }
    const std::vector<QRectF> start = layout.cells;
    std::vector<QRectF> cells;
    int step = 0;
    for (auto _ : state) {
        MoveGap(start, *gap, double(step++ % 40) - 20.0, kMinCellSide, cells);
        scene.doc.layout.cells = cells;
        RefitLayoutPhotos(scene.doc, true);
        scene.Draw(true);
    }
}
BENCHMARK(BM_GapDragStep)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PanStep(benchmark::State& state) {
    Scene scene(kPhotos);
    ZoomCellPicture(scene.doc, 0, 2.0, scene.doc.layout.cells[0].center(), 0.5f);
    scene.Draw(false);
    int step = 0;
    for (auto _ : state) {
        const double d = (step++ / 10) % 2 ? -4.0 : 4.0;
        PanCellPicture(scene.doc, 0, d, d, 0.5f);
        scene.Draw(false);
    }
}
BENCHMARK(BM_PanStep)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

} // namespace
