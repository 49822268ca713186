#pragma once

// HEIF pictures (HEIC from phones, and AVIF) through libheif. libheif turns the picture by the
// file's own transform boxes (rotation "irot", mirror "imir", crop "clap"); an EXIF orientation
// inside the file is not applied on top, or the picture would be turned twice.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace mosaiq {

// True when data starts with a HEIF file-type box naming a HEIC, HEIF or AVIF brand.
bool LooksLikeHeif(const QByteArray& data);

struct HeifPicture {
    QImage image;   // Format_RGB32, or Format_ARGB32 (straight) with an alpha plane; null when
                    // only the size was asked for or on failure
    QSize fullSize; // the primary picture's size as shown (after its transform boxes)
    QByteArray colourProfile; // the embedded ICC profile, or one made from its "nclx" colour
                              // description; empty for sRGB
    QString error;            // why nothing was read (one line)
};

// Reads the primary picture of a HEIF file in data. The size is checked against the picture
// limits before anything is decoded; with sizeOnly nothing is decoded. With a valid minimum, a
// stored thumbnail at least that large (in both sides) is decoded instead of the full picture,
// and the picture may come back reduced by a whole factor (mean of each block), never below
// minimum in either side.
// Thread-safe.
HeifPicture ReadHeif(const QByteArray& data, QSize minimum, bool sizeOnly);

} // namespace mosaiq
