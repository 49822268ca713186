#pragma once

#include <QImage>
#include <QSize>

namespace mosaiq {

// The picture resampled smoothly to exactly size (aspect not kept), as
// Format_ARGB32_Premultiplied. Reductions of more than 2x go in halving steps first, so that
// every source pixel counts and fine detail does not alias. Null for an empty size.
QImage ScaleForDisplay(const QImage& picture, QSize size);

} // namespace mosaiq
