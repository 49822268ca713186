#pragma once

// Exporting the collage from the window: Save Collage and the question every export asks first
// when photos of the collage cannot be found.

#include <QString>

class QWidget;

namespace mosaiq {

class CMainDialog;

// Asks before replacing a file the save dialog did not ask about (a name given its extension
// after the dialog closed). True when path may be written.
bool ConfirmReplaceFile(QWidget* parent, const QString& path);

// When photos of the collage cannot be found, says how many will be left out and asks whether
// to export anyway. True when the export may go on.
bool ConfirmExportWithMissingPhotos(CMainDialog& window);

// The extension a save dialog's filter entry names ("(*.png)" gives "png"); empty when none.
QString FilterExtension(const QString& filter);

// Save Collage: asks about missing photos, then for a file (starting as "untitled" in folder,
// or in the current folder when folder is empty); a name typed without an extension takes the
// chosen file type's; renders and writes the collage, telling the user when that fails.
void RunSaveCollage(CMainDialog& window, const QString& folder);

} // namespace mosaiq
