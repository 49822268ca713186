#include "BenchPhotos.h"
#include "batch/BatchConverter.h"
#include "imaging/magick/ImageLibrary.h"
#include "imaging/decode/PictureDecoder.h"
#include "imaging/encode/PictureEncoder.h"
#include "imaging/decode/PictureLoaders.h"
#include "imaging/encode/PictureSaving.h"
#include "imaging/encode/PngWriter.h"
#include "library/photos/PhotoList.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

QTemporaryDir& WorkDir() {
    static QTemporaryDir dir;
    return dir;
}

// A 4000 x 3000 JPEG photo: from the corpus when MOSAIQ_BENCH_CORPUS is set, else made here
// (gradients with noise, so it compresses like a photo).
QString PhotoPath() {
    static const QString path = []() -> QString {
        const QString corpus = qEnvironmentVariable("MOSAIQ_BENCH_CORPUS");
        if (!corpus.isEmpty())
            return corpus + QStringLiteral("/jpg/photo_000.jpg");
        const QString p = WorkDir().filePath(QStringLiteral("photo.jpg"));
        mosaiq::bench::NoisyGradient(4000, 3000, 7).save(p, "JPEG", 90);
        return p;
    }();
    return path;
}

const QImage& DecodedPhoto() {
    static const QImage image = mosaiq::DecodePicture(PhotoPath()).image;
    return image;
}

void BM_DecodeJpegFull(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(mosaiq::DecodePicture(PhotoPath()).image.width());
}
BENCHMARK(BM_DecodeJpegFull)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DecodeJpegAtLeast(benchmark::State& state) {
    const QSize minimum(int(state.range(0)), int(state.range(0)) * 3 / 4);
    for (auto _ : state)
        benchmark::DoNotOptimize(mosaiq::DecodePictureAtLeast(PhotoPath(), minimum).width());
}
BENCHMARK(BM_DecodeJpegAtLeast)
    ->Arg(160)
    ->Arg(800)
    ->Arg(1600)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The whole per-photo work of an import: size, 80 x 80 thumbnail, JPEG compression.
void BM_PreparePhoto(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(mosaiq::PreparePhoto(PhotoPath()).ok);
}
BENCHMARK(BM_PreparePhoto)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadThumbnailPixels(benchmark::State& state) {
    std::vector<unsigned char> out(80 * 80 * 3);
    for (auto _ : state)
        benchmark::DoNotOptimize(mosaiq::LoadThumbnailPixels(PhotoPath(), out.data(), 80, 80));
}
BENCHMARK(BM_LoadThumbnailPixels)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ResampleBilinear(benchmark::State& state) {
    std::vector<unsigned char> source(1600 * 1200 * 3, 90), dest(800 * 600 * 3);
    for (auto _ : state) {
        mosaiq::ResampleBilinear(source.data(), dest.data(), 1600, 1200, 800, 600, 3, false);
        benchmark::DoNotOptimize(dest.data());
    }
}
BENCHMARK(BM_ResampleBilinear)->Unit(benchmark::kMillisecond)->UseRealTime();

const char* const kFormats[] = {"jpg", "bmp", "gif", "png", "pnm", "tga", "tif", "pcx"};

// Writing a decoded 4000 x 3000 photo in each batch format.
void BM_WriteFormat(benchmark::State& state) {
    const QString ext = QString::fromLatin1(kFormats[state.range(0)]);
    state.SetLabel(ext.toStdString());
    const QString path = WorkDir().filePath(QStringLiteral("out.") + ext);
    for (auto _ : state)
        benchmark::DoNotOptimize(mosaiq::SavePictureByExtension(DecodedPhoto(), path, ext));
}
BENCHMARK(BM_WriteFormat)->DenseRange(0, 7)->Unit(benchmark::kMillisecond)->UseRealTime();

// One file of a batch run: decode and write.
void BM_ConvertFile(benchmark::State& state) {
    const QString ext = QString::fromLatin1(kFormats[state.range(0)]);
    state.SetLabel(ext.toStdString());
    const QString path = WorkDir().filePath(QStringLiteral("conv.") + ext);
    for (auto _ : state)
        benchmark::DoNotOptimize(mosaiq::ConvertPictureFile(PhotoPath(), path, ext));
}
BENCHMARK(BM_ConvertFile)->Arg(0)->Arg(6)->Unit(benchmark::kMillisecond)->UseRealTime();

// The PNG writer on one thread and on two, against Qt's (libpng and zlib) writer; the label
// carries the file size.
void BM_EncodePng(benchmark::State& state) {
    const int threads = int(state.range(0));
    qsizetype size = 0;
    for (auto _ : state) {
        if (threads > 0) {
            size = mosaiq::EncodePng(DecodedPhoto(), {threads, 0}).size();
        } else {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            DecodedPhoto().save(&buffer, "PNG");
            size = bytes.size();
        }
    }
    state.SetLabel((threads > 0 ? std::to_string(threads) + " threads, " : std::string("Qt, ")) +
                   std::to_string(size) + " bytes");
}
BENCHMARK(BM_EncodePng)->Arg(1)->Arg(2)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// A batch run converting two photos to PNG on both cores (one file each), and one photo alone.
void BM_ConvertPngBatch(benchmark::State& state) {
    const int files = int(state.range(0));
    QStringList inputs;
    for (int i = 0; i < files; ++i) {
        const QString corpus = qEnvironmentVariable("MOSAIQ_BENCH_CORPUS");
        inputs << (corpus.isEmpty()
                       ? PhotoPath()
                       : corpus +
                             QStringLiteral("/jpg/photo_%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
    }
    // The same input twice writes one output; a made photo is copied under a second name.
    if (files == 2 && inputs[0] == inputs[1]) {
        inputs[1] = WorkDir().filePath(QStringLiteral("photo-b.jpg"));
        QFile::copy(inputs[0], inputs[1]);
    }
    mosaiq::BatchSettings settings;
    settings.files = inputs;
    settings.outputDir = WorkDir().filePath(QStringLiteral("batch"));
    settings.format = mosaiq::BatchFormatIndex(QStringLiteral("PNG"));
    for (auto _ : state) {
        mosaiq::BatchConverter converter(settings);
        benchmark::DoNotOptimize(converter.Run({}).converted);
    }
}
BENCHMARK(BM_ConvertPngBatch)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// Qt's own writers on the same picture, for comparison with the image library's.
void BM_QtWriter(benchmark::State& state) {
    const char* formats[] = {"ppm", "tga", "tiff", "bmp"};
    const char* format = formats[state.range(0)];
    state.SetLabel(format);
    const QString path = WorkDir().filePath(QStringLiteral("qt.") + QLatin1String(format));
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodedPhoto().save(path, format));
}
BENCHMARK(BM_QtWriter)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    mosaiq::EnsureImageLibrary();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
