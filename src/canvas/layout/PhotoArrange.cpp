#include "canvas/layout/PhotoArrange.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/document/ObjectGeometry.h"
#include "canvas/layout/LivingLayout.h"
#include "imaging/subject/SubjectCrop.h"

#include <algorithm>
#include <cmath>

namespace mosaiq {

QSizeF FrameExtent(const PhotoRecord& photo) {
    if (photo.frameId <= 0)
        return {1.0, 1.0};
    const double w = double(photo.frameWindow.right) - double(photo.frameWindow.left);
    const double h = double(photo.frameWindow.bottom) - double(photo.frameWindow.top);
    if (!(w > 0.0 && w <= 1.0) || !(h > 0.0 && h <= 1.0))
        return {1.0, 1.0};
    return {w, h};
}

namespace {

// Gives the crop the shape that makes the photo's box aspect boxAspect, placed around the
// picture's subject when one is known (else centred on the present crop).
void CropToAspect(PhotoRecord& photo, double boxAspect, const PictureSubject* subject) {
    const int pw = photo.pictureWidth;
    const int ph = photo.pictureHeight;
    if (pw <= 0 || ph <= 0 || !(boxAspect > 0.0))
        return;
    const QSizeF extent = FrameExtent(photo);
    // box = crop / extent on each axis, so the crop's aspect carries the extent's ratio.
    const double cropAspect = boxAspect * extent.width() / extent.height();
    const bool cropValid = photo.cropRight > photo.cropLeft && photo.cropBottom > photo.cropTop;
    const QRect present = cropValid ? QRect(QPoint(photo.cropLeft, photo.cropTop),
                                            QPoint(photo.cropRight - 1, photo.cropBottom - 1))
                                    : QRect();
    const QRect crop = PlaceSubjectCrop(QSize(pw, ph), subject, cropAspect, present);
    photo.cropLeft = crop.left();
    photo.cropTop = crop.top();
    photo.cropRight = crop.left() + crop.width();
    photo.cropBottom = crop.top() + crop.height();
    photo.boxWidth = std::max(1, int(double(crop.width()) / extent.width()));
    photo.boxHeight = std::max(1, int(double(crop.height()) / extent.height()));
}

} // namespace

double PhotoBoxAspect(const PhotoRecord& photo) {
    if (photo.boxWidth <= 0 || photo.boxHeight <= 0)
        return 0.0;
    return double(photo.boxWidth) / double(photo.boxHeight);
}

std::vector<int> PhotosToArrange(const CollageDocument& document) {
    std::vector<int> all;
    std::vector<int> selected;
    for (std::size_t i = 0; i < document.objects.size(); ++i) {
        const CanvasObject& o = document.objects[i];
        if (!o.Photo())
            continue;
        all.push_back(int(i));
        if (o.Selected())
            selected.push_back(int(i));
    }
    return selected.size() >= 2 ? selected : all;
}

LayoutResult LayoutPhotos(const CollageDocument& document, const std::vector<int>& indices,
                          const ArrangeOptions& options) {
    LayoutRequest request;
    request.canvas = QSizeF(document.width, document.height);
    request.spacing = options.spacing;
    request.margin = options.margin;
    request.fill = options.fill;
    request.family = options.family;
    request.seed = options.seed;
    for (int i : indices) {
        const PhotoRecord* photo = document.objects[std::size_t(i)].Photo();
        request.aspects.push_back(photo ? PhotoBoxAspect(*photo) : 0.0);
    }
    return ComputePhotoLayout(request);
}

void PlacePhotoInCell(PhotoRecord& photo, const QRectF& cell, bool fill,
                      const PictureSubject* subject) {
    const int left = int(std::ceil(cell.left()));
    const int top = int(std::ceil(cell.top()));
    const int roomW = int(std::floor(cell.right())) - left;
    const int roomH = int(std::floor(cell.bottom())) - top;
    if (fill && roomW > 0 && roomH > 0)
        CropToAspect(photo, double(roomW) / double(roomH), subject);
    photo.angle = 0.0f;
    if (photo.boxWidth <= 0 || photo.boxHeight <= 0 || roomW <= 0 || roomH <= 0)
        return;
    float scale =
        std::min(float(roomW) / float(photo.boxWidth), float(roomH) / float(photo.boxHeight));
    QSize shown = DisplayedSize(photo.boxWidth, photo.boxHeight, scale, 1.0f);
    // Float rounding may carry a side one step past the room; the next float down keeps it in.
    while (scale > 0.0f && (shown.width() > roomW || shown.height() > roomH)) {
        scale = std::nextafter(scale, 0.0f);
        shown = DisplayedSize(photo.boxWidth, photo.boxHeight, scale, 1.0f);
    }
    photo.scale = scale;
    photo.x = left + (roomW - shown.width()) / 2;
    photo.y = top + (roomH - shown.height()) / 2;
}

LayoutResult ArrangePhotos(CollageDocument& document, const std::vector<int>& indices,
                           const ArrangeOptions& options) {
    return MakeLayout(document, indices, options);
}

} // namespace mosaiq
