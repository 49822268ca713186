// The window's speed with 50 photos on a 1024 x 768 canvas, as a user waits for it (wall time):
// one zoom step through to its finished paint, undo and redo of a photo effect through to the
// paint, and opening a project of 50 photos through to the first paint that shows every photo.
// Set MOSAIQ_BENCH_CORPUS to a corpus made by make_corpus.sh (jpg/photo_000 ... photo_049, 12
// megapixels each); otherwise 2400 x 1800 photos with noise are made in a temporary directory.
#include "BenchPhotos.h"
#include "canvas/edits/PhotoEffectJob.h"
#include "canvas/project/ProjectFile.h"
#include "canvas/widgets/CCollageCanvas.h"

#include <QApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace mosaiq;

namespace {

constexpr int kPhotoCount = 50;

class PhotoFolder {
public:
    PhotoFolder() {
        m_paths = bench::CorpusJpegs(kPhotoCount);
        if (m_paths.isEmpty()) {
            for (int i = 0; i < kPhotoCount; ++i) {
                QRandomGenerator random{quint32(i)};
                m_paths << m_dir.filePath(QStringLiteral("photo%1.jpg").arg(i));
                bench::BlockedGradient(2400, 1800, i, random).save(m_paths.back(), "JPG", 85);
            }
        }
        // What a photo effect leaves: a PNG of the whole picture.
        m_effect = m_dir.filePath(QStringLiteral("effect.png"));
        QImage effect = QImage(m_paths.front()).convertToFormat(QImage::Format_RGB32);
        effect.invertPixels();
        effect.save(m_effect, "PNG");
    }
    const QStringList& Paths() const { return m_paths; }
    const QString& Effect() const { return m_effect; }
    QString Project() const { return m_dir.filePath(QStringLiteral("fifty.dcf")); }

private:
    QTemporaryDir m_dir;
    QStringList m_paths;
    QString m_effect;
};

const PhotoFolder& Photos() {
    static PhotoFolder folder;
    return folder;
}

// A 1024 x 768 canvas in a window of that size, zoom 100 %, with 50 photos in a grid, each
// about a fifth of the canvas wide, every picture built and shown.
std::unique_ptr<CCollageCanvas> MakeCanvas() {
    auto canvas = std::make_unique<CCollageCanvas>();
    canvas->resize(1024, 768);
    canvas->show();
    CollageDocument& doc = canvas->Document();
    doc.SetCanvasSize(1024, 768);
    for (int i = 0; i < kPhotoCount; ++i) {
        const QString& path = Photos().Paths()[i];
        const QSize size = QImageReader(path).size();
        doc.AddPhoto(path, size.width(), size.height(), (i % 10) * 100, (i / 10) * 150);
        CanvasObject& photo = doc.objects.back();
        photo.SetScale(205.0f / float(size.width()));
    }
    canvas->repaint();
    QApplication::processEvents();
    return canvas;
}

// Lets the work a step left behind (pictures rebuilt after it) finish, untimed.
void Settle(benchmark::State& state, CCollageCanvas& canvas) {
    state.PauseTiming();
    for (int i = 0; i < 400 && canvas.RebuildingPictures(); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    canvas.repaint();
    state.ResumeTiming();
}

// One zoom step (75 % -> 100 % -> 150 % -> 200 % -> 150 % ...) until its paint is finished.
void BM_ZoomStep(benchmark::State& state) {
    auto canvas = MakeCanvas();
    const float steps[] = {0.75f, 1.0f, 1.5f, 2.0f, 1.5f, 1.0f};
    int n = 0;
    for (auto _ : state) {
        canvas->SetZoom(steps[n++ % 6]);
        canvas->repaint();
        Settle(state, *canvas);
    }
}

// Undo, then redo, of a photo effect on one photo, each until its paint is finished.
void BM_UndoRedoEffect(benchmark::State& state) {
    auto canvas = MakeCanvas();
    CollageDocument& doc = canvas->Document();
    SetPhotoPicture(doc, 0, Photos().Effect());
    canvas->repaint();
    for (auto _ : state) {
        canvas->Undo();
        canvas->repaint();
        canvas->Redo();
        canvas->repaint();
    }
    state.counters["steps"] =
        benchmark::Counter(2.0, benchmark::Counter::kIsIterationInvariantRate);
}

// Opening the project: reading it, then the first paint with every photo shown.
void BM_OpenProject(benchmark::State& state) {
    {
        auto canvas = MakeCanvas();
        SaveProject(canvas->Document(), Photos().Project());
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto canvas = std::make_unique<CCollageCanvas>();
        canvas->resize(1024, 768);
        canvas->show();
        QApplication::processEvents();
        state.ResumeTiming();
        LoadProject(canvas->Document(), Photos().Project());
        canvas->repaint();
        state.PauseTiming();
        canvas.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_ZoomStep)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(12);
BENCHMARK(BM_UndoRedoEffect)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);
BENCHMARK(BM_OpenProject)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
