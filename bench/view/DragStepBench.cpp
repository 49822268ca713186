// One drag step of the canvas window: a mouse move delivered to the widget, then the repaint it
// asks for, finished (wall time). A 60 Hz frame is 16.7 ms; the step must stay well inside it.
// Set MOSAIQ_BENCH_CORPUS to a corpus made by make_corpus.sh to place its 12-megapixel photos;
// otherwise photos with noise are made in a temporary directory.
#include "BenchPhotos.h"
#include "canvas/interaction/CanvasInteraction.h"
#include "canvas/widgets/CCollageCanvas.h"

#include <QApplication>
#include <QImage>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

using namespace mosaiq;

namespace {

constexpr int kPhotoCount = 50;
constexpr int kPhotoWidth = 2400;  // ordinary camera pictures are larger still; decoding happens
constexpr int kPhotoHeight = 1800; // once, before the measured steps

// Photos on disk: colour gradients with noise, so that they compress like pictures.
class PhotoFolder {
public:
    PhotoFolder() {
        m_paths = bench::CorpusJpegs(kPhotoCount);
        if (!m_paths.isEmpty())
            return;
        QRandomGenerator random(7);
        for (int i = 0; i < kPhotoCount; ++i) {
            const QString path = m_dir.filePath(QStringLiteral("photo%1.jpg").arg(i));
            bench::BlockedGradient(kPhotoWidth, kPhotoHeight, i, random).save(path, "JPG", 85);
            m_paths << path;
        }
    }
    const QStringList& Paths() const { return m_paths; }

private:
    QTemporaryDir m_dir;
    QStringList m_paths;
};

const PhotoFolder& Photos() {
    static PhotoFolder folder;
    return folder;
}

// A 1024 x 768 window with 50 photos in a grid, the last one selected, every cache built.
std::unique_ptr<CCollageCanvas> MakeCanvas() {
    auto canvas = std::make_unique<CCollageCanvas>();
    canvas->resize(1024, 768);
    canvas->show();
    CollageDocument& doc = canvas->Document();
    for (int i = 0; i < kPhotoCount; ++i) {
        const QString& path = Photos().Paths()[i];
        const QSize size = QImageReader(path).size();
        doc.AddPhoto(path, size.width(), size.height(), 20 + (i % 10) * 95, 20 + (i / 10) * 140);
    }
    canvas->repaint();
    QApplication::processEvents();
    return canvas;
}

void Send(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
          Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(widget.mapToGlobal(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;
};

// Presses at start, then measures move + repaint steps that swing around it.
void MeasureDrag(benchmark::State& state, CCollageCanvas& canvas, QPoint start) {
    Send(canvas, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    QApplication::processEvents();
    PaintCounter counter;
    canvas.installEventFilter(&counter);
    int step = 0;
    for (auto _ : state) {
        const QPoint at = start + QPoint(step % 60, (step / 3) % 40);
        Send(canvas, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
        QApplication::processEvents(); // the repaint the move asked for
        ++step;
    }
    // What the last step left, to see that the drag really acted on the topmost photo.
    const CanvasObject& dragged = canvas.Document().objects.back();
    state.counters["x"] = dragged.Position().x();
    state.counters["scale"] = dragged.Scale();
    state.counters["angle"] = dragged.Angle();
    state.counters["paints/step"] = double(counter.paints) / double(std::max(step, 1));
    canvas.removeEventFilter(&counter);
    Send(canvas, QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton);
}

QPoint HandleCentre(CCollageCanvas& canvas, int index) {
    canvas.EnsureRegions();
    const QRectF rect(canvas.Drawing().Handles()[size_t(index)]);
    return canvas.Drawing().HandleTransform().map(rect.center()).toPoint() - canvas.ScrollOffset();
}

void BM_MoveStep(benchmark::State& state) {
    auto canvas = MakeCanvas();
    const QPoint centre =
        canvas->Document().objects.back().screenRegion.boundingRect().center().toPoint();
    MeasureDrag(state, *canvas, centre);
}

// The same with smart guides on: every step measures all 50 photos and looks for a snap.
void BM_MoveStepSnapping(benchmark::State& state) {
    auto canvas = MakeCanvas();
    canvas->Interaction().SetSnapToGuides(true);
    const QPoint centre =
        canvas->Document().objects.back().screenRegion.boundingRect().center().toPoint();
    MeasureDrag(state, *canvas, centre);
}

void BM_ScaleStep(benchmark::State& state) {
    auto canvas = MakeCanvas();
    MeasureDrag(state, *canvas, HandleCentre(*canvas, 4));
}

void BM_RotateStep(benchmark::State& state) {
    auto canvas = MakeCanvas();
    MeasureDrag(state, *canvas, HandleCentre(*canvas, 11));
}

// A whole redraw after the button is released: the moved photo's picture is rebuilt.
void BM_ReleaseRedraw(benchmark::State& state) {
    auto canvas = MakeCanvas();
    for (auto _ : state) {
        canvas->Document().objects.back().DropCaches();
        canvas->Redraw();
        canvas->repaint();
    }
}

} // namespace

BENCHMARK(BM_MoveStep)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_MoveStepSnapping)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_ScaleStep)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_RotateStep)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_ReleaseRedraw)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
