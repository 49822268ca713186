// Editing-panel timings (wall time): applying tuning to a 24-megapixel photo shown 800 pixels
// wide and redrawing the canvas; one keystroke into a selected style-7 text (the new text
// measured, stored and the canvas redrawn); loading a 24-megapixel photo as the crop tool's
// working picture and laying out its crop rectangle.
#include "core/text/FixedText.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/render/Compositor.h"
#include "canvas/document/SelectionEdits.h"
#include "imaging/CropFrame.h"
#include "imaging/decode/PictureLoaders.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace mosaiq;

namespace {

constexpr int kPhotoWidth = 6000;
constexpr int kPhotoHeight = 4000;

struct Fixture {
    QTemporaryDir dir;
    QString photo;
    Fixture() {
        qputenv("MOSAIQ_DATA_DIR", (dir.path() + QStringLiteral("/")).toUtf8());
        QImage image(kPhotoWidth, kPhotoHeight, QImage::Format_RGB32);
        QPainter p(&image);
        QLinearGradient g(0, 0, kPhotoWidth, kPhotoHeight);
        g.setColorAt(0, QColor(200, 40, 30));
        g.setColorAt(1, QColor(20, 50, 210));
        p.fillRect(image.rect(), g);
        for (int i = 0; i < 60; ++i)
            p.fillRect(QRect((i * 997) % kPhotoWidth, (i * 613) % kPhotoHeight, 300, 200),
                       QColor::fromHsv((i * 37) % 360, 200, 220));
        p.end();
        photo = dir.filePath(QStringLiteral("photo-24mp.jpg"));
        image.save(photo, "JPEG", 90);
    }
};

Fixture& Files() {
    static Fixture fixture;
    return fixture;
}

void Render(Compositor& compositor, CollageDocument& doc, QImage& surface) {
    QPainter painter(&surface);
    compositor.Render(doc, painter, RenderOptions{});
}

void BM_Tuning24MpPhotoShownAt800(benchmark::State& state) {
    CollageDocument doc;
    doc.width = 1024;
    doc.height = 768;
    PhotoRecord r;
    WriteFixedText(r.path, Files().photo);
    r.pictureWidth = r.boxWidth = r.cropRight = kPhotoWidth;
    r.pictureHeight = r.boxHeight = r.cropBottom = kPhotoHeight;
    r.scale = r.regionScale = 800.0f / float(kPhotoWidth);
    r.selected = 1;
    doc.objects.emplace_back(r);
    doc.CreateRegion(doc.objects.back());
    Compositor compositor;
    QImage surface(1024, 768, QImage::Format_ARGB32_Premultiplied);
    Render(compositor, doc, surface); // decodes and scales once
    TuningValues values;
    int step = 0;
    for (auto _ : state) {
        values.contrast = 1.0f + float(step % 7) * 0.1f;
        values.hue = float(step % 13);
        ++step;
        doc.ApplyTuning(values);
        Render(compositor, doc, surface);
    }
}
BENCHMARK(BM_Tuning24MpPhotoShownAt800)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TypingIntoStyle7Text(benchmark::State& state) {
    CollageDocument doc;
    doc.textTemplate.font.lfHeight = 48;
    WriteFixedText(doc.textTemplate.font.lfFaceName, QStringLiteral("Arial"));
    WriteFixedText(doc.textTemplate.text, QStringLiteral("Summer holidays"));
    doc.textTemplate.style = 7;
    doc.AddText();
    Compositor compositor;
    QImage surface(1024, 768, QImage::Format_ARGB32_Premultiplied);
    Render(compositor, doc, surface);
    const QString words = QStringLiteral("Summer holidays by the sea ");
    int length = 15;
    for (auto _ : state) {
        length = length >= words.size() ? 10 : length + 1;
        SetSelectedText(doc, words.left(length));
        Render(compositor, doc, surface);
    }
}
BENCHMARK(BM_TypingIntoStyle7Text)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CropToolOpens24MpPhoto(benchmark::State& state) {
    const QString path = Files().photo;
    for (auto _ : state) {
        const WorkingPicture picture = LoadWorkingPicture(path);
        if (!picture.ok) {
            state.SkipWithError(picture.error.toUtf8().constData());
            break;
        }
        CropFrame frame;
        frame.Layout(QSize(800, 640), QSize(picture.width, picture.height));
        benchmark::DoNotOptimize(frame.Crop());
    }
}
BENCHMARK(BM_CropToolOpens24MpPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();

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
