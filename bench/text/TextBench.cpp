// How long one text object takes to draw, per style, at the text panel's default height of 48.
#include "core/text/FixedText.h"
#include "text/TextDraw.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

using namespace mosaiq;

namespace {

TextRecord BenchRecord(int style) {
    TextRecord r;
    r.font.lfHeight = 48;
    WriteFixedText(r.font.lfFaceName, QStringLiteral("Arial"));
    WriteFixedText(r.text, QStringLiteral("Mosaiq Photo Editor"));
    r.style = style;
    r.firstColour = MakeColorref(198, 25, 0);
    r.secondColour = MakeColorref(255, 255, 0);
    const QSize size = MeasureText(r);
    r.textWidth = size.width();
    r.textHeight = size.height();
    return r;
}

void DrawText(benchmark::State& state, bool cached) {
    const TextRecord r = BenchRecord(int(state.range(0)));
    QImage surface(1024, 200, QImage::Format_ARGB32_Premultiplied);
    surface.fill(Qt::white);
    TextDrawCache cache;
    for (auto _ : state) {
        QPainter p(&surface);
        p.translate(40, 30);
        if (state.range(1))
            p.rotate(5);
        DrawTextObject(p, r, cached ? &cache : nullptr);
    }
    benchmark::DoNotOptimize(surface.constBits());
}

void BM_DrawTextObject(benchmark::State& state) {
    DrawText(state, false);
}
void BM_DrawTextObjectCached(benchmark::State& state) {
    DrawText(state, true);
}

void BM_MeasureText(benchmark::State& state) {
    const TextRecord r = BenchRecord(0);
    for (auto _ : state)
        benchmark::DoNotOptimize(MeasureText(r));
}

// Arguments: style, turned (0: upright as most objects are, 1: turned by 5 degrees).
void StyleArgs(benchmark::internal::Benchmark* b) {
    b->ArgNames({"style", "turned"});
    for (int turned : {0, 1})
        for (int style : {0, 1, 2, 3, 4, 5, 6, 7, 9})
            b->Args({style, turned});
}

BENCHMARK(BM_DrawTextObject)->Apply(StyleArgs)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawTextObjectCached)->Apply(StyleArgs)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MeasureText)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
