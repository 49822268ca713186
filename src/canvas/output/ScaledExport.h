#pragma once

// Exports past the canvas size: the collage rendered in bands at an export scale or fitted to a
// paper format, written with its resolution by the file's extension. JPEG, PNG, TIFF and BMP
// stream their rows, so memory holds one band; the other picture types are rendered whole and
// written by the image library; ".pdf" writes a one-page PDF whose page is the paper, or the
// rendered size at the dpi when no paper is asked, with the collage centred on it.

#include "canvas/output/CollageExport.h"
#include "canvas/output/ExportSize.h"

#include <QPageLayout>
#include <QSizeF>
#include <QString>

#include <QRect>

#include <functional>
#include <memory>

class QPainter;

namespace mosaiq {

class CollageDocument;

// Rows done and the total; returning false cancels (the target is left as it was).
using ExportProgress = std::function<bool(int done, int total)>;

struct ScaledExportResult : ExportResult {
    bool cancelled = false;
    QSize pixels; // the rendered picture's size
};

// The PDF page for the settings in points: the paper, or the rendered size at the dpi.
QSizeF PdfPageSizePoints(const CollageDocument& document, const ExportSettings& settings);

// Checks the settings (CheckExportSettings) and the path, renders and writes. An existing file is
// replaced only by a complete new one. Photos whose files are gone are left out.
ScaledExportResult ExportCollageScaled(CollageDocument& document, const QString& path,
                                       const ExportSettings& settings,
                                       const ExportProgress& progress = {});

// A copy of what a rendering of document reads (canvas, background, objects without their
// pictures, regions, pasted and brush pictures, the project's path for a PDF's title), so an
// export can run on a worker thread while the window goes on with the document itself.
std::unique_ptr<CollageDocument> CopyDocumentForExport(const CollageDocument& document);

// Print to a file: the collage fitted to the printable area of layout (paper, orientation and
// margins as a print dialog chose them), centred, rendered at dpi from the photos' files and
// written as a one-page PDF with lossless page pictures. The file at path is replaced only by a
// complete new one.
ScaledExportResult PrintCollageToPdf(CollageDocument& document, const QString& path,
                                     const QPageLayout& layout, int dpi,
                                     const ExportProgress& progress = {});

// The scale at which the canvas fits inside area (aspect kept).
double FitScale(const CollageDocument& document, QSize area);

// Draws the collage fitted into area of painter (units: device pixels, as a printer at its
// resolution has them), centred, rendered from the photos' files in bands. progress as above.
// False when cancelled or the size cannot be rendered.
bool PaintCollageFitted(CollageDocument& document, QPainter& painter, const QRect& area,
                        const ExportProgress& progress = {});

} // namespace mosaiq
