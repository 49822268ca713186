#pragma once

// What the export and print dialogs remember between uses, kept in "settings.ini" of the data
// directory (through the settings guard): the export size (scale or paper, and the resolution),
// Save Collage's file type and folder, and the printer, paper and colour mode of the last print.
// A setting that is missing or unreadable gives the dialog's own default.

#include "canvas/output/ExportSize.h"

#include <QString>

class QPrinter;

namespace mosaiq {

class CollageDocument;

// The export size chosen last; the dialog's defaults (scale 1, no dpi) when none was kept.
ExportSettings RememberedExportSize();
// Keeps the export size for the next time; false (nothing kept) when settings.ini is unusable.
bool RememberExportSize(const ExportSettings& settings);

struct SaveCollageChoice {
    QString type;   // the extension chosen last, lower case ("png"); empty when none
    QString folder; // the folder written to last; empty when none
};
SaveCollageChoice RememberedSaveCollage();
bool RememberSaveCollage(const SaveCollageChoice& choice);

// Sets up printer as last used (the printer when it is still there, its paper and colour mode),
// in the collage's own orientation: landscape for a collage wider than high.
void PreparePrinter(QPrinter& printer, const CollageDocument& document);
// Keeps the printer, paper and colour mode the user chose.
bool RememberPrinter(const QPrinter& printer);

} // namespace mosaiq
