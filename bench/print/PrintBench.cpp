// bench_print: time and peak memory of a print-size export, and the floor it is held to.
//
//   BM_DecodeFloor        the 30 originals decoded at full size by djpeg, two at a time
//   BM_WriterFloor/EXT    the band writer alone on a 12800 x 12800 picture
//   BM_Export/EXT         the collage rendered at scale 4 (12800 x 12800) and written
//   BM_RenderOverFloor/W  a 1600 x 1200 collage of the 30 photos rendered at scale 4 (6400 x 4800)
//                         to JPEG with W decoding workers (-1: one per spare core, 0: none)
//
// BM_Export reports peak_MiB (the process's largest resident size so far; the exports run first)
// and ratio: its time over (decode floor + the writer floor of its type), to be under 3.
// BM_RenderOverFloor reports seconds, floor_s (its originals decoded by djpeg at the reduced
// scale the render decodes them at, two at a time) and over_floor, their ratio; peak_MiB as
// above (run one argument alone to see its own peak).
#include "BenchPhotos.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/document/ObjectGeometry.h"
#include "canvas/output/BandDecodeAhead.h"
#include "canvas/output/ScaledExport.h"
#include "core/text/FixedText.h"
#include "imaging/encode/BandWriter.h"

#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <map>
#include <thread>

