// Each photo effect on a 4000 x 3000 picture (BM_Effect/<code>) next to the matching operation of
// ImageMagick's command line (BM_MagickCli/<code>). The command-line figure includes reading a
// raw PPM and discarding the result; BM_MagickCliBaseline measures that overhead alone, to be
// subtracted before comparing.
#include "imaging/magick/ImageLibrary.h"
#include "imaging/magick/PhotoEffect.h"

#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace mosaiq;

const QImage& Photo() {
    static const QImage image = [] {
        QImage img(4000, 3000, QImage::Format_RGB32);
        QRandomGenerator random(11);
        for (int y = 0; y < img.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                const int n = int(random.bounded(32));
                line[x] = qRgb((x / 9 + n) & 255, (y / 7 + n) & 255, ((x + y) / 21 + n) & 255);
            }
        }
        return img;
    }();
    return image;
}

QString PhotoPpm() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("photo.ppm"));
        Photo().save(p, "PPM");
        return p;
    }();
    return path;
}

// The ImageMagick arguments doing what each effect does.
QStringList MagickArguments(PhotoEffect effect) {
    const auto convolve = [](const char* kernel, const char* scale) {
        return QStringList{QStringLiteral("-define"), QStringLiteral("convolve:scale=%1").arg(QLatin1String(scale)),
                           QStringLiteral("-morphology"), QStringLiteral("Convolve"),
                           QLatin1String(kernel)};
    };
    switch (effect) {
    case PhotoEffect::Erode:
        return {"-morphology", "Erode", "Rectangle:2x2"};
    case PhotoEffect::Dilate:
        return {"-morphology", "Dilate", "Rectangle:2x2"};
    case PhotoEffect::Noise:
        return {"-attenuate", "0.2", "+noise", "Uniform"};
    case PhotoEffect::Jitter:
        return {"-spread", "2"};
    case PhotoEffect::Median:
        return {"-statistic", "Median", "3x3"};
    case PhotoEffect::Contour:
        return {"-morphology", "Edge", "Square:1", "-negate"};
    case PhotoEffect::Edge:
        return {"-morphology", "Edge", "Rectangle:2x2"};
    case PhotoEffect::Emboss:
        return convolve("3x3: 0,0,-1 0,0,0 1,0,0", "1");
    case PhotoEffect::Sharpen:
        return convolve("3x3: -1,-1,-1 -1,15,-1 -1,-1,-1", "1/7");
    case PhotoEffect::Blur:
        return convolve("5x5: 0,1,2,1,0 1,3,4,3,1 2,4,8,4,2 1,3,4,3,1 0,1,2,1,0", "1/52");
    case PhotoEffect::Soften:
        return convolve("3x3: 1,2,1 2,4,2 1,2,1", "1/16");
    case PhotoEffect::Mean:
        return convolve("3x3: 1,1,1 1,1,1 1,1,1", "1/9");
    case PhotoEffect::Smooth:
        return convolve("3x3: 1,1,1 1,8,1 1,1,1", "1/16");
    }
    return {};
}

void RunMagick(benchmark::State& state, const QStringList& operation) {
    const QString convert = QStandardPaths::findExecutable(QStringLiteral("convert"));
    if (convert.isEmpty()) {
        state.SkipWithError("ImageMagick's convert is not installed");
        return;
    }
    const QStringList args = QStringList{PhotoPpm()} + operation + QStringList{QStringLiteral("null:")};
    for (auto _ : state) {
        QProcess process;
        process.start(convert, args);
        if (!process.waitForFinished(-1) || process.exitCode() != 0) {
            state.SkipWithError("convert failed");
            return;
        }
    }
}

void BM_Effect(benchmark::State& state) {
    const auto effect = PhotoEffect(state.range(0));
    state.SetLabel(PhotoEffectDetails(effect).name);
    const LibraryImage source = LibraryImage::FromImage(Photo());
    for (auto _ : state) {
        LibraryImage picture = source;
        benchmark::DoNotOptimize(ApplyPhotoEffect(picture, effect));
    }
}

void BM_MagickCli(benchmark::State& state) {
    const auto effect = PhotoEffect(state.range(0));
    state.SetLabel(PhotoEffectDetails(effect).name);
    RunMagick(state, MagickArguments(effect));
}

void BM_MagickCliBaseline(benchmark::State& state) { RunMagick(state, {}); }

void AllEffects(benchmark::internal::Benchmark* b) {
    for (int e = 0; e <= int(PhotoEffect::Smooth); ++e)
        b->Arg(e);
}

BENCHMARK(BM_Effect)->Apply(AllEffects)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MagickCli)->Apply(AllEffects)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_MagickCliBaseline)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
