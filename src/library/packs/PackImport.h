#pragma once

// Importing a resource pack into the libraries of the data directory.
//
// Targets by pack type (thumbnail library, full library):
//   0 frames       "tbframe.cfg", "frame.cfg" (frame entries with the pack's frame window)
//   1 masks        "tbmask.cfg",  "mask.cfg" and "cusmask.cfg" (keyed entries, a fresh key each;
//                  the canvas finds imported masks by key in "cusmask.cfg")
//   2 cliparts     "clipart.cfg"  (the full picture data is not kept)
//   3 decorations  "decorate_t",  "decorate" (int32 w, h, L, then L bytes)
//   4 brushes      "brushs"       (the full picture data is not kept)
//
// The whole pack is read and checked first. The libraries and "Res_Info" then change together
// (ReplaceFilesTogether) or not at all; the pack's name is recorded only with a successful import.

#include <QString>

namespace mosaiq {

enum class PackImportStatus {
    Imported,        // the items were added (a pack of no items only records its name)
    AlreadyImported, // a pack of this file name is in "Res_Info": nothing changed
    Refused,         // the pack is damaged, of an unknown type, or a library cannot take it
    WriteFailed,     // writing the libraries failed: every file is as it was
};

struct PackImportResult {
    PackImportStatus status = PackImportStatus::Refused;
    int type = -1;  // the pack's kind (PackKind), once known
    int count = 0;  // items added
    QString reason; // why nothing changed (one line, no final full stop)

    bool Ok() const { return status == PackImportStatus::Imported; }
    // What the user is told when nothing changed ("Already in the library.").
    QString Message(const QString& packPath) const;
};

// The text refusing a pack imported before.
QString AlreadyImportedText();

// Imports the pack at packPath into dataDir (ending in '/'; empty: DataPath()).
PackImportResult ImportResourcePack(const QString& packPath, const QString& dataDir = QString());

// The library file whose panel shows the items of a pack type ("tbframe.cfg", "tbmask.cfg",
// "clipart.cfg", "decorate_t", "brushs"); empty for an unknown type.
QString PackThumbnailLibrary(int type);

} // namespace mosaiq
