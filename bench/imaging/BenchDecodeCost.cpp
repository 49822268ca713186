// What refusing a decode bomb costs, and what the check adds to an honest picture it inspects.
#include "imaging/decode/DecodeCost.h"
#include "imaging/decode/PictureDecoder.h"

#include <QBuffer>
#include <QImage>

#include <benchmark/benchmark.h>
#include <zlib.h>

namespace {

void AppendBig32(QByteArray& out, quint32 v) {
    out.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

void AppendChunk(QByteArray& out, const char* type, const QByteArray& body) {
    AppendBig32(out, quint32(body.size()));
    const QByteArray typed = QByteArray(type, 4) + body;
    out += typed;
    AppendBig32(out, quint32(crc32(0, reinterpret_cast<const Bytef*>(typed.constData()),
                                   uInt(typed.size()))));
}

// A 40 KB PNG of garbage claiming 16,000 x 16,000 RGB pixels.
QByteArray PngBomb() {
    QByteArray png("\x89PNG\r\n\x1A\n", 8);
    QByteArray header;
    AppendBig32(header, 16000);
    AppendBig32(header, 16000);
    header.append(char(8)).append(char(2)).append(3, '\0');
    AppendChunk(png, "IHDR", header);
    QByteArray garbage(40 * 1024, '\0');
    for (qsizetype i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 131 + 7) % 251);
    AppendChunk(png, "IDAT", garbage);
    AppendChunk(png, "IEND", QByteArray());
    return png;
}

// A small JPEG whose one scan is repeated 12,000 times.
QByteArray JpegBomb() {
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray one;
    QBuffer buffer(&one);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    const qsizetype sos = one.indexOf("\xFF\xDA");
    const qsizetype eoi = one.lastIndexOf("\xFF\xD9");
    QByteArray out = one.left(sos);
    const QByteArray scan = one.mid(sos, eoi - sos);
    for (int i = 0; i < 12000; ++i)
        out += scan;
    return out + one.mid(eoi);
}

void BM_RefuseDecodeBomb(benchmark::State& state) {
    const QByteArray bomb = state.range(0) == 0 ? PngBomb() : JpegBomb();
    const QString extension = state.range(0) == 0 ? QStringLiteral("png") : QStringLiteral("jpg");
    for (auto _ : state)
        benchmark::DoNotOptimize(mosaiq::DecodePictureData(bomb, extension).error);
}
BENCHMARK(BM_RefuseDecodeBomb)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// A flat 4000 x 3000 PNG compresses far beyond the ratio that triggers the check, so its data is
// inflated once before decoding: the check alone (arg 0) against the whole decode (arg 1).
void BM_DecodeFlatPng(benchmark::State& state) {
    QImage image(4000, 3000, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    for (auto _ : state) {
        if (state.range(0) == 1)
            benchmark::DoNotOptimize(mosaiq::DecodePictureData(png, QStringLiteral("png")).image);
        else
            benchmark::DoNotOptimize(mosaiq::DecodeCostBounded(png, nullptr));
    }
}
BENCHMARK(BM_DecodeFlatPng)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
