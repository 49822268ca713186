#include "imaging/colour/CodedSamples.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace mosaiq {

namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k)
                m[r][c] += a[r][k] * b[k][c];
    return m;
}

bool Inverse(const Matrix& a, Matrix* out) {
    const double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                       a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                       a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    if (!std::isfinite(det) || std::abs(det) < 1e-12)
        return false;
    Matrix& m = *out;
    m[0][0] = (a[1][1] * a[2][2] - a[1][2] * a[2][1]) / det;
    m[0][1] = (a[0][2] * a[2][1] - a[0][1] * a[2][2]) / det;
    m[0][2] = (a[0][1] * a[1][2] - a[0][2] * a[1][1]) / det;
    m[1][0] = (a[1][2] * a[2][0] - a[1][0] * a[2][2]) / det;
    m[1][1] = (a[0][0] * a[2][2] - a[0][2] * a[2][0]) / det;
    m[1][2] = (a[0][2] * a[1][0] - a[0][0] * a[1][2]) / det;
    m[2][0] = (a[1][0] * a[2][1] - a[1][1] * a[2][0]) / det;
    m[2][1] = (a[0][1] * a[2][0] - a[0][0] * a[2][1]) / det;
    m[2][2] = (a[0][0] * a[1][1] - a[0][1] * a[1][0]) / det;
    return true;
}

std::array<double, 3> Xyz(const float xy[2]) {
    return {xy[0] / xy[1], 1.0, (1.0 - xy[0] - xy[1]) / xy[1]};
}

// Linear RGB of these primaries and white to CIE XYZ (white at Y = 1).
bool RgbToXyz(const float red[2], const float green[2], const float blue[2], const float white[2],
              Matrix* out) {
    for (const float* xy : {red, green, blue, white})
        if (!(xy[0] > 0.0f && xy[1] > 0.0f && xy[0] + xy[1] <= 1.0f))
            return false;
    const std::array<double, 3> p[3] = {Xyz(red), Xyz(green), Xyz(blue)};
    Matrix primaries{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            primaries[r][c] = p[c][r];
    Matrix inverse;
    if (!Inverse(primaries, &inverse))
        return false;
    const std::array<double, 3> w = Xyz(white);
    for (int c = 0; c < 3; ++c) {
        const double scale = inverse[c][0] * w[0] + inverse[c][1] * w[1] + inverse[c][2] * w[2];
        for (int r = 0; r < 3; ++r)
            primaries[r][c] *= scale;
    }
    *out = primaries;
    return true;
}

constexpr float kD65[2] = {0.3127f, 0.3290f};

// Bradford adaptation of XYZ from white to D65.
Matrix AdaptToD65(const float white[2]) {
    const Matrix bradford = {
        {{0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}}};
    Matrix back;
    Inverse(bradford, &back);
    const std::array<double, 3> from = Xyz(white), to = Xyz(kD65);
    Matrix scale{};
    for (int i = 0; i < 3; ++i) {
        double a = 0, b = 0;
        for (int k = 0; k < 3; ++k) {
            a += bradford[i][k] * from[k];
            b += bradford[i][k] * to[k];
        }
        scale[i][i] = b / a;
    }
    return Multiply(back, Multiply(scale, bradford));
}

// The coded primaries' linear RGB to sRGB's; identity when they cannot be read.
Matrix PrimariesToSrgb(const CodedColour& colour) {
    const Matrix identity = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    static const float kRed[2] = {0.64f, 0.33f}, kGreen[2] = {0.30f, 0.60f},
                       kBlue[2] = {0.15f, 0.06f};
    Matrix source, srgb, toSrgb;
    if (!RgbToXyz(colour.red, colour.green, colour.blue, colour.white, &source) ||
        !RgbToXyz(kRed, kGreen, kBlue, kD65, &srgb) || !Inverse(srgb, &toSrgb))
        return identity;
    return Multiply(toSrgb, Multiply(AdaptToD65(colour.white), source));
}

double SrgbEncoded(double linear) {
    linear = std::clamp(linear, 0.0, 1.0);
    return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
}

int Sample(const unsigned char* row, int index, bool wide) {
    if (!wide)
        return row[index];
    std::uint16_t v;
    std::memcpy(&v, row + 2 * index, 2);
    return v;
}

} // namespace

