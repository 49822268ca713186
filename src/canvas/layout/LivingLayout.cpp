#include "canvas/layout/LivingLayout.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/document/LayoutPlacement.h"
#include "canvas/layout/PhotoArrange.h"
#include "core/text/FixedText.h"
#include "imaging/subject/SubjectCache.h"
#include "imaging/subject/SubjectCrop.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace mosaiq {
namespace {

LayoutFamily FamilyOf(std::int32_t stored) {
    switch (stored) {
    case 1:
        return LayoutFamily::Grid;
    case 2:
        return LayoutFamily::Tree;
    default:
        return LayoutFamily::Rows;
    }
}

std::int32_t StoredFamily(LayoutFamily family) {
    switch (family) {
    case LayoutFamily::Grid:
        return 1;
    case LayoutFamily::Tree:
        return 2;
    case LayoutFamily::Rows:
        break;
    }
    return 0;
}

QRect PresentCrop(const PhotoRecord& r) {
    if (r.cropRight <= r.cropLeft || r.cropBottom <= r.cropTop)
        return QRect();
    return QRect(r.cropLeft, r.cropTop, r.cropRight - r.cropLeft, r.cropBottom - r.cropTop);
}

void SetCrop(PhotoRecord& r, const QRect& crop, QSizeF extent) {
    r.cropLeft = crop.left();
    r.cropTop = crop.top();
    r.cropRight = crop.left() + crop.width();
    r.cropBottom = crop.top() + crop.height();
    r.boxWidth = std::max(1, int(double(crop.width()) / extent.width()));
    r.boxHeight = std::max(1, int(double(crop.height()) / extent.height()));
}

// The crop's aspect that gives a box of the cell's aspect (the frame window takes its share).
double CropAspectForCell(const PhotoRecord& r, const QRectF& cell) {
    const QSizeF extent = FrameExtent(r);
    return cell.width() / cell.height() * extent.width() / extent.height();
}

// Scale and position that draw the record's box over the cell (by the free photos' rule, for a
// reader that knows no layouts).
void PlaceBoxOnCell(CanvasObject& object, const QRectF& cell) {
    PhotoRecord& r = *object.Photo();
    r.angle = 0.0f;
    r.x = int(std::lround(cell.left()));
    r.y = int(std::lround(cell.top()));
    if (r.boxWidth > 0)
        r.scale = float(cell.width() / double(r.boxWidth));
    object.SetRegionScale(object.Scale());
}

// Removes cell from the layout; the tags above it move down.
void EraseCell(CollageDocument& document, int cell) {
    CollageLayout& layout = document.layout;
    if (cell < 0 || cell >= layout.CellCount())
        return;
    layout.userCrop.resize(layout.cells.size(), 0);
    layout.cells.erase(layout.cells.begin() + cell);
    layout.userCrop.erase(layout.userCrop.begin() + cell);
    for (CanvasObject& o : document.objects) {
        if (o.layoutCell == cell)
            o.layoutCell = -1;
        else if (o.layoutCell > cell)
            --o.layoutCell;
    }
}

void EndLayout(CollageDocument& document) {
    for (CanvasObject& o : document.objects)
        o.layoutCell = -1;
    document.layout = CollageLayout();
    document.layoutGesture.Reset();
}

// Drops cells no photo holds and tags that name no cell (or a cell another photo holds).
void DropEmptyCells(CollageDocument& document) {
    std::vector<int> members = LayoutMembers(document);
    for (size_t i = 0; i < document.objects.size(); ++i) {
        CanvasObject& o = document.objects[i];
        if (o.layoutCell >= 0 &&
            (o.layoutCell >= int(members.size()) || members[size_t(o.layoutCell)] != int(i)))
            o.layoutCell = -1;
    }
    for (int cell = int(members.size()) - 1; cell >= 0; --cell)
        if (members[size_t(cell)] < 0)
            EraseCell(document, cell);
}

std::optional<PictureSubject> SubjectFor(const CanvasObject& object, CropPlacement placement) {
    if (placement != CropPlacement::Subject)
        return std::nullopt;
    return SubjectOfPhoto(ReadFixedText(object.Photo()->path), object.upright);
}

void FitMember(CollageDocument& document, int cell, int objectIndex, CropPlacement placement) {
    // A crop the user placed keeps its place and size; without fill every crop keeps its area
    // (the cells have the photos' shapes).
    const CropPlacement how = document.layout.UserCrop(cell) || !document.layout.fill
                                  ? CropPlacement::KeepArea
                                  : placement;
    FitPhotoToCell(document.objects[size_t(objectIndex)], document.layout.cells[size_t(cell)],
                   how);
    document.RebuildRegion(document.objects[size_t(objectIndex)]);
}

// The crop of aspect inside the picture with the area of present (at most the largest such
// crop), centred on present's centre.
QRect SameAreaCrop(QSize picture, const QRect& present, double aspect) {
    const QRect largest = PlaceSubjectCrop(picture, nullptr, aspect, present);
    const double area = double(present.width()) * double(present.height());
    double w = std::sqrt(area * aspect);
    double h = w / aspect;
    if (w >= largest.width() || h >= largest.height())
        return largest;
    const int cw = std::clamp(int(std::lround(w)), 1, picture.width());
    const int ch = std::clamp(int(std::lround(h)), 1, picture.height());
    const QPointF c = QRectF(present).center();
    const int left = std::clamp(int(std::lround(c.x() - cw / 2.0)), 0, picture.width() - cw);
    const int top = std::clamp(int(std::lround(c.y() - ch / 2.0)), 0, picture.height() - ch);
    return QRect(left, top, cw, ch);
}

} // namespace

