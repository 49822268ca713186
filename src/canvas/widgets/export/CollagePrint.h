#pragma once

// File ▸ Print… and its preview: Qt's print dialog chooses the printer, its paper and
// orientation; the collage is fitted to the printable area, centred, at the printer's
// resolution, rendered from the photos' files in bands.

class QPrinter;
class QWidget;

#include "canvas/output/ScaledExport.h"

namespace mosaiq {

class CollageDocument;

// Draws the collage on one page of printer. False when cancelled or nothing could be drawn.
bool PaintCollageOnPrinter(QPrinter& printer, CollageDocument& document,
                           const ExportProgress& progress = {});

// Shows the print dialog and prints (on a worker thread, with progress and Cancel). Failures are
// told through the notifier. False when the dialog was cancelled or printing failed.
bool PrintCollage(QWidget* parent, CollageDocument& document);

// Shows Qt's print preview of the collage at 300 dpi; printing from it prints as above at that
// resolution.
void PreviewCollagePrint(QWidget* parent, CollageDocument& document);

} // namespace mosaiq