QImage CodedSamplesToSrgb(const CodedSamples& s, const CodedColour& colour) {
    const bool wide = s.bits > 8;
    if (!s.data || s.width <= 0 || s.height <= 0 || s.bits < 1 || s.bits > 16 ||
        (s.channels != 1 && s.channels != 3 && s.channels != 4) ||
        s.stride < qsizetype(s.width) * s.channels * (wide ? 2 : 1) ||
        (s.alpha && (s.alphaBits < 1 || s.alphaBits > 16 ||
                     s.alphaStride < qsizetype(s.width) * (s.alphaBits > 8 ? 2 : 1))))
        return {};
    const bool hasAlpha = s.channels == 4 || s.alpha;
    QImage out(s.width, s.height, hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (out.isNull())
        return out;
    const bool hdr = IsHighDynamicRangeTransfer(colour.transfer);
    // Each code's light (display values for other transfers), computed once per code in double.
    const int codes = 1 << s.bits;
    const double black = s.limitedRange ? 16.0 * (1 << s.bits) / 256.0 : 0.0;
    const double span = s.limitedRange ? 219.0 * (1 << s.bits) / 256.0 : double(codes - 1);
    std::vector<float> light(static_cast<size_t>(codes));
    std::vector<std::uint8_t> direct(static_cast<size_t>(codes));
    for (int c = 0; c < codes; ++c) {
        const double v = std::clamp((c - black) / span, 0.0, 1.0);
        light[size_t(c)] = float(HdrDisplayLight(colour.transfer, v));
        direct[size_t(c)] = std::uint8_t(std::lround(v * 255.0));
    }
    // Linear light to sRGB's 8 bits, in steps far finer than one output level.
    constexpr int kSteps = 65535;
    std::vector<std::uint8_t> encode(kSteps + 1);
    if (hdr)
        for (int i = 0; i <= kSteps; ++i)
            encode[size_t(i)] = std::uint8_t(std::lround(SrgbEncoded(double(i) / kSteps) * 255.0));
    const Matrix m = PrimariesToSrgb(colour);
    const int alphaMax = (1 << (s.alpha ? s.alphaBits : s.bits)) - 1;
    const auto toStep = [](double linear) {
        return int(std::lround(std::clamp(linear, 0.0, 1.0) * kSteps));
    };
    for (int y = 0; y < s.height; ++y) {
        const unsigned char* row = s.data + qsizetype(y) * s.stride;
        const unsigned char* alphaRow = s.alpha ? s.alpha + qsizetype(y) * s.alphaStride : nullptr;
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < s.width; ++x) {
            int code[3];
            for (int c = 0; c < 3; ++c) {
                const int value = Sample(row, x * s.channels + (s.channels == 1 ? 0 : c), wide);
                code[c] = std::min(value, codes - 1);
            }
            int rgb[3];
            if (!hdr) {
                for (int c = 0; c < 3; ++c)
                    rgb[c] = direct[size_t(code[c])];
            } else {
                const double l[3] = {light[size_t(code[0])], light[size_t(code[1])],
                                     light[size_t(code[2])]};
                for (int c = 0; c < 3; ++c)
                    rgb[c] =
                        encode[size_t(toStep(m[c][0] * l[0] + m[c][1] * l[1] + m[c][2] * l[2]))];
            }
            int a = 255;
            if (s.channels == 4)
                a = int(std::lround(std::min(Sample(row, x * 4 + 3, wide), alphaMax) * 255.0 /
                                    alphaMax));
            else if (alphaRow)
                a = int(std::lround(std::min(Sample(alphaRow, x, s.alphaBits > 8), alphaMax) *
                                    255.0 / alphaMax));
            line[x] = qRgba(rgb[0], rgb[1], rgb[2], a);
        }
    }
    return out;
}

} // namespace mosaiq
