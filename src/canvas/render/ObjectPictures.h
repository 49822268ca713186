#pragma once

// Source pictures of cliparts and brush stamps, as the compositor draws them.

#include "canvas/document/Records.h"

#include <QImage>

namespace mosaiq {

class CollageDocument;

// A clipart's picture: a pasted one from the document's pasted picture list; a library one read
// from its picture list file (sourceId / 1000 chooses the file, sourceId % 1000 the entry) and,
// for a decoration preset (sourceId > 999), recoloured to the record's presetColour.
// Format_ARGB32_Premultiplied; null when it cannot be had.
QImage ClipartPicture(const CollageDocument& document, const ClipartRecord& record);

// Every pixel's R, G, B replaced by colour, alpha kept; Format_ARGB32_Premultiplied.
QImage RecolourStamp(const QImage& brush, Colorref colour);

// A brush stamp's picture: its brush from the document's brush picture table, recoloured to the
// stamp's colour; null when the brush index is not in the table.
QImage StampPicture(const CollageDocument& document, const StampRecord& record);

// Fills the document's brush picture table from "brushs" in the data directory when the table
// is empty and the document holds brush stamps, so a loaded project's stamps can be drawn.
void EnsureBrushPictures(CollageDocument& document);

} // namespace mosaiq
