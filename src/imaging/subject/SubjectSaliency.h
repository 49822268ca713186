#pragma once

// The region of a picture a viewer looks at first, for pictures without faces.

#include <QImage>
#include <QRectF>

#include <optional>

namespace mosaiq {

// The bounding box (in image's pixels) of the strongest connected region of the picture's
// saliency: the spectral residual of its lightness and colour planes, weighted towards sharp,
// colourful detail that differs from the colour along the picture's border. Nothing for a
// picture without a salient region (a plain or evenly textured picture).
std::optional<QRectF> SalientRegion(const QImage& image);

} // namespace mosaiq
