#pragma once

// Applies an automatic layout (canvas/PhotoLayout) to the photo objects of a document: each
// arranged photo stays an ordinary photo object, turned upright, scaled and placed in its cell
// and, with fill, cropped to the cell's shape. Other objects stay where they are.

#include "canvas/layout/PhotoLayout.h"
#include "canvas/document/Records.h"

#include <vector>

namespace mosaiq {

class CollageDocument;
struct PictureSubject;

struct ArrangeOptions {
    LayoutFamily family = LayoutFamily::Rows;
    int spacing = 12; // canvas pixels
    int margin = 12;
    bool fill = false;
    std::uint64_t seed = 0; // 0: the photos' order in the document
    double cornerRadius = 0.0; // canvas pixels, at most half the shorter side of the smallest cell
    bool centre = false;       // crops centred, no subject placement
    bool keepPan = false;      // crops keep their present centre (laying out a project again)
};

// The frame window's share of the framed box on each axis (1 without a frame).
QSizeF FrameExtent(const PhotoRecord& photo);

// Width / height of the photo's box as shown (crop, enlarged by the frame when it has one);
// 0 when the record has no size.
double PhotoBoxAspect(const PhotoRecord& photo);

// The photos an arrangement takes: the selected photos when two or more are selected, otherwise
// every photo. Object indices, bottom first.
std::vector<int> PhotosToArrange(const CollageDocument& document);

// The layout of those photos on the document's canvas (nothing is changed).
LayoutResult LayoutPhotos(const CollageDocument& document, const std::vector<int>& indices,
                          const ArrangeOptions& options);

// Puts one photo into its cell (canvas pixels): angle 0, the largest scale whose displayed box
// fits the whole pixels of the cell, centred. With fill the crop first takes the cell's shape:
// the largest such rectangle inside the picture, placed around subject (PlaceSubjectCrop) or,
// without one, centred on the present crop's centre.
void PlacePhotoInCell(PhotoRecord& photo, const QRectF& cell, bool fill,
                      const PictureSubject* subject = nullptr);

// Lays out and places the photos at indices as one history step and keeps them as the
// collage's living layout (canvas/layout/LivingLayout); the document is unchanged when the
// layout fails (the result says why).
LayoutResult ArrangePhotos(CollageDocument& document, const std::vector<int>& indices,
                           const ArrangeOptions& options);

} // namespace mosaiq