namespace {

using namespace mosaiq;
using Clock = std::chrono::steady_clock;

constexpr int kPhotos = 30;
constexpr int kCanvas = 3200;
constexpr double kScale = 4.0;

QTemporaryDir& WorkDir() {
    static QTemporaryDir dir;
    return dir;
}

QStringList PhotoPaths() {
    static const QStringList paths = [] {
        QStringList out = bench::CorpusJpegs(kPhotos);
        if (!out.isEmpty())
            return out;
        const QString p = WorkDir().filePath(QStringLiteral("photo.jpg"));
        bench::NoisyGradient(4000, 3000, 11).save(p, "JPEG", 90);
        for (int i = 0; i < kPhotos; ++i)
            out << p;
        return out;
    }();
    return paths;
}

// 30 photos in six rows of five, each about a sixth of the canvas wide, every third one turned.
CollageDocument& BenchCollage() {
    static CollageDocument doc;
    static bool made = false;
    if (made)
        return doc;
    made = true;
    doc.width = doc.height = kCanvas;
    const QStringList paths = PhotoPaths();
    for (int i = 0; i < kPhotos; ++i) {
        PhotoRecord r;
        WriteFixedText(r.path, paths[i]);
        r.pictureWidth = r.boxWidth = r.cropRight = 4000;
        r.pictureHeight = r.boxHeight = r.cropBottom = 3000;
        r.scale = float(kCanvas) / 6.0f / 4000.0f;
        r.x = 40 + (i % 5) * 620;
        r.y = 60 + (i / 5) * 520;
        r.angle = i % 3 == 0 ? float(8 + i) : 0.0f;
        doc.objects.emplace_back(r);
        doc.CreateRegion(doc.objects.back());
    }
    return doc;
}

double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// The print collage: 30 photos in five rows of six on 1600 x 1200, every third one turned.
CollageDocument& FloorCollage() {
    static CollageDocument doc;
    static bool made = false;
    if (made)
        return doc;
    made = true;
    doc.width = 1600;
    doc.height = 1200;
    const QStringList paths = PhotoPaths();
    for (int i = 0; i < kPhotos; ++i) {
        PhotoRecord r;
        WriteFixedText(r.path, paths[i]);
        r.pictureWidth = r.boxWidth = r.cropRight = 4000;
        r.pictureHeight = r.boxHeight = r.cropBottom = 3000;
        r.scale = 250.0f / 4000.0f;
        r.x = 20 + (i % 6) * 262;
        r.y = 30 + (i / 6) * 232;
        r.angle = i % 3 == 0 ? float(4 + i % 7) : 0.0f;
        doc.objects.emplace_back(r);
        doc.CreateRegion(doc.objects.back());
    }
    return doc;
}

// The floor of FloorCollage at kScale: each original decoded by djpeg at the smallest DCT scale
// (1/8 … 8/8) that still covers its displayed size, two at a time.
double ReducedDecodeFloorSeconds() {
    static const double seconds = [] {
        const CollageDocument& doc = FloorCollage();
        QStringList scales;
        for (const CanvasObject& o : doc.objects) {
            const QSize d = DisplayedSize(o.UnscaledSize().width(), o.UnscaledSize().height(),
                                          o.Scale(), float(kScale));
            int eighths = 1;
            while (eighths < 8 && (4000 * eighths / 8 < d.width() || 3000 * eighths / 8 < d.height()))
                eighths *= 2;
            scales << QStringLiteral("%1/8").arg(eighths);
        }
        const QStringList paths = PhotoPaths();
        const auto start = Clock::now();
        auto half = [&](int first) {
            const QString out = WorkDir().filePath(QStringLiteral("reduced%1.ppm").arg(first));
            for (int i = first; i < paths.size(); i += 2)
                QProcess::execute(QStringLiteral("djpeg"), {QStringLiteral("-scale"), scales[i],
                                                            QStringLiteral("-outfile"), out,
                                                            paths[i]});
        };
        std::thread other(half, 1);
        half(0);
        other.join();
        return Seconds(start);
    }();
    return seconds;
}

double DecodeFloorSeconds() {
    static const double seconds = [] {
        const QStringList paths = PhotoPaths();
        const auto start = Clock::now();
        auto half = [&](int first) {
            const QString out = WorkDir().filePath(QStringLiteral("floor%1.ppm").arg(first));
            for (int i = first; i < paths.size(); i += 2)
                QProcess::execute(QStringLiteral("djpeg"),
                                  {QStringLiteral("-outfile"), out, paths[i]});
        };
        std::thread other(half, 1);
        half(0);
        other.join();
        return Seconds(start);
    }();
    return seconds;
}

// The writer alone: a 12800 x 12800 picture of gradients and noise, band by band.
double WriterSeconds(const QString& extension) {
    static std::map<QString, double> cache;
    if (auto it = cache.find(extension); it != cache.end())
        return it->second;
    const int side = int(kCanvas * kScale);
    QImage band(side, 512, QImage::Format_RGB32);
    QRandomGenerator random(3);
    for (int y = 0; y < band.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(band.scanLine(y));
        for (int x = 0; x < side; ++x) {
            const int n = int(random.bounded(16));
            line[x] = qRgb((x / 40 + n) & 255, (y / 3 + n) & 255, ((x + y) / 60 + n) & 255);
        }
    }
    const auto start = Clock::now();
    const auto writer = MakeBandWriter(extension);
    writer->Begin(WorkDir().filePath(QStringLiteral("floor.") + extension), QSize(side, side), 300);
    for (int top = 0; top < side; top += band.height())
        writer->WriteBand(band);
    writer->Finish();
    return cache[extension] = Seconds(start);
}

const char* ExtensionOf(int index) {
    static const char* const kExtensions[] = {"jpg", "png", "tif"};
    return kExtensions[index];
}

void BM_RenderOverFloor(benchmark::State& state) {
    SetBandDecodeWorkers(int(state.range(0)));
    CollageDocument& doc = FloorCollage();
    ExportSettings settings;
    settings.scale = kScale;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const ScaledExportResult r =
            ExportCollageScaled(doc, WorkDir().filePath(QStringLiteral("floor30.jpg")), settings);
        seconds = Seconds(start);
        if (!r.ok)
            state.SkipWithError(r.error.toUtf8().constData());
    }
    SetBandDecodeWorkers(-1);
    state.counters["peak_MiB"] = PeakMiB();
    state.counters["seconds"] = seconds;
    state.counters["floor_s"] = ReducedDecodeFloorSeconds();
    state.counters["over_floor"] = seconds / ReducedDecodeFloorSeconds();
    state.SetLabel(state.range(0) < 0 ? "decode ahead" : "no workers");
}
BENCHMARK(BM_RenderOverFloor)
    ->Arg(-1)
    ->Arg(0)
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

void BM_Export(benchmark::State& state) {
    const QString ext = QString::fromLatin1(ExtensionOf(int(state.range(0))));
    CollageDocument& doc = BenchCollage();
    ExportSettings settings;
    settings.scale = kScale;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const ScaledExportResult r =
            ExportCollageScaled(doc, WorkDir().filePath(QStringLiteral("export.") + ext), settings);
        seconds = Seconds(start);
        if (!r.ok)
            state.SkipWithError(r.error.toUtf8().constData());
    }
    state.counters["peak_MiB"] = PeakMiB();
    state.counters["ratio"] = seconds / (DecodeFloorSeconds() + WriterSeconds(ext));
    state.SetLabel(ext.toStdString());
}
BENCHMARK(BM_Export)->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_DecodeFloor(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeFloorSeconds());
    state.counters["seconds"] = DecodeFloorSeconds();
}
BENCHMARK(BM_DecodeFloor)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_WriterFloor(benchmark::State& state) {
    const QString ext = QString::fromLatin1(ExtensionOf(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(WriterSeconds(ext));
    state.counters["seconds"] = WriterSeconds(ext);
    state.SetLabel(ext.toStdString());
}
BENCHMARK(BM_WriterFloor)->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // text and fonts
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
