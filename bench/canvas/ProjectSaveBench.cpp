// Encoding a project that holds a pasted photo-sized picture (12 megapixels), as every save and
// every recovery copy does on the window's thread:
//   BM_EncodeNewPastedPicture   the picture compressed for the first time
//   BM_EncodeAgain              the same project encoded again (the picture's bytes are kept)
//   BM_QtPngOfThePicture        the picture alone through Qt's PNG writer, for comparison
#include "BenchPhotos.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/project/ProjectFile.h"

#include <QBuffer>

#include <benchmark/benchmark.h>

namespace {

using namespace mosaiq;

QImage PastedPhoto() {
    static const QImage picture =
        bench::NoisyGradient(4000, 3000, 5).convertToFormat(QImage::Format_ARGB32);
    return picture;
}

void MakeDocument(CollageDocument& doc, const QImage& picture) {
    doc.pastedPictures = {picture};
    ClipartRecord clip;
    clip.pasted = 1;
    clip.width = 400;
    clip.height = 300;
    doc.objects.emplace_back(clip);
    doc.CreateRegion(doc.objects.back());
}

void BM_EncodeNewPastedPicture(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        QImage picture = PastedPhoto().copy(); // new pixels: nothing kept for them yet
        CollageDocument doc;
        MakeDocument(doc, picture);
        QByteArray bytes;
        state.ResumeTiming();
        if (!EncodeProject(doc, bytes).ok)
            state.SkipWithError("the project could not be encoded");
    }
}
BENCHMARK(BM_EncodeNewPastedPicture)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_EncodeAgain(benchmark::State& state) {
    CollageDocument doc;
    MakeDocument(doc, PastedPhoto());
    QByteArray bytes;
    EncodeProject(doc, bytes);
    for (auto _ : state)
        if (!EncodeProject(doc, bytes).ok)
            state.SkipWithError("the project could not be encoded");
}
BENCHMARK(BM_EncodeAgain)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_QtPngOfThePicture(benchmark::State& state) {
    const QImage picture = PastedPhoto();
    for (auto _ : state) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
    }
}
BENCHMARK(BM_QtPngOfThePicture)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

} // namespace
