#pragma once

// Running an export from the window: the size dialog after the file dialog, then the export on
// a worker thread (on a copy of the document) with a progress window and Cancel when it takes
// more than a moment.

#include "canvas/output/ScaledExport.h"

#include <QString>

class QWidget;

namespace mosaiq {

class CollageDocument;

// Runs job (which gets the progress callback to pass on) on a worker thread while a progress
// window with Cancel is shown after half a second; returns its result. Cancel makes the progress
// callback answer false.
ScaledExportResult
RunWithProgress(QWidget* parent, const QString& title,
                const std::function<ScaledExportResult(const ExportProgress&)>& job);

// Save Collage after its file dialog: asks for the size (CExportDialog), then writes path. Scale
// 1 to a picture file is today's export (the canvas as it is drawn); any other size is rendered
// from the photos' files with its resolution. Failures are told through the notifier. False when
// the user cancelled or the export failed.
bool ExportCollageAsAsked(QWidget* parent, CollageDocument& document, const QString& path);

} // namespace mosaiq
