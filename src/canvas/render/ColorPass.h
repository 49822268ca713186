#pragma once

// The one pass that applies an object's colour matrix and gamma to its cached picture.

#include <QImage>

namespace mosaiq {

class ColorMatrix;

// The picture with every pixel's straight colour [R G B A] mapped by the matrix, clamped, then
// R, G and B raised to the power gamma (1 leaves them; a value that is not a positive number
// counts as 1). Works on premultiplied pixels in 16.16 fixed point, one pass, and returns
// Format_ARGB32_Premultiplied; the input may be any format.
QImage ApplyColorMatrix(const QImage& picture, const ColorMatrix& matrix, float gamma);

} // namespace mosaiq
