#pragma once

// Adding photos to the collage straight from picture files (the File menu, files dropped from a
// file manager): each file is decoded in full by the two-decoder rule before it becomes a photo,
// so a picture that cannot be read is refused with its reason instead of becoming an empty object.

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

namespace mosaiq {

class CollageDocument;

struct PhotoFilesResult {
    int added = 0;
    QStringList refused; // one line per file left out: "path: reason"
};

// Where a new photo of displayed size `size` (canvas pixels) goes so that it does not hide the
// object on top: to the right of it, else at the start of the next row, else 24 pixels down and
// right of it. With nothing on top (or the object on top not a photo), at start. Canvas pixels.
QPoint NextPhotoPosition(const CollageDocument& document, QSize size, QPoint start);

// The displayed size of a new photo of a picture of pictureSize on document's canvas.
QSize NewPhotoSize(const CollageDocument& document, QSize pictureSize);

// Adds a photo for each file, in order, each placed by NextPhotoPosition from start (canvas
// pixels); the photos added are one history step together.
PhotoFilesResult AddPhotoFiles(CollageDocument& document, const QStringList& paths, QPoint start);

} // namespace mosaiq
