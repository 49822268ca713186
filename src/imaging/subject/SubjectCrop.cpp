#include "imaging/subject/SubjectCrop.h"

#include "imaging/subject/SubjectCache.h"

#include <algorithm>
#include <cmath>

namespace mosaiq {
namespace {

// An interval [low, high) on one axis of the picture.
struct Span {
    double low = 0.0;
    double high = 0.0;
    double Length() const { return high - low; }
    double Centre() const { return (low + high) / 2.0; }
};

// Where a crop of length extent starts on an axis of length total: keeping the whole subject
// span when it fits (as near to centred on it as the faces allow), else every face it can keep
// whole, else centred on the subject.
double PlaceOnAxis(double total, double extent, const Span& box, const std::vector<Span>& faces) {
    double start = box.Centre() - extent / 2.0;
    if (!faces.empty()) {
        Span all = faces.front();
        for (const Span& f : faces) {
            all.low = std::min(all.low, f.low);
            all.high = std::max(all.high, f.high);
        }
        if (box.Length() > extent) {
            if (all.Length() <= extent) {
                // Every face fits: as near the subject's centre as keeping them all allows.
                start = std::clamp(box.Centre() - extent / 2.0, all.high - extent, all.low);
            } else {
                // Not every face fits: the window keeping the largest faces' area whole, then
                // the one nearest the faces' centre.
                double bestArea = -1.0;
                for (const Span& anchor : faces) {
                    for (double s : {anchor.low, anchor.high - extent}) {
                        double area = 0.0;
                        for (const Span& f : faces)
                            if (f.low >= s - 1e-6 && f.high <= s + extent + 1e-6)
                                area += f.Length() * f.Length();
                        const double distance = std::fabs(s + extent / 2.0 - all.Centre());
                        if (area > bestArea + 1e-9 ||
                            (std::fabs(area - bestArea) <= 1e-9 &&
                             distance < std::fabs(start + extent / 2.0 - all.Centre()))) {
                            bestArea = area;
                            start = s;
                        }
                    }
                }
            }
        }
    }
    return std::clamp(start, 0.0, std::max(0.0, total - extent));
}

QRectF Scaled(const QRectF& r, double sx, double sy) {
    return QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy);
}

// The point of a stored picture of size stored that the orientation tag puts at p.
QPointF Oriented(QPointF p, QSizeF stored, int orientation) {
    const double w = stored.width(), h = stored.height();
    switch (orientation) {
    case 2: return {w - p.x(), p.y()};
    case 3: return {w - p.x(), h - p.y()};
    case 4: return {p.x(), h - p.y()};
    case 5: return {p.y(), p.x()};
    case 6: return {h - p.y(), p.x()};
    case 7: return {h - p.y(), w - p.x()};
    case 8: return {p.y(), w - p.x()};
    default: return p;
    }
}

// The orientation whose turn undoes orientation's.
int Inverse(int orientation) {
    return orientation == 6 ? 8 : orientation == 8 ? 6 : orientation;
}

QRectF OrientedRect(const QRectF& r, QSizeF stored, int orientation) {
    return QRectF(Oriented(r.topLeft(), stored, orientation),
                  Oriented(r.bottomRight(), stored, orientation))
        .normalized();
}

} // namespace

QRect PlaceSubjectCrop(QSize pictureSize, const PictureSubject* subject, double cropAspect,
                       const QRect& presentCrop) {
    const int pw = std::max(1, pictureSize.width());
    const int ph = std::max(1, pictureSize.height());
    int cw = pw;
    int ch = ph;
    if (cropAspect > 0.0 && std::isfinite(cropAspect)) {
        if (double(pw) / double(ph) > cropAspect)
            cw = std::clamp(int(std::lround(double(ph) * cropAspect)), 1, pw);
        else
            ch = std::clamp(int(std::lround(double(pw) / cropAspect)), 1, ph);
    }
    if (subject && !subject->picture.isEmpty()) {
        // The subject may have been found on a picture of another size (a reduced decode):
        // its rectangles are scaled to this one.
        const double sx = double(pw) / subject->picture.width();
        const double sy = double(ph) / subject->picture.height();
        const QRectF bounds(0, 0, pw, ph);
        const QRectF box = Scaled(subject->box, sx, sy).intersected(bounds);
        const QPointF centre = box.isValid() ? box.center()
                                             : Scaled(subject->box, sx, sy).center();
        std::vector<Span> facesX, facesY;
        for (const QRectF& face : subject->faces) {
            const QRectF f = Scaled(face, sx, sy).intersected(bounds);
            if (f.isEmpty())
                continue;
            facesX.push_back({f.left(), f.right()});
            facesY.push_back({f.top(), f.bottom()});
        }
        const Span boxX = box.isValid() ? Span{box.left(), box.right()}
                                        : Span{centre.x(), centre.x()};
        const Span boxY = box.isValid() ? Span{box.top(), box.bottom()}
                                        : Span{centre.y(), centre.y()};
        // Whole pixels that keep the chosen span inside: floor the start, and push the crop
        // back when the rounding would cut a face's or the box's far edge.
        const int left = std::clamp(int(std::floor(PlaceOnAxis(pw, cw, boxX, facesX) + 1e-6)),
                                    0, pw - cw);
        const int top = std::clamp(int(std::floor(PlaceOnAxis(ph, ch, boxY, facesY) + 1e-6)),
                                   0, ph - ch);
        return QRect(left, top, cw, ch);
    }
    QPointF centre(pw / 2.0, ph / 2.0);
    if (presentCrop.isValid() && !presentCrop.isEmpty())
        centre = QRectF(presentCrop).center();
    const int left = std::clamp(int(std::lround(centre.x() - cw / 2.0)), 0, pw - cw);
    const int top = std::clamp(int(std::lround(centre.y() - ch / 2.0)), 0, ph - ch);
    return QRect(left, top, cw, ch);
}

PictureSubject StoredSubject(const PictureSubject& upright, int orientation) {
    if (orientation < 2 || orientation > 8)
        return upright;
    const int back = Inverse(orientation);
    const QSizeF shown(upright.picture);
    PictureSubject stored;
    stored.picture = (orientation >= 5) ? upright.picture.transposed() : upright.picture;
    // The upright picture is the stored one turned; turning it by the inverse brings it back.
    stored.box = OrientedRect(upright.box, shown, back);
    for (const QRectF& f : upright.faces)
        stored.faces.push_back(OrientedRect(f, shown, back));
    return stored;
}

std::optional<PictureSubject> SubjectOfPhoto(const QString& path, bool upright) {
    return LookUpSubject(path, upright, SubjectLookup::FindAndSave);
}

} // namespace mosaiq
