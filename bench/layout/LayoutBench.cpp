// bench_layout: the layout families on four fixed photo sets on two pages.
//
//   BM_Layout/FAMILY/FILL/SET/PAGE   one ComputePhotoLayout; counters:
//     coverage  share of the page the photos cover
//     crop      mean share of a photo's box a fill crop cuts away (0 without fill)
//     spread    the largest photo's area over the smallest's
//
// Sets: 20 landscape 4:3 photos, 20 and 60 mixed (4:3, 3:4, 1:1 and 3:1 panoramas in a fixed
// order) and 5 mixed; pages 3000 x 2000 and 2000 x 3000, spacing and margin 12.
#include "canvas/layout/PhotoLayout.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>

namespace {

using namespace mosaiq;

struct PhotoSet {
    const char* name;
    std::vector<double> aspects;
};

std::vector<double> Mixed(int count, std::uint64_t seed) {
    layout_detail::LayoutRandom random(seed);
    std::vector<double> aspects;
    for (int i = 0; i < count; ++i) {
        const int k = random.Below(20);
        aspects.push_back(k < 7 ? 4.0 / 3.0 : k < 14 ? 3.0 / 4.0 : k < 18 ? 1.0 : 3.0);
    }
    return aspects;
}

const std::array<PhotoSet, 4>& Sets() {
    static const std::array<PhotoSet, 4> sets = {
        PhotoSet{"20 landscape", std::vector<double>(20, 4.0 / 3.0)},
        PhotoSet{"20 mixed", Mixed(20, 20)}, PhotoSet{"60 mixed", Mixed(60, 60)},
        PhotoSet{"5 mixed", Mixed(5, 5)}};
    return sets;
}

void BM_Layout(benchmark::State& state) {
    const auto family = LayoutFamily(state.range(0));
    const bool fill = state.range(1) != 0;
    const PhotoSet& set = Sets()[std::size_t(state.range(2))];
    const bool portrait = state.range(3) != 0;
    LayoutRequest request;
    request.family = family;
    request.fill = fill;
    request.canvas = portrait ? QSizeF(2000, 3000) : QSizeF(3000, 2000);
    request.aspects = set.aspects;
    LayoutResult result;
    for (auto _ : state) {
        result = ComputePhotoLayout(request);
        benchmark::DoNotOptimize(result.cells.data());
    }
    if (!result.ok) {
        state.SkipWithError("no layout");
        return;
    }
    state.counters["coverage"] = result.coverage;
    state.counters["crop"] = result.aspectError;
    state.counters["spread"] = layout_detail::SizeSpread(result.cells);
    state.SetLabel(LayoutFamilyName(family).toStdString() + (fill ? " fill, " : ", ") + set.name +
                   (portrait ? ", portrait" : ", landscape"));
}
BENCHMARK(BM_Layout)
    ->ArgNames({"family", "fill", "set", "portrait"})
    ->ArgsProduct({{int(LayoutFamily::Rows), int(LayoutFamily::Grid), int(LayoutFamily::Tree)},
                   {0, 1},
                   {0, 1, 2, 3},
                   {0, 1}})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