LayoutSettings SettingsOf(const CollageLayout& layout) {
    return {FamilyOf(layout.family), layout.spacing, layout.margin, layout.cornerRadius,
            layout.fill};
}

std::vector<int> LayoutMembers(const CollageDocument& document) {
    std::vector<int> members(document.layout.cells.size(), -1);
    for (size_t i = 0; i < document.objects.size(); ++i) {
        const int cell = document.objects[i].layoutCell;
        if (cell >= 0 && cell < int(members.size()) && document.objects[i].Photo() &&
            members[size_t(cell)] < 0)
            members[size_t(cell)] = int(i);
    }
    return members;
}

int LayoutCellAt(const CollageLayout& layout, QPointF point) {
    for (size_t i = 0; i < layout.cells.size(); ++i) {
        const QRectF& c = layout.cells[i];
        if (point.x() >= c.left() && point.x() < c.right() && point.y() >= c.top() &&
            point.y() < c.bottom())
            return int(i);
    }
    return -1;
}

int NearestLayoutCell(const CollageLayout& layout, QPointF point) {
    int best = -1;
    double bestDistance = std::numeric_limits<double>::max();
    for (size_t i = 0; i < layout.cells.size(); ++i) {
        const QRectF& c = layout.cells[i];
        const double dx = std::max({c.left() - point.x(), 0.0, point.x() - c.right()});
        const double dy = std::max({c.top() - point.y(), 0.0, point.y() - c.bottom()});
        const double d = dx * dx + dy * dy;
        if (d < bestDistance) {
            bestDistance = d;
            best = int(i);
        }
    }
    return best;
}

double DrawnLayoutCoverage(const CollageDocument& document) {
    const QRect canvas(0, 0, document.width, document.height);
    if (canvas.isEmpty())
        return 0.0;
    double covered = 0.0;
    for (const QRectF& c : document.layout.cells) {
        const QRect drawn = ExactCellRect(c, 1.0) & canvas;
        covered += double(drawn.width()) * double(drawn.height());
    }
    return std::min(1.0, covered / (double(canvas.width()) * double(canvas.height())));
}

double MaxCornerRadius(const CollageLayout& layout) {
    double shortest = 0.0;
    bool any = false;
    for (const QRectF& c : layout.cells) {
        const double side = std::min(c.width(), c.height());
        shortest = any ? std::min(shortest, side) : side;
        any = true;
    }
    return any ? std::max(0.0, shortest / 2.0) : 0.0;
}

