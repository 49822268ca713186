#pragma once

// 5 x 5 colour matrices used with row vectors [R G B A 1] (components 0..1): a colour c becomes
// c x M, so m[row][column] takes input component row into output component column and row 4
// holds the offsets. Appending X (M = M x X) makes X act after what is already there; prepending
// (M = X x M) makes it act first. Products compute columns 0..3 only: the fifth column keeps its
// identity values.

#include <array>

namespace mosaiq {

struct TuningBlock;

class ColorMatrix {
public:
    using Rows = std::array<std::array<float, 5>, 5>;

    ColorMatrix(); // identity

    static ColorMatrix Scale(float r, float g, float b, float a);
    // Offsets added to R, G, B, A (row 4).
    static ColorMatrix Translate(float r, float g, float b, float a);
    // Rotation by degrees in plane (b, c): m[b][b] = m[c][c] = cos, m[c][b] = sin, m[b][c] = -sin.
    static ColorMatrix PlaneRotation(int b, int c, float degrees);
    // Luminance-preserving saturation with the weights 0.3086, 0.6094, 0.082.
    static ColorMatrix Saturation(float s);
    // Shear of the blue column by red and green: m[0][2] = byRed, m[1][2] = byGreen.
    static ColorMatrix BlueShear(float byRed, float byGreen);

    void Append(const ColorMatrix& x);  // M = M x X
    void Prepend(const ColorMatrix& x); // M = X x M
    // Luminance-preserving hue rotation by degrees: M = M x Pre x rotation(1, 0) x Post.
    void AppendHue(float degrees);

    float At(int row, int column) const { return m_m[row][column]; }
    float& At(int row, int column) { return m_m[row][column]; }
    const Rows& Values() const { return m_m; }

    // The colour [r g b a] (0..1) times the matrix, with the offsets; not clamped.
    std::array<float, 4> Map(const std::array<float, 4>& rgba) const;
    // True when only alpha is scaled: colours pass unchanged.
    bool IsAlphaScaleOnly() const;

private:
    static ColorMatrix Product(const ColorMatrix& a, const ColorMatrix& b);
    Rows m_m{};
};

// The matrix an object is drawn with: alpha times opacity; when the tuning is active, contrast,
// brightness, saturation, hue and the three colour-plane rotations, in the editor's order.
ColorMatrix ObjectColorMatrix(float opacity, const TuningBlock& tuning);

} // namespace mosaiq
