#pragma once

// Saving the collage as one flat picture: rendered at zoom 1, off-screen, without selection
// handles, at exactly the canvas size whatever the view's zoom, and written by the file's
// extension (jpg, jpeg, gif, bmp, png and webp through the first writer at quality 90; pcx, pnm,
// tif, tiff and the other types of the type table through the image library).

#include <QImage>
#include <QString>

namespace mosaiq {

class CollageDocument;

struct ExportResult {
    bool ok = false;
    QString error; // one line for the user when !ok
};

// The collage at zoom 1 as an opaque picture of the canvas size (Format_RGB32); null when the
// canvas size is not a picture that may be made. The view's zoom, scroll offsets, hit regions
// and cached pictures are as before afterwards (the export builds its own pictures from the
// files, as a fresh drawing would).
QImage RenderCollage(CollageDocument& document);

// Renders the collage and writes it to path, the format chosen by path's extension. An existing
// file is replaced only by a complete new one. Fails with a reason for a path without a known
// picture extension, a canvas that cannot be rendered, or a file that cannot be written.
ExportResult ExportCollage(CollageDocument& document, const QString& path);

} // namespace mosaiq
