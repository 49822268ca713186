// Importing a pack of 200 frames (each 800 x 600 with a transparent window, as PNG, and its
// 120-pixel thumbnail) into a data directory that already holds the starter frames. Wall time.
#include "library/packs/PackImport.h"
#include "library/packs/ResourcePack.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace mosaiq;

namespace {

QByteArray FramePack(int count) {
    ResourcePack pack;
    pack.type = int(PackKind::Frames);
    QImage picture(800, 600, QImage::Format_ARGB32);
    for (int i = 0; i < count; ++i) {
        picture.fill(QColor::fromHsv(i * 7 % 360, 180, 220));
        QPainter p(&picture);
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.fillRect(80 + i % 20, 60, 640, 480, Qt::transparent);
        p.end();
        pack.items.push_back(*MakePackItem(PackKind::Frames, picture));
    }
    return EncodeResourcePack(pack);
}

void BM_ImportFramePack(benchmark::State& state) {
    static const QByteArray bytes = FramePack(int(state.range(0)));
    QTemporaryDir dir;
    const QString pack = dir.filePath(QStringLiteral("frames.irs"));
    QFile file(pack);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    file.close();
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString data = dir.filePath(QStringLiteral("data%1/").arg(run++));
        QDir().mkpath(data);
        state.ResumeTiming();
        const PackImportResult result = ImportResourcePack(pack, data);
        if (!result.Ok())
            state.SkipWithError(result.reason.toUtf8().constData());
    }
    state.counters["pack_MB"] = double(bytes.size()) / 1e6;
}
BENCHMARK(BM_ImportFramePack)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
