// The photo library's speed, measured in wall time:
//  - BM_ImportWithWindow: the corpus's JPEG photos imported into an empty list on both cores while
//    the browser and the progress window repaint; counters give the longest pause of the
//    user-interface thread and how often the window repainted.
//  - BM_VipsThumbnail: vipsthumbnail making 80 x 80 thumbnails of the same files (the tool a user
//    would pick instead), when it is installed.
//  - BM_BrowserScroll: one scroll step of a browser of 1,000 photos, painted (a 60 Hz frame is
//    16.7 ms); counter: resident memory with the 1,000 photos imported and drawn.
#include "BenchPhotos.h"
#include "library/photos/PhotoImportRun.h"
#include "library/photos/PhotoList.h"
#include "library/widgets/photos/CPhotoBrowser.h"
#include "library/widgets/photos/CScanProgressWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>

using namespace mosaiq;

namespace {

// The corpus's JPEG photos, or a few made here when no corpus is named.
QStringList CorpusPhotos() {
    static QTemporaryDir made;
    static const QStringList paths = [] {
        QStringList out = bench::CorpusJpegs();
        if (!out.isEmpty())
            return out;
        QImage picture(4000, 3000, QImage::Format_RGB32);
        for (int i = 0; i < 8; ++i) {
            picture.fill(QColor::fromHsv(i * 40, 180, 200));
            const QString path = made.filePath(QStringLiteral("photo_%1.jpg").arg(i));
            picture.save(path, "JPEG", 90);
            out << path;
        }
        return out;
    }();
    return paths;
}

// Shows a window and waits until the platform exposes it, so that repaint() really paints.
void ShowExposed(QWidget& w) {
    w.show();
    QElapsedTimer waited;
    waited.start();
    while (!(w.windowHandle() && w.windowHandle()->isExposed()) && waited.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

qint64 ResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

void BM_ImportWithWindow(benchmark::State& state) {
    const QStringList paths = CorpusPhotos();
    double longestPause = 0;
    double repaintsPerSecond = 0;
    for (auto _ : state) {
        PhotoList list;
        CPhotoBrowser browser;
        browser.SetList(&list);
        browser.resize(154, 900);
        ShowExposed(browser);
        CScanProgressWindow progress;
        progress.ShowCentred();
        ShowExposed(progress);
        PhotoImportRun run(list);
        QObject::connect(&run, &PhotoImportRun::fileHandled,
                         [&](const QString& path, AddPhotoResult, int, int, int) {
                             progress.SetPath(path);
                             browser.ListChanged();
                         });
        // A 10 ms timer stands for the window's repaints: the gap between its ticks is how long
        // the user-interface thread was busy.
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 worst = 0;
        int repaints = 0;
        QTimer tick;
        tick.setInterval(10);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            worst = std::max(worst, now - last);
            last = now;
            browser.repaint();
            progress.repaint();
            ++repaints;
        });
        QEventLoop loop;
        QObject::connect(&run, &PhotoImportRun::finished, &loop, &QEventLoop::quit);
        clock.start();
        tick.start();
        run.Start(paths);
        loop.exec();
        const double seconds = double(clock.elapsed()) / 1000.0;
        longestPause = std::max(longestPause, double(worst));
        repaintsPerSecond = seconds > 0 ? repaints / seconds : 0;
        if (list.Count() != paths.size())
            state.SkipWithError("not every photo was imported");
    }
    state.counters["photos"] = double(paths.size());
    state.counters["longest_ui_pause_ms"] = longestPause;
    state.counters["repaints_per_s"] = repaintsPerSecond;
}
BENCHMARK(BM_ImportWithWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_VipsThumbnail(benchmark::State& state) {
    const QString vips = QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail"));
    if (vips.isEmpty()) {
        state.SkipWithError("vipsthumbnail is not installed");
        return;
    }
    QTemporaryDir out;
    const QStringList paths = CorpusPhotos();
    for (auto _ : state) {
        QProcess process;
        process.start(vips, QStringList{QStringLiteral("--size"), QStringLiteral("80x80"),
                                        QStringLiteral("-o"),
                                        out.filePath(QStringLiteral("%s_thumb.jpg[Q=75]"))} +
                                paths);
        process.waitForFinished(-1);
        if (process.exitCode() != 0)
            state.SkipWithError("vipsthumbnail failed");
    }
    state.counters["photos"] = double(paths.size());
}
BENCHMARK(BM_VipsThumbnail)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_BrowserScroll(benchmark::State& state) {
    // 1,000 photos: records of distinct paths sharing one real prepared photo's thumbnail bytes
    // (each is decoded separately, as distinct photos would be).
    const PreparedPhoto prepared = PreparePhoto(CorpusPhotos().first());
    PhotoList list;
    for (int i = 0; i < 1000; ++i) {
        PreparedPhoto copy = prepared;
        const QByteArray path = QStringLiteral("/photos/%1.jpg").arg(i).toUtf8();
        std::memset(copy.entry.path, 0, sizeof copy.entry.path);
        std::memcpy(copy.entry.path, path.constData(), size_t(path.size()));
        copy.entry.rotation = std::uint32_t(i % 4);
        copy.thumbnail.detach();
        list.AddImportedPhoto(copy);
    }
    CPhotoBrowser browser;
    browser.SetList(&list);
    browser.resize(154, 900);
    ShowExposed(browser);
    int step = 0;
    for (auto _ : state) {
        // One wheel notch down, bouncing back at the end, then the finished paint.
        const int delta = (step / 60) % 2 == 0 ? -120 : 120;
        QWheelEvent wheel(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&browser, &wheel);
        browser.repaint();
        ++step;
    }
    // Scroll through everything once so every thumbnail is decoded and kept.
    for (int offset = 0; offset <= browser.Grid().MaxOffset(); offset += 600) {
        QWheelEvent wheel(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, -600), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&browser, &wheel);
        browser.repaint();
    }
    state.counters["tiles_cached"] = browser.CachedTiles();
    state.counters["rss_MiB"] = double(ResidentKiB()) / 1024.0;
}
BENCHMARK(BM_BrowserScroll)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
