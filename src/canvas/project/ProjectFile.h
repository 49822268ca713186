#pragma once

// The project file (.dcf): a 280-byte header (canvas width and height, the background path in a
// 260-byte field, background colour, background mode, object count), then each object as its
// int32 kind and its record bytes, bottom-most first. A photo with a custom mask is followed by
// the mask's int32 width, int32 height, int32 length L and L bytes of its encoded picture. All
// little-endian; no magic number or version. After the last object, a project whose cliparts use
// pasted pictures carries them in a trailing block ("MQPX", version 1, count, then per picture its
// pasted index, width, height, length and PNG bytes); loading appends them to the document's
// pasted list and points the objects at their new indices. Framed blocks (tag, version, length,
// canvas/ProjectBlocks.h) may follow it; ProjectFile.cpp's block table lists the known tags.

#include "canvas/project/ProjectBlocks.h"
#include "core/WinTypes.h"

#include <QByteArray>
#include <QString>

#include <vector>

class QIODevice;

namespace mosaiq {

class CollageDocument;

constexpr int kProjectHeaderSize = 280;

struct ProjectResult {
    bool ok = false;
    QString error;  // one line for the user when !ok
    QString notice; // when ok: what the user should still hear (a background that did not decode)
};

// A custom mask carried inside a project.
struct EmbeddedMask {
    int width = 0;
    int height = 0;
    Guid key;
    QByteArray encoded;
};

// The bytes of the document as a project file. Custom masks are looked up by key in the custom
// mask library at customMaskLibrary (empty: "cusmask.cfg" in the data directory); one that
// cannot be found is written as an empty block (0 x 0, length 0) that readers step over.
ProjectResult EncodeProject(const CollageDocument& document, QByteArray& out,
                            const QString& customMaskLibrary = QString());

// Writes the project to path through a temporary file renamed over the target, so a failed save
// keeps the previous project. Clears the modified flag and emits the document's saved() only on
// success.
ProjectResult SaveProject(CollageDocument& document, const QString& path,
                          const QString& customMaskLibrary = QString());

// Parses project bytes into document (expected empty) without touching any file; the custom
// masks carried by photos are returned in file order. Blocks of known tags are applied to the
// document; the others are stepped over and, when blocks is given, returned in file order.
// Never allocates more than the device holds.
ProjectResult ParseProject(QIODevice& device, CollageDocument& document,
                           std::vector<EmbeddedMask>* masks,
                           std::vector<ProjectBlock>* blocks = nullptr);

// What opening a project does with the custom masks and effect pictures its photos carry (the
// editor writes effect pictures into "Effects/" and points the photos there).
enum class CarriedMaskUse {
    AppendToLibrary, // the editor: each distinct key is appended to the custom mask library
    KeepInMemory,    // headless readers: kept for this process only, no file changes
};

// Reads the project at path into a new document and, only when the whole file was read,
// replaces document's content with it: history emptied, modified cleared, background reloaded,
// and the custom masks the project carries appended to the custom mask library once per
// distinct key (again on every load) or kept in memory. On failure the document is left as it
// was and the reason is returned.
ProjectResult LoadProject(CollageDocument& document, const QString& path,
                          const QString& customMaskLibrary = QString(),
                          CarriedMaskUse maskUse = CarriedMaskUse::AppendToLibrary);

} // namespace mosaiq
