// What a HEIC grid of one repeated tile claiming 16000 x 16000 (a decode bomb of a couple of
// hundred kilobytes) costs: converting it (a whole decode, refused before decoding) and importing
// it (a reduced decode: from its thumbnail item when it has one, refused otherwise), in wall time
// and the process's peak memory; the label holds the reason of a refusal.
#include "HeifGridFile.h"
#include "imaging/decode/PictureDecoder.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

using namespace mosaiq;

namespace {

QString GridFile(QSize size, bool thumbnail) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(
        QStringLiteral("grid-%1x%2-%3.heic").arg(size.width()).arg(size.height()).arg(thumbnail));
    if (!QFile::exists(path)) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(test::RepeatedTileGrid(size, 512, thumbnail));
    }
    return path;
}

void Decode(benchmark::State& state, QSize size, bool thumbnail, QSize minimum) {
    const QString path = GridFile(size, thumbnail);
    bool ok = false;
    QString error;
    for (auto _ : state) {
        const DecodedPicture picture = DecodePicture(path, minimum);
        ok = picture.Ok();
        error = picture.error;
        benchmark::DoNotOptimize(picture.image.constBits());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["decoded"] = ok ? 1 : 0;
    state.SetLabel(error.toStdString());
    state.counters["peak_MiB"] = double(usage.ru_maxrss) / 1024.0;
    state.counters["file_KiB"] = double(QFile(path).size()) / 1024.0;
}

void BM_GridBombConvert(benchmark::State& state) {
    Decode(state, {16000, 16000}, false, QSize());
}
void BM_GridBombImport(benchmark::State& state) {
    Decode(state, {16000, 16000}, false, QSize(80, 80));
}
void BM_GridBombImportWithThumbnail(benchmark::State& state) {
    Decode(state, {16000, 16000}, true, QSize(80, 80));
}

} // namespace

BENCHMARK(BM_GridBombConvert)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GridBombImport)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GridBombImportWithThumbnail)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