void FitPhotoToCell(CanvasObject& object, const QRectF& cell, CropPlacement placement) {
    PhotoRecord* r = object.Photo();
    if (!r || !(cell.width() > 0.0) || !(cell.height() > 0.0) || r->pictureWidth <= 0 ||
        r->pictureHeight <= 0)
        return;
    const QSize picture(r->pictureWidth, r->pictureHeight);
    const double aspect = CropAspectForCell(*r, cell);
    const QRect present = PresentCrop(*r);
    QRect crop;
    if (placement == CropPlacement::KeepArea && !present.isEmpty()) {
        crop = SameAreaCrop(picture, present, aspect);
    } else {
        const std::optional<PictureSubject> subject = SubjectFor(object, placement);
        crop = PlaceSubjectCrop(picture, subject ? &*subject : nullptr, aspect, present);
    }
    SetCrop(*r, crop, FrameExtent(*r));
    PlaceBoxOnCell(object, cell);
    object.DropCaches();
}

void RefitLayoutPhotos(CollageDocument& document, bool quick) {
    const std::vector<int> members = LayoutMembers(document);
    for (size_t c = 0; c < members.size(); ++c) {
        if (members[c] < 0)
            continue;
        CanvasObject& object = document.objects[size_t(members[c])];
        const std::shared_ptr<ObjectCache> kept = object.cache;
        FitMember(document, int(c), members[c],
                  quick ? CropPlacement::KeepCentre : CropPlacement::Subject);
        if (quick)
            object.cache = kept;
    }
}

LayoutResult MakeLayout(CollageDocument& document, const std::vector<int>& indices,
                        const ArrangeOptions& options) {
    const LayoutResult result = LayoutPhotos(document, indices, options);
    if (!result.ok)
        return result;
    document.layoutGesture.Reset();
    for (CanvasObject& o : document.objects)
        o.layoutCell = -1;
    CollageLayout& layout = document.layout;
    layout = CollageLayout();
    layout.family = StoredFamily(options.family);
    layout.spacing = options.spacing;
    layout.margin = options.margin;
    layout.fill = options.fill;
    layout.cells = result.cells;
    layout.userCrop.assign(layout.cells.size(), 0);
    layout.cornerRadius = std::clamp(options.cornerRadius, 0.0, MaxCornerRadius(layout));
    const CropPlacement how = options.centre ? CropPlacement::Centred
                              : options.keepPan ? CropPlacement::KeepCentre
                                                : CropPlacement::Subject;
    if (how == CropPlacement::Subject && layout.fill) {
        // The subjects not yet cached are found on every core at once before any is placed.
        std::vector<std::pair<QString, bool>> photos;
        for (int i : indices) {
            const CanvasObject& object = document.objects[size_t(i)];
            photos.emplace_back(ReadFixedText(object.Photo()->path), object.upright);
        }
        SubjectsOfPhotos(photos);
    }
    for (size_t k = 0; k < indices.size(); ++k) {
        document.objects[size_t(indices[k])].layoutCell = int(k);
        FitMember(document, int(k), indices[k], how);
    }
    document.RecordSnapshot();
    document.MarkModified();
    return result;
}

bool ReflowLayout(CollageDocument& document, const LayoutSettings& settings, std::uint64_t seed) {
    DropEmptyCells(document);
    if (!document.layout.Active()) {
        EndLayout(document);
        return true;
    }
    const std::vector<int> members = LayoutMembers(document);
    ArrangeOptions options;
    options.family = settings.family;
    options.spacing = int(std::lround(std::max(0.0, settings.spacing)));
    options.margin = int(std::lround(std::max(0.0, settings.margin)));
    options.fill = settings.fill;
    options.seed = seed;
    LayoutRequest request;
    request.canvas = QSizeF(document.width, document.height);
    request.spacing = options.spacing;
    request.margin = options.margin;
    request.fill = options.fill;
    request.family = options.family;
    request.seed = seed;
    for (int index : members) {
        const PhotoRecord& r = *document.objects[size_t(index)].Photo();
        // With fill the cells follow the pictures' own shapes (their crops have the old cells');
        // without it the shown box's.
        const QSizeF extent = FrameExtent(r);
        const double natural = r.pictureHeight > 0 ? double(r.pictureWidth) / r.pictureHeight *
                                                         extent.height() / extent.width()
                                                   : 0.0;
        request.aspects.push_back(settings.fill && natural > 0.0 ? natural : PhotoBoxAspect(r));
    }
    const LayoutResult result = ComputePhotoLayout(request);
    if (!result.ok)
        return false;
    CollageLayout& layout = document.layout;
    layout.family = StoredFamily(settings.family);
    layout.spacing = options.spacing;
    layout.margin = options.margin;
    layout.fill = settings.fill;
    layout.cells = result.cells;
    layout.userCrop.resize(layout.cells.size(), 0);
    layout.cornerRadius = std::clamp(settings.cornerRadius, 0.0, MaxCornerRadius(layout));
    for (size_t k = 0; k < members.size(); ++k)
        FitMember(document, int(k), members[k], CropPlacement::Subject);
    return true;
}

