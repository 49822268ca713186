#pragma once

// Custom masks made from the user's own pictures, and the upkeep of the three mask files:
// "mask.cfg" (the 28 built-in masks, then the imported ones), "tbmask.cfg" (their thumbnails,
// the list the mask panel shows) and "cusmask.cfg" (the imported masks by key, what projects
// carry). Entry i of "tbmask.cfg" and entry i of "mask.cfg" are the same mask.
//
// Every change to more than one of these files is made as one change: the new versions are
// written aside and replace the old ones together, or none of them changes.

#include "core/WinTypes.h"

#include <QString>

namespace mosaiq {

// Width of a mask thumbnail in "tbmask.cfg"; the height keeps the picture's aspect.
inline constexpr int kMaskThumbnailWidth = 120;
inline constexpr int kBuiltinMaskEntries = 28;

struct MaskImportResult {
    bool ok = false;
    QString error;  // one line for the user when !ok
    Guid key;       // the new mask's key
    int index = -1; // its position in the mask panel (and in "mask.cfg")
};

// Imports the picture at picturePath (read by the two-decoder rule) as a custom mask of the
// library in dataDir (ending in '/'): a fresh key, the picture stored as PNG in "mask.cfg" and
// "cusmask.cfg", and a 120-pixel-wide thumbnail in "tbmask.cfg". A picture that cannot be read,
// or a mask file that is damaged, changes nothing.
MaskImportResult ImportCustomMask(const QString& dataDir, const QString& picturePath);

// Puts the built-in "mask.cfg" and "tbmask.cfg" back, together. "cusmask.cfg" stays.
bool ResetMaskLibrary(const QString& dataDir, QString* error = nullptr);

enum class CustomMaskUpkeep {
    Written,    // "cusmask.cfg" now holds the masks after the built-in ones of "mask.cfg"
    Removed,    // "mask.cfg" holds no custom masks: "cusmask.cfg" was removed
    LeftAlone,  // "mask.cfg" could not be read in full: "cusmask.cfg" was not touched
    WriteFailed // the new "cusmask.cfg" could not be written: the old one stays
};

// The bookkeeping when the program closes: "cusmask.cfg" is rewritten from the entries of
// "mask.cfg" after the built-in 28 (through a temporary file renamed over it).
CustomMaskUpkeep KeepCustomMasks(const QString& dataDir, QString* error = nullptr);

} // namespace mosaiq
