#include "BenchPhotos.h"

#include <QDir>
#include <QLinearGradient>
#include <QPainter>

namespace mosaiq::bench {

QStringList CorpusJpegs(int count) {
    const QString corpus = qEnvironmentVariable("MOSAIQ_BENCH_CORPUS");
    if (corpus.isEmpty())
        return {};
    const QDir dir(corpus + QStringLiteral("/jpg"));
    QStringList out;
    for (const QString& name : dir.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name)) {
        if (count >= 0 && out.size() >= count)
            break;
        out << dir.filePath(name);
    }
    return out;
}

QImage NoisyGradient(int width, int height, quint32 seed) {
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = int(random.bounded(24));
            line[x] = qRgb((x / 16 + n) & 255, (y / 12 + n) & 255, ((x + y) / 28 + n) & 255);
        }
    }
    return image;
}

QImage BlockedGradient(int width, int height, int index, QRandomGenerator& random) {
    QImage picture(width, height, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, QColor::fromHsv((index * 37) % 360, 200, 230));
    gradient.setColorAt(1, QColor::fromHsv((index * 37 + 140) % 360, 220, 90));
    painter.fillRect(picture.rect(), gradient);
    for (int k = 0; k < 400; ++k)
        painter.fillRect(random.bounded(width), random.bounded(height), 40, 40,
                         QColor::fromRgb(random.generate()));
    return picture;
}

} // namespace mosaiq::bench
