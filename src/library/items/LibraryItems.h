#pragma once

// What a library panel shows of one picture list file: every entry read once, scaled once to
// fit a grid cell (never enlarged), ready to be drawn from memory on every paint.

#include <QImage>
#include <QString>

#include <vector>

class QIODevice;

namespace mosaiq {

struct LibraryItems {
    // One per entry, in file order: the picture fitted into the cell box
    // (Format_ARGB32_Premultiplied; null for an entry of zero size).
    std::vector<QImage> thumbnails;
    // The entries at full size (Format_ARGB32), kept only when asked for (the brushes).
    std::vector<QImage> pictures;
    // False when the file is missing, cannot be opened, or is damaged part-way (the entries
    // before the damage are kept).
    bool complete = false;
};

// Reads the picture list at path and fits each entry into box (the cell less its margins).
LibraryItems LoadLibraryItems(const QString& path, QSize box, bool keepPictures);
// The same over a device open for reading (the fuzzer uses this).
LibraryItems LoadLibraryItems(QIODevice& device, QSize box, bool keepPictures);

// Fits one picture into box by the grid's fit rule (never enlarged), premultiplied.
QImage FitThumbnail(const QImage& picture, QSize box);

} // namespace mosaiq
