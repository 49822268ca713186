#pragma once

// A HEIC grid picture made of one HEVC tile repeated in every cell: a file of a few kilobytes
// that claims a picture of any size up to 65535 a side, as a decode bomb does (and as no camera
// writes). With a thumbnail, the tile also stands as the grid's thumbnail item.

#include <QByteArray>
#include <QSize>

namespace mosaiq::test {

QByteArray RepeatedTileGrid(QSize picture, int tileSide, bool withThumbnail);

} // namespace mosaiq::test
