#include "canvas/render/ColorPass.h"

#include "canvas/render/ColorMatrix.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace mosaiq {
namespace {

constexpr int kShift = 16;
constexpr float kOne = float(1 << kShift);
// Coefficients are kept within +-16 (offsets within +-16 full scales) so that four products of
// 255 and a coefficient plus an offset stay inside 32 bits.
constexpr float kLimit = 16.0f;

std::int32_t Fixed(float v) {
    if (!std::isfinite(v))
        return 0;
    return std::int32_t(std::lround(std::clamp(v, -kLimit, kLimit) * kOne));
}

// Coefficients for 0..255 inputs: out = sum(in * c[k]) + offset, all << kShift.
struct FixedMatrix {
    std::int32_t c[4][4];
    std::int32_t offset[4];
};

FixedMatrix ToFixed(const ColorMatrix& m) {
    FixedMatrix f{};
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row)
            f.c[row][col] = Fixed(m.At(row, col));
        f.offset[col] = Fixed(m.At(4, col)) * 255 + (1 << (kShift - 1)); // with rounding
    }
    return f;
}

// Reciprocal table for un-premultiplying: straight = (c * inv[a]) >> 16.
const std::array<std::uint32_t, 256>& Reciprocals() {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t a = 1; a < 256; ++a)
            t[a] = ((255u << 16) + a / 2) / a;
        return t;
    }();
    return table;
}

std::array<std::uint8_t, 256> GammaTable(float gamma) {
    std::array<std::uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) {
        const double v = std::pow(double(i) / 255.0, double(gamma));
        t[size_t(i)] = std::uint8_t(std::clamp(std::lround(v * 255.0), 0L, 255L));
    }
    return t;
}

inline std::uint32_t Clamp255(std::int32_t v) {
    v >>= kShift;
    return std::uint32_t(v < 0 ? 0 : (v > 255 ? 255 : v));
}

inline std::int32_t Unpremultiply(std::uint32_t c, std::uint32_t reciprocal) {
    return std::int32_t(std::min<std::uint32_t>((c * reciprocal + 0x8000) >> 16, 255));
}

inline std::uint32_t Premultiply(std::uint32_t c, std::uint32_t a) {
    const std::uint32_t t = c * a + 128;
    return (t + (t >> 8)) >> 8;
}

} // namespace

QImage ApplyColorMatrix(const QImage& picture, const ColorMatrix& matrix, float gamma) {
    QImage out = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return out;
    const FixedMatrix f = ToFixed(matrix);
    const bool useGamma = std::isfinite(gamma) && gamma > 0.0f && gamma != 1.0f;
    const std::array<std::uint8_t, 256> gammaTable = GammaTable(useGamma ? gamma : 1.0f);
    const auto& inv = Reciprocals();
    const int w = out.width();
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = line[x];
            const std::uint32_t a = p >> 24;
            const std::uint32_t k = inv[a];
            // A colour above its alpha (not a valid premultiplied pixel) is taken as full.
            const std::int32_t in[4] = {Unpremultiply((p >> 16) & 0xFF, k),
                                        Unpremultiply((p >> 8) & 0xFF, k),
                                        Unpremultiply(p & 0xFF, k), std::int32_t(a)};
            std::uint32_t o[4];
            for (int col = 0; col < 4; ++col)
                o[col] = Clamp255(in[0] * f.c[0][col] + in[1] * f.c[1][col] + in[2] * f.c[2][col] +
                                  in[3] * f.c[3][col] + f.offset[col]);
            if (useGamma) {
                o[0] = gammaTable[o[0]];
                o[1] = gammaTable[o[1]];
                o[2] = gammaTable[o[2]];
            }
            const std::uint32_t oa = o[3];
            line[x] = (oa << 24) | (Premultiply(o[0], oa) << 16) | (Premultiply(o[1], oa) << 8) |
                      Premultiply(o[2], oa);
        }
    }
    return out;
}

} // namespace mosaiq
