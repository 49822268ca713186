#pragma once

// The living layout of a collage: what Arrange leaves behind so the collage can be shaped further.
// The layout (CollageDocument::layout) keeps the family and settings and one cell per photo; each
// photo in it names its cell (CanvasObject::layoutCell) and is fitted to it: angle 0, a crop of
// the cell's shape placed around its subject (or around its present centre once the user moved
// it), box, scale and position such that a reader that knows nothing of layouts still draws it
// in place. Every change here that is a step of its own records one snapshot.

#include "canvas/document/CollageLayout.h"
#include "canvas/layout/PhotoLayout.h"

#include <QPointF>
#include <QRectF>

#include <cstdint>
#include <vector>

namespace mosaiq {

class CanvasObject;
class CollageDocument;
struct ArrangeOptions;

// Smallest side a cell keeps when a gap is dragged, canvas pixels.
constexpr double kMinCellSide = 40.0;

struct LayoutSettings {
    LayoutFamily family = LayoutFamily::Rows;
    double spacing = 0.0;
    double margin = 0.0;
    double cornerRadius = 0.0;
    bool fill = true;
};

LayoutSettings SettingsOf(const CollageLayout& layout);

// Object index of each cell's photo (-1 where none holds it).
std::vector<int> LayoutMembers(const CollageDocument& document);

// The cell containing the canvas point; -1 in a gap, the margin or off the layout.
int LayoutCellAt(const CollageLayout& layout, QPointF point);
// The cell nearest the canvas point (by the distance to its rectangle); -1 without cells.
int NearestLayoutCell(const CollageLayout& layout, QPointF point);

// Share of the canvas (0..1) the layout's cells cover as drawn at scale 1 (their exact edges).
double DrawnLayoutCoverage(const CollageDocument& document);

// The largest corner radius the cells allow: half the shorter side of the smallest cell.
double MaxCornerRadius(const CollageLayout& layout);

enum class CropPlacement {
    Subject,    // around the picture's subject when one is known, else the present centre
    KeepCentre, // around the present crop's centre (a crop the user moved)
    Centred,    // around the present crop's centre, subjects never asked
    KeepArea,   // the present crop's area (as the picture allows) around its centre: a crop the
                // user made or zoomed, and every crop of a layout without fill
};

// Fits the photo to its cell: crop of the cell's shape, box, scale, position, angle 0; drops
// its pictures. No snapshot.
void FitPhotoToCell(CanvasObject& object, const QRectF& cell, CropPlacement placement);

// Fits every photo of the layout to its cell again (after its cells moved). quick, for the steps
// of a drag: no subject is looked up (crops keep their centres) and the pictures already made are
// kept, to be drawn scaled until a full fit follows. No snapshot.
void RefitLayoutPhotos(CollageDocument& document, bool quick);

// Makes the photos at indices the collage's layout (one cell each, in order) with the options;
// the photos of an earlier layout that are not among them become free. One snapshot; nothing
// changes when the layout fails.
LayoutResult MakeLayout(CollageDocument& document, const std::vector<int>& indices,
                        const ArrangeOptions& options);

// Lays the present members out again with the settings (seed as LayoutRequest's) and fits every
// photo to its new cell. Cells without a photo are dropped first; a layout left without photos
// ends. False, nothing changed, when the layout cannot be made. No snapshot.
bool ReflowLayout(CollageDocument& document, const LayoutSettings& settings,
                  std::uint64_t seed = 0);

// Changes the settings (spacing, margin, corner radius, fill, family) and re-flows: with
// recordStep one snapshot, without it the change shows only (a dialog's live preview).
bool ApplyLayoutSettings(CollageDocument& document, const LayoutSettings& settings,
                         std::uint64_t seed, bool recordStep);

// Swaps the photos of two cells, each crop fitted to its new cell. One snapshot; false when
// either cell holds no photo or they are the same.
bool SwapLayoutCells(CollageDocument& document, int a, int b);

// The photo at objectIndex (just added, on top) takes the place of the photo in cell: at its
// place in the object list, fitted to the cell; the old photo goes. Amends the current snapshot
// (the add's), so adding and replacing is one step.
bool ReplaceCellPhoto(CollageDocument& document, int cell, int objectIndex);

// A free photo joins the layout as a new cell after the cell nearest point (at the end when the
// point is null) and the layout re-flows. With amend the current snapshot is replaced (the photo
// was just added), else one snapshot is recorded.
bool InsertIntoLayout(CollageDocument& document, int objectIndex, const QPointF* point,
                      bool amend);

// The drop paths' hook: the photo at objectIndex was just added by a drop at the canvas point.
// On a cell it replaces that cell's photo; on a gap or the margin it joins the layout as a new
// cell. Either way the add and this are one history step. False (nothing changed) when the
// collage has no layout or the point is off the canvas.
bool PlaceDroppedPhoto(CollageDocument& document, int objectIndex, QPointF point);

// The photo leaves the layout and stays where it is as a free photo; the rest re-flow. One
// snapshot.
bool RemoveFromLayout(CollageDocument& document, int objectIndex);

// Removes the cell of an object that is about to be deleted (the tags above it move down) and
// re-flows the rest. No snapshot (the deletion records one).
void ForgetLayoutCell(CollageDocument& document, int objectIndex);

// Ends the layout: every photo stays where it is, free. One snapshot; false without a layout.
bool DissolveLayout(CollageDocument& document);

// The canvas size changed: the layout re-flows into it, recorded in the present history state
// (the canvas size is not part of the history).
void ReflowAfterCanvasSize(CollageDocument& document);

// A crop or frame just changed a laid-out photo's shape: its crop takes the cell's shape again
// around its present centre, keeping the crop's area where the picture allows.
void RefitChangedPhoto(CollageDocument& document, CanvasObject& object);

// Cell mode: the crop of the photo in cell moved by (dx, dy) screen pixels (the picture follows
// the pointer) at zoom, or scaled by factor about anchor (a canvas point inside the cell), kept
// within the picture and between "the picture just covers the cell" and 8x that (or one picture
// pixel per screen pixel, whichever comes first). No snapshot; false when nothing moved.
bool PanCellPicture(CollageDocument& document, int cell, double dx, double dy, float zoom);
bool ZoomCellPicture(CollageDocument& document, int cell, double factor, QPointF anchor,
                     float zoom);

} // namespace mosaiq
