// Wall time of the library panels' work: a 500-item library read and fitted into cells, a
// repaint after every wheel step of that panel, a switch between decoration families, and the
// recolouring of a 300-pixel decoration.
#include "core/data/BuiltinData.h"
#include "canvas/edits/PresetRecolour.h"
#include "library/items/LibraryItems.h"
#include "library/items/PictureList.h"
#include "library/packs/StarterLibraries.h"
#include "library/widgets/CLibraryPanel.h"

#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <benchmark/benchmark.h>

using namespace mosaiq;

namespace {

QTemporaryDir& DataDir() {
    static QTemporaryDir dir;
    return dir;
}

QString DataPathOf(const QString& name) {
    return DataDir().path() + QLatin1Char('/') + name;
}

// 500 pictures of 80 × 80 with a soft shape, like a large clipart pack.
void WriteBigLibrary() {
    std::vector<QImage> pictures;
    for (int i = 0; i < 500; ++i) {
        QImage picture(80, 80, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor::fromHsv(i * 7 % 360, 200, 220));
        p.drawEllipse(QRect(5 + i % 10, 5, 60, 70 - i % 20));
        pictures.push_back(picture);
    }
    WritePictureList(DataPathOf(QStringLiteral("big.cfg")), pictures);
}

void BM_Load500Items(benchmark::State& state) {
    for (auto _ : state) {
        LibraryItems items =
            LoadLibraryItems(DataPathOf(QStringLiteral("big.cfg")), QSize(54, 54), false);
        benchmark::DoNotOptimize(items.thumbnails.data());
    }
}
BENCHMARK(BM_Load500Items)->UseRealTime()->Unit(benchmark::kMillisecond);

// One wheel step and the repaint it causes, in a panel as wide as the panel area.
void BM_ScrollAndPaint500(benchmark::State& state) {
    CLibraryPanel panel(0, CLibraryPanel::kClipartKind);
    panel.resize(900, 123);
    panel.Load(QStringLiteral("big.cfg"), false);
    QImage target(panel.size(), QImage::Format_ARGB32_Premultiplied);
    int direction = -120;
    for (auto _ : state) {
        if (panel.Grid().Scroll() >= panel.Grid().MaxScroll())
            direction = 120;
        else if (panel.Grid().Scroll() == 0)
            direction = -120;
        QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, direction),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&panel, &wheel);
        panel.render(&target);
    }
}
BENCHMARK(BM_ScrollAndPaint500)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_SwitchDecorationFamily(benchmark::State& state) {
    CLibraryPanel panel(5, CLibraryPanel::kPresetKind);
    panel.SetCellSize(58, 58);
    panel.resize(132, 400);
    int type = 1;
    for (auto _ : state) {
        type = type % 6 + 1;
        panel.LoadType(type, true);
    }
}
BENCHMARK(BM_SwitchDecorationFamily)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_Recolour300(benchmark::State& state) {
    const std::optional<QImage> preset =
        ReadPictureListEntry(DataPathOf(QStringLiteral("neon_p.cfg")), 0);
    const QImage picture =
        preset ? preset->scaled(300, 300) : QImage(300, 300, QImage::Format_ARGB32);
    Colorref colour = MakeColorref(0, 200, 200);
    for (auto _ : state) {
        colour ^= 0x00010203;
        QImage recoloured = RecolourPreset(picture, colour);
        benchmark::DoNotOptimize(recoloured.constBits());
    }
}
BENCHMARK(BM_Recolour300)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qputenv("MOSAIQ_DATA_DIR", DataDir().path().toLocal8Bit());
    WriteOutReport report;
    WriteStarterLibraries(DataDir().path() + QLatin1Char('/'), report);
    WriteBigLibrary();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
