// Importing phone photos, in wall time, side by side in one run:
//  - BM_ImportHeic: the HEIC photos imported into an empty photo list on both cores (decode,
//    upright size, 80 x 80 thumbnail), as the library import does.
//  - BM_HeifThumbnailer: heif-thumbnailer -s 80 over the same files, two at a time.
//  - BM_ImportJpeg: the corpus's JPEGs imported the same way, for the figures before and after.
// Photos: MOSAIQ_BENCH_CORPUS/jpg (make_corpus.sh: 100 photos of 12 MP) made into HEIC with
// "heif-enc -p preset=ultrafast" (about a second each; kept in MOSAIQ_BENCH_HEIC_CACHE when that
// is set), or eight 4000 x 3000 photos made here when no corpus is named. MOSAIQ_BENCH_COUNT
// limits how many are used.
#include "BenchPhotos.h"
#include "library/photos/PhotoImportRun.h"
#include "library/photos/PhotoList.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>

using namespace mosaiq;

namespace {

QStringList Limited(QStringList paths) {
    const int count = qEnvironmentVariableIntValue("MOSAIQ_BENCH_COUNT");
    if (count > 0 && paths.size() > count)
        paths = paths.mid(0, count);
    return paths;
}

// Photo-like JPEGs: smooth colour waves, so the encoders work as on real photos.
QStringList JpegPhotos() {
    static QTemporaryDir made;
    static const QStringList paths = [] {
        QStringList out = bench::CorpusJpegs();
        if (!out.isEmpty())
            return Limited(out);
        for (int i = 0; i < 8; ++i) {
            QImage picture(4000, 3000, QImage::Format_RGB32);
            for (int y = 0; y < picture.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
                for (int x = 0; x < picture.width(); ++x)
                    line[x] = qRgb(int(127 + 120 * std::sin((x + 40 * i) / 97.0)),
                                   int(127 + 120 * std::cos(y / 71.0)),
                                   int(127 + 120 * std::sin((x + y) / 53.0)));
            }
            const QString path = made.filePath(QStringLiteral("photo_%1.jpg").arg(i));
            picture.save(path, "JPEG", 90);
            out << path;
        }
        return Limited(out);
    }();
    return paths;
}

QStringList HeicPhotos() {
    static QTemporaryDir made;
    static const QStringList paths = [] {
        const QString cache = qEnvironmentVariable("MOSAIQ_BENCH_HEIC_CACHE");
        const QDir dir(cache.isEmpty() ? made.path() : cache);
        QDir().mkpath(dir.path());
        QStringList out;
        for (const QString& jpeg : JpegPhotos()) {
            const QString heic = dir.filePath(QFileInfo(jpeg).completeBaseName() + ".heic");
            if (!QFileInfo::exists(heic)) {
                QProcess encoder;
                encoder.start(QStringLiteral("heif-enc"),
                              {QStringLiteral("-p"), QStringLiteral("preset=ultrafast"), jpeg,
                               QStringLiteral("-o"), heic});
                encoder.waitForFinished(-1);
                if (encoder.exitCode() != 0)
                    return QStringList();
            }
            out << heic;
        }
        return out;
    }();
    return paths;
}

void Import(benchmark::State& state, const QStringList& paths) {
    if (paths.isEmpty()) {
        state.SkipWithError("no photos (heif-enc missing?)");
        return;
    }
    for (auto _ : state) {
        PhotoList list;
        PhotoImportRun run(list);
        QEventLoop loop;
        QObject::connect(&run, &PhotoImportRun::finished, &loop, &QEventLoop::quit);
        run.Start(paths);
        loop.exec();
        if (list.Count() != paths.size())
            state.SkipWithError("not every photo was imported");
    }
    state.counters["photos"] = double(paths.size());
}

void BM_ImportHeic(benchmark::State& state) {
    Import(state, HeicPhotos());
}
BENCHMARK(BM_ImportHeic)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_HeifThumbnailer(benchmark::State& state) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("heif-thumbnailer"));
    const QStringList paths = HeicPhotos();
    if (tool.isEmpty() || paths.isEmpty()) {
        state.SkipWithError("heif-thumbnailer is not installed");
        return;
    }
    QTemporaryDir out;
    for (auto _ : state) {
        // Two at a time, as the import runs on both cores.
        QProcess running[2];
        int next = 0;
        for (int slot = 0; next < paths.size() || running[0].state() != QProcess::NotRunning ||
                           running[1].state() != QProcess::NotRunning;
             slot = 1 - slot) {
            QProcess& p = running[slot];
            if (p.state() != QProcess::NotRunning && !p.waitForFinished(5))
                continue;
            if (next < paths.size()) {
                p.start(tool, {QStringLiteral("-s"), QStringLiteral("80"), paths[next],
                               out.filePath(QStringLiteral("t%1.png").arg(next))});
                p.waitForStarted();
                ++next;
            }
        }
    }
    state.counters["photos"] = double(paths.size());
}
BENCHMARK(BM_HeifThumbnailer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_ImportJpeg(benchmark::State& state) {
    Import(state, JpegPhotos());
}
BENCHMARK(BM_ImportJpeg)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