bool ApplyLayoutSettings(CollageDocument& document, const LayoutSettings& settings,
                         std::uint64_t seed, bool recordStep) {
    if (!document.layout.Active())
        return false;
    const LayoutSettings before = SettingsOf(document.layout);
    bool ok = true;
    if (before.family == settings.family && before.spacing == settings.spacing &&
        before.margin == settings.margin && before.fill == settings.fill && seed == 0) {
        // Only the corners: the cells stay.
        document.layout.cornerRadius =
            std::clamp(settings.cornerRadius, 0.0, MaxCornerRadius(document.layout));
    } else {
        ok = ReflowLayout(document, settings, seed);
    }
    if (ok && recordStep)
        document.RecordSnapshot();
    document.MarkModified();
    return ok;
}

bool SwapLayoutCells(CollageDocument& document, int a, int b) {
    const std::vector<int> members = LayoutMembers(document);
    if (a == b || a < 0 || b < 0 || a >= int(members.size()) || b >= int(members.size()) ||
        members[size_t(a)] < 0 || members[size_t(b)] < 0)
        return false;
    CollageLayout& layout = document.layout;
    layout.userCrop.resize(layout.cells.size(), 0);
    std::swap(layout.userCrop[size_t(a)], layout.userCrop[size_t(b)]);
    document.objects[size_t(members[size_t(a)])].layoutCell = b;
    document.objects[size_t(members[size_t(b)])].layoutCell = a;
    FitMember(document, b, members[size_t(a)], CropPlacement::Subject);
    FitMember(document, a, members[size_t(b)], CropPlacement::Subject);
    document.RecordSnapshot();
    document.MarkModified();
    return true;
}

bool ReplaceCellPhoto(CollageDocument& document, int cell, int objectIndex) {
    const std::vector<int> members = LayoutMembers(document);
    if (cell < 0 || cell >= int(members.size()) || members[size_t(cell)] < 0 ||
        objectIndex < 0 || objectIndex >= int(document.objects.size()) ||
        !document.objects[size_t(objectIndex)].Photo() ||
        document.objects[size_t(objectIndex)].layoutCell >= 0)
        return false;
    const int old = members[size_t(cell)];
    CanvasObject added = std::move(document.objects[size_t(objectIndex)]);
    document.objects.erase(document.objects.begin() + objectIndex);
    const int at = old < objectIndex ? old : old - 1;
    added.layoutCell = cell;
    added.SetSelected(true);
    document.objects[size_t(at)] = std::move(added);
    document.layout.SetUserCrop(cell, false);
    FitMember(document, cell, at, CropPlacement::Subject);
    document.AmendSnapshot();
    document.MarkModified();
    return true;
}

