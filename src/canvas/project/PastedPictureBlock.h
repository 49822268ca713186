#pragma once

// The pasted-picture block after the last object of a project: "MQPX", uint32 version 1, uint32
// count K, then K entries of int32 stored index, uint32 width, uint32 height, uint32 length L and
// L bytes of PNG. Pasted cliparts name their picture by that stored index. It keeps this layout
// and always comes first; the framed blocks (canvas/ProjectBlocks.h) follow it.

#include "canvas/project/ProjectFile.h"

#include <QByteArray>

#include <cstdint>
#include <map>

class QIODevice;

namespace mosaiq {

struct ClipartRecord;

// What a save writes for the pasted pictures of a document: every picture a clipart uses, under
// a stored index no clipart whose picture is missing holds (those keep the index they were read
// with), so no clipart ever shows another's picture after a reload.
class PastedPicturePlan {
public:
    explicit PastedPicturePlan(const CollageDocument& document);

    // The index a pasted clipart's record stores.
    std::int32_t StoredIndex(const ClipartRecord& clip) const;
    // Appends the block; nothing when no picture is written, so such a project keeps its bytes.
    void AppendBlock(QByteArray& out) const;

private:
    struct Written {
        std::int32_t stored = 0;
        QByteArray png;
    };
    const CollageDocument& m_document;
    std::map<int, Written> m_written; // pasted list index -> what is written for it
};

// Reads the block when the bytes at the device's position start with it: each picture is
// appended to the document's pasted list and the cliparts that stored its index point at it. A
// clipart whose index the block does not hold gets a null placeholder (drawn as nothing) and
// keeps its stored index for the next save; it never takes a picture of the running list. A file
// without the block leaves every clipart's index as stored. A damaged block fails.
ProjectResult ReadPastedPictureBlock(QIODevice& device, CollageDocument& document);

} // namespace mosaiq
