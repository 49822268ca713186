#include "canvas/render/ColorMatrix.h"

#include "canvas/document/Records.h"

#include <cmath>
#include <numbers>

namespace mosaiq {
namespace {

constexpr float kLumRed = 0.3086f;
constexpr float kLumGreen = 0.6094f;
constexpr float kLumBlue = 0.082f;

// The two fixed halves of the hue rotation: Pre turns the grey axis onto blue and shears the
// luminance plane flat; Post undoes both.
struct HueFrame {
    ColorMatrix pre;
    ColorMatrix post;
};

HueFrame MakeHueFrame() {
    HueFrame f;
    f.pre.Prepend(ColorMatrix::PlaneRotation(2, 1, 45.0f));
    f.pre.Append(ColorMatrix::PlaneRotation(0, 2, -35.0f));
    const std::array<float, 4> lum = f.pre.Map({kLumRed, kLumGreen, kLumBlue, 1.0f});
    const float zx = lum[0] / lum[2];
    const float zy = lum[1] / lum[2];
    f.pre.Append(ColorMatrix::BlueShear(zx, zy));
    f.post = ColorMatrix::BlueShear(-zx, -zy);
    f.post.Append(ColorMatrix::PlaneRotation(0, 2, 35.0f));
    f.post.Append(ColorMatrix::PlaneRotation(2, 1, -45.0f));
    return f;
}

} // namespace

ColorMatrix::ColorMatrix() {
    for (int i = 0; i < 5; ++i)
        m_m[i][i] = 1.0f;
}

ColorMatrix ColorMatrix::Scale(float r, float g, float b, float a) {
    ColorMatrix x;
    x.m_m[0][0] = r;
    x.m_m[1][1] = g;
    x.m_m[2][2] = b;
    x.m_m[3][3] = a;
    return x;
}

ColorMatrix ColorMatrix::Translate(float r, float g, float b, float a) {
    ColorMatrix x;
    x.m_m[4][0] = r;
    x.m_m[4][1] = g;
    x.m_m[4][2] = b;
    x.m_m[4][3] = a;
    return x;
}

ColorMatrix ColorMatrix::PlaneRotation(int b, int c, float degrees) {
    const float radians = degrees * float(std::numbers::pi) / 180.0f;
    const float cs = std::cos(radians);
    const float sn = std::sin(radians);
    ColorMatrix x;
    x.m_m[b][b] = cs;
    x.m_m[c][c] = cs;
    x.m_m[c][b] = sn;
    x.m_m[b][c] = -sn;
    return x;
}

ColorMatrix ColorMatrix::Saturation(float s) {
    ColorMatrix x;
    const float weights[3] = {kLumRed, kLumGreen, kLumBlue};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            x.m_m[row][col] = (1.0f - s) * weights[row] + (row == col ? s : 0.0f);
    return x;
}

ColorMatrix ColorMatrix::BlueShear(float byRed, float byGreen) {
    ColorMatrix x;
    x.m_m[0][2] = byRed;
    x.m_m[1][2] = byGreen;
    return x;
}

ColorMatrix ColorMatrix::Product(const ColorMatrix& a, const ColorMatrix& b) {
    ColorMatrix r; // column 4 stays (0, 0, 0, 0, 1)
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 4; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 5; ++k)
                sum += a.m_m[row][k] * b.m_m[k][col];
            r.m_m[row][col] = sum;
        }
    return r;
}

void ColorMatrix::Append(const ColorMatrix& x) {
    *this = Product(*this, x);
}

void ColorMatrix::Prepend(const ColorMatrix& x) {
    *this = Product(x, *this);
}

void ColorMatrix::AppendHue(float degrees) {
    static const HueFrame frame = MakeHueFrame();
    Append(frame.pre);
    Append(PlaneRotation(1, 0, degrees));
    Append(frame.post);
}

std::array<float, 4> ColorMatrix::Map(const std::array<float, 4>& rgba) const {
    std::array<float, 4> out{};
    for (int col = 0; col < 4; ++col) {
        float sum = m_m[4][col];
        for (int k = 0; k < 4; ++k)
            sum += rgba[size_t(k)] * m_m[k][col];
        out[size_t(col)] = sum;
    }
    return out;
}

bool ColorMatrix::IsAlphaScaleOnly() const {
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 4; ++col) {
            if (row == 3 && col == 3)
                continue;
            if (m_m[row][col] != (row == col ? 1.0f : 0.0f))
                return false;
        }
    return true;
}

ColorMatrix ObjectColorMatrix(float opacity, const TuningBlock& tuning) {
    ColorMatrix m;
    m.Prepend(ColorMatrix::Scale(1.0f, 1.0f, 1.0f, opacity));
    if (!tuning.active)
        return m;
    const float c = tuning.contrast;
    const float b = tuning.brightness;
    m.Prepend(ColorMatrix::Scale(c, c, c, 1.0f));
    m.Append(ColorMatrix::Translate(b, b, b, 0.0f));
    m.Append(ColorMatrix::Saturation(tuning.saturation));
    m.AppendHue(tuning.hue);
    m.Prepend(ColorMatrix::PlaneRotation(1, 0, tuning.colour));
    m.Prepend(ColorMatrix::PlaneRotation(0, 2, tuning.colour));
    m.Prepend(ColorMatrix::PlaneRotation(2, 1, tuning.colour));
    return m;
}

} // namespace mosaiq