bool InsertIntoLayout(CollageDocument& document, int objectIndex, const QPointF* point,
                      bool amend) {
    if (!document.layout.Active() || objectIndex < 0 ||
        objectIndex >= int(document.objects.size()) ||
        !document.objects[size_t(objectIndex)].Photo() ||
        document.objects[size_t(objectIndex)].layoutCell >= 0)
        return false;
    CollageLayout& layout = document.layout;
    const CollageLayout before = layout;
    std::vector<int> before_tags;
    for (const CanvasObject& o : document.objects)
        before_tags.push_back(o.layoutCell);
    int at = layout.CellCount();
    if (point) {
        const int nearest = NearestLayoutCell(layout, *point);
        if (nearest >= 0)
            at = nearest + 1;
    }
    for (CanvasObject& o : document.objects)
        if (o.layoutCell >= at)
            ++o.layoutCell;
    layout.userCrop.resize(layout.cells.size(), 0);
    // The new cell's rectangle is made by the re-flow.
    layout.cells.insert(layout.cells.begin() + at, QRectF(0, 0, 1, 1));
    layout.userCrop.insert(layout.userCrop.begin() + at, 0);
    document.objects[size_t(objectIndex)].layoutCell = at;
    if (!ReflowLayout(document, SettingsOf(layout))) {
        layout = before;
        for (size_t i = 0; i < document.objects.size(); ++i)
            document.objects[i].layoutCell = before_tags[i];
        return false;
    }
    if (amend)
        document.AmendSnapshot();
    else
        document.RecordSnapshot();
    document.MarkModified();
    return true;
}

bool PlaceDroppedPhoto(CollageDocument& document, int objectIndex, QPointF point) {
    if (!document.layout.Active() || point.x() < 0 || point.y() < 0 ||
        point.x() >= document.width || point.y() >= document.height)
        return false;
    const int cell = LayoutCellAt(document.layout, point);
    if (cell >= 0)
        return ReplaceCellPhoto(document, cell, objectIndex);
    return InsertIntoLayout(document, objectIndex, &point, true);
}

bool RemoveFromLayout(CollageDocument& document, int objectIndex) {
    if (objectIndex < 0 || objectIndex >= int(document.objects.size()) ||
        !CellOfObject(document, document.objects[size_t(objectIndex)]))
        return false;
    ForgetLayoutCell(document, objectIndex);
    document.RecordSnapshot();
    document.MarkModified();
    return true;
}

void ForgetLayoutCell(CollageDocument& document, int objectIndex) {
    if (objectIndex < 0 || objectIndex >= int(document.objects.size()))
        return;
    const int cell = document.objects[size_t(objectIndex)].layoutCell;
    if (cell < 0)
        return;
    document.layoutGesture.Reset();
    EraseCell(document, cell);
    ReflowLayout(document, SettingsOf(document.layout));
}

bool DissolveLayout(CollageDocument& document) {
    if (!document.layout.Active())
        return false;
    EndLayout(document);
    for (CanvasObject& o : document.objects)
        if (o.Photo())
            o.DropCaches(); // drawn again by the free photos' rule
    document.RecordSnapshot();
    document.MarkModified();
    return true;
}

void ReflowAfterCanvasSize(CollageDocument& document) {
    if (!document.layout.Active())
        return;
    if (ReflowLayout(document, SettingsOf(document.layout)))
        document.AmendSnapshot();
    document.MarkModified();
}

void RefitChangedPhoto(CollageDocument& document, CanvasObject& object) {
    const QRectF* cell = CellOfObject(document, object);
    PhotoRecord* r = object.Photo();
    if (!cell || !r || r->pictureWidth <= 0 || r->pictureHeight <= 0)
        return;
    const QRect present = PresentCrop(*r);
    const QSize picture(r->pictureWidth, r->pictureHeight);
    const QRect crop = present.isEmpty()
                           ? PlaceSubjectCrop(picture, nullptr, CropAspectForCell(*r, *cell), present)
                           : SameAreaCrop(picture, present, CropAspectForCell(*r, *cell));
    SetCrop(*r, crop, FrameExtent(*r));
    PlaceBoxOnCell(object, *cell);
    object.DropCaches();
    document.RebuildRegion(object);
    document.layout.SetUserCrop(object.layoutCell, true);
}

