#include "text/SoftCopy.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace mosaiq {

namespace {

double CatmullRom(double x) {
    x = std::abs(x);
    if (x < 1)
        return 1.5 * x * x * x - 2.5 * x * x + 1;
    if (x < 2)
        return -0.5 * x * x * x + 2.5 * x * x - 4 * x + 2;
    return 0;
}

// For output index q * factor + r, the four source taps start at q + phase.first and are
// weighted by phase.second.
struct Phase {
    int first = 0;
    std::array<float, 4> weights{};
};

std::vector<Phase> Phases(int factor) {
    std::vector<Phase> phases(static_cast<std::size_t>(factor));
    for (int r = 0; r < factor; ++r) {
        const double u = (r + 0.5) / factor - 0.5;
        const double base = std::floor(u);
        const double t = u - base;
        Phase& p = phases[static_cast<std::size_t>(r)];
        p.first = static_cast<int>(base) - 1;
        for (int j = 0; j < 4; ++j)
            p.weights[static_cast<std::size_t>(j)] = static_cast<float>(CatmullRom(t + 1 - j));
    }
    return phases;
}

std::uint8_t ToByte(float v, float limit) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, limit)));
}

} // namespace

QImage EnlargeBicubic(const QImage& source, int factor) {
    const QImage src = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int sw = src.width(), sh = src.height();
    if (sw <= 0 || sh <= 0 || factor < 1)
        return {};
    const int ow = sw * factor, oh = sh * factor;
    const std::vector<Phase> phases = Phases(factor);

    // Horizontal pass: sh rows of ow pixels, four float channels (B, G, R, A).
    std::vector<float> rows(static_cast<std::size_t>(ow) * std::size_t(sh) * 4, 0.0f);
    for (int y = 0; y < sh; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        float* out = rows.data() + std::size_t(y) * std::size_t(ow) * 4;
        for (int x = 0; x < ow; ++x) {
            const Phase& p = phases[std::size_t(x % factor)];
            const int first = x / factor + p.first;
            float acc[4] = {0, 0, 0, 0};
            for (int j = 0; j < 4; ++j) {
                const int sx = first + j;
                if (sx < 0 || sx >= sw)
                    continue;
                const QRgb c = in[sx];
                const float w = p.weights[std::size_t(j)];
                acc[0] += w * float(qBlue(c));
                acc[1] += w * float(qGreen(c));
                acc[2] += w * float(qRed(c));
                acc[3] += w * float(qAlpha(c));
            }
            std::copy(acc, acc + 4, out + std::size_t(x) * 4);
        }
    }

    // Vertical pass into the result, keeping premultiplied colour no brighter than alpha.
    QImage result(ow, oh, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < oh; ++y) {
        const Phase& p = phases[std::size_t(y % factor)];
        const int first = y / factor + p.first;
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < ow; ++x) {
            float acc[4] = {0, 0, 0, 0};
            for (int j = 0; j < 4; ++j) {
                const int sy = first + j;
                if (sy < 0 || sy >= sh)
                    continue;
                const float* in =
                    rows.data() + (std::size_t(sy) * std::size_t(ow) + std::size_t(x)) * 4;
                const float w = p.weights[std::size_t(j)];
                for (int c = 0; c < 4; ++c)
                    acc[c] += w * in[c];
            }
            const std::uint8_t a = ToByte(acc[3], 255.0f);
            out[x] = qRgba(ToByte(acc[2], a), ToByte(acc[1], a), ToByte(acc[0], a), a);
        }
    }
    return result;
}

SoftCopy MakeSoftCopy(QSize measured, int divisor, QPointF offset, QPointF destination,
                      const std::function<void(QPainter&)>& content) {
    const int w = measured.width(), h = measured.height();
    if (w <= 0 || h <= 0 || divisor < 1)
        return {};
    const double s = 1.0 / divisor;
    // The content lands in the top-left W s x H s corner (plus the offset and a little overhang);
    // the rest of the W x H image stays transparent, so only the corner is made.
    const int small_w = std::min(w, int(std::ceil(w * s + std::abs(offset.x()))) + 3);
    const int small_h = std::min(h, int(std::ceil(h * s + std::abs(offset.y()))) + 3);

    // A copy too big to keep (a huge font on a damaged record) is made at a coarser resolution
    // and stretched by the painter: reduce divides the small image's resolution.
    const qint64 smallPixels = qint64(small_w) * small_h;
    const int reduce =
        smallPixels > kMaxSoftCopySmallPixels
            ? int(std::ceil(std::sqrt(double(smallPixels) / double(kMaxSoftCopySmallPixels))))
            : 1;
    QImage small((small_w + reduce - 1) / reduce, (small_h + reduce - 1) / reduce,
                 QImage::Format_ARGB32_Premultiplied);
    if (small.isNull())
        return {};
    small.setDotsPerMeterX(3780);
    small.setDotsPerMeterY(3780);
    small.fill(Qt::transparent);
    {
        QPainter p(&small);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                         QPainter::SmoothPixmapTransform);
        const QTransform transform =
            QTransform::fromTranslate(-(w / 2), -(h / 2)) * QTransform::fromScale(s, s) *
            QTransform::fromTranslate(w * s * 0.5 + offset.x(), h * s * 0.5 + offset.y()) *
            QTransform::fromScale(1.0 / reduce, 1.0 / reduce);
        p.setTransform(transform);
        content(p);
    }

    int factor = divisor;
    while (factor > 1 &&
           qint64(small.width()) * factor * qint64(small.height()) * factor > kMaxSoftCopyPixels)
        --factor;
    SoftCopy copy;
    copy.image = EnlargeBicubic(small, factor);
    copy.target = QRectF(destination, QSizeF(double(small.width()) * divisor * reduce,
                                             double(small.height()) * divisor * reduce));
    return copy;
}

void DrawSoftCopy(QPainter& painter, const SoftCopy& copy) {
    if (copy.image.isNull())
        return;
    painter.drawImage(copy.target, copy.image);
}

} // namespace mosaiq
