#pragma once

// Where the program places a crop of a given shape in a picture: around the picture's subject
// (its faces, else its most salient region) when one is known, else centred on the present crop.
// Pure geometry in the picture's pixels, in the orientation the photo record's crop uses.

#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

namespace mosaiq {

// What a picture shows that a crop should keep, in the pixels of the picture the crop refers to.
struct PictureSubject {
    QSize picture;             // the size the rectangles below refer to
    std::vector<QRectF> faces; // faces found, largest first
    QRectF box;                // the subject: the faces with head room, or the salient region
};

// The crop of width / height cropAspect inside a picture of pictureSize: the largest such crop,
// placed to keep the whole subject box when it fits and centred on the faces (then on the box)
// when it does not; without a subject centred on the centre of presentCrop (the picture's centre
// when presentCrop is empty). Always inside the picture, at least 1 x 1.
QRect PlaceSubjectCrop(QSize pictureSize, const PictureSubject* subject, double cropAspect,
                       const QRect& presentCrop);

// The subject of the picture at path in the orientation its photo record uses (upright: the
// orientation tag applied), from the subject cache or found now and cached; nothing when no
// subject is known or subjects are turned off.
std::optional<PictureSubject> SubjectOfPhoto(const QString& path, bool upright);

// An upright subject in the pixels of the picture as stored, for a file whose orientation tag
// is orientation (1 to 8; the tag turns the stored picture upright as OrientImage does).
PictureSubject StoredSubject(const PictureSubject& upright, int orientation);

} // namespace mosaiq