namespace {

struct CellPicture {
    CanvasObject* object = nullptr;
    PhotoRecord* record = nullptr;
    QRectF cell;
};

CellPicture PictureInCell(CollageDocument& document, int cell) {
    const std::vector<int> members = LayoutMembers(document);
    if (cell < 0 || cell >= int(members.size()) || members[size_t(cell)] < 0)
        return {};
    CanvasObject& object = document.objects[size_t(members[size_t(cell)])];
    PhotoRecord* r = object.Photo();
    if (r->pictureWidth <= 0 || r->pictureHeight <= 0 || r->cropRight <= r->cropLeft ||
        r->cropBottom <= r->cropTop)
        return {};
    return {&object, r, document.layout.cells[size_t(cell)]};
}

// Puts the crop (in picture pixels, float) into the record, inside the picture.
bool StoreCrop(CollageDocument& document, const CellPicture& p, int cell, QRectF crop) {
    PhotoRecord& r = *p.record;
    const double pw = r.pictureWidth, ph = r.pictureHeight;
    crop.moveLeft(std::clamp(crop.left(), 0.0, std::max(0.0, pw - crop.width())));
    crop.moveTop(std::clamp(crop.top(), 0.0, std::max(0.0, ph - crop.height())));
    const int w = std::clamp(int(std::lround(crop.width())), 1, int(pw));
    const int h = std::clamp(int(std::lround(crop.height())), 1, int(ph));
    const int left = std::clamp(int(std::lround(crop.left())), 0, int(pw) - w);
    const int top = std::clamp(int(std::lround(crop.top())), 0, int(ph) - h);
    if (left == r.cropLeft && top == r.cropTop && left + w == r.cropRight &&
        top + h == r.cropBottom)
        return false;
    SetCrop(r, QRect(left, top, w, h), FrameExtent(r));
    PlaceBoxOnCell(*p.object, p.cell);
    p.object->DropCaches();
    document.RebuildRegion(*p.object);
    document.layout.SetUserCrop(cell, true);
    document.MarkModified();
    return true;
}

} // namespace

bool PanCellPicture(CollageDocument& document, int cell, double dx, double dy, float zoom) {
    const CellPicture p = PictureInCell(document, cell);
    if (!p.record || !(zoom > 0.0f))
        return false;
    const PhotoRecord& r = *p.record;
    QRectF crop(r.cropLeft, r.cropTop, r.cropRight - r.cropLeft, r.cropBottom - r.cropTop);
    // Screen pixels to picture pixels: the crop's width spans the cell's width on screen.
    const double perScreen = crop.width() / (p.cell.width() * double(zoom));
    crop.translate(-dx * perScreen, -dy * perScreen);
    return StoreCrop(document, p, cell, crop);
}

bool ZoomCellPicture(CollageDocument& document, int cell, double factor, QPointF anchor,
                     float zoom) {
    const CellPicture p = PictureInCell(document, cell);
    if (!p.record || !(factor > 0.0) || !std::isfinite(factor) || !(zoom > 0.0f))
        return false;
    const PhotoRecord& r = *p.record;
    const QSize picture(r.pictureWidth, r.pictureHeight);
    const QRectF crop(r.cropLeft, r.cropTop, r.cropRight - r.cropLeft, r.cropBottom - r.cropTop);
    // The cell's shape, not the present crop's (whose whole pixels drift from it).
    const double aspect = CropAspectForCell(r, p.cell);
    // Widest: the picture just covers the cell; narrowest: 8x closer, or one picture pixel per
    // screen pixel when that comes first.
    const QRect covering = PlaceSubjectCrop(picture, nullptr, aspect, crop.toRect());
    const double widest = covering.width();
    const double narrowest =
        std::min(widest, std::max(widest / 8.0, p.cell.width() * double(zoom)));
    const double width = std::clamp(crop.width() / factor, narrowest, widest);
    if (width == crop.width())
        return false;
    if (width >= widest)
        return StoreCrop(document, p, cell, QRectF(covering));
    // The picture point under the anchor stays under it.
    const double fx = std::clamp((anchor.x() - p.cell.left()) / p.cell.width(), 0.0, 1.0);
    const double fy = std::clamp((anchor.y() - p.cell.top()) / p.cell.height(), 0.0, 1.0);
    const QPointF fixed(crop.left() + fx * crop.width(), crop.top() + fy * crop.height());
    const double height = width / aspect;
    const QRectF next(fixed.x() - fx * width, fixed.y() - fy * height, width, height);
    return StoreCrop(document, p, cell, next);
}

} // namespace mosaiq
