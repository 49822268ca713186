// The main window at 1920 x 1080: one relayout (what a resize step costs) and one full paint of
// the window with every child, as a frame of a resize or a restore shows it.
#include "shell/widgets/CMainDialog.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace mosaiq;

namespace {

CMainDialog& Window() {
    static CMainDialog* window = [] {
        auto* w = new CMainDialog;
        w->setGeometry(0, 0, 1920, 1080);
        w->show();
        QCoreApplication::processEvents();
        return w;
    }();
    return *window;
}

void BM_Relayout(benchmark::State& state) {
    CMainDialog& w = Window();
    bool wide = false;
    for (auto _ : state) {
        w.resize(wide ? 1920 : 1919, 1080);
        wide = !wide;
    }
}
BENCHMARK(BM_Relayout)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FullFramePaint(benchmark::State& state) {
    CMainDialog& w = Window();
    w.resize(1920, 1080);
    QImage target(w.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&target);
        w.render(&painter);
        painter.end();
        benchmark::DoNotOptimize(target.bits());
    }
}
BENCHMARK(BM_FullFramePaint)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir data;
    qputenv("MOSAIQ_DATA_DIR", data.path().toLocal8Bit());
    qputenv("MOSAIQ_INSTANCE_NAME", "bench-app");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
